#include "kezFormSync.h"

#include <QPointer>
#include <QtDesigner/QDesignerDynamicPropertySheetExtension>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>

#include "GridColumnKeys.h"
#include "PropertyPageDialog.h"
#include "slxGrid.h"

namespace kezFormSync {

void storeColumns(QDesignerFormWindowInterface *form, slxGrid *grid)
{
    QExtensionManager *manager = form->core()->extensionManager();
    auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(manager, grid);
    auto *dynamic = qt_extension<QDesignerDynamicPropertySheetExtension *>(manager, grid);
    if (!sheet || !dynamic)
        return;
    const PropertyBag keys = GridColumnKeys::of(grid);
    // Keys of columns deleted, or back at their defaults, leave the form.
    for (const QByteArray &name : grid->dynamicPropertyNames()) {
        if (!GridColumnKeys::isColumnKey(name) || keys.contains(QString::fromLatin1(name)))
            continue;
        const int index = sheet->indexOf(QString::fromLatin1(name));
        if (index >= 0 && dynamic->isDynamicProperty(index))
            dynamic->removeDynamicProperty(index);
        // The sheet only hides a key it removes: the grid must lose it too,
        // or it would count the column again when it reads its columns.
        grid->setProperty(name.constData(), QVariant());
    }
    for (const QString &key : keys.keys()) {
        const QVariant value = keys.ReadProperty(key);
        const int index = sheet->indexOf(key);
        // A key removed earlier keeps a hidden place in the sheet: it is
        // added again, and takes its value through the form.
        if (index < 0 || dynamic->canAddDynamicProperty(key))
            dynamic->addDynamicProperty(key, value);
        if (grid->property(key.toLatin1().constData()) != value)
            form->cursor()->setWidgetProperty(grid, key, value);
    }
    form->setDirty(true);
}

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
    QObject::connect(dialog, &PropertyPageDialog::structureChanged, form, [window](QWidget *control) {
        auto *grid = qobject_cast<slxGrid *>(control);
        if (window && grid)
            storeColumns(window, grid);
    });
}
}
