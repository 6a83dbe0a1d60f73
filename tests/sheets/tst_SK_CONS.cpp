#include <QCheckBox>
#include <QComboBox>
#include <QMdiArea>
#include <QTreeWidget>
#include <QtTest>

#include "SaveFaults.h"
#include "DatabaseProbe.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "PickerForm.h"
#include "SK_CONS.h"
#include "TestSupport.h"
#include "comboKgt.h"
#include "hNav.h"
#include "kezClass.h"
#include "listRif.h"
#include "mainForm.h"
#include "modMain.h"
#include "rifTree.h"
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
// deleting with the modules, the child windows below it, and the
// database refusing a save.
class tst_SK_CONS : public MainWindowTestCase
{
    Q_OBJECT

    SK_CONS *open(const QString &rows, int consID = 0)
    {
        const QString ini = QStringLiteral("[Kez]\nSa1ID=7\nConsID=%1\n").arg(consID);
        if (!startProgram(ShellFixture::lookupRows() + QString::fromUtf8(wasteCodes) + rows, ini))
            return nullptr;
        if (!showMainWindow(QSize(1000, 700)))
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

    void click(hNav *nav, int button)
    {
        QTest::mouseClick(nav->button(button), Qt::LeftButton, {}, nav->button(button)->rect().center());
    }

private Q_SLOTS:
    void opening_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("consID");
        QTest::addColumn<QString>("expected");
        const QString all = QString::fromUtf8(sheets);
        QTest::newRow("remembered sheet") << all << 5 << "150102|imballaggi di plastica|2/3";
        QTest::newRow("sheet of another declaration") << all << 9 << "150104|imballaggi metallici|3/3";
        QTest::newRow("nothing remembered") << all << 0 << "150104|imballaggi metallici|3/3";
        QTest::newRow("no sheets") << QString() << 5 << "||0/0";
    }

    void opening()
    {
        QFETCH(QString, rows);
        QFETCH(int, consID);
        QFETCH(QString, expected);
        SK_CONS *sheet = open(rows, consID);
        QVERIFY(sheet);
        QCOMPARE(modMain::currentForm, 2);
        QCOMPARE(shown(sheet), expected);
        const bool stored = !rows.isEmpty();
        QCOMPARE(modMain::gKez->consID, stored ? sheet->idScheda() : consID);
        QVERIFY(!sheet->slb[3]->Enabled());
        for (int i : {5, 6, 7})
            QCOMPARE(sheet->slb[i]->Enabled(), stored);
        // The aluminium box follows the code only; elsewhere it keeps its value.
        const bool aluminium = sheet->slt[0]->Text() == QLatin1String("150104");
        QCOMPARE(sheet->chkAll->isEnabled(), aluminium);
        QCOMPARE(sheet->chkAll->isChecked(), aluminium);
        QCOMPARE(sheet->parentWidget()->geometry(),
                 QRect(QPoint(0, 0), modMain::gMain->mdiArea()->viewport()->size()));
        QCOMPARE(sheet->slb[2]->geometry().right(), sheet->width() - 5);
        if (!stored) {
            QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Nuova scheda CONS"));
            for (int i = 2; i <= 9; ++i)
                QVERIFY(sheet->slt[i]->isEmpty() && sheet->kgt[i]->Value() == 1);
            // Fewer than two sheets: the list button does nothing.
            sheet->slb_Click(0);
            QVERIFY(sheet->isEnabled());
        } else if (consID == 5) {
            QCOMPARE(sheet->slt[2]->Text(), QStringLiteral("123,456"));
            QCOMPARE(sheet->kgt[3]->Value(), 2);
            TestSupport::grab(sheet->parentWidget(), QStringLiteral("SK_CONS"));
        }
    }

    void newSheetSavedExactly()
    {
        SK_CONS *sheet = open(QString());
        enter(sheet->slt[0], QStringLiteral("150104"));
        QCOMPARE(sheet->slt[1]->Text(), QStringLiteral("imballaggi metallici"));
        // The code accepted, the total is next.
        QVERIFY(sheet->slt[2]->isAncestorOf(QApplication::focusWidget()));
        enter(sheet->slt[2], QStringLiteral("9999999,999"));
        enter(sheet->slt[5], QStringLiteral("0,001"));
        enter(sheet->slt[9], QStringLiteral("1234,5"));
        sheet->kgt[2]->setValue(2);
        sheet->chkAll->click();
        sheet->slb_Click(3);
        QCOMPARE(TestSupport::takeMessages(), QStringList());
        QCOMPARE(probe(QStringLiteral("SELECT saID || ' ' || rifCod || ' ' || scQta || ' ' || scUmi || ' ' || "
                                      "alluminioQta || ' ' || altroQta || ' ' || scAll FROM SezCons")),
                 QStringLiteral("7 150104 99999999990 2 10 12345000 1"));
        QCOMPARE(shown(sheet), QStringLiteral("150104|imballaggi metallici|1/1"));
        QVERIFY(sheet->idScheda() > 0 && modMain::gKez->consID == sheet->idScheda());
        QVERIFY(!sheet->slb[3]->Enabled() && sheet->slb[6]->Enabled());

        // Opened again, the sheet reads back what was typed, to the digit.
        sheet->slb_Click(2);
        modMain::gMain->vBar1_Click(2, false);
        sheet = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
        QVERIFY(sheet);
        QCOMPARE(sheet->slt[2]->Text(), QStringLiteral("9.999.999,999"));
        QCOMPARE(sheet->slt[5]->Text(), QStringLiteral("0,001"));
        QVERIFY(sheet->kgt[2]->Value() == 2 && sheet->chkAll->isChecked());
    }

    void codeEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("asked");
        const QString dup = QStringLiteral("Attenzione, scheda CONS già presente,\nvuoi inserirne una nuova?");
        QTest::newRow("unknown code") << "170101" << 0 << "170101|imballaggi di plastica|2/3"
                                      << "Attenzione, codice rifiuto non trovato: 170101";
        QTest::newRow("filtered code") << "150100" << 0 << "150100|imballaggi di plastica|2/3"
                                       << "Attenzione, codice rifiuto non selezionabile: 150100";
        QTest::newRow("new code") << "150107" << 0 << "150107|imballaggi di vetro|3/3" << "";
        QTest::newRow("duplicate, No shows it") << "150101" << int(vbNo)
                                                << "150101|imballaggi di carta e cartone|1/3" << dup;
        QTest::newRow("duplicate, Yes starts another")
            << "150101" << int(vbYes) << "150101|imballaggi di carta e cartone|3/3" << dup;
    }

    void codeEntry()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, expected);
        QFETCH(QString, asked);
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        if (answer)
            MessageBoxSeam::pushAnswer(answer);
        enter(sheet->slt[0], typed);
        QCOMPARE(TestSupport::takeMessages().join(QString()), asked);
        QCOMPARE(shown(sheet), expected);
        if (sheet->idScheda() == 5) {
            // A refused code is checked again on every exit: it never reaches a save.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(TestSupport::takeMessages().join(QString()), asked);
            return;
        }
        if (sheet->idScheda() != 0)
            return;
        QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Nuova scheda CONS"));
        QVERIFY(!sheet->slb[5]->Enabled() && !sheet->slb[6]->Enabled());
        // The empty total, next in line, is reported once; then the
        // navigator and the sheets move together from the new sheet.
        click(sheet->nav, 1);
        QCOMPARE(TestSupport::takeMessages(), QStringList{"Attenzione, quantità richiesta."});
        click(sheet->nav, 1);
        QCOMPARE(shown(sheet), QStringLiteral("150102|imballaggi di plastica|2/3"));
        if (answer != vbYes)
            return;
        // Two sheets for one code: a total of 0 is refused, then saved.
        MessageBoxSeam::pushAnswer(vbYes);
        enter(sheet->slt[0], typed);
        sheet->slb_Click(3);
        QCOMPARE(TestSupport::takeMessages().last(), QStringLiteral("Attenzione, quantità richiesta."));
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
        QTest::newRow("Cancel puts the old code back")
            << int(MessageBoxSeam::vbCancel) << "150102|imballaggi di plastica|2/3" << "1 1234560";
        QTest::newRow("Yes saves, then the new code") << int(vbYes) << "150107|imballaggi di vetro|3/3" << "2 1234560";
        QTest::newRow("No drops the change") << int(vbNo) << "150107|imballaggi di vetro|3/3" << "1 1234560";
    }

    void leavingAChangedSheet()
    {
        QFETCH(int, answer);
        QFETCH(QString, expected);
        QFETCH(QString, stored);
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        // Only the unit changes: the sheet is modified, nothing is converted.
        sheet->kgt[2]->setFocus();
        QTest::keyClick(sheet->kgt[2]->comboBox(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(sheet->slb[3]->Enabled());
        MessageBoxSeam::pushAnswer(answer);
        enter(sheet->slt[0], QStringLiteral("150107"));
        QCOMPARE(TestSupport::takeMessages(), QStringList{SheetFrame::promptModificata()});
        QCOMPARE(shown(sheet), expected);
        QCOMPARE(probe(QStringLiteral("SELECT scUmi || ' ' || scQta FROM SezCons WHERE scID = 5")), stored);
        QCOMPARE(sheet->slb[3]->Enabled(), answer == MessageBoxSeam::vbCancel);
    }

    // Values stored with another type show as stored (no unit for a unit
    // that is none) and a save of another change leaves them as they are.
    void storedWithAnotherTypeKept()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets) + "UPDATE SezCons SET cartaQta = 'abc', scUmi = 1.5, "
                                                          "scAll = 'x' WHERE scID = 5;", 5);
        QCOMPARE(sheet->slt[6]->Text(), QStringLiteral("abc"));
        QCOMPARE(sheet->kgt[2]->Text(), QString());
        QCOMPARE(sheet->chkAll->checkState(), Qt::PartiallyChecked);
        enter(sheet->slt[3], QStringLiteral("3"));
        sheet->slb_Click(3);
        QCOMPARE(TestSupport::takeMessages(), QStringList());
        QCOMPARE(probe(QStringLiteral("SELECT cartaQta || ' ' || scUmi || ' ' || ferroQta || ' ' || scAll FROM SezCons "
                                      "WHERE scID = 5")),
                 QStringLiteral("abc 1.5 30000 x"));
    }

    void newSheetKeepsItsCode()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        enter(sheet->slt[0], QStringLiteral("150107"));
        enter(sheet->slt[2], QStringLiteral("7"));
        // Another code typed over the filled new sheet: saved under its own code.
        MessageBoxSeam::pushAnswer(vbYes);
        MessageBoxSeam::pushAnswer(vbNo);
        enter(sheet->slt[0], QStringLiteral("150101"));
        QCOMPARE(TestSupport::takeMessages().size(), 2);
        QCOMPARE(probe(QStringLiteral("SELECT rifCod || ':' || scQta FROM SezCons WHERE saID = 7 ORDER BY rifCod, scID")),
                 QStringLiteral("150101:10000,150102:1234560,150104:20000,150107:70000"));
        QCOMPARE(shown(sheet), QStringLiteral("150101|imballaggi di carta e cartone|1/4"));
    }

    void deleting_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("consID");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("left");
        const QString all = QString::fromUtf8(sheets);
        QTest::newRow("middle: the next takes its place") << all << 5 << "150104|imballaggi metallici|2/2" << "4,6|3|R4";
        QTest::newRow("last: the one before") << all << 4 << "150102|imballaggi di plastica|2/2" << "5,6|1,2,3|R3,R4";
        QTest::newRow("first") << all << 6 << "150102|imballaggi di plastica|1/2" << "4,5|1,2|R3";
        QTest::newRow("only sheet: a new one")
            << "INSERT INTO SezCons (scID, saID, rifCod, scQta) VALUES (3, 7, '150107', 10000);" << 3 << "||1/0" << "||";
    }

    void deleting()
    {
        QFETCH(QString, rows);
        QFETCH(int, consID);
        QFETCH(QString, expected);
        QFETCH(QString, left);
        SK_CONS *sheet = open(rows, consID);
        MessageBoxSeam::pushAnswer(vbNo);
        sheet->slb_Click(5);
        QCOMPARE(TestSupport::takeMessages(), QStringList{"Elimino scheda CONS e ralitivi moduli\nsei sicuro?"});
        QCOMPARE(sheet->idScheda(), consID);
        MessageBoxSeam::pushAnswer(vbYes);
        sheet->slb_Click(5);
        QCOMPARE(shown(sheet), expected);
        QCOMPARE(modMain::gKez->consID, sheet->idScheda());
        QCOMPARE(probe(QStringLiteral("SELECT scID FROM SezCons WHERE saID = 7 ORDER BY scID")) + QLatin1Char('|')
                     + probe(QStringLiteral("SELECT mdcID FROM ModCons ORDER BY mdcID")) + QLatin1Char('|')
                     + probe(QStringLiteral("SELECT Codice FROM RecDrCons ORDER BY Codice")),
                 left);
    }

    void childWindows_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("afterwards");
        QTest::newRow("waste-code tree, a code chosen") << 1 << 92 << "150107|imballaggi di vetro|3/3";
        QTest::newRow("sheet list, another sheet chosen") << 0 << 82 << "150104|imballaggi metallici|3/3";
        QTest::newRow("origin modules") << 6 << 31 << "150102|imballaggi di plastica|2/3";
        QTest::newRow("destination modules") << 7 << 32 << "150102|imballaggi di plastica|2/3";
    }

    void childWindows()
    {
        QFETCH(int, button);
        QFETCH(int, mode);
        QFETCH(QString, afterwards);
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        QWidget *window = sheet->parentWidget();
        const QRect full = window->geometry();
        sheet->slb_Click(button);
        QPointer<QWidget> child = sheet->childWindow();
        QVERIFY(child);
        QCoreApplication::processEvents();
        QCOMPARE(modMain::modoApertura, mode);
        QVERIFY(!sheet->isEnabled());
        // Only the band above the totals stays in view, the child fills the rest.
        QCOMPARE(window->height(), sheet->altezzaRidotta());
        QCOMPARE(sheet->height(), sheet->sll[2]->y());
        const int top = window->geometry().bottom() + 1;
        QCOMPARE(child->parentWidget()->geometry(), QRect(0, top, full.width(), full.height() - top));
        TestSupport::grab(modMain::gMain->mdiArea(), QStringLiteral("SK_CONS_%1").arg(mode));
        // A wider main window widens both; the sheet keeps its band height.
        modMain::gMain->resize(modMain::gMain->width() + 100, modMain::gMain->height());
        QCoreApplication::processEvents();
        const QSize client = modMain::gMain->mdiArea()->viewport()->size();
        QCOMPARE(window->geometry(), QRect(0, 0, client.width(), sheet->altezzaRidotta()));
        QCOMPARE(child->parentWidget()->geometry(), QRect(0, top, client.width(), client.height() - top));
        const QRect restored(QPoint(0, 0), client);

        if (auto *tree = qobject_cast<rifTree *>(child)) {
            const QList<QTreeWidgetItem *> found =
                tree->tv->findItems(QStringLiteral("07 - imballaggi di vetro"), Qt::MatchExactly | Qt::MatchRecursive);
            QCOMPARE(found.size(), 1);
            tree->tv->setCurrentItem(found.first());
            tree->tv_NodeClick(found.first());
            tree->tbb_Click(0);
        } else if (auto *list = qobject_cast<listRif *>(child)) {
            list->lv->setCurrentItem(list->lv->findItems(QStringLiteral("imballaggi metallici"), Qt::MatchExactly).value(0));
            list->tbb_Click(0);
        } else {
            // The sheet waits for its child: its close box does nothing.
            QVERIFY(!window->close());
            // A changed module asks before Esc closes it.
            static_cast<SheetFrame *>(child.data())->setModificata();
            MessageBoxSeam::pushAnswer(vbNo);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QCOMPARE(TestSupport::takeMessages(), QStringList{SheetFrame::promptModificata()});
        }
        QTRY_VERIFY(child.isNull());
        QTRY_VERIFY(sheet->isEnabled());
        QTRY_COMPARE(window->geometry(), restored);
        QCOMPARE(modMain::modoApertura, 0);
        QCOMPARE(shown(sheet), afterwards);
        QVERIFY(sheet->slb[0]->Enabled() && sheet->slb[1]->Enabled() && sheet->nav->Enabled());
    }

    void missingCodeHasNoDescription()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets)
                                  + QStringLiteral("INSERT INTO SezCons (scID, saID, rifCod, scQta) VALUES (12, 7, '999999', 10000);"),
                              4);
        QCOMPARE(shown(sheet), QStringLiteral("150104|imballaggi metallici|3/4"));
        click(sheet->nav, 2);
        QCOMPARE(shown(sheet), QStringLiteral("999999||4/4"));
    }

    void databaseRefusesTheSave()
    {
        // Added while the file is open: a file with a trigger is refused at open.
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        QVERIFY(sheet && modMain::gDb->Execute(QStringLiteral("CREATE TRIGGER full BEFORE INSERT ON SezCons "
                                                               "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END;")));
        enter(sheet->slt[0], QStringLiteral("150107"));
        enter(sheet->slt[2], QStringLiteral("12,5"));
        sheet->slb_Click(3);
        const QList<MessageBoxSeam::Asked> asked = MessageBoxSeam::asked();
        QVERIFY(asked.size() == 1 && asked.first().style == 16);
        // The user reads the refusal in Italian; SQLite's own words stay
        // with the failure, for the log.
        QCOMPARE(asked.first().text, QStringLiteral("Il dato non è stato accettato dal database.\nKez.Recordset"));
        QVERIFY(ErrInfo::current().Description.endsWith(QLatin1String("Dettaglio: disco pieno")));
        MessageBoxSeam::clearAsked();
        // The sheet keeps what was typed, unsaved, and goes on working.
        QCOMPARE(shown(sheet), QStringLiteral("150107|imballaggi di vetro|3/3"));
        QCOMPARE(sheet->slt[2]->Text(), QStringLiteral("12,500"));
        QVERIFY(sheet->slb[3]->Enabled() && sheet->idScheda() == 0);
        QCOMPARE(probe(QStringLiteral("SELECT COUNT(*) FROM SezCons WHERE saID = 7")), QStringLiteral("3"));
        MessageBoxSeam::pushAnswer(vbNo);
        click(sheet->nav, 0);
        QCOMPARE(shown(sheet), QStringLiteral("150101|imballaggi di carta e cartone|1/3"));
    }

    void savesThroughFaults_data() { SaveFaults::addRows(); }
    void savesThroughFaults()
    {
        SK_CONS *sheet = open(QString::fromUtf8(sheets), 5);
        QVERIFY(sheet);
        SaveFaults::saveThrough(QStringLiteral("SezCons"), [sheet] {
            enter(sheet->slt[2], QStringLiteral("12,5"));
            sheet->slb_Click(3);
        }, [] { return probe(QStringLiteral("SELECT scQta FROM SezCons WHERE scID = 5")); },
                                QStringLiteral("125000"));
    }
};

QTEST_MAIN(tst_SK_CONS)
#include "tst_SK_CONS.moc"
