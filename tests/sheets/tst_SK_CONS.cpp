#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "Currency.h"
#include "DatabaseProbe.h"
#include "MainWindowTestCase.h"
#include "PickerForm.h"
#include "MessageBoxSeam.h"
#include "SK_CONS.h"
#include "TestSupport.h"
#include "comboKgt.h"
#include "hNav.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "tbButton.h"

using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {
const char *const wasteCodes =
    "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES "
    "('150000', 'RIFIUTI DI IMBALLAGGIO', NULL), ('150100', 'imballaggi', NULL),"
    "('150101', 'imballaggi di carta e cartone', NULL), ('150102', 'imballaggi di plastica', NULL),"
    "('150104', 'imballaggi metallici', NULL), ('150107', 'imballaggi di vetro', NULL),"
    "('150110', 'imballaggi contenenti sostanze pericolose', 'P');\n";

// Declaration 7 holds three sheets in code order 150101, 150102 (id 5,
// also the remembered one), 150104 (aluminium); declaration 8 holds one.
const char *const sheets =
    "INSERT INTO SezCons (scID, saID, rifCod, scQta, scUmi, ferroQta, ferroUmi, scAll) VALUES "
    "(4, 7, '150104', 20000, 2, 0, 1, 1), (5, 7, '150102', 1234560, 1, 25000, 2, 0),"
    "(6, 7, '150101', 10000, 1, 0, 1, 0), (9, 8, '150107', 10000, 1, 0, 1, 0);\n"
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc) VALUES (1, 5, 1, '00743110157'),"
    "(2, 5, 2, '00743110157'), (3, 6, 2, '00743110157');\n"
    "INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta) VALUES (2, 1, 'R3', 10000), (3, 1, 'R4', 10000);\n";

}

// The consortia sheet of a declaration: opening on the remembered sheet,
// entering codes and quantities, the duplicate question, saving exactly,
// deleting with the modules, and the database refusing a save.
class tst_SK_CONS : public MainWindowTestCase
{
    Q_OBJECT

    SK_CONS *open(const QString &rows, int consID = 0)
    {
        const QString ini = QStringLiteral("[Kez]\nSa1ID=7\nConsID=%1\n").arg(consID);
        if (!startProgram(ShellFixture::lookupRows() + QString::fromUtf8(wasteCodes) + rows, ini))
            return nullptr;
        modMain::gMain->resize(1000, 700);
        modMain::gMain->show();
        modMain::gMain->activateWindow();
        if (!QTest::qWaitForWindowActive(modMain::gMain))
            return nullptr;
        modMain::gMain->vBar1_Click(2, false);
        auto *sheet = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
        QCoreApplication::processEvents();
        return sheet;
    }

    // Types text into the field and leaves it with Tab, unless a full
    // field already moved on by itself.
    static void enter(slxText *field, const QString &text)
    {
        field->setFocus();
        field->SelectAll();
        int checks = 0;
        const QMetaObject::Connection counting =
            QObject::connect(field, &slxText::Validate, field, [&checks](bool &) { ++checks; });
        TestSupport::typeText(field, text);
        QCoreApplication::processEvents();
        QObject::disconnect(counting);
        if (checks == 0)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
    }

    static QString probe(const QString &sql)
    {
        DatabaseProbe db;
        db.open(modMain::gKez->Path() + QStringLiteral("Kez22imb.db"), true);
        return db.column(sql).join(QLatin1Char(','));
    }

    static QString shown(SK_CONS *sheet)
    {
        return sheet->slt[0]->Text() + QLatin1Char('|') + sheet->slt[1]->Text() + QLatin1Char('|')
               + QString::number(sheet->nav->Value()) + QLatin1Char('/') + QString::number(sheet->nav->Max());
    }

private Q_SLOTS:
    void opening_data()
    {
        QTest::addColumn<int>("consID");
        QTest::addColumn<QString>("expected");
        QTest::newRow("remembered sheet") << 5 << "150102|imballaggi di plastica|2/3";
        QTest::newRow("sheet of another declaration") << 9 << "150104|imballaggi metallici|3/3";
        QTest::newRow("nothing remembered") << 0 << "150104|imballaggi metallici|3/3";
    }

    void opening()
    {
        QFETCH(int, consID);
        QFETCH(QString, expected);
        SK_CONS *sheet = open(QString::fromUtf8(sheets), consID);
        QVERIFY(sheet);
        QCOMPARE(modMain::currentForm, 2);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Scheda CONS"));
        QCOMPARE(shown(sheet), expected);
        QCOMPARE(modMain::gKez->consID, sheet->idScheda());
        QVERIFY(!sheet->slb[3]->Enabled());
        for (int i : {5, 6, 7})
            QVERIFY(sheet->slb[i]->Enabled());
        // The aluminium box follows the code only; elsewhere it keeps its value.
        QCOMPARE(sheet->chkAll->isEnabled(), sheet->slt[0]->Text() == QLatin1String("150104"));
        QCOMPARE(sheet->chkAll->isChecked(), sheet->slt[0]->Text() == QLatin1String("150104"));
        QWidget *window = sheet->parentWidget();
        QCOMPARE(window->geometry(), QRect(QPoint(0, 0), modMain::gMain->mdiArea()->viewport()->size()));
        QCOMPARE(sheet->slb[2]->geometry().right(), sheet->width() - 5);
        if (consID == 5) {
            QCOMPARE(sheet->slt[2]->Text(), QStringLiteral("123,456"));
            QCOMPARE(sheet->kgt[3]->Value(), 2);
            TestSupport::grab(window, QStringLiteral("SK_CONS"));
        }
    }

    void emptyDeclaration()
    {
        SK_CONS *sheet = open(QString());
        QVERIFY(sheet);
        QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Nuova scheda CONS"));
        QCOMPARE(sheet->slt[0]->Text(), QString());
        for (int i = 2; i <= 9; ++i) {
            QVERIFY(sheet->slt[i]->isEmpty());
            QCOMPARE(sheet->kgt[i]->Value(), 1);
        }
        QVERIFY(!sheet->chkAll->isChecked() && !sheet->chkAll->isEnabled());
        for (int i : {3, 5, 6, 7})
            QVERIFY(!sheet->slb[i]->Enabled());
        sheet->slb_Click(0);
        QVERIFY(sheet->isEnabled());
        QCOMPARE(modMain::modoApertura, 0);
    }

    void newSheetSavedExactly()
    {
        SK_CONS *sheet = open(QString());
        enter(sheet->slt[0], QStringLiteral("150104"));
        QCOMPARE(sheet->slt[1]->Text(), QStringLiteral("imballaggi metallici"));
        QVERIFY(sheet->chkAll->isEnabled());
        enter(sheet->slt[2], QStringLiteral("9999999,999"));
        enter(sheet->slt[5], QStringLiteral("0,001"));
        enter(sheet->slt[9], QStringLiteral("1234,5"));
        sheet->kgt[2]->setValue(2);
        sheet->chkAll->click();
        QVERIFY(sheet->slb[3]->Enabled());
        sheet->slb_Click(3);
        QCOMPARE(TestSupport::takeMessages(), QStringList());
        QCOMPARE(probe(QStringLiteral("SELECT saID || ' ' || rifCod || ' ' || scQta || ' ' || scUmi || ' ' || "
                                      "alluminioQta || ' ' || altroQta || ' ' || scAll FROM SezCons")),
                 QStringLiteral("7 150104 99999999990 2 10 12345000 1"));
        QCOMPARE(shown(sheet), QStringLiteral("150104|imballaggi metallici|1/1"));
        QCOMPARE(modMain::gKez->consID, sheet->idScheda());
        QVERIFY(sheet->idScheda() > 0);
        QVERIFY(!sheet->slb[3]->Enabled() && sheet->slb[6]->Enabled());

        // Opened again, the sheet reads back what was typed, to the digit.
        sheet->slb_Click(2);
        modMain::gMain->vBar1_Click(2, false);
        sheet = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
        QVERIFY(sheet);
        QCOMPARE(sheet->slt[2]->Text(), QStringLiteral("9.999.999,999"));
        QCOMPARE(sheet->slt[5]->Text(), QStringLiteral("0,001"));
        QCOMPARE(sheet->kgt[2]->Value(), 2);
        QVERIFY(sheet->chkAll->isChecked());
    }

    void codeEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("asked");
        const QString dup = QStringLiteral("Attenzione, scheda CONS già presente,\nvuoi inserirne una nuova?");
        QTest::newRow("unknown code") << "170101" << QList<int>() << "170101|imballaggi di plastica|2/3"
                                      << QStringList{"Attenzione, codice rifiuto non trovato: 170101"};
        QTest::newRow("filtered code") << "150100" << QList<int>() << "150100|imballaggi di plastica|2/3"
                                       << QStringList{"Attenzione, codice rifiuto non selezionabile: 150100"};
        QTest::newRow("new code") << "150107" << QList<int>() << "150107|imballaggi di vetro|3/3"
                                  << QStringList();
        QTest::newRow("duplicate, No shows it") << "150101" << QList<int>{vbNo}
                                                << "150101|imballaggi di carta e cartone|1/3" << QStringList{dup};
        QTest::newRow("duplicate, Yes starts another")
            << "150101" << QList<int>{vbYes} << "150101|imballaggi di carta e cartone|3/3" << QStringList{dup};
    }

    void codeEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, answers);
        QFETCH(QString, expected);
        QFETCH(QStringList, asked);
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        for (int answer : answers)
            MessageBoxSeam::pushAnswer(answer);
        enter(sheet->slt[0], typed);
        QCOMPARE(TestSupport::takeMessages(), asked);
        QCOMPARE(shown(sheet), expected);
        const bool refused = typed == QLatin1String("170101") || typed == QLatin1String("150100");
        const bool fresh = expected.endsWith(QLatin1String("3/3")) && !refused;
        if (refused) {
            // The refused code is checked again on every exit: it never
            // reaches a save.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(TestSupport::takeMessages(), asked);
            QCOMPARE(sheet->idScheda(), 5);
        }
        if (fresh) {
            QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Nuova scheda CONS"));
            QCOMPARE(sheet->idScheda(), 0);
            QVERIFY(!sheet->slb[5]->Enabled() && !sheet->slb[6]->Enabled());
            // The navigator and the sheets move together from the new sheet.
            QTest::mouseClick(sheet->nav->button(1), Qt::LeftButton, {}, sheet->nav->button(1)->rect().center());
            QCOMPARE(shown(sheet), QStringLiteral("150102|imballaggi di plastica|2/3"));
        }
    }

    void secondSheetForACode()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        MessageBoxSeam::pushAnswer(vbYes);
        enter(sheet->slt[0], QStringLiteral("150101"));
        enter(sheet->slt[2], QStringLiteral("3"));
        // A total of 0 is refused at the save, the sheet stays modified.
        sheet->slt[2]->setValue(0);
        sheet->slb_Click(3);
        QCOMPARE(TestSupport::takeMessages().last(), QStringLiteral("Attenzione, quantità richiesta."));
        QVERIFY(sheet->slb[3]->Enabled());
        enter(sheet->slt[2], QStringLiteral("3"));
        sheet->slb_Click(3);
        QCOMPARE(shown(sheet), QStringLiteral("150101|imballaggi di carta e cartone|4/4"));
        QCOMPARE(probe(QStringLiteral("SELECT rifCod || ':' || scQta FROM SezCons WHERE saID = 7 ORDER BY rifCod, scID")),
                 QStringLiteral("150101:10000,150101:30000,150102:1234560,150104:20000"));
    }

    void leavingAChangedSheet_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Cancel puts the old code back") << int(MessageBoxSeam::vbCancel)
                                                       << "150102|imballaggi di plastica|2/3" << "1234560";
        QTest::newRow("Yes saves, then the new code") << int(vbYes) << "150107|imballaggi di vetro|3/3" << "70000";
        QTest::newRow("No drops the change") << int(vbNo) << "150107|imballaggi di vetro|3/3" << "1234560";
    }

    void leavingAChangedSheet()
    {
        QFETCH(int, answer);
        QFETCH(QString, expected);
        QFETCH(QString, stored);
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        enter(sheet->slt[2], QStringLiteral("7"));
        QVERIFY(sheet->slb[3]->Enabled());
        MessageBoxSeam::pushAnswer(answer);
        enter(sheet->slt[0], QStringLiteral("150107"));
        QCOMPARE(TestSupport::takeMessages(), QStringList{SheetFrame::promptModificata()});
        QCOMPARE(shown(sheet), expected);
        QCOMPARE(probe(QStringLiteral("SELECT scQta FROM SezCons WHERE scID = 5")), stored);
        if (answer == MessageBoxSeam::vbCancel)
            QVERIFY(sheet->slb[3]->Enabled());
    }

    void unitChangeMarksModified()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        QComboBox *box = sheet->kgt[4]->comboBox();
        sheet->kgt[4]->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(sheet->slb[3]->Enabled());
        sheet->slb_Click(3);
        QCOMPARE(probe(QStringLiteral("SELECT vetroUmi || ' ' || vetroQta FROM SezCons WHERE scID = 5")),
                 QStringLiteral("2 0"));
    }

    void deleting_data()
    {
        QTest::addColumn<int>("consID");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("left");
        QTest::newRow("middle: the next takes its place") << 5 << "150104|imballaggi metallici|2/2" << "4,6|3|R4";
        QTest::newRow("last: the one before") << 4 << "150102|imballaggi di plastica|2/2" << "5,6|1,2,3|R3,R4";
        QTest::newRow("first") << 6 << "150102|imballaggi di plastica|1/2" << "4,5|1,2|R3";
    }

    void deleting()
    {
        QFETCH(int, consID);
        QFETCH(QString, expected);
        QFETCH(QString, left);
        SK_CONS *sheet = open(QString::fromUtf8(sheets), consID);
        MessageBoxSeam::pushAnswer(vbNo);
        sheet->slb_Click(5);
        QCOMPARE(TestSupport::takeMessages(), QStringList{"Elimino scheda CONS e ralitivi moduli\nsei sicuro?"});
        QCOMPARE(sheet->idScheda(), consID);
        MessageBoxSeam::pushAnswer(vbYes);
        sheet->slb_Click(5);
        QCOMPARE(shown(sheet), expected);
        QCOMPARE(probe(QStringLiteral("SELECT scID FROM SezCons WHERE saID = 7 ORDER BY scID")) + QLatin1Char('|')
                     + probe(QStringLiteral("SELECT mdcID FROM ModCons ORDER BY mdcID")) + QLatin1Char('|')
                     + probe(QStringLiteral("SELECT Codice FROM RecDrCons ORDER BY Codice")),
                 left);
    }

    void deletingTheOnlySheet()
    {
        SK_CONS *sheet = open(QStringLiteral("INSERT INTO SezCons (scID, saID, rifCod, scQta) VALUES (3, 7, '150107', 10000);"));
        MessageBoxSeam::pushAnswer(vbYes);
        sheet->slb_Click(5);
        QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Nuova scheda CONS"));
        QCOMPARE(sheet->slt[0]->Text(), QString());
        QCOMPARE(modMain::gKez->consID, 0);
        QCOMPARE(probe(QStringLiteral("SELECT COUNT(*) FROM SezCons WHERE saID = 7")), QStringLiteral("0"));
    }

    void missingCodeHasNoDescription()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets)
                                  + QStringLiteral("INSERT INTO SezCons (scID, saID, rifCod, scQta) VALUES (12, 7, '999999', 10000);"),
                              4);
        QCOMPARE(shown(sheet), QStringLiteral("150104|imballaggi metallici|3/4"));
        QTest::mouseClick(sheet->nav->button(2), Qt::LeftButton, {}, sheet->nav->button(2)->rect().center());
        QCOMPARE(shown(sheet), QStringLiteral("999999||4/4"));
    }

    void databaseRefusesTheSave()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets)
                                  + QStringLiteral("CREATE TRIGGER full BEFORE INSERT ON SezCons "
                                                   "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END;"),
                              5);
        enter(sheet->slt[0], QStringLiteral("150107"));
        enter(sheet->slt[2], QStringLiteral("12,5"));
        sheet->slb_Click(3);
        const QList<MessageBoxSeam::Asked> asked = MessageBoxSeam::asked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().style, 16);
        QVERIFY(asked.first().text.contains(QLatin1String("disco pieno")));
        MessageBoxSeam::clearAsked();
        QCOMPARE(shown(sheet), QStringLiteral("150107|imballaggi di vetro|3/3"));
        QCOMPARE(sheet->slt[2]->Text(), QStringLiteral("12,500"));
        QVERIFY(sheet->slb[3]->Enabled());
        QCOMPARE(sheet->idScheda(), 0);
        QCOMPARE(probe(QStringLiteral("SELECT COUNT(*) FROM SezCons WHERE saID = 7")), QStringLiteral("3"));
        // The sheet still works: moving away asks about the unsaved sheet.
        MessageBoxSeam::pushAnswer(vbNo);
        QTest::mouseClick(sheet->nav->button(0), Qt::LeftButton, {}, sheet->nav->button(0)->rect().center());
        QCOMPARE(shown(sheet), QStringLiteral("150101|imballaggi di carta e cartone|1/3"));
    }
};

QTEST_MAIN(tst_SK_CONS)
#include "tst_SK_CONS.moc"
