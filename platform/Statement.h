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
// ErrInfo for the error box.
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
    qint64 integer(int column) const;
    QString text(int column) const;
    // CURRENCY columns hold ten-thousandths; a number or text written by
    // hand reads as the amount it spells.
    Currency money(int column) const;
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
};
