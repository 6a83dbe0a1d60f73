#include <QCheckBox>
#include <QtTest>

#include <memory>

#include "DatabaseProbe.h"
#include "DialogDriver.h"
#include "Logo.h"
#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "Registra.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "dbClass.h"
#include "importAnag.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"
#include "vBar.h"

using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

// The user's own company: registering it on a new file unlocks the
// program; on a new year's file last year's data are proposed.
class tst_Registra : public MainWindowTestCase
{
    Q_OBJECT


    static QString lookupsWithoutUser()
    {
        return ShellFixture::lookupRows() + QStringLiteral("DELETE FROM Setup;");
    }
    // Types text into a field as the user does and leaves it with Tab.
    static void typeAndLeave(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTRY_VERIFY(field->isAncestorOf(QApplication::focusWidget())
                    || field == QApplication::focusWidget());
        TestSupport::typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    void startWithPreviousYear()
    {
        const QString old = fx->folder() + QStringLiteral("Kez21imb.db");
        fx->prepareFolder(lookupsWithoutUser(), QStringLiteral("kez2020=%1\n").arg(old));
        fx->createDatabase(
            QStringLiteral("Kez21imb.db"),
            QStringLiteral("INSERT INTO Setup (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, "
                           "prefTel, telefono, suUserName, suPassword) VALUES ('01234567897', "
                           "'L''ARTE S.R.L.', 58, 91, 'Via Appia', '12', '00118', '06', '555123', "
                           "'utente', 'segreta');"
                           "INSERT INTO Ditte (codFisc, ragSoc) VALUES ('00743110157', 'Cliente');"));
        fx->startGlobals();
        new mainForm;
        QVERIFY(gDb->openKezDb());
        QVERIFY(gDb->openOldDb());
    }

private Q_SLOTS:
    void firstStartRegistersAndUnlocks()
    {
        const QString path = fx->prepareFolder(lookupsWithoutUser());
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *form = qobject_cast<Registra *>(dialog);
            QVERIFY(form);
            QCOMPARE(modMain::currentForm, 103);
            for (slxText *field : form->slt)
                QVERIFY(field->isEmpty());
            QVERIFY(!form->slb[0]->Enabled());
            QVERIFY(!form->chkImport->isVisible());
            TestSupport::grab(form, QStringLiteral("Registra-empty"));

            typeAndLeave(form->slt[0], QStringLiteral("01234567897"));
            QVERIFY(form->slb[0]->Enabled());
            typeAndLeave(form->slt[1], QStringLiteral("D'ANGELO IMBALLAGGI"));
            typeAndLeave(form->cmbCom, QStringLiteral("ROMA"));
            QCOMPARE(form->slt[2]->Value().toString(), QStringLiteral("RM"));
            // The municipality's postal code fills an empty field.
            QCOMPARE(form->slt[5]->Value().toString(), QStringLiteral("00118"));
            typeAndLeave(form->slt[3], QStringLiteral("Via Appia"));
            TestSupport::grab(form, QStringLiteral("Registra-filled"));
            form->slb_Click(0);
            QVERIFY(!form->slb[0]->Enabled());
            form->slb_Click(1);
        });
        QVERIFY(MainWindowSupport::startProgram(fx->folder()));
        QVERIFY(DialogDriver::allRan());
        QVERIFY(MessageBoxSeam::asked().isEmpty());
        QCOMPARE(gKez->Utente, QStringLiteral("D'ANGELO IMBALLAGGI"));
        QCOMPARE(Logo::instance()->user(), QStringLiteral("D'ANGELO IMBALLAGGI"));
        QVERIFY(modMain::gMain->sideBar()->buttonEnabled(1));
        QCOMPARE(modMain::currentForm, 100);

        DatabaseProbe db;
        QVERIFY(db.open(path, true));
        QCOMPARE(db.scalar(QStringLiteral("SELECT codFisc || '|' || ragSoc || '|' || prvIstat || '|' || "
                                          "comIstat || '|' || via || '|' || cap FROM Setup"))
                     .toString(),
                 QStringLiteral("01234567897|D'ANGELO IMBALLAGGI|58|91|VIA APPIA|00118"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM Setup")).toInt(), 1);
    }

    void previousYearIsProposed_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("imports");
        QTest::newRow("not saved") << true << int(MessageBoxSeam::vbNo) << false << false;
        QTest::newRow("saved, no import") << false << int(MessageBoxSeam::vbYes) << true << false;
        QTest::newRow("saved and imported") << true << int(MessageBoxSeam::vbYes) << true << true;
    }

    void previousYearIsProposed()
    {
        QFETCH(bool, tick);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        QFETCH(bool, imports);
        startWithPreviousYear();
        MessageBoxSeam::pushAnswer(answer);
        DialogDriver::onNextDialog([tick](QWidget *dialog) {
            auto *form = qobject_cast<Registra *>(dialog);
            QVERIFY(form);
            QCOMPARE(form->slt[1]->Value().toString(), QStringLiteral("L'ARTE S.R.L."));
            QCOMPARE(form->slt[2]->Value().toString(), QStringLiteral("RM"));
            QCOMPARE(form->cmbCom->Value().toInt(), 58091);
            // The service's user name and pass word are not carried over.
            QVERIFY(form->slt[8]->isEmpty());
            QVERIFY(form->slt[9]->isEmpty());
            QVERIFY(form->slb[0]->Enabled());
            QVERIFY(form->chkImport->isVisible());
            TestSupport::grab(form, QStringLiteral("Registra-proposal"));
            form->chkImport->setChecked(tick);
            form->slb_Click(1);
        });
        bool importOpened = false;
        if (imports)
            DialogDriver::onNextDialog([&importOpened](QWidget *dialog) {
                importOpened = qobject_cast<importAnag *>(dialog) != nullptr;
                QCOMPARE(modMain::currentForm, 106);
                dialog->close();
            });
        gModal->showRegistra();
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(importOpened, imports);
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        QCOMPARE(MessageBoxSeam::asked().first().text,
                 QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
        QCOMPARE(gKez->Utente.isEmpty(), !saved);
        QCOMPARE(modMain::currentForm, 100);
        auto rs = gDb->kezRs(QStringLiteral("SELECT * FROM Setup"));
        QCOMPARE(rs->RecordCount(), saved ? 1 : 0);
    }

    void fieldChecks()
    {
        startWithPreviousYear();
        Registra form;
        form.show();
        QVERIFY(TestSupport::activate(&form));
        // Another municipality: its province, and its postal code, as on
        // every form.
        form.cmbCom->setFocus();
        QTRY_VERIFY(form.cmbCom->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        typeAndLeave(form.cmbCom, QStringLiteral("MILANO"));
        QCOMPARE(form.slt[2]->Value().toString(), QStringLiteral("MI"));
        QCOMPARE(form.slt[5]->Value().toString(), QStringLiteral("20121"));

        // A wrong check digit asks; No keeps the user in the field.
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        form.slt[0]->setFocus();
        QTRY_VERIFY(form.slt[0]->isAncestorOf(QApplication::focusWidget()));
        form.slt[0]->SelectAll();
        typeAndLeave(form.slt[0], QStringLiteral("01234567890"));
        QCOMPARE(MessageBoxSeam::asked().last().style, 36);
        QVERIFY(form.slt[0]->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(form.slt[0]->SelText(), QStringLiteral("01234567890"));
    }

    void declinedCodeIsAskedAgainOnSaving_data()
    {
        QTest::addColumn<int>("second");   // the answer when saving
        QTest::addColumn<bool>("saved");
        QTest::newRow("declined again") << int(MessageBoxSeam::vbNo) << false;
        QTest::newRow("confirmed") << int(MessageBoxSeam::vbYes) << true;
    }

    void declinedCodeIsAskedAgainOnSaving()
    {
        QFETCH(int, second);
        QFETCH(bool, saved);
        startWithPreviousYear();
        Registra form;
        form.show();
        QVERIFY(TestSupport::activate(&form));
        // The user declines the wrong check digit, then closes the form and
        // asks to save what it shows.
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        form.slt[0]->setFocus();
        QTRY_VERIFY(form.slt[0]->isAncestorOf(QApplication::focusWidget()));
        form.slt[0]->SelectAll();
        typeAndLeave(form.slt[0], QStringLiteral("01234567890"));
        QVERIFY(form.slt[0]->isAncestorOf(QApplication::focusWidget()));
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
        MessageBoxSeam::pushAnswer(second);
        QCOMPARE(form.close(), saved);
        const QString question = QStringLiteral("Attenzione, codice fiscale errato,");
        QCOMPARE(MessageBoxSeam::asked().size(), 3);
        QVERIFY(MessageBoxSeam::asked().at(0).text.startsWith(question));
        QCOMPARE(MessageBoxSeam::asked().at(1).text,
                 QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
        QCOMPARE(MessageBoxSeam::asked().at(2).text, MessageBoxSeam::asked().at(0).text);
        auto rs = gDb->kezRs(QStringLiteral("SELECT codFisc FROM Setup"));
        QCOMPARE(rs->RecordCount(), saved ? 1 : 0);
        if (saved)
            QCOMPARE(rs->value(QStringLiteral("codFisc")).toString(), QStringLiteral("01234567890"));
        else
            QVERIFY(form.slt[0]->isAncestorOf(QApplication::focusWidget()));
    }

    void municipalityIsRequired()
    {
        startWithPreviousYear();
        Registra form;
        form.show();
        form.cmbCom->setValue(0);
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(MessageBoxSeam::asked().size(), 2);
        QCOMPARE(MessageBoxSeam::asked().last().text, QStringLiteral("Attenzione, campo Comune richiesto."));
        QCOMPARE(MessageBoxSeam::asked().last().style, 64);
        auto rs = gDb->kezRs(QStringLiteral("SELECT * FROM Setup"));
        QCOMPARE(rs->RecordCount(), 0);
        // Esc does not leave the form.
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
    }
    // The user empties the municipality: told once that it is required, let
    // through the second time, and then the form shows and saves none.
    void emptiedMunicipalityIsAChange()
    {
        const QString path = fx->prepareFolder(ShellFixture::lookupRows()
                                               + QStringLiteral("UPDATE Setup SET prvIstat = 58, comIstat = 91;"));
        fx->startGlobals();
        new mainForm;
        QVERIFY(gDb->openKezDb());
        Registra form;
        form.show();
        QVERIFY(TestSupport::activate(&form));
        QCOMPARE(form.slt[2]->Value().toString(), QStringLiteral("RM"));
        form.cmbCom->setFocus();
        QTRY_VERIFY(form.cmbCom->isAncestorOf(QApplication::focusWidget()));
        for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::Key_Delete),
                                         QKeySequence(Qt::Key_Tab)})
            QTest::keySequence(QApplication::focusWidget(), keys);
        // The message box takes the keyboard and gives it back.
        {
            QWidget box;
            box.show();
            QVERIFY(TestSupport::activate(&box));
        }
        QVERIFY(TestSupport::activate(&form));
        QTRY_VERIFY(form.cmbCom->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(form.cmbCom->Value().toInt(), 0);
        QVERIFY(form.slt[2]->isEmpty() && form.slb[0]->Enabled());
        TestSupport::grab(&form, QStringLiteral("Registra-emptied-municipality"));
        form.slb_Click(0);
        const QString required = QStringLiteral("Attenzione, campo Comune richiesto.");
        QCOMPARE(MessageBoxSeam::asked().size(), 2);
        QVERIFY(MessageBoxSeam::asked().at(0).text == required && MessageBoxSeam::asked().at(1).text == required);
        DatabaseProbe db;
        QVERIFY(db.open(path, true));
        QCOMPARE(db.scalar(QStringLiteral("SELECT comIstat FROM Setup")).toInt(), 91);
    }
};

QTEST_MAIN(tst_Registra)
#include "tst_Registra.moc"
