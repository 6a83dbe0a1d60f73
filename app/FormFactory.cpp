#include "FormFactory.h"

#include <QMdiSubWindow>
#include <QWidget>

#include "Anagrafiche.h"
#include "Connetti.h"
#include "Registra.h"
#include "SK_SBOP.h"
#include "SK_SMAT.h"
#include "SK_SRIU.h"
#include "SK_STIP.h"
#include "SezAnag.h"
#include "importAnag.h"
#include "infoForm.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"

// Each form joins here as it is written: a code whose form the program
// does not have yet opens nothing.
namespace FormFactory {

namespace {
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
        frame->adjustSize();
        modFunz::centerForm(sheet);
        return sheet;
    }
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

bool execDialog(int formCode)
{
    switch (formCode) {
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
