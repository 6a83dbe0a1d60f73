#include "rifTree.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTreeWidget>

#include "ChildPlacement.h"
#include "dbClass.h"
#include "fndBar.h"
#include "listBase.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxLabel.h"
#include "slxText.h"
#include "tbButton.h"
#include "ui_rifTree.h"

using modFunz::nzStr;
using modMain::gDb;
using modMain::gModal;

struct rifTree::Ui : public ::Ui::rifTree
{
};

namespace {
constexpr int CodeRole = Qt::UserRole;
constexpr int DescRole = Qt::UserRole + 1;
constexpr int HazardRole = Qt::UserRole + 2;

QIcon icon(int normal, int selected = 0)
{
    QIcon result(rifTree::immagine(normal));
    if (selected)
        result.addPixmap(rifTree::immagine(selected), QIcon::Selected);
    return result;
}
}

rifTree::rifTree(QWidget *formBeneath) : ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    sllTool = ui->sllTool;
    fb = ui->fb;
    tbb = {ui->tbb_0, ui->tbb_1};
    tv = ui->tv;
    Frame1 = ui->Frame1;
    slt = {ui->slt_0, ui->slt_1};
    labPer = ui->labPer;

    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSize(8);
    setFont(verdana);
    QFont bold = labPer->font();
    bold.setBold(true);
    labPer->setFont(bold);
    QPalette red = labPer->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    labPer->setPalette(red);
    setWindowIcon(immagine(5));

    for (int i = 0; i < tbb.size(); ++i)
        connect(tbb[i], &tbButton::Click, this, [this, i] { tbb_Click(i); });
    connect(tv, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *node) { tv_NodeClick(node); });
    connect(tv, &QTreeWidget::itemDoubleClicked, this, [this] { seleziona(); });
    connect(fb, &fndBar::Click, this, [this](int Modo) {
        if (fb->findTreeView(tv, Modo))
            tv_NodeClick(tv->currentItem());
    });
    tv->installEventFilter(this);
    listBase::closeOnEsc(this, [this] { close(); });

    if (gModal)
        gModal->Status = false;
    modMain::formLoaded(this);
    m_beneath = formBeneath ? formBeneath : ChildPlacement::formBeneath(this);
    if (mainForm *main = modMain::gMain) {
        tbb[0]->setPicture(main->img16(9));
        tbb[1]->setPicture(main->img16(2));
    }
}

rifTree::~rifTree()
{
    scarica();
}

void rifTree::Visualizza(const QString &pKey)
{
    codiceIniziale = pKey;
    if (!isVisible())
        ChildPlacement::showBelow(this, m_beneath);
    caricaAlbero();
}

void rifTree::caricaAlbero()
{
    modFunz::setWaitCursor(true);
    tv->clear();
    // The nodes hang under a root that joins the tree only when complete,
    // so the whole table goes in at once.
    auto *root = new QTreeWidgetItem(QStringList{QStringLiteral("Tabella rifiuti")});
    root->setIcon(0, icon(5));
    root->setForeground(0, QColor(0x00, 0x40, 0x40));
    QFont bold = tv->font();
    bold.setBold(true);
    root->setFont(0, bold);

    const QIcon chapterIcon = icon(1, 2);
    const QIcon hazardIcon = icon(3);
    const QIcon codeIcon = icon(4);
    const QBrush chapterInk(QColor(0x00, 0x00, 0x80));
    const QBrush subChapterInk(QColor(0x00, 0x00, 0x40));
    // Chapters and sub-chapters by code: a code whose own sub-chapter is
    // missing from the table hangs under its chapter, or at the root.
    QHash<QString, QTreeWidgetItem *> chapters;
    QHash<QString, QTreeWidgetItem *> subChapters;
    QTreeWidgetItem *start = nullptr;
    if (gDb && gDb->listRsOpen(QStringLiteral("SELECT RifCod, RifClass, RifDesc FROM Rifiuti ORDER BY RifCod"))) {
        for (Recordset &rs = gDb->listRs; !rs.eof(); rs.MoveNext()) {
            const QString code = nzStr(rs.value(0));
            const QString desc = nzStr(rs.value(2));
            QTreeWidgetItem *parent = root;
            QString digits;
            if (code.endsWith(QLatin1String("0000"))) {
                digits = code.left(2);
            } else {
                parent = chapters.value(code.left(2), root);
                if (code.endsWith(QLatin1String("00")))
                    digits = code.mid(2, 2);
                else {
                    parent = subChapters.value(code.left(4), parent);
                    digits = code.right(2);
                }
            }
            auto *node = new QTreeWidgetItem(parent, QStringList{digits + QStringLiteral(" - ") + desc});
            node->setData(0, CodeRole, code);
            node->setData(0, DescRole, desc);
            if (code.endsWith(QLatin1String("0000"))) {
                node->setIcon(0, chapterIcon);
                node->setForeground(0, chapterInk);
                chapters.insert(code.left(2), node);
            } else if (code.endsWith(QLatin1String("00"))) {
                node->setIcon(0, chapterIcon);
                node->setForeground(0, subChapterInk);
                subChapters.insert(code.left(4), node);
            } else {
                const bool hazardous = nzStr(rs.value(1)) == QLatin1String("P");
                node->setData(0, HazardRole, hazardous);
                node->setIcon(0, hazardous ? hazardIcon : codeIcon);
                if (code == codiceIniziale)
                    start = node;
            }
        }
    }
    if (gDb)
        gDb->listRs.close();
    tv->addTopLevelItem(root);
    root->setExpanded(true);
    QCoreApplication::processEvents();

    if (start) {
        tv->setCurrentItem(start);
        tv->scrollToItem(start);
        tv_NodeClick(start);
    } else {
        tv_NodeClick(nullptr);
    }
    modFunz::setWaitCursor(false);
}

void rifTree::tv_NodeClick(QTreeWidgetItem *node)
{
    const QString code = node ? node->data(0, CodeRole).toString() : QString();
    if (code.isEmpty()) {
        slt[0]->setValue(QVariant());
        slt[1]->setValue(QVariant());
        labPer->setVisible(false);
        tbb[0]->setEnabled(false);
        return;
    }
    slt[0]->setValue(code);
    slt[1]->setValue(node->data(0, DescRole));
    labPer->setVisible(isPericoloso(node));
    tbb[0]->setEnabled(modMain::isRifiutoSelezionabile(code, true));
}

bool rifTree::isPericoloso(const QTreeWidgetItem *node)
{
    return node && node->data(0, HazardRole).toBool();
}

void rifTree::tbb_Click(int Index)
{
    if (Index == 0)
        seleziona();
    else
        close();
}

void rifTree::seleziona()
{
    // Only a code the filter allows can be chosen; for any other node the
    // double click and Enter do nothing.
    if (!tbb[0]->Enabled())
        return;
    if (gModal)
        gModal->Status = true;
    close();
}

bool rifTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tv && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            seleziona();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void rifTree::closeEvent(QCloseEvent *event)
{
    if (gModal && gModal->Status) {
        // The code the tree opened on, chosen again, changes nothing.
        const QString code = nzStr(slt[0]->Value());
        if (code == codiceIniziale) {
            gModal->Status = false;
        } else {
            gModal->codiceRifiuto = code;
            gModal->descRifiuto = nzStr(slt[1]->Value());
            gModal->Pericoloso = labPer->isVisibleTo(this);
        }
    }
    QWidget::closeEvent(event);
    // Inside the main window the frame goes with the tree.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    scarica();
}

void rifTree::scarica()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    ChildPlacement::childUnloaded(this, m_beneath);
    emit unloaded();
}

void rifTree::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    listBase::layoutBand(w, sllTool, tbb[0], nullptr, fb, tbb[1]);
    Frame1->setGeometry(0, height() - Frame1->height(), w, Frame1->height());
    slt[1]->setGeometry(slt[1]->x(), slt[1]->y(), w - 2 * slt[1]->x(), slt[1]->height());
    tv->setGeometry(0, sllTool->height(), w, qMax(0, Frame1->y() - sllTool->height()));
}

QPixmap rifTree::immagine(int index)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x33, 0x3a, 0x44);
    switch (index) {
    case 1:
    case 2: {
        // A folder, open when its chapter is selected.
        p.setPen(QPen(QColor(0xa0, 0x74, 0x12), 1));
        p.setBrush(QColor(0xf0, 0xc0, 0x4c));
        p.drawPolygon(QPolygonF() << QPointF(1.5, 3.5) << QPointF(6, 3.5) << QPointF(7.5, 5)
                                  << QPointF(14.5, 5) << QPointF(14.5, 13.5) << QPointF(1.5, 13.5));
        if (index == 2) {
            p.setBrush(QColor(0xf8, 0xd7, 0x7a));
            p.drawPolygon(QPolygonF() << QPointF(1.5, 13.5) << QPointF(4, 7.5) << QPointF(15.5, 7.5)
                                      << QPointF(14.5, 13.5));
        }
        break;
    }
    case 3:
    case 4: {
        // A sheet of paper; a hazardous code carries a red warning sign.
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xfb, 0xfb, 0xf8));
        p.drawRect(QRectF(2.5, 1.5, 9, 13));
        p.setPen(QPen(QColor(0x90, 0x9a, 0xa6), 1));
        for (qreal y = 4.5; y < 13; y += 2.5)
            p.drawLine(QPointF(4.5, y), QPointF(9.5, y));
        if (index == 3) {
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(QColor(0xc6, 0x28, 0x28));
            p.drawPolygon(QPolygonF() << QPointF(11.5, 6) << QPointF(16, 15.5) << QPointF(7, 15.5));
            p.drawLine(QPointF(11.5, 9), QPointF(11.5, 12.5));
        }
        break;
    }
    default: {
        // The whole table: a grid.
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xdd, 0xee, 0xfb));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.drawLine(QPointF(1.5, 6), QPointF(14.5, 6));
        p.drawLine(QPointF(1.5, 9.5), QPointF(14.5, 9.5));
        p.drawLine(QPointF(6, 2.5), QPointF(6, 13.5));
        break;
    }
    }
    return picture;
}
