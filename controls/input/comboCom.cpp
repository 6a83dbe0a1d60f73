#include "comboCom.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "Ambient.h"
#include "Connection.h"
#include "KezCollation.h"
#include "LookupSource.h"
#include "MsgBox.h"
#include "PropertyBag.h"
#include "Recordset.h"
#include "StoredValue.h"
#include "SystemColors.h"

namespace {

// The last code point, above every character a name can hold after the
// typed beginning: with it the prefix search is a range on the name's
// index, and the typed text is compared as text, never read as a pattern.
const QString kAfterAll = QString::fromUcs4(U"\U0010FFFF", 1);

} // namespace

class comboCom::Entries : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_entries.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_entries.size())
            return QVariant();
        const Entry &entry = m_entries.at(index.row());
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return entry.name;
        case Qt::UserRole:
            return entry.key;
        default:
            return QVariant();
        }
    }

    void replace(QVector<Entry> &&entries)
    {
        beginResetModel();
        m_entries = std::move(entries);
        endResetModel();
    }

    QString detail(int row, int column) const
    {
        return row >= 0 && row < m_entries.size() ? m_entries.at(row).details.at(column) : QString();
    }

private:
    QVector<Entry> m_entries;
};

comboCom::comboCom(QWidget *parent)
    : comboHost(true, parent)
{
    details = new Entries(this);
    cmb->setModel(details);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        cmb->setCursor(Qt::ArrowCursor);
        cmb->showPopup();
    });
    // Any change of the text or of the entry, the program's own included,
    // means the field has to be resolved again when it is left.
    connect(cmb, &QComboBox::editTextChanged, this, [this] { typedSinceFocus = true; });
    connect(cmb, &QComboBox::currentIndexChanged, this, [this] { typedSinceFocus = true; });
}

void comboCom::setBackStyle(int backStyle)
{
    m_backStyle = backStyle;
    repaintBackground();
    Q_EMIT PropertyChanged(QStringLiteral("BackStyle"));
}

QColor comboCom::shownBackColor() const
{
    if (m_backStyle == 1 || (m_backStyle == 0 && m_focused))
        return comboHost::shownBackColor();
    return containerColor();
}

QVariant comboCom::Value() const
{
    const int index = cmb->currentIndex();
    return index < 0 ? 0 : cmb->itemData(index).toInt();
}

void comboCom::setValue(const QVariant &value)
{
    qint64 key = 0;
    if (StoredValue::whole(value, &key))
        letValue(key / 1000, key % 1000);
    else
        letValue(0, 0);
}

int comboCom::letValue(const QVariant &myProv, const QVariant &myCom)
{
    holdStored(QVariant());
    setEntries({});
    cmb->setEditText(QString());
    lastSearch.clear();
    int result = 0;
    qint64 prov = 0;
    qint64 com = 0;
    const bool whole = (myProv.isNull() || StoredValue::whole(myProv, &prov))
        && (myCom.isNull() || StoredValue::whole(myCom, &com));
    Connection *cn = connection();
    if (whole && prov > 0 && com > 0 && cn) {
        std::unique_ptr<Recordset> rs = LookupSource::open(cn,
            QStringLiteral("SELECT Comuni.ComDesc, Comuni.ComCap, Comuni.comCCIAA, Province.PrvDesc, "
                           "Province.PrvSigla "
                           "FROM Comuni INNER JOIN Province ON Comuni.PrvIstat = Province.PrvIstat "
                           "WHERE (Comuni.PrvIstat = ? AND Comuni.ComIstat = ?)"),
            {prov, com});
        if (rs->isOpen() && !rs->eof()) {
            result = int(prov * 1000 + com);
            lastSearch = rs->value(0).toString();
            setEntries({{lastSearch, result,
                         {rs->value(1).toString(), rs->value(2).toString(), rs->value(3).toString(),
                          rs->value(4).toString()}}});
            cmb->setCurrentIndex(0);
            rs->close();
        }
    }
    // Codes of another type (a text, a fraction) are held and shown as the
    // file holds them: the clerk sees what is there, and a save hands them
    // back unchanged. Whole codes that name no municipality (0, or a pair
    // this year's table lacks, as codes change from year to year) leave the
    // field empty, so that a form that needs a municipality asks for one.
    if (!whole) {
        cmb->setEditText(QStringLiteral("ISTAT %1/%2").arg(myProv.toString(), myCom.toString()));
        holdStored(QVariantList{myProv, myCom});
    }
    requiredShown = false;
    take(shownKey());
    takeShown();
    return result;
}

int comboCom::shownKey() const
{
    return holdsStored() ? -1 : Value().toInt();
}

QVariant comboCom::istatComune() const
{
    return holdsStored() ? heldStored().toList().value(1) : QVariant(Value().toInt() % 1000);
}

QVariant comboCom::istatProvincia() const
{
    return holdsStored() ? heldStored().toList().value(0) : QVariant(Value().toInt() / 1000);
}

QString comboCom::detail(int column) const
{
    return details->detail(cmb->currentIndex(), column);
}

QString comboCom::cap() const
{
    return detail(0);
}

int comboCom::CCIAA() const
{
    return detail(1).trimmed().toInt();
}

QString comboCom::Provincia() const
{
    return detail(2);
}

QString comboCom::Sigla() const
{
    return detail(3);
}

bool comboCom::requiredCheck()
{
    return acceptEmpty(Required, requiredShown, MsgRequired,
                       QStringLiteral("Attenzione, campo Comune richiesto!"));
}

// An emptied field refused once and let through when it is left again is
// a change like any other: what counts is the value against the one the
// form last took, so the form clears what goes with it and saves nothing
// it no longer shows.
bool comboCom::Match(bool &Modificato)
{
    const bool accepted = resolve();
    const int value = shownKey();
    Modificato = value != m_taken || (!accepted && typedSinceFocus);
    if (accepted && value != m_taken)
        take(value);
    return accepted;
}

void comboCom::take(int key)
{
    m_taken = key;
    m_capBefore = m_takenCap;
    m_takenCap = cap().trimmed();
}

QVariant comboCom::capFor(const QVariant &shown) const
{
    if (!m_takenCap.isEmpty())
        return m_takenCap;
    if (!m_capBefore.isEmpty() && shown.toString().trimmed() == m_capBefore)
        return QVariant();
    return shown;
}

bool comboCom::resolve()
{
    // Codes held from the file stand until something is typed over them.
    if (holdsStored())
        return true;
    if (!typedSinceFocus)
        return cmb->currentIndex() < 0 && cmb->currentText().isEmpty() ? requiredCheck() : true;
    if (cmb->currentIndex() >= 0)
        return true;
    const QString t = cmb->currentText().trimmed();
    if (t.isEmpty())
        return requiredCheck();
    // The list is in name order: the first entry not below the text is the
    // only one that can be the typed name.
    for (int i = 0; i < cmb->count(); ++i) {
        const int cmp = KezCollation::compare(t, cmb->itemText(i));
        if (cmp == 0) {
            cmb->setCurrentIndex(i);
            return true;
        }
        if (cmp < 0)
            break;
    }
    const bool result = search(t);
    if (!result && cmb->count() > 1)
        Timer1->start();
    return result;
}

bool comboCom::loadProvinces()
{
    Connection *cn = connection();
    const QString database = cn->path();
    if (database == m_provincesOf && !m_provinces.isEmpty())
        return true;
    m_provinces.clear();
    std::unique_ptr<Recordset> rs =
        LookupSource::open(cn, QStringLiteral("SELECT PrvIstat, PrvDesc, PrvSigla FROM Province"));
    // The lookup has already told the user why it failed.
    if (!rs->isOpen()) {
        setEntries({});
        return false;
    }
    for (; !rs->eof(); rs->MoveNext())
        m_provinces.insert(rs->value(0).toInt(), {rs->value(1).toString(), rs->value(2).toString()});
    m_provincesOf = database;
    return true;
}

void comboCom::setEntries(QVector<Entry> &&entries)
{
    details->replace(std::move(entries));
}

bool comboCom::search(const QString &t)
{
    if (t == lastSearch) {
        // The list still holds what this text found: offer it again, so
        // the user who typed the same beginning once more is not left
        // without an answer.
        if (cmb->count() > 0)
            cmb->setCurrentIndex(0);
        return cmb->count() == 1;
    }
    // Only a search that read the table is kept: one that failed (another
    // program's lock) is made again when the same text comes back.
    lastSearch.clear();
    Connection *cn = connection();
    if (!cn) {
        setEntries({});
        return false;
    }
    if (!loadProvinces())
        return false;
    std::unique_ptr<Recordset> rs = LookupSource::open(cn,
        QStringLiteral("SELECT Comuni.PrvIstat, Comuni.ComIstat, Comuni.ComDesc, Comuni.ComCap, "
                       "Comuni.comCCIAA FROM Comuni "
                       "WHERE (Comuni.ComDesc >= ? AND Comuni.ComDesc < ?) ORDER BY Comuni.ComDesc"),
        {t, t + kAfterAll});
    // The lookup has already told the user why it failed.
    if (!rs->isOpen()) {
        setEntries({});
        return false;
    }
    lastSearch = t;
    QVector<Entry> found;
    found.reserve(rs->RecordCount());
    for (; !rs->eof(); rs->MoveNext()) {
        const int prov = rs->value(0).toInt();
        const auto province = m_provinces.constFind(prov);
        // A municipality of no known province is no choice.
        if (province == m_provinces.cend())
            continue;
        found.append({rs->value(2).toString(), prov * 1000 + rs->value(1).toInt(),
                      {rs->value(3).toString(), rs->value(4).toString(), province->first,
                       province->second}});
    }
    const int n = found.size();
    if (n == 0) {
        setEntries({});
        cmb->setEditText(t);
        cmb->lineEdit()->setSelection(0, t.size());
        MsgBox::warn(QStringLiteral("Attenzione, Comune non trovato!"));
        return false;
    }
    rs->close();
    setEntries(std::move(found));
    cmb->setCurrentIndex(0);
    return n == 1;
}

void comboCom::keyPress(int &KeyAscii)
{
    if (KeyAscii >= 128)
        KeyAscii = 0;
    else if (KeyAscii >= 'a' && KeyAscii <= 'z')
        KeyAscii -= 32;
}

void comboCom::textEdited()
{
    // Pasted text follows the rule of typed letters.
    QLineEdit *edit = cmb->lineEdit();
    const QString upper = edit->text().toUpper();
    if (upper != edit->text()) {
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    }
}

void comboCom::gotFocus()
{
    // Codes held from the file are typed over, never added to.
    if (holdsStored())
        cmb->lineEdit()->selectAll();
    typedSinceFocus = false;
    m_focused = true;
    if (m_backStyle == 0)
        repaintBackground();
}

void comboCom::lostFocus()
{
    m_focused = false;
    if (m_backStyle == 0)
        repaintBackground();
}

void comboCom::initNewInstance()
{
    cmb->setFont(Ambient::font(this));
    relayout();
    setEnabled(true);
}

void comboCom::readProperties(const PropertyBag &bag)
{
    setBackColor(bag.ReadProperty(QStringLiteral("BackColor"), SystemColors::vbWindowBackground).toInt());
    setBackStyle(bag.ReadProperty(QStringLiteral("BackStyle"), 1).toInt());
    setForeColor(bag.ReadProperty(QStringLiteral("ForeColor"), SystemColors::vbWindowText).toInt());
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setFont(bag.ReadProperty(QStringLiteral("Font"), Ambient::font(this)).value<QFont>());
    setLocked(bag.ReadProperty(QStringLiteral("Locked"), false).toBool());
    MsgRequired = bag.ReadProperty(QStringLiteral("MsgRequired"), QString()).toString();
    Required = bag.ReadProperty(QStringLiteral("Required"), 0).toInt();
}

void comboCom::writeProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), BackColor(), SystemColors::vbWindowBackground);
    bag.WriteProperty(QStringLiteral("BackStyle"), m_backStyle, 1);
    bag.WriteProperty(QStringLiteral("ForeColor"), ForeColor(), SystemColors::vbWindowText);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("Font"), Font(), Ambient::font(this));
    bag.WriteProperty(QStringLiteral("Locked"), Locked(), false);
    bag.WriteProperty(QStringLiteral("MsgRequired"), MsgRequired, QString());
    bag.WriteProperty(QStringLiteral("Required"), Required, 0);
}
