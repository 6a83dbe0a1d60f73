#include "mainForm.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "modMain.h"

// A bare main window that lets the shell start and quit; menus, side bar
// and status bar come with the full window.
struct mainForm::Ui
{
    QMdiArea *area = nullptr;
    QString declaration;
};

mainForm::mainForm(QWidget *parent) : QMainWindow(parent), ui(new Ui)
{
    ui->area = new QMdiArea(this);
    setCentralWidget(ui->area);
    setWindowTitle(QStringLiteral("Kez 2022"));
    resize(800, 600);
    modMain::hookWheel(this);
}

mainForm::~mainForm()
{
    delete ui;
}

void mainForm::abilitaMenu()
{
}

void mainForm::setDeclarationText(const QString &text)
{
    ui->declaration = text;
}

QString mainForm::declarationText() const
{
    return ui->declaration;
}

QMdiArea *mainForm::mdiArea() const
{
    return ui->area;
}

QMdiSubWindow *mainForm::showChild(QWidget *w)
{
    QMdiSubWindow *frame = ui->area->addSubWindow(w);
    frame->show();
    return frame;
}

vBar *mainForm::sideBar() const
{
    return nullptr;
}

void mainForm::closeEvent(QCloseEvent *event)
{
    modMain::unloadForms();
    modMain::unhookWheel(this);
    modMain::releaseGlobals();
    event->accept();
}
