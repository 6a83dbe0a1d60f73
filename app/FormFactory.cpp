#include "FormFactory.h"

#include <QMdiSubWindow>
#include <QWidget>

#include "Anagrafiche.h"
#include "Connetti.h"
#include "Importa.h"
#include "Verifica.h"
#include "expForm.h"
#include "expList.h"
#include "Registra.h"
#include "SA2.h"
#include "ModDR_CONS.h"
#include "ModRT.h"
#include "SK_CONS.h"
#include "SK_SBOP.h"
#include "SK_SMAT.h"
#include "SK_SRIU.h"
#include "SK_STIP.h"
#include "SezAnag.h"
#include "importAnag.h"
#include "infoForm.h"
#include "listAtt.h"
#include "listDic.h"
#include "listMod.h"
#include "listRegCE.h"
#include "listRif.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "prnDich.h"
#include "prnList.h"
#include "rifTree.h"

// Each form joins here as it is written: a code whose form the program
// does not have yet opens nothing.
namespace FormFactory {

namespace {
template<class Dialog>
bool runDialog()
{
    Dialog dialog(modMain::gMain);
    dialog.exec();
    return true;
}

// A sheet is a heap object that the main window's frame deletes on close.
template <typename Sheet>
QWidget *showSheet()
{
    auto *sheet = new Sheet;
    sheet->showInMain();
    return sheet;
}
} // namespace

QWidget *showChild(int formCode)
{
    if (!modMain::gMain)
        return nullptr;
    switch (formCode) {
    case SezAnagForm: {
        auto *sheet = new SezAnag;
        QMdiSubWindow *frame = modMain::gMain->showChild(sheet);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowIcon(sheet->windowIcon());
        // A sheet has its own size: it is not maximised.
        frame->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        frame->show();
        frame->adjustSize();
        modFunz::centerForm(sheet);
        return sheet;
    }
    case SK_CONSForm:
        return showSheet<SK_CONS>();
    case 8:
        return expList::showInMain();
    case SbopForm:
        return showSheet<SK_SBOP>();
    case SmatForm:
        return showSheet<SK_SMAT>();
    case SriuForm:
        return showSheet<SK_SRIU>();
    case StipForm:
        return showSheet<SK_STIP>();
    default:
        return nullptr;
    }
}

QWidget *showModule(int modoApertura)
{
    SheetFrame *form = nullptr;
    switch (modoApertura) {
    case SK_CONS::ModuliUO:
        form = new ModRT;
        break;
    case SK_CONS::ModuliDR:
        form = new ModDR_CONS;
        break;
    default:
        return nullptr;
    }
    form->showInMain();
    return form;
}

QWidget *showRifTree(const QString &codice)
{
    auto *tree = new rifTree;
    tree->Visualizza(codice);
    return tree;
}

QWidget *showListRif(const QString &caption, int key, const QString &sql, const QVariantList &params)
{
    auto *list = new listRif;
    list->Visualizza(caption, key, sql, params);
    return list;
}

bool execDialog(int formCode)
{
    switch (formCode) {
    case 101: {
        Verifica check(modMain::gMain);
        check.exec();
        return true;
    }
    case 102: {
        Connetti chooser(modMain::gMain);
        chooser.exec();
        return true;
    }
    case 103: {
        Registra user(modMain::gMain);
        user.exec();
        return true;
    }
    case 104: {
        expForm exportForm(modMain::gMain);
        exportForm.exec();
        return true;
    }
    case 105: {
        Importa import(modMain::gMain);
        import.exec();
        return true;
    }
    case 106: {
        importAnag import(modMain::gMain);
        import.exec();
        return true;
    }
    case 107: {
        prnDich print(modMain::gMain);
        print.exec();
        return true;
    }
    case 108: {
        prnList print(modMain::gMain);
        print.exec();
        return true;
    }
    case Anagrafiche: {
        ::Anagrafiche registry(modMain::gMain);
        registry.exec();
        return true;
    }
    case listDic:
        return runDialog<::listDic>();
    case listMod:
        return runDialog<::listMod>();
    case listRegCE:
        return runDialog<::listRegCE>();
    case listAtt:
        return runDialog<::listAtt>();
    case SA2:
        return runDialog<::SA2>();
    case 200: {
        infoForm about(modMain::gMain);
        about.exec();
        return true;
    }
    default:
        return false;
    }
}

} // namespace FormFactory
