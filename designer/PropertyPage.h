#pragma once

#include <QList>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <functional>

class QLabel;

// A design-time property page of one of the program's controls: a plain
// widget that shows the settings of the first selected control and, on
// Apply, writes them to the selected controls. The host decides how a write
// reaches a control: the form designer records it in the form's file, a
// test lets the control's own property setter run.
class PropertyPage : public QWidget
{
    Q_OBJECT

public:
    using Writer = std::function<void(QWidget *control, const char *key, const QVariant &value)>;

    explicit PropertyPage(QWidget *parent = nullptr);

    // The caption of the page's tab.
    virtual QString caption() const = 0;
    // Whether the page edits this kind of control.
    virtual bool serves(const QWidget *control) const = 0;

    // Keeps the controls the page serves, in their order, and fills the
    // page from the first of them; the page is then unchanged.
    void selectionChanged(const QList<QWidget *> &controls);
    // Writes the page's settings to the selected controls; the page is
    // then unchanged.
    void applyChanges();
    bool isChanged() const { return m_changed; }
    QList<QWidget *> selection() const;

    // Without a writer a write is the control's own property setter.
    void setWriter(Writer writer) { m_writer = std::move(writer); }

Q_SIGNALS:
    // The user edited the page: its settings differ from what it showed.
    void changed();
    // The page changed the control in a way no single property write
    // covers (a grid's columns inserted, deleted or rewritten).
    void structureChanged(QWidget *control);

protected:
    virtual void fill(QWidget *first) = 0;
    virtual void apply(const QList<QWidget *> &controls) = 0;

    void write(QWidget *control, const char *key, const QVariant &value);
    // A caption beside buddy, in the same frame.
    static QLabel *labelFor(const QString &text, QWidget *buddy);
    // Edit handlers call this; writes of the page's own filling do not count.
    void markChanged();
    // Runs fillFields as the page's own filling and leaves the page unchanged.
    void refill(const std::function<void()> &fillFields);

private:
    QList<QPointer<QWidget>> m_selection;
    Writer m_writer;
    bool m_changed = false;
    bool m_filling = false;
};
