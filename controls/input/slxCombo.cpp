#include "slxCombo.h"

#include <QComboBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

#include "Ambient.h"
#include "KeyCodes.h"
#include "KezCollation.h"
#include "LookupSource.h"
#include "MsgBox.h"
#include "OleDrop.h"
#include "PropertyBag.h"
#include "Recordset.h"
#include "StoredValue.h"
#include "SystemColors.h"

namespace {

const char *const kNoMatch = "Attenzione, il testo digitato non corrisponde a nessuna voce in elenco!";

} // namespace

slxCombo::slxCombo(QWidget *parent)
    : comboHost(true, parent)
{
    cmb->lineEdit()->setAcceptDrops(false);
    connect(cmb, &QComboBox::activated, this, [this] { Q_EMIT Click(); });
}

QWidget *slxCombo::hWnd() const
{
    return cmb;
}

int slxCombo::Count() const
{
    return cmb->count();
}

QString slxCombo::List(int Indice) const
{
    return cmb->itemText(Indice);
}

int slxCombo::ListIndex() const
{
    return cmb->currentIndex();
}

void slxCombo::setListIndex(int index)
{
    cmb->setCurrentIndex(index < cmb->count() ? index : -1);
    takeShown();
}

void slxCombo::setMatchEntry(int matchEntry)
{
    m_matchEntry = matchEntry;
    Q_EMIT PropertyChanged(QStringLiteral("MatchEntry"));
}

void slxCombo::setKeyString(bool keyString)
{
    m_keyString = keyString;
    if (keyString && Ambient::userMode())
        m_keys = QStringList(11, QString());
    Q_EMIT PropertyChanged(QStringLiteral("KeyString"));
}

void slxCombo::setMouseIcon(const QPixmap &icon)
{
    m_mouseIcon = icon;
    setMousePointer(m_mousePointer);
    Q_EMIT PropertyChanged(QStringLiteral("MouseIcon"));
}

void slxCombo::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    Ambient::applyMousePointer(cmb, pointer, m_mouseIcon);
    if (pointer == 0)
        cmb->lineEdit()->setCursor(Qt::IBeamCursor);
    else
        Ambient::applyMousePointer(cmb->lineEdit(), pointer, m_mouseIcon);
    Q_EMIT PropertyChanged(QStringLiteral("MousePointer"));
}

void slxCombo::setOLEDragMode(int mode)
{
    m_oleDragMode = mode;
    cmb->lineEdit()->setDragEnabled(mode == 1);
    Q_EMIT PropertyChanged(QStringLiteral("OLEDragMode"));
}

void slxCombo::setOleDropMode(int mode)
{
    m_oleDropMode = mode;
    cmb->lineEdit()->setAcceptDrops(mode != 0);
    Q_EMIT PropertyChanged(QStringLiteral("OLEDropMdoe"));
}

int slxCombo::datumAt(int index) const
{
    return cmb->itemData(index).toInt();
}

QString slxCombo::keyAt(int index) const
{
    const int slot = datumAt(index);
    return slot >= 0 && slot < m_keys.size() ? m_keys.at(slot) : QString();
}

QVariant slxCombo::Value() const
{
    const int index = cmb->currentIndex();
    if (index < 0) {
        if (holdsStored())
            return heldStored();
        return m_keyString ? QVariant() : QVariant(0);
    }
    if (m_keyString)
        return keyAt(index);
    return datumAt(index);
}

void slxCombo::setValue(const QVariant &value)
{
    holdStored(QVariant());
    selectValue(value);
    takeShown();
}

void slxCombo::selectValue(const QVariant &value)
{
    int found = -1;
    QVariant kept;
    if (m_keyString) {
        if (!value.isNull()) {
            const QString key = value.toString();
            for (int i = 0; i < cmb->count() && found < 0; ++i)
                if (keyAt(i).compare(key, Qt::CaseInsensitive) == 0)
                    found = i;
            if (!key.isEmpty())
                kept = key;
        }
    } else if (!value.isNull()) {
        // A whole code selects its entry or nothing, as 0 does: the form
        // then asks for one, and nothing else takes it as a code. One
        // assigned before the list is filled waits for the list; a list
        // filled with no entries is filled.
        qint64 code = 0;
        const bool whole = StoredValue::whole(value, &code);
        for (int i = 0; whole && code > 0 && i < cmb->count() && found < 0; ++i)
            if (datumAt(i) == code)
                found = i;
        if (!whole)
            kept = value;
        else if (code > 0 && cmb->count() == 0 && !m_filled)
            kept = QVariant(code);
    }
    cmb->setCurrentIndex(found);
    // A code stored as a text or a fraction stays the field's value, shown
    // as the file holds it, so that saving the record does not turn it
    // into none or into another code.
    if (found < 0 && kept.isValid()) {
        holdStored(kept);
        cmb->setEditText(kept.toString());
    }
}

void slxCombo::AddItem(const QString &Testo, const QVariant &Valore)
{
    int i = 0;
    while (i < cmb->count() && KezCollation::compare(cmb->itemText(i), Testo) <= 0)
        ++i;
    const int selected = cmb->currentIndex();
    const QString text = cmb->currentText();
    const QVariant held = heldStored();
    cmb->insertItem(i, Testo, 0);
    if (Valore.isValid()) {
        if (m_keyString) {
            const int s = cmb->count() - 1;
            if (s >= m_keys.size())
                m_keys.resize(s + 11);
            m_keys[s] = Valore.toString();
            cmb->setItemData(i, s);
        } else {
            cmb->setItemData(i, Valore.toInt());
        }
    }
    // The first entry of an empty box would become the selection: adding
    // never picks anything for the user.
    if (selected < 0 && cmb->currentIndex() >= 0) {
        cmb->setCurrentIndex(-1);
        cmb->setEditText(text);
        holdStored(held);
    }
}

void slxCombo::Clear()
{
    holdStored(QVariant());
    m_filled = false;
    cmb->clear();
    takeShown();
}

QString slxCombo::getText(const QVariant &Codice) const
{
    if (m_keyString) {
        const QString key = Codice.toString();
        int slot = -1;
        for (int s = 0; s < cmb->count() && s < m_keys.size() && slot < 0; ++s)
            if (m_keys.at(s).compare(key, Qt::CaseInsensitive) == 0)
                slot = s;
        if (slot < 0)
            return QString();
        for (int i = 0; i < cmb->count(); ++i)
            if (datumAt(i) == slot)
                return cmb->itemText(i);
        return QString();
    }
    const int code = Codice.toInt();
    for (int i = 0; i < cmb->count(); ++i)
        if (datumAt(i) == code)
            return cmb->itemText(i);
    return QString();
}

bool slxCombo::requiredCheck()
{
    return acceptEmpty(Required, m_requiredShown, MsgRequired,
                       QStringLiteral("Attenzione, campo richiesto!"));
}

bool slxCombo::Match(bool &Modificato)
{
    bool result = true;
    if (cmb->currentIndex() < 0 && !holdsStored()) {
        const QString t = cmb->currentText().trimmed();
        if (t.isEmpty()) {
            result = requiredCheck();
        } else {
            // The list is in text order: the first entry not below the
            // typed text is the only one that can match it.
            int i = 0;
            int cmp = 1;
            for (; i < cmb->count(); ++i) {
                const QString item = cmb->itemText(i);
                cmp = KezCollation::compare(t, m_matchEntry ? item.left(t.size()) : item);
                if (cmp <= 0)
                    break;
            }
            if (i < cmb->count() && cmp == 0) {
                cmb->setCurrentIndex(i);
            } else {
                MsgBox::warn(QString::fromUtf8(kNoMatch));
                result = false;
            }
        }
    }
    // Decided on the resolved entry, so a typed text that names another
    // entry counts as a change just like one picked from the list.
    Modificato = !showsTaken();
    return result;
}

QVariant slxCombo::Refresh()
{
    Connection *cn = connection();
    if (SqlString.isEmpty() || !cn)
        return QVariant();
    std::unique_ptr<Recordset> rs = LookupSource::open(cn, SqlString);
    // The lookup has already told the user why it failed.
    if (!rs->isOpen())
        return QVariant();
    const int n = rs->RecordCount();
    const QVariant kept = heldStored();
    cmb->clear();
    if (m_keyString)
        m_keys = QStringList(n + 1, QString());
    int p = 0;
    for (; !rs->eof(); rs->MoveNext()) {
        const QVariant text = rs->value(1);
        if (text.isNull())
            continue;
        if (m_keyString) {
            m_keys[p] = rs->value(0).toString();
            cmb->addItem(text.toString(), p);
        } else {
            cmb->addItem(text.toString(), rs->value(0).toInt());
        }
        ++p;
    }
    rs->close();
    m_filled = true;
    cmb->setCurrentIndex(-1);
    // A key assigned before the list was filled finds its entry now, or
    // is held again only where the list would hold it.
    holdStored(QVariant());
    if (kept.isValid())
        selectValue(kept);
    takeShown();
    return QVariant();
}

void slxCombo::initNewInstance()
{
    cmb->setFont(Ambient::font(this));
    relayout();
    setEnabled(true);
}

void slxCombo::readProperties(const PropertyBag &bag)
{
    setBackColor(bag.ReadProperty(QStringLiteral("BackColor"), SystemColors::vbWindowBackground).toInt());
    setForeColor(bag.ReadProperty(QStringLiteral("ForeColor"), SystemColors::vbWindowText).toInt());
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setFont(bag.ReadProperty(QStringLiteral("Font"), Ambient::font(this)).value<QFont>());
    setLocked(bag.ReadProperty(QStringLiteral("Locked"), false).toBool());
    setMouseIcon(bag.ReadProperty(QStringLiteral("MouseIcon"), QPixmap()).value<QPixmap>());
    setMousePointer(bag.ReadProperty(QStringLiteral("MousePointer"), 0).toInt());
    setOLEDragMode(bag.ReadProperty(QStringLiteral("OLEDragMode"), 0).toInt());
    setOleDropMode(bag.ReadProperty(QStringLiteral("OLEDropMdoe"), 0).toInt());
    setMatchEntry(bag.ReadProperty(QStringLiteral("MatchEntry"), 0).toInt());
    setKeyString(bag.ReadProperty(QStringLiteral("KeyString"), false).toBool());
    SqlString = bag.ReadProperty(QStringLiteral("SqlString"), QString()).toString();
    MsgRequired = bag.ReadProperty(QStringLiteral("MsgRequired"), QString()).toString();
    Required = bag.ReadProperty(QStringLiteral("Required"), 0).toInt();
}

void slxCombo::writeProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), BackColor(), SystemColors::vbWindowBackground);
    bag.WriteProperty(QStringLiteral("ForeColor"), ForeColor(), SystemColors::vbWindowText);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("Font"), Font(), Ambient::font(this));
    bag.WriteProperty(QStringLiteral("Locked"), Locked(), false);
    if (!m_mouseIcon.isNull())
        bag.WriteProperty(QStringLiteral("MouseIcon"), m_mouseIcon);
    bag.WriteProperty(QStringLiteral("MousePointer"), m_mousePointer, 0);
    bag.WriteProperty(QStringLiteral("OLEDragMode"), m_oleDragMode, 0);
    bag.WriteProperty(QStringLiteral("OLEDropMdoe"), m_oleDropMode, 0);
    bag.WriteProperty(QStringLiteral("MatchEntry"), m_matchEntry, 0);
    bag.WriteProperty(QStringLiteral("KeyString"), m_keyString, false);
    bag.WriteProperty(QStringLiteral("SqlString"), SqlString, QString());
    bag.WriteProperty(QStringLiteral("MsgRequired"), MsgRequired, QString());
    bag.WriteProperty(QStringLiteral("Required"), Required, 0);
}

bool slxCombo::keyDown(QKeyEvent *event)
{
    int KeyCode = KeyCodes::keyCode(event);
    int Shift = KeyCodes::shiftState(event);
    Q_EMIT KeyDown(KeyCode, Shift);
    return KeyCode != 0 || KeyCodes::keyCode(event) == 0;
}

void slxCombo::keyUp(QKeyEvent *event)
{
    int KeyCode = KeyCodes::keyCode(event);
    int Shift = KeyCodes::shiftState(event);
    Q_EMIT KeyUp(KeyCode, Shift);
}

void slxCombo::keyPress(int &KeyAscii)
{
    Q_EMIT KeyPress(KeyAscii);
}

void slxCombo::textEdited()
{
    Q_EMIT Change();
}

bool slxCombo::dragEvent(QEvent *event)
{
    auto *drop = static_cast<QDropEvent *>(event);
    raiseOleDrop(this, drop, KeyCodes::buttonState(drop->buttons()),
                 KeyCodes::shiftState(drop->modifiers()), float(drop->position().x()),
                 float(drop->position().y()));
    return true;
}

bool slxCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmb->lineEdit()) {
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            Q_EMIT DblClick();
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            // Manual dropping hands the data to the form; automatic lets
            // the box take the text.
            if (m_oleDropMode == 1)
                return dragEvent(event);
            break;
        case QEvent::DragLeave:
            if (m_oleDropMode == 1) {
                int Effect = 0, Button = 0, Shift = 0, State = 1;
                float x = 0, Y = 0;
                Q_EMIT OLEDragOver(nullptr, Effect, Button, Shift, x, Y, State);
            }
            break;
        default:
            break;
        }
    }
    return comboHost::eventFilter(watched, event);
}
