#include "PropertyPage.h"

#include <QLabel>

PropertyPage::PropertyPage(QWidget *parent)
    : QWidget(parent)
{
}

void PropertyPage::selectionChanged(const QList<QWidget *> &controls)
{
    m_selection.clear();
    for (QWidget *control : controls) {
        if (control && serves(control))
            m_selection.append(control);
    }
    const QList<QWidget *> selected = selection();
    refill([this, &selected] {
        if (!selected.isEmpty())
            fill(selected.first());
    });
    setEnabled(!selected.isEmpty());
}

void PropertyPage::applyChanges()
{
    const QList<QWidget *> selected = selection();
    if (!selected.isEmpty())
        apply(selected);
    m_changed = false;
}

QList<QWidget *> PropertyPage::selection() const
{
    QList<QWidget *> controls;
    for (const QPointer<QWidget> &control : m_selection) {
        if (control)
            controls.append(control);
    }
    return controls;
}

void PropertyPage::write(QWidget *control, const char *key, const QVariant &value)
{
    if (m_writer)
        m_writer(control, key, value);
    else
        control->setProperty(key, value);
}

void PropertyPage::markChanged()
{
    if (m_filling)
        return;
    m_changed = true;
    emit changed();
}

void PropertyPage::refill(const std::function<void()> &fillFields)
{
    m_filling = true;
    fillFields();
    m_filling = false;
    m_changed = false;
}

QLabel *PropertyPage::labelFor(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}
