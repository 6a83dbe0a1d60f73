#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include <memory>
#include <vector>

#include "Currency.h"
#include "ErrInfo.h"

class Connection;
struct sqlite3_stmt;
struct sqlite3_value;

// A static, client-side recordset: the rows of a query are copied in when it
// opens, so counting, moving and bookmarks never go back to the file.
// Fields are found by name without regard to case and read as QVariant
// (a null QVariant is Null). Column types follow the declared type in the
// schema: CURRENCY as Currency, YESNO as bool (stored 0/-1), DATE as QDate,
// DATETIME as QDateTime, INTEGER as int (qint64 when it does not fit),
// REAL as double, TEXT as QString.
//
// CURRENCY columns hold whole numbers of ten-thousandths (a REAL or text
// found there reads as the amount it spells). A value of an INTEGER or
// CURRENCY column that spells no number of the column's kind (a fraction,
// another text, a real beyond any amount), or of a YESNO column that is no
// yes/no (a fraction, a text other than a whole number, "true" or
// "false"), reads as the text it is stored as; handed back unchanged to
// setValue, it stays as it is. Expressions have no declared type: SUM over
// a CURRENCY column gives the whole number of ten-thousandths, to be read
// with Currency::fromRaw.
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

    bool eof() const
    {
        if (m_open && m_editMode != adEditAdd && !m_onDeleted)
            return m_pos >= int(m_rows.size());
        return slowEof();
    }
    bool bof() const;
    int RecordCount() const { return m_open ? int(m_rows.size()) : -1; }
    void MoveFirst();
    void MoveLast();
    void MoveNext()
    {
        // Walking a list of rows is the common case: keep it cheap.
        if (m_open && m_editMode == adEditNone && !m_onDeleted && size_t(m_pos) < m_rows.size())
            ++m_pos;
        else
            slowMoveNext();
    }
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
    QVariant value(int index) const
    {
        if (m_editMode == adEditNone && !m_onDeleted && unsigned(index) < unsigned(m_columns.size())
            && size_t(m_pos) < m_rows.size())
            return cell(m_pos, index);
        return slowValue(index);
    }
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
    bool slowEof() const;
    void slowMoveNext();
    QVariant slowValue(int index) const;
    bool fail(int number, const QString &description) const;
    bool needRow() const;
    bool needUpdatable();
    bool findKey();
    int fieldIndex(const QString &name) const;
    bool hasRow() const;
    // A stored value: numbers, amounts, flags and dates inline; text as
    // the offset and length of its UTF-8 in one buffer for the recordset,
    // decoded when read, so a large query opens without a string per cell;
    // anything else as a QVariant kept aside.
    struct Cell
    {
        enum Type : unsigned char { Null, Int, Int64, Double, Bool, Money, Day, Text, Other };
        union {
            qint64 i;
            double d;
        };
        Type type;
    };
    // Rows in fixed-size blocks, the values apart from their one-byte types
    // (9 bytes a cell): a row never moves once stored, so a large query is
    // copied in once, without growing one big array over and over.
    struct Store
    {
        struct Block
        {
            std::unique_ptr<qint64[]> values;
            std::unique_ptr<Cell::Type[]> types;
        };
        int columns = 0;
        int blockShift = 0;     // rows per block = 1 << blockShift
        int rows = 0;
        std::vector<Block> blocks;
        std::vector<char> text;     // UTF-8 of every Text cell, one after the other;
                                    // text replaced by an edit stays, unused
        QVector<QVariant> extra;

        void reset(int columnCount);
        int appendRow();
        Cell get(int r, int c) const
        {
            const Block &b = blocks[size_t(r >> blockShift)];
            const size_t i = size_t(r & ((1 << blockShift) - 1)) * size_t(columns) + size_t(c);
            Cell cell;
            cell.i = b.values[i];
            cell.type = b.types[i];
            return cell;
        }
        void put(int r, int c, const Cell &cell)
        {
            const Block &b = blocks[size_t(r >> blockShift)];
            const size_t i = size_t(r & ((1 << blockShift) - 1)) * size_t(columns) + size_t(c);
            b.values[i] = cell.i;
            b.types[i] = cell.type;
        }
    };
    // The value at a position (0-based, among the rows not deleted).
    QVariant cell(int pos, int column) const
    {
        return cellValue(m_store.get(m_rows[size_t(pos)], column), m_store);
    }
    void setCell(int pos, int column, const QVariant &v);
    static QVariant cellValue(const Cell &c, const Store &store)
    {
        switch (c.type) {
        case Cell::Null: return QVariant();
        case Cell::Int: return QVariant(int(c.i));
        case Cell::Int64: return QVariant(c.i);
        case Cell::Double: return QVariant(c.d);
        case Cell::Bool: return QVariant(c.i != 0);
        case Cell::Money: return QVariant::fromValue(Currency::fromRaw(c.i));
        case Cell::Day: return QVariant(QDate::fromJulianDay(c.i));
        case Cell::Text:
            return QVariant(QString::fromUtf8(store.text.data() + (c.i >> 24), qsizetype(c.i & 0xFFFFFF)));
        case Cell::Other: return store.extra.at(int(c.i));
        }
        return QVariant();
    }
    static Cell toCell(const QVariant &v, Store &store);
    static Cell readCell(sqlite3_value *value, Kind kind, Store &store);
    static Cell make(Cell::Type type, qint64 i);
    static Cell makeDouble(double d);
    static Cell makeInteger(qint64 v);
    static Cell makeOther(const QVariant &v, Store &store);
    static Cell makeText(const char *utf8, int size, Store &store);
    QVariantList keyValues(int row) const;
    QString keyWhere() const;
    bool notUpdatable() const;
    bool readRow(const QString &where, const QVariantList &params, QVariantList *values);
    bool finishEdit();
    bool writeBack();
    bool leaveRow();
    void moveTo(int pos);

    static Kind kindOf(const char *declType);
    static QVariant normalised(const QVariant &v, Kind kind, bool *ok);

    Connection *m_cn = nullptr;
    QString m_sql;
    QVariantList m_params;
    int m_lockType = adLockReadOnly;
    bool m_open = false;
    QVector<Column> m_columns;
    QStringList m_fields;
    Store m_store;
    // The stored row at each position; ascending, as new rows go last. A
    // row's bookmark is its stored index + 1, so it outlives deletes.
    std::vector<int> m_rows;
    int m_pos = -1;             // -1 = BOF, RecordCount() = EOF
    bool m_onDeleted = false;   // the current row was deleted; m_pos is the row after it

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
