#pragma once

#include <QSaveFile>
#include <QString>

// A file written in pieces that is either whole under its name or not
// there at all: the pieces go to a file beside it, every write, the final
// flush and the sync to the disk are checked, and only then is it renamed
// into place. A file never committed is taken away. An export of any size
// is written so.
//
// A file that stands or falls with another commit (an export's, with its
// database's) keeps the earlier file of its name aside, beside it, until
// keep(): a writer that ends without it takes its file away again and puts
// the earlier one back.
class WholeFileWriter
{
public:
    // What a commit does with the file of that name it replaces.
    enum class Earlier { Replaced, KeptAside };

    explicit WholeFileWriter(const QString &fileName);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter &) = delete;
    WholeFileWriter &operator=(const WholeFileWriter &) = delete;

    bool open();
    bool write(const QByteArray &bytes);
    // Flushes the file, syncs it to the disk and renames it into place.
    bool commit(Earlier earlier = Earlier::Replaced);
    // The file committed stays for good; an earlier one kept aside goes.
    void keep();
    // Why the step that failed did (see FileErrors), in Italian.
    QString failure() const;

private:
    enum class Aside { Nothing, NoEarlier, Linked, Moved };

    // The system's error number is kept from the step that failed, before
    // anything else can change it.
    bool step(bool done);
    bool putAside();
    void putBack();

    QSaveFile m_file;
    int m_errnum = 0;
    qint64 m_needed = 0;
    Aside m_aside = Aside::Nothing;
    QByteArray m_asideName;
};
