#include <QAction>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "Connection.h"
#include "Connetti.h"
#include "DialogDriver.h"
#include "FileDialogSeam.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "ModFrame.h"
#include "ModuleTestCase.h"
#include "Registra.h"
#include "SK_CONS.h"
#include "SessionRequest.h"
#include "SheetFrame.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"

using MessageBoxSeam::vbCancel;
using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {

// The session manager as a test plays it.
class ScriptedSession : public SessionRequest
{
public:
    explicit ScriptedSession(bool interaction) : m_interaction(interaction) {}
    bool allowsInteraction() override
    {
        ++interactionAsked;
        return m_interaction;
    }
    void cancel() override { cancelled = true; }
    void release() override { released = true; }

    bool cancelled = false;
    bool released = false;
    int interactionAsked = 0;

private:
    bool m_interaction;
};

const char *const moduleVia = "SELECT via FROM ModCons WHERE mdcID = 1";
const char *const sheetQuantity = "SELECT scQta FROM SezCons WHERE scID = 1";

} // namespace

// The desktop session ending or taking a checkpoint while the clerk has
// unsaved work, a question or a dialog up: the session manager asks first
// (commitData), then ends the program with a Quit sent to the application.
class tst_Session : public ModuleTestCase
{
    Q_OBJECT

    // The consortia sheet with a changed quantity and, below it, an origin
    // module with a changed street.
    bool openChangedSheetAndModule()
    {
        if (!startProgram(fixtureRows()
                              + QStringLiteral("INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, "
                                               "prvIstat, comIstat, via, civico, cap, mdcQta, mdcUmi, mdcAtt, "
                                               "mdcSup) VALUES (1, 1, 1, '00743110157', 'ARCO SPA', 58, 91, "
                                               "'VIA TUSCOLANA', '5', '00118', 100, 1, '381100', 1);\n"),
                          QStringLiteral("[Kez]\nSa1ID=7\nConsID=1\n"))
            || !showMainWindow(QSize(1000, 720)))
            return false;
        modMain::gMain->vBar1_Click(2, false);
        m_sheet = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
        if (!m_sheet)
            return false;
        typeAndLeave(m_sheet->findChild<QWidget *>(QStringLiteral("slt_2")), QStringLiteral("20000"));
        QTest::mouseClick(m_sheet->slb[6], Qt::LeftButton, {}, m_sheet->slb[6]->rect().center());
        QCoreApplication::processEvents();
        m_module = qobject_cast<SheetFrame *>(m_sheet->childWindow());
        if (!m_module)
            return false;
        typeAndLeave(m_module->findChild<QWidget *>(QStringLiteral("slt_3")), QStringLiteral("VIA NUOVA"));
        askedTexts();
        return m_sheet->isModificata() && m_module->isModificata();
    }

    // The session manager's quit, as it sends it.
    static void sessionQuit()
    {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
    }

    QString moduleVia() const { return scalar(QLatin1String(::moduleVia)).toString(); }
    QString sheetQuantity() const { return scalar(QLatin1String(::sheetQuantity)).toString(); }

    QPointer<SK_CONS> m_sheet;
    QPointer<SheetFrame> m_module;

private Q_SLOTS:
    // Before a logout or at a checkpoint each changed form asks, the module
    // before its sheet; nothing closes. Then the logout ends the program
    // without another question and stores nothing more.
    void commitThenEnd_data()
    {
        QTest::addColumn<bool>("interaction");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<bool>("moduleSaved");
        QTest::addColumn<bool>("sheetSaved");
        QTest::addColumn<bool>("refuseSave");
        QTest::newRow("no interaction") << false << QList<int>{} << false << false << false << false;
        QTest::newRow("yes, yes") << true << QList<int>{vbYes, vbYes} << false << true << true << false;
        QTest::newRow("yes, no") << true << QList<int>{vbYes, vbNo} << false << true << false << false;
        QTest::newRow("no, yes") << true << QList<int>{vbNo, vbYes} << false << false << true << false;
        QTest::newRow("no, cancel") << true << QList<int>{vbNo, vbCancel} << true << false << false << false;
        QTest::newRow("cancel") << true << QList<int>{vbCancel} << true << false << false << false;
        QTest::newRow("yes, save refused") << true << QList<int>{vbYes} << true << false << false << true;
    }

    void commitThenEnd()
    {
        QFETCH(bool, interaction);
        QFETCH(QList<int>, answers);
        QFETCH(bool, cancelled);
        QFETCH(bool, moduleSaved);
        QFETCH(bool, sheetSaved);
        QFETCH(bool, refuseSave);
        QVERIFY(openChangedSheetAndModule());
        const QString via = moduleVia();
        const QString quantity = sheetQuantity();
        if (refuseSave)
            QVERIFY(modMain::gDb->kezCnn.execute(
                QStringLiteral("CREATE TRIGGER full BEFORE UPDATE ON ModCons "
                               "BEGIN SELECT RAISE(ROLLBACK, 'disco pieno'); END;")));
        for (int answer : answers)
            MessageBoxSeam::pushAnswer(answer);

        ScriptedSession session(interaction);
        modMain::commitData(session);

        QStringList questions;
        for (int i = 0; i < answers.size(); ++i)
            questions << SheetFrame::promptModificata();
        // A refused save says why before the logout stops.
        if (refuseSave)
            QCOMPARE(MessageBoxSeam::asked().takeLast().style, 16);
        QStringList asked = askedTexts();
        if (refuseSave)
            asked.removeLast();
        QCOMPARE(asked, questions);
        QCOMPARE(session.cancelled, cancelled);
        QCOMPARE(session.released, interaction && !cancelled);
        QCOMPARE(moduleVia(), moduleSaved ? QStringLiteral("VIA NUOVA") : via);
        QCOMPARE(sheetQuantity() != quantity, sheetSaved);
        // Nothing closed: the program goes on with its forms, and what was
        // not saved is still there to save.
        QVERIFY(m_sheet && m_module && modMain::gMain);
        QCOMPARE(m_module->isModificata(), !moduleSaved);
        QCOMPARE(m_sheet->isModificata(), !sheetSaved);
        QVERIFY(!modMain::sessionEnded());
        if (cancelled)
            return;

        sessionQuit();
        QVERIFY(modMain::sessionEnded());
        MainWindowSupport::finishProgram();
        QCOMPARE(askedTexts(), QStringList());
        QVERIFY(!modMain::gMain);
        QVERIFY(!m_sheet && !m_module);
        QCOMPARE(moduleVia(), moduleSaved ? QStringLiteral("VIA NUOVA") : via);
        QCOMPARE(sheetQuantity() != quantity, sheetSaved);
    }

    // The session ends while the sheet's own question is up (the clerk
    // clicked the side bar): the question goes as Esc would take it, the
    // other window never opens, and the program closes unasked once the
    // question's caller has returned.
    void endWithQuestionUp_data()
    {
        QTest::addColumn<bool>("commitFirst");
        QTest::addColumn<bool>("interaction");
        QTest::newRow("quit only") << false << false;
        QTest::newRow("commit without interaction, then quit") << true << false;
        // The clerk is answering the program already: no second question.
        QTest::newRow("commit with interaction, then quit") << true << true;
    }

    void endWithQuestionUp()
    {
        QFETCH(bool, commitFirst);
        QFETCH(bool, interaction);
        QVERIFY(openChangedSheetAndModule());
        const QString via = moduleVia();
        MessageBoxSeam::setScripted(false);
        const auto scripted = qScopeGuard([] { TestSupport::scriptDialogs(); });
        bool boxUp = false;
        DialogDriver::onNextDialog([&](QWidget *box) {
            boxUp = qobject_cast<QMessageBox *>(box) != nullptr;
            if (commitFirst) {
                ScriptedSession session(interaction);
                modMain::commitData(session);
                QVERIFY(box->isVisible());
                QCOMPARE(session.cancelled, interaction);
            }
            sessionQuit();
        });
        modMain::gMain->vBar1_Click(3, false);
        QVERIFY(boxUp);
        QVERIFY(modMain::sessionEnded());
        QCOMPARE(modMain::currentForm, 2);
        QVERIFY(m_sheet);
        MainWindowSupport::finishProgram();
        QVERIFY(!modMain::gMain);
        QCOMPARE(moduleVia(), via);
    }

    // The program as main runs it: the session's quit comes from the event
    // loop while the sheet's question is up; the loop returns 0 and no form
    // is left. A checkpoint of a program without changes asks the session
    // manager nothing.
    void quitFromTheEventLoop()
    {
        QVERIFY(openChangedSheetAndModule());
        ScriptedSession checkpoint(true);
        MessageBoxSeam::pushAnswer(vbNo);
        MessageBoxSeam::pushAnswer(vbNo);
        QVERIFY(m_module->unloadForm() && m_sheet->unloadForm());
        modMain::gMain->vBar1_Click(2, false);
        modMain::commitData(checkpoint);
        QCOMPARE(checkpoint.interactionAsked, 0);
        QVERIFY(openChangedSheetAndModule());
        MessageBoxSeam::setScripted(false);
        const auto scripted = qScopeGuard([] { TestSupport::scriptDialogs(); });
        DialogDriver::onNextDialog([](QWidget *) { sessionQuit(); });
        QTimer::singleShot(0, qApp, [] { modMain::gMain->vBar1_Click(3, false); });
        // A loop that never returns fails here instead of hanging.
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        MainWindowSupport::finishProgram();
        QVERIFY(modMain::loadedForms().isEmpty() && !modMain::gMain);
    }

    // The session ends while a dialog of the shell is up: the user-data
    // form at the first start (with a change of its own, asked about by the
    // session manager first), "Collega archivi" and the about box. A dialog
    // with nothing to lose lets the logout go on unasked; another file chosen
    // and not applied holds it up. The dialog closes as its close box would,
    // its caller goes on, and nothing is saved.
    void endWithDialogUp_data()
    {
        QTest::addColumn<bool>("firstStart");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QString>("chosenFile");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("user data, no") << true << int(vbNo) << QString() << QString() << false;
        QTest::newRow("user data, cancel, then quit") << true << int(vbCancel) << QString() << QString() << true;
        QTest::newRow("Collega archivi") << false << 0 << QString() << QString() << false;
        QTest::newRow("Collega archivi, another file") << false << 0 << QString() << "/tmp/altro.db" << true;
        QTest::newRow("about box") << false << 0 << "smh_3" << QString() << false;
    }

    void endWithDialogUp()
    {
        QFETCH(bool, firstStart);
        QFETCH(int, answer);
        QFETCH(QString, menuItem);
        QFETCH(QString, chosenFile);
        QFETCH(bool, cancelled);
        bool dialogUp = false;
        ScriptedSession session(true);
        DialogDriver::onNextDialog([&](QWidget *dialog) {
            // A failed check still ends the session, so the test goes on.
            const auto end = qScopeGuard([] { sessionQuit(); });
            dialogUp = true;
            QStringList questions;
            if (auto *form = qobject_cast<Registra *>(dialog)) {
                QVERIFY(TestSupport::activate(dialog));
                typeAndLeave(form->slt[0], QStringLiteral("00743110157"));
                MessageBoxSeam::pushAnswer(answer);
                questions << QStringLiteral("Attenzione dati cambiati, vuoi salvarli?");
            } else if (!chosenFile.isEmpty()) {
                FileDialogSeam::pushFileName(chosenFile);
                qobject_cast<Connetti *>(dialog)->slb_Click(0);
            }
            modMain::commitData(session);
            QCOMPARE(askedTexts(), questions);
            QVERIFY(dialog->isVisible());
        });
        if (firstStart) {
            QVERIFY(startProgram(fixtureRows() + QStringLiteral("DELETE FROM Setup;\n")));
        } else if (!menuItem.isEmpty()) {
            QVERIFY(startProgram(fixtureRows()));
            modMain::gMain->findChild<QAction *>(menuItem)->trigger();
        } else {
            QVERIFY(startProgram(fixtureRows()));
            modMain::gModal->showConnect();
        }
        QVERIFY(dialogUp);
        QCOMPARE(session.cancelled, cancelled);
        QVERIFY(modMain::sessionEnded());
        MainWindowSupport::finishProgram();
        QCOMPARE(askedTexts(), QStringList());
        QVERIFY(!modMain::gMain);
        if (firstStart)
            QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Setup")).toInt(), 0);
    }
};

QTEST_MAIN(tst_Session)
#include "tst_Session.moc"
