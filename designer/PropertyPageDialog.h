#pragma once

#include <QDialog>
#include <QList>

#include "PropertyPage.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

// The window that shows a control's property pages, one tab each, with
// OK, Annulla and Applica. Applica is enabled while a page holds edits
// not yet applied; OK applies them and closes.
class PropertyPageDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PropertyPageDialog(QWidget *parent = nullptr);

    // The pages of a control of this class (none for a control without
    // pages): "Caratteri" and "Dati" for the text field, "Colonne" for the grid.
    static QList<PropertyPage *> pagesFor(const QWidget *control);

    // Takes the page (the dialog owns it).
    void addPage(PropertyPage *page);
    QList<PropertyPage *> pages() const { return m_pages; }
    void selectionChanged(const QList<QWidget *> &controls);
    void setWriter(const PropertyPage::Writer &writer);

    QTabWidget *tabs() const { return m_tabs; }
    QPushButton *applyButton() const;

    // Applies every page that holds edits.
    void applyChanges();

    // Whether a control of this class has pages.
    static bool hasPages(const QWidget *control);

Q_SIGNALS:
    // Around the writes of one Apply, so a host can make them one step.
    void aboutToApply();
    void applied();
    void structureChanged(QWidget *control);

private:
    void updateApply();

    QTabWidget *m_tabs;
    QDialogButtonBox *m_buttons;
    QList<PropertyPage *> m_pages;
};
