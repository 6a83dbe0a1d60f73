#include "Logo.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "Pictures.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "ui_Logo.h"

struct Logo::Ui : public ::Ui::Logo
{
};

namespace {
QPointer<Logo> loaded;

int processingYear()
{
    return modMain::gKez ? modMain::gKez->AnnoElaborazione() : 2022;
}
}

Logo::Logo(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette card = palette();
    card.setColor(QPalette::Window, QColor(0xfc, 0xfc, 0xfa));
    setPalette(card);
    labKez = {ui->labKez_0, ui->labKez_1, ui->labKez_2};
    Label1 = {ui->Label1_0, ui->Label1_1, ui->Label1_2, ui->Label1_3, ui->Label1_4};
    ui->Image1->setPixmap(Pictures::emblem(128));
    ui->Image3->setPixmap(Pictures::recycle(48));
    QFont product = ui->Label1_1->font();
    product.setPointSizeF(product.pointSizeF() * 1.4);
    product.setBold(true);
    ui->Label1_1->setFont(product);
    QFont user = ui->labUser->font();
    user.setPointSizeF(user.pointSizeF() * 1.25);
    user.setBold(true);
    ui->labUser->setFont(user);
    ui->labUser->setAutoFillBackground(true);
    QPalette field = ui->labUser->palette();
    field.setColor(QPalette::Window, Qt::white);
    ui->labUser->setPalette(field);

    modMain::currentForm = 100;
    ui->Label1_3->setText(ui->Label1_3->text() + QLatin1Char(' ')
                          + QString::number(modMain::gKez ? modMain::gKez->AnnoDichiarazione()
                                                          : processingYear() - 1));
    placeTitle(labKez, processingYear());
    setUser(modMain::gKez ? modMain::gKez->Utente : QString());
    modMain::formLoaded(this);
}

Logo::~Logo() = default;

void Logo::placeTitle(const QVector<QLabel *> &labKez, int year)
{
    const QString title = QStringLiteral("KEZ %1").arg(year);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(labKez[0]->height() * 7 / 10);
    font.setBold(true);
    const QColor colours[] = {QColor(0x1f, 0x5f, 0x2e), QColor(0xc8, 0xcc, 0xc8),
                              QColor(0x5a, 0x5e, 0x5a)};
    for (int i = 0; i < 3; ++i) {
        labKez[i]->setText(title);
        labKez[i]->setFont(font);
        QPalette p = labKez[i]->palette();
        p.setColor(QPalette::WindowText, colours[i]);
        labKez[i]->setPalette(p);
    }
    const QPoint origin = labKez[0]->pos();
    labKez[1]->move(origin + QPoint(1, 2));
    labKez[2]->move(origin + QPoint(2, 3));
}

Logo *Logo::instance()
{
    return loaded;
}

Logo *Logo::showInMain()
{
    if (!modMain::gMain)
        return nullptr;
    if (!loaded) {
        auto *splash = new Logo;
        QMdiSubWindow *frame = modMain::gMain->mdiArea()->addSubWindow(
            splash, Qt::SubWindow | Qt::FramelessWindowHint);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        loaded = splash;
        modMain::gMain->mdiArea()->viewport()->installEventFilter(splash);
    }
    loaded->centre();
    loaded->parentWidget()->show();
    loaded->show();
    return loaded;
}

void Logo::setUser(const QString &name)
{
    ui->labUser->setText(name);
}

QString Logo::user() const
{
    return ui->labUser->text();
}

void Logo::centre()
{
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!frame || !frame->mdiArea())
        return;
    frame->resize(size());
    const QSize client = frame->mdiArea()->viewport()->size();
    // A main window smaller than the splash shows its top left corner,
    // where the title is, rather than cutting it off.
    frame->move(qMax(0, (client.width() - frame->width()) / 2),
                qMax(0, (client.height() - frame->height()) / 2));
}

bool Logo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize)
        centre();
    return QWidget::eventFilter(watched, event);
}
