#pragma once

#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

// One of the program's controls in Qt Designer's widget box: how to make
// one, and the values a control placed new on a form starts with.
class kezWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    // makeNew builds a control as placed new on a form named instanceName.
    kezWidgetPlugin(const QString &className, const QString &instanceName,
                    const QString &toolTip, Factory make, Factory makeNew,
                    QObject *parent = nullptr);

    QString name() const override { return m_className; }
    QString group() const override;
    QString toolTip() const override { return m_toolTip; }
    QString whatsThis() const override { return m_toolTip; }
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override { return m_initialized; }
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    QString m_className;
    QString m_instanceName;
    QString m_toolTip;
    Factory m_make;
    Factory m_makeNew;
    bool m_initialized = false;
};
