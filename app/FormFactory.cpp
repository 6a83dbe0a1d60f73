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
#include "SezAnag.h"
#include "importAnag.h"
#include "infoForm.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"

// Each form joins here as it is written: a code whose form the program
// does not have yet opens nothing.
namespace FormFactory {

QWidget *showChild(int formCode)
{
    if (!modMain::gMain)
        return nullptr;
    switch (formCode) {
    case 8:
        return expList::showInMain();
    case SezAnagForm: {
        auto *sheet = new SezAnag;
        QMdiSubWindow *frame = modMain::gMain->showChild(sheet);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowIcon(sheet->windowIcon());
        frame->adjustSize();
        modFunz::centerForm(sheet);
        return sheet;
    }
    default:
        return nullptr;
    }
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
    case Anagrafiche: {
        ::Anagrafiche registry(modMain::gMain);
        registry.exec();
        return true;
    }
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
