#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "DialogDriver.h"
#include "MessageBoxSeam.h"
#include "ModFrame.h"
#include "ModuleTestCase.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxGrid.h"
#include "slxText.h"

namespace {

// A complete declaration 7, a stored module of each kind and a second
// waste code, so that a road through every field meets no empty required one.
const char *const complete =
    "UPDATE SezAnag SET attIstat = '381100', Addetti = 3, Mesi = 12, cap = '00118', slPrvIstat = 58, "
    "slComIstat = 91, slVia = 'VIA APPIA', saCognome = 'ROSSI', saNome = 'MARIO', "
    "saDataComp = '2022-01-10' WHERE saID = 7;\n"
    "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES ('150102', 'imballaggi in plastica', '');\n"
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, "
    "mdcQta, mdcUmi, mdcAtt, mdcSup) VALUES "
    "(1, 1, 1, '00743110157', 'ARCO SPA', 58, 91, 'VIA TUSCOLANA', '5', '00118', 100, 1, '381100', 1),"
    "(2, 1, 2, '00743110157', 'ARCO SPA', 58, 91, 'VIA TUSCOLANA', '5', '00118', 100, 1, NULL, 0);\n"
    "INSERT INTO skMat (skmID, saID, codFisc, ragSoc) VALUES (1, 7, '00743110157', 'ARCO SPA');\n"
    "INSERT INTO skSbop (sksID, saID, codFisc, ragSoc) VALUES (1, 7, '00743110157', 'ARCO SPA');\n";

enum Form { Registry = 1, Consortia = 2, Sbop = 3, Smat = 4, Sriu = 5, Stip = 6, Origin = 31, Destination = 32 };

// Two municipalities that "BAR" finds, so that the picker drops its list.
// Three packaging types in each list of the type sheets.
const char *const bar =
    "INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap) VALUES (72, 6, 'BARI', '70121'),"
    " (110, 2, 'BARLETTA', '76121');\n"
    "INSERT INTO Codici (codType, codNumb, codAlfa, codDesc) VALUES (12, 1, 'R1', 'A'), (12, 2, 'R2', 'B'),"
    " (12, 3, 'R3', 'C'), (13, 1, 'P1', 'A'), (13, 2, 'P2', 'B'), (13, 3, 'P3', 'C');\n";

// What the producer card and the destination module store of their grids,
// with the card's company name, which no key in the grid may touch; the
// type sheets, by type.
QString storedGrid(int form)
{
    if (form == Sriu || form == Stip)
        return QStringLiteral("SELECT group_concat(t || '=' || a || '/' || b, ' ') FROM (SELECT riuTipo t, "
                              "qtaAlimentare a, qtaAltriUsi b FROM RecRiu UNION ALL "
                              "SELECT tipTipo, qtaPrimari, qtaSecondari FROM RecTip ORDER BY 1)");
    if (form == Smat)
        return QStringLiteral("SELECT (SELECT ragSoc FROM skMat WHERE skmID = 1) || ' ' || ifnull(group_concat(skmTipo "
                              "|| '=' || qtaProdVuoti || '/' || qtaProdPieni || '/' || qtaImpVuoti || '/' || "
                              "qtaImpPieni || '/' || qtaEspVuoti || '/' || qtaEspPieni, ' '), '') FROM "
                              "(SELECT * FROM RecMat WHERE skmID = 1 ORDER BY skmTipo)");
    return QStringLiteral("SELECT ifnull(group_concat(Posizione || Codice || '=' || Qta || '/' || Umi, ' '), '') FROM "
                          "(SELECT * FROM RecDrCons WHERE mdcID = 2 ORDER BY Posizione, Codice)");
}

} // namespace

// The forms by the keyboard alone, as a clerk fills them: Tab and Enter go
// from field to field, a refused field is typed over, and no field's
// required message comes before the user has left that field.
class tst_Keyboard : public ModuleTestCase
{
    Q_OBJECT

    QWidget *openForm(int form, const QString &extraSql = QString())
    {
        if (form == Origin || form == Destination)
            return openModules(form, QString::fromUtf8(complete) + extraSql);
        if (!startProgram(fixtureRows() + QString::fromUtf8(complete) + extraSql,
                          QStringLiteral("[Kez]\nSa1ID=7\nConsID=1\n"))
            || !showMainWindow(QSize(1000, 720)))
            return nullptr;
        modMain::gMain->vBar1_Click(form, false);
        QCoreApplication::processEvents();
        askedTexts();
        return modMain::loadedForms().value(0);
    }

    // The control of the form that holds w (a text field, not its box).
    static QString controlOf(QWidget *w)
    {
        QString name;
        for (; w && !w->inherits("SheetFrame") && !w->inherits("SezAnag"); w = w->parentWidget())
            if (w->inherits("slxText") || w->inherits("comboHost") || w->inherits("slxButton")
                || w->inherits("QAbstractButton") || w->inherits("slxGrid"))
                name = w->objectName();
        return name;
    }

    static QString focused() { return controlOf(QApplication::focusWidget()); }

    static QWidget *control(QWidget *form, const QString &name)
    {
        auto *w = form->findChild<QWidget *>(name);
        if (w)
            w->setFocus();
        QCoreApplication::processEvents();
        return w;
    }

    // Where the focus stands after each press of key, starting with where it is.
    static QStringList road(Qt::Key key, int presses)
    {
        QStringList names{focused()};
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCoreApplication::processEvents();
            names << focused();
        }
        return names;
    }

    // Answers the next real message box with Alt and an access key, once
    // it is up and active; a key that does nothing closes it unanswered.
    static void answerNextBox(Qt::Key key)
    {
        QTimer::singleShot(0, qApp, [key] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box) {
                answerNextBox(key);
                return;
            }
            if (TestSupport::activate(box))
                QTest::keyClick(box, key, Qt::AltModifier);
            QTimer::singleShot(1000, box, [box] { static_cast<QDialog *>(box)->reject(); });
        });
    }

    static void type(const QString &text)
    {
        TestSupport::typeText(QApplication::focusWidget(), text);
    }

    // Keys as the user presses them, words between blanks: Tab, Shift+Tab,
    // Esc, F4 and Enter are those keys, "List" waits for a list to drop,
    // "Esc>" ("Chiudi>") closes the next window that opens by Esc (its Chiudi),
    // any other word is typed. An open list takes the keys while it is up;
    // the user's event loop runs after each key.
    static void press(const QString &keys)
    {
        const QHash<QString, QKeyCombination> named{
            {QStringLiteral("Tab"), Qt::Key_Tab}, {QStringLiteral("Shift+Tab"), Qt::ShiftModifier | Qt::Key_Backtab},
            {QStringLiteral("Esc"), Qt::Key_Escape}, {QStringLiteral("F4"), Qt::Key_F4},
            {QStringLiteral("Enter"), Qt::Key_Return}};
        for (const QString &word : keys.split(QLatin1Char(' '))) {
            QWidget *list = QApplication::activePopupWidget();
            QWidget *target = list ? list->focusWidget() : QApplication::focusWidget();
            QVERIFY2(target, "no control has the keyboard");
            if (word == QLatin1String("List"))
                QVERIFY(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
            else if (word.endsWith(QLatin1Char('>')))
                DialogDriver::onNextDialog([how = word.chopped(1)](QWidget *window) {
                    if (!TestSupport::activate(window))
                        qWarning("the window never became active; closed all the same");
                    for (QWidget *w : window->findChildren<QWidget *>())
                        if (w->isVisible() && w->property("Caption").toString().startsWith(how))
                            return QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
                    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
                });
            else if (named.contains(word))
                QTest::keyClick(target, named[word].key(), named[word].keyboardModifiers());
            else
                for (QChar c : word)
                    type(QString(c));
            QCoreApplication::processEvents();
        }
    }

    // The control with the focus, with the cursor of a grid or the text of
    // a field or picker.
    static QString reached()
    {
        QWidget *w = QApplication::focusWidget();
        while (w && !w->inherits("slxGrid") && !w->inherits("comboHost") && !w->inherits("slxText"))
            w = w->parentWidget();
        if (auto *field = qobject_cast<slxText *>(w))
            return focused() + QLatin1Char(' ') + field->Text();
        if (auto *grid = qobject_cast<slxGrid *>(w))
            return focused() + QStringLiteral(" %1,%2").arg(grid->Row()).arg(grid->Col());
        if (auto *picker = qobject_cast<comboHost *>(w))
            return focused() + QLatin1Char(' ') + picker->Text();
        return focused();
    }

private Q_SLOTS:
    // Tab, and Enter on the fields, pass the small list buttons and the
    // locked fields by, and go round the form without a message.
    void roadFromFieldToField_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("expected");
        const auto split = [](const char *names) { return QString::fromLatin1(names).split(QLatin1Char(' ')); };
        QTest::newRow("registry, Tab") << int(Registry) << int(Qt::Key_Tab) << "slt_0"
            << split("slt_0 slt_1 slt_2 cmbCom_0 slt_4 slt_5 slt_6 slt_7 slt_8 slt_9 slt_10 slt_11 "
                     "cmbCom_1 slt_13 slt_14 slt_15 slt_16 slt_17 slt_18 slt_19 slt_20 chk_1 "
                     "tbb_0 tbb_1 tbb_3 tbb_4 tbb_5 slt_0");
        QTest::newRow("registry, Enter") << int(Registry) << int(Qt::Key_Return) << "slt_0"
            << split("slt_0 slt_1 slt_2 cmbCom_0 slt_4 slt_5 slt_6 slt_7 slt_8 slt_9 slt_10 slt_11 "
                     "cmbCom_1 slt_13 slt_14 slt_15 slt_16 slt_17 slt_18 slt_19 slt_20 chk_1 tbb_0");
        QTest::newRow("consortia, Tab") << int(Consortia) << int(Qt::Key_Tab) << "slt_0"
            << split("slt_0 slt_2 kgt_2 slt_3 kgt_3 slt_4 kgt_4 slt_5 kgt_5 slt_6 kgt_6 slt_7 kgt_7 "
                     "slt_8 kgt_8 slt_9 kgt_9 tappo slb_4 slb_5 slb_6 slb_7 slb_2 slt_0");
        QTest::newRow("origin module, Tab") << int(Origin) << int(Qt::Key_Tab) << "slt_0"
            << split("slt_0 slt_1 slt_8 optSup_0 cmbCom slt_3 slt_4 slt_5 slt_7 kgt slb_5 slb_6 opt_0 slt_0");
        QTest::newRow("destination module, Tab") << int(Destination) << int(Qt::Key_Tab) << "slt_0"
            << split("slt_0 slt_1 cmbCom slt_3 slt_4 slt_5 slt_7 kgt") + QStringList(26, "slg_0")
                   + QStringList(30, "slg_1") + split("slb_5 slb_6 opt_0 slt_0");
        QTest::newRow("destination module, Enter") << int(Destination) << int(Qt::Key_Return) << "slt_0"
            << split("slt_0 slt_1 cmbCom slt_3 slt_4 slt_5 slt_7 kgt slg_0");
        QTest::newRow("SMAT, Tab") << int(Smat) << int(Qt::Key_Tab) << "slt_0"
            << split("slt_0 slt_1") + QStringList(42, "slg") + split("slb_3 slb_4 slb_5 slt_0");
        QTest::newRow("reuse sheet, Tab") << int(Sriu) << int(Qt::Key_Tab) << "slg" << split("slg slb_2 slg");
        QTest::newRow("packaging types sheet, Tab") << int(Stip) << int(Qt::Key_Tab) << "slg"
            << split("slg slb_2 slg");
        QTest::newRow("SBOP, Enter") << int(Sbop) << int(Qt::Key_Return) << "slt_0"
            << split("slt_0 slt_1 slt_2 slt_8 slt_3 slt_9 slt_4 slt_10 slt_5 slt_11 slt_6 slt_12 slt_7 slt_13 slb_3");
    }

    void roadFromFieldToField()
    {
        QFETCH(int, form);
        QFETCH(int, key);
        QFETCH(QString, start);
        QFETCH(QStringList, expected);
        QWidget *shown = openForm(form);
        QVERIFY(shown);
        QVERIFY(control(shown, start));
        QCOMPARE(road(Qt::Key(key), int(expected.size()) - 1), expected);
        QCOMPARE(askedTexts(), QStringList());
    }

    // A refused value keeps the focus with its whole text selected, so what
    // the user types next replaces it: "2012" then "20121" is 20121, never
    // 20122; the same when the user presses Tab as well after a full field.
    void refusedFieldIsTypedOver_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("accepted");
        const QString activity = QStringLiteral("Attenzione, codice Istat Attività errato.");
        const QString cap = QStringLiteral("Attenzione, C.A.P. digitato formalmente errato.");
        QTest::newRow("origin module, activity code") << int(Origin) << "slt_8" << "999999" << activity << "381100";
        QTest::newRow("module, postal code") << int(Origin) << "slt_5" << "2012" << cap << "20121";
        QTest::newRow("destination module, Regulation (CE) code")
            << int(Destination) << "slt_6" << "ZZ99"
            << "Attenzione, Codice regolamento (CE) 1013/2006 errato." << "GB040";
        QTest::newRow("registry, activity code") << int(Registry) << "slt_9" << "999999" << activity << "381100";
        QTest::newRow("registry, postal code") << int(Registry) << "slt_6" << "2012" << cap << "20121";
        QTest::newRow("municipality picker") << int(Registry) << "cmbCom_0" << "ROMAX"
            << "Attenzione, Comune non trovato!" << "MILANO";
    }

    void refusedFieldIsTypedOver()
    {
        QFETCH(int, form);
        QFETCH(QString, field);
        QFETCH(QString, refused);
        QFETCH(QString, message);
        QFETCH(QString, accepted);
        QWidget *shown = openForm(form);
        QVERIFY(shown);
        if (field == QLatin1String("slt_6") && form == Destination)
            QTest::mouseClick(shown->findChild<QWidget *>(QStringLiteral("opt_1")), Qt::LeftButton);
        QWidget *w = control(shown, field);
        QVERIFY(w);
        auto *edit = w->findChild<QLineEdit *>();
        QVERIFY(edit);
        type(refused);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(askedTexts(), QStringList{message});
        QCOMPARE(focused(), field);
        QCOMPARE(edit->selectedText(), edit->text());
        type(accepted);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(askedTexts(), QStringList());
        QVERIFY(focused() != field);
        if (auto *text = qobject_cast<slxText *>(w))
            QCOMPARE(text->Value().toString(), accepted);
        else
            QCOMPARE(static_cast<comboCom *>(w)->Text(), accepted);
    }

    // A required field speaks when the user leaves it, never when the focus
    // arrives in it: a full code moves on by itself, and the Tab or Enter
    // the user presses as well, before or after that move, is the same move.
    void noMessageBeforeTheFieldIsLeft_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("afterTheMove");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("reached");
        const QString cf = QStringLiteral("RSSMRA80A01H501U");
        QTest::newRow("consortia, Tab at once") << int(Consortia) << "150102" << false << int(Qt::Key_Tab) << "slt_2";
        QTest::newRow("consortia, Tab after the move") << int(Consortia) << "150102" << true << int(Qt::Key_Tab) << "slt_2";
        QTest::newRow("consortia, Enter after the move") << int(Consortia) << "150102" << true << int(Qt::Key_Return) << "slt_2";
        QTest::newRow("SMAT, Tab at once") << int(Smat) << cf << false << int(Qt::Key_Tab) << "slt_1";
        QTest::newRow("SMAT, Tab after the move") << int(Smat) << cf << true << int(Qt::Key_Tab) << "slt_1";
        QTest::newRow("origin module, Enter at once") << int(Origin) << cf << false << int(Qt::Key_Return) << "slt_1";
    }

    void noMessageBeforeTheFieldIsLeft()
    {
        QFETCH(int, form);
        QFETCH(QString, code);
        QFETCH(bool, afterTheMove);
        QFETCH(int, key);
        QFETCH(QString, reached);
        QWidget *shown = openForm(form);
        QVERIFY(shown);
        // A new sheet or card: its code is the first thing typed.
        const char *newButton = form == Consortia ? "slb_4" : form == Origin ? "slb_5" : "slb_3";
        QTest::mouseClick(shown->findChild<QWidget *>(QLatin1String(newButton)), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(focused(), QStringLiteral("slt_0"));
        type(code);
        if (afterTheMove)
            QCoreApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCoreApplication::processEvents();
        QCOMPARE(focused(), reached);
        QCOMPARE(askedTexts(), QStringList());
    }

    // What the screen tells: the address fields of a foreign subject look
    // as disabled as the municipality; of the two operation grids only the
    // one with the focus shows its current cell; a number accepted at a
    // real warning box, answered by its access key, is right aligned again.
    void whatTheUserSees()
    {
        QWidget *shown = openForm(Destination);
        QVERIFY(shown);
        QTest::mouseClick(shown->findChild<QWidget *>(QStringLiteral("opt_1")), Qt::LeftButton);
        QCoreApplication::processEvents();
        const auto middleOf = [](QWidget *w) {
            return w->grab().toImage().pixelColor(w->width() - 4, w->height() / 2);
        };
        const QColor enabled = middleOf(shown->findChild<QWidget *>(QStringLiteral("slt_1")));
        for (const char *name : {"slt_2", "slt_3", "slt_4", "slt_5"}) {
            auto *field = shown->findChild<slxText *>(QLatin1String(name));
            QVERIFY(!field->isEnabled());
            QCOMPARE(middleOf(field), field->palette().color(QPalette::Disabled, QPalette::Button));
            QVERIFY(middleOf(field) != enabled);
        }
        TestSupport::grab(shown, QStringLiteral("keyboard-foreign-destination"));

        QWidget *grids[] = {control(shown, QStringLiteral("slg_0")), shown->findChild<QWidget *>(QStringLiteral("slg_1"))};
        const auto firstCell = [](QWidget *grid) {
            auto *table = grid->findChild<QTableWidget *>();
            const QRect cell = table->visualRect(table->currentIndex());
            return grid->grab().toImage().pixelColor(table->viewport()->mapTo(grid, cell.topLeft() + QPoint(4, 4)));
        };
        for (int focusedGrid = 0; focusedGrid < 2; ++focusedGrid) {
            if (focusedGrid == 1)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(focused(), grids[focusedGrid]->objectName());
            QVERIFY(firstCell(grids[focusedGrid]) != firstCell(grids[1 - focusedGrid]));
            QCOMPARE(firstCell(grids[1 - focusedGrid]), QColor(Qt::white));
        }
        TestSupport::grab(shown, QStringLiteral("keyboard-destination-grids"));

        QWidget *registry = openForm(Registry);
        QVERIFY(registry);
        auto *employees = static_cast<slxText *>(control(registry, QStringLiteral("slt_10")));
        MessageBoxSeam::setScripted(false);
        answerNextBox(Qt::Key_N);
        type(QStringLiteral("100"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(focused(), QStringLiteral("slt_11"));
        MessageBoxSeam::setScripted(true);
        QCOMPARE(employees->Value().toInt(), 100);
        QCOMPARE(employees->Text(), QStringLiteral("100"));
        QVERIFY(employees->textBox()->x() > employees->width() / 2);
        TestSupport::grab(registry, QStringLiteral("keyboard-employees-accepted"));
    }

    // Keys in a grid or on a list never lose what was typed. Tab ends a
    // cell's edit with its value and goes on to the next cell to fill
    // (Shift+Tab to the one before), over the end of a row, and out of the
    // grid past its last cell (before its first); a second decimal is
    // dropped as typing does. Esc ends an edit, or closes an open list, and
    // nothing more; the next Esc closes the form asking to save the change,
    // and Yes stores it.
    void keysNeverLoseATypedValue_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<QString>("stored");
        const int Dest = Destination, Reg = Registry;
        QTest::newRow("SMAT, Tab over the end of a row") << int(Smat) << "slg" << 1 << 5 << "1,5 Tab 2 Tab 3,25 Tab"
            << "slg 2,2" << "ARCO SPA 101=0/0/0/0/15000/20000 102=32000/0/0/0/0/0";
        QTest::newRow("SMAT, Shift+Tab back over a row") << int(Smat) << "slg" << 2 << 2
            << "4 Shift+Tab 9 Shift+Tab 7 Shift+Tab" << "slg 1,5" << "ARCO SPA 101=0/0/0/0/0/70000 102=90000/40000/0/0/0/0";
        QTest::newRow("SMAT, Tab out of the last cell") << int(Smat) << "slg" << 7 << 6 << "5 Tab" << "slb_2"
            << "ARCO SPA 107=0/0/0/0/0/50000";
        QTest::newRow("SMAT, Shift+Tab out of the first cell") << int(Smat) << "slg" << 1 << 1 << "5 Shift+Tab"
            << "slt_1 ARCO SPA" << "ARCO SPA 101=50000/0/0/0/0/0";
        QTest::newRow("SMAT, Tab and Shift+Tab on from cells left") << int(Smat) << "slg" << 2 << 2
            << "1 Shift+Tab Shift+Tab 3 Tab Tab Tab 4 Enter" << "slg 2,4"
            << "ARCO SPA 101=0/0/0/0/0/30000 102=0/10000/40000/0/0/0";
        QTest::newRow("reuse sheet, typing as it opens, Tab on from a cell left") << int(Sriu) << "" << 0 << 0
            << "5 Enter 6 Enter 1 Tab Tab 3 Enter" << "slg 3,3" << "1=50000/60000 2=10000/0 3=30000/0";
        QTest::newRow("packaging types sheet, typing as it opens, Tab on") << int(Stip) << "" << 0 << 0
            << "5 Enter 6 Enter 1 Tab Tab 3 Enter" << "slg 3,3" << "1=50000/60000 2=10000/0 3=30000/0";
        QTest::newRow("SMAT, Esc in a cell") << int(Smat) << "slg" << 1 << 1 << "8 Esc" << "slg 1,1"
            << "ARCO SPA 101=80000/0/0/0/0/0";
        QTest::newRow("destination, Tab over the unit") << Dest << "slg_0" << 2 << 1 << "1,5 Tab 2 Tab 3,25 Tab"
            << "slg_0 3,2" << "1R2=15000/1 1R3=32500/1";
        QTest::newRow("destination, Tab on to the next grid") << Dest << "slg_0" << 13 << 1 << "8 Tab t Tab"
            << "slg_1 1,1" << "1R13=80000/2";
        QTest::newRow("destination, Tab on from a unit left") << Dest << "slg_0" << 7 << 1 << "7 Tab Tab 8 Enter"
            << "slg_0 8,2" << "1R7=70000/1 1R8=80000/1";
        QTest::newRow("destination, Esc in a quantity") << Dest << "slg_0" << 2 << 1 << "8 Esc" << "slg_0 2,1"
            << "1R2=80000/1";
        QTest::newRow("destination, Esc in a unit") << Dest << "slg_1" << 2 << 1 << "8 Enter t Esc" << "slg_1 2,2"
            << "2D2=80000/2";
        QTest::newRow("destination, Esc on a unit list") << Dest << "slg_0" << 2 << 2 << "Enter List Esc Esc"
            << "slg_0 2,2" << "";
        QTest::newRow("registry, Esc on the municipalities found") << int(Registry) << "cmbCom_0" << 0 << 0
            << "BAR Tab List Esc" << "cmbCom_0 BARI" << "";
        QTest::newRow("registry, Esc on the CF list") << Reg << "tbb_6" << 0 << 0 << "Esc> Enter Z" << "slt_0 Z" << "";
        QTest::newRow("registry, Chiudi, companies") << Reg << "tbb_7" << 0 << 0 << "Chiudi> Enter Z" << "slt_1 Z" << "";
        QTest::newRow("registry, Esc on activities") << Reg << "tbb_8" << 0 << 0 << "Esc> Enter Z" << "slt_9 Z" << "";
        QTest::newRow("registry, Chiudi on Riepilogo") << Reg << "tbb_4" << 0 << 0 << "Chiudi> Enter Z" << "tbb_4" << "";
        QTest::newRow("consortia, Esc on a Kg/t list") << int(Consortia) << "kgt_2" << 0 << 0 << "t F4 List Esc"
            << "kgt_2 t" << "";
    }

    void keysNeverLoseATypedValue()
    {
        QFETCH(int, form);
        QFETCH(QString, field);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(QString, stored);
        QPointer<QWidget> shown = openForm(form, QString::fromUtf8(bar));
        QVERIFY(shown);
        QWidget *w = field.isEmpty() ? QApplication::focusWidget() : control(shown, field);
        QVERIFY(w);
        if (auto *grid = qobject_cast<slxGrid *>(w)) {
            grid->setRow(row);
            grid->setCol(col);
        } else if (auto *edit = w->findChild<QLineEdit *>()) {
            edit->selectAll();
        }
        press(keys);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(shown);
        QVERIFY(!QApplication::activePopupWidget());
        for (const slxGrid *grid : shown->findChildren<slxGrid *>())
            QVERIFY(!grid->Editing());
        QTEST(reached(), "reached");
        QCOMPARE(askedTexts(), QStringList());
        if (form == Smat && row == 1 && col == 5)
            TestSupport::grab(shown, QStringLiteral("keyboard-smat-tab-row"));
        if (stored.isEmpty())
            return;
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
        press(QStringLiteral("Esc"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?")});
        QVERIFY(!shown);
        QCOMPARE(scalar(storedGrid(form)).toString(), stored);
    }
};

QTEST_MAIN(tst_Keyboard)
#include "tst_Keyboard.moc"
