#include "infoForm.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "Logo.h"
#include "Pictures.h"
#include "kezClass.h"
#include "modMain.h"
#include "ui_infoForm.h"

struct infoForm::Ui : public ::Ui::infoForm
{
};

namespace {
// The program's version as major.minor.revision.
const char programVersion[] = "11.0.0";
}

infoForm::infoForm(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    labKez = {ui->labKez_0, ui->labKez_1, ui->labKez_2};
    Label1 = {ui->Label1_0, ui->Label1_1, ui->Label1_2};
    Label2 = {ui->Label2_0, ui->Label2_1};
    Label3 = {ui->Label3_0, ui->Label3_1};
    ui->Image1->setPixmap(Pictures::emblem(96));
    ui->Image2->setPixmap(Pictures::menuIcon(4, 32));
    ui->Image3->setPixmap(Pictures::recycle(32));
    QFont product = ui->Label1_1->font();
    product.setPointSizeF(product.pointSizeF() * 1.3);
    product.setBold(true);
    ui->Label1_1->setFont(product);
    QFont small = ui->hint->font();
    small.setItalic(true);
    ui->hint->setFont(small);
    QPalette grey = ui->hint->palette();
    grey.setColor(QPalette::WindowText, QColor(0x6a, 0x70, 0x78));
    ui->hint->setPalette(grey);

    const int year = modMain::gKez ? modMain::gKez->AnnoElaborazione() : 2022;
    setWindowTitle(QStringLiteral("Informazioni su KEZ  %1").arg(year));
    Logo::placeTitle(labKez, year);
    ui->Label3_0->setText(QStringLiteral("Rev. ") + QLatin1String(programVersion));
    ui->Label3_1->setText(modMain::gKez ? modMain::gKez->DataRilascio() : QString());
    // The two small pictures are decoration: a click on them does nothing.
    ui->Image2->installEventFilter(this);
    ui->Image3->installEventFilter(this);
}

infoForm::~infoForm() = default;

QLabel *infoForm::Image1() const
{
    return ui->Image1;
}

QLabel *infoForm::Image2() const
{
    return ui->Image2;
}

QLabel *infoForm::Image3() const
{
    return ui->Image3;
}

bool infoForm::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == ui->Image2 || watched == ui->Image3)
        && (event->type() == QEvent::MouseButtonPress
            || event->type() == QEvent::MouseButtonRelease)) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void infoForm::keyPressEvent(QKeyEvent *event)
{
    m_keyDown = true;
    event->accept();
}

void infoForm::keyReleaseEvent(QKeyEvent *event)
{
    // Only a key pressed here: the release of the key that chose the menu
    // item must not close the box the moment it opens.
    if (m_keyDown && !event->isAutoRepeat())
        accept();
}

void infoForm::mouseReleaseEvent(QMouseEvent *)
{
    accept();
}
