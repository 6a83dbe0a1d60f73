#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include "ErrInfo.h"

class Connection;
struct sqlite3_stmt;

// A static, client-side recordset: the rows of a query are copied in when it
// opens, so counting, moving and bookmarks never go back to the file.
// Fields are found by name without regard to case and read as QVariant
// (a null QVariant is Null). Column types follow the declared type in the
// schema: CURRENCY as Currency, YESNO as bool (stored 0/-1), DATE as QDate,
// DATETIME as QDateTime, INTEGER as int (qint64 when it does not fit),
// REAL as double, TEXT as QString.
//
// CURRENCY columns hold whole numbers of ten-thousandths (a REAL or text
// found there reads as the amount it spells). Expressions have no declared
// type: SUM over a CURRENCY column gives the whole number of
// ten-thousandths, to be read with Currency::fromRaw.
//
// An optimistic recordset over one table writes AddNew/Update/Delete back
// by the table's primary key, in a transaction, with bound parameters; the
// AutoNumber of a new row is read back into it, with the defaults the table
// gave the other columns. Moving off a row being edited writes it first.
// Errors keep ADO's numbers (3021 no current row, 3251 not updatable, 3265
// unknown field, 3421 wrong type of value) or SQLite's extended codes, and
// are raised into ErrInfo::current() with Source "Kez.Recordset".
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
    // How a column's stored values become QVariants, from its declared type.
    enum class Kind : unsigned char { Any, Integer, Real, Text, Currency, YesNo, Date, DateTime };
    struct Column
    {
        QString name;
        QString origin;         // the table's own column name, empty for expressions
        QString table;
        Kind kind = Kind::Any;
    };

    bool load(int keepPosition);
    bool fail(int number, const QString &description) const;
    bool needRow() const;
    bool needUpdatable();
    bool findKey();
    int fieldIndex(const QString &name) const;
    bool hasRow() const;
    const QVariant &cell(int row, int column) const { return m_cells.at(row * m_columns.size() + column); }
    QVariant &cell(int row, int column) { return m_cells[row * m_columns.size() + column]; }
    QVariantList keyValues(int row) const;
    QString keyWhere() const;
    bool readRow(const QString &where, const QVariantList &params, QVariantList *values);
    bool finishEdit();
    bool writeBack();
    bool leaveRow();
    void moveTo(int pos);

    static Kind kindOf(const char *declType);
    static QVariant readCell(sqlite3_stmt *stmt, int col, Kind kind);
    static QVariant normalised(const QVariant &v, Kind kind, bool *ok);

    Connection *m_cn = nullptr;
    QString m_sql;
    QVariantList m_params;
    int m_lockType = adLockReadOnly;
    bool m_open = false;
    QVector<Column> m_columns;
    QStringList m_fields;
    QVector<QVariant> m_cells;  // row after row, one cell per column
    QVector<double> m_bookmarks;  // one per row, ascending
    int m_pos = -1;             // -1 = BOF, RecordCount() = EOF
    bool m_onDeleted = false;   // the current row was deleted; m_pos is the row after it
    double m_nextBookmark = 1;

    // Write-back: the one table of the query and its primary key, found at
    // the first write or Resync.
    bool m_keyKnown = false;
    QString m_table;
    QVector<int> m_keyColumns;
    QString m_notUpdatable;     // why writes are refused, empty when they are not

    int m_editMode = adEditNone;
    QVariantList m_editValues;
    QVector<bool> m_dirty;
    int m_addReturnPos = -1;
    mutable ErrInfo m_error;
};
