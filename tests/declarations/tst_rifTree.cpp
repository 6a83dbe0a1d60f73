#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <QtTest>

#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "SK_CONS.h"
#include "kezClass.h"
#include "listRif.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "fndBar.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "rifTree.h"
#include "slxText.h"
#include "tbButton.h"

using modMain::gDb;
using modMain::gModal;

// The waste-code tree under the consortia sheet: its shape, codes without
// their chapter or sub-chapter, the waste-code filter and the answer.
class tst_rifTree : public MainWindowTestCase
{
    Q_OBJECT

    QWidget *sheet = nullptr;
    QMdiSubWindow *sheetFrame = nullptr;

    void start(const QString &filter = QString())
    {
        fx->prepareFolder(ShellFixture::lookupRows() + QStringLiteral(
            "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES "
            "('150000', 'IMBALLAGGI', NULL), ('150100', 'imballaggi', NULL),"
            "('150101', 'carta e cartone', NULL), ('150110', 'contaminati', 'P'),"
            "('150111', 'metallici', 'x'), ('150203', 'senza sotto-capitolo', NULL),"
            "('170000', 'COSTRUZIONE', NULL), ('180101', 'senza capitolo', 'P');"),
            QStringLiteral("[Kez]\nFiltroRifiuto=") + filter + QLatin1Char('\n'));
        QVERIFY(MainWindowSupport::startProgram(fx->folder()));
        QVERIFY(QTest::qWaitForWindowExposed(modMain::gMain));
        sheet = new QWidget;
        sheet->setWindowTitle(QStringLiteral("Scheda CONS"));
        sheetFrame = modMain::gMain->showChild(sheet);
        sheetFrame->setGeometry(0, 0, modMain::gMain->mdiArea()->viewport()->width(), 110);
        modMain::formLoaded(sheet);
        sheet->setEnabled(false);
    }
    static QTreeWidgetItem *node(rifTree *tree, const QString &text)
    {
        const auto found = tree->tv->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    static QString path(QTreeWidgetItem *item)
    {
        QStringList parts;
        for (; item; item = item->parent())
            parts.prepend(item->text(0).left(2));
        return parts.join(QLatin1Char('/'));
    }

private Q_SLOTS:
    void shapeAndOrphanCodes()
    {
        start();
        auto *tree = new rifTree;
        tree->Visualizza(QStringLiteral("150110"));
        QCOMPARE(tree->windowTitle(), QStringLiteral("Tabella rifiuti speciali"));
        QCOMPARE(tree->tv->topLevelItemCount(), 1);
        QTreeWidgetItem *root = tree->tv->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Tabella rifiuti"));
        QVERIFY(root->isExpanded());
        // Every code is in the tree: without its sub-chapter under its
        // chapter, without its chapter at the root.
        QCOMPARE(path(node(tree, QStringLiteral("01 - carta e cartone"))), QStringLiteral("Ta/15/01/01"));
        QCOMPARE(path(node(tree, QStringLiteral("03 - senza sotto-capitolo"))), QStringLiteral("Ta/15/03"));
        QCOMPARE(path(node(tree, QStringLiteral("01 - senza capitolo"))), QStringLiteral("Ta/01"));
        QCOMPARE(root->childCount(), 3);

        // Opened on the sheet's code: shown, and hazardous.
        QCOMPARE(tree->tv->currentItem()->text(0), QStringLiteral("10 - contaminati"));
        QCOMPARE(tree->slt[0]->Text(), QStringLiteral("150110"));
        QCOMPARE(tree->slt[1]->Text(), QStringLiteral("contaminati"));
        QVERIFY(tree->labPer->isVisibleTo(tree));
        QVERIFY(tree->tbb[0]->Enabled());
        // Only class "P" is hazardous.
        tree->tv->setCurrentItem(node(tree, QStringLiteral("11 - metallici")));
        QVERIFY(!tree->labPer->isVisibleTo(tree));

        const QRect area = modMain::gMain->mdiArea()->viewport()->rect();
        const QRect placed = tree->parentWidget()->geometry();
        QCOMPARE(placed.top(), sheetFrame->geometry().bottom() + 1);
        QCOMPARE(placed.left(), 0);
        QCOMPARE(placed.right(), area.right());
        QCOMPARE(placed.bottom(), area.bottom());
        TestSupport::grab(modMain::gMain, QStringLiteral("rifTree"));

        // Found by the find bar and chosen.
        tree->fb->setText(QStringLiteral("CARTA"));
        emit tree->fb->Click(0);
        QCOMPARE(tree->slt[0]->Text(), QStringLiteral("150101"));
        QPointer<rifTree> alive(tree);
        tree->tbb_Click(0);
        QVERIFY(gModal->Status);
        QCOMPARE(gModal->codiceRifiuto, QStringLiteral("150101"));
        QCOMPARE(gModal->descRifiuto, QStringLiteral("carta e cartone"));
        QVERIFY(!gModal->Pericoloso);
        QVERIFY(sheet->isEnabled());
        QTRY_VERIFY(!alive);
    }

    void filterAndChoice_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<bool>("selectable");
        QTest::newRow("codes only: a code") << "" << "01 - carta e cartone" << true;
        QTest::newRow("codes only: a sub-chapter") << "" << "01 - imballaggi" << false;
        QTest::newRow("codes only: a chapter") << "" << "15 - IMBALLAGGI" << false;
        QTest::newRow("sub-chapters: a sub-chapter") << "15" << "01 - imballaggi" << true;
        QTest::newRow("sub-chapters: a chapter") << "15" << "15 - IMBALLAGGI" << false;
        QTest::newRow("everything: a chapter") << "1501" << "15 - IMBALLAGGI" << true;
        QTest::newRow("the root") << "1501" << "Tabella rifiuti" << false;
    }
    void filterAndChoice()
    {
        QFETCH(QString, filter);
        QFETCH(QString, clicked);
        QFETCH(bool, selectable);
        start(filter);
        gModal->codiceRifiuto = QStringLiteral("prima");
        auto *tree = new rifTree(sheet);
        tree->Visualizza(QString());
        QVERIFY(!tree->tv->currentItem() || !tree->tv->currentItem()->isSelected());
        QVERIFY(!tree->tbb[0]->Enabled());
        QTreeWidgetItem *item = node(tree, clicked);
        QVERIFY(item);
        tree->tv->setCurrentItem(item);
        QCOMPARE(tree->tbb[0]->Enabled(), selectable);
        // Enter in the tree chooses only what may be chosen.
        QSignalSpy unloaded(tree, &rifTree::unloaded);
        QTest::keyClick(tree->tv, Qt::Key_Return);
        QCOMPARE(unloaded.size(), selectable ? 1 : 0);
        QCOMPARE(gModal->Status, selectable);
        QCOMPARE(gModal->codiceRifiuto,
                 selectable ? item->data(0, Qt::UserRole).toString() : QStringLiteral("prima"));
        if (!selectable) {
            QVERIFY(tree->slt[0]->Text().isEmpty() == (clicked == QLatin1String("Tabella rifiuti")));
            QTest::keyClick(tree->tv, Qt::Key_Escape);
            QCOMPARE(unloaded.size(), 1);
            QVERIFY(!gModal->Status);
        }
        QVERIFY(sheet->isEnabled());
    }

    void underTheConsortiaSheet()
    {
        fx->prepareFolder(ShellFixture::lookupRows() + QStringLiteral(
            "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES ('150000', 'IMBALLAGGI', NULL),"
            "('150100', 'imballaggi', NULL), ('150101', 'carta e cartone', NULL),"
            "('150110', 'contaminati', 'P');"
            "INSERT INTO SezCons (scID, saID, rifCod) VALUES (1, 7, '150101'), (2, 7, '170101');"),
            QStringLiteral("[Kez]\nSa1ID=7\nConsID=1\n"));
        QVERIFY(MainWindowSupport::startProgram(fx->folder()));
        modMain::gMain->resize(1000, 700);
        QVERIFY(QTest::qWaitForWindowExposed(modMain::gMain));
        modMain::gMain->vBar1_Click(2, false);
        auto *sheet = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
        QVERIFY(sheet);
        QCOMPARE(sheet->slt[0]->Text(), QStringLiteral("150101"));

        // The tree, from the sheet's tree button, on the sheet's code.
        sheet->slb_Click(1);
        QCoreApplication::processEvents();
        auto *tree = qobject_cast<rifTree *>(modMain::loadedForms().value(1));
        QVERIFY(tree);
        QVERIFY(!sheet->isEnabled());
        QCOMPARE(tree->parentWidget()->y(), sheet->parentWidget()->geometry().bottom() + 1);
        QCOMPARE(tree->slt[0]->Text(), QStringLiteral("150101"));
        TestSupport::grab(modMain::gMain, QStringLiteral("SK_CONS-rifTree"));
        // The sheet's own code chosen again changes nothing.
        tree->tbb_Click(0);
        QVERIFY(!gModal->Status);
        QTRY_VERIFY(sheet->isEnabled());
        QCOMPARE(sheet->slt[0]->Text(), QStringLiteral("150101"));

        // The list of the declaration's sheets, with the one whose code is
        // not in the table; choosing it shows that sheet.
        sheet->slb_Click(0);
        QCoreApplication::processEvents();
        auto *list = qobject_cast<listRif *>(modMain::loadedForms().value(1));
        QVERIFY(list);
        QCOMPARE(list->lv->topLevelItemCount(), 2);
        TestSupport::grab(modMain::gMain, QStringLiteral("SK_CONS-listRif"));
        list->lv->setCurrentItem(list->lv->topLevelItem(1));
        list->tbb_Click(0);
        QTRY_COMPARE(sheet->slt[0]->Text(), QStringLiteral("170101"));
        QVERIFY(sheet->isEnabled());
    }
};

QTEST_MAIN(tst_rifTree)
#include "tst_rifTree.moc"
