#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include "ErrInfo.h"

class Connection;

// A static, client-side recordset: the rows of a query are copied in when it
// opens, so counting, moving and bookmarks never go back to the file.
// Fields are found by name without regard to case and read as QVariant
// (a null QVariant is Null). Column types follow the declared type in the
// schema: CURRENCY as Currency, YESNO as bool (stored 0/-1), DATE as QDate,
// DATETIME as QDateTime, INTEGER as int (qint64 when it does not fit),
// REAL as double, TEXT as QString.
//
// An optimistic recordset over one table writes AddNew/Update/Delete back
// by the table's primary key, in a transaction, with bound parameters; the
// AutoNumber of a new row is read back into it.
class Recordset
{
public:
    enum LockType { adLockReadOnly = 1, adLockOptimistic = 3 };
    enum EditMode { adEditNone = 0, adEditInProgress = 1, adEditAdd = 2 };

    Recordset() = default;
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    // Opens the query on cn; params take the place of the "?" in order.
    bool open(const QString &sql, Connection *cn, int lockType = adLockReadOnly,
              const QVariantList &params = {});
    void close();
    int State() const { return m_open ? 1 : 0; }
    bool isOpen() const { return m_open; }
    // Opens the same query again, keeping the position when the row is still there.
    bool Requery();

    bool eof() const;
    bool bof() const;
    int RecordCount() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(int rows);
    // 1-based position of the current row; -1 at BOF, EOF or when empty.
    int AbsolutePosition() const;
    void setAbsolutePosition(int position);
    // A bookmark names a row for the life of the recordset, also after
    // rows before it were deleted.
    double Bookmark() const;
    void setBookmark(double bookmark);

    int fieldCount() const;
    QString fieldName(int index) const;
    QStringList fieldNames() const;
    bool hasField(const QString &name) const;
    // The value of the field in the current row (Null at BOF/EOF or for an
    // unknown name; an unknown name also raises an error).
    QVariant value(const QString &name) const;
    QVariant value(int index) const;
    QVariant operator[](const QString &name) const { return value(name); }
    // Changes the current row's field; written back by Update.
    bool setValue(const QString &name, const QVariant &value);

    bool AddNew();
    bool Update();
    void CancelUpdate();
    bool Delete();
    // Reads the current row again from the file.
    bool Resync();
    int editMode() const { return m_editMode; }

    const ErrInfo &lastError() const { return m_error; }

private:
    struct Row
    {
        QVariantList values;
        double bookmark = 0;
        bool deleted = false;
    };
    bool fail(int number, const QString &description);
    int fieldIndex(const QString &name) const;

    Connection *m_cn = nullptr;
    QString m_sql;
    QVariantList m_params;
    int m_lockType = adLockReadOnly;
    bool m_open = false;
    QStringList m_fields;
    QStringList m_declTypes;
    QStringList m_tables;       // origin table of each column, empty for expressions
    QString m_table;            // the one table written back to, empty when read-only
    QStringList m_keyFields;    // its primary key
    QVector<Row> m_rows;
    int m_pos = -1;             // -1 = BOF, m_rows.size() = EOF
    double m_nextBookmark = 1;
    int m_editMode = adEditNone;
    QVariantList m_editValues;
    ErrInfo m_error;
};
