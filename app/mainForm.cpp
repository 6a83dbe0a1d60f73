#include "mainForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QDate>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QSessionManager>

#include "ElidedLabel.h"
#include "FormFactory.h"
#include "Pictures.h"
#include "SessionRequest.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modMain.h"
#include "modalClass.h"
#include "tbButton.h"
#include "ui_mainForm.h"
#include "vBar.h"

struct mainForm::Ui : public ::Ui::mainForm
{
};

namespace {
struct SideButton
{
    const char *caption;
    const char *toolTip;
};

const SideButton sideButtons[] = {
    {"Scheda SA1", "Scheda anagrafica"},
    {"Sez. CONS", "Consorzi per il recupero e il riciclaggio"},
    {"Scheda SBOP", "Immissione sul mercato borse plastica"},
    {"Scheda SMAT", "Imballaggi immessi sul mercato dal distributore"},
    {"Scheda SRIU", "Riutilizzo imballaggi a livello nazionale"},
    {"Scheda STIP", "Tipologie"},
    {"Chiudi", "Chiusura del programma"},
};

// The desktop's session manager as the shell asks it.
class DesktopSession : public SessionRequest
{
public:
    explicit DesktopSession(QSessionManager &manager) : m_manager(manager) {}
    bool allowsInteraction() override { return m_manager.allowsInteraction(); }
    void cancel() override { m_manager.cancel(); }
    void release() override { m_manager.release(); }

private:
    QSessionManager &m_manager;
};

// Dialogs with no window of their own here: the main window clears itself
// first, then the dialog opens over the splash.
void openDialog(int formCode)
{
    if (modMain::closeChildForms(formCode))
        FormFactory::execDialog(formCode);
}

// The main window has just been cleared for this window: a window the
// program cannot open leaves the splash rather than an empty frame.
void openChild(int formCode)
{
    if (!FormFactory::showChild(formCode))
        modMain::showLogo();
}
}

mainForm::mainForm(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    modMain::gMain = this;
    setWindowIcon(Pictures::appIcon(32));

    // The panels cut what does not fit: a long name or street in the file
    // would otherwise widen the window past the screen.
    sbPanel1 = new ElidedLabel;
    sbPanel1->setText(QLocale(QLocale::Italian).toString(QDate::currentDate(), QStringLiteral("dd/MM/yyyy")));
    sbPanel1->setMinimumWidth(90);
    sbPanel1->setAlignment(Qt::AlignCenter);
    sbPanel2 = new ElidedLabel;
    sbPanel2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui->sb->addWidget(sbPanel1);
    ui->sb->addWidget(sbPanel2, 1);
    ui->sb->setSizeGripEnabled(true);

    gatherMenuArrays();
    connect(ui->mmExit, &QAction::triggered, this, &QWidget::close);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [](QSessionManager &manager) {
        DesktopSession session(manager);
        modMain::commitData(session);
    });
    // The session manager ends the program with a Quit sent to the
    // application, which would close every window, dialogs beneath their
    // callers included.
    qApp->installEventFilter(this);
    connect(ui->vBar1, &vBar::Click, this, &mainForm::vBar1_Click);
    ui->mdi->setBackground(QColor(0x8d, 0x99, 0xa6));

    const int year = modMain::gKez ? modMain::gKez->AnnoElaborazione() : QDate::currentDate().year();
    setWindowTitle(QStringLiteral("Kez %1").arg(year));
    QFont header = ui->vBar1->MenuFont();
    header.setBold(true);
    ui->vBar1->setMenuFont(header);
    ui->vBar1->AddMenu(QStringLiteral("Menu"), QStringLiteral("Menu schede"));
    for (int i = 0; i < int(std::size(sideButtons)); ++i)
        ui->vBar1->AddButton(QString::fromUtf8(sideButtons[i].caption),
                             QString::fromUtf8(sideButtons[i].toolTip), imgMenu(i + 1));
    ui->vBar1->Show(1);
    modMain::hookWheel(this);
}

mainForm::~mainForm() = default;

void mainForm::gatherMenuArrays()
{
    const QRegularExpression itemName(QStringLiteral("^(smu|sme|smi|smp|smh)_(\\d+)$"));
    const QMap<QString, QMap<int, QAction *> *> arrays = {
        {QStringLiteral("smu"), &smu}, {QStringLiteral("sme"), &sme}, {QStringLiteral("smi"), &smi},
        {QStringLiteral("smp"), &smp}, {QStringLiteral("smh"), &smh}};
    const QMap<QString, void (mainForm::*)(int)> handlers = {
        {QStringLiteral("smu"), &mainForm::smu_Click}, {QStringLiteral("sme"), &mainForm::sme_Click},
        {QStringLiteral("smi"), &mainForm::smi_Click}, {QStringLiteral("smp"), &mainForm::smp_Click},
        {QStringLiteral("smh"), &mainForm::smh_Click}};
    auto add = [&](const QString &name, QAction *action) {
        const QRegularExpressionMatch m = itemName.match(name);
        if (!m.hasMatch())
            return;
        const int index = m.captured(2).toInt();
        arrays.value(m.captured(1))->insert(index, action);
        const auto handler = handlers.value(m.captured(1));
        connect(action, &QAction::triggered, this, [this, handler, index] { (this->*handler)(index); });
    };
    for (QAction *action : findChildren<QAction *>())
        add(action->objectName(), action);
    // A submenu of the array is its own item (Esportazioni, Importazioni).
    for (QMenu *menu : findChildren<QMenu *>()) {
        const QRegularExpressionMatch m = itemName.match(menu->objectName());
        if (m.hasMatch())
            arrays.value(m.captured(1))->insert(m.captured(2).toInt(), menu->menuAction());
    }
}

void mainForm::abilitaMenu()
{
    const bool registered = modMain::gKez && !modMain::gKez->Utente.isEmpty();
    const bool connected = modMain::gDb && modMain::gDb->kezDbOpened();
    // Both ways, every time: registering after being locked out (or after
    // linking other files) unlocks the window again without a restart.
    ui->mmPrint->setEnabled(registered);
    ui->mmUtil->setEnabled(true);
    for (int index : {0, 10, 11})
        smu.value(index)->setEnabled(registered);
    smu.value(20)->setEnabled(connected);
    smu.value(21)->setEnabled(true);
    vBar *bar = ui->vBar1;
    bar->setButtonEnabled(1, registered);
    const bool declaration = registered && modMain::gKez->Sa1ID >= 1;
    for (int i = 2; i <= 6; ++i)
        bar->setButtonEnabled(i, declaration);
    smi.value(10)->setEnabled(registered && modMain::gDb && modMain::gDb->oldDbOpened());
}

void mainForm::setDeclarationText(const QString &text)
{
    sbPanel2->setText(text);
}

QString mainForm::declarationText() const
{
    return sbPanel2->text();
}

QMdiArea *mainForm::mdiArea() const
{
    return ui->mdi;
}

QMdiSubWindow *mainForm::showChild(QWidget *w)
{
    QMdiSubWindow *frame = ui->mdi->addSubWindow(w);
    w->show();
    return frame;
}

vBar *mainForm::sideBar() const
{
    return ui->vBar1;
}

QPixmap mainForm::img16(int index) const
{
    return index >= 1 && index <= Pictures::buttonIconCount ? Pictures::buttonIcon(index, 16)
                                                            : QPixmap();
}

QPixmap mainForm::img24(int index) const
{
    return index >= 1 && index <= Pictures::buttonIconCount ? Pictures::buttonIcon(index, 24)
                                                            : QPixmap();
}

QPixmap mainForm::img32(int index) const
{
    // The large list opens with the folder of the "Sfoglia" buttons.
    if (index == 1)
        return Pictures::buttonIcon(10, 32);
    return index >= 2 && index <= Pictures::buttonIconCount ? Pictures::buttonIcon(index, 32)
                                                            : QPixmap();
}

QPixmap mainForm::imgMenu(int index) const
{
    return index >= 1 && index <= Pictures::menuIconCount ? Pictures::menuIcon(index, 32)
                                                          : QPixmap();
}

void mainForm::smu_Click(int Index)
{
    switch (Index) {
    case 0:
        modMain::gModal->showVerifica(-1, 0, false);
        break;
    case 20:
        modMain::gModal->showRegistra();
        break;
    case 21:
        modMain::gModal->showConnect();
        break;
    default:
        break;
    }
}

void mainForm::sme_Click(int Index)
{
    switch (Index) {
    case 0:
        if (modMain::closeChildForms(8))
            openChild(8);
        break;
    case 2:
        modMain::gModal->showExport();
        break;
    default:
        break;
    }
}

void mainForm::smi_Click(int Index)
{
    switch (Index) {
    case 0:
        openDialog(105);
        break;
    case 10:
        openDialog(106);
        break;
    default:
        break;
    }
}

void mainForm::smp_Click(int Index)
{
    switch (Index) {
    case 0:
        openDialog(107);
        break;
    case 10:
        openDialog(108);
        break;
    default:
        break;
    }
}

void mainForm::smh_Click(int Index)
{
    if (Index == 3)
        FormFactory::execDialog(200);
}

void mainForm::vBar1_Click(int buttonIndex, bool)
{
    if (buttonIndex < 1 || buttonIndex > 7 || !modMain::closeChildForms(buttonIndex))
        return;
    if (buttonIndex == 7)
        close();
    else
        openChild(buttonIndex);
}

bool mainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The program itself ends only by closing this window: a Quit that
    // finds it open comes from the session's end.
    if (watched == qApp && event->type() == QEvent::Quit && !m_unloaded) {
        modMain::endSession();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void mainForm::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        // Each open form asks for its changes; one the user keeps open
        // keeps the program running.
        if (!modMain::closeForms()) {
            event->ignore();
            return;
        }
        m_unloaded = true;
        modMain::unhookWheel(this);
        modMain::releaseGlobals();
    }
    event->accept();
}
