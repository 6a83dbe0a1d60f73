#include <QtTest>

#include <memory>

#include <QCheckBox>
#include <QTreeWidget>

#include "Anagrafiche.h"
#include "Connetti.h"
#include "DialogDriver.h"
#include "FileDialogSeam.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "Registra.h"
#include "kezClass.h"
#include "mainForm.h"
#include "slxButton.h"
#include "vBar.h"
#include "Recordset.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"

using modMain::gDb;
using modMain::gModal;

// The dialog launcher's buffers on a real registry: what a sheet finds
// for a codice fiscale or a waste code, and what it adds to the registry.
class tst_modalClass : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void getDittaFillsTheBuffer();
    void getRifiuto();
    void salvaDittaAddsOnlyNewCompanies_data();
    void salvaDittaAddsOnlyNewCompanies();
    void salvaDittaReportsFailure();
    void craftedCodesFindNothing();
    void shortModuleListIsNotOpened();
    void chosenCompanyGoneIsNoChoice();
    void chooserClosedChangesNothing();
    void newFileWithoutUserAsksForIt();
    void registrationWithoutRowDoesNotImport();

private:
    std::unique_ptr<ShellFixture> m_fx;
};

void tst_modalClass::initTestCase()
{
    TestSupport::scriptDialogs();
}

void tst_modalClass::init()
{
    MessageBoxSeam::clearAsked();
    m_fx = std::make_unique<ShellFixture>();
    QVERIFY(m_fx->openDatabase(QStringLiteral(
        "INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, prefTel) "
        "VALUES ('00743110157', 'L''Imballo srl', 15, 146, 'Via Roma', '1', '20121', '02');"
        "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES ('150104', 'imballaggi "
        "metallici', NULL), ('150110', 'imballaggi contaminati', 'P');")));
}

void tst_modalClass::getDittaFillsTheBuffer()
{
    QVERIFY(!gModal->getDitta(QVariant()));
    QVERIFY(!gModal->getDitta(QStringLiteral("")));
    QVERIFY(!gModal->getDitta(QStringLiteral("RSSMRA80A01H501U")));
    QVERIFY(gModal->CodiceFiscale.isNull());

    QVERIFY(gModal->getDitta(QStringLiteral("00743110157")));
    QCOMPARE(gModal->ragioneSociale.toString(), QStringLiteral("L'Imballo srl"));
    QCOMPARE(gModal->istatComune.toInt(), 146);
    QCOMPARE(gModal->prefisso.toString(), QStringLiteral("02"));
    QVERIFY(gModal->telefono.isNull());

    // A failed lookup leaves the buffer as it was.
    QVERIFY(!gModal->getDitta(QStringLiteral("12345678903")));
    QCOMPARE(gModal->CodiceFiscale.toString(), QStringLiteral("00743110157"));
    // The buffer is trusted for the same code, even after the row changed.
    QVERIFY(gDb->Execute(QStringLiteral("DELETE FROM Ditte")));
    QVERIFY(gModal->getDitta(QStringLiteral("00743110157")));
}

void tst_modalClass::getRifiuto()
{
    QVERIFY(gModal->getRifiuto(QStringLiteral("150110")));
    QCOMPARE(gModal->descRifiuto, QStringLiteral("imballaggi contaminati"));
    QVERIFY(gModal->Pericoloso);
    QVERIFY(gModal->getRifiuto(QStringLiteral("150104")));
    QVERIFY(!gModal->Pericoloso);
    QVERIFY(!gModal->getRifiuto(QStringLiteral("999999")));
    QCOMPARE(gModal->codiceRifiuto, QStringLiteral("150104"));
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_modalClass::salvaDittaAddsOnlyNewCompanies_data()
{
    QTest::addColumn<QString>("codFisc");
    QTest::addColumn<int>("completa");
    QTest::addColumn<QString>("ragSoc");     // stored afterwards
    QTest::addColumn<QString>("via");
    QTest::addColumn<QString>("telefono");
    QTest::newRow("existing stays") << "00743110157" << 2 << "L'Imballo srl" << "Via Roma" << "02";
    QTest::newRow("new, name only") << "12345678903" << 0 << "Nuova d'Italia" << "" << "";
    QTest::newRow("new, with address") << "12345678903" << 1 << "Nuova d'Italia" << "Via Po" << "";
    QTest::newRow("new, address and telephone")
        << "12345678903" << 2 << "Nuova d'Italia" << "Via Po" << "06/5551";
}

void tst_modalClass::salvaDittaAddsOnlyNewCompanies()
{
    QFETCH(QString, codFisc);
    QFETCH(int, completa);
    QFETCH(QString, ragSoc);
    QFETCH(QString, via);
    QFETCH(QString, telefono);
    gModal->CodiceFiscale = codFisc;
    gModal->ragioneSociale = QStringLiteral("Nuova d'Italia");
    gModal->istatProvincia = 58;
    gModal->istatComune = 91;
    gModal->via = QStringLiteral("Via Po");
    gModal->civico = QStringLiteral("2");
    gModal->cap = QStringLiteral("00100");
    gModal->prefisso = QStringLiteral("06");
    gModal->telefono = QStringLiteral("5551");
    QVERIFY(gModal->salvaDitta(completa));

    auto rs = gDb->kezRs(QStringLiteral("SELECT * FROM Ditte WHERE codFisc = ?"), {codFisc});
    QCOMPARE(rs->RecordCount(), 1);
    QCOMPARE(rs->value(QStringLiteral("ragSoc")).toString(), ragSoc);
    QCOMPARE(modFunz::nzStr(rs->value(QStringLiteral("via"))), via);
    const QString phone = modFunz::nzStr(rs->value(QStringLiteral("prefTel")))
        + (rs->value(QStringLiteral("telefono")).isNull() ? QString() : "/" + rs->value(QStringLiteral("telefono")).toString());
    QCOMPARE(phone, telefono);
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_modalClass::salvaDittaReportsFailure()
{
    // A company without a code is not added.
    gModal->CodiceFiscale = QVariant();
    gModal->ragioneSociale = QStringLiteral("Senza codice");
    QVERIFY(!gModal->salvaDitta(0));
    QVERIFY(MessageBoxSeam::asked().isEmpty());

    // A registry that refuses the row: the failure is shown and reported.
    QVERIFY(gDb->Execute(QStringLiteral("CREATE TRIGGER noAdd BEFORE INSERT ON Ditte "
                                        "BEGIN SELECT RAISE(ABORT, 'registro bloccato'); END")));
    gModal->CodiceFiscale = QStringLiteral("12345678903");
    QVERIFY(!gModal->salvaDitta(1));
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QVERIFY(ErrInfo::current().Description.contains(QStringLiteral("registro bloccato")));
    auto rs = gDb->kezRs(QStringLiteral("SELECT * FROM Ditte"));
    QCOMPARE(rs->RecordCount(), 1);
}

void tst_modalClass::craftedCodesFindNothing()
{
    const QString crafted = QStringLiteral("x') OR ('1'='1");
    QVERIFY(!gModal->getDitta(crafted));
    QVERIFY(!gModal->getRifiuto(crafted));
    // A name with an apostrophe goes in and comes back as typed.
    gModal->CodiceFiscale = QStringLiteral("DNGLCU80A01H501X");
    gModal->ragioneSociale = QStringLiteral("D'ANGELO");
    QVERIFY(gModal->salvaDitta(0));
    gModal->clearDitta();
    QVERIFY(gModal->ragioneSociale.isNull());
    QVERIFY(gModal->getDitta(QStringLiteral("DNGLCU80A01H501X")));
    QCOMPARE(gModal->ragioneSociale.toString(), QStringLiteral("D'ANGELO"));
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_modalClass::shortModuleListIsNotOpened()
{
    auto rs = gDb->kezRs(QStringLiteral("SELECT * FROM Ditte"));
    QCOMPARE(rs->RecordCount(), 1);
    gModal->Status = true;
    QVERIFY(!gModal->showModuli(QStringLiteral("Moduli"), *rs));
    QVERIFY(!gModal->Status);
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QCOMPARE(MessageBoxSeam::asked().first().text, QStringLiteral("Lista non disponibile."));
    QCOMPARE(MessageBoxSeam::asked().first().style, 64);
    QVERIFY(!gModal->Cursore);
}

void tst_modalClass::chosenCompanyGoneIsNoChoice()
{
    QVERIFY(gModal->getDitta(QStringLiteral("00743110157")));
    QVERIFY(gDb->Execute(QStringLiteral(
        "INSERT INTO Ditte (codFisc, ragSoc) VALUES ('12345678903', 'Sparita')")));
    DialogDriver::onNextDialog([](QWidget *dialog) {
        auto *form = qobject_cast<Anagrafiche *>(dialog);
        QVERIFY(form);
        form->lv->setCurrentItem(form->lv->findItems(QStringLiteral("12345678903"), Qt::MatchExactly).first());
        // Someone else removed it meanwhile.
        QVERIFY(gDb->Execute(QStringLiteral("DELETE FROM Ditte WHERE codFisc = ?"),
                             {QStringLiteral("12345678903")}));
        form->tbb_Click(0);
    });
    QVERIFY(!gModal->showDitte(QVariant()));
    QVERIFY(DialogDriver::allRan());
    QCOMPARE(gModal->ragioneSociale.toString(), QStringLiteral("L'Imballo srl"));
}

void tst_modalClass::chooserClosedChangesNothing()
{
    new mainForm;
    const QString old = m_fx->createDatabase(QStringLiteral("Kez21imb.db"));
    gDb->oldDbFilename = old;
    modMain::gKez->Utente = QStringLiteral("Studio Rossi");
    modMain::gMain->sideBar()->setButtonEnabled(3, true);
    DialogDriver::closeNextDialog();
    gModal->Status = true;
    gModal->showConnect();
    QVERIFY(DialogDriver::allRan());
    QVERIFY(!gModal->Status);
    QCOMPARE(modMain::gKez->Utente, QStringLiteral("Studio Rossi"));
    QVERIFY(!gDb->oldDbOpened());
    // abilitaMenu did not run: the button keeps the state it had.
    QVERIFY(modMain::gMain->sideBar()->buttonEnabled(3));
    MainWindowSupport::closeMainWindow();
}

void tst_modalClass::newFileWithoutUserAsksForIt()
{
    new mainForm;
    modMain::gKez->Utente = QStringLiteral("Studio Rossi");
    const QString other = m_fx->createDatabase(QStringLiteral("Nuovo.db"));
    FileDialogSeam::pushFileName(other);
    DialogDriver::onNextDialog([](QWidget *dialog) {
        auto *form = qobject_cast<Connetti *>(dialog);
        QVERIFY(form);
        form->slb_Click(0);
        form->slb_Click(2);
    });
    bool asked = false;
    DialogDriver::onNextDialog([&asked](QWidget *dialog) {
        asked = qobject_cast<Registra *>(dialog) != nullptr;
        dialog->close();
    });
    gModal->showConnect();
    QVERIFY(DialogDriver::allRan());
    QVERIFY(asked);
    QVERIFY(modMain::gKez->Utente.isEmpty());
    QCOMPARE(gDb->kezDbFilename, other);
    // No user on the new file: the sheets are locked.
    QVERIFY(!modMain::gMain->sideBar()->buttonEnabled(1));
    MainWindowSupport::closeMainWindow();
}

void tst_modalClass::registrationWithoutRowDoesNotImport()
{
    DialogDriver::onNextDialog([](QWidget *dialog) {
        auto *form = qobject_cast<Registra *>(dialog);
        QVERIFY(form);
        form->chkImport->setChecked(true);
        form->slb_Click(1);
    });
    bool importOpened = false;
    DialogDriver::onNextDialog([&importOpened](QWidget *dialog) {
        importOpened = true;
        dialog->close();
    });
    gModal->showRegistra();
    QVERIFY(!gModal->Status);
    QVERIFY(!importOpened);
    DialogDriver::cancelPending();
    QCOMPARE(modMain::currentForm, 100);
}

QTEST_MAIN(tst_modalClass)
#include "tst_modalClass.moc"
