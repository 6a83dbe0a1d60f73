#include <QApplication>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include "DialogDriver.h"
#include "MessageBoxSeam.h"
#include "ModRT.h"
#include "ModuleTestCase.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "comboKgt.h"
#include "hNav.h"
#include "listMod.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxCombo.h"
#include "slxLabel.h"
#include "slxText.h"

using MessageBoxSeam::vbCancel;
using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {
// Three origin modules of sheet 1 and a destination module that the origin
// form never shows.
const char *const threeModules =
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, "
    "cap, nazID, regCE, mdcQta, mdcUmi, mdcAtt, mdcSup) VALUES "
    "(11, 1, 1, '01234567897', 'PRIMA SRL', 58, 91, 'VIA UNO', '1', '00118', 0, NULL, 15000, 1, "
    "'381100', 2),"
    "(12, 1, 2, '12345678903', 'DESTINO SPA', 58, 91, 'VIA DUE', '2', '00118', 0, NULL, 20000, 1, "
    "NULL, 0),"
    "(13, 1, 1, '12345678903', 'SECONDA SNC', 0, 0, NULL, NULL, NULL, 250, 'GB040', 25000, 2, "
    "NULL, 0),"
    "(14, 1, 1, '11111111115', 'TERZA SAS', 15, 146, 'VIA TRE', '3', '20121', 0, NULL, 35000, 1, "
    "'381100', 1);\n";
}

// The origin modules of a consortia sheet: one module at a time, found by
// codice fiscale, its company offered to the registry once.
class tst_ModRT : public ModuleTestCase
{
    Q_OBJECT

    ModRT *open(const QString &rows = QString())
    {
        return qobject_cast<ModRT *>(openModules(31, rows));
    }

    static QString row(int mdcID)
    {
        return QStringLiteral("SELECT ifnull(codFisc, '-') || '|' || ifnull(ragSoc, '-') || '|' || prvIstat || "
                              "'|' || comIstat || '|' || ifnull(via, '-') || '|' || ifnull(cap, '-') || '|' || "
                              "nazID || '|' || ifnull(regCE, '-') || '|' || mdcQta || '|' || mdcUmi || '|' || "
                              "ifnull(mdcAtt, '-') || '|' || mdcSup || '|' || scID || '|' || mdcTipo "
                              "FROM ModCons WHERE mdcID = %1")
            .arg(mdcID);
    }
    int lastModule() const
    {
        return scalar(QStringLiteral("SELECT max(mdcID) FROM ModCons")).toInt();
    }
    static void click(QWidget *w)
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

private Q_SLOTS:
    void opensOnTheLastModuleAndMoves()
    {
        ModRT *f = open(QString::fromUtf8(threeModules));
        QVERIFY(f);
        TestSupport::grab(modMain::gMain.data(), QStringLiteral("ModRT-in-sheet"));
        QCOMPARE(f->nav->Max(), 3);
        QCOMPARE(f->nav->Value(), 3);
        QCOMPARE(f->slt[1]->Value().toString(), QStringLiteral("TERZA SAS"));
        QCOMPARE(f->slt[2]->Value().toString(), QStringLiteral("MI"));
        QVERIFY(f->opt[0]->isChecked() && f->optSup[0]->isChecked());
        QVERIFY(!sheet()->isEnabled());

        pressNav(1);
        QCOMPARE(f->nav->Value(), 2);
        QCOMPARE(f->slt[1]->Value().toString(), QStringLiteral("SECONDA SNC"));
        QVERIFY(f->opt[1]->isChecked() && f->cmbNaz->Enabled() && !f->cmbCom->Enabled());
        QCOMPARE(f->cmbNaz->Value().toInt(), 250);
        QCOMPARE(f->kgt->Value(), 2);
        TestSupport::grab(modMain::gMain.data(), QStringLiteral("ModRT-foreign"));
        pressNav(0);
        QCOMPARE(f->slt[1]->Value().toString(), QStringLiteral("PRIMA SRL"));
        QVERIFY(f->optSup[1]->isChecked());
        QCOMPARE(f->slt[8]->Value().toString(), QStringLiteral("381100"));
        QVERIFY(askedTexts().isEmpty());

        // Closing without changes asks nothing and gives the sheet back.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!form());
        QVERIFY(sheet()->isEnabled());
        QCOMPARE(modMain::modoApertura, 0);
        QVERIFY(askedTexts().isEmpty());
    }

    void italianModulesOfKnownAndUnknownCompanies()
    {
        ModRT *f = open(QStringLiteral("UPDATE Ditte SET prefTel = '06', telefono = '5551';"));
        QVERIFY(f);
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Nuovo modulo"));
        QVERIFY(f->opt[0]->isChecked());
        QVERIFY(!f->slb[2]->Enabled() && !f->slb[4]->Enabled() && !f->slb[5]->Enabled());

        // After a company it knows, one the registry does not know: the fields stay empty.
        typeAndLeave(f->slt[0], QStringLiteral("00743110157"));
        typeAndLeave(f->slt[0], QStringLiteral("01234567897"));
        QVERIFY(f->slt[1]->isEmpty());
        QVERIFY(!f->slb[4]->Enabled());
        typeAndLeave(f->slt[1], QStringLiteral("NUOVA DITTA SRL"));
        QVERIFY(f->slb[4]->Enabled());
        typeAndLeave(f->slt[8], QStringLiteral("381100"));
        typeAndLeave(f->cmbCom, QStringLiteral("ROMA"));
        QCOMPARE(f->slt[2]->Text(), QStringLiteral("RM"));
        QCOMPARE(f->slt[5]->Text(), QStringLiteral("00118"));
        typeAndLeave(f->slt[3], QStringLiteral("VIA NUOVA"));
        typeAndLeave(f->slt[7], QStringLiteral("12,5"));
        click(f->optSup[1]);
        click(f->slb[4]);
        QVERIFY(askedTexts().isEmpty());
        const int first = lastModule();
        QCOMPARE(scalar(row(first)).toString(),
                 QStringLiteral("01234567897|NUOVA DITTA SRL|58|91|VIA NUOVA|00118|0|-|125000|1|381100|2|1|1"));
        QCOMPARE(scalar(QStringLiteral("SELECT ragSoc || '|' || prvIstat || '|' || comIstat || '|' || via || "
                                       "'|' || cap FROM Ditte WHERE codFisc = '01234567897'"))
                     .toString(),
                 QStringLiteral("NUOVA DITTA SRL|58|91|VIA NUOVA|00118"));
        QVERIFY(modMain::gModal->getDitta(QStringLiteral("01234567897")) && modMain::gModal->telefono.isNull());
        QVERIFY(!f->slb[4]->Enabled());
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Modulo 1 di 1"));

        // Later saves never touch the registry.
        typeAndLeave(f->slt[1], QStringLiteral("ALTRO NOME"));
        click(f->slb[4]);
        QCOMPARE(scalar(QStringLiteral("SELECT ragSoc FROM Ditte WHERE codFisc = '01234567897'")).toString(),
                 QStringLiteral("NUOVA DITTA SRL"));

        // A company of the registry fills the new module, and stays as it is.
        typeAndLeave(f->slt[0], QStringLiteral("00743110157"));
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("ARCO SPA"));
        QCOMPARE(f->slt[3]->Text(), QStringLiteral("VIA TUSCOLANA"));
        typeAndLeave(f->slt[1], QStringLiteral("ARCO RINOMINATA"));
        typeAndLeave(f->slt[8], QStringLiteral("381100"));
        typeAndLeave(f->slt[7], QStringLiteral("3"));
        click(f->slb[4]);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM ModCons WHERE mdcTipo = 1")).toInt(), 2);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) || ragSoc FROM Ditte WHERE codFisc = '00743110157'"))
                     .toString(),
                 QStringLiteral("1ARCO SPA"));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Ditte")).toInt(), 2);
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Modulo 2 di 2"));
    }

    void foreignModules()
    {
        ModRT *f = open(QString::fromUtf8(threeModules));
        QVERIFY(f);
        // A stored foreign module emptied of its code keeps the code, and
        // shows it; its Regulation (CE) code, not shown here, is kept.
        pressNav(1);
        typeAndLeave(f->slt[0], QString());
        QVERIFY(f->slt[0]->isEmpty());
        typeAndLeave(f->slt[7], QStringLiteral("4"));
        click(f->slb[4]);
        QCOMPARE(scalar(row(13)).toString(),
                 QStringLiteral("12345678903|SECONDA SNC|0|0|-|-|250|GB040|40000|2|-|1|1|1"));
        QCOMPARE(f->slt[0]->Text(), QStringLiteral("12345678903"));

        // A new foreign unit needs neither codice fiscale nor activity code.
        click(f->slb[5]);
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Nuovo modulo"));
        click(f->opt[1]);
        QVERIFY(!f->slb[4]->Enabled());
        QVERIFY(!f->cmbCom->Enabled());
        typeAndLeave(f->slt[1], QStringLiteral("ETRANGER SARL"));
        typeAndLeave(f->cmbNaz, QStringLiteral("FRANCIA"));
        typeAndLeave(f->slt[7], QStringLiteral("7"));
        click(f->slb[4]);
        QVERIFY(askedTexts().isEmpty());
        QCOMPARE(scalar(row(lastModule())).toString(),
                 QStringLiteral("-|ETRANGER SARL|0|0|-|-|250|-|70000|1|-|1|1|1"));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Ditte")).toInt(), 1);

        // Switching a stored Italian module to foreign clears its address.
        pressNav(0);
        click(f->opt[1]);
        QVERIFY(f->slb[4]->Enabled());
        QVERIFY(f->slt[3]->isEmpty());
        QCOMPARE(f->cmbCom->Value().toInt(), 0);
        typeAndLeave(f->cmbNaz, QStringLiteral("AUSTRIA"));
        click(f->slb[4]);
        QCOMPARE(scalar(row(11)).toString(),
                 QStringLiteral("01234567897|PRIMA SRL|0|0|-|-|40|-|15000|1|381100|2|1|1"));
    }

    // Codes and a surface stored with another type show as stored (no
    // option for the surface) and a save of another change keeps them. A
    // municipality unknown this year, or a country of 0 or below, shows
    // none: the save asks for it, or stores 0 for a country not needed.
    void storedWithAnotherTypeKept_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("asked");
        QTest::newRow("municipality") << "comIstat = '1x'" << "ISTAT 15/1x||1" << QString();
        QTest::newRow("country") << "prvIstat = 0, comIstat = 0, nazID = 2.5" << "|2.5|1" << QString();
        QTest::newRow("surface") << "mdcSup = '1x'" << "MILANO||0" << QString();
        QTest::newRow("municipality unknown") << "prvIstat = 999, comIstat = 1" << "||1"
                                              << "Attenzione, campo comune richiesto.";
        QTest::newRow("negative country") << "prvIstat = 0, comIstat = 0, nazID = -5" << "||1"
                                          << "Attenzione, Paese estero richiesto.";
        QTest::newRow("negative country, Italian") << "nazID = -5" << "MILANO||1" << QString();
        QTest::newRow("country the list lacks") << "prvIstat = 0, comIstat = 0, nazID = 77" << "||1"
                                                << "Attenzione, Paese estero richiesto.";
        QTest::newRow("country the list lacks, Italian") << "nazID = 77" << "MILANO||1" << QString();
    }
    void storedWithAnotherTypeKept()
    {
        QFETCH(QString, change);
        QFETCH(QString, asked);
        ModRT *f = open(QString::fromUtf8(threeModules) + "UPDATE ModCons SET " + change + " WHERE mdcID = 14;");
        QVERIFY(f);
        QTEST(f->cmbCom->Text() + '|' + f->cmbNaz->Text() + '|' + QString::number(f->optSup[0]->isChecked()), "shown");
        const QString before = scalar(row(14)).toString();
        typeAndLeave(f->slt[7], QStringLiteral("4"));
        click(f->slb[4]);
        QCOMPARE(askedTexts(), asked.isEmpty() ? QStringList() : QStringList{asked});
        QCOMPARE(scalar(row(14)).toString(), asked.isEmpty()
                     ? QString(before).replace(QStringLiteral("|35000|"), "|40000|").replace(QRegularExpression("\\|(-5|77)\\|"), "|0|") : before);
    }

    void codiceFiscaleSelectsOrStartsAModule_data()
    {
        QTest::addColumn<bool>("changeFirst");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("label");
        const QString dup = QStringLiteral("Esiste già un modulo estero con questo codice fiscale,\n"
                                           "vuoi inserirne uno di nuovo?");
        const QString save = QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?");
        QTest::newRow("another module: shown") << false << "12345678903" << QList<int>{vbNo} << QStringList{dup}
                                               << "SECONDA SNC" << "12345678903" << "Modulo 2 di 3";
        QTest::newRow("another module: a second one")
            << false << "12345678903" << QList<int>{vbYes} << QStringList{dup} << "" << "12345678903"
            << "Nuovo modulo";
        QTest::newRow("changes kept by Cancel")
            << true << "12345678903" << QList<int>{vbCancel} << QStringList{save} << "CAMBIATA"
            << "11111111115" << "Modulo 3 di 3";
        QTest::newRow("changes dropped by No")
            << true << "12345678903" << QList<int>{vbNo, vbNo} << QStringList{save, dup} << "SECONDA SNC"
            << "12345678903" << "Modulo 2 di 3";
        QTest::newRow("wrong check character declined")
            << false << "12345678901" << QList<int>{vbNo}
            << QStringList{QStringLiteral("Attenzione, codice fiscale errato,\nconfermi codice digiato?")}
            << "TERZA SAS" << "12345678901" << "Modulo 3 di 3";
    }
    void codiceFiscaleSelectsOrStartsAModule()
    {
        QFETCH(bool, changeFirst);
        QFETCH(QString, typed);
        QFETCH(QList<int>, answers);
        ModRT *f = open(QString::fromUtf8(threeModules));
        QVERIFY(f);
        if (changeFirst)
            typeAndLeave(f->slt[1], QStringLiteral("CAMBIATA"));
        for (int answer : answers)
            MessageBoxSeam::pushAnswer(answer);
        typeAndLeave(f->slt[0], typed);
        QTEST(askedTexts(), "asked");
        QTEST(f->slt[1]->Text(), "shown");
        QTEST(f->slt[0]->Text(), "code");
        QTEST(f->nav->label()->Caption(), "label");
        // The module shown before keeps its own code and name.
        QCOMPARE(scalar(QStringLiteral("SELECT codFisc || ragSoc FROM ModCons WHERE mdcID = 14")).toString(),
                 QStringLiteral("11111111115TERZA SAS"));
        QCOMPARE(f->slb[4]->Enabled(), f->slt[1]->Text() == QLatin1String("CAMBIATA"));
    }

    // A new module started for a company the registry lacks, its name typed,
    // then another code: Yes stores it under the code it was started for,
    // the registry learns that company under that code alone, and the code
    // typed opens its own module.
    void anotherCodeOverANewModule()
    {
        ModRT *f = open();
        QVERIFY(f);
        typeAndLeave(f->slt[0], QStringLiteral("01234567897"));
        typeAndLeave(f->slt[1], QStringLiteral("PRIMA DITTA"));
        typeAndLeave(f->slt[8], QStringLiteral("381100"));
        typeAndLeave(f->cmbCom, QStringLiteral("ROMA"));
        typeAndLeave(f->slt[3], QStringLiteral("VIA UNO"));
        typeAndLeave(f->slt[7], QStringLiteral("5"));
        askedTexts();
        MessageBoxSeam::pushAnswer(vbYes);
        typeAndLeave(f->slt[0], QStringLiteral("00743110157"));
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?")});
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(codFisc || ':' || ragSoc) FROM ModCons")).toString(),
                 QStringLiteral("01234567897:PRIMA DITTA"));
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(codFisc || ':' || ragSoc, ',') FROM "
                                       "(SELECT * FROM Ditte ORDER BY codFisc)")).toString(),
                 QStringLiteral("00743110157:ARCO SPA,01234567897:PRIMA DITTA"));
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Nuovo modulo"));
        QCOMPARE(f->slt[0]->Text() + ':' + f->slt[1]->Text(), QStringLiteral("00743110157:ARCO SPA"));
        QVERIFY(!f->slb[4]->Enabled());
    }

    void refusedItemsKeepTheModuleOnScreen()
    {
        ModRT *f = open(QString::fromUtf8(threeModules));
        QVERIFY(f);
        // A name emptied is refused once, then taken: a change to save.
        typeAndLeave(f->slt[1], QString());
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, campo nome o ragione sociale richiesto.")});
        QVERIFY(!f->slb[4]->Enabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(f->slb[4]->Enabled());
        // An activity code missing from the table is refused at every exit.
        for (int i = 0; i < 2; ++i) {
            typeAndLeave(f->slt[8], QStringLiteral("999999"));
            QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, codice Istat Attività errato.")});
            QCOMPARE(QApplication::focusWidget(), f->slt[8]->textBox());
        }
        typeAndLeave(f->slt[8], QString());
        typeAndLeave(f->slt[1], QStringLiteral("TERZA SAS BIS"));
        askedTexts();
        click(f->slb[4]);
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione codice attività economica richiesto.")});
        QCOMPARE(QApplication::focusWidget(), f->slt[8]->textBox());
        QCOMPARE(scalar(QStringLiteral("SELECT mdcAtt FROM ModCons WHERE mdcID = 14")).toString(),
                 QStringLiteral("381100"));

        // A postal code of the wrong length is refused at every exit.
        for (int i = 0; i < 2; ++i) {
            typeAndLeave(f->slt[5], QStringLiteral("2012"));
            QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, C.A.P. digitato formalmente errato.")});
        }
        // Nor at a close, before any question.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, C.A.P. digitato formalmente errato.")});
        QVERIFY(form());
        QCOMPARE(QApplication::focusWidget(), f->slt[5]->textBox());
        QCOMPARE(scalar(QStringLiteral("SELECT cap FROM ModCons WHERE mdcID = 14")).toString(), QStringLiteral("20121"));
        typeAndLeave(f->slt[5], QStringLiteral("20122"));
        typeAndLeave(f->slt[8], QStringLiteral("381100"));
        // Closing with a quantity of 0: the save is refused and the form stays.
        typeAndLeave(f->slt[7], QStringLiteral("0"));
        askedTexts();
        MessageBoxSeam::pushAnswer(vbYes);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(askedTexts(), (QStringList{QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?"),
                                            QStringLiteral("Attenzione, quantità richiesta.")}));
        QVERIFY(form());
        QVERIFY(!sheet()->isEnabled());
        typeAndLeave(f->slt[7], QStringLiteral("1"));
        MessageBoxSeam::pushAnswer(vbYes);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!form());
        QCOMPARE(scalar(QStringLiteral("SELECT cap || mdcQta FROM ModCons WHERE mdcID = 14")).toString(),
                 QStringLiteral("2012210000"));
        QCOMPARE(scalar(QStringLiteral("SELECT ragSoc FROM ModCons WHERE mdcID = 14")).toString(),
                 QStringLiteral("TERZA SAS BIS"));
        QVERIFY(sheet()->isEnabled());
    }

    void moduleListChoosesAnotherModule()
    {
        ModRT *f = open(QString::fromUtf8(threeModules)
                        + QStringLiteral("INSERT INTO ModCons (mdcID, scID, mdcTipo, nazID, mdcQta) "
                                         "VALUES (15, 1, 1, 40, 10000);"));
        QVERIFY(f);
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Modulo 4 di 4"));
        typeAndLeave(f->slt[7], QStringLiteral("2"));
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *list = qobject_cast<listMod *>(dialog);
            QVERIFY(list);
            QCOMPARE(list->windowTitle(), QStringLiteral("Lista dei moduli UO-CONS"));
            QCOMPARE(list->lv->topLevelItemCount(), 4);
            QCOMPARE(list->lv->topLevelItem(3)->text(1), QStringLiteral("*** Privati ***"));
            list->lv->setCurrentItem(list->lv->topLevelItem(0));
            list->tbb_Click(0);
        });
        MessageBoxSeam::pushAnswer(vbNo);
        click(f->slb[0]);
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?")});
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("PRIMA SRL"));
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Modulo 1 di 4"));
        QCOMPARE(modMain::gMain->focusWidget(), f->slt[0]->textBox());
        QCOMPARE(scalar(QStringLiteral("SELECT mdcQta FROM ModCons WHERE mdcID = 15")).toInt(), 10000);
        pressNav(2);
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("SECONDA SNC"));
    }
};

QTEST_MAIN(tst_ModRT)
#include "tst_ModRT.moc"

