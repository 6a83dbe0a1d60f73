#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "Connection.h"
#include "LookupSource.h"
#include "PickerForm.h"
#include "PickerTestCase.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "modMain.h"

// Invented municipalities: a few real-looking ones and some whose names
// hold the characters a careless search would read as a pattern.
static const char *const kFixtures = R"(
INSERT INTO Province (prvIstat, prvDesc, prvSigla, prvCCIAA) VALUES
  (1, 'TORINO', 'TO', 1), (15, 'MILANO', 'MI', 15), (40, 'FORLÌ-CESENA', 'FC', 40),
  (58, 'ROMA', 'RM', 58), (999, 'PROVINCIA DI PROVA', 'ZZ', 998);
INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap, comCCIAA) VALUES
  (58, 91, 'ROMA', '00100', 58), (1, 225, 'ROMANO CANAVESE', '10090', 1),
  (15, 146, 'MILANO', '20100', 15), (40, 12, 'FORLÌ', '47121', 40),
  (40, 13, 'FORLIMPOPOLI', '47034', 40),
  (999, 1, 'C%D', '00001', 998), (999, 2, 'CADE', '00002', 998),
  (999, 3, 'A_B', '00003', 998), (999, 4, 'AXB', '00004', 998),
  (999, 5, '[X]', '00005', 998), (999, 6, 'SANT''ANGELO', '00006', 998),
  (999, 7, 'SANTA MARIA', '00007', 998), (999, 8, 'XY', '00008', 998),
  (1, 272, 'Torino', '10100', 1), (999, 9, 'Torino di Sangro', '00009', 998);
)";

class tst_comboCom : public PickerTestCase
{
    Q_OBJECT

public:
    tst_comboCom() : PickerTestCase(kFixtures) {}

private:
    // The user puts the caret in the field, replaces its text and the form
    // asks the field to resolve it, as when the user leaves it.
    static void retype(comboCom &com, const QString &text)
    {
        com.setFocus();
        QLineEdit *edit = com.comboBox()->lineEdit();
        edit->selectAll();
        QTest::keyClick(com.comboBox(), Qt::Key_Delete);
        QTest::keyClicks(com.comboBox(), text);
    }

    // A field placed on a form that resolves it when the user leaves it,
    // with the caret in it.
    static comboCom *placeAsTheFormsDo(TestSupport::PickerForm &form, bool &changed)
    {
        auto *com = new comboCom;
        connect(com, &comboCom::Validate, com, [com, &changed](bool &Cancel) { Cancel = !com->Match(changed); });
        form.place(com);
        com->setFocus();
        return com;
    }

private Q_SLOTS:
    void letValueLoadsTheMunicipality_data()
    {
        QTest::addColumn<QVariant>("prov");
        QTest::addColumn<QVariant>("com");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cap");
        QTest::addColumn<QString>("sigla");
        QTest::addColumn<QString>("provincia");
        QTest::addColumn<int>("cciaa");
        QTest::newRow("existing") << QVariant(40) << QVariant(12) << 40012 << QStringLiteral("FORLÌ")
                                  << QStringLiteral("47121") << QStringLiteral("FC")
                                  << QStringLiteral("FORLÌ-CESENA") << 40;
        QTest::newRow("codes as text") << QVariant(QStringLiteral("58")) << QVariant(QStringLiteral("91"))
                                       << 58091 << QStringLiteral("ROMA") << QStringLiteral("00100")
                                       << QStringLiteral("RM") << QStringLiteral("ROMA") << 58;
        // Whole codes that name no municipality (one unknown this year) leave
        // the field empty: the form asks for one at the save.
        QTest::newRow("unknown pair") << QVariant(58) << QVariant(92) << 0 << QString() << QString()
                                      << QString() << QString() << 0;
        QTest::newRow("zero") << QVariant(0) << QVariant(91) << 0 << QString() << QString() << QString()
                              << QString() << 0;
        QTest::newRow("null") << QVariant() << QVariant(91) << 0 << QString() << QString() << QString()
                              << QString() << 0;
        // A code stored as no number shows as stored, and a save keeps it.
        QTest::newRow("text") << QVariant(15) << QVariant("1x") << 0 << "ISTAT 15/1x" << QString() << QString()
                              << QString() << 0;
    }

    void letValueLoadsTheMunicipality()
    {
        QFETCH(QVariant, prov);
        QFETCH(QVariant, com);
        QFETCH(int, key);
        comboCom c;
        c.letValue(15, 146);
        QCOMPARE(c.letValue(prov, com), key);
        QCOMPARE(c.Value().toInt(), key);
        QFETCH(QString, text);
        QFETCH(QString, cap);
        QFETCH(QString, sigla);
        QFETCH(QString, provincia);
        QFETCH(int, cciaa);
        QCOMPARE(c.Text(), text);
        QCOMPARE(c.cap(), cap);
        QCOMPARE(c.Sigla(), sigla);
        QCOMPARE(c.Provincia(), provincia);
        QCOMPARE(c.CCIAA(), cciaa);
        const bool held = !text.isEmpty() && !key;
        QCOMPARE(c.istatProvincia(), held ? prov : QVariant(key / 1000));
        QCOMPARE(c.istatComune(), held ? com : QVariant(key % 1000));

        // Value is the same load by key.
        comboCom byKey;
        byKey.setValue(key ? QVariant(key) : QVariant());
        QCOMPARE(byKey.Value().toInt(), key);
        QCOMPARE(byKey.Text(), key ? c.Text() : QString());
    }

    void typedLettersAreUpperCase()
    {
        TestSupport::PickerForm form;
        auto *com = new comboCom;
        form.place(com);
        com->setFocus();
        QTest::keyClicks(com->comboBox(), QStringLiteral("mi"));
        TestSupport::typeText(com->comboBox(), QStringLiteral("là"));
        QCOMPARE(com->Text(), QStringLiteral("MIL"));
        // Pasted text follows the same rule as typed text.
        QGuiApplication::clipboard()->setText(QStringLiteral("ano"));
        QTest::keyClick(com->comboBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(com->Text(), QStringLiteral("MILANO"));
    }

    // One municipality found is chosen at once; several open the list and
    // keep the user in the field until one is picked.
    void searchByTypedBeginning_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("one") << QStringLiteral("mil") << true << QStringList{QStringLiteral("MILANO")};
        QTest::newRow("whole name among several") << QStringLiteral("roma") << false
                                                  << QStringList{QStringLiteral("ROMA"),
                                                                 QStringLiteral("ROMANO CANAVESE")};
        QTest::newRow("several") << QStringLiteral("ro") << false
                                 << QStringList{QStringLiteral("ROMA"), QStringLiteral("ROMANO CANAVESE")};
        QTest::newRow("accent not typed") << QStringLiteral("forli") << false
                                          << QStringList{QStringLiteral("FORLÌ"),
                                                         QStringLiteral("FORLIMPOPOLI")};
        // The typed text is a beginning of a name, never a pattern.
        QTest::newRow("percent") << QStringLiteral("c%") << true << QStringList{QStringLiteral("C%D")};
        QTest::newRow("underscore") << QStringLiteral("a_") << true << QStringList{QStringLiteral("A_B")};
        QTest::newRow("bracket") << QStringLiteral("[x") << true << QStringList{QStringLiteral("[X]")};
        QTest::newRow("apostrophe") << QStringLiteral("sant'") << true
                                    << QStringList{QStringLiteral("SANT'ANGELO")};
        QTest::newRow("percent alone") << QStringLiteral("%") << false << QStringList();
        QTest::newRow("underscore alone") << QStringLiteral("_") << false << QStringList();
    }

    void searchByTypedBeginning()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QStringList, entries);
        TestSupport::PickerForm form;
        auto *com = new comboCom;
        form.place(com);
        retype(*com, typed);
        bool changed = false;
        QCOMPARE(com->Match(changed), accepted);
        QVERIFY(changed);
        QStringList listed;
        for (int i = 0; i < com->comboBox()->count(); ++i)
            listed << com->comboBox()->itemText(i);
        QCOMPARE(listed, entries);
        if (entries.isEmpty()) {
            QCOMPARE(TestSupport::takeMessages(), QStringList{QStringLiteral("Attenzione, Comune non trovato!")});
            QCOMPARE(com->Value().toInt(), 0);
            QCOMPARE(com->comboBox()->lineEdit()->selectedText(), typed.toUpper());
            return;
        }
        QVERIFY(TestSupport::takeMessages().isEmpty());
        QCOMPARE(com->Text(), entries.first());
        if (entries.size() > 1) {
            QTRY_VERIFY(com->comboBox()->view()->isVisible());
            com->comboBox()->hidePopup();
            // Leaving again without typing takes the entry shown.
            QVERIFY(com->Match(changed));
            QCOMPARE(com->Text(), entries.first());
        } else {
            QTest::qWait(150);
            QVERIFY(!com->comboBox()->view()->isVisible());
        }
    }

    // A form may hand the field a database of its own (the previous year's,
    // an archive being imported): the field reads that one alone, and goes
    // back to the program's database when the form takes it away. With no
    // database at all the field stays empty and says nothing.
    void readsTheDatabaseItIsHanded()
    {
        Connection other;
        QVERIFY(other.open(shell.createDatabase(QStringLiteral("other.db"),
                                                QStringLiteral("INSERT INTO Province (prvIstat, prvDesc, prvSigla, prvCCIAA) "
                                                               "VALUES (77, 'ALTROVE', 'AL', 77);"
                                                               "INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap) "
                                                               "VALUES (77, 1, 'ROMAGNANO', '77001');"))));
        comboCom com;
        com.setConnection(&other);
        QCOMPARE(com.letValue(77, 1), 77001);
        QCOMPARE(com.Provincia(), QStringLiteral("ALTROVE"));
        QCOMPARE(com.letValue(58, 91), 0);
        retype(com, QStringLiteral("ROM"));
        bool changed = false;
        QVERIFY(com.Match(changed));
        QCOMPARE(com.Text(), QStringLiteral("ROMAGNANO"));

        com.setConnection(nullptr);
        QCOMPARE(com.letValue(58, 91), 58091);
        retype(com, QStringLiteral("ROMAG"));
        QVERIFY(!com.Match(changed));
        QCOMPARE(TestSupport::takeMessages().size(), 1);

        // A database whose lookup cannot be read says so once, not twice.
        QVERIFY(other.execute(QStringLiteral("DROP TABLE Comuni")));
        com.setConnection(&other);
        QCOMPARE(com.letValue(77, 1), 0);
        QCOMPARE(TestSupport::takeMessages().size(), 1);
        com.setConnection(nullptr);

        LookupSource::setDefault(nullptr);
        QCOMPARE(com.letValue(58, 91), 0);
        retype(com, QStringLiteral("ROMA"));
        QVERIFY(!com.Match(changed));
        modMain::installServices();
        QVERIFY(TestSupport::takeMessages().isEmpty());
    }

    void notFoundIsSaidOncePerText()
    {
        comboCom com;
        retype(com, QStringLiteral("zzz"));
        bool changed = false;
        QVERIFY(!com.Match(changed));
        QCOMPARE(TestSupport::takeMessages().size(), 1);
        QVERIFY(!com.Match(changed));
        QVERIFY(TestSupport::takeMessages().isEmpty());
        retype(com, QStringLiteral("zzy"));
        QVERIFY(!com.Match(changed));
        QCOMPARE(TestSupport::takeMessages().size(), 1);
    }

    // The user found one municipality, typed something else and then the
    // same beginning again: the municipality is chosen again, not a silent
    // refusal.
    void sameSearchAgainChoosesItAgain()
    {
        TestSupport::PickerForm form;
        auto *owned = new comboCom;
        form.place(owned);
        comboCom &com = *owned;
        retype(com, QStringLiteral("roman"));
        bool changed = false;
        QVERIFY(com.Match(changed));
        QCOMPARE(com.Value().toInt(), 1225);
        retype(com, QStringLiteral("roman"));
        QCOMPARE(com.Value().toInt(), 0);
        QVERIFY(com.Match(changed));
        QCOMPARE(com.Value().toInt(), 1225);
        QCOMPARE(com.Sigla(), QStringLiteral("TO"));
        QVERIFY(TestSupport::takeMessages().isEmpty());

        retype(com, QStringLiteral("forl"));
        QVERIFY(!com.Match(changed));
        retype(com, QStringLiteral("forl"));
        QVERIFY(!com.Match(changed));
        QCOMPARE(com.Text(), QStringLiteral("FORLÌ"));
        QTRY_VERIFY(com.comboBox()->view()->isVisible());
        com.comboBox()->hidePopup();
    }

    void requiredField_data()
    {
        QTest::addColumn<int>("required");
        QTest::addColumn<QString>("msgRequired");
        QTest::addColumn<QString>("shown");
        QTest::newRow("once") << 1 << QString() << QStringLiteral("Attenzione, campo Comune richiesto!");
        QTest::newRow("always") << 2 << QStringLiteral("Attenzione, comune unità locale richiesto.")
                                << QStringLiteral("Attenzione, comune unità locale richiesto.");
    }

    void requiredField()
    {
        QFETCH(int, required);
        QFETCH(QString, msgRequired);
        QFETCH(QString, shown);
        comboCom com;
        com.Required = required;
        com.MsgRequired = msgRequired;
        com.letValue(58, 91);
        retype(com, QString());
        bool changed = false;
        QVERIFY(!com.Match(changed));
        QCOMPARE(TestSupport::takeMessages(), QStringList{shown});
        QCOMPARE(com.Match(changed), required == 1);
        QCOMPARE(TestSupport::takeMessages().size(), required == 1 ? 0 : 1);
        com.letValue(58, 91);
        retype(com, QString());
        QVERIFY(!com.Match(changed));
        QCOMPARE(TestSupport::takeMessages(), QStringList{shown});
    }

    void leavingWithoutTypingKeepsTheLoadedValue()
    {
        TestSupport::PickerForm form;
        auto *com = new comboCom;
        form.place(com);
        com->letValue(15, 146);
        form.before->setFocus();
        com->setFocus();
        bool changed = true;
        QVERIFY(com->Match(changed));
        QVERIFY(!changed);
        QCOMPARE(com->Value().toInt(), 15146);
    }

    // The user goes back to the municipality the field shows, typing it or
    // through the list: the form hears of no change, so it rewrites
    // nothing that goes with it and is not marked modified. Another
    // municipality from the same list is a change.
    void sameMunicipalityAgainIsNoChange_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("expected");
        QTest::newRow("typed") << "typed" << 58091 << false;
        QTest::newRow("list, mouse") << "mouse" << 58091 << false;
        QTest::newRow("list, keys") << "keys" << 58091 << false;
        QTest::newRow("closed list, arrows") << "arrows" << 58091 << false;
        QTest::newRow("another from the list") << "another" << 1225 << true;
    }

    void sameMunicipalityAgainIsNoChange()
    {
        QFETCH(QString, how);
        QFETCH(int, key);
        QFETCH(bool, expected);
        TestSupport::PickerForm form;
        bool changed = false;
        comboCom *com = placeAsTheFormsDo(form, changed);
        com->letValue(58, 91);
        QTRY_VERIFY(com->comboBox()->hasFocus());
        QComboBox *box = com->comboBox();
        if (how == QLatin1String("typed")) {
            retype(*com, QStringLiteral("roma"));
        } else {
            // Two names begin so: leaving opens the list.
            retype(*com, QStringLiteral("rom"));
            QTest::keyClick(box, Qt::Key_Tab);
            QTRY_VERIFY(box->view()->isVisible());
            QAbstractItemView *view = box->view();
            if (how == QLatin1String("keys")) {
                QTest::keyClick(view, Qt::Key_Down);
                QTest::keyClick(view, Qt::Key_Up);
                QTest::keyClick(view, Qt::Key_Return);
            } else if (how == QLatin1String("arrows")) {
                box->hidePopup();
                QTest::keyClick(box, Qt::Key_Down);
                QTest::keyClick(box, Qt::Key_Up);
            } else {
                const QModelIndex entry = view->model()->index(how == QLatin1String("another") ? 1 : 0, 0);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
            }
            QTRY_VERIFY(!view->isVisible());
            QTRY_VERIFY(box->hasFocus());
        }
        changed = !expected;
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY(form.after->hasFocus());
        QCOMPARE(com->Value().toInt(), key);
        QCOMPARE(changed, expected);
        QVERIFY(TestSupport::takeMessages().isEmpty());
    }

    // The form checks the field when the user leaves it with Tab or Enter:
    // a refusal keeps the caret in the field.
    void leavingTheFieldRunsMatch()
    {
        TestSupport::PickerForm form;
        bool changed = false;
        comboCom *com = placeAsTheFormsDo(form, changed);
        QTest::keyClicks(com->comboBox(), QStringLiteral("mil"));
        QTest::keyClick(com->comboBox(), Qt::Key_Return);
        QTRY_VERIFY(form.after->hasFocus());
        QVERIFY(changed);
        QCOMPARE(com->Value().toInt(), 15146);

        com->setFocus();
        QTRY_VERIFY(com->comboBox()->hasFocus());
        retype(*com, QStringLiteral("qq"));
        QTest::keyClick(com->comboBox(), Qt::Key_Tab);
        QTest::qWait(50);
        QVERIFY(com->comboBox()->hasFocus());
        QCOMPARE(TestSupport::takeMessages(), QStringList{QStringLiteral("Attenzione, Comune non trovato!")});
    }

    // The list is open after a search that found several; the user leaves
    // the field with Tab (on the list or on the text) or with a click on
    // another field. The field must never be left with a name shown and no
    // municipality behind it.
    void leavingWithTheListOpen_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("afterNotFound");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        for (const auto &[typed, key] : {std::pair{"roma", 58091}, std::pair{"torino", 1272}}) {
            for (bool notFound : {false, true}) {
                for (const char *how : {"tab list", "tab focus", "click"})
                    QTest::addRow("%s %s%s", typed, how, notFound ? " after not found" : "")
                        << QString::fromLatin1(how) << notFound << QString::fromLatin1(typed) << key;
            }
        }
    }

    void leavingWithTheListOpen()
    {
        QFETCH(QString, how);
        QFETCH(bool, afterNotFound);
        QFETCH(QString, typed);
        QFETCH(int, key);
        TestSupport::PickerForm form;
        bool changed = false;
        comboCom *com = placeAsTheFormsDo(form, changed);
        QTRY_VERIFY(com->comboBox()->hasFocus());
        if (afterNotFound) {
            retype(*com, typed.left(3) + QStringLiteral("x"));
            QTest::keyClick(com->comboBox(), Qt::Key_Tab);
            QCOMPARE(TestSupport::takeMessages(),
                     QStringList{QStringLiteral("Attenzione, Comune non trovato!")});
            QVERIFY(com->comboBox()->hasFocus());
        }
        retype(*com, typed);
        QTest::keyClick(com->comboBox(), Qt::Key_Tab);
        QTRY_VERIFY(com->comboBox()->view()->isVisible());
        QVERIFY(!form.after->hasFocus());
        if (how == QLatin1String("tab list")) {
            QTest::keyClick(com->comboBox()->view(), Qt::Key_Tab);
        } else if (how == QLatin1String("tab focus")) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            QTest::keyClick(focus, Qt::Key_Tab);
        } else {
            QTest::mouseClick(form.after, Qt::LeftButton);
        }
        QTest::qWait(100);
        const int value = com->Value().toInt();
        QVERIFY(value == key || com->comboBox()->hasFocus() || com->comboBox()->view()->isVisible());
        if (form.after->hasFocus())
            QCOMPARE(value, key);
        if (com->comboBox()->view()->isVisible())
            com->comboBox()->hidePopup();
        TestSupport::takeMessages();
    }

    // The message box of a refusal takes the keyboard; when it closes the
    // form must have it back, or the next Tab moves on without a check.
    void refusalGivesTheKeyboardBackToTheForm()
    {
        // The lost activation is staged inside the program, which only the
        // offscreen platform takes at its word; a display server keeps its
        // own idea of which window has the keyboard.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("needs the offscreen platform");
        TestSupport::PickerForm form;
        auto *com = new comboCom;
        int checks = 0;
        QWidget box;
        connect(com, &comboCom::Validate, com, [&](bool &Cancel) {
            ++checks;
            bool changed = false;
            Cancel = !com->Match(changed);
            // A box that leaves no window active behind it, as without a
            // window manager.
            box.show();
            QApplication::setActiveWindow(&box);
            box.hide();
            QApplication::setActiveWindow(nullptr);
        });
        form.place(com);
        com->setFocus();
        QTRY_VERIFY(com->comboBox()->hasFocus());
        retype(*com, QStringLiteral("romx"));
        QTest::keyClick(com->comboBox(), Qt::Key_Tab);
        QCOMPARE(checks, 1);
        QTRY_VERIFY(form.window.isActiveWindow());
        QVERIFY(com->comboBox()->hasFocus());
        retype(*com, QStringLiteral("roman"));
        QTest::keyClick(com->comboBox(), Qt::Key_Tab);
        QCOMPARE(checks, 2);
        QTRY_VERIFY(form.after->hasFocus());
        QCOMPARE(com->Value().toInt(), 1225);
        TestSupport::takeMessages();
    }

    // A transparent field shows the form's colour until the user enters it.
    void transparentFieldTakesTheFormColour()
    {
        TestSupport::PickerForm form;
        QPalette pal = form.window.palette();
        pal.setColor(QPalette::Window, QColor(200, 220, 240));
        form.window.setPalette(pal);
        auto *com = new comboCom;
        form.place(com);
        com->setBackColor(0x0000FFFF);      // yellow
        com->setBackStyle(0);
        const auto shown = [com] { return com->comboBox()->palette().color(QPalette::Base); };
        QCOMPARE(shown(), QColor(200, 220, 240));
        com->setFocus();
        QTRY_VERIFY(com->comboBox()->hasFocus());
        QCOMPARE(shown(), QColor(Qt::yellow));
        TestSupport::grab(&form.window, QStringLiteral("comboCom_transparent_focus"));
        form.after->setFocus();
        QTRY_COMPARE(shown(), QColor(200, 220, 240));
        com->setBackStyle(1);
        QCOMPARE(shown(), QColor(Qt::yellow));
    }

    void propertyBagRoundTrip()
    {
        QWidget host;
        comboCom a(&host);
        a.initNewInstance();
        PropertyBag empty;
        a.writeProperties(empty);
        QCOMPARE(empty.count(), 0);

        a.setBackColor(0x00FFEEDD);
        a.setBackStyle(0);
        a.setLocked(true);
        a.Required = 1;
        a.MsgRequired = QStringLiteral("Attenzione, comune richiesto.");
        PropertyBag bag;
        a.writeProperties(bag);
        QCOMPARE(bag.count(), 5);
        comboCom b(&host);
        b.readProperties(bag);
        QCOMPARE(b.BackColor(), 0x00FFEEDD);
        QCOMPARE(b.BackStyle(), 0);
        QVERIFY(b.Locked());
        QCOMPARE(b.Required, 1);
        QCOMPARE(b.MsgRequired, a.MsgRequired);
        QCOMPARE(b.property("BackStyle").toInt(), 0);
        PropertyBag again;
        b.writeProperties(again);
        QCOMPARE(again.keys(), bag.keys());
    }

    void pictures()
    {
        TestSupport::PickerForm form;
        auto *com = new comboCom;
        form.place(com);
        com->letValue(58, 91);
        com->setFocus();
        QTRY_VERIFY(com->comboBox()->hasFocus());
        TestSupport::grab(&form.window, QStringLiteral("comboCom_closed"));
        retype(*com, QStringLiteral("ro"));
        bool changed = false;
        com->Match(changed);
        QTRY_VERIFY(com->comboBox()->view()->isVisible());
        form.grabWithList(com->comboBox(), QStringLiteral("comboCom_list"));
        com->comboBox()->hidePopup();
        com->setEnabled(false);
        TestSupport::grab(&form.window, QStringLiteral("comboCom_disabled"));
    }
};

QTEST_MAIN(tst_comboCom)
#include "tst_comboCom.moc"
