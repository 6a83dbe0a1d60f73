#include "FormFactory.h"

#include <QHash>
#include <QMdiSubWindow>

#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"

namespace FormFactory {

namespace {
struct Creators
{
    QHash<int, ChildCreator> children;
    QHash<int, ChildCreator> modules;
    QHash<int, DialogCreator> dialogs;
    RifTreeCreator rifTree;
    ListRifCreator listRif;
};

Creators &creators()
{
    static Creators table;
    return table;
}
} // namespace

void registerChild(int formCode, ChildCreator create)
{
    creators().children.insert(formCode, std::move(create));
}

void registerModule(int modoApertura, ChildCreator create)
{
    creators().modules.insert(modoApertura, std::move(create));
}

void registerDialog(int formCode, DialogCreator create)
{
    creators().dialogs.insert(formCode, std::move(create));
}

void registerRifTree(RifTreeCreator create)
{
    creators().rifTree = std::move(create);
}

void registerListRif(ListRifCreator create)
{
    creators().listRif = std::move(create);
}

QWidget *showCentred(QWidget *form)
{
    QMdiSubWindow *frame = modMain::gMain->showChild(form);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(form->windowIcon());
    // A sheet has its own size: it is not maximised.
    frame->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    frame->show();
    frame->adjustSize();
    modFunz::centerForm(form);
    return form;
}

QWidget *showChild(int formCode)
{
    if (!modMain::gMain)
        return nullptr;
    const ChildCreator create = creators().children.value(formCode);
    return create ? create() : nullptr;
}

QWidget *showModule(int modoApertura)
{
    const ChildCreator create = creators().modules.value(modoApertura);
    return create ? create() : nullptr;
}

QWidget *showRifTree(const QString &codice)
{
    return creators().rifTree ? creators().rifTree(codice) : nullptr;
}

QWidget *showListRif(const QString &caption, int key, const QString &sql, const QVariantList &params)
{
    return creators().listRif ? creators().listRif(caption, key, sql, params) : nullptr;
}

bool execDialog(int formCode)
{
    const DialogCreator run = creators().dialogs.value(formCode);
    // After the session's end a dialog would only flash: its event loop
    // returns at once, and nobody is there to use it.
    if (!run || modMain::sessionEnded())
        return false;
    run(modMain::gMain);
    return true;
}

} // namespace FormFactory
