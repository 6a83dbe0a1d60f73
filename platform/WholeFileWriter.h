#pragma once

#include <QFile>
#include <QString>

#include <functional>
#include <optional>

// A file written in pieces that is either whole under its name or not
// there at all: the pieces go to a hidden file beside it, every write, the
// final flush and the sync to the disk are checked, and only then does it
// take its name. A name that is a symbolic link stays one: the file it
// names is the one written. A file never committed is taken away. An
// export of any size is written so.
//
// A file that stands or falls with another commit (an export's, with its
// database's) keeps the earlier file of its name aside, beside it, until
// keep(): a writer that ends without it takes its file away again and puts
// the earlier one back. Where the program is cut off before either, the
// next writer of that name settles what it left (settle()).
class WholeFileWriter
{
public:
    // What a commit does with the file of that name it replaces.
    enum class Earlier { Replaced, KeptAside };

    explicit WholeFileWriter(const QString &fileName);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter &) = delete;
    WholeFileWriter &operator=(const WholeFileWriter &) = delete;

    // Before a file kept aside is written: a writer of this name that was
    // cut off may have left the earlier file aside and its own temporary
    // file. holds judges the file at the name (given its path): true when
    // its own commit held, so that the earlier one goes; false when not, so
    // that the earlier one takes the name back; nothing when it could not
    // tell, which stops here with nothing changed. The temporary file goes.
    // False when the folder refused.
    bool settle(const std::function<std::optional<bool>(const QString &)> &holds);
    bool open();
    bool write(const QByteArray &bytes);
    // Flushes the file, syncs it to the disk and gives it its name; a file
    // whose earlier one is kept aside then has the folder synced too, so
    // that the name holds before anything relies on it.
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
    bool dropTemporary();
    bool putAside();
    bool takeBack();
    void putBack();

    QString m_target;
    QByteArray m_name;
    QByteArray m_folder;
    QByteArray m_temporary;
    QByteArray m_asideName;
    QFile m_file;
    int m_errnum = 0;
    qint64 m_needed = 0;
    bool m_named = false;
    Aside m_aside = Aside::Nothing;
};
