#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "PickerForm.h"
#include "PropertyBag.h"
#include "PickerTestCase.h"
#include "TestSupport.h"
#include "slxCombo.h"

// Invented countries, one without a name.
static const char *const kFixtures = R"(
INSERT INTO Nazioni (nazID, nazDesc) VALUES
  (10, 'SPAGNA'), (11, 'ITALIA'), (12, 'ITALIA DEL NORD'), (13, NULL);
)";

static const char *const kNoMatch = "Attenzione, il testo digitato non corrisponde a nessuna voce in elenco!";

class tst_slxCombo : public PickerTestCase
{
    Q_OBJECT

public:
    tst_slxCombo() : PickerTestCase(kFixtures) {}

private:
    static void fill(slxCombo &c)
    {
        c.SqlString = QStringLiteral("SELECT nazID, nazDesc FROM Nazioni ORDER BY nazDesc");
        c.Refresh();
    }

    static void retype(slxCombo &c, const QString &text)
    {
        c.comboBox()->lineEdit()->selectAll();
        QTest::keyClick(c.comboBox(), Qt::Key_Delete);
        QTest::keyClicks(c.comboBox(), text);
    }

    static QStringList entries(const slxCombo &c)
    {
        QStringList list;
        for (int i = 0; i < c.Count(); ++i)
            list << c.List(i);
        return list;
    }

private Q_SLOTS:
    void refreshFillsFromTheQuery()
    {
        slxCombo c;
        fill(c);
        QCOMPARE(entries(c), (QStringList{QStringLiteral("ITALIA"), QStringLiteral("ITALIA DEL NORD"),
                                          QStringLiteral("SPAGNA")}));
        QCOMPARE(c.ListIndex(), -1);
        QCOMPARE(c.getText(10), QStringLiteral("SPAGNA"));
        QCOMPARE(c.getText(13), QString());
        c.SqlString.clear();
        c.Refresh();
        QCOMPARE(c.Count(), 3);
    }

    void typedTextResolves_data()
    {
        QTest::addColumn<int>("matchEntry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("value");
        QTest::newRow("beginning") << 1 << QStringLiteral("ita") << true << 11;
        QTest::newRow("beginning, whole text wanted") << 0 << QStringLiteral("ita") << false << 0;
        QTest::newRow("whole text") << 0 << QStringLiteral("spagna") << true << 10;
        QTest::newRow("longer whole text") << 0 << QStringLiteral(" italia del nord ") << true << 12;
        QTest::newRow("after every entry") << 0 << QStringLiteral("zelanda") << false << 0;
        QTest::newRow("between entries") << 1 << QStringLiteral("portogallo") << false << 0;
    }

    void typedTextResolves()
    {
        QFETCH(int, matchEntry);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(int, value);
        TestSupport::PickerForm form;
        auto *c = new slxCombo;
        c->setMatchEntry(matchEntry);
        fill(*c);
        form.place(c);
        c->setFocus();
        QTest::keyClicks(c->comboBox(), typed);
        bool changed = false;
        QCOMPARE(c->Match(changed), accepted);
        QCOMPARE(c->Value().toInt(), value);
        // A typed text that names an entry is a change like a picked one;
        // one that names none is a change too, refused.
        QVERIFY(changed);
        QCOMPARE(TestSupport::takeMessages(), accepted ? QStringList() : QStringList{QString::fromUtf8(kNoMatch)});
        if (!accepted)
            QCOMPARE(c->Text(), typed);
    }

    void changedFollowsTheEntry()
    {
        TestSupport::PickerForm form;
        auto *c = new slxCombo;
        fill(*c);
        form.place(c);
        QSignalSpy clicks(c, &slxCombo::Click);
        c->setFocus();
        QTest::keyClick(c->comboBox(), Qt::Key_Down);
        QCOMPARE(clicks.count(), 1);
        bool changed = false;
        QVERIFY(c->Match(changed));
        QVERIFY(changed);
        QCOMPARE(c->Text(), QStringLiteral("ITALIA"));

        form.after->setFocus();
        c->setFocus();
        QVERIFY(c->Match(changed));
        QVERIFY(!changed);

        // Retyping the same entry's text is no change.
        retype(*c, QStringLiteral("italia"));
        QVERIFY(c->Match(changed));
        QVERIFY(!changed);
        QCOMPARE(c->Value().toInt(), 11);
    }

    void requiredField_data()
    {
        QTest::addColumn<int>("required");
        QTest::addColumn<bool>("filled");
        QTest::newRow("once") << 1 << true;
        QTest::newRow("always") << 2 << true;
        QTest::newRow("once, empty list") << 1 << false;
        QTest::newRow("always, empty list") << 2 << false;
    }

    void requiredField()
    {
        QFETCH(int, required);
        QFETCH(bool, filled);
        slxCombo c;
        if (filled)
            fill(c);
        c.Required = required;
        bool changed = false;
        QVERIFY(!c.Match(changed));
        QCOMPARE(TestSupport::takeMessages(), QStringList{QStringLiteral("Attenzione, campo richiesto!")});
        QCOMPARE(c.Match(changed), required == 1);
        QCOMPARE(TestSupport::takeMessages().size(), required == 1 ? 0 : 1);
        c.MsgRequired = QStringLiteral("Attenzione, nazione richiesta.");
        if (required == 2) {
            QVERIFY(!c.Match(changed));
            QCOMPARE(TestSupport::takeMessages(), QStringList{c.MsgRequired});
        }
    }

    // Nothing is emptied behind the user's back: with no entries to pick,
    // a typed text is refused and stays.
    void emptyListKeepsTheTypedText()
    {
        slxCombo c;
        QTest::keyClicks(c.comboBox(), QStringLiteral("francia"));
        bool changed = false;
        QVERIFY(!c.Match(changed));
        QCOMPARE(c.Text(), QStringLiteral("francia"));
        QCOMPARE(TestSupport::takeMessages(), QStringList{QString::fromUtf8(kNoMatch)});
    }

    void valueSelects_data()
    {
        QTest::addColumn<QVariant>("assigned");
        QTest::addColumn<int>("index");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("entry") << QVariant(12) << 1 << QVariant(12) << QStringLiteral("ITALIA DEL NORD");
        QTest::newRow("text of a code") << QVariant(QStringLiteral("10")) << 2 << QVariant(10)
                                        << QStringLiteral("SPAGNA");
        QTest::newRow("zero") << QVariant(0) << -1 << QVariant(0) << QString();
        QTest::newRow("null") << QVariant() << -1 << QVariant(0) << QString();
        QTest::newRow("negative") << QVariant(-5) << -1 << QVariant(0) << QString();
        // A whole code that no entry has selects nothing, as 0 does.
        QTest::newRow("missing code") << QVariant(77) << -1 << QVariant(0) << QString();
        QTest::newRow("code beyond a Long") << QVariant(Q_INT64_C(2147483648)) << -1 << QVariant(0) << QString();
        QTest::newRow("not a number") << QVariant(QStringLiteral("x")) << -1 << QVariant() << QStringLiteral("x");
        QTest::newRow("fraction") << QVariant(QStringLiteral("2.5")) << -1 << QVariant() << QStringLiteral("2.5");
    }

    void valueSelects()
    {
        QFETCH(QVariant, assigned);
        QFETCH(int, index);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        slxCombo c;
        fill(c);
        c.setValue(11);
        c.setValue(assigned);
        QCOMPARE(c.ListIndex(), index);
        QCOMPARE(c.Value(), value.isValid() ? value : assigned);
        QCOMPARE(c.Text(), text);
    }

    void storedTextIsKeptUntilTheUserChangesIt()
    {
        TestSupport::PickerForm form;
        auto *c = new slxCombo;
        c->setValue(QStringLiteral("x"));        // loaded before the list is filled
        fill(*c);
        form.place(c);
        QCOMPARE(c->Value(), QVariant(QStringLiteral("x")));
        c->setFocus();
        bool changed = true;
        QVERIFY(c->Match(changed));
        QVERIFY(!changed);
        QCOMPARE(c->Value(), QVariant(QStringLiteral("x")));
        QVERIFY(TestSupport::takeMessages().isEmpty());

        retype(*c, QString());
        QVERIFY(c->Match(changed));
        QVERIFY(changed);
        QCOMPARE(c->Value().toInt(), 0);

        // A code assigned before Refresh that the list has is selected;
        // one it lacks selects nothing.
        slxCombo late;
        late.setValue(10);
        fill(late);
        QCOMPARE(late.Text(), QStringLiteral("SPAGNA"));
        QCOMPARE(late.Value().toInt(), 10);
        slxCombo lacking;
        lacking.setValue(77);
        fill(lacking);
        QCOMPARE(lacking.Text(), QString());
        QCOMPARE(lacking.Value(), QVariant(0));
        // Filled with no entries, a list is filled all the same.
        slxCombo none;
        none.SqlString = QStringLiteral("SELECT nazID, nazDesc FROM Nazioni WHERE nazID < 0");
        none.Refresh();
        none.setValue(77);
        QCOMPARE(none.Text(), QString());
        QCOMPARE(none.Value(), QVariant(0));
    }

    void addItemKeepsTextOrder()
    {
        slxCombo c;
        c.AddItem(QStringLiteral("b"), 2);
        c.AddItem(QStringLiteral("a"), 1);
        c.AddItem(QStringLiteral("C"));
        QCOMPARE(entries(c), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("C")}));
        QCOMPARE(c.ListIndex(), -1);
        QCOMPARE(c.getText(2), QStringLiteral("b"));
        c.setListIndex(2);
        QCOMPARE(c.Value().toInt(), 0);

        slxCombo keys;
        keys.setKeyString(true);
        QVERIFY(keys.Value().isNull());
        keys.AddItem(QStringLiteral("c"), QStringLiteral("K1"));
        keys.AddItem(QStringLiteral("b"), QStringLiteral("K2"));
        QCOMPARE(entries(keys), (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
        keys.setListIndex(0);
        QCOMPARE(keys.Value().toString(), QStringLiteral("K2"));
        QCOMPARE(keys.getText(QStringLiteral("k1")), QStringLiteral("c"));
        keys.setValue(QStringLiteral("k1"));
        QCOMPARE(keys.Text(), QStringLiteral("c"));
    }

    void enterMovesOnAndKeysReachTheForm()
    {
        TestSupport::PickerForm form;
        auto *c = new slxCombo;
        fill(*c);
        form.place(c);
        QSignalSpy changes(c, &slxCombo::Change);
        int swallowed = 0;
        connect(c, &slxCombo::KeyPress, c, [&](int &KeyAscii) {
            if (KeyAscii == '*') {
                KeyAscii = 0;
                ++swallowed;
            }
        });
        c->setFocus();
        QTest::keyClicks(c->comboBox(), QStringLiteral("s*p"));
        QCOMPARE(c->Text(), QStringLiteral("sp"));
        QCOMPARE(swallowed, 1);
        QCOMPARE(changes.count(), 2);
        QTest::keyClick(c->comboBox(), Qt::Key_Return);
        QTRY_VERIFY(form.after->hasFocus());
        QCOMPARE(c->Count(), 3);
    }

    void propertyBagRoundTrip()
    {
        QWidget host;
        slxCombo a(&host);
        a.initNewInstance();
        PropertyBag empty;
        a.writeProperties(empty);
        QCOMPARE(empty.count(), 0);

        a.setOleDropMode(1);
        a.setMatchEntry(1);
        a.setForeColor(0x000000FF);
        a.SqlString = QStringLiteral("SELECT prvIstat, prvDesc FROM Province ORDER BY prvDesc");
        a.Required = 2;
        PropertyBag bag;
        a.writeProperties(bag);
        QVERIFY(bag.contains(QStringLiteral("OLEDropMdoe")));
        QCOMPARE(bag.count(), 5);
        slxCombo b(&host);
        b.readProperties(bag);
        QCOMPARE(b.OleDropMode(), 1);
        QCOMPARE(b.MatchEntry(), 1);
        QCOMPARE(b.ForeColor(), 0x000000FF);
        QCOMPARE(b.SqlString, a.SqlString);
        QCOMPARE(b.Required, 2);
        PropertyBag again;
        b.writeProperties(again);
        QCOMPARE(again.keys(), bag.keys());
    }

    void pictures()
    {
        TestSupport::PickerForm form;
        auto *c = new slxCombo;
        fill(*c);
        form.place(c);
        c->setValue(11);
        c->setFocus();
        QTRY_VERIFY(c->comboBox()->hasFocus());
        TestSupport::grab(&form.window, QStringLiteral("slxCombo_closed"));
        c->comboBox()->showPopup();
        QTRY_VERIFY(c->comboBox()->view()->isVisible());
        form.grabWithList(c->comboBox(), QStringLiteral("slxCombo_list"));
        c->comboBox()->hidePopup();
        c->setEnabled(false);
        TestSupport::grab(&form.window, QStringLiteral("slxCombo_disabled"));
    }
};

QTEST_MAIN(tst_slxCombo)
#include "tst_slxCombo.moc"
