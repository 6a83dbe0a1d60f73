#include "kezTaskMenu.h"

#include <QAction>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include "PropertyPageDialog.h"
#include "kezFormSync.h"

kezTaskMenu::kezTaskMenu(QWidget *control, QObject *parent)
    : QObject(parent),
      m_control(control),
      m_action(new QAction(QStringLiteral("Pagine delle proprietà..."), this))
{
    connect(m_action, &QAction::triggered, this, &kezTaskMenu::showPages);
}

QAction *kezTaskMenu::preferredEditAction() const
{
    return m_action;
}

QList<QAction *> kezTaskMenu::taskActions() const
{
    return {m_action};
}

void kezTaskMenu::showPages()
{
    if (!m_control)
        return;
    QDesignerFormWindowInterface *form = QDesignerFormWindowInterface::findFormWindow(m_control);
    PropertyPageDialog dialog(form ? form->window() : nullptr);
    dialog.setWindowTitle(QStringLiteral("Proprietà di %1").arg(m_control->objectName()));
    for (PropertyPage *page : PropertyPageDialog::pagesFor(m_control))
        dialog.addPage(page);

    // The control asked for comes first; the other selected controls of
    // its kind follow.
    QList<QWidget *> controls = {m_control};
    if (form) {
        QDesignerFormWindowCursorInterface *cursor = form->cursor();
        for (int i = 0; i < cursor->selectedWidgetCount(); ++i) {
            QWidget *selected = cursor->selectedWidget(i);
            if (selected != m_control
                && selected->metaObject()->className() == m_control->metaObject()->className())
                controls.append(selected);
        }
        kezFormSync::attach(form, &dialog);
    }
    dialog.selectionChanged(controls);
    dialog.exec();
}
