#include "kezFormSync.h"

#include <QPointer>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include "PropertyPageDialog.h"

namespace kezFormSync {

void attach(QDesignerFormWindowInterface *form, PropertyPageDialog *dialog)
{
    QPointer<QDesignerFormWindowInterface> window(form);
    dialog->setWriter([window](QWidget *control, const char *key, const QVariant &value) {
        if (!window)
            return;
        // A value the control already has is not written: the form's file
        // keeps only what the author changed.
        if (control->property(key) == value)
            return;
        window->cursor()->setWidgetProperty(control, QString::fromLatin1(key), value);
    });
    QObject::connect(dialog, &PropertyPageDialog::aboutToApply, form, [window] {
        if (window)
            window->beginCommand(QStringLiteral("Pagine delle proprietà"));
    });
    QObject::connect(dialog, &PropertyPageDialog::applied, form, [window] {
        if (window)
            window->endCommand();
    });
}
}
