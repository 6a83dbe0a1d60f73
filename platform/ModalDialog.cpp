#include "ModalDialog.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace ModalDialog {

int exec(QDialog &dialog)
{
    QPointer<QWidget> window = QApplication::activeWindow();
    if (!window && dialog.parentWidget())
        window = dialog.parentWidget()->window();
    const int result = dialog.exec();
    if (window && window->isVisible() && !window->isActiveWindow())
        window->activateWindow();
    return result;
}

} // namespace ModalDialog
