#include "slxText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <cmath>
#include <limits>

#include "Ambient.h"
#include "Currency.h"
#include "Edges.h"
#include "FocusValidator.h"
#include "ItalianFormat.h"
#include "KeyCodes.h"
#include "KeySender.h"
#include "MsgBox.h"
#include "OleDrop.h"
#include "PropertyBag.h"
#include "StoreProperty.h"
#include "SystemColors.h"
#include "slxModule.h"

namespace {

const QString emptyDateMask = QStringLiteral("  /  /    ");
const QString defaultCurrencyChar = QStringLiteral("\u20AC ");


// A line edit keeps two pixels free on each side of its text and one for
// the caret: a box as wide as its text needs them too.
constexpr int lineEditPadding = 5;

bool isDigitCode(int k)
{
    return k >= '0' && k <= '9';
}

// A number held by a field, read from whatever a form assigns: numbers,
// Currency amounts, texts written the Italian way.
bool numericText(const QVariant &v, QString *normalised)
{
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        *normalised = ItalianFormat::normaliseNumber(v.toString(), &ok);
        return ok;
    }
    return false;
}

// Whether a text spells a number a field of this type holds as it is: a
// whole number for Intero, an amount of four decimals at most for Valuta.
bool spellsNumber(const QString &text, int type)
{
    QString number;
    if (!numericText(text, &number))
        return false;
    bool ok = false;
    const double d = number.toDouble(&ok);
    if (type == slxText::Intero)
        return ok && d == std::trunc(d) && std::fabs(d) <= double(std::numeric_limits<int>::max());
    if (type == slxText::Valuta)
        Currency::fromDouble(d, &ok);
    return ok;
}

bool isPlainNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

// Whole numbers round halves to the even neighbour, as conversions to Long
// always have.
bool toLong(double d, int *out)
{
    const double r = std::nearbyint(d);
    if (!std::isfinite(r) || r < double(std::numeric_limits<int>::min())
        || r > double(std::numeric_limits<int>::max()))
        return false;
    *out = int(r);
    return true;
}

QString variantText(const QVariant &v)
{
    if (Currency::isCurrency(v)) {
        QString s = v.value<Currency>().toString();
        return s.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        QLocale plain = ItalianFormat::locale();
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        return plain.toString(v.toDouble(), 'g', 15);
    }
    case QMetaType::QDate:
        return ItalianFormat::formatDate(v.toDate(), QStringLiteral("dd/mm/yyyy"));
    case QMetaType::QDateTime:
        return ItalianFormat::formatDate(v.toDateTime().date(), QStringLiteral("dd/mm/yyyy"));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    default:
        return v.toString();
    }
}

} // namespace

slxText::slxText(QWidget *parent)
    : QWidget(parent)
    , m_backColor(SystemColors::vbWindowBackground)
    , m_currencyChar(defaultCurrencyChar)
    , m_foreColor(Ambient::foreColor(nullptr))
{
    Currency::registerMetaType();
    slxModule::initControlMetrics();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_tabAnchor = new QWidget(this);
    // Hidden, it never takes the focus; it only keeps a place in the chain.
    m_tabAnchor->setFocusPolicy(Qt::TabFocus);
    m_tabAnchor->hide();
    buildBox();
    applyAppearance();
    measureText();
    applyColors();
    FocusValidator::instance().watch(this, [this]() {
        bool cancel = false;
        emit Validate(cancel);
        // A refused value is typed over, never added to: whatever the form
        // did with the text, the user's next key replaces all of it.
        if (cancel && isEditing())
            SelectAll();
        else if (!cancel)
            m_takenText = boxText();
        return !cancel;
    }, [this] { return isEditing() && boxText() != m_takenText; });
}

slxText::~slxText()
{
    FocusValidator::instance().unwatch(this);
}

// ---------------------------------------------------------------------------
// The inner box

void slxText::buildBox()
{
    const bool wantMulti = m_multiLine != 0;
    if (m_box && (m_multi != nullptr) == wantMulti)
        return;
    QString text;
    bool hadFocus = false;
    if (m_box) {
        text = boxText();
        hadFocus = m_box->hasFocus();
        m_box->removeEventFilter(this);
        delete m_box;
        m_box = nullptr;
    }
    if (wantMulti) {
        m_multi = new QPlainTextEdit(this);
        m_multi->setFrameShape(QFrame::NoFrame);
        m_multi->setTabChangesFocus(true);
        m_multi->document()->setDocumentMargin(1);
        m_multi->viewport()->installEventFilter(this);
        m_multi->setContextMenuPolicy(Qt::DefaultContextMenu);
        connect(m_multi, &QPlainTextEdit::textChanged, this, &slxText::boxTextChanged);
        m_box = m_multi;
    } else {
        m_line = new QLineEdit(this);
        m_line->setFrame(false);
        m_line->setTextMargins(0, 0, 0, 0);
        connect(m_line, &QLineEdit::textChanged, this, &slxText::boxTextChanged);
        m_box = m_line;
    }
    m_box->setObjectName(QStringLiteral("Testo"));
    m_box->installEventFilter(this);
    setFocusProxy(m_box);
    // A box made anew would come last in the form's tab order: it goes
    // back to the field's place, behind the anchor made with the field.
    QWidget::setTabOrder(m_tabAnchor, m_box);
    applyLocked();
    m_settingValue = true;
    const bool edited = m_edited;
    writeOwnText(text);
    m_edited = edited;
    m_settingValue = false;
    applyColors();
    applyScrollBars();
    applyDropMode();
    layoutBox();
    m_box->show();
    if (hadFocus)
        m_box->setFocus();
}

void slxText::boxTextChanged()
{
    if (!m_writingOwnText)
        m_edited = true;
    if (!m_settingValue)
        emit Change();
}

QWidget *slxText::textBox() const
{
    return m_box;
}

QString slxText::boxText() const
{
    if (m_line)
        return m_line->text();
    return m_multi ? m_multi->toPlainText() : QString();
}

// Writing the text puts the caret at the start, so the field can select the
// whole text on entry and a full field does not look completed.
void slxText::setBoxText(const QString &text)
{
    if (m_line) {
        m_line->setText(text);
        m_line->setCursorPosition(0);
    } else if (m_multi) {
        m_multi->setPlainText(text);
    }
}

// Text the field writes from its value, as against the user's edits.
void slxText::writeOwnText(const QString &text)
{
    m_writingOwnText = true;
    setBoxText(text);
    m_writingOwnText = false;
    m_edited = false;
    m_takenText = boxText();
}

int slxText::boxSelStart() const
{
    if (m_line)
        return m_line->hasSelectedText() ? m_line->selectionStart() : m_line->cursorPosition();
    return m_multi ? m_multi->textCursor().selectionStart() : 0;
}

int slxText::boxSelLength() const
{
    if (m_line)
        return m_line->hasSelectedText() ? int(m_line->selectedText().size()) : 0;
    if (!m_multi)
        return 0;
    const QTextCursor c = m_multi->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void slxText::setBoxSelection(int start, int length)
{
    const int size = int(boxText().size());
    start = qBound(0, start, size);
    length = qBound(0, length, size - start);
    if (m_line) {
        if (length > 0)
            m_line->setSelection(start, length);
        else
            m_line->setCursorPosition(start);
    } else if (m_multi) {
        QTextCursor c = m_multi->textCursor();
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        m_multi->setTextCursor(c);
    }
}

void slxText::insertIntoBox(const QString &text)
{
    if (m_line) {
        m_line->insert(text);
    } else if (m_multi) {
        QTextCursor c = m_multi->textCursor();
        c.insertText(text);
        m_multi->setTextCursor(c);
    }
}

void slxText::forwardToBox(QEvent *event)
{
    QObject *target = m_box;
    if (m_multi && event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        target = m_multi->viewport();
    QEvent *outer = m_passEvent;
    m_passEvent = event;
    QCoreApplication::sendEvent(target, event);
    m_passEvent = outer;
}

QColor slxText::containerColor() const
{
    const QWidget *p = parentWidget();
    if (p)
        return p->palette().color(p->backgroundRole());
    return QApplication::palette().color(QPalette::Window);
}

// A transparent field shows its container's colour except while edited.
QColor slxText::backgroundNow() const
{
    // A field that takes no input looks it, as a disabled picker beside it
    // does: the text alone turning grey is lost on an empty field.
    if (!isEnabled())
        return palette().color(QPalette::Disabled, QPalette::Button);
    if (m_backStyle == 1 || m_hasFocus)
        return SystemColors::toColor(m_backColor);
    return containerColor();
}

void slxText::applyColors()
{
    if (!m_box)
        return;
    const QColor back = backgroundNow();
    const QColor fore = SystemColors::toColor(m_foreColor);
    QPalette pal = m_box->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(g, QPalette::Base, back);
        pal.setColor(g, QPalette::Window, back);
        pal.setColor(g, QPalette::Text,
                     g == QPalette::Disabled ? SystemColors::toColor(SystemColors::vbGrayText)
                                             : fore);
    }
    m_box->setPalette(pal);
    update();
}

void slxText::applyScrollBars()
{
    if (!m_multi)
        return;
    const Qt::ScrollBarPolicy policy = m_scrollBars != 0 ? Qt::ScrollBarAlwaysOn
                                                         : Qt::ScrollBarAlwaysOff;
    m_multi->setHorizontalScrollBarPolicy(policy);
    m_multi->setVerticalScrollBarPolicy(policy);
    // Without a horizontal scroll bar long lines wrap at the box's edge.
    m_multi->setLineWrapMode(m_scrollBars != 0 ? QPlainTextEdit::NoWrap
                                               : QPlainTextEdit::WidgetWidth);
}

void slxText::applyDropMode()
{
    if (!m_box)
        return;
    m_box->setAcceptDrops(m_oleDropMode != 0);
    if (m_multi)
        m_multi->viewport()->setAcceptDrops(m_oleDropMode != 0);
}

void slxText::applyAppearance()
{
    m_edgeFlags = slxModule::edgeStyleOf(m_appearance, m_margins);
}

// ---------------------------------------------------------------------------
// Value, Match and the run-time members

void slxText::setValue(const QVariant &v)
{
    m_settingValue = true;
    // A stored text that is no number of the field's kind (a fraction for a
    // whole number, a word for an amount) is held and shown as it is: the
    // clerk sees what the file holds, a save hands it back unchanged, and
    // only what is typed over it replaces it.
    const bool stored = isNumber() && v.typeId() == QMetaType::QString && !v.toString().trimmed().isEmpty()
        && !spellsNumber(v.toString(), m_controlType);
    switch (stored ? int(Testo) : m_controlType) {
    case Testo:
        if (v.isNull() || !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
            m_value = QVariant();
        else
            m_value = variantText(v);
        break;
    case Data: {
        QDate d;
        if (v.typeId() == QMetaType::QDate)
            d = v.toDate();
        else if (v.typeId() == QMetaType::QDateTime)
            d = v.toDateTime().date();
        else if (v.typeId() == QMetaType::QString)
            d = ItalianFormat::parseDate(v.toString());
        m_value = d.isValid() ? QVariant(d) : QVariant();
        break;
    }
    case Intero: {
        int n = 0;
        QString text;
        if (Currency::isCurrency(v))
            toLong(v.value<Currency>().toDouble(), &n);
        else if (isPlainNumber(v))
            toLong(v.typeId() == QMetaType::Bool ? (v.toBool() ? -1.0 : 0.0) : v.toDouble(), &n);
        else if (numericText(v, &text))
            toLong(text.toDouble(), &n);
        m_value = n;
        break;
    }
    case Valuta: {
        Currency c;
        QString text;
        if (Currency::isCurrency(v))
            c = v.value<Currency>();
        else if (v.typeId() == QMetaType::Bool)
            c = Currency::fromInt(v.toBool() ? -1 : 0);
        else if (isPlainNumber(v))
            c = Currency::fromVariant(v);
        else if (numericText(v, &text)) {
            bool ok = false;
            c = Currency::fromString(text, &ok);
            if (!ok)
                c = Currency::fromDouble(text.toDouble());
        }
        m_value = QVariant::fromValue(c);
        break;
    }
    default: {
        double d = 0;
        QString text;
        if (Currency::isCurrency(v))
            d = v.value<Currency>().toDouble();
        else if (v.typeId() == QMetaType::Bool)
            d = v.toBool() ? -1 : 0;
        else if (isPlainNumber(v))
            d = v.toDouble();
        else if (numericText(v, &text))
            d = text.toDouble();
        m_value = d;
        break;
    }
    }
    showValue();
    if (m_alignment != 0 && !m_hasFocus)
        layoutBox();
    oldValue = m_value;
    m_requiredShown = false;
    m_settingValue = false;
    signalChange("Value");
}

bool slxText::isEmpty() const
{
    if (m_value.isNull())
        return true;
    if (m_controlType < Intero || holdsStoredText())
        return false;
    if (Currency::isCurrency(m_value))
        return m_value.value<Currency>().raw() == 0;
    return m_value.toDouble() == 0;
}

bool slxText::readNumber(const QString &t, QVariant &result, QString &refusal) const
{
    if (t.isEmpty()) {
        if (m_controlType == Intero)
            result = 0;
        else if (m_controlType == Valuta)
            result = QVariant::fromValue(Currency());
        else
            result = 0.0;
        return true;
    }
    const QString number = ItalianFormat::leadingNumber(t);
    if (m_controlType == Intero) {
        // A lone minus sign is an unfinished number, not zero.
        if (t == QLatin1String("-")) {
            refusal = QStringLiteral("Attenzione, numero non valido!");
            return false;
        }
        int n = 0;
        bool ok = false;
        const double d = number.toDouble(&ok);
        if (!ok || !toLong(d, &n)) {
            refusal = QStringLiteral("Attenzione, numero troppo grande!");
            return false;
        }
        result = n;
        return true;
    }
    if (m_controlType == Valuta) {
        bool ok = false;
        Currency c = Currency::fromString(number, &ok);
        if (!ok) {
            // More decimals than an amount keeps round; too many digits do not fit.
            const double d = number.toDouble();
            if (std::fabs(d) >= 9.0e14) {
                refusal = QStringLiteral("Attenzione, numero troppo grande!");
                return false;
            }
            c = Currency::fromDouble(d);
        }
        result = QVariant::fromValue(c);
        return true;
    }
    result = number.toDouble();
    return true;
}

bool slxText::readTyped(QVariant &value, QString &refusal) const
{
    // A text the field wrote itself stands for the value as it is: nothing
    // was typed. A display text is no edit text to read back ("€ 1.234,50"
    // is not 1,234), and an amount with more decimals than the field shows
    // keeps them when the user only passes through.
    if (!m_edited) {
        value = m_value;
        return true;
    }
    const QString raw = boxText();
    const QString t = raw.trimmed();
    switch (m_controlType) {
    case Testo:
        if (!t.isEmpty())
            value = t;
        return true;
    case Data:
        if (raw == emptyDateMask || t.isEmpty())
            return true;
        value = ItalianFormat::parseDate(t);
        return value.toDate().isValid();
    default:
        return readNumber(t, value, refusal);
    }
}

bool slxText::textAccepted() const
{
    QVariant value;
    QString refusal;
    return readTyped(value, refusal);
}

bool slxText::sameAsOld(const QVariant &value) const
{
    // A number typed over a stored text is a change, whatever it is.
    if (isNumber() && (value.typeId() == QMetaType::QString || oldValue.typeId() == QMetaType::QString))
        return oldValue == value;
    switch (m_controlType) {
    case Testo:
        return oldValue.toString() == value.toString();
    case Data:
        return oldValue.toDate() == value.toDate();
    case Intero:
        return oldValue.toLongLong() == value.toLongLong();
    case Valuta: {
        bool ok = false;
        const Currency old = Currency::fromVariant(oldValue, &ok);
        return ok && old == value.value<Currency>();
    }
    default: {
        const double old = Currency::isCurrency(oldValue) ? oldValue.value<Currency>().toDouble()
                                                          : oldValue.toDouble();
        return old == value.toDouble();
    }
    }
}

bool slxText::Match(bool &Modificato)
{
    QVariant value;
    QString refusal;
    if (!readTyped(value, refusal)) {
        if (!refusal.isEmpty())
            MsgBox::show(refusal, 64);
        QApplication::beep();
        SelectAll();
        return false;
    }
    m_value = value;
    // The text now stands for the value: passing through again reads it as is.
    m_edited = false;
    bool result = true;
    if (m_value.isNull())
        Modificato = !oldValue.isNull();
    else if (oldValue.isNull())
        Modificato = true;
    else
        Modificato = !sameAsOld(m_value);
    if (Modificato)
        oldValue = m_value;

    if (m_required > 0 && isEmpty() && (m_required == 2 || !m_requiredShown)) {
        m_requiredShown = true;
        result = false;
        MsgBox::show(m_msgRequired.isEmpty() ? QStringLiteral("Attenzione, campo richiesto!")
                                                 : m_msgRequired,
                         64);
    }
    return result;
}

void slxText::SelectAll()
{
    setBoxSelection(0, int(boxText().size()));
}

void slxText::Refresh()
{
    update();
}

QString slxText::Text() const
{
    return boxText();
}

int slxText::SelStart() const
{
    return boxSelStart();
}

void slxText::setSelStart(int start)
{
    setBoxSelection(start, 0);
}

int slxText::SelLength() const
{
    return boxSelLength();
}

void slxText::setSelLength(int length)
{
    setBoxSelection(boxSelStart(), length);
}

QString slxText::SelText() const
{
    return boxText().mid(boxSelStart(), boxSelLength());
}

void slxText::setSelText(const QString &text)
{
    insertIntoBox(text);
}

// ---------------------------------------------------------------------------
// Display and edit texts

void slxText::nomeFormatoData()
{
    if (m_dateFormat == 0)
        m_formatMask = QStringLiteral("Short Date");
    else if (m_dateFormat == 2)
        m_formatMask = QStringLiteral("Long Date");
    else
        m_formatMask = QStringLiteral("Medium Date");
}

void slxText::maschereNumero()
{
    const QString intPattern = m_showThouSep ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (m_decDigits < 1) {
        m_formatMask = intPattern;
        m_editMask = QStringLiteral("0");
        m_editLength = m_intDigits;
    } else {
        m_formatMask = intPattern + QLatin1Char('.') + QString(m_decDigits, QLatin1Char('0'));
        m_editMask = QStringLiteral("0.") + QString(m_decDigits, QLatin1Char('0'));
        m_editLength = m_intDigits + m_decDigits + 1;
    }
    if (m_negative)
        m_editLength += 1;
}

QString slxText::displayText() const
{
    switch (m_controlType) {
    case Testo:
        if (m_value.isNull())
            return QString();
        if (!m_displayMask.isEmpty())
            return ItalianFormat::formatText(m_value.toString(), m_displayMask);
        return m_value.toString();
    case Data:
        return ItalianFormat::formatDate(m_value.toDate(), m_formatMask);
    default: {
        if (holdsStoredText())
            return m_value.toString();
        if (isEmpty() && !m_showZero)
            return QString();
        const QString s = ItalianFormat::formatNumber(m_value, m_formatMask);
        if (!m_currencyChar.isEmpty() && m_currencyPos != 0)
            return m_currencyPos == 1 ? m_currencyChar + s : s + m_currencyChar;
        return s;
    }
    }
}

QString slxText::editText() const
{
    switch (m_controlType) {
    case Testo:
        return m_value.isNull() ? QString() : m_value.toString();
    case Data:
        return m_value.isNull()
                   ? emptyDateMask
                   : ItalianFormat::formatDate(m_value.toDate(), QStringLiteral("dd/mm/yyyy"));
    default:
        if (holdsStoredText())
            return m_value.toString();
        return ItalianFormat::formatNumber(m_value.isNull() ? QVariant(0) : m_value, m_editMask);
    }
}

void slxText::writeEditText()
{
    switch (m_controlType) {
    case Testo:
        m_boxLimit = m_maxLength;
        break;
    case Data:
        m_boxLimit = 10;
        break;
    default:
        m_boxLimit = m_editLength;
        break;
    }
    writeOwnText(editText());
}

// While the field is being edited it keeps an edit text, whatever changes
// the value: a display text there would be read back by the next Match.
void slxText::showValue()
{
    if (isEditing()) {
        writeEditText();
        if (m_multiLine == 0)
            SelectAll();
    } else {
        writeOwnText(displayText());
    }
}

// ---------------------------------------------------------------------------
// Focus

void slxText::gainFocus()
{
    m_hasFocus = true;
    if (m_focusKept) {
        m_focusKept = false;
        return;
    }
    if (m_alignment != 0)
        layoutBox();
    if (m_backStyle == 0)
        applyColors();
    writeEditText();
    m_selectOnMouseUp = true;
    if (boxSelStart() == 0 && m_multiLine == 0)
        SelectAll();
}

void slxText::loseFocus(Qt::FocusReason reason)
{
    m_hasFocus = false;
    // Another window (a message box, a menu, another program) took the
    // focus, or the field's own window went out of sight (minimised, or
    // hidden for a moment as it is maximised or restored): the field is
    // still the form's current control and its edit text waits for the
    // user's return.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
        || reason == Qt::MenuBarFocusReason || !isVisible()
        || (window() && window()->focusWidget() == m_box && !window()->isActiveWindow())) {
        m_focusKept = true;
        return;
    }
    // Left for good, also when a message box of its check had the focus
    // last: the field is shown, not edited, from now on.
    m_focusKept = false;
    setBoxSelection(0, 0);
    m_boxLimit = 0;
    writeOwnText(displayText());
    if (m_backStyle == 0)
        applyColors();
    if (m_alignment != 0)
        layoutBox();
}

// ---------------------------------------------------------------------------
// Layout and painting

void slxText::measureText()
{
    m_textHeight = QFontMetrics(font()).height();
}

int slxText::minimumHeight() const
{
    return m_textHeight + m_margins[1] + m_margins[3];
}

QSize slxText::sizeHint() const
{
    return QSize(QFontMetrics(font()).horizontalAdvance(QLatin1Char('x')) * 15 + m_margins[0]
                     + m_margins[2],
                 m_multiLine != 0 ? minimumHeight() * 3 : minimumHeight());
}

QSize slxText::minimumSizeHint() const
{
    return QSize(m_margins[0] + m_margins[2] + 10, minimumHeight());
}

void slxText::layoutBox()
{
    if (!m_box || m_layingOut)
        return;
    const int interiorHeight = qMax(0, height() - m_margins[1] - m_margins[3]);
    const int interiorWidth = qMax(0, width() - m_margins[0] - m_margins[2]);
    QRect full(m_margins[0], m_margins[1], interiorWidth, interiorHeight);
    // An aligned field places a box as wide as its text; the box itself
    // always shows the text from its left edge. While edited it is wide.
    if (m_alignment == 0 || isEditing()) {
        m_box->setGeometry(full);
        return;
    }
    const QFontMetrics fm(font());
    int w = 0;
    for (const QString &line : boxText().split(QLatin1Char('\n')))
        w = qMax(w, fm.horizontalAdvance(line));
    w = w == 0 ? 90 : w + lineEditPadding;
    const int free = interiorWidth - w;
    const int offset = m_alignment == 1 ? free : free / 2;
    if (offset >= m_margins[0])
        m_box->setGeometry(m_margins[0] + offset, m_margins[1], w, interiorHeight);
    else
        m_box->setGeometry(full);
}

// In a layout a one-line field keeps one line's height, as a line edit
// does; a multi-line field takes the room it is given.
void slxText::applySizePolicy()
{
    setSizePolicy(sizePolicy().horizontalPolicy(), m_multiLine != 0 && !m_autoSize
                                                       ? QSizePolicy::Expanding
                                                       : QSizePolicy::Fixed);
}

void slxText::resizeEvent(QResizeEvent *)
{
    const int minHeight = minimumHeight();
    if (height() < minHeight || (m_autoSize && height() != minHeight)) {
        resize(width(), minHeight);
        return;
    }
    layoutBox();
}

void slxText::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), backgroundNow());
    if (m_edgeFlags != 0) {
        QRect r = rect();
        Edges::drawEdge(p, r, m_edgeFlags, m_appearance < 10 ? Edges::BF_RECT : Edges::BF_BOTTOM,
                        palette());
    } else if (m_appearance == 1) {
        p.setPen(SystemColors::toColor(m_foreColor));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void slxText::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
        measureText();
        updateGeometry();
        if (height() < minimumHeight() || (m_autoSize && height() != minimumHeight()))
            resize(width(), minimumHeight());
        else
            layoutBox();
        break;
    case QEvent::ParentChange:
    case QEvent::PaletteChange:
        if (m_backStyle == 0)
            applyColors();
        break;
    case QEvent::EnabledChange:
        applyColors();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------
// Properties

void slxText::signalChange(const char *key)
{
    emit PropertyChanged(QLatin1String(key));
}

void slxText::setRequired(int value)
{
    storeProperty(this, m_required, value, "Required");
}

void slxText::setAlignment(int value)
{
    storeProperty(this, m_alignment, value, "Alignment", &slxText::layoutBox);
}

void slxText::setAppearance(int value)
{
    m_appearance = value;
    applyAppearance();
    updateGeometry();
    if (height() < minimumHeight() || (m_autoSize && height() != minimumHeight()))
        resize(width(), minimumHeight());
    else
        layoutBox();
    update();
    signalChange("Appearance");
}

void slxText::setAutoSize(bool value)
{
    m_autoSize = value;
    applySizePolicy();
    if (value && height() != minimumHeight())
        resize(width(), minimumHeight());
    signalChange("AutoSize");
}

void slxText::setAutoTab(bool value)
{
    storeProperty(this, m_autoTab, value, "AutoTab");
}

void slxText::setBackColor(int value)
{
    storeProperty(this, m_backColor, value, "BackColor", &slxText::applyColors);
}

void slxText::setBackStyle(int value)
{
    storeProperty(this, m_backStyle, value, "BackStyle", &slxText::applyColors);
}

void slxText::setCharacters(int value)
{
    storeProperty(this, m_characters, value, "Characters");
}

void slxText::setCharTable(const QString &value)
{
    storeProperty(this, m_charTable, value, "CharTable");
}

void slxText::setControlType(int value)
{
    m_controlType = value;
    switch (value) {
    case Data:
        m_value = QVariant();
        nomeFormatoData();
        break;
    case Intero:
        m_decDigits = 0;
        m_value = 0;
        maschereNumero();
        break;
    case Decimale:
        m_value = 0.0;
        maschereNumero();
        break;
    case Valuta:
        m_decDigits = 2;
        m_value = QVariant::fromValue(Currency());
        maschereNumero();
        break;
    default:
        m_value = QVariant();
        if (value != Testo)
            maschereNumero();
        break;
    }
    oldValue = m_value;
    signalChange("ControlType");
}

void slxText::setCurrencyChar(const QString &value)
{
    storeProperty(this, m_currencyChar, value, "CurrencyChar");
}

void slxText::setCurrencyPos(int value)
{
    storeProperty(this, m_currencyPos, value, "CurrencyPos");
}

void slxText::setDateFormat(int value)
{
    m_dateFormat = value;
    if (m_controlType == Data) {
        nomeFormatoData();
        showValue();
    }
    signalChange("DateFormat");
}

void slxText::setDecDigits(int value)
{
    if (m_controlType == Intero || m_controlType == Valuta)
        return;
    m_decDigits = value;
    if (m_controlType == Decimale) {
        maschereNumero();
        mostraNumero();
    }
    signalChange("DecDigits");
}

void slxText::setDisplayMask(const QString &value)
{
    storeProperty(this, m_displayMask, value, "DisplayMask");
}

void slxText::setEnabled(bool value)
{
    m_enabled = value;
    if (Ambient::userMode())
        QWidget::setEnabled(value);
    signalChange("Enabled");
}

void slxText::setField(const QString &value)
{
    storeProperty(this, m_field, value, "Field");
}

void slxText::setFont(const QFont &value)
{
    QWidget::setFont(value);
    signalChange("Font");
}

void slxText::setForeColor(int value)
{
    storeProperty(this, m_foreColor, value, "ForeColor", &slxText::applyColors);
}

void slxText::setIntDigits(int value)
{
    m_intDigits = value;
    if (isNumber()) {
        maschereNumero();
        mostraNumero();
    }
    signalChange("IntDigits");
}

void slxText::setLocked(bool value)
{
    m_locked = value;
    applyLocked();
    signalChange("Locked");
}

// A locked field only shows a value: the keyboard passes it by, the mouse
// can still reach it to select and copy its text.
void slxText::applyLocked()
{
    if (m_line)
        m_line->setReadOnly(m_locked);
    else if (m_multi)
        m_multi->setReadOnly(m_locked);
    if (m_box)
        m_box->setFocusPolicy(m_locked ? Qt::ClickFocus : Qt::StrongFocus);
    setFocusPolicy(m_locked ? Qt::ClickFocus : Qt::StrongFocus);
}

void slxText::setMaxLength(int value)
{
    storeProperty(this, m_maxLength, value, "MaxLength");
}

void slxText::setMsgRequired(const QString &value)
{
    storeProperty(this, m_msgRequired, value, "MsgRequired");
}

void slxText::setMultiLine(int value)
{
    m_multiLine = value;
    buildBox();
    applySizePolicy();
    updateGeometry();
    signalChange("MultiLine");
}

void slxText::setNegativeNumbers(bool value)
{
    storeProperty(this, m_negative, value, "Negative", &slxText::maschereNumero);
}

void slxText::setScrollBars(int value)
{
    storeProperty(this, m_scrollBars, value, "ScrollBars", &slxText::applyScrollBars);
}

void slxText::setShowThouSep(bool value)
{
    m_showThouSep = value;
    if (isNumber()) {
        maschereNumero();
        mostraNumero();
    }
    signalChange("ShowThouSep");
}

void slxText::setShowZero(bool value)
{
    m_showZero = value;
    if (isNumber()) {
        maschereNumero();
        mostraNumero();
    }
    layoutBox();
    signalChange("ShowZero");
}

void slxText::setOleDropMode(int value)
{
    storeProperty(this, m_oleDropMode, value, "OLEDropMode", &slxText::applyDropMode);
}

// ---------------------------------------------------------------------------
// Persistence

void slxText::initNewInstance()
{
    readProperties(PropertyBag());
    oldValue = QVariant();
}

void slxText::readProperties(const PropertyBag &bag)
{
    auto read = [&bag](const char *key, const QVariant &def) {
        return bag.ReadProperty(QLatin1String(key), def);
    };
    m_required = read("Required", 0).toInt();
    m_alignment = read("Alignment", 0).toInt();
    m_appearance = read("Appearance", 0).toInt();
    m_autoSize = read("AutoSize", false).toBool();
    m_autoTab = read("AutoTab", true).toBool();
    m_backColor = read("BackColor", SystemColors::vbWindowBackground).toInt();
    m_backStyle = read("BackStyle", 1).toInt();
    m_characters = read("Characters", 63).toInt();
    m_charTable = read("CharTable", QString()).toString();
    m_controlType = read("ControlType", 0).toInt();
    m_currencyChar = read("CurrencyChar", defaultCurrencyChar).toString();
    m_currencyPos = read("CurrencyPos", 0).toInt();
    m_dateFormat = read("DateFormat", 0).toInt();
    m_decDigits = read("DecDigits", 2).toInt();
    m_displayMask = read("DisplayMask", QString()).toString();
    m_enabled = read("Enabled", true).toBool();
    m_field = read("Field", QString()).toString();
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"));
    QWidget::setFont(font.isValid() ? font.value<QFont>() : QFont());
    m_foreColor = read("ForeColor", Ambient::foreColor(this)).toInt();
    m_intDigits = read("IntDigits", 5).toInt();
    m_locked = read("Locked", false).toBool();
    m_maxLength = read("MaxLength", 0).toInt();
    m_msgRequired = read("MsgRequired", QString()).toString();
    m_multiLine = read("MultiLine", 0).toInt();
    m_negative = read("Negative", false).toBool();
    m_scrollBars = read("ScrollBars", 0).toInt();
    m_showThouSep = read("ShowThouSep", true).toBool();
    m_showZero = read("ShowZero", true).toBool();
    const QVariant value = bag.ReadProperty(QStringLiteral("Value"));
    m_oleDropMode = read("OLEDropMode", 0).toInt();

    // What the properties imply, once all are known; the value comes last
    // so that it is converted to the type just read.
    if (m_controlType == Intero)
        m_decDigits = 0;
    else if (m_controlType == Valuta)
        m_decDigits = 2;
    buildBox();
    applyLocked();
    applyColors();
    applyDropMode();
    QWidget::setEnabled(Ambient::userMode() ? m_enabled : true);
    measureText();
    applyScrollBars();
    applyAppearance();
    applySizePolicy();
    if (m_controlType == Data)
        nomeFormatoData();
    else if (isNumber())
        maschereNumero();
    updateGeometry();
    setValue(value);
    if (height() < minimumHeight() || (m_autoSize && height() != minimumHeight()))
        resize(width(), minimumHeight());
    else
        layoutBox();
    update();
}

void slxText::writeProperties(PropertyBag &bag) const
{
    auto write = [&bag](const char *key, const QVariant &value, const QVariant &def) {
        bag.WriteProperty(QLatin1String(key), value, def);
    };
    write("Alignment", m_alignment, 0);
    write("Appearance", m_appearance, 0);
    write("AutoSize", m_autoSize, false);
    write("AutoTab", m_autoTab, true);
    write("BackColor", m_backColor, SystemColors::vbWindowBackground);
    write("BackStyle", m_backStyle, 1);
    write("Characters", m_characters, 63);
    write("CharTable", m_charTable, QString());
    write("ControlType", m_controlType, 0);
    write("CurrencyChar", m_currencyChar, defaultCurrencyChar);
    write("CurrencyPos", m_currencyPos, 0);
    write("DateFormat", m_dateFormat, 0);
    write("DecDigits", m_decDigits, 2);
    write("DisplayMask", m_displayMask, QString());
    write("Enabled", m_enabled, true);
    write("Field", m_field, QString());
    if (font() != Ambient::font(this))
        bag.WriteProperty(QStringLiteral("Font"), font());
    write("ForeColor", m_foreColor, Ambient::foreColor(this));
    write("IntDigits", m_intDigits, 5);
    write("Locked", m_locked, false);
    write("MaxLength", m_maxLength, 0);
    write("MsgRequired", m_msgRequired, QString());
    write("MultiLine", m_multiLine, 0);
    write("Negative", m_negative, false);
    write("Required", m_required, 0);
    write("ScrollBars", m_scrollBars, 0);
    write("ShowThouSep", m_showThouSep, true);
    write("ShowZero", m_showZero, true);
    if (!m_value.isNull())
        bag.WriteProperty(QStringLiteral("Value"), m_value);
    write("OLEDropMode", m_oleDropMode, 0);
}

// ---------------------------------------------------------------------------
// Events of the inner box

bool slxText::eventFilter(QObject *watched, QEvent *event)
{
    const bool fromBox = watched == m_box;
    const bool fromViewport = m_multi && watched == m_multi->viewport();
    if ((!fromBox && !fromViewport) || event == m_passEvent)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress:
        if (!fromBox)
            break;
        m_keyPropagating = false;
        handleKeyPress(static_cast<QKeyEvent *>(event));
        m_keyPropagating = !event->isAccepted();
        return true;
    case QEvent::KeyRelease: {
        if (!fromBox)
            break;
        m_keyPropagating = false;
        auto *key = static_cast<QKeyEvent *>(event);
        int keyCode = KeyCodes::keyCode(key);
        int shift = KeyCodes::shiftState(key);
        emit KeyUp(keyCode, shift);
        forwardToBox(event);
        m_keyPropagating = !event->isAccepted();
        return true;
    }
    case QEvent::InputMethod: {
        // Composed characters (dead keys, input methods) are typed keys too.
        auto *im = static_cast<QInputMethodEvent *>(event);
        if (!im->preeditString().isEmpty() || im->commitString().isEmpty())
            break;
        for (QChar c : im->commitString()) {
            int k = KeyCodes::codeOf(c);
            emit KeyPress(k);
            if (k != 0)
                fieldKeyPress(k);
            if (k >= 32 && k != 127)
                typeCharacter(k);
        }
        event->accept();
        return true;
    }
    // The form's focus events follow its current control: a trip to another
    // window (a message box) and back is neither.
    case QEvent::FocusIn:
        if (fromBox) {
            const bool returning = m_focusKept;
            gainFocus();
            if (!returning)
                emit GotFocus();
        }
        break;
    case QEvent::FocusOut:
        if (fromBox) {
            loseFocus(static_cast<QFocusEvent *>(event)->reason());
            if (!m_focusKept)
                emit LostFocus();
        }
        break;
    // While a message box had the focus the form may have moved its own
    // focus on (to the next record's first field): the window coming back
    // then gives the focus elsewhere, and the field, never told, would stay
    // in its edit on every record after.
    case QEvent::WindowActivate:
        if (fromBox && m_focusKept && window()->focusWidget() != m_box) {
            loseFocus(Qt::OtherFocusReason);
            emit LostFocus();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (fromViewport || m_line)
            raiseMouse(static_cast<QMouseEvent *>(event), static_cast<QWidget *>(watched));
        break;
    case QEvent::MouseButtonRelease: {
        if (!fromViewport && !m_line)
            break;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
            // The selection paste takes the same road as Ctrl+V.
            raiseMouse(mouse, static_cast<QWidget *>(watched));
            pasteText(QApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
        forwardToBox(event);
        raiseMouse(mouse, static_cast<QWidget *>(watched));
        if (mouse->button() == Qt::LeftButton)
            emit Click();
        // The click that brought the focus leaves the whole text selected.
        if (m_selectOnMouseUp) {
            m_selectOnMouseUp = false;
            SelectAll();
        }
        return true;
    }
    case QEvent::ContextMenu:
        showContextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return handleDrag(event);
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// Keys sent to the control itself (as the grid delivers its first key) go
// to the inner box like typed keys; keys the box leaves go on to the form.
void slxText::keyPressEvent(QKeyEvent *event)
{
    if (m_keyPropagating || m_forwardingKey || !m_box) {
        m_keyPropagating = false;
        event->ignore();
        return;
    }
    m_forwardingKey = true;
    QCoreApplication::sendEvent(m_box, event);
    m_forwardingKey = false;
    event->accept();
}

void slxText::keyReleaseEvent(QKeyEvent *event)
{
    keyPressEvent(event);
}

void slxText::mousePressEvent(QMouseEvent *event)
{
    raiseMouse(event, this);
}

void slxText::mouseMoveEvent(QMouseEvent *event)
{
    raiseMouse(event, this);
}

void slxText::mouseReleaseEvent(QMouseEvent *event)
{
    raiseMouse(event, this);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void slxText::raiseMouse(QMouseEvent *event, QWidget *source)
{
    const QPointF p = source == this ? event->position()
                                     : QPointF(source->mapTo(this, QPoint(0, 0)))
                                           + event->position();
    int button = KeyCodes::buttonState(event->type() == QEvent::MouseMove
                                           ? event->buttons()
                                           : Qt::MouseButtons(event->button()));
    int shift = KeyCodes::shiftState(event->modifiers());
    float x = float(p.x());
    float y = float(p.y());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        emit MouseDown(button, shift, x, y);
        break;
    case QEvent::MouseMove:
        emit MouseMove(button, shift, x, y);
        break;
    case QEvent::MouseButtonRelease:
        emit MouseUp(button, shift, x, y);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Keys

void slxText::queueTab(bool backwards)
{
    KeySender::sendTab(backwards);
}

void slxText::handleKeyPress(QKeyEvent *event)
{
    event->accept();
    // Tab keeps its own meaning: it moves between the form's controls.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        forwardToBox(event);
        return;
    }
    int keyCode = KeyCodes::keyCode(event);
    int shift = KeyCodes::shiftState(event);
    emit KeyDown(keyCode, shift);
    bool keyDownDone = keyCode == 0;
    if (!keyDownDone) {
        fieldKeyDown(keyCode, shift);
        keyDownDone = keyCode == 0;
    }

    const int typed = KeyCodes::keyAscii(event);
    if (typed == 0) {
        if (!keyDownDone)
            forwardToBox(event);
        return;
    }
    int k = typed;
    emit KeyPress(k);
    if (k == 0)
        return;
    fieldKeyPress(k);
    if (k == 0)
        return;
    if (k == typed && (k < 32 || k == 127)) {
        // Backspace, Enter of a multi-line box, the copy and cut keys: the
        // box does what they mean.
        forwardToBox(event);
    } else if (k >= 32 && k != 127) {
        typeCharacter(k);
    } else if (k == KeyCodes::vbKeyBack || k == KeyCodes::vbKeyReturn) {
        QKeyEvent replaced(QEvent::KeyPress,
                           k == KeyCodes::vbKeyBack ? Qt::Key_Backspace : Qt::Key_Return,
                           Qt::NoModifier, QString(QChar(k)));
        forwardToBox(&replaced);
    }
}

// A character that passed the field's rules goes into the box, within its
// length limit; a text field that this fills moves on to the next field.
void slxText::typeCharacter(int k)
{
    if (m_locked)
        return;
    if (m_boxLimit > 0 && boxText().size() - boxSelLength() + 1 > m_boxLimit)
        return;
    insertIntoBox(QString(KeyCodes::charOf(k)));
    if (m_controlType == Testo && m_autoTab && m_boxLimit > 0 && boxSelStart() == m_boxLimit)
        KeySender::sendAutoTab();
}

void slxText::fieldKeyDown(int &KeyCode, int Shift)
{
    const bool plain = (Shift & KeyCodes::vbShiftMask) == 0;
    switch (KeyCode) {
    case KeyCodes::vbKeyDelete:
        if (m_controlType == Data) {
            if (m_locked)
                return;
            int s = boxSelStart();
            if (s >= 10)
                return;
            int l = boxSelLength();
            if (l == 0)
                l = 1;
            if (s == 2 || s == 5) {
                ++s;
                --l;
            }
            if (l > 0) {
                const QString text = boxText();
                setBoxText(text.left(s) + emptyDateMask.mid(s, l) + text.mid(s + l));
            }
            setBoxSelection(s, 1);
            KeyCode = 0;
        } else if (isNumber()) {
            if (m_locked)
                return;
            QString candidate;
            if (boxSelLength() > 0) {
                candidate = textWithoutSelection();
            } else if (boxSelStart() < boxText().size()) {
                setBoxSelection(boxSelStart(), 1);
                candidate = textWithoutSelection();
            } else {
                return;
            }
            // Deleting never completes a field: no move to the next one.
            if (!controllaNumero(candidate, false))
                KeyCode = 0;
        }
        return;
    case KeyCodes::vbKeyLeft:
        if (m_controlType == Data && plain) {
            const int s = boxSelStart();
            int to = 0;
            if (s > 0)
                to = s - ((s == 3 || s == 6) ? 2 : 1);
            setBoxSelection(to, 1);
            KeyCode = 0;
        }
        return;
    case KeyCodes::vbKeyRight:
        if (m_controlType == Data && plain) {
            const int s = boxSelStart();
            int to = s;
            if (s < 10)
                to = s + ((s == 1 || s == 4) ? 2 : 1);
            setBoxSelection(to, 1);
            KeyCode = 0;
        }
        return;
    case KeyCodes::vbKeyDown:
        if (plain && m_multiLine == 0) {
            queueTab();
            KeyCode = 0;
        }
        return;
    case KeyCodes::vbKeyUp:
        if (plain && m_multiLine == 0) {
            queueTab(true);
            KeyCode = 0;
        }
        return;
    default:
        return;
    }
}

void slxText::fieldKeyPress(int &k)
{
    if (k == KeyCodes::vbKeyReturn) {
        if (m_multiLine != 2) {
            queueTab();
            k = 0;
        }
        return;
    }
    if (k == 3)
        return;
    if (k == 26) {
        // Undo gives back the text the field had when it was entered.
        writeEditText();
        if (m_multiLine == 0)
            SelectAll();
        k = 0;
        return;
    }
    if (m_controlType == Testo) {
        if (k == 22) {
            pasteText(QApplication::clipboard()->text());
            k = 0;
            return;
        }
        if (k < 32)
            return;
        k = filterTextChar(k);
        return;
    }
    if (m_controlType == Data) {
        dateKeyPress(k);
        k = 0;
        return;
    }
    numberKeyPress(k);
}

int slxText::filterTextChar(int k) const
{
    if (k < 32 || m_characters == 63)
        return k;
    const int c = m_characters;
    if (k > 127 && !(c & 1))
        return 0;
    const bool lower = (k >= 'a' && k <= 'z') || (k >= 224 && k <= 254);
    const bool upper = (k >= 'A' && k <= 'Z') || (k >= 192 && k <= 222);
    if (lower) {
        if (c & 4)
            return k;
        return (c & 2) ? k - 32 : 0;
    }
    if (upper) {
        if (c & 2)
            return k;
        return (c & 4) ? k + 32 : 0;
    }
    if (isDigitCode(k))
        return (c & 8) ? k : 0;
    if (k == ' ')
        return (c & 16) ? k : 0;
    if (c & 32)
        return k;
    if ((c & 64) && m_charTable.contains(KeyCodes::charOf(k)))
        return k;
    return 0;
}

// A date is typed over a fixed mask, one character selected at a time.
void slxText::dateKeyPress(int k)
{
    if (m_locked)
        return;
    int s = boxSelStart();
    int l = boxSelLength();
    const QString text = boxText();
    if (isDigitCode(k)) {
        if (l == 0)
            l = 1;
        if (s == 2 || s == 5) {
            ++s;
            --l;
        }
        if (s >= 10 || l <= 0)
            return;
        setBoxText(text.left(s) + KeyCodes::charOf(k) + emptyDateMask.mid(s + 1, l - 1)
                   + text.mid(s + l));
        if (s == 9 && m_autoTab) {
            setBoxSelection(10, 0);
            KeySender::sendAutoTab();
        } else {
            setBoxSelection((s == 1 || s == 4) ? s + 2 : s + 1, 1);
        }
        return;
    }
    switch (k) {
    case KeyCodes::vbKeyBack:
        if (l == 1) {
            int to = 0;
            if (s == 2 || s == 5) {
                to = s - 1;
            } else if (s > 0) {
                if (s == 3 || s == 6)
                    --s;
                QString t = text;
                if (s - 1 < t.size())
                    t[s - 1] = QLatin1Char(' ');
                setBoxText(t);
                to = s - 1;
            }
            setBoxSelection(to, 1);
        } else if (l >= 2) {
            setBoxText(text.left(s) + emptyDateMask.mid(s, l) + text.mid(s + l));
            setBoxSelection(s, 1);
        }
        return;
    case 22: {
        pasteText(QApplication::clipboard()->text());
        return;
    }
    case 24:
        if (l > 0)
            QApplication::clipboard()->setText(text.mid(s, l));
        setBoxText(emptyDateMask);
        SelectAll();
        return;
    default:
        return;
    }
}

void slxText::numberKeyPress(int &k)
{
    switch (k) {
    case KeyCodes::vbKeyBack: {
        QString candidate;
        if (boxSelLength() > 0) {
            candidate = testoConSelezione(QString());
        } else if (boxSelStart() > 0) {
            setBoxSelection(boxSelStart() - 1, 1);
            candidate = textWithoutSelection();
        } else {
            return;
        }
        // Deleting never completes a field: no move to the next one.
        if (!controllaNumero(candidate, false))
            k = 0;
        return;
    }
    case 22:
        pasteText(QApplication::clipboard()->text());
        k = 0;
        return;
    case 24:
        if (!controllaNumero(textWithoutSelection(), false))
            k = 0;
        return;
    default:
        if (!controllaNumero(testoConSelezione(QString(KeyCodes::charOf(k))), m_autoTab))
            k = 0;
        return;
    }
}

// Pasted and dropped text meets the same rules as typed keys: nothing on a
// locked field, a text field's character classes and length, a number's
// digit limits, a date that must be a date.
void slxText::pasteText(const QString &clip)
{
    if (m_locked || clip.isEmpty())
        return;
    if (m_controlType == Data) {
        const QDate d = ItalianFormat::parseDate(clip);
        if (d.isValid()) {
            setBoxText(ItalianFormat::formatDate(d, QStringLiteral("dd/mm/yyyy")));
            SelectAll();
        }
        return;
    }
    if (isNumber()) {
        QString number = clip.trimmed();
        if (!controllaNumero(number, false)) {
            // An amount copied as it is shown ("€ 1.234,50") is the number
            // 1234,50 to an Italian user.
            QString shown = number;
            if (!m_currencyChar.trimmed().isEmpty())
                shown.remove(m_currencyChar.trimmed());
            shown.remove(QChar(0x20AC));
            bool ok = false;
            shown = ItalianFormat::normaliseNumber(shown, &ok);
            if (!ok)
                return;
            number = shown.replace(QLatin1Char('.'), QLatin1Char(','));
        }
        if (controllaNumero(number, false)) {
            setBoxText(number);
            SelectAll();
        }
        return;
    }
    QString source = clip;
    source.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    source.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (m_multiLine == 0) {
        while (source.endsWith(QLatin1Char('\n')))
            source.chop(1);
        source.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    source.replace(QLatin1Char('\t'), QLatin1Char(' '));
    QString accepted;
    for (QChar c : source) {
        if (c == QLatin1Char('\n')) {
            accepted += c;
            continue;
        }
        const int code = KeyCodes::codeOf(c);
        if (code < 32)
            continue;
        const int k = filterTextChar(code);
        if (k != 0)
            accepted += KeyCodes::charOf(k);
    }
    if (m_boxLimit > 0) {
        const int room = m_boxLimit - int(boxText().size()) + boxSelLength();
        if (room <= 0)
            return;
        accepted = accepted.left(room);
    }
    if (accepted.isEmpty())
        return;
    insertIntoBox(accepted);
    if (m_autoTab && m_boxLimit > 0 && boxSelStart() == m_boxLimit)
        KeySender::sendAutoTab();
}

QString slxText::testoConSelezione(const QString &insert) const
{
    const QString text = boxText();
    const int s = boxSelStart();
    return text.left(s) + insert + text.mid(s + boxSelLength());
}

QString slxText::textWithoutSelection() const
{
    return testoConSelezione(QString());
}

bool slxText::controllaNumero(const QString &text, bool tabFlag)
{
    int intCount = 0;
    int decCount = 0;
    bool seenSeparator = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (seenSeparator)
                ++decCount;
            else
                ++intCount;
        } else if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (m_controlType == Intero || seenSeparator)
                return false;
            seenSeparator = true;
        } else if (c == QLatin1Char('-')) {
            if (i != 0 || !m_negative)
                return false;
        } else {
            return false;
        }
    }
    if (intCount > m_intDigits || decCount > m_decDigits)
        return false;
    // A locked field takes no digit, so it is never completed.
    if (tabFlag && !m_locked) {
        if (m_decDigits > 0 ? decCount == m_decDigits : intCount == m_intDigits)
            KeySender::sendAutoTab();
    }
    return true;
}

// ---------------------------------------------------------------------------
// Clipboard menu and drops

void slxText::showContextMenu(const QPoint &globalPos)
{
    const bool hasSelection = boxSelLength() > 0;
    const bool canPaste = !m_locked && !QApplication::clipboard()->text().isEmpty();
    QMenu menu(this);
    QAction *undo = menu.addAction(QStringLiteral("&Annulla"));
    menu.addSeparator();
    QAction *cut = menu.addAction(QStringLiteral("&Taglia"));
    QAction *copy = menu.addAction(QStringLiteral("&Copia"));
    QAction *paste = menu.addAction(QStringLiteral("I&ncolla"));
    QAction *erase = menu.addAction(QStringLiteral("&Elimina"));
    menu.addSeparator();
    QAction *selectAll = menu.addAction(QStringLiteral("Seleziona &tutto"));
    undo->setEnabled(!m_locked);
    cut->setEnabled(hasSelection && !m_locked);
    copy->setEnabled(hasSelection);
    paste->setEnabled(canPaste);
    erase->setEnabled(hasSelection && !m_locked);
    selectAll->setEnabled(!boxText().isEmpty());

    QAction *chosen = menu.exec(globalPos);
    if (!chosen || !m_box)
        return;
    if (chosen == copy) {
        QApplication::clipboard()->setText(SelText());
    } else if (chosen == selectAll) {
        SelectAll();
    } else if (chosen == erase) {
        int keyCode = KeyCodes::vbKeyDelete;
        fieldKeyDown(keyCode, 0);
        if (keyCode != 0 && !m_locked)
            insertIntoBox(QString());
    } else {
        int k = chosen == undo ? 26 : chosen == paste ? 22 : 24;
        fieldKeyPress(k);
        if (k == 24 && !m_locked) {
            QApplication::clipboard()->setText(SelText());
            insertIntoBox(QString());
        }
    }
}

bool slxText::handleDrag(QEvent *event)
{
    if (m_oleDropMode == 0) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::DragLeave) {
        if (m_oleDropMode == 1) {
            int effect = 0, button = 0, shift = 0, state = 1;
            float x = 0, y = 0;
            emit OLEDragOver(nullptr, effect, button, shift, x, y, state);
        }
        return true;
    }
    auto *drop = static_cast<QDropEvent *>(event);
    const QPointF at = QPointF(m_box->mapTo(this, QPoint(0, 0))) + drop->position();
    int button = KeyCodes::buttonState(drop->buttons());
    int shift = KeyCodes::shiftState(drop->modifiers());
    float x = float(at.x());
    float y = float(at.y());

    if (m_oleDropMode == 1) {
        // The form decides what a drop means.
        raiseOleDrop(this, drop, button, shift, x, y);
        return true;
    }

    // Automatic drops: text dropped on the field is pasted there.
    if (m_locked || !drop->mimeData()->hasText()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (event->type() == QEvent::Drop && m_controlType == Testo) {
        const QPoint p = drop->position().toPoint();
        if (m_line)
            setBoxSelection(m_line->cursorPositionAt(p), 0);
        else if (m_multi)
            setBoxSelection(m_multi->cursorForPosition(p).position(), 0);
    }
    if (event->type() == QEvent::Drop)
        pasteText(drop->mimeData()->text());
    return true;
}
