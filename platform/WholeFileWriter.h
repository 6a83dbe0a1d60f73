#pragma once

#include <QSaveFile>
#include <QString>

// A file written in pieces that is either whole under its name or not
// there at all: the pieces go to a file beside it, every write, the final
// flush and the sync to the disk are checked, and only then is it renamed
// into place. A file never committed is taken away. An export of any size
// is written so.
class WholeFileWriter
{
public:
    explicit WholeFileWriter(const QString &fileName);

    bool open();
    bool write(const QByteArray &bytes);
    // Flushes the file, syncs it to the disk and renames it into place.
    bool commit();
    // Why the step that failed did (see FileErrors), in Italian.
    QString failure() const;

private:
    // The system's error number is kept from the step that failed, before
    // anything else can change it.
    bool step(bool done);

    QSaveFile m_file;
    int m_errnum = 0;
    qint64 m_needed = 0;
};
