#pragma once

#include <QPointer>
#include <QtDesigner/QDesignerTaskMenuExtension>

class QAction;
class QWidget;

// The "Pagine delle proprietà..." entry of a control's context menu in Qt
// Designer: opens the control's pages on the selected controls of its
// kind and writes through the form window, so the change is recorded in
// the form's file and can be undone.
class kezTaskMenu : public QObject, public QDesignerTaskMenuExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    kezTaskMenu(QWidget *control, QObject *parent);

    QAction *preferredEditAction() const override;
    QList<QAction *> taskActions() const override;

private:
    void showPages();

    QPointer<QWidget> m_control;
    QAction *m_action;
};
