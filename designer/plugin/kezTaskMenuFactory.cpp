#include "kezTaskMenuFactory.h"

#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>

#include "PropertyPageDialog.h"
#include "kezTaskMenu.h"

namespace {
const char registeredKey[] = "kezTaskMenuRegistered";
}

kezTaskMenuFactory::kezTaskMenuFactory(QExtensionManager *parent)
    : QExtensionFactory(parent)
{
}

void kezTaskMenuFactory::registerWith(QExtensionManager *manager)
{
    if (!manager || manager->property(registeredKey).toBool())
        return;
    manager->setProperty(registeredKey, true);
    manager->registerExtensions(new kezTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
}

QObject *kezTaskMenuFactory::createExtension(QObject *object, const QString &iid,
                                             QObject *parent) const
{
    if (iid != QLatin1String(Q_TYPEID(QDesignerTaskMenuExtension)))
        return nullptr;
    auto *control = qobject_cast<QWidget *>(object);
    if (!control || !PropertyPageDialog::hasPages(control))
        return nullptr;
    return new kezTaskMenu(control, parent);
}
