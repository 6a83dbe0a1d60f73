#include <QTreeWidget>
#include <QtTest>

#include <memory>

#include "Anagrafiche.h"
#include "DatabaseProbe.h"
#include "DialogDriver.h"
#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "dbClass.h"
#include "fndBar.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"
#include "tbButton.h"

using modMain::gDb;
using modMain::gModal;
using TestSupport::columnTexts;

// The company registry as the user works with it: finding, picking,
// correcting and deleting companies, names with apostrophes included.
class tst_Anagrafiche : public MainWindowTestCase
{
    Q_OBJECT

    QString path;

    static constexpr const char *crafted = "X') OR ('1'='1";

    void start(bool withCompanies = true)
    {
        QString rows = ShellFixture::lookupRows();
        if (withCompanies)
            rows += QStringLiteral(
                "INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap) VALUES "
                "('DNGLCU80A01H501X', 'D''ANGELO', 58, 91, 'Via Appia', '12', '00118'),"
                "('01234567897', 'L''ARTE S.R.L.', 15, 146, 'Via Dante', NULL, '20121'),"
                "('00743110157', 'BIANCHI IMBALLAGGI', 25, 6, NULL, NULL, NULL),"
                "('%1', 'ZETA CODICE STRANO', NULL, NULL, NULL, NULL, NULL);")
                        .arg(QString::fromLatin1(crafted).replace(QLatin1Char('\''), QStringLiteral("''")));
        path = fx->prepareFolder(rows);
        fx->startGlobals();
        new mainForm;
        QVERIFY(gDb->openKezDb());
    }
    static void selectRow(Anagrafiche &form, const QString &codFisc)
    {
        const auto found = form.lv->findItems(codFisc, Qt::MatchExactly, 0);
        QCOMPARE(found.size(), 1);
        form.lv->setCurrentItem(found.first());
    }
    int rowsInDatabase() const
    {
        DatabaseProbe db;
        return db.open(path, true) ? db.scalar(QStringLiteral("SELECT count(*) FROM Ditte")).toInt() : -1;
    }

private Q_SLOTS:
    void listSortedByNameWithPreselection()
    {
        start();
        gModal->Key = QStringLiteral("01234567897");
        Anagrafiche form;
        form.show();
        QCOMPARE(columnTexts(form.lv, 1),
                 (QStringList{"BIANCHI IMBALLAGGI", "D'ANGELO", "L'ARTE S.R.L.", "ZETA CODICE STRANO"}));
        // Street and number, or the street alone when there is no number.
        QCOMPARE(columnTexts(form.lv, 2), (QStringList{"", "Via Appia, 12", "Via Dante", ""}));
        QCOMPARE(columnTexts(form.lv, 3), (QStringList{"BELLUNO", "ROMA", "MILANO", ""}));
        QCOMPARE(columnTexts(form.lv, 4), (QStringList{"BL", "RM", "MI", ""}));
        QCOMPARE(form.lv->currentItem()->text(0), QStringLiteral("01234567897"));
        QVERIFY(form.lv->currentItem()->isSelected());
        for (int i = 0; i < 4; ++i)
            QVERIFY(form.tbb[i]->Enabled());
        QVERIFY(form.fb->Enabled());
        QVERIFY(!form.isEditing());
        TestSupport::grab(&form, QStringLiteral("Anagrafiche"));
    }

    void emptyRegistry()
    {
        start(false);
        gModal->Key = QVariant();
        Anagrafiche form;
        form.show();
        for (int i = 0; i < 3; ++i)
            QVERIFY(!form.tbb[i]->Enabled());
        QVERIFY(form.tbb[3]->Enabled());
        QVERIFY(!form.fb->Enabled());
        QTest::keyClick(form.lv, Qt::Key_F2);
        QVERIFY(!form.isEditing());
    }

    void findAndPick()
    {
        start();
        gModal->getDitta(QStringLiteral("00743110157"));
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *form = qobject_cast<Anagrafiche *>(dialog);
            QVERIFY(form);
            form->fb->setText(QStringLiteral("arte"));
            emit form->fb->Click(0);
            QCOMPARE(form->lv->currentItem()->text(1), QStringLiteral("L'ARTE S.R.L."));
            form->tbb_Click(0);
        });
        QVERIFY(gModal->showDitte(QStringLiteral("DNGLCU80A01H501X")));
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(gModal->Key.toString(), QStringLiteral("01234567897"));
        QCOMPARE(gModal->ragioneSociale.toString(), QStringLiteral("L'ARTE S.R.L."));
        QCOMPARE(gModal->via.toString(), QStringLiteral("Via Dante"));

        // The search text is there again at the next opening; closing picks nothing.
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *form = qobject_cast<Anagrafiche *>(dialog);
            QCOMPARE(form->fb->Text(), QStringLiteral("arte"));
            form->tbb_Click(3);
        });
        QVERIFY(!gModal->showDitte(QVariant()));
        QCOMPARE(gModal->ragioneSociale.toString(), QStringLiteral("L'ARTE S.R.L."));
    }

    void editAndSave()
    {
        start();
        gModal->getDitta(QStringLiteral("DNGLCU80A01H501X"));
        Anagrafiche form;
        form.show();
        QVERIFY(TestSupport::activate(&form));
        selectRow(form, QStringLiteral("DNGLCU80A01H501X"));
        QTest::keyClick(form.lv, Qt::Key_F2);
        QVERIFY(form.isEditing());
        QVERIFY(!form.tbb[0]->Enabled());
        QVERIFY(!form.fb->Enabled());
        QCOMPARE(form.slt[0]->Value().toString(), QStringLiteral("DNGLCU80A01H501X"));
        QCOMPARE(form.slt[4]->Value().toString(), QStringLiteral("RM"));
        QVERIFY(!form.slb[0]->Enabled());

        QTRY_VERIFY(form.slt[1]->isAncestorOf(QApplication::focusWidget()));
        form.slt[1]->SelectAll();
        TestSupport::typeText(QApplication::focusWidget(), QStringLiteral("D'ANGELO & FIGLI"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(form.slb[0]->Enabled());
        TestSupport::grab(&form, QStringLiteral("Anagrafiche-edit"));
        form.slb_Click(0);
        QVERIFY(!form.slb[0]->Enabled());
        QVERIFY(form.isEditing());
        QCOMPARE(form.lv->currentItem()->text(1), QStringLiteral("D'ANGELO & FIGLI"));
        // A sheet reads the company again rather than the old name.
        QVERIFY(gModal->CodiceFiscale.isNull());
        QVERIFY(gModal->getDitta(QStringLiteral("DNGLCU80A01H501X")));
        QCOMPARE(gModal->ragioneSociale.toString(), QStringLiteral("D'ANGELO & FIGLI"));
        QCOMPARE(gModal->via.toString(), QStringLiteral("Via Appia"));
        QCOMPARE(gModal->istatComune.toInt(), 91);
        form.slb_Click(1);
        QVERIFY(!form.isEditing());
        QVERIFY(MessageBoxSeam::asked().isEmpty());
    }

    void leavingTheEditPanel_data()
    {
        QTest::addColumn<QString>("name");      // what the name field holds
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<QString>("stored");
        QTest::newRow("cancel") << "NUOVO" << int(MessageBoxSeam::vbCancel) << true << "D'ANGELO";
        QTest::newRow("no") << "NUOVO" << int(MessageBoxSeam::vbNo) << false << "D'ANGELO";
        QTest::newRow("yes") << "NUOVO" << int(MessageBoxSeam::vbYes) << false << "NUOVO";
        QTest::newRow("yes, name refused") << "" << int(MessageBoxSeam::vbYes) << true << "D'ANGELO";
    }

    void leavingTheEditPanel()
    {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(bool, staysOpen);
        QFETCH(QString, stored);
        start();
        // A municipality this year's table lacks shows none, and stays.
        QVERIFY(gDb->Execute("UPDATE Ditte SET prvIstat = 999, comIstat = 1 WHERE codFisc = 'DNGLCU80A01H501X'"));
        Anagrafiche form;
        selectRow(form, QStringLiteral("DNGLCU80A01H501X"));
        form.tbb_Click(1);
        form.slt[1]->setValue(name.isEmpty() ? QVariant() : QVariant(name));
        form.slt[2]->setValue(QStringLiteral("VIA NUOVA"));
        form.slb[0]->setEnabled(true);   // the user changed the fields
        MessageBoxSeam::pushAnswer(answer);
        form.slb_Click(1);
        QCOMPARE(form.isEditing(), staysOpen);
        QCOMPARE(MessageBoxSeam::asked().first().text,
                 QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
        if (staysOpen) {
            // The user's edits are still there.
            QCOMPARE(form.slt[2]->Value().toString(), QStringLiteral("VIA NUOVA"));
            QVERIFY(form.slb[0]->Enabled());
        }
        if (name.isEmpty())
            QCOMPARE(MessageBoxSeam::asked().last().text,
                     QStringLiteral("Attenzione, campo Ragione sociale richiesto."));
        DatabaseProbe db;
        QVERIFY(db.open(path, true));
        QCOMPARE(db.scalar(QStringLiteral("SELECT ragSoc || ' ' || prvIstat || '/' || comIstat FROM Ditte "
                                          "WHERE codFisc = 'DNGLCU80A01H501X'")).toString(),
                 stored + " 999/1");
    }

    void deleteCompanies()
    {
        start();
        gModal->getDitta(QStringLiteral("00743110157"));
        Anagrafiche form;
        // A code that looks like SQL deletes only its own row.
        selectRow(form, QString::fromLatin1(crafted));
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
        form.tbb_Click(2);
        QCOMPARE(MessageBoxSeam::asked().first().text,
                 QStringLiteral("Elimino ditta: ZETA CODICE STRANO\nsei sicuro?"));
        QCOMPARE(MessageBoxSeam::asked().first().style, 292);
        QCOMPARE(rowsInDatabase(), 3);
        QCOMPARE(form.lv->topLevelItemCount(), 3);
        QVERIFY(gModal->CodiceFiscale.isNull());

        // No keeps the company.
        selectRow(form, QStringLiteral("DNGLCU80A01H501X"));
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        form.tbb_Click(2);
        QCOMPARE(rowsInDatabase(), 3);

        for (const QString &code : {QStringLiteral("DNGLCU80A01H501X"), QStringLiteral("01234567897"),
                                    QStringLiteral("00743110157")}) {
            selectRow(form, code);
            MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
            form.tbb_Click(2);
        }
        QCOMPARE(rowsInDatabase(), 0);
        QCOMPARE(form.lv->topLevelItemCount(), 0);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!form.tbb[i]->Enabled());
        QVERIFY(!form.fb->Enabled());
    }

    void doubleClickPicks()
    {
        start();
        Anagrafiche form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        gModal->Status = false;
        QTreeWidgetItem *item = form.lv->topLevelItem(1);
        const QPoint at = form.lv->visualItemRect(item).center();
        QTest::mouseClick(form.lv->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(form.lv->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(gModal->Status);
        QCOMPARE(gModal->Key.toString(), QStringLiteral("DNGLCU80A01H501X"));
    }

    void escClosesWhileEditing()
    {
        start();
        Anagrafiche form;
        form.show();
        selectRow(form, QStringLiteral("01234567897"));
        form.tbb_Click(1);
        form.slb[0]->setEnabled(true);
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QVERIFY(MessageBoxSeam::asked().isEmpty());
    }
};

QTEST_MAIN(tst_Anagrafiche)
#include "tst_Anagrafiche.moc"
