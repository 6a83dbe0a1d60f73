#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

class Connection;

// Writes declarations into the export file and records the export. The
// file, the export's row in expTab and the declarations' ExpID go
// together: a failure anywhere, the database's commit included, leaves no
// new file (the earlier one of its name as it was) and stamps nothing. The
// file is written a declaration at a time and checked as it grows, so that
// an export of any size takes no more memory than one of a few declarations.
class expClass
{
public:
    explicit expClass(Connection &cn);

    // Writes the declarations saIDs (in that order) to fileName, adds the
    // expTab row (cciaa: the chamber of commerce of the export) and stamps
    // ExpID. False with errorText set (a database error also reaches
    // ErrInfo for the error box).
    bool esporta(const QList<int> &saIDs, const QString &fileName, int cciaa);
    // The file's bytes for these declarations, stamped with numero and
    // dataOra; empty on a database error or when progress stopped it.
    QByteArray documento(const QList<int> &saIDs, int numero, const QDateTime &dataOra);

    int expID = 0;
    QString errorText;
    bool databaseError = false;
    // Called after each declaration written with how many are done and the
    // total; returning false stops the export, which then leaves nothing.
    std::function<bool(int, int)> progress;

private:
    enum class Written { Whole, Cancelled, DatabaseError, SinkRefused };
    // Writes the file's bytes, in pieces, to sink (false stops it).
    Written write(const QList<int> &saIDs, int numero, const QDateTime &dataOra,
                  const std::function<bool(const QByteArray &)> &sink);
    // A refusal of the file's check, told by the declaration at the line of
    // its first fault.
    QString declarationOf(const QList<int> &saIDs, const QString &reason, int line);
    // Whether the archive records the export in the file at path: the number
    // and time of its root are those of an export in expTab. A file that is
    // no export of the program's is none. Nothing when the file or the
    // archive could not be read (databaseError set for the archive).
    std::optional<bool> recorded(const QString &path);
    // One year per file, as the import wants it.
    bool oneYear(const QList<int> &saIDs, QString &reason);

    Connection &m_cn;
    // The line each of the last declarations written begins on, with its
    // place in the list.
    std::deque<std::pair<qint64, int>> m_starts;
};
