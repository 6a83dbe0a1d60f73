#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "DatabaseProbe.h"
#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "SezAnag.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "dbClass.h"
#include "hNav.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"

using modMain::gDb;
using modMain::gKez;
using modMain::gModal;
using Box = MessageBoxSeam::Answer;

namespace {
// Two companies of the registry, one with a name that carries an apostrophe,
// and a company with two declarations.
const char *const fixture =
    "INSERT INTO Attivita (attCod, attDesc) VALUES ('011110', 'Coltivazione di cereali');"
    "INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, prefTel, telefono) "
    "VALUES ('01234567897', 'D''ANGELO S.N.C.', 15, 146, 'Via Dante', '4', '20121', '02', '5551'),"
    "('09876543217', 'VERDI SPA', 58, 91, 'Via Roma', '1', '00118', '06', '777');"
    "INSERT INTO SezAnag (saID, saAnno, codFisc, ragSoc, REA, prvIstat, comIstat, via, civico, cap, "
    "attIstat, Addetti, Mesi, slPrvIstat, slComIstat, slVia, saCognome, saNome, saDataComp, ExpID) "
    "VALUES (20, 2021, '05555555555', 'BIANCHI SRL', 11, 15, 146, 'Via Po', '3', '20121', '011110', "
    "5, 12, 15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10', 0),"
    "(21, 2021, '05555555555', 'BIANCHI SRL', 12, 58, 91, 'Via Tevere', NULL, '00118', '011110', 8, "
    "6, 15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10', 3),"
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
    static void typeAndLeave(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTRY_VERIFY(field == QApplication::focusWidget() || field->isAncestorOf(QApplication::focusWidget()));
        TestSupport::typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    static void replaceAndLeave(slxText *field, const QString &text)
    {
        field->setFocus();
        QTRY_VERIFY(field->isAncestorOf(QApplication::focusWidget()));
        field->SelectAll();
        TestSupport::typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList lastMessages(int count) const
    {
        QStringList texts;
        for (const auto &a : MessageBoxSeam::asked().mid(qMax(0, MessageBoxSeam::asked().size() - count)))
            texts << a.text;
        return texts;
    }
    QVariant stored(const QString &sql) const
    {
        DatabaseProbe probe;
        if (!probe.open(dbPath, true))
            return QVariant();
        return probe.scalar(sql);
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
        QCOMPARE(sheet->parentWidget()->windowTitle(), QStringLiteral("SA1 - Sezione anagrafica"));
        QCOMPARE(sheet->sll[1]->Caption(), QStringLiteral("Anno di dichiarazione: 2021"));
        // No current declaration: a blank new one, nothing published.
        QCOMPARE(sheet->saIDCorrente(), 0);
        QCOMPARE(sheet->nav->Value(), 0);
        QCOMPARE(sheet->nav->Caption(), QStringLiteral("Nuova dichiarazione"));
        QVERIFY(!sheet->tbb[1]->Enabled() && !sheet->tbb[3]->Enabled() && !sheet->tbb[4]->Enabled());
        QVERIFY(!sheet->tbb[2]->Enabled());
        QCOMPARE(MainWindowSupport::sideBarStates(), QStringLiteral("1000001"));
        TestSupport::grab(sheet->parentWidget(), QStringLiteral("SezAnag-new"));

        // A company of the registry prefills the sheet; its apostrophe is no trouble.
        typeAndLeave(sheet->slt[0], QStringLiteral("01234567897"));
        QCOMPARE(sheet->codFiscCorrente(), QStringLiteral("01234567897"));
        QCOMPARE(sheet->slt[1]->Value().toString(), QStringLiteral("D'ANGELO S.N.C."));
        QCOMPARE(sheet->slt[3]->Value().toString(), QStringLiteral("MI"));
        QCOMPARE(sheet->slt[12]->Value().toString(), QStringLiteral("MI"));
        QCOMPARE(sheet->slt[7]->Value().toString(), QStringLiteral("02"));
        QCOMPARE(sheet->slt[11]->Value().toInt(), 12);
        QVERIFY(!sheet->modificata());
        completeNewDeclaration();
        QVERIFY(sheet->modificata());
        sheet->Salva_Click();
        QVERIFY2(!sheet->modificata(), qPrintable(lastMessages(1).join('|')));
        const int first = sheet->saIDCorrente();
        QVERIFY(first > 22);
        QCOMPARE(stored(QStringLiteral("SELECT ragSoc || '/' || codFisc || '/' || saAnno || '/' || ExpID "
                                       "|| '/' || Mesi FROM SezAnag WHERE saID = %1").arg(first))
                     .toString(),
                 QStringLiteral("D'ANGELO S.N.C./01234567897/2021/0/12"));
        // Nothing is added to the company registry.
        QCOMPARE(stored(QStringLiteral("SELECT COUNT(*) FROM Ditte")).toInt(), 2);
        QCOMPARE(gKez->Sa1ID, first);
        QCOMPARE(gKez->CodiceFiscale, QStringLiteral("01234567897"));
        QCOMPARE(modMain::gMain->declarationText(),
                 QStringLiteral("D'ANGELO S.N.C. - U. L.: Via Dante 4 MILANO (MI)"));
        QVERIFY(fx->readIni().contains(QStringLiteral("Sa1ID=%1").arg(first)));
        QCOMPARE(MainWindowSupport::sideBarStates(), QStringLiteral("1111111"));
        QCOMPARE(sheet->nav->Value(), 1);
        QCOMPARE(sheet->nav->Max(), 1);
        QVERIFY(sheet->tbb[1]->Enabled() && sheet->tbb[3]->Enabled() && sheet->tbb[4]->Enabled());

        // A second local unit keeps the company and its registered office.
        sheet->tbb_Click(1);
        QCOMPARE(sheet->nav->Caption(), QStringLiteral("Nuova unità locale"));
        QCOMPARE(sheet->slt[1]->Value().toString(), QStringLiteral("D'ANGELO S.N.C."));
        QVERIFY(sheet->slt[4]->isEmpty());
        QCOMPARE(sheet->slt[13]->Value().toString(), QStringLiteral("Via Dante"));
        typeAndLeave(sheet->cmbCom[0], QStringLiteral("ROMA"));
        QCOMPARE(sheet->slt[6]->Value().toString(), QStringLiteral("00118"));
        typeAndLeave(sheet->slt[4], QStringLiteral("VIA APPIA"));
        typeAndLeave(sheet->slt[9], QStringLiteral("011110"));
        typeAndLeave(sheet->slt[10], QStringLiteral("2"));
        sheet->Salva_Click();
        const int second = sheet->saIDCorrente();
        QVERIFY(second > first);
        QCOMPARE(sheet->nav->Max(), 2);
        QCOMPARE(sheet->nav->Value(), 2);
        QCOMPARE(gKez->Sa1ID, second);
        TestSupport::grab(modMain::gMain, QStringLiteral("SezAnag-second-unit"));

        // Navigation shows each unit and publishes it.
        sheet->nav->findChildren<QWidget *>();
        bool cancel = false;
        sheet->nav_Click(cancel, 0);
        QVERIFY(!cancel);
        QCOMPARE(sheet->saIDCorrente(), first);
        QCOMPARE(gKez->Sa1ID, first);

        // Deleting the first shows the next at the same place; deleting the
        // only one left gives a blank sheet and no current declaration.
        sheet->nav->setValue(1);
        MessageBoxSeam::pushAnswer(Box::vbYes);
        sheet->tbb_Click(3);
        QCOMPARE(sheet->saIDCorrente(), second);
        QCOMPARE(sheet->nav->Value(), 1);
        QCOMPARE(sheet->nav->Max(), 1);
        MessageBoxSeam::pushAnswer(Box::vbNo);
        sheet->tbb_Click(3);
        QCOMPARE(sheet->saIDCorrente(), second);
        QCOMPARE(MessageBoxSeam::asked().last().text, QStringLiteral("Elimino dichiarazione corrente\nsei sicuro?"));
        MessageBoxSeam::pushAnswer(Box::vbYes);
        sheet->tbb_Click(3);
        QCOMPARE(sheet->saIDCorrente(), 0);
        QCOMPARE(gKez->Sa1ID, 0);
        QCOMPARE(gKez->CodiceFiscale, QString());
        QCOMPARE(modMain::gMain->declarationText(), QString());
        QCOMPARE(MainWindowSupport::sideBarStates(), QStringLiteral("1000001"));
        QCOMPARE(stored(QStringLiteral("SELECT COUNT(*) FROM SezAnag WHERE codFisc = '01234567897'")).toInt(), 0);
    }
};

QTEST_MAIN(tst_SezAnag)
#include "tst_SezAnag.moc"
