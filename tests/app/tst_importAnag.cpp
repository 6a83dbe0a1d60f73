#include <QProgressBar>
#include <QtTest>

#include <memory>

#include "Connection.h"
#include "DatabaseProbe.h"
#include "FormFactory.h"
#include "LockHolder.h"
#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "importAnag.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"

using modMain::gDb;
using modMain::gModal;

// Bringing last year's companies into this year's registry: what is
// copied, what is left alone, and stopping half-way.
class tst_importAnag : public MainWindowTestCase
{
    Q_OBJECT

    QString current;

    void start(const QString &oldRows,
               const QString &conversions = QStringLiteral(
                   "INSERT INTO ComConv (prvOld, comOld, prvNew, comNew, capNew) VALUES (22, 40, 22, 250, '38068');"))
    {
        current = fx->prepareFolder(
            ShellFixture::lookupRows() + conversions
                + QStringLiteral(
                    "INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, cap) VALUES "
                    "('00743110157', 'L''Imballo srl', 15, 146, 'Via Roma', '20121');"),
            QStringLiteral("kez2020=%1\n").arg(fx->folder() + QStringLiteral("Kez21imb.db")));
        fx->createDatabase(QStringLiteral("Kez21imb.db"), oldRows);
        fx->startGlobals();
        new mainForm;
        QVERIFY(gDb->openKezDb());
        QVERIFY(gDb->openOldDb());
    }
    QStringList counts(const importAnag &form) const
    {
        QStringList values;
        for (slxText *field : form.slt)
            values << field->Value().toString();
        return values;
    }

private Q_SLOTS:
    void stopAndResume()
    {
        start(QStringLiteral(
            "INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, prefTel, "
            "telefono) VALUES "
            "('', 'Senza codice', 15, 146, NULL, NULL, NULL, NULL, NULL),"
            "('00743110157', 'Vecchio nome', 58, 91, 'Via Vecchia', '9', '00118', NULL, NULL),"
            "('01234567897', 'L''ARTE S.R.L.', 22, 40, 'Via dell''Arte', '1', '38000', '0461', '123456'),"
            "('AB''CDE', 'Codice con apostrofo', 15, 146, NULL, NULL, '20121', NULL, NULL),"
            "('DNGLCU80A01H501X', 'D''ANGELO', NULL, NULL, 'Via Senza Comune', NULL, '00100', NULL, NULL),"
            "('RSSMRA80A01H501U', 'Rossi', 58, 91, 'Via Appia', '12', '00118', NULL, NULL),"
            "('ZZZZZZ80A01H501Z', 'Ultima', 25, 6, NULL, NULL, '32100', NULL, NULL);"));
        gModal->getDitta(QStringLiteral("00743110157"));

        importAnag form;
        QCOMPARE(modMain::currentForm, 106);
        form.show();
        QVERIFY(TestSupport::activate(&form));
        // The user starts on "Importa", not in a counter.
        QCOMPARE(QApplication::focusWidget(), form.slb[0]);
        QCOMPARE(counts(form), (QStringList{"0", "0", "0", "0"}));
        // "Interrompi" after the second company (No), the close box after the
        // third (No), Esc after the fifth (Yes).
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
        connect(form.pb, &QProgressBar::valueChanged, &form, [&form](int value) {
            QCOMPARE(form.slb[1]->Caption(), QStringLiteral("Interrompi"));
            if (value == 2)
                form.slb_Click(1);
            else if (value == 3)
                form.close();
            else if (value == 5)
                QTest::keyClick(&form, Qt::Key_Escape);
        });
        form.slb_Click(0);
        QVERIFY(form.isVisible());
        QCOMPARE(form.slb[1]->Caption(), QStringLiteral("Chiudi"));
        QVERIFY(!form.slb[0]->Enabled());
        QCOMPARE(MessageBoxSeam::asked().size(), 3);
        for (const MessageBoxSeam::Asked &box : MessageBoxSeam::asked()) {
            QCOMPARE(box.text, QStringLiteral("Annullo importazione delle anagrafiche, sei sicuro?"));
            QCOMPARE(box.style, 292);
        }
        // Processed, imported, already here, without a code.
        QCOMPARE(counts(form), (QStringList{"5", "3", "1", "1"}));
        QCOMPARE(form.pb->maximum(), 7);
        TestSupport::grab(&form, QStringLiteral("importAnag"));
        // One import per opening.
        form.slb_Click(0);
        QCOMPARE(counts(form), (QStringList{"5", "3", "1", "1"}));
        // The buffer no longer trusts a company read before the import.
        QVERIFY(gModal->CodiceFiscale.isNull());

        DatabaseProbe db;
        QVERIFY(db.open(current, true));
        QCOMPARE(db.column(QStringLiteral("SELECT codFisc FROM Ditte ORDER BY codFisc")),
                 (QStringList{"00743110157", "01234567897", "AB'CDE", "DNGLCU80A01H501X"}));
        // A company already here stays as this year has it.
        QCOMPARE(db.scalar(QStringLiteral("SELECT ragSoc || '|' || via || '|' || prvIstat FROM Ditte "
                                          "WHERE codFisc = '00743110157'")).toString(),
                 QStringLiteral("L'Imballo srl|Via Roma|15"));
        // A re-coded municipality comes with its new codes and postal code.
        QCOMPARE(db.scalar(QStringLiteral("SELECT prvIstat || '|' || comIstat || '|' || cap || '|' || "
                                          "ragSoc || '|' || telefono FROM Ditte WHERE codFisc = '01234567897'"))
                     .toString(),
                 QStringLiteral("22|250|38068|L'ARTE S.R.L.|123456"));
        // No municipality: codes 0 and no postal code.
        QCOMPARE(db.scalar(QStringLiteral("SELECT prvIstat || '|' || comIstat || '|' || "
                                          "coalesce(cap, 'NULL') FROM Ditte WHERE codFisc = 'DNGLCU80A01H501X'"))
                     .toString(),
                 QStringLiteral("0|0|NULL"));
        form.slb_Click(1);
        QVERIFY(!form.isVisible());

        // Opened again, the import goes through the rest.
        MessageBoxSeam::clearAsked();
        importAnag again;
        again.slb_Click(0);
        QCOMPARE(counts(again), (QStringList{"7", "2", "4", "1"}));
        QVERIFY(MessageBoxSeam::asked().isEmpty());
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM Ditte")).toInt(), 6);
        QCOMPARE(db.scalar(QStringLiteral("SELECT prvIstat || '|' || comIstat || '|' || cap FROM Ditte "
                                          "WHERE codFisc = 'RSSMRA80A01H501U'")).toString(),
                 QStringLiteral("58|91|00118"));
    }

    // Companies of municipalities merged or moved since last year come with
    // this year's codes, through the conversions the program ships.
    void shippedConversions()
    {
        start(QStringLiteral("INSERT INTO Ditte (codFisc, prvIstat, comIstat, cap) VALUES ('X1', 41, 33, '61014'),"
                             "('X2', 22, 80, '38000'), ('X3', 22, 88, '38013'), ('X4', 41, 32, '61024'),"
                             "('X5', 81, 21, '91100');"),
              ShellFixture::shippedConversions());
        importAnag().slb_Click(0);
        QCOMPARE(gDb->kezRs(QStringLiteral("SELECT group_concat(prvIstat || '|' || comIstat || '|' || cap, ' ') AS n "
                                           "FROM (SELECT * FROM Ditte WHERE codFisc LIKE 'X%' ORDER BY codFisc)"))
                     ->value(QStringLiteral("n")).toString(),
                 QStringLiteral("99|30|61014 22|167|38010 22|252|38013 41|44|61024 81|21|91100"));
    }

    void sessionEndStopsTheImport()
    {
        start(QStringLiteral("INSERT INTO Ditte (codFisc) VALUES ('01234567897'), ('RSSMRA80A01H501U');"));
        importAnag form;
        connect(form.pb, &QProgressBar::valueChanged, &form, &modMain::endSession, Qt::SingleShotConnection);
        form.slb_Click(0);
        QCOMPARE(gDb->kezRs(QStringLiteral("SELECT count(*) AS n FROM Ditte"))->value(QStringLiteral("n")).toInt(), 2);
        QVERIFY(!FormFactory::execDialog(FormFactory::RegistraDialog));
    }

    void emptyPreviousYear()
    {
        start(QString());
        importAnag form;
        form.slb_Click(0);
        QCOMPARE(form.pb->maximum(), 10);
        QCOMPARE(form.pb->value(), 10);
        QCOMPARE(counts(form), (QStringList{"0", "0", "0", "0"}));
        QCOMPARE(form.slb[1]->Caption(), QStringLiteral("Chiudi"));
        QVERIFY(MessageBoxSeam::asked().isEmpty());
        QTest::keyClick(&form, Qt::Key_Escape);
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }

    // Another program reads this year's file all through the import: the
    // run cannot be saved, the user is told so, and nothing stays pending
    // to be lost at close while later saves say they worked.
    void importThatCannotBeSavedIsReported()
    {
        if (!LockHolder::available())
            QSKIP("the sqlite3 program is not installed");
        start(QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc) VALUES ('01234567897', 'Nuova srl');"));
        const int wait = Connection::busyTimeout();
        Connection::setBusyTimeout(200);
        QVERIFY(gDb->openKezDb());
        {
            LockHolder other;
            QVERIFY(other.hold(current, QStringLiteral("BEGIN")));
            importAnag form;
            form.slb_Click(0);
            QCOMPARE(MessageBoxSeam::asked().size(), 1);
            QVERIFY2(MessageBoxSeam::asked().first().text.startsWith(
                         QStringLiteral("Le modifiche non sono state salvate.\nIl database è in uso da un altro programma.")),
                     qPrintable(MessageBoxSeam::asked().first().text));
            QCOMPARE(form.slt[1]->Value().toString(), QStringLiteral("0"));
            QVERIFY(!gDb->kezCnn.inTransaction());
        }
        Connection::setBusyTimeout(wait);
        QVERIFY(gDb->Execute(QStringLiteral("UPDATE Ditte SET via = 'Via Dante'")));
        DatabaseProbe db;
        QVERIFY(db.open(current, true));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) || via FROM Ditte")).toString(),
                 QStringLiteral("1Via Dante"));
    }
};

QTEST_MAIN(tst_importAnag)
#include "tst_importAnag.moc"
