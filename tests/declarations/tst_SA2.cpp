#include <QTreeWidget>
#include <QtTest>

#include "DialogDriver.h"
#include "FormFactory.h"
#include "MainWindowTestCase.h"
#include "SA2.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"

using modMain::gDb;
using modMain::gKez;

// The summary of a declaration counts what the section sheets stored for
// it, and nothing of other declarations.
class tst_SA2 : public MainWindowTestCase
{
    Q_OBJECT

    void start(const QString &rows)
    {
        fx->prepareFolder(ShellFixture::lookupRows() + rows);
        fx->startGlobals();
        new mainForm;
        QVERIFY(gDb->openKezDb());
    }
    static QStringList shown(const SA2 &form)
    {
        QStringList texts;
        for (int i = 0; i < form.lv->topLevelItemCount(); ++i)
            texts << form.lv->topLevelItem(i)->text(1);
        return texts;
    }

private Q_SLOTS:
    void counts_data()
    {
        QTest::addColumn<int>("saID");
        QTest::addColumn<QStringList>("figures");
        QTest::newRow("declaration with sheets")
            << 7 << QStringList{" ", "1", " ", "2", "5", "1", "1", " ", "1.200", "1", "0"};
        QTest::newRow("declaration without sheets")
            << 8 << QStringList{" ", "1", " ", "0", "0", "0", "0", " ", "0", "0", "0"};
    }
    void counts()
    {
        QFETCH(int, saID);
        QFETCH(QStringList, figures);
        // Two consortia sheets with 2 and 3 origin modules and one
        // destination module, and a module of an unknown kind; one plastic
        // bags card, 1,200 producer cards, four reuse rows; a sheet of
        // another declaration.
        start(QStringLiteral(
            "INSERT INTO SezCons (scID, saID, rifCod) VALUES (1, 7, '150101'), (2, 7, '150102'),"
            "(3, 9, '150101');"
            "INSERT INTO SezAnag (saID, codFisc, ragSoc) VALUES (9, 'X', 'Altra');"
            "INSERT INTO ModCons (scID, mdcTipo) VALUES (1, 1), (1, 1), (2, 1), (2, 1), (2, 1),"
            "(2, 2), (2, 7), (3, 1), (3, 2);"
            "INSERT INTO skSbop (saID) VALUES (7);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1200) "
            "INSERT INTO skMat (saID) SELECT 7 FROM n;"
            "INSERT INTO RecRiu (saID, riuTipo) VALUES (7, 1), (7, 2), (7, 3), (7, 4);"));
        gKez->Sa1ID = saID;
        SA2 form(modMain::gMain);
        form.show();
        QCOMPARE(form.lv->topLevelItemCount(), 11);
        QCOMPARE(form.lv->topLevelItem(4)->text(0), QStringLiteral("      Moduli UO-CONS"));
        QVERIFY(form.lv->topLevelItem(2)->font(0).bold());
        QCOMPARE(shown(form), figures);
        TestSupport::grab(&form, QStringLiteral("SA2"));
    }

    void openedByTheRegistrySheetAndClosedByEsc()
    {
        start(QString());
        gKez->Sa1ID = 7;
        bool seen = false;
        DialogDriver::onNextDialog([&seen](QWidget *dialog) {
            seen = qobject_cast<SA2 *>(dialog) != nullptr;
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(FormFactory::execDialog(FormFactory::SA2));
        QVERIFY(seen);
    }
};

QTEST_MAIN(tst_SA2)
#include "tst_SA2.moc"
