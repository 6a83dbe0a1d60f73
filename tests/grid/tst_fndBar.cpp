#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "PropertyBag.h"
#include "TestSupport.h"
#include "fndBar.h"
#include "slxText.h"
#include "tbButton.h"

namespace {

// A pick list of companies: code in the row's own text, name in column 1.
QTreeWidget *companies(QWidget *parent, const QStringList &names)
{
    auto *lv = new QTreeWidget(parent);
    lv->setColumnCount(2);
    lv->setHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Ragione sociale")});
    lv->setRootIsDecorated(false);
    for (int i = 0; i < names.size(); ++i)
        new QTreeWidgetItem(lv, {QStringLiteral("K%1").arg(i + 1), names.at(i)});
    lv->setCurrentItem(lv->topLevelItem(0));
    return lv;
}

int current(QTreeWidget *lv)
{
    return lv->indexOfTopLevelItem(lv->currentItem()) + 1;
}

} // namespace

// Finding a row of a list or a node of a tree, forwards and backwards.
class tst_fndBar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aListOfOneFindsNothing()
    {
        QWidget form;
        fndBar fb(&form);
        QTreeWidget *lv = companies(&form, {QStringLiteral("Cartiera Rossi")});
        for (const QString &text : {QString(), QStringLiteral("rossi")}) {
            fb.setText(text);
            for (int mode = 0; mode < 4; ++mode)
                QVERIFY(!fb.findListView(lv, 1, mode));
        }
    }

    void plainNavigation()
    {
        QWidget form;
        fndBar fb(&form);
        QTreeWidget *lv = companies(&form, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                            QStringLiteral("D")});
        QVERIFY(!fb.findListView(lv, 1, 0));
        QVERIFY(!fb.findListView(lv, 1, 1));
        QVERIFY(fb.findListView(lv, 1, 2));
        QCOMPARE(current(lv), 2);
        QVERIFY(fb.findListView(lv, 1, 3));
        QCOMPARE(current(lv), 4);
        QVERIFY(!fb.findListView(lv, 1, 2));
        QVERIFY(fb.findListView(lv, 1, 0));
        QCOMPARE(current(lv), 1);
    }

    void searchWithoutWrapping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "carta";
        QTest::newRow("blanks around") << "  carta  ";
    }

    void searchWithoutWrapping()
    {
        QFETCH(QString, text);
        QWidget form;
        auto *layout = new QVBoxLayout(&form);
        QTreeWidget *lv = companies(&form, {QStringLiteral("Vetreria Blu"), QStringLiteral("CARTA E CARTONI SRL"),
                                            QStringLiteral("Plastica Nord"), QStringLiteral("Legno Sud"),
                                            QStringLiteral("Riciclo CARTA spa"), QStringLiteral("Acciaio")});
        auto *fb = new fndBar(&form);
        layout->addWidget(lv);
        layout->addWidget(fb);
        form.resize(420, 260);
        form.show();
        QList<int> clicks;
        connect(fb, &fndBar::Click, this, [&](int Modo) {
            clicks << Modo;
            fb->findListView(lv, 1, Modo);
        });
        fb->setText(text);
        const auto press = [fb](int i) { QTest::mouseClick(fb->button(i), Qt::LeftButton, {},
                                                            fb->button(i)->rect().center()); };
        press(0);
        QCOMPARE(current(lv), 2);
        press(2);
        QCOMPARE(current(lv), 5);
        press(2);
        QCOMPARE(current(lv), 5);
        QVERIFY(!fb->findListView(lv, 1, 2));
        press(3);
        QCOMPARE(current(lv), 5);
        press(1);
        QCOMPARE(current(lv), 2);
        QVERIFY(!fb->findListView(lv, 1, 1));
        QCOMPARE(clicks, QList<int>({0, 2, 2, 3, 1}));
        TestSupport::grab(&form, QStringLiteral("findbar-list"));
        // Column 0 is the row's own text, the code.
        fb->setText(QStringLiteral("k6"));
        QVERIFY(fb->findListView(lv, 0, 0));
        QCOMPARE(current(lv), 6);
    }

    // A pick list opened without a preselection, the waste-code tree before
    // a node is chosen, and a list that its focus made current at line 1
    // without selecting it: "first" with no text selects the first line.
    void firstWhenNothingIsCurrent_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<bool>("focusedOnly");
        QTest::newRow("list, nothing current") << false << false;
        QTest::newRow("list, first line current but not selected") << false << true;
        QTest::newRow("tree, nothing current") << true << false;
    }

    void firstWhenNothingIsCurrent()
    {
        QFETCH(bool, tree);
        QFETCH(bool, focusedOnly);
        QWidget form;
        fndBar fb(&form);
        QTreeWidget *view = companies(&form, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        if (tree)
            new QTreeWidgetItem(view->topLevelItem(0), {QStringLiteral("A1")});
        view->clearSelection();
        if (focusedOnly)
            view->setCurrentItem(view->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
        else
            view->setCurrentItem(nullptr);
        QVERIFY(tree ? fb.findTreeView(view, 0) : fb.findListView(view, 1, 0));
        QCOMPARE(view->currentItem(), view->topLevelItem(0));
        QVERIFY(view->currentItem()->isSelected());
        // Once it is the selected line, "first" has nowhere to go.
        QVERIFY(!(tree ? fb.findTreeView(view, 0) : fb.findListView(view, 1, 0)));
    }

    void treeInTheOrderOfAddition()
    {
        QWidget form;
        fndBar fb(&form);
        auto *tv = new QTreeWidget(&form);
        fndBar::watchTree(tv);
        auto *paper = new QTreeWidgetItem(tv, {QStringLiteral("15 Imballaggi")});
        auto *glass = new QTreeWidgetItem({QStringLiteral("02 Rifiuti agricoli")});
        tv->insertTopLevelItem(0, glass);
        auto *card = new QTreeWidgetItem(paper, {QStringLiteral("150101 carta e cartone")});
        auto *straw = new QTreeWidgetItem(glass, {QStringLiteral("020104 carta agricola")});
        tv->setCurrentItem(paper);
        fb.setText(QStringLiteral("CARTA"));
        // On screen the agricultural node comes first; it was added last.
        QVERIFY(fb.findTreeView(tv, 0));
        QCOMPARE(tv->currentItem(), card);
        QVERIFY(paper->isExpanded());
        QVERIFY(fb.findTreeView(tv, 2));
        QCOMPARE(tv->currentItem(), straw);
        QVERIFY(glass->isExpanded());
        QVERIFY(!fb.findTreeView(tv, 2));
        QVERIFY(fb.findTreeView(tv, 1));
        QCOMPARE(tv->currentItem(), card);
        fb.setText(QString());
        QVERIFY(fb.findTreeView(tv, 3));
        QCOMPARE(tv->currentItem(), straw);
    }

    void bordersAndSize()
    {
        fndBar fb;
        fb.show();
        fb.setAppearance(12);
        QCOMPARE(fb.Appearance(), 0);
        const int w = fb.button(0)->width();
        fb.resize(10, 80);
        QCOMPARE(fb.width(), 5 * w);
        QCOMPARE(fb.height(), fb.button(0)->height());
        fb.setAppearance(5);
        fb.resize(300, 10);
        QCOMPARE(fb.height(), fb.button(0)->height() + 4);
        QCOMPARE(fb.button(3)->geometry().right(), 300 - 2 - 1);
        QCOMPARE(fb.button(0)->toolTip(), QStringLiteral("Cerca la prima ricorrenza"));
        // The search text's border is whole inside the bar, bottom edge included.
        QVERIFY(fb.contentsRect().adjusted(2, 2, -2, -2).contains(fb.textField()->geometry()));
    }

    void layoutRoundTrip()
    {
        PropertyBag bag;
        {
            fndBar fb;
            fb.initNewInstance();
            fb.setAppearance(9);
            fb.setTextBackColor(0xE0FFFF);
            fb.setButtonsFlat(true);
            fb.setText(QStringLiteral("non salvato"));
            fb.writeProperties(bag);
        }
        QCOMPARE(bag.keys(), QStringList({QStringLiteral("Appearance"), QStringLiteral("ButtonsFlat"),
                                          QStringLiteral("TextBackColor")}));
        fndBar back;
        back.readProperties(bag);
        QCOMPARE(back.Appearance(), 9);
        QCOMPARE(back.TextBackColor(), 0xE0FFFF);
        QVERIFY(back.button(2)->Flat());
        QCOMPARE(back.textField()->BackStyle(), 0);
    }
};

QTEST_MAIN(tst_fndBar)
#include "tst_fndBar.moc"
