#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include "Currency.h"

class Connection;
struct sqlite3_stmt;

// One SQL statement prepared once and run many times with new values: the
// verification, the export and the import walk thousands of rows, and
// preparing a statement per row would cost more than the work itself.
// Values bind as the connection binds them: Null, whole numbers, -1/0 for
// a flag, an amount as its ten-thousandths, text. A failure is raised into
// ErrInfo for the error box; a statement that could not be prepared raises
// its failure again at each run, so no run of it passes for one without rows.
class Statement
{
public:
    Statement(Connection &cn, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    // Runs the statement with these values; true when it ran. For a query
    // the first row, if any, is then current (see hasRow).
    bool exec(const QVariantList &params = {});
    bool hasRow() const { return m_row; }
    // Steps to the next row; false at the end or on an error.
    bool next();

    bool isNull(int column) const;
    // The stored whole number (a text of digits is that number). A value
    // that is none (a fraction, another text) reads as 0 with ok false:
    // never its leading digits nor its rounding. Null reads as 0, ok.
    qint64 integer(int column, bool *ok = nullptr) const;
    // The value as the file holds it, as text ("12A45", "2.7").
    QString text(int column) const;
    // CURRENCY columns hold ten-thousandths; a number or text written by
    // hand reads as the amount it spells. One that spells none (another
    // text, a real beyond the range or with more than four decimals) reads
    // as 0 with ok false, never as an amount capped or rounded.
    Currency money(int column, bool *ok = nullptr) const;
    // The value as the column's storage gives it (text, whole number, real).
    QVariant value(int column) const;
    QString error() const { return m_error; }
    // Rows changed by the last run of a write.
    int changes() const;

private:
    bool fail();
    sqlite3_stmt *m_stmt = nullptr;
    Connection &m_cn;
    bool m_row = false;
    QString m_error;
    int m_errorNumber = 0;
};
