#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

#include "ErrInfo.h"
#include "MessageBoxSeam.h"
#include "Recordset.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "UnloadQuery.h"

using namespace modFunz;

// The shared routines: the codice fiscale check, the message boxes with
// their exact texts and styles, the save questions and the list fitting.
class tst_modFunz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void checkCodFisc_data();
    void checkCodFisc();
    void nullHelpers();
    void messagesCarryTheProgramTitle();
    void errorBoxTitle_data();
    void errorBoxTitle();
    void confirmDeleteDefaultsToNo();
    void queryUnload_data();
    void queryUnload();
    void waitCursorRemembersState();
    void focusComesBackAfterMessage();
    void duplicateCodeQuestion_data();
    void duplicateCodeQuestion();
    void fitListColumnsLeavesRoomForScrollBar();

private:
    std::unique_ptr<ShellFixture> m_fx;
};

void tst_modFunz::initTestCase()
{
    TestSupport::scriptDialogs();
    m_fx = std::make_unique<ShellFixture>();
    m_fx->prepareFolder(ShellFixture::lookupRows(), QStringLiteral("[Kez]\nBox=Kez Prova\n"));
    m_fx->startGlobals();
    QVERIFY(modMain::gDb->openKezDb());
}

void tst_modFunz::init()
{
    MessageBoxSeam::setScripted(true);
    MessageBoxSeam::clearAsked();
}

void tst_modFunz::checkCodFisc_data()
{
    QTest::addColumn<QVariant>("code");
    QTest::addColumn<int>("answer");       // to the confirmation, when asked
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");  // empty = no message
    QTest::addColumn<int>("style");

    const QString required = QStringLiteral("Attenzione, campo codice fiscale richiesto!");
    const QString malformed = QStringLiteral("Attenzione, campo codice fiscale formalmente errato!");
    const QString wrong = QStringLiteral("Attenzione, codice fiscale errato,\nconfermi codice digiato?");

    QTest::newRow("partita IVA") << QVariant("00743110157") << 0 << true << "" << 0;
    QTest::newRow("partita IVA 2") << QVariant("12345678903") << 0 << true << "" << 0;
    QTest::newRow("person") << QVariant("RSSMRA80A01H501U") << 0 << true << "" << 0;
    QTest::newRow("person 2") << QVariant("MRTMTT91D08F205J") << 0 << true << "" << 0;
    QTest::newRow("lower case, blanks") << QVariant("  rssmra80a01h501u ") << 0 << true << "" << 0;
    QTest::newRow("letters for digits") << QVariant("RSSMRAULALMHRLMD") << 0 << true << "" << 0;
    QTest::newRow("empty") << QVariant("") << 0 << false << required << 16;
    QTest::newRow("null") << QVariant() << 0 << false << required << 16;
    QTest::newRow("blanks") << QVariant("   ") << 0 << false << required << 16;
    QTest::newRow("12 characters") << QVariant("123456789012") << 0 << false << malformed << 16;
    QTest::newRow("letter in partita IVA") << QVariant("0074311015A") << 0 << false << malformed << 16;
    QTest::newRow("O for a digit") << QVariant("RSSMRA8OA01H501U") << 0 << false << malformed << 16;
    QTest::newRow("digit for a letter") << QVariant("RSSMR180A01H501U") << 0 << false << malformed << 16;
    QTest::newRow("digit check char") << QVariant("RSSMRA80A01H5011") << 0 << false << malformed << 16;
    QTest::newRow("wrong IVA, kept") << QVariant("00743110158") << 6 << true << wrong << 36;
    QTest::newRow("wrong IVA, refused") << QVariant("00743110158") << 7 << false << wrong << 36;
    QTest::newRow("wrong person, kept") << QVariant("RSSMRA80A01H501X") << 6 << true << wrong << 36;
    QTest::newRow("wrong person, refused") << QVariant("RSSMRA80A01H501X") << 7 << false << wrong << 36;
}

void tst_modFunz::checkCodFisc()
{
    QFETCH(QVariant, code);
    QFETCH(int, answer);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    QFETCH(int, style);
    if (answer)
        MessageBoxSeam::pushAnswer(answer);
    QCOMPARE(modFunz::checkCodFisc(code), accepted);
    const auto asked = MessageBoxSeam::asked();
    if (message.isEmpty()) {
        QVERIFY(asked.isEmpty());
        return;
    }
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().text, message);
    QCOMPARE(asked.first().style, style);
    QCOMPARE(asked.first().title, QStringLiteral("Kez Prova"));
}

void tst_modFunz::nullHelpers()
{
    QCOMPARE(nzStr(QVariant()), QString());
    QCOMPARE(nzStr(QVariant(12)), QStringLiteral("12"));
    QVERIFY(nullIfBlank(QStringLiteral("   ")).isNull());
    QCOMPARE(nullIfBlank(QStringLiteral("  Via Roma ")).toString(), QStringLiteral("Via Roma"));
    QVERIFY(sameValue(QVariant(), QVariant()));
    QVERIFY(!sameValue(QVariant(), QVariant(QString(""))));
    QVERIFY(sameValue(QVariant(3), QVariant(3)));
    QVERIFY(!sameValue(QVariant(3), QVariant(4)));
}

void tst_modFunz::messagesCarryTheProgramTitle()
{
    MessageBoxSeam::pushAnswer(MessageBoxSeam::vbCancel);
    QCOMPARE(showMsg(QStringLiteral("Domanda"), 33), int(MessageBoxSeam::vbCancel));
    QVERIFY(warnMsg(QStringLiteral("Avviso")));
    const auto asked = MessageBoxSeam::asked();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.at(0).title, QStringLiteral("Kez Prova"));
    QCOMPARE(asked.at(0).style, 33);
    QCOMPARE(asked.at(1).text, QStringLiteral("Avviso"));
    QCOMPARE(asked.at(1).style, 64);
}

void tst_modFunz::errorBoxTitle_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("title");
    QTest::newRow("context") << "Connessione database KEZ" << int(0x80004005)
                             << "Connessione database KEZ (80004005)";
    QTest::newRow("no context") << "" << 3021 << "Errore codice: BCD";
}

void tst_modFunz::errorBoxTitle()
{
    QFETCH(QString, context);
    QFETCH(int, number);
    QFETCH(QString, title);
    ErrInfo::raise(number, QStringLiteral("Descrizione"), QStringLiteral("Origine"));
    QCOMPARE(showError(context), false);
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QCOMPARE(MessageBoxSeam::asked().first().title, title);
    QCOMPARE(MessageBoxSeam::asked().first().text, QStringLiteral("Descrizione\nOrigine"));
    QCOMPARE(MessageBoxSeam::asked().first().style, 16);
}

void tst_modFunz::confirmDeleteDefaultsToNo()
{
    // With no answer scripted the default button answers.
    QVERIFY(!confirmDelete(QStringLiteral("il modulo")));
    MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
    QVERIFY(confirmDelete(QStringLiteral("il modulo")));
    QCOMPARE(MessageBoxSeam::asked().first().text, QStringLiteral("Elimino il modulo\nsei sicuro?"));
    QCOMPARE(MessageBoxSeam::asked().first().style, 292);
}

namespace {

// A form with a save question, its changes and its save set by the test.
class QueryForm : public QWidget, public UnloadQuery
{
public:
    bool changed = false;
    bool saveOk = true;
    int saves = 0;

protected:
    QWidget *unloadScope() override { return this; }
    bool hasChanges() const override { return changed; }
    QString unloadPrompt() const override { return QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?"); }
    bool saveChanges() override { return ++saves, saveOk; }
};

} // namespace

void tst_modFunz::queryUnload_data()
{
    QTest::addColumn<int>("asker");
    QTest::addColumn<int>("round");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("saveOk");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("saves");
    QTest::addColumn<bool>("mayGo");
    const int close = int(UnloadQuery::Asker::Close);
    const int session = int(UnloadQuery::Asker::SessionManager);
    const int none = int(modMain::CloseRound::None);
    const int asking = int(modMain::CloseRound::Asking);
    const int silently = int(modMain::CloseRound::Silently);
    QTest::newRow("user, yes") << close << none << true << true << 6 << true << 1 << true;
    QTest::newRow("user, no") << close << none << true << true << 7 << true << 0 << true;
    QTest::newRow("user, cancel") << close << none << true << true << 2 << true << 0 << false;
    QTest::newRow("save refused") << close << none << true << false << 6 << true << 1 << false;
    QTest::newRow("unchanged") << close << none << false << true << 6 << false << 0 << true;
    QTest::newRow("closed for another window") << close << asking << true << true << 6 << true << 1 << true;
    QTest::newRow("closed without questions") << close << silently << true << true << 6 << false << 0 << true;
    QTest::newRow("session manager asks") << session << none << true << true << 2 << true << 0 << false;
    QTest::newRow("session manager asks during a round") << session << silently << true << true << 6 << true << 1 << true;
}

void tst_modFunz::queryUnload()
{
    QFETCH(int, asker);
    QFETCH(int, round);
    QFETCH(bool, saveOk);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(int, saves);
    QueryForm form;
    QFETCH(bool, changed);
    form.changed = changed;
    form.saveOk = saveOk;
    modMain::closeRound = modMain::CloseRound(round);
    MessageBoxSeam::pushAnswer(answer);
    QTEST(form.queryUnload(UnloadQuery::Asker(asker)), "mayGo");
    modMain::closeRound = modMain::CloseRound::None;
    QCOMPARE(form.saves, saves);
    QCOMPARE(MessageBoxSeam::asked().size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(MessageBoxSeam::asked().first().style, 35);
}

void tst_modFunz::waitCursorRemembersState()
{
    QVERIFY(!setWaitCursor(true));
    QVERIFY(setWaitCursor(true));
    QVERIFY(setWaitCursor(false));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!setWaitCursor(false));
}

void tst_modFunz::focusComesBackAfterMessage()
{
    QWidget form;
    auto *layout = new QVBoxLayout(&form);
    auto *first = new QLineEdit(&form);
    auto *second = new QLineEdit(&form);
    layout->addWidget(first);
    layout->addWidget(second);
    form.show();
    QApplication::setActiveWindow(&form);
    second->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), second);
    warnMsg(QStringLiteral("Avviso"));
    QCOMPARE(QApplication::focusWidget(), second);
}

void tst_modFunz::duplicateCodeQuestion_data()
{
    QTest::addColumn<QString>("row");        // prvIstat, comIstat, via, civico
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("text");
    const QString tail = QStringLiteral("\nvuoi inserirne uno di nuovo?");
    QTest::newRow("italian, no") << "58, 91, 'Via Appia', '12'" << 7 << true
                                 << "Esiste già un modulo con questo codice fiscale\na ROMA (RM)\n"
                                    "in Via Appia 12" + tail;
    QTest::newRow("italian, yes") << "58, 91, 'Via Appia', '12'" << 6 << false
                                  << "Esiste già un modulo con questo codice fiscale\na ROMA (RM)\n"
                                     "in Via Appia 12" + tail;
    QTest::newRow("foreign") << "0, 0, 'Rue X', NULL" << 7 << true
                             << "Esiste già un modulo estero con questo codice fiscale," + tail;
    QTest::newRow("unknown municipality") << "15, 999, 'Via Nuova', NULL" << 7 << true
                                          << "Esiste già un modulo con questo codice fiscale\n"
                                             "in Via Nuova " + tail;
}

void tst_modFunz::duplicateCodeQuestion()
{
    QFETCH(QString, row);
    QFETCH(int, answer);
    QFETCH(bool, result);
    QFETCH(QString, text);
    Recordset rs;
    const QStringList parts = row.split(QStringLiteral(", "));
    QVERIFY(rs.open(QStringLiteral("SELECT %1 AS prvIstat, %2 AS comIstat, %3 AS via, %4 AS civico")
                        .arg(parts.at(0), parts.at(1), parts.at(2), parts.at(3)),
                    &modMain::gDb->kezCnn));
    MessageBoxSeam::pushAnswer(answer);
    QCOMPARE(checkDuplicateCF(rs), result);
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QCOMPARE(MessageBoxSeam::asked().first().text, text);
    QCOMPARE(MessageBoxSeam::asked().first().style, 36);
}

void tst_modFunz::fitListColumnsLeavesRoomForScrollBar()
{
    auto widthWith = [](int items) {
        QTreeWidget lv;
        lv.setColumnCount(3);
        lv.setRootIsDecorated(false);
        lv.header()->setStretchLastSection(false);
        lv.resize(400, 200);
        lv.setColumnWidth(0, 80);
        lv.setColumnWidth(2, 60);
        for (int i = 0; i < items; ++i)
            lv.addTopLevelItem(new QTreeWidgetItem(QStringList{"a", "b", "c"}));
        lv.show();
        const int fit = fitListColumns(&lv, 2, 0, false, 0);
        return qMakePair(lv.columnWidth(1), fit);
    };
    const auto few = widthWith(2);
    const auto many = widthWith(40);
    QVERIFY(few.second > 2);
    QVERIFY(few.second < 40);
    QVERIFY(many.first < few.first);
    QCOMPARE(few.first - many.first,
             QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

QTEST_MAIN(tst_modFunz)
#include "tst_modFunz.moc"
