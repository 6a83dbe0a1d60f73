#pragma once

#include <QtDesigner/QExtensionFactory>

// Gives every control of the program that has property pages a task-menu
// entry in Qt Designer that opens them.
class kezTaskMenuFactory : public QExtensionFactory
{
    Q_OBJECT

public:
    explicit kezTaskMenuFactory(QExtensionManager *parent);

    // Once per designer, however many controls ask.
    static void registerWith(QExtensionManager *manager);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;
};
