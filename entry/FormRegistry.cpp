#include "FormRegistry.h"

#include "Anagrafiche.h"
#include "Connetti.h"
#include "FormFactory.h"
#include "Importa.h"
#include "ModDR_CONS.h"
#include "ModRT.h"
#include "Registra.h"
#include "SA2.h"
#include "SK_CONS.h"
#include "SK_SBOP.h"
#include "SK_SMAT.h"
#include "SK_SRIU.h"
#include "SK_STIP.h"
#include "SezAnag.h"
#include "Verifica.h"
#include "expForm.h"
#include "expList.h"
#include "importAnag.h"
#include "infoForm.h"
#include "listAtt.h"
#include "listDic.h"
#include "listMod.h"
#include "listRegCE.h"
#include "listRif.h"
#include "prnDich.h"
#include "prnList.h"
#include "rifTree.h"

namespace FormRegistry {

void registerAll()
{
    using namespace FormFactory;

    registerChild(SezAnagForm, [] { return showCentred(new SezAnag); });
    registerChild(SK_CONSForm, &showSheet<SK_CONS>);
    registerChild(SbopForm, &showSheet<SK_SBOP>);
    registerChild(SmatForm, &showSheet<SK_SMAT>);
    registerChild(SriuForm, &showSheet<SK_SRIU>);
    registerChild(StipForm, &showSheet<SK_STIP>);
    registerChild(ExportHistoryForm, []() -> QWidget * { return expList::showInMain(); });

    registerModule(SK_CONS::ModuliUO, &showSheet<ModRT>);
    registerModule(SK_CONS::ModuliDR, &showSheet<ModDR_CONS>);
    registerRifTree([](const QString &codice) -> QWidget * {
        auto *tree = new rifTree;
        tree->Visualizza(codice);
        return tree;
    });
    registerListRif([](const QString &caption, int key, const QString &sql,
                       const QVariantList &params) -> QWidget * {
        auto *list = new listRif;
        list->Visualizza(caption, key, sql, params);
        return list;
    });

    registerDialog(VerificaDialog, &runDialog<Verifica>);
    registerDialog(ConnettiDialog, &runDialog<Connetti>);
    registerDialog(RegistraDialog, &runDialog<Registra>);
    registerDialog(ExportDialog, &runDialog<expForm>);
    registerDialog(ImportDialog, &runDialog<Importa>);
    registerDialog(ImportAnagDialog, &runDialog<importAnag>);
    registerDialog(PrintDeclarationDialog, &runDialog<prnDich>);
    registerDialog(PrintListDialog, &runDialog<prnList>);
    registerDialog(FormFactory::Anagrafiche, &runDialog<::Anagrafiche>);
    registerDialog(FormFactory::listDic, &runDialog<::listDic>);
    registerDialog(FormFactory::listMod, &runDialog<::listMod>);
    registerDialog(FormFactory::listRegCE, &runDialog<::listRegCE>);
    registerDialog(FormFactory::listAtt, &runDialog<::listAtt>);
    registerDialog(FormFactory::SA2, &runDialog<::SA2>);
    registerDialog(AboutDialog, &runDialog<infoForm>);
}

} // namespace FormRegistry
