#include "expList.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include "ChildPlacement.h"
#include "Pictures.h"
#include "Statement.h"
#include "dbClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxLabel.h"

using modMain::gDb;

expList::expList(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Lista delle esportazioni effettuate"));
    setWindowIcon(Pictures::buttonIcon(20, 32));
    sll = new slxLabel(this);
    sll->setCaption(QStringLiteral("Esportazioni effettuate, dalla più recente"));
    sll->setAlignment(2);
    sll->setForeColor(16777215);
    sll->setBackColor(11562027);
    sll->setAppearance(5);
    lv = new QTreeWidget(this);
    lv->setRootIsDecorated(false);
    lv->setAlternatingRowColors(true);
    lv->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lv->setSelectionMode(QAbstractItemView::SingleSelection);
    lv->setHeaderLabels({QStringLiteral("N."), QStringLiteral("Data e ora"), QStringLiteral("File"),
                         QStringLiteral("C.C.I.A.A."), QStringLiteral("Dichiarazioni")});
    lv->header()->setStretchLastSection(false);
    lv->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    slb = new slxButton(this);
    slb->setCaption(QStringLiteral("Chiudi"));
    if (mainForm *main = modMain::gMain)
        slb->setPicture(main->img16(2));
    connect(slb, &slxButton::Click, this, &expList::chiudi);
    modMain::currentForm = 8;
    modMain::formLoaded(this);
    caricaLista();
}

expList::~expList()
{
    modMain::formUnloaded(this);
}

expList *expList::showInMain()
{
    mainForm *main = modMain::gMain;
    if (!main)
        return nullptr;
    auto *list = new expList;
    QMdiSubWindow *frame = main->showChild(list);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setGeometry(main->mdiArea()->viewport()->rect());
    return list;
}

void expList::caricaLista()
{
    lv->clear();
    if (!gDb || !gDb->kezDbOpened())
        return;
    Statement s(gDb->kezCnn, QStringLiteral("SELECT e.expID, e.expData, e.expFile, c.prvDesc, e.expNum "
                                            "FROM expTab e LEFT JOIN Province c ON c.prvIstat = e.expCCIAA "
                                            "ORDER BY e.expData DESC, e.expID DESC"));
    for (s.exec(); s.hasRow(); s.next()) {
        const QDateTime when = QDateTime::fromString(s.text(1).left(19), Qt::ISODate);
        auto *item = new QTreeWidgetItem(lv);
        item->setText(0, QString::number(s.integer(0)));
        item->setText(1, when.isValid() ? when.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : s.text(1));
        item->setText(2, QFileInfo(s.text(2)).fileName());
        item->setToolTip(2, s.text(2));
        item->setText(3, s.text(3));
        item->setText(4, QString::number(s.integer(4)));
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    }
    // A history that could not be read is not an empty one.
    if (!s.isValid() || !s.error().isEmpty()) {
        lv->clear();
        modFunz::showError(QStringLiteral("Esportazioni effettuate"));
        return;
    }
    for (int c : {0, 1, 3, 4}) {
        lv->resizeColumnToContents(c);
        lv->setColumnWidth(c, lv->columnWidth(c) + 16);
    }
    if (lv->topLevelItemCount() == 0) {
        auto *item = new QTreeWidgetItem(lv);
        item->setText(2, QStringLiteral("Nessuna esportazione effettuata."));
        item->setFlags(Qt::NoItemFlags);
    }
}

void expList::chiudi()
{
    // The frame closes the list with it; the list closing alone would
    // leave its empty frame in the main window.
    ChildPlacement::windowOf(this)->close();
}

void expList::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int m = 12;
    sll->setGeometry(m, m, width() - 2 * m, 32);
    slb->setGeometry(width() - m - 110, height() - m - 34, 110, 34);
    lv->setGeometry(m, 52, width() - 2 * m, height() - 52 - 34 - 2 * m);
}

void expList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        chiudi();
        return;
    }
    QWidget::keyPressEvent(event);
}

void expList::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        modMain::showLogo();
}
