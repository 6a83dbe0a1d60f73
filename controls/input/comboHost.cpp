#include "comboHost.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "Ambient.h"
#include "FocusValidator.h"
#include "KeyCodes.h"
#include "KeySender.h"
#include "LookupSource.h"
#include "MsgBox.h"
#include "SystemColors.h"

comboHost::comboHost(bool editable, QWidget *parent)
    : QWidget(parent),
      m_backColor(SystemColors::vbWindowBackground),
      m_foreColor(SystemColors::vbWindowText)
{
    cmb = new QComboBox(this);
    cmb->setObjectName(QStringLiteral("cmb"));
    cmb->setEditable(editable);
    cmb->setMaxVisibleItems(12);
    if (editable) {
        // The pickers resolve the typed text themselves when the focus
        // leaves: Qt's completion and its Enter-inserts-an-item would both
        // change the text behind the user's back.
        cmb->setCompleter(nullptr);
        cmb->setInsertPolicy(QComboBox::NoInsert);
        cmb->lineEdit()->installEventFilter(this);
        // A typed text is no longer the entry that was selected: the
        // selection goes, the text stays, and Match resolves it later.
        connect(cmb->lineEdit(), &QLineEdit::textEdited, this, [this] {
            if (cmb->currentIndex() >= 0) {
                QLineEdit *edit = cmb->lineEdit();
                const QString text = edit->text();
                const int cursor = edit->cursorPosition();
                cmb->setCurrentIndex(-1);
                edit->setText(text);
                edit->setCursorPosition(cursor);
            }
            m_held = QVariant();
            textEdited();
        });
    }
    // A value held from the file gives way to an entry chosen.
    connect(cmb, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_held = QVariant();
    });
    cmb->installEventFilter(this);
    cmb->view()->installEventFilter(this);
    setFocusProxy(cmb);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    relayout();
    repaintBackground();

    FocusValidator::instance().watch(this, [this] {
        bool Cancel = false;
        Q_EMIT Validate(Cancel);
        // A message box of the check gives the keyboard back to the form
        // only if the window manager reactivates it; without one the form
        // takes keys while inactive, and Qt then moves the focus without a
        // focus event, so the next Tab would leave the field unchecked.
        if (!isActiveWindow())
            activateWindow();
        // A refused entry is typed over, never added to.
        if (Cancel && cmb->lineEdit())
            cmb->lineEdit()->selectAll();
        else if (!Cancel)
            takeShown();
        return !Cancel;
    }, [this] { return !showsTaken(); });
}

comboHost::~comboHost()
{
    FocusValidator::instance().unwatch(this);
}

void comboHost::takeShown()
{
    m_taken = cmb->currentText();
}

bool comboHost::showsTaken() const
{
    return cmb->currentText() == m_taken;
}

Connection *comboHost::connection() const
{
    return LookupSource::connection(m_connection);
}

void comboHost::setBackColor(int color)
{
    m_backColor = color;
    repaintBackground();
    Q_EMIT PropertyChanged(QStringLiteral("BackColor"));
}

void comboHost::setForeColor(int color)
{
    m_foreColor = color;
    applyForeColor();
    Q_EMIT PropertyChanged(QStringLiteral("ForeColor"));
}

void comboHost::setEnabled(bool enabled)
{
    m_enabled = enabled;
    applyEnabled();
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
}

QFont comboHost::Font() const
{
    return cmb->font();
}

void comboHost::setFont(const QFont &font)
{
    cmb->setFont(font);
    relayout();
    Q_EMIT PropertyChanged(QStringLiteral("Font"));
}

void comboHost::setLocked(bool locked)
{
    m_locked = locked;
    if (QLineEdit *edit = cmb->lineEdit())
        edit->setReadOnly(locked);
    Q_EMIT PropertyChanged(QStringLiteral("Locked"));
}

QString comboHost::Text() const
{
    return cmb->currentText();
}

bool comboHost::acceptEmpty(int Required, bool &requiredShown, const QString &MsgRequired,
                            const QString &standard)
{
    if (Required > 0 && (Required == 2 || !requiredShown)) {
        MsgBox::warn(MsgRequired.isEmpty() ? standard : MsgRequired);
        requiredShown = true;
        return false;
    }
    return true;
}

QColor comboHost::containerColor() const
{
    const QWidget *container = parentWidget();
    const QPalette pal = container ? container->palette() : QApplication::palette();
    return pal.color(container ? container->backgroundRole() : QPalette::Window);
}

QColor comboHost::shownBackColor() const
{
    return SystemColors::toColor(m_backColor, QApplication::palette());
}

void comboHost::repaintBackground()
{
    paintBackground(shownBackColor());
}

void comboHost::paintBackground(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    setAutoFillBackground(true);
    colourBox({QPalette::Base, QPalette::Button, QPalette::Window}, color);
    applyForeColor();
}

void comboHost::applyForeColor()
{
    colourBox({QPalette::Text, QPalette::ButtonText, QPalette::WindowText},
              SystemColors::toColor(m_foreColor, QApplication::palette()));
}

void comboHost::colourBox(std::initializer_list<QPalette::ColorRole> roles, const QColor &color)
{
    // Only the active groups take the colour: a disabled box keeps the
    // style's grey, so the user sees that it cannot be changed.
    QPalette box = cmb->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (QPalette::ColorRole role : roles)
            box.setColor(group, role, color);
    cmb->setPalette(box);
    if (QLineEdit *edit = cmb->lineEdit())
        edit->setPalette(box);
}

void comboHost::applyEnabled()
{
    if (!Ambient::userMode())
        return;
    cmb->setEnabled(m_enabled);
    QWidget::setEnabled(m_enabled);
}

void comboHost::relayout()
{
    // The box's height follows its font; the control takes that height and
    // gives its width to the box.
    const int h = cmb->sizeHint().height();
    setFixedHeight(h);
    cmb->setGeometry(0, 0, width(), h);
}

void comboHost::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    cmb->setGeometry(0, 0, width(), cmb->sizeHint().height());
}

void comboHost::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        relayout();
}

bool comboHost::lockedBlocks(QObject *watched, QEvent *event) const
{
    if (!m_locked)
        return false;
    switch (event->type()) {
    case QEvent::Wheel:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The button would open the list; in the text the mouse still
        // selects for copying.
        if (watched != cmb)
            return false;
        cmb->setFocus(Qt::MouseFocusReason);
        return true;
    case QEvent::KeyPress: {
        // A locked picker keeps its entry: no key may open the list or
        // move the selection; Tab, Enter and copying still work.
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_F4:
            return true;
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Space:
            return !cmb->isEditable();
        default:
            return !cmb->isEditable() && !key->text().isEmpty() && KeyCodes::keyAscii(key) != 13
                && KeyCodes::keyAscii(key) != 9;
        }
    }
    default:
        return false;
    }
}

bool comboHost::handleKeyPress(QObject *target, QKeyEvent *event)
{
    if (!keyDown(event))
        return true;
    const int original = KeyCodes::keyAscii(event);
    if (original == 0 || original == 9)
        return false;
    int KeyAscii = original;
    keyPress(KeyAscii);
    if (KeyAscii == 13) {
        KeySender::sendTabOnEnter(KeyAscii);
        return true;
    }
    if (KeyAscii == 0)
        return true;
    if (KeyAscii != original) {
        // The handler changed the key: the box gets the new character.
        QKeyEvent changed(QEvent::KeyPress, Qt::Key_unknown, event->modifiers(),
                          QString(KeyCodes::charOf(KeyAscii)));
        m_resending = true;
        QApplication::sendEvent(target, &changed);
        m_resending = false;
        return true;
    }
    return false;
}

bool comboHost::eventFilter(QObject *watched, QEvent *event)
{
    if (const auto *list = qobject_cast<QAbstractItemView *>(watched)) {
        // Esc while the list is open closes the list alone: a form's own
        // Esc (closing it) waits for the next one.
        if (event->type() == QEvent::ShortcutOverride && list->isVisible()
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        return false;
    }
    if (lockedBlocks(watched, event))
        return true;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (m_resending)
            return false;
        return handleKeyPress(watched, static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        keyUp(static_cast<QKeyEvent *>(event));
        return false;
    case QEvent::FocusIn:
        if (watched == cmb && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            // Coming in from another control, the user has chosen nothing
            // here yet; coming back to the window, or to the picker after
            // its window was out of sight, a choice still to be taken stays so.
            if (static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason && !m_away)
                takeShown();
            m_away = false;
            gotFocus();
            Q_EMIT GotFocus();
        }
        return false;
    case QEvent::FocusOut:
        if (watched == cmb && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            // Hidden with its window (minimised, maximised, restored), the
            // picker is not left.
            m_away = !cmb->isVisible();
            lostFocus();
            Q_EMIT LostFocus();
        }
        return false;
    default:
        return false;
    }
}
