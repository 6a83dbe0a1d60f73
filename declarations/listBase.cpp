#include "listBase.h"

#include <QHeaderView>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>

#include "ScreenMetrics.h"
#include "fndBar.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxLabel.h"
#include "tbButton.h"
#include "ui_listBase.h"

struct listBase::Ui : public ::Ui::listBase
{
};

namespace {
constexpr int KeyRole = Qt::UserRole;
constexpr int TagRole = Qt::UserRole + 1;
constexpr int Margin = 4;

int pixelsX(int twips)
{
    return qRound(twips / ScreenMetrics::twipsPerPixelX());
}

int pixelsY(int twips)
{
    return qRound(twips / ScreenMetrics::twipsPerPixelY());
}
}

listBase::listBase(QWidget *parent, QString *storedSearch, int searchColumn, bool timerAlways)
    : QDialog(parent), ui(std::make_unique<Ui>()), m_storedSearch(storedSearch),
      m_searchColumn(searchColumn), m_timerAlways(timerAlways)
{
    ui->setupUi(this);
    sll = ui->sll;
    Label1 = ui->Label1;
    fb = ui->fb;
    tbb = {ui->tbb_0, ui->tbb_1};
    lv = ui->lv;
    Timer1 = new QTimer(this);
    Timer1->setInterval(200);

    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSize(8);
    setFont(verdana);
    lv->header()->setStretchLastSection(false);
    lv->header()->setSectionsMovable(false);

    for (int i = 0; i < tbb.size(); ++i)
        connect(tbb[i], &tbButton::Click, this, [this, i] { tbb_Click(i); });
    connect(fb, &fndBar::Click, this, [this](int Modo) { fb->findListView(lv, m_searchColumn, Modo); });
    connect(lv, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_timerAlways || tbb[0]->Enabled())
            Timer1->start();
    });
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        choose();
    });
    closeOnEsc(this, [this] { unload(); });

    if (m_storedSearch)
        fb->setText(*m_storedSearch);
    if (mainForm *main = modMain::gMain) {
        tbb[0]->setPicture(main->img16(9));
        tbb[1]->setPicture(main->img16(2));
    }
}

listBase::~listBase()
{
    qDeleteAll(m_pending);
    if (m_storedSearch)
        *m_storedSearch = fb->Text();
}

void listBase::setClientSize(int widthTwips, int heightTwips, bool fixed)
{
    const QSize size(pixelsX(widthTwips), pixelsY(heightTwips));
    if (fixed)
        setFixedSize(size);
    else
        resize(size);
    layoutAll();
}

void listBase::setColumns(const QVector<Colonna> &columns, int frontColumn)
{
    QStringList captions;
    for (const Colonna &c : columns)
        captions << c.caption;
    lv->setColumnCount(int(columns.size()));
    lv->setHeaderLabels(captions);
    m_align.clear();
    for (int i = 0; i < columns.size(); ++i) {
        const Qt::Alignment align = columns[i].align | Qt::AlignVCenter;
        m_align << align;
        lv->headerItem()->setTextAlignment(i, align);
        if (columns[i].twips > 0)
            lv->setColumnWidth(i, pixelsX(columns[i].twips));
    }
    if (frontColumn > 0)
        lv->header()->moveSection(lv->header()->visualIndex(frontColumn - 1), 0);
}

QTreeWidgetItem *listBase::addLine(const QString &key, const QStringList &texts, const QString &tag)
{
    // Lines wait until the list is filled and then go in at once, in the
    // source's order: the list never sorts.
    auto *line = new QTreeWidgetItem(texts);
    m_pending.append(line);
    for (int i = 0; i < m_align.size(); ++i)
        line->setTextAlignment(i, m_align[i]);
    line->setData(0, KeyRole, key);
    if (!tag.isNull())
        line->setData(0, TagRole, tag);
    return line;
}

QString listBase::lineKey(const QTreeWidgetItem *line)
{
    return line ? line->data(0, KeyRole).toString() : QString();
}

QString listBase::lineTag(const QTreeWidgetItem *line)
{
    return line ? line->data(0, TagRole).toString() : QString();
}

void listBase::finishLoad(QTreeWidgetItem *preselected, int stretchCol, int colCount)
{
    lv->addTopLevelItems(m_pending);
    m_pending.clear();
    if (preselected) {
        lv->setCurrentItem(preselected);
        lv->scrollToItem(preselected);
    }
    modFunz::fitListColumns(lv, stretchCol, colCount);
    tbb[0]->setEnabled(lv->topLevelItemCount() > 0);
}

QTreeWidgetItem *listBase::selectedLine() const
{
    QTreeWidgetItem *line = lv->currentItem();
    return line && line->isSelected() ? line : nullptr;
}

void listBase::tbb_Click(int Index)
{
    if (Index == 0)
        choose();
    else
        unload();
}

void listBase::choose()
{
    QTreeWidgetItem *line = selectedLine();
    if (!line)
        return;
    scegli(line);
    unload();
}

void listBase::unload()
{
    Timer1->stop();
    QDialog::reject();
    // Inside the main window the frame goes with the list.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

void listBase::reject()
{
    unload();
}

void listBase::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutAll();
}

void listBase::layoutAll()
{
    layoutBand(width(), sll, tbb[0], Label1, fb, tbb[1]);
    lv->setGeometry(0, sll->height(), width(), qMax(0, height() - sll->height()));
}

void listBase::layoutBand(int w, slxLabel *band, tbButton *left, QLabel *caption, fndBar *finder,
                          tbButton *right)
{
    band->setGeometry(0, band->y(), w, band->height());
    right->move(w - right->width() - left->x(), right->y());
    int x = left->geometry().right() + 1 + 2 * Margin;
    if (caption && !caption->isHidden()) {
        const int textWidth = caption->fontMetrics().horizontalAdvance(caption->text()) + Margin;
        caption->setGeometry(x, caption->y(), textWidth, caption->height());
        x += textWidth + Margin;
    }
    finder->setGeometry(x, finder->y(), qMax(80, right->x() - 2 * Margin - x), finder->height());
}

void listBase::closeOnEsc(QWidget *window, const std::function<void()> &unload)
{
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(esc, &QShortcut::activated, window, unload);
}
