#include "PropertyPageDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "slxGridCol.h"
#include "slxTextChars.h"
#include "slxTextData.h"

PropertyPageDialog::PropertyPageDialog(QWidget *parent)
    : QDialog(parent),
      m_tabs(new QTabWidget(this)),
      m_buttons(new QDialogButtonBox(
          QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this))
{
    setWindowTitle(QStringLiteral("Pagine delle proprietà"));
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    applyButton()->setText(QStringLiteral("&Applica"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        applyChanges();
        accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(applyButton(), &QPushButton::clicked, this, &PropertyPageDialog::applyChanges);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    updateApply();
}

QList<PropertyPage *> PropertyPageDialog::pagesFor(const QWidget *control)
{
    QList<PropertyPage *> pages;
    const QList<PropertyPage *> candidates = {new slxTextChars, new slxTextData,
                                                new slxGridCol};
    for (PropertyPage *page : candidates) {
        if (page->serves(control))
            pages.append(page);
        else
            delete page;
    }
    return pages;
}

bool PropertyPageDialog::hasPages(const QWidget *control)
{
    const QList<PropertyPage *> pages = pagesFor(control);
    qDeleteAll(pages);
    return !pages.isEmpty();
}

void PropertyPageDialog::addPage(PropertyPage *page)
{
    m_pages.append(page);
    m_tabs->addTab(page, page->caption());
    connect(page, &PropertyPage::changed, this, &PropertyPageDialog::updateApply);
    connect(page, &PropertyPage::structureChanged, this, &PropertyPageDialog::structureChanged);
}

void PropertyPageDialog::selectionChanged(const QList<QWidget *> &controls)
{
    for (PropertyPage *page : qAsConst(m_pages))
        page->selectionChanged(controls);
    updateApply();
}

void PropertyPageDialog::setWriter(const PropertyPage::Writer &writer)
{
    for (PropertyPage *page : qAsConst(m_pages))
        page->setWriter(writer);
}

QPushButton *PropertyPageDialog::applyButton() const
{
    return m_buttons->button(QDialogButtonBox::Apply);
}

void PropertyPageDialog::applyChanges()
{
    emit aboutToApply();
    for (PropertyPage *page : qAsConst(m_pages)) {
        if (page->isChanged())
            page->applyChanges();
    }
    emit applied();
    updateApply();
}

void PropertyPageDialog::updateApply()
{
    bool changed = false;
    for (const PropertyPage *page : qAsConst(m_pages))
        changed = changed || page->isChanged();
    applyButton()->setEnabled(changed);
}
