#include "Logo.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "mainForm.h"
#include "modMain.h"

// A plain splash that keeps the open-form rules working until the drawn
// one comes.
namespace {
QPointer<Logo> loaded;
}

Logo::Logo(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("KEZ 2022"), this));
    auto *labUser = new QLabel(this);
    labUser->setObjectName(QStringLiteral("labUser"));
    layout->addWidget(labUser);
    loaded = this;
    modMain::currentForm = 100;
    modMain::formLoaded(this);
}

Logo::~Logo() = default;

Logo *Logo::showInMain()
{
    if (loaded) {
        loaded->show();
        return loaded;
    }
    auto *logo = new Logo;
    logo->setAttribute(Qt::WA_DeleteOnClose);
    if (modMain::gMain)
        modMain::gMain->showChild(logo);
    else
        logo->show();
    return logo;
}

Logo *Logo::instance()
{
    return loaded;
}

void Logo::setUser(const QString &name)
{
    findChild<QLabel *>(QStringLiteral("labUser"))->setText(name);
}

QString Logo::user() const
{
    return findChild<QLabel *>(QStringLiteral("labUser"))->text();
}
