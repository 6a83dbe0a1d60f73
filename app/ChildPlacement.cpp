#include "ChildPlacement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "SheetFrame.h"
#include "mainForm.h"
#include "modMain.h"

namespace ChildPlacement {

QWidget *formBeneath(QWidget *child)
{
    return SheetFrame::formLoadedBefore(child);
}

QMdiSubWindow *showBelow(QWidget *child, QWidget *above)
{
    if (!child)
        return nullptr;
    if (!modMain::gMain) {
        child->show();
        return nullptr;
    }
    QMdiSubWindow *frame = modMain::gMain->mdiArea()->addSubWindow(child);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(child->windowIcon());
    SheetFrame::placeBelow(child, above);
    frame->show();
    child->show();
    modMain::gMain->mdiArea()->setActiveSubWindow(frame);
    return frame;
}

void childUnloaded(QWidget *child, QWidget *beneath)
{
    modMain::formUnloaded(child);
    if (beneath)
        beneath->setEnabled(true);
}

} // namespace ChildPlacement
