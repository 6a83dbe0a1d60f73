#include "Recordset.h"

#include <QDate>
#include <QDateTime>

#include <sqlite3.h>

#include <algorithm>

#include "Connection.h"
#include "Currency.h"
#include "StoredValue.h"
#include "Transaction.h"

namespace {

const QString RecordsetSource = QStringLiteral("Kez.Recordset");

// ADO's numbers, so the error box reads as users know it.
constexpr int ErrBadArgument = 3001;
constexpr int ErrNoCurrentRow = 3021;
constexpr int ErrNotUpdatable = 3251;
constexpr int ErrUnknownField = 3265;
constexpr int ErrWrongType = 3421;
constexpr int ErrClosed = 3704;
constexpr int ErrBadConnection = 3709;
constexpr int ErrRowChanged = -2147217864;

QString quoted(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QVariant integer(qint64 v)
{
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()
            ? QVariant(int(v)) : QVariant(v);
}

QString textOf(sqlite3_stmt *stmt, int col)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, col)),
                             sqlite3_column_bytes(stmt, col));
}

int digits(const char *p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// "yyyy-MM-dd", read straight from the stored bytes: a sheet of dates opens
// without building a string per cell.
QDate dateOf(const char *p, int n)
{
    if (n < 10 || p[4] != '-' || p[7] != '-' || (n > 10 && p[10] != 'T' && p[10] != ' '))
        return QDate();
    const int y = digits(p, 4), m = digits(p + 5, 2), d = digits(p + 8, 2);
    static constexpr int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > monthDays[m - 1])
        return QDate();
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (m == 2 && d == 29 && !leap)
        return QDate();
    // Julian day number of a Gregorian date, without the calendar machinery.
    const qint64 a = (14 - m) / 12;
    const qint64 yy = y + 4800 - a;
    const qint64 mm = m + 12 * a - 3;
    return QDate::fromJulianDay(d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045);
}

QDate dateOf(const QString &text)
{
    const QByteArray latin = text.left(19).toLatin1();
    return dateOf(latin.constData(), int(latin.size()));
}

QDateTime dateTimeOf(const QString &text)
{
    if (text.size() == 10)
        return QDateTime(dateOf(text), QTime(0, 0));
    QString t = text.left(19);
    if (t.size() > 10 && t.at(10) == QLatin1Char(' '))
        t[10] = QLatin1Char('T');
    return QDateTime::fromString(t, Qt::ISODate);
}

} // namespace

Recordset::Kind Recordset::kindOf(const char *declType)
{
    if (!declType)
        return Kind::Any;
    const QByteArray t = QByteArray(declType).toUpper();
    if (t.contains("CURRENCY") || t.contains("MONEY"))
        return Kind::Currency;
    if (t.contains("YESNO") || t.contains("BOOL") || t == "BIT")
        return Kind::YesNo;
    if (t.contains("DATETIME") || t.contains("TIMESTAMP"))
        return Kind::DateTime;
    if (t.contains("DATE"))
        return Kind::Date;
    if (t.contains("INT") || t == "LONG" || t == "COUNTER" || t == "AUTOINCREMENT")
        return Kind::Integer;
    if (t.contains("CHAR") || t.contains("CLOB") || t.contains("TEXT") || t.contains("MEMO"))
        return Kind::Text;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUMERIC")
        || t.contains("DECIMAL") || t.contains("SINGLE"))
        return Kind::Real;
    return Kind::Any;
}

Recordset::Cell Recordset::make(Cell::Type type, qint64 i)
{
    Cell c;
    c.i = i;
    c.type = type;
    return c;
}

Recordset::Cell Recordset::makeDouble(double d)
{
    Cell c;
    c.d = d;
    c.type = Cell::Double;
    return c;
}

Recordset::Cell Recordset::makeInteger(qint64 v)
{
    return make(v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()
                ? Cell::Int : Cell::Int64, v);
}

Recordset::Cell Recordset::makeOther(const QVariant &v, Store &store)
{
    store.extra.append(v);
    return make(Cell::Other, store.extra.size() - 1);
}

Recordset::Cell Recordset::makeText(const char *utf8, int size, Store &store)
{
    // Text is decoded when read: opening a large query allocates no string.
    if (size > 0xFFFFFF)
        return makeOther(QString::fromUtf8(utf8, size), store);
    const qint64 offset = qint64(store.text.size());
    store.text.insert(store.text.end(), utf8, utf8 + size);
    return make(Cell::Text, (offset << 24) | size);
}

// One stored value as the program sees it. A value whose storage does not
// fit the declared type comes back as stored, so nothing is lost.
Recordset::Cell Recordset::readCell(sqlite3_value *value, Kind kind, Store &store)
{
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_NULL)
        return make(Cell::Null, 0);
    const auto text = [value] { return reinterpret_cast<const char *>(sqlite3_value_text(value)); };
    switch (kind) {
    case Kind::Any:
    case Kind::Real:
    case Kind::Text:
        break;
    case Kind::Integer:
    case Kind::Currency: {
        // A value that spells no number of the column's kind is the text it
        // is (a real as SQLite writes it), never a number made of it.
        Currency c;
        qint64 n = 0;
        if (kind == Kind::Integer ? StoredValue::whole(value, &n) : StoredValue::amount(value, &c))
            return kind == Kind::Integer ? makeInteger(n) : make(Cell::Money, c.raw());
        if (type == SQLITE_FLOAT) {
            const char *t = text();
            return makeText(t, sqlite3_value_bytes(value), store);
        }
        break;
    }
    case Kind::YesNo: {
        // A yes/no is a whole number (0 no, any other yes) or the word the
        // exchange file writes; a fraction or another text is the text it
        // is stored as, neither yes nor no.
        qint64 n = 0;
        if (StoredValue::whole(value, &n))
            return make(Cell::Bool, n != 0);
        if (type == SQLITE_TEXT) {
            const QString word = StoredValue::text(value).trimmed();
            if (word == QLatin1String("true") || word == QLatin1String("false"))
                return make(Cell::Bool, word == QLatin1String("true"));
        }
        if (type == SQLITE_FLOAT) {
            const char *t = text();
            return makeText(t, sqlite3_value_bytes(value), store);
        }
        break;
    }
    case Kind::Date:
        if (type == SQLITE_TEXT) {
            const QDate d = dateOf(text(), sqlite3_value_bytes(value));
            if (d.isValid())
                return make(Cell::Day, d.toJulianDay());
        }
        break;
    case Kind::DateTime:
        if (type == SQLITE_TEXT) {
            const QDateTime d = dateTimeOf(QString::fromUtf8(text(), sqlite3_value_bytes(value)));
            if (d.isValid())
                return makeOther(d, store);
        }
        break;
    }
    switch (type) {
    case SQLITE_INTEGER:
        if (kind == Kind::Real)
            return makeDouble(sqlite3_value_double(value));
        return makeInteger(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return makeDouble(sqlite3_value_double(value));
    case SQLITE_TEXT: {
        const char *t = text();
        return makeText(t, sqlite3_value_bytes(value), store);
    }
    default:
        return makeOther(QByteArray(static_cast<const char *>(sqlite3_value_blob(value)),
                                    sqlite3_value_bytes(value)), store);
    }
}

Recordset::Cell Recordset::toCell(const QVariant &v, Store &store)
{
    if (v.isNull())
        return make(Cell::Null, 0);
    switch (v.typeId()) {
    case QMetaType::Int: return make(Cell::Int, v.toInt());
    case QMetaType::LongLong: return make(Cell::Int64, v.toLongLong());
    case QMetaType::Double: return makeDouble(v.toDouble());
    case QMetaType::Bool: return make(Cell::Bool, v.toBool());
    case QMetaType::QDate: return make(Cell::Day, v.toDate().toJulianDay());
    case QMetaType::QString: {
        const QByteArray utf8 = v.toString().toUtf8();
        return makeText(utf8.constData(), int(utf8.size()), store);
    }
    default:
        if (Currency::isCurrency(v))
            return make(Cell::Money, v.value<Currency>().raw());
        return makeOther(v, store);
    }
}

// Text written over old text leaves the old bytes unused in the buffer; a
// recordset lives for one form, so the waste stays small.
void Recordset::setCell(int pos, int column, const QVariant &v)
{
    m_store.put(m_rows[size_t(pos)], column, toCell(v, m_store));
}

void Recordset::Store::reset(int columnCount)
{
    columns = columnCount;
    blockShift = 0;
    while ((2 << blockShift) * std::max(1, columnCount) <= 16384)
        ++blockShift;
    rows = 0;
    blocks.clear();
    text.clear();
    extra.clear();
}

int Recordset::Store::appendRow()
{
    if ((rows & ((1 << blockShift) - 1)) == 0) {
        const size_t cells = (size_t(1) << blockShift) * size_t(std::max(1, columns));
        blocks.push_back({std::unique_ptr<qint64[]>(new qint64[cells]),
                          std::unique_ptr<Cell::Type[]>(new Cell::Type[cells])});
    }
    return rows++;
}

// A value assigned to a field takes the column's type, so reading it back
// before the row is read again gives what a Resync would give.
QVariant Recordset::normalised(const QVariant &v, Kind kind, bool *ok)
{
    *ok = true;
    if (v.isNull())
        return QVariant();
    const bool isText = v.typeId() == QMetaType::QString;
    if (isText && v.toString().isEmpty() && kind != Kind::Text && kind != Kind::Any)
        return QVariant();
    switch (kind) {
    case Kind::Any:
        return v;
    case Kind::Text:
        return Currency::isCurrency(v) ? QVariant(v.value<Currency>().toString()) : QVariant(v.toString());
    case Kind::Currency: {
        const Currency c = Currency::fromVariant(v, ok);
        return *ok ? QVariant::fromValue(c) : QVariant();
    }
    case Kind::YesNo:
        if (v.typeId() == QMetaType::Bool)
            return v;
        if (isText) {
            const QString t = v.toString().trimmed();
            if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return QVariant(true);
            if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return QVariant(false);
        }
        if (Currency::isCurrency(v))
            return QVariant(v.value<Currency>().raw() != 0);
        {
            const double d = v.toDouble(ok);
            return *ok ? QVariant(d != 0) : QVariant();
        }
    case Kind::Integer: {
        if (Currency::isCurrency(v)) {
            *ok = v.value<Currency>().raw() % Currency::Scale == 0;
            return *ok ? integer(v.value<Currency>().raw() / Currency::Scale) : QVariant();
        }
        if (v.typeId() == QMetaType::Bool)
            return QVariant(v.toBool() ? -1 : 0);
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            const double d = v.toDouble();
            *ok = d == double(qint64(d));
            return *ok ? integer(qint64(d)) : QVariant();
        }
        const qint64 n = isText ? v.toString().trimmed().toLongLong(ok) : v.toLongLong(ok);
        return *ok ? integer(n) : QVariant();
    }
    case Kind::Real: {
        const double d = Currency::isCurrency(v) ? v.value<Currency>().toDouble()
                : isText ? v.toString().trimmed().toDouble(ok) : v.toDouble(ok);
        return *ok ? QVariant(d) : QVariant();
    }
    case Kind::Date:
        if (v.typeId() == QMetaType::QDate)
            return v;
        if (v.typeId() == QMetaType::QDateTime)
            return QVariant(v.toDateTime().date());
        if (isText) {
            const QDate d = dateOf(v.toString());
            *ok = d.isValid();
            return *ok ? QVariant(d) : QVariant();
        }
        break;
    case Kind::DateTime:
        if (v.typeId() == QMetaType::QDateTime)
            return v;
        if (v.typeId() == QMetaType::QDate)
            return QVariant(QDateTime(v.toDate(), QTime(0, 0)));
        if (isText) {
            const QDateTime d = dateTimeOf(v.toString());
            *ok = d.isValid();
            return *ok ? QVariant(d) : QVariant();
        }
        break;
    }
    *ok = false;
    return QVariant();
}

bool Recordset::open(const QString &sql, Connection *cn, int lockType, const QVariantList &params)
{
    close();
    m_error = ErrInfo();
    if (!cn || !cn->isOpen())
        return fail(ErrBadConnection, QStringLiteral("Impossibile utilizzare la connessione per eseguire "
                                                     "l'operazione. È chiusa o non valida in questo contesto."));
    m_cn = cn;
    m_sql = sql;
    m_params = params;
    m_lockType = lockType == adLockReadOnly ? adLockReadOnly : adLockOptimistic;
    return load(-1);
}

// Runs the query and copies every row in. keepPosition >= 0 asks to stay
// on that row index (Requery); otherwise the first row is current.
bool Recordset::load(int keepPosition)
{
    Currency::registerMetaType();
    const QByteArray text = m_sql.toUtf8();
    int consumed = 0;
    sqlite3_stmt *stmt = m_cn->prepare(text, &consumed);
    if (!stmt) {
        if (m_cn->lastError().Number == 0)
            m_cn->setError(SQLITE_MISUSE, QStringLiteral("Nessuna istruzione SQL da eseguire."));
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    }
    int nextParam = 0;
    if (!m_cn->bindParams(stmt, m_params, &nextParam, true)) {
        sqlite3_finalize(stmt);
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    }
    const int columns = sqlite3_column_count(stmt);
    QVector<Column> cols(columns);
    QVector<Kind> kinds(columns);
    QStringList fields;
    for (int c = 0; c < columns; ++c) {
        Column &col = cols[c];
        col.name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        col.origin = QString::fromUtf8(sqlite3_column_origin_name(stmt, c));
        col.table = QString::fromUtf8(sqlite3_column_table_name(stmt, c));
        col.kind = kindOf(sqlite3_column_decltype(stmt, c));
        kinds[c] = col.kind;
        fields.append(col.name);
    }
    Store store;
    store.reset(columns);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const int row = store.appendRow();
        const Store::Block &block = store.blocks.back();
        const size_t base = size_t(row & ((1 << store.blockShift) - 1)) * size_t(columns);
        qint64 *values = block.values.get() + base;
        Cell::Type *types = block.types.get() + base;
        for (int c = 0; c < columns; ++c) {
            sqlite3_value *v = sqlite3_column_value(stmt, c);
            // Whole numbers and NULLs, most of any table, without the
            // general conversion.
            const int type = sqlite3_value_type(v);
            if (type == SQLITE_NULL) {
                values[c] = 0;
                types[c] = Cell::Null;
            } else if (type == SQLITE_INTEGER && (kinds[c] == Kind::Integer || kinds[c] == Kind::Currency)) {
                const qint64 n = sqlite3_value_int64(v);
                values[c] = n;
                types[c] = kinds[c] == Kind::Currency ? Cell::Money
                        : n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max()
                        ? Cell::Int : Cell::Int64;
            } else {
                const Cell cell = readCell(v, kinds[c], store);
                values[c] = cell.i;
                types[c] = cell.type;
            }
        }
    }
    if (rc != SQLITE_DONE) {
        const int number = sqlite3_extended_errcode(m_cn->handle());
        const QString description = Connection::describeError(m_cn->handle());
        sqlite3_finalize(stmt);
        m_cn->setError(number, description);
        return fail(number, description);
    }
    sqlite3_finalize(stmt);

    m_columns = cols;
    m_fields = fields;
    m_store = std::move(store);
    const int rows = m_store.rows;
    m_rows.resize(size_t(rows));
    for (int r = 0; r < rows; ++r)
        m_rows[size_t(r)] = r;
    m_keyKnown = false;
    m_open = true;
    m_onDeleted = false;
    m_editMode = adEditNone;
    m_pos = rows == 0 ? -1 : keepPosition >= 0 ? std::min(keepPosition, rows - 1) : 0;
    if (rows == 0)
        m_pos = 0;      // empty: BOF and EOF both hold
    return true;
}

void Recordset::close()
{
    m_open = false;
    m_columns.clear();
    m_fields.clear();
    m_store = Store();
    m_rows.clear();
    m_pos = -1;
    m_onDeleted = false;
    m_editMode = adEditNone;
    m_editValues.clear();
    m_dirty.clear();
    m_keyKnown = false;
    m_table.clear();
    m_keyColumns.clear();
    m_notUpdatable.clear();
}

bool Recordset::Requery()
{
    if (!m_open)
        return fail(ErrClosed, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    if (m_editMode != adEditNone)
        CancelUpdate();
    QVariantList key;
    if (hasRow() && findKey())
        key = keyValues(m_pos);
    const int oldPos = std::max(m_pos, 0);
    if (!load(oldPos))
        return false;
    if (!key.isEmpty() && findKey()) {
        for (int r = 0; r < RecordCount(); ++r) {
            if (keyValues(r) == key) {
                m_pos = r;
                break;
            }
        }
    }
    return true;
}

bool Recordset::hasRow() const
{
    return m_open && !m_onDeleted && m_pos >= 0 && m_pos < RecordCount();
}

bool Recordset::slowEof() const
{
    if (!m_open)
        return true;
    if (m_editMode == adEditAdd || m_onDeleted)
        return false;
    return RecordCount() == 0 || m_pos >= RecordCount();
}

bool Recordset::bof() const
{
    if (!m_open)
        return true;
    if (m_editMode == adEditAdd || m_onDeleted)
        return false;
    return RecordCount() == 0 || m_pos < 0;
}

// Moving off a row being edited writes it, as ADO does; a refused write
// keeps the row current.
bool Recordset::leaveRow()
{
    if (!m_open)
        return fail(ErrClosed, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    return m_editMode == adEditNone || Update();
}

void Recordset::moveTo(int pos)
{
    m_onDeleted = false;
    m_pos = std::clamp(pos, -1, RecordCount());
}

void Recordset::MoveFirst()
{
    if (leaveRow())
        moveTo(0);
}

void Recordset::MoveLast()
{
    if (leaveRow())
        moveTo(RecordCount() == 0 ? 0 : RecordCount() - 1);
}

void Recordset::slowMoveNext()
{
    if (!leaveRow())
        return;
    if (eof()) {
        fail(ErrNoCurrentRow, QString());
        return;
    }
    // After a Delete the row that followed already sits at m_pos.
    moveTo(m_onDeleted ? m_pos : m_pos + 1);
}

void Recordset::MovePrevious()
{
    if (!leaveRow())
        return;
    if (bof()) {
        fail(ErrNoCurrentRow, QString());
        return;
    }
    moveTo(m_pos - 1);
}

void Recordset::Move(int rows)
{
    if (!leaveRow() || rows == 0)
        return;
    if ((rows > 0 && eof()) || (rows < 0 && bof())) {
        fail(ErrNoCurrentRow, QString());
        return;
    }
    moveTo(m_onDeleted && rows > 0 ? m_pos + rows - 1 : m_pos + rows);
}

int Recordset::AbsolutePosition() const
{
    return hasRow() ? m_pos + 1 : -1;
}

void Recordset::setAbsolutePosition(int position)
{
    if (!leaveRow())
        return;
    if (position < 1 || position > RecordCount()) {
        fail(ErrBadArgument, QString());
        return;
    }
    moveTo(position - 1);
}

double Recordset::Bookmark() const
{
    if (!needRow())
        return 0;
    return m_editMode == adEditAdd ? 0 : m_rows[size_t(m_pos)] + 1;
}

void Recordset::setBookmark(double bookmark)
{
    if (!leaveRow())
        return;
    const auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), bookmark - 1);
    if (it == m_rows.cend() || *it + 1 != bookmark) {
        fail(ErrBadArgument, QString());
        return;
    }
    moveTo(int(it - m_rows.cbegin()));
}

int Recordset::fieldCount() const
{
    return int(m_columns.size());
}

QString Recordset::fieldName(int index) const
{
    return index >= 0 && index < m_columns.size() ? m_columns.at(index).name : QString();
}

QStringList Recordset::fieldNames() const
{
    return m_fields;
}

// Field names are looked up on every read: plain ASCII names, the rule,
// compare without building folded copies.
static bool sameName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t ca = pa[i].unicode();
        const char16_t cb = pb[i].unicode();
        if (ca == cb)
            continue;
        if (ca >= 0x80 || cb >= 0x80)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        if ((ca | 0x20) != (cb | 0x20) || (ca | 0x20) < 'a' || (ca | 0x20) > 'z')
            return false;
    }
    return true;
}

bool Recordset::hasField(const QString &name) const
{
    for (const Column &c : m_columns)
        if (sameName(c.name, name))
            return true;
    return false;
}

int Recordset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (sameName(m_columns.at(i).name, name))
            return i;
    fail(ErrUnknownField, QString());
    return -1;
}

QVariant Recordset::value(const QString &name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? QVariant() : value(i);
}

QVariant Recordset::slowValue(int index) const
{
    if (index < 0 || index >= m_columns.size()) {
        fail(ErrUnknownField, QString());
        return QVariant();
    }
    if (m_editMode != adEditNone)
        return m_editValues.at(index);
    if (!needRow())
        return QVariant();
    return cell(m_pos, index);
}

bool Recordset::needRow() const
{
    if (!m_open)
        return fail(ErrClosed, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    if (m_editMode == adEditAdd || hasRow())
        return true;
    return fail(ErrNoCurrentRow, QString());
}

bool Recordset::setValue(const QString &name, const QVariant &value)
{
    const int i = fieldIndex(name);
    if (i < 0 || !needRow() || !needUpdatable())
        return false;
    const Column &col = m_columns.at(i);
    if (col.origin.isEmpty() || col.table.compare(m_table, Qt::CaseInsensitive) != 0)
        return fail(ErrNotUpdatable, QStringLiteral("Il campo ") + col.name
                    + QStringLiteral(" è un'espressione e non può essere aggiornato."));
    // A value the file holds that is not of the column's kind (read as its
    // text), handed back as it was read (a form saving what it shows),
    // stays as it is: neither refused nor made into a number.
    const bool kept = (col.kind == Kind::Integer || col.kind == Kind::Currency || col.kind == Kind::YesNo)
        && value.typeId() == QMetaType::QString
        && value == (m_editMode == adEditNone ? cell(m_pos, i) : m_editValues.at(i));
    bool ok = true;
    const QVariant v = kept ? QVariant() : normalised(value, col.kind, &ok);
    if (!ok)
        return fail(ErrWrongType, QString());
    if (m_editMode == adEditNone) {
        m_editValues.clear();
        for (int c = 0; c < m_columns.size(); ++c)
            m_editValues.append(cell(m_pos, c));
        m_dirty = QVector<bool>(m_columns.size(), false);
        m_editMode = adEditInProgress;
    }
    if (!kept) {
        m_editValues[i] = v;
        m_dirty[i] = true;
    }
    return true;
}

bool Recordset::AddNew()
{
    if (!m_open)
        return fail(ErrClosed, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    if (!needUpdatable() || !leaveRow())
        return false;
    m_addReturnPos = m_onDeleted ? std::min(m_pos, RecordCount() - 1) : m_pos;
    m_onDeleted = false;
    m_editValues = QVariantList();
    for (int c = 0; c < m_columns.size(); ++c)
        m_editValues.append(QVariant());
    m_dirty = QVector<bool>(m_columns.size(), false);
    m_editMode = adEditAdd;
    return true;
}

bool Recordset::Update()
{
    if (!m_open)
        return fail(ErrClosed, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    if (m_editMode == adEditNone)
        return true;
    if (!needUpdatable())
        return false;
    Transaction transaction(*m_cn);
    if (!transaction.isActive())
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    if (!writeBack()) {
        const ErrInfo err = m_error;
        transaction.rollback();
        return fail(err.Number, err.Description);
    }
    if (!transaction.commit())
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    return finishEdit();
}

// The SQL of Update, inside its transaction; on success the new values are
// in m_editValues, ready to replace the row.
bool Recordset::writeBack()
{
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (!m_dirty.at(c))
            continue;
        names.append(quoted(m_columns.at(c).origin));
        marks.append(QStringLiteral("?"));
        values.append(m_editValues.at(c));
    }
    if (m_editMode == adEditAdd) {
        const QString sql = names.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(m_table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        if (!m_cn->execute(sql, values))
            return fail(m_cn->lastError().Number, m_cn->lastError().Description);
        // The row as the table stored it: its AutoNumber and the defaults
        // of the columns left alone.
        QVariantList stored;
        if (!readRow(QStringLiteral("rowid = ?"), {m_cn->lastInsertRowId()}, &stored))
            return false;
        m_editValues = stored;
        return true;
    }
    if (names.isEmpty())
        return true;
    for (QString &n : names)
        n += QStringLiteral(" = ?");
    values += keyValues(m_pos);
    int changed = 0;
    if (!m_cn->execute(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                           .arg(quoted(m_table), names.join(QStringLiteral(", ")), keyWhere()),
                       values, &changed))
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    if (changed == 0)
        return fail(ErrRowChanged, QStringLiteral("Impossibile trovare la riga per l'aggiornamento. "
                                                  "Alcuni valori potrebbero essere stati modificati "
                                                  "dall'ultima lettura."));
    return true;
}

bool Recordset::finishEdit()
{
    const int columns = int(m_columns.size());
    if (m_editMode == adEditAdd) {
        const int row = m_store.appendRow();
        for (int c = 0; c < columns; ++c)
            m_store.put(row, c, toCell(m_editValues.at(c), m_store));
        m_rows.push_back(m_store.rows - 1);
        m_pos = RecordCount() - 1;
    } else {
        for (int c = 0; c < columns; ++c)
            setCell(m_pos, c, m_editValues.at(c));
    }
    m_onDeleted = false;
    m_editMode = adEditNone;
    m_editValues.clear();
    m_dirty.clear();
    return true;
}

void Recordset::CancelUpdate()
{
    if (m_editMode == adEditAdd)
        m_pos = m_addReturnPos;
    m_editMode = adEditNone;
    m_editValues.clear();
    m_dirty.clear();
}

bool Recordset::Delete()
{
    if (!m_open)
        return fail(ErrClosed, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    if (m_editMode == adEditAdd) {
        CancelUpdate();
        return true;
    }
    if (!needRow() || !needUpdatable())
        return false;
    CancelUpdate();
    int deleted = 0;
    if (!m_cn->execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_table), keyWhere()),
                       keyValues(m_pos), &deleted))
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    if (deleted == 0)
        return fail(ErrRowChanged, QStringLiteral("La riga da eliminare non esiste più."));
    m_rows.erase(m_rows.begin() + m_pos);
    m_onDeleted = true;
    return true;
}

bool Recordset::Resync()
{
    if (!needRow())
        return false;
    if (m_editMode == adEditAdd)
        return fail(ErrNoCurrentRow, QString());
    CancelUpdate();
    if (!findKey())
        return notUpdatable();
    QVariantList values;
    if (!readRow(keyWhere(), keyValues(m_pos), &values))
        return false;
    for (int c = 0; c < m_columns.size(); ++c)
        setCell(m_pos, c, values.at(c));
    return true;
}

// Reads one row of the table, the query's columns that come from it, each
// typed as at open; columns of expressions stay as they were (Null for a
// new row).
bool Recordset::readRow(const QString &where, const QVariantList &params, QVariantList *values)
{
    QStringList select;
    QVector<int> from;
    for (int c = 0; c < m_columns.size(); ++c) {
        const Column &col = m_columns.at(c);
        if (!col.origin.isEmpty() && col.table.compare(m_table, Qt::CaseInsensitive) == 0) {
            select.append(quoted(col.origin));
            from.append(c);
        }
    }
    values->clear();
    for (int c = 0; c < m_columns.size(); ++c)
        values->append(m_editMode == adEditAdd || !hasRow() ? QVariant() : cell(m_pos, c));
    if (select.isEmpty())
        return true;
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(select.join(QStringLiteral(", ")), quoted(m_table), where).toUtf8();
    int consumed = 0;
    sqlite3_stmt *stmt = m_cn->prepare(sql, &consumed);
    int next = 0;
    if (!stmt || !m_cn->bindParams(stmt, params, &next, true)) {
        sqlite3_finalize(stmt);
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    }
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        Store store;
        for (int i = 0; i < from.size(); ++i) {
            const Cell c = readCell(sqlite3_column_value(stmt, i), m_columns.at(from.at(i)).kind, store);
            (*values)[from.at(i)] = cellValue(c, store);
        }
    }
    const int number = sqlite3_extended_errcode(m_cn->handle());
    const QString description = Connection::describeError(m_cn->handle());
    sqlite3_finalize(stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return fail(ErrRowChanged, QStringLiteral("Il valore chiave di questa riga è stato modificato "
                                                  "o eliminato nell'archivio dati."));
    m_cn->setError(number, description);
    return fail(number, description);
}

bool Recordset::needUpdatable()
{
    if (m_lockType == adLockReadOnly)
        return fail(ErrNotUpdatable, QStringLiteral("Il recordset corrente non supporta l'aggiornamento. "
                                                    "Potrebbe trattarsi di una limitazione del provider "
                                                    "o del tipo di blocco selezionato."));
    return findKey() || notUpdatable();
}

// False, raising why the recordset cannot be written, unless findKey has
// already reported its own failure.
bool Recordset::notUpdatable() const
{
    return m_notUpdatable.isEmpty() ? false : fail(ErrNotUpdatable, m_notUpdatable);
}

// The one table the query reads and the columns of its primary key,
// looked up once. Only what was read is kept: a lookup that failed (another
// program's lock, a damaged file) is reported as what it is, with the
// connection's error, and made again at the next write.
bool Recordset::findKey()
{
    if (m_keyKnown)
        return m_notUpdatable.isEmpty();
    m_table.clear();
    m_keyColumns.clear();
    m_notUpdatable.clear();
    for (const Column &c : std::as_const(m_columns)) {
        if (c.table.isEmpty())
            continue;
        if (m_table.isEmpty())
            m_table = c.table;
        else if (c.table.compare(m_table, Qt::CaseInsensitive) != 0)
            m_notUpdatable = QStringLiteral("Il recordset legge più tabelle e non può essere aggiornato.");
    }
    if (m_table.isEmpty())
        m_notUpdatable = QStringLiteral("Il recordset non legge colonne di una tabella e non può essere aggiornato.");
    m_keyKnown = !m_notUpdatable.isEmpty();
    if (m_keyKnown)
        return false;

    const QByteArray sql = QStringLiteral("PRAGMA table_info(%1)").arg(quoted(m_table)).toUtf8();
    int consumed = 0;
    sqlite3_stmt *stmt = m_cn->prepare(sql, &consumed);
    if (!stmt)
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    QVector<QPair<int, QString>> keys;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const int pk = sqlite3_column_int(stmt, 5);
        if (pk > 0)
            keys.append({pk, textOf(stmt, 1)});
    }
    if (rc != SQLITE_DONE)
        m_cn->sqliteError();
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        return fail(m_cn->lastError().Number, m_cn->lastError().Description);
    m_keyKnown = true;
    std::sort(keys.begin(), keys.end());
    for (const auto &k : std::as_const(keys)) {
        int found = -1;
        for (int c = 0; c < m_columns.size() && found < 0; ++c) {
            const Column &col = m_columns.at(c);
            if (col.origin.compare(k.second, Qt::CaseInsensitive) == 0
                && col.table.compare(m_table, Qt::CaseInsensitive) == 0)
                found = c;
        }
        if (found < 0) {
            m_notUpdatable = QStringLiteral("La chiave primaria %1 di %2 non è tra le colonne lette.")
                    .arg(k.second, m_table);
            return false;
        }
        m_keyColumns.append(found);
    }
    if (m_keyColumns.isEmpty()) {
        m_notUpdatable = QStringLiteral("La tabella %1 non ha una chiave primaria.").arg(m_table);
        return false;
    }
    return true;
}

QVariantList Recordset::keyValues(int row) const
{
    QVariantList values;
    for (int c : m_keyColumns)
        values.append(cell(row, c));
    return values;
}

QString Recordset::keyWhere() const
{
    QStringList parts;
    for (int c : m_keyColumns)
        parts.append(quoted(m_columns.at(c).origin) + QStringLiteral(" = ?"));
    return parts.join(QStringLiteral(" AND "));
}

bool Recordset::fail(int number, const QString &description) const
{
    QString text = description;
    if (text.isEmpty()) {
        switch (number) {
        case ErrNoCurrentRow:
            text = QStringLiteral("BOF o EOF è True oppure il record corrente è stato eliminato. "
                                  "L'operazione richiesta richiede un record corrente.");
            break;
        case ErrUnknownField:
            text = QStringLiteral("Impossibile trovare l'elemento nell'insieme corrispondente "
                                  "al nome o al numero ordinale richiesto.");
            break;
        case ErrWrongType:
            text = QStringLiteral("L'applicazione utilizza un valore di tipo errato "
                                  "per l'operazione corrente.");
            break;
        default:
            text = QStringLiteral("Argomenti di tipo errato, non compresi nell'intervallo "
                                  "accettabile o in conflitto.");
        }
    }
    m_error.Number = number;
    m_error.Description = text;
    m_error.Source = RecordsetSource;
    ErrInfo::raise(number, text, RecordsetSource);
    return false;
}
