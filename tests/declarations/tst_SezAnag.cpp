#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

#include "SaveFaults.h"
#include "DatabaseProbe.h"
#include "DialogDriver.h"
#include "listDic.h"
#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "SezAnag.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "Verifica.h"
#include "hNav.h"
#include "kezClass.h"
#include "comboCom.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "tbButton.h"

using modMain::gKez;
using modMain::gModal;
using Box = MessageBoxSeam::Answer;

namespace {
// Two companies of the registry, one with a name that carries an apostrophe,
// and a company with three declarations, the first one exported.
const char *const fixture =
    "INSERT INTO Attivita (attCod, attDesc) VALUES ('011110', 'Coltivazione di cereali');"
    "INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, prefTel, telefono) "
    "VALUES ('01234567897', 'D''ANGELO S.N.C.', 15, 146, 'Via Dante', '4', '20121', '02', '5551'),"
    "('09876543217', 'VERDI SPA', 58, 91, 'Via Roma', '1', '00118', '06', '777');"
    "INSERT INTO SezAnag (saID, saAnno, codFisc, ragSoc, REA, prvIstat, comIstat, via, civico, cap, "
    "attIstat, Addetti, Mesi, slPrvIstat, slComIstat, slVia, saCognome, saNome, saDataComp, ExpID) "
    "VALUES (20, 2021, '05555555555', 'BIANCHI SRL', 11, 15, 146, 'Via Po', '3', '20121', '011110', "
    "5, 12, 15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10', 3),"
    "(21, 2021, '05555555555', 'BIANCHI SRL', 12, 58, 91, 'Via Tevere', NULL, '00118', '011110', 8, "
    "6, 15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10', 0),"
    "(22, 2021, '05555555555', 'BIANCHI SRL', 13, 25, 6, 'Via Piave', '9', '32100', '011110', 2, "
    "12, 15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10', 0);";
}

// The registry sheet as a clerk uses it: the declarations of a company's
// local units, the checks on each field, and the current declaration it
// hands to the rest of the program.
class tst_SezAnag : public MainWindowTestCase
{
    Q_OBJECT

    SezAnag *sheet = nullptr;
    QString dbPath;

    void open(const QString &moreIni = QString(), const QString &extraSql = QString())
    {
        dbPath = fx->folder() + QStringLiteral("Kez22imb.db");
        QVERIFY(startProgram(ShellFixture::lookupRows() + QLatin1String(fixture) + extraSql, moreIni));
        modMain::gMain->vBar1_Click(1, false);
        sheet = modMain::gMain->findChild<SezAnag *>();
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        MessageBoxSeam::clearAsked();
    }
    // Types into a field as the user does (over its text with replace) and leaves it with Tab.
    static void typeAndLeave(QWidget *field, const QString &text, bool replace = false)
    {
        field->setFocus();
        QTRY_VERIFY(field == QApplication::focusWidget() || field->isAncestorOf(QApplication::focusWidget()));
        if (auto *t = qobject_cast<slxText *>(field); t && replace)
            t->SelectAll();
        TestSupport::typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // The values of the text fields, by index, joined with "|".
    QString shown(std::initializer_list<int> fields) const
    {
        QStringList values;
        for (int i : fields)
            values << sheet->slt[i]->Value().toString();
        return values.join(QLatin1Char('|'));
    }
    // What the program knows of the current declaration, the side bar's buttons last.
    static QString published()
    {
        return QStringLiteral("%1|%2|%3|%4").arg(gKez->Sa1ID).arg(gKez->CodiceFiscale,
            modMain::gMain->declarationText(), MainWindowSupport::sideBarStates());
    }
    // The text of the last message box; empty when none was shown since opening.
    static QString lastMessage()
    {
        return MessageBoxSeam::asked().isEmpty() ? QString() : MessageBoxSeam::asked().last().text;
    }
    QVariant stored(const QString &sql) const
    {
        DatabaseProbe probe;
        if (!probe.open(dbPath, true))
            return QVariant();
        return probe.scalar(sql);
    }
    void clickNav(int button)
    {
        tbButton *b = sheet->nav->button(button);
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }
    // The user picks, in the list the sheet opens next, the line whose key
    // (or, with byTag, whose tag) is value.
    static void pick(const QString &value, bool byTag = false)
    {
        DialogDriver::onNextDialog([value, byTag](QWidget *dialog) {
            auto *list = qobject_cast<listBase *>(dialog);
            QVERIFY(list);
            for (int i = 0; i < list->lv->topLevelItemCount(); ++i) {
                QTreeWidgetItem *line = list->lv->topLevelItem(i);
                if ((byTag ? listBase::lineTag(line) : listBase::lineKey(line)) == value)
                    list->lv->setCurrentItem(line);
            }
            list->tbb_Click(0);
        });
    }
    // "Nuova U.L." and what the new unit needs but its street.
    void newUnit()
    {
        sheet->tbb_Click(1);
        QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Nuova unità locale"));
        typeAndLeave(sheet->slt[9], QStringLiteral("011110"));
        typeAndLeave(sheet->slt[10], QStringLiteral("3"));
        // Tab goes on from the municipality to the street, which is left
        // to the test.
        typeAndLeave(sheet->cmbCom[0], QStringLiteral("ROMA"));
    }
    // Fills what a new declaration needs beyond the registry's prefill.
    void completeNewDeclaration()
    {
        typeAndLeave(sheet->slt[9], QStringLiteral("011110"));
        typeAndLeave(sheet->slt[10], QStringLiteral("4"));
        typeAndLeave(sheet->slt[18], QStringLiteral("ROSSI"));
        typeAndLeave(sheet->slt[19], QStringLiteral("MARIO"));
    }

private Q_SLOTS:
    void firstDeclarationSecondUnitAndDeleteBackToEmpty()
    {
        open();
        QCOMPARE(modMain::currentForm, 1);
        QCOMPARE(sheet->sll[1]->Caption(), QStringLiteral("Anno di dichiarazione: 2021"));
        // No current declaration: a blank new one, nothing published.
        QCOMPARE(sheet->nav->Caption(), QStringLiteral("Nuova dichiarazione"));
        QVERIFY(!sheet->tbb[1]->Enabled() && !sheet->tbb[2]->Enabled() && !sheet->tbb[3]->Enabled());
        QCOMPARE(published(), QStringLiteral("0|||1000001"));
        TestSupport::grab(sheet->parentWidget(), QStringLiteral("SezAnag-new"));

        // A company of the registry prefills the sheet; its apostrophe is no trouble.
        typeAndLeave(sheet->slt[0], QStringLiteral("01234567897"));
        QCOMPARE(shown({1, 3, 7, 11}), QStringLiteral("D'ANGELO S.N.C.|MI|02|12"));
        completeNewDeclaration();
        sheet->Salva_Click();
        QVERIFY(!sheet->modificata());
        const int first = sheet->saIDCorrente();
        // Stored as typed, nothing added to the company registry.
        QCOMPARE(stored(QStringLiteral("SELECT ragSoc || '/' || codFisc || '/' || saAnno || '/' || ExpID || '/' || "
                                       "Mesi || '/' || (SELECT COUNT(*) FROM Ditte) FROM SezAnag WHERE saID = %1")
                            .arg(first)).toString(),
                 QStringLiteral("D'ANGELO S.N.C./01234567897/2021/0/12/2"));
        QCOMPARE(published(), QStringLiteral("%1|01234567897|D'ANGELO S.N.C. - U. L.: Via Dante 4 MILANO (MI)|1111111")
                                  .arg(first));

        // A second local unit keeps the company and its registered office.
        sheet->tbb_Click(1);
        QCOMPARE(sheet->nav->Caption(), QStringLiteral("Nuova unità locale"));
        typeAndLeave(sheet->cmbCom[0], QStringLiteral("ROMA"));
        QCOMPARE(shown({1, 4, 6, 13}), QStringLiteral("D'ANGELO S.N.C.||00118|Via Dante"));
        typeAndLeave(sheet->slt[4], QStringLiteral("VIA APPIA"));
        typeAndLeave(sheet->slt[9], QStringLiteral("011110"));
        typeAndLeave(sheet->slt[10], QStringLiteral("2"));
        sheet->Salva_Click();
        const int second = sheet->saIDCorrente();
        QCOMPARE(sheet->nav->Max(), 2);
        QCOMPARE(sheet->nav->Value(), 2);
        QCOMPARE(gKez->Sa1ID, second);
        TestSupport::grab(modMain::gMain, QStringLiteral("SezAnag-second-unit"));

        // Navigation shows each unit and publishes it.
        clickNav(0);
        QCOMPARE(sheet->saIDCorrente(), first);
        QCOMPARE(gKez->Sa1ID, first);

        // Deleting the first shows the next at the same place; deleting the
        // only one left gives a blank sheet and no current declaration.
        MessageBoxSeam::pushAnswer(Box::vbYes);
        sheet->tbb_Click(3);
        QCOMPARE(sheet->saIDCorrente(), second);
        QCOMPARE(sheet->nav->Value(), 1);
        QCOMPARE(sheet->nav->Max(), 1);
        MessageBoxSeam::pushAnswer(Box::vbNo);
        sheet->tbb_Click(3);
        QCOMPARE(sheet->saIDCorrente(), second);
        QCOMPARE(lastMessage(), QStringLiteral("Elimino dichiarazione corrente\nsei sicuro?"));
        MessageBoxSeam::pushAnswer(Box::vbYes);
        sheet->tbb_Click(3);
        QCOMPARE(sheet->saIDCorrente(), 0);
        QCOMPARE(published(), QStringLiteral("0|||1000001"));
        QCOMPARE(stored(QStringLiteral("SELECT COUNT(*) FROM SezAnag WHERE codFisc = '01234567897'")).toInt(), 0);
    }

    void opensOnTheCurrentDeclarationAndPublishesMoves()
    {
        open(QStringLiteral("[Kez]\nSa1ID=21\nRifID=5\n"));
        QCOMPARE(sheet->saIDCorrente(), 21);
        QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Unità locale 2 di 3"));
        // Already current: only the status text is written again.
        QCOMPARE(gKez->RifID, 5);
        // The separators stay where the house number is missing.
        QCOMPARE(modMain::gMain->declarationText(), QStringLiteral("BIANCHI SRL - U. L.: Via Tevere  ROMA (RM)"));
        QVERIFY(!sheet->chk[0]->isChecked() && !sheet->chk[0]->isEnabled());
        clickNav(2);
        QCOMPARE(sheet->saIDCorrente(), 22);
        QCOMPARE(gKez->Sa1ID, 22);
        QCOMPARE(gKez->RifID, 0);
        QCOMPARE(sheet->slt[3]->Value().toString(), QStringLiteral("BL"));
        QVERIFY(!sheet->modificata());
        // Another declaration chosen in this year's list.
        pick(QStringLiteral("K20"));
        sheet->tbb_Click(6);
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(sheet->saIDCorrente(), 20);
        QCOMPARE(sheet->nav->Value(), 1);
        QCOMPARE(gKez->Sa1ID, 20);
        QVERIFY(sheet->chk[0]->isChecked() && sheet->chk[0]->isEnabled());
        // An activity code from its list marks the sheet modified.
        pick(QStringLiteral("10.11"), true);
        sheet->tbb_Click(8);
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(sheet->slt[9]->Value().toString(), QStringLiteral("10.11"));
        QVERIFY(sheet->modificata());
    }

    void fieldChecks_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("stays");
        // Left again unchanged: "" refused again, or the column and the value
        // stored by the save it leads to (a refused save keeps the old one).
        QTest::addColumn<QString>("taken");
        QTest::newRow("99 employees") << 10 << "99" << 0 << "" << false << "";
        QTest::newRow("100 employees, back") << 10 << "100" << int(Box::vbYes) << "Attenzione, verificare numero addetti." << true << "Addetti=100";
        QTest::newRow("100 employees, kept") << 10 << "100" << int(Box::vbNo) << "Attenzione, verificare numero addetti." << false << "";
        QTest::newRow("0 months") << 11 << "0" << 0 << "Attenzione, mesi di attività errati." << true << "Mesi=12";
        QTest::newRow("13 months") << 11 << "13" << 0 << "Attenzione, mesi di attività errati." << true << "";
        QTest::newRow("1 month") << 11 << "1" << 0 << "" << false << "";
        QTest::newRow("short postal code") << 6 << "2012" << 0 << "Attenzione, C.A.P. digitato formalmente errato." << true << "cap=2012";
        QTest::newRow("short office postal code") << 15 << "201" << 0 << "Attenzione, C.A.P. digitato formalmente errato." << true << "slCAP=201";
        QTest::newRow("unknown activity") << 9 << "999999" << 0 << "Attenzione, codice Istat Attività errato." << true << "";
        QTest::newRow("date of another year") << 20 << "01012021" << int(Box::vbYes) << "Attenzione, verificare la data della dichiarazione." << true << "saDataComp=2021-01-01";
        QTest::newRow("date of this year") << 20 << "01022022" << 0 << "" << false << "";
        QTest::newRow("malformed code") << 0 << "123" << 0 << "Attenzione, campo codice fiscale formalmente errato!" << true << "";
    }
    void fieldChecks()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(bool, stays);
        open(QStringLiteral("[Kez]\nSa1ID=20\n"));
        if (answer)
            MessageBoxSeam::pushAnswer(answer);
        typeAndLeave(sheet->slt[field], typed, true);
        QCOMPARE(lastMessage(), message);
        QCOMPARE(sheet->slt[field]->isAncestorOf(QApplication::focusWidget()), stays);
        QCOMPARE(sheet->modificata(), !stays && field != 0);
        QFETCH(QString, taken);
        if (!stays)
            return;
        // A value warned about once is taken as a change to save.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(sheet->slt[field]->isAncestorOf(QApplication::focusWidget()), taken.isEmpty());
        QCOMPARE(sheet->modificata(), !taken.isEmpty());
        if (taken.isEmpty())
            return;
        QTest::mouseClick(sheet->Salva, Qt::LeftButton);
        const QStringList column = taken.split(QLatin1Char('='));
        QCOMPARE(stored(QStringLiteral("SELECT %1 FROM SezAnag WHERE saID = 20").arg(column[0])).toString(), column[1]);
    }

    void saveChecks_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("no name") << "name" << "Attenzione, nome o ragione sociale richiesto.";
        QTest::newRow("no municipality") << "municipality" << "Attenzione, comune unità locale richiesto.";
        QTest::newRow("no months") << "months" << "Attenzione, numero mesi di attività richiesto.";
        QTest::newRow("no surname") << "surname" << "Attenzione, campo cognome legale rappresentante richiesto.";
        QTest::newRow("cancels, no date") << "cancels" << "Attenzione, data precedente dichiarazione da annullare richiesta.";
        QTest::newRow("cancels a later one") << "cancels 11" << "Attenzione, data precedente dichiarazione > data dichiarazione.";
        QTest::newRow("cancels the same day") << "cancels 10" << "";
        QTest::newRow("export mark cleared") << "exported" << "";
    }
    void saveChecks()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        open(QStringLiteral("[Kez]\nSa1ID=20\n"));
        QWidget *focus = nullptr;
        if (change == QLatin1String("name"))
            focus = sheet->slt[1], sheet->slt[1]->setValue(QVariant());
        else if (change == QLatin1String("municipality"))
            focus = sheet->cmbCom[0], sheet->cmbCom[0]->setValue(0);
        else if (change == QLatin1String("months"))
            focus = sheet->slt[11], sheet->slt[11]->setValue(0);
        else if (change == QLatin1String("surname"))
            focus = sheet->slt[18], sheet->slt[18]->setValue(QVariant());
        else if (change == QLatin1String("exported"))
            QTest::mouseClick(sheet->chk[0], Qt::LeftButton, {}, QPoint(sheet->chk[0]->width() - 6, 8));
        else {
            focus = sheet->slt[21];
            QTest::mouseClick(sheet->chk[1], Qt::LeftButton, {}, QPoint(6, sheet->chk[1]->height() / 2));
            QVERIFY(sheet->slt[21]->Enabled());
            if (change.size() > 8)
                sheet->slt[21]->setValue(QDate(2022, 1, change.mid(8).toInt()));
        }
        const bool refused = sheet->salvaScheda();
        QCOMPARE(lastMessage(), message);
        QCOMPARE(refused, !message.isEmpty());
        if (refused)
            QVERIFY(focus == QApplication::focusWidget() || focus->isAncestorOf(QApplication::focusWidget()));
        // A stored row keeps its code and year; the export mark goes only when cleared.
        QCOMPARE(stored(QStringLiteral("SELECT codFisc || saAnno || ' ' || saAnnulla || ' ' || ExpID || ' ' || "
                                       "ifnull(saDataPrec, '') FROM SezAnag WHERE saID = 20")).toString(),
                 refused ? QStringLiteral("055555555552021 0 3 ")
                 : change == QLatin1String("exported") ? QStringLiteral("055555555552021 0 0 ")
                                                       : QStringLiteral("055555555552021 -1 3 2022-01-10"));
    }

    // A municipality and flags stored with another type show as stored (a
    // flag neither ticked nor clear) and a save of another change keeps them.
    void storedWithAnotherTypeKept_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("shown");
        QTest::newRow("municipality") << "comIstat = '1x'" << "ISTAT 15/1x|2|0";
        // The export mark stands for any value but 0.
        QTest::newRow("flags") << "ExpID = 'x', saAnnulla = 0.5" << "MILANO|2|1";
        QTest::newRow("0 and a no-break space") << "ExpID = '0' || char(160)" << "MILANO|2|0";
        QTest::newRow("ideographic space and 0") << "ExpID = char(12288) || '0'" << "MILANO|2|0";
        QTest::newRow("blob") << "ExpID = X'30'" << "MILANO|2|0";
    }
    void storedWithAnotherTypeKept()
    {
        QFETCH(QString, change);
        open(QStringLiteral("[Kez]\nSa1ID=20\n"), "UPDATE SezAnag SET " + change + " WHERE saID = 20;");
        QTEST(QStringLiteral("%1|%2|%3").arg(sheet->cmbCom[0]->Text()).arg(sheet->chk[0]->checkState())
                  .arg(sheet->chk[1]->checkState()), "shown");
        QCOMPARE(Verifica::dichiarazioni(Verifica::Una, 20, false).isEmpty(), sheet->chk[0]->isChecked());
        const QString kept = QStringLiteral("SELECT comIstat || ' ' || ExpID || ' ' || saAnnulla FROM SezAnag "
                                            "WHERE saID = 20");
        const QString before = stored(kept).toString();
        typeAndLeave(sheet->slt[8], QStringLiteral("7"), true);
        QVERIFY(!sheet->salvaScheda());
        QCOMPARE(stored(kept).toString(), before);
    }

    // Typing another company's code on a modified sheet: the question, and
    // a new local unit stored under the company it was started for.
    void anotherCodeOnAModifiedSheet_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("onNewUnit");
        QTest::newRow("cancel") << int(Box::vbCancel) << false;
        QTest::newRow("no") << int(Box::vbNo) << false;
        QTest::newRow("yes") << int(Box::vbYes) << false;
        QTest::newRow("yes, new unit") << int(Box::vbYes) << true;
    }
    void anotherCodeOnAModifiedSheet()
    {
        QFETCH(int, answer);
        QFETCH(bool, onNewUnit);
        open(QStringLiteral("[Kez]\nSa1ID=22\n"));
        if (onNewUnit) {
            newUnit();
        }
        typeAndLeave(sheet->slt[4], QStringLiteral("VIA NUOVA"), true);
        MessageBoxSeam::pushAnswer(answer);
        typeAndLeave(sheet->slt[0], QStringLiteral("09876543217"), true);
        QCOMPARE(lastMessage(), QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
        const QString via = stored(QStringLiteral("SELECT group_concat(via, '/') FROM (SELECT via FROM SezAnag "
                                                  "WHERE codFisc = '05555555555' ORDER BY saID)")).toString();
        // The registry sheet never writes the company registry.
        QCOMPARE(stored(QStringLiteral("SELECT group_concat(codFisc || ragSoc) FROM Ditte")).toString(),
                 QStringLiteral("01234567897D'ANGELO S.N.C.,09876543217VERDI SPA"));
        if (answer == Box::vbCancel) {
            // The sheet's own code is back over it; typing the other again asks again.
            QVERIFY(sheet->slt[0]->isAncestorOf(QApplication::focusWidget()));
            QCOMPARE(sheet->slt[0]->Text(), QStringLiteral("05555555555"));
            QCOMPARE(sheet->saIDCorrente(), 22);
            QVERIFY(sheet->modificata());
            QCOMPARE(via, QStringLiteral("Via Po/Via Tevere/Via Piave"));
            MessageBoxSeam::clearAsked();
            MessageBoxSeam::pushAnswer(answer);
            typeAndLeave(sheet->slt[0], QStringLiteral("09876543217"), true);
            QCOMPARE(lastMessage(), QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
            return;
        }
        QCOMPARE(via, answer == Box::vbNo ? QStringLiteral("Via Po/Via Tevere/Via Piave")
                      : onNewUnit           ? QStringLiteral("Via Po/Via Tevere/Via Piave/VIA NUOVA")
                                          : QStringLiteral("Via Po/Via Tevere/VIA NUOVA"));
        QCOMPARE(stored(QStringLiteral("SELECT COUNT(*) FROM SezAnag WHERE codFisc = '09876543217'")).toInt(), 0);
        // The typed company starts its own declaration, from the registry.
        QCOMPARE(sheet->codFiscCorrente(), QStringLiteral("09876543217"));
        QCOMPARE(sheet->saIDCorrente(), 0);
        QCOMPARE(sheet->slt[1]->Value().toString(), QStringLiteral("VERDI SPA"));
        QCOMPARE(gKez->CodiceFiscale, QStringLiteral("05555555555"));
    }

    // A blank sheet filled first and given its code last takes that code:
    // Yes stores it at once, among the company's declarations; after Cancel
    // the code stays as the sheet's own and the next save stores it.
    void blankSheetGivenItsCodeLast_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Box::vbYes);
        QTest::newRow("cancel, then save") << int(Box::vbCancel);
    }
    void blankSheetGivenItsCodeLast()
    {
        QFETCH(int, answer);
        open();
        typeAndLeave(sheet->slt[1], QStringLiteral("BIANCHI SRL"));
        typeAndLeave(sheet->cmbCom[0], QStringLiteral("ROMA"));
        typeAndLeave(sheet->slt[4], QStringLiteral("VIA NOMENTANA"));
        completeNewDeclaration();
        QTest::mouseClick(sheet->labCopy, Qt::LeftButton);
        MessageBoxSeam::clearAsked();
        MessageBoxSeam::pushAnswer(answer);
        typeAndLeave(sheet->slt[0], QStringLiteral("05555555555"));
        QCOMPARE(lastMessage(), QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
        if (answer == Box::vbCancel) {
            TestSupport::grab(sheet, QStringLiteral("SezAnag-blank-code-kept"));
            QCOMPARE(sheet->slt[0]->Text(), QStringLiteral("05555555555"));
            QVERIFY(sheet->slt[0]->isAncestorOf(QApplication::focusWidget()));
            QCOMPARE(stored(QStringLiteral("SELECT COUNT(*) FROM SezAnag WHERE codFisc = '05555555555'")).toInt(), 3);
            MessageBoxSeam::clearAsked();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::mouseClick(sheet->Salva, Qt::LeftButton);
            QCOMPARE(lastMessage(), QString());
        }
        QVERIFY(!sheet->modificata());
        QCOMPARE(stored(QStringLiteral("SELECT codFisc || '|' || ragSoc || '|' || via || '|' || slVia FROM SezAnag "
                                       "WHERE saID = %1").arg(sheet->saIDCorrente())).toString(),
                 QStringLiteral("05555555555|BIANCHI SRL|VIA NOMENTANA|VIA NOMENTANA"));
        // The sheet now stands among the company's declarations, published.
        QCOMPARE(sheet->nav->label()->Caption(), QStringLiteral("Unità locale 4 di 4"));
        QCOMPARE(sheet->slt[0]->Text(), QStringLiteral("05555555555"));
        QCOMPARE(gKez->CodiceFiscale, QStringLiteral("05555555555"));
        QCOMPARE(gKez->Sa1ID, sheet->saIDCorrente());
        QCOMPARE(stored(QStringLiteral("SELECT COUNT(*) FROM Ditte")).toInt(), 2);
    }

    // A new unit saved through the navigator's question: the sheet stays on
    // the saved row or moves from it.
    void blankSheetSavedFromTheNavigator_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("position");
        QTest::newRow("next") << 2 << 4;
        QTest::newRow("last") << 3 << 4;
        QTest::newRow("previous") << 1 << 3;
        QTest::newRow("first") << 0 << 1;
    }
    void blankSheetSavedFromTheNavigator()
    {
        QFETCH(int, button);
        QFETCH(int, position);
        open(QStringLiteral("[Kez]\nSa1ID=21\n"));
        newUnit();
        typeAndLeave(sheet->slt[4], QStringLiteral("VIA MARE"));
        MessageBoxSeam::pushAnswer(Box::vbYes);
        clickNav(button);
        QCOMPARE(lastMessage(), QStringLiteral("Attenzione, anagrafica modificata, vuoi salvarla?"));
        QCOMPARE(sheet->nav->Max(), 4);
        QCOMPARE(sheet->nav->Value(), position);
        QCOMPARE(sheet->slt[4]->Value().toString(), position == 4 ? QStringLiteral("VIA MARE")
                                                    : position == 3 ? QStringLiteral("Via Piave")
                                                                    : QStringLiteral("Via Po"));
        QCOMPARE(gKez->Sa1ID, sheet->saIDCorrente());
        QVERIFY(!sheet->modificata());
        // The sheet gone, the INI names its declaration for the next start.
        const QString current = QStringLiteral("Sa1ID=%1").arg(gKez->Sa1ID);
        sheet->tbb_Click(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(fx->readIni().contains(current));
    }

    void copyFromThePreviousYear()
    {
        const QString old = fx->folder() + QStringLiteral("Kez21imb.db");
        fx->createDatabase(QStringLiteral("Kez21imb.db"), QStringLiteral(
            "INSERT INTO SezAnag (saID, codFisc, ragSoc, REA, prvIstat, comIstat, via, cap, prefTel, "
            "telefono, attIstat, Addetti, Mesi, slPrvIstat, slComIstat, slVia, slPrefTel, saCognome, "
            "saNome, saDataComp, ExpID) VALUES (5, '05555555555', 'BIANCHI SRL', 77, 999, 1, 'Via Po', "
            "'20121', '03421', '123', '011110', 6, 3, 15, 999, 'Via Po', '02123', 'BIANCHI', 'ANNA', "
            "'2021-02-01', 9);"));
        open(QStringLiteral("kez2020=%1\n").arg(old));
        QVERIFY(sheet->tbb[2]->Enabled());

        // On a new declaration the local unit's address goes to the office.
        typeAndLeave(sheet->slt[0], QStringLiteral("02222222222"));
        QVERIFY(sheet->slt[1]->isEmpty() && sheet->labCopy->isVisible());
        typeAndLeave(sheet->slt[1], QStringLiteral("NERI SNC"));
        typeAndLeave(sheet->cmbCom[0], QStringLiteral("ROMA"));
        typeAndLeave(sheet->slt[4], QStringLiteral("VIA LATINA"));
        QTest::mouseClick(sheet->labCopy, Qt::LeftButton);
        QCOMPARE(sheet->cmbCom[1]->Text(), QStringLiteral("ROMA"));
        QCOMPARE(shown({12, 13, 15}), QStringLiteral("RM|VIA LATINA|00118"));

        // Chosen in last year's list, the question about the sheet after: the
        // company, units and people; this year's months and date; prefixes whole.
        pick(QStringLiteral("K5"));
        MessageBoxSeam::pushAnswer(Box::vbNo);
        sheet->tbb_Click(2);
        QVERIFY(DialogDriver::allRan());
        QVERIFY(TestSupport::activate(modMain::gMain));
        QCOMPARE(lastMessage(), QStringLiteral("Attenzione, anagrafica modificata, vuoi salvarla?"));
        QCOMPARE(sheet->saIDCorrente(), 0);
        QVERIFY(sheet->modificata() && !sheet->labCopy->isVisible());
        QCOMPARE(shown({0, 7, 16, 11, 12}), QStringLiteral("05555555555|03421|02123|12|"));
        QCOMPARE(sheet->slt[20]->Value().toDate(), QDate::currentDate());
        // The navigator counts the copied company's units.
        QCOMPARE(sheet->nav->Max(), 3);
        // Municipalities this year's table lacks leave their pickers and
        // provinces empty: the save asks for each and stores nothing.
        QCOMPARE(sheet->cmbCom[0]->Text() + sheet->cmbCom[1]->Text() + shown({3, 12}), QStringLiteral("|"));
        const QString count = QStringLiteral("SELECT count(*) FROM SezAnag");
        const QVariant before = stored(count);
        QVERIFY(sheet->salvaScheda());
        QCOMPARE(lastMessage(), QStringLiteral("Attenzione, comune unità locale richiesto."));
        typeAndLeave(sheet->cmbCom[0], QStringLiteral("ROMA"));
        QVERIFY(sheet->salvaScheda());
        QCOMPARE(lastMessage(), QStringLiteral("Attenzione, comune sede legale richiesto."));
        QCOMPARE(stored(count), before);
        typeAndLeave(sheet->cmbCom[1], QStringLiteral("MILANO"));
        QVERIFY(!sheet->salvaScheda());
        QCOMPARE(sheet->nav->Value(), 4);
        QCOMPARE(stored(QStringLiteral("SELECT codFisc || ' ' || prefTel || ' ' || slPrefTel || ' ' || Mesi || ' ' || "
                                       "ExpID FROM SezAnag WHERE saID = %1").arg(sheet->saIDCorrente())).toString(),
                 QStringLiteral("05555555555 03421 02123 12 0"));
        clickNav(0);
        QCOMPARE(sheet->saIDCorrente(), 20);

        // A declaration no longer there leaves a blank sheet, silently.
        const int asked = MessageBoxSeam::asked().size();
        gModal->Key = 99;
        sheet->copiaAnnoPrec();
        QCOMPARE(MessageBoxSeam::asked().size(), asked);
        QVERIFY(sheet->saIDCorrente() == 0 && sheet->slt[1]->isEmpty() && !sheet->modificata());
    }

    // The database refuses: the user is told, the sheet keeps what was typed.
    void databaseRefusals_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("update") << "UPDATE";
        QTest::newRow("insert") << "INSERT";
        QTest::newRow("delete") << "DELETE";
    }
    void databaseRefusals()
    {
        QFETCH(QString, action);
        // Added while the file is open: a file with a trigger is refused at open.
        open(QStringLiteral("[Kez]\nSa1ID=20\n"));
        QVERIFY(modMain::gDb->Execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON SezAnag BEGIN SELECT RAISE(ABORT, 'archivio bloccato'); END;")
                .arg(action)));
        if (action == QLatin1String("DELETE")) {
            MessageBoxSeam::pushAnswer(Box::vbYes);
            sheet->tbb_Click(3);
        } else {
            if (action == QLatin1String("INSERT")) {
                newUnit();
            }
            typeAndLeave(sheet->slt[4], QStringLiteral("VIA BLOCCATA"), true);
            QVERIFY(sheet->salvaScheda());
            QVERIFY(sheet->modificata());
            QCOMPARE(sheet->slt[4]->Value().toString(), QStringLiteral("VIA BLOCCATA"));
        }
        QCOMPARE(MessageBoxSeam::asked().last().style, 16);
        QVERIFY(ErrInfo::current().Description.contains(QStringLiteral("archivio bloccato")));
        QCOMPARE(sheet->saIDCorrente(), action == QLatin1String("INSERT") ? 0 : 20);
        QCOMPARE(sheet->nav->Max(), 3);
        QCOMPARE(stored(QStringLiteral("SELECT COUNT(*) || via FROM SezAnag WHERE codFisc = '05555555555'")).toString(),
                 QStringLiteral("3Via Po"));
        QCOMPARE(gKez->Sa1ID, 20);
    }

    void deletingADeclarationTakesItsSections()
    {
        open(QStringLiteral("[Kez]\nSa1ID=20\n"), QStringLiteral(
            "INSERT INTO SezCons (scID, saID, rifCod) VALUES (1, 20, '150101'), (2, 21, '150102');"
            "INSERT INTO ModCons (mdcID, scID, mdcTipo) VALUES (1, 1, 2), (2, 2, 1);"
            "INSERT INTO RecDrCons (mdcID, Codice) VALUES (1, 'R3');"
            "INSERT INTO skMat (skmID, saID) VALUES (1, 20); INSERT INTO RecMat (skmID) VALUES (1);"
            "INSERT INTO skSbop (saID) VALUES (20); INSERT INTO RecRiu (saID) VALUES (20);"
            "INSERT INTO RecTip (saID) VALUES (20);"));
        MessageBoxSeam::pushAnswer(Box::vbYes);
        sheet->tbb_Click(3);
        QCOMPARE(sheet->saIDCorrente(), 21);
        QCOMPARE(stored(QStringLiteral(
                     "SELECT (SELECT COUNT(*) FROM SezCons) || (SELECT COUNT(*) FROM ModCons) || "
                     "(SELECT COUNT(*) FROM RecDrCons) || (SELECT COUNT(*) FROM skMat) || (SELECT COUNT(*) FROM RecMat) || "
                     "(SELECT COUNT(*) FROM skSbop) || (SELECT COUNT(*) FROM RecRiu) || (SELECT COUNT(*) FROM RecTip)"))
                     .toString(),
                 QStringLiteral("11000000"));
    }

    void closingAModifiedSheet_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("via");
        // An activity code typed last and refused: the close refuses it again, before any question.
        QTest::addColumn<QString>("activity");
        QTest::newRow("cancel") << int(Box::vbCancel) << false << "Via Po" << "";
        QTest::newRow("no") << int(Box::vbNo) << true << "Via Po" << "";
        QTest::newRow("yes") << int(Box::vbYes) << true << "VIA CHIUSA" << "";
        QTest::newRow("yes, a refused activity") << int(Box::vbYes) << false << "Via Po" << "999999";
    }
    void closingAModifiedSheet()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(QString, via);
        open(QStringLiteral("[Kez]\nSa1ID=20\n"));
        QFETCH(QString, activity);
        typeAndLeave(sheet->slt[4], QStringLiteral("VIA CHIUSA"), true);
        if (!activity.isEmpty())
            typeAndLeave(sheet->slt[9], activity, true);
        QPointer<SezAnag> form = sheet;
        MessageBoxSeam::pushAnswer(answer);
        const int asked = MessageBoxSeam::asked().size();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(MessageBoxSeam::asked().value(asked).text,
                 activity.isEmpty() ? QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?")
                                    : QStringLiteral("Attenzione, codice Istat Attività errato."));
        QCOMPARE(MessageBoxSeam::asked().size(), asked + 1);
        if (!activity.isEmpty())
            QVERIFY(sheet->slt[9]->isAncestorOf(QApplication::focusWidget()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(form.isNull(), closed);
        QCOMPARE(modMain::currentForm, closed ? 100 : 1);
        QCOMPARE(stored(QStringLiteral("SELECT via FROM SezAnag WHERE saID = 20")).toString(), via);
    }

    void savesThroughFaults_data() { SaveFaults::addRows(); }
    void savesThroughFaults()
    {
        open(QStringLiteral("[Kez]\nSa1ID=20\n"));
        SaveFaults::saveThrough(QStringLiteral("SezAnag"), [this] {
            sheet->slt[11]->setValue(6);
            sheet->salvaScheda();
        }, [this] { return stored(QStringLiteral("SELECT Mesi FROM SezAnag WHERE saID = 20")).toString(); },
        QStringLiteral("6"));
    }
};

QTEST_MAIN(tst_SezAnag)
#include "tst_SezAnag.moc"
