#include "SheetFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "CaptionButton.h"
#include "ChildPlacement.h"
#include "Recordset.h"
#include "hNav.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxText.h"

SheetFrame::SheetFrame(int formCode, QWidget *parent) : QWidget(parent), m_formCode(formCode)
{
    if (isSheet()) {
        modMain::currentForm = formCode;
        if (modMain::gMain)
            setWindowIcon(modMain::gMain->imgMenu(formCode));
    } else {
        m_owner = formLoadedBefore(this);
    }
    QFont verdana = font();
    verdana.setFamily(QStringLiteral("Verdana"));
    setFont(verdana);
    // Esc must close the form whichever of its fields has the focus, before
    // any field can take the key for itself.
    qApp->installEventFilter(this);
    modMain::formLoaded(this);
}

SheetFrame::~SheetFrame()
{
    qApp->removeEventFilter(this);
    modMain::formUnloaded(this);
}

bool SheetFrame::isModificata() const
{
    return m_save && m_save->Enabled();
}

void SheetFrame::setModificata()
{
    if (m_save && !m_save->Enabled())
        m_save->setEnabled(true);
}

void SheetFrame::setSalvata()
{
    if (m_save)
        m_save->setEnabled(false);
    m_rifiutato = nullptr;
}

bool SheetFrame::matchField(slxText *field, bool &changed)
{
    const bool rifiutato = m_rifiutato == field;
    m_rifiutato = nullptr;
    if (!field->Match(changed)) {
        // A change the field already remembers: the next exit takes it.
        if (changed && field->oldValue == field->Value())
            m_rifiutato = field;
        return false;
    }
    changed = changed || rifiutato;
    return true;
}

void SheetFrame::nuovaSchedaFrame(const QString &caption)
{
    if (m_nav)
        m_nav->setCaption(caption);
    setSalvata();
}

bool SheetFrame::chiediSalvataggio()
{
    return queryMove(domandaModifica());
}

bool SheetFrame::unloadForm()
{
    return windowOf(this)->close();
}

void SheetFrame::setSaveButton(CaptionButton *button)
{
    m_save = button;
    setSalvata();
}

bool SheetFrame::dopoEliminazione()
{
    m_nav->setMax(m_nav->Max() - 1);
    if (m_nav->Max() <= 0)
        return false;
    if (m_nav->Value() > m_nav->Max()) {
        schedeRs->MovePrevious();
        m_nav->setValue(m_nav->Max());
    } else {
        schedeRs->MoveNext();
        m_nav->refreshBarra();
    }
    return true;
}

void SheetFrame::setNavigator(hNav *nav)
{
    m_nav = nav;
    connect(nav, &hNav::Click, this, [this](bool &Cancel, int &Bottone) { nav_Click(Cancel, Bottone); });
}

void SheetFrame::nav_Click(bool &Cancel, int Bottone)
{
    if (!chiediSalvataggio()) {
        Cancel = true;
        return;
    }
    if (schedeRs && schedeRs->isOpen()) {
        switch (Bottone) {
        case 0:
            schedeRs->MoveFirst();
            break;
        case 1:
            schedeRs->MovePrevious();
            break;
        case 2:
            schedeRs->MoveNext();
            break;
        case 3:
            schedeRs->MoveLast();
            break;
        default:
            break;
        }
    }
    caricaScheda();
    if (slxText *first = primoCampo()) {
        first->SelectAll();
        first->setFocus();
    }
}

QMdiSubWindow *SheetFrame::showInMain()
{
    mainForm *main = modMain::gMain;
    if (!main) {
        show();
        return nullptr;
    }
    QMdiSubWindow *frame = main->showChild(this);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowTitle(windowTitle());
    frame->setWindowIcon(windowIcon());
    if (isSheet())
        frame->setGeometry(QRect(QPoint(0, 0), main->mdiArea()->viewport()->size()));
    else if (m_owner)
        placeBelow(this, m_owner);
    frame->show();
    main->mdiArea()->setActiveSubWindow(frame);
    connect(main->mdiArea(), &QMdiArea::subWindowActivated, this, [this, frame](QMdiSubWindow *active) {
        if (active == frame)
            activateLater();
    });
    return frame;
}

QWidget *SheetFrame::windowOf(QWidget *form)
{
    return ChildPlacement::windowOf(form);
}

void SheetFrame::placeBelow(QWidget *child, QWidget *above)
{
    ChildPlacement::placeBelow(child, above);
}

QWidget *SheetFrame::formLoadedBefore(QWidget *form)
{
    return ChildPlacement::formBeneath(form);
}

void SheetFrame::activateLater()
{
    // The window that enabled this form is still unloading: the form takes
    // over once it has gone, and only once for a burst of activations.
    if (m_activationPending)
        return;
    m_activationPending = true;
    QTimer::singleShot(0, this, [this] {
        m_activationPending = false;
        if (!modMain::closingAll() && isEnabled() && !m_unloaded)
            formActivate();
    });
}

void SheetFrame::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && isEnabled())
        activateLater();
    QWidget::changeEvent(event);
}

bool SheetFrame::eventFilter(QObject *watched, QEvent *event)
{
    // A sheet keeps filling the main window when it changes size; while a
    // child window stands below it, only its width follows.
    if (event->type() == QEvent::Resize && isSheet() && modMain::gMain
        && watched == modMain::gMain->mdiArea()->viewport()) {
        QWidget *frame = windowOf(this);
        const QSize client = static_cast<QResizeEvent *>(event)->size();
        if (frame != this)
            frame->setGeometry(0, 0, client.width(), isEnabled() ? client.height() : frame->height());
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && watched->isWidgetType() && !m_unloaded) {
        auto *target = static_cast<QWidget *>(watched);
        if ((target == this || isAncestorOf(target)) && isEnabled()) {
            // A field that takes Esc for itself (a grid cell being edited)
            // says so as it would to a shortcut; that Esc is the field's.
            const auto *key = static_cast<QKeyEvent *>(event);
            QKeyEvent claim(QEvent::ShortcutOverride, key->key(), key->modifiers());
            claim.ignore();
            QCoreApplication::sendEvent(target, &claim);
            if (claim.isAccepted())
                return false;
            unloadForm();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SheetFrame::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // A form waiting for its child window stays until the child gives it
    // back, unless the program closes everything.
    if (!isEnabled() && !modMain::closingAll()) {
        event->ignore();
        return;
    }
    if (!queryUnload(Asker::Close)) {
        event->ignore();
        // A child window that closed in the same round gave the form back
        // while it was about to go, and its return was put off: the form
        // takes over now, whole again.
        activateLater();
        return;
    }
    m_unloaded = true;
    formUnload();
    if (schedeRs)
        schedeRs->close();
    schedeRs.reset();
    qApp->removeEventFilter(this);
    if (isSheet()) {
        modMain::formUnloaded(this);
        modMain::showLogo();
    } else {
        modMain::formUnloaded(this);
        modMain::modoApertura = 0;
        if (m_owner) {
            m_owner->setEnabled(true);
            if (auto *sub = qobject_cast<QMdiSubWindow *>(m_owner->parentWidget()))
                if (sub->mdiArea())
                    sub->mdiArea()->setActiveSubWindow(sub);
        }
    }
    event->accept();
}
