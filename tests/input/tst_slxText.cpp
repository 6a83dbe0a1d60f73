#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "Currency.h"
#include "MessageBoxSeam.h"
#include "PropertyBag.h"
#include "TestSupport.h"
#include "slxText.h"

// A small form as the user meets it: a field between two other controls,
// so that Enter, Tab and the arrows have somewhere to go.
struct Form
{
    QWidget window;
    QLineEdit *before;
    slxText *field;
    QLineEdit *after;

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        field = new slxText(&window);
        after = new QLineEdit(&window);
        before->setObjectName(QStringLiteral("before"));
        after->setObjectName(QStringLiteral("after"));
        layout->addWidget(before);
        layout->addWidget(field);
        layout->addWidget(after);
        window.resize(260, 120);
        window.show();
        QVERIFY(TestSupport::activate(&window));
        before->setFocus();
    }

    void enter()
    {
        field->setFocus(Qt::TabFocusReason);
        QVERIFY(field->textBox()->hasFocus());
    }
    void leave()
    {
        after->setFocus(Qt::TabFocusReason);
        QVERIFY(after->hasFocus());
    }
};

class tst_slxText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::scriptDialogs();
    }
    void init()
    {
        MessageBoxSeam::clearAsked();
    }

    void typeFixesDecimalsAndResetsValue()
    {
        slxText f;
        f.setControlType(slxText::Valuta);
        QCOMPARE(f.DecDigits(), 2);
        f.setDecDigits(3);
        QCOMPARE(f.DecDigits(), 2);
        f.setControlType(slxText::Intero);
        QCOMPARE(f.DecDigits(), 0);
        QCOMPARE(f.Value(), QVariant(0));
        f.setControlType(slxText::Data);
        QVERIFY(f.Value().isNull());
        f.setControlType(7);
        QVERIFY(f.Value().isNull());
    }

    void assignedValuesTakeTheFieldsType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("assigned");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("text") << 0 << QVariant(QStringLiteral("Rossi")) << QVariant(QStringLiteral("Rossi"));
        QTest::newRow("empty text is Null") << 0 << QVariant(QString()) << QVariant();
        QTest::newRow("date text") << 1 << QVariant(QStringLiteral("05/03/2021"))
                                   << QVariant(QDate(2021, 3, 5));
        QTest::newRow("iso date") << 1 << QVariant(QStringLiteral("2021-03-05"))
                                  << QVariant(QDate(2021, 3, 5));
        QTest::newRow("not a date is Null") << 1 << QVariant(QStringLiteral("abc")) << QVariant();
        QTest::newRow("whole number") << 2 << QVariant(42.0) << QVariant(42);
        // A stored value that is no number of the field's kind stays as it is.
        QTest::newRow("not a number is kept") << 2 << QVariant(QStringLiteral("12A45"))
                                              << QVariant(QStringLiteral("12A45"));
        QTest::newRow("fraction is kept") << 2 << QVariant(QStringLiteral("2.7")) << QVariant(QStringLiteral("2.7"));
        QTest::newRow("italian text") << 3 << QVariant(QStringLiteral("1.234,5")) << QVariant(1234.5);
        QTest::newRow("currency stays exact")
            << 4 << QVariant(QStringLiteral("0,1")) << QVariant::fromValue(Currency::fromRaw(1000));
        QTest::newRow("currency from double")
            << 4 << QVariant(1234.5) << QVariant::fromValue(Currency::fromRaw(12345000));
    }
    void assignedValuesTakeTheFieldsType()
    {
        QFETCH(int, type);
        QFETCH(QVariant, assigned);
        QFETCH(QVariant, stored);
        slxText f;
        f.setControlType(type);
        f.setValue(assigned);
        const QVariant v = f.Value();
        if (stored.isNull()) {
            QVERIFY(v.isNull());
        } else if (Currency::isCurrency(stored)) {
            QVERIFY(Currency::isCurrency(v));
            QCOMPARE(v.value<Currency>().raw(), stored.value<Currency>().raw());
        } else {
            QCOMPARE(v.typeId(), stored.typeId());
            QCOMPARE(v, stored);
        }
        QVERIFY(f.oldValue == v || (v.isNull() && f.oldValue.isNull())
                || Currency::isCurrency(v));
    }

    void isEmptyFollowsTheType()
    {
        slxText f;
        f.setValue(QStringLiteral("0"));
        QVERIFY(!f.isEmpty());
        f.setControlType(slxText::Decimale);
        f.setShowZero(false);
        f.setValue(0);
        QVERIFY(f.isEmpty());
        QCOMPARE(f.Text(), QString());
    }

    // What the user sees without the focus, and what is there to edit.
    void displayAndEditTexts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("edit");
        QTest::newRow("decimal with euro") << 3 << QVariant(1234.5) << "CurrencyPos=1"
                                           << QStringLiteral("\u20AC 1.234,50") << "1234,50";
        QTest::newRow("euro after") << 4 << QVariant(-1234567.891) << "CurrencyPos=2"
                                    << QStringLiteral("-1.234.567,89\u20AC ") << "-1234567,89";
        QTest::newRow("amount zero hidden") << 4 << QVariant(0) << "ShowZero=0" << "" << "0,00";
        QTest::newRow("whole no grouping") << 2 << QVariant(12345) << "ShowThouSep=0" << "12345"
                                           << "12345";
        QTest::newRow("whole grouped") << 2 << QVariant(-12345) << "" << "-12.345" << "-12345";
        QTest::newRow("three decimals") << 3 << QVariant(0.5) << "DecDigits=3" << "0,500" << "0,500";
        QTest::newRow("empty date") << 1 << QVariant() << "" << "" << "  /  /    ";
        QTest::newRow("short date") << 1 << QVariant(QDate(2021, 3, 5)) << "" << "05/03/2021"
                                    << "05/03/2021";
        QTest::newRow("long date") << 1 << QVariant(QDate(2021, 5, 12)) << "DateFormat=2"
                                   << QStringLiteral("mercoledì 12 maggio 2021") << "12/05/2021";
        QTest::newRow("display mask") << 0 << QVariant(QStringLiteral("20100")) << "DisplayMask=@@-@@@"
                                      << "20-100" << "20100";
    }
    void displayAndEditTexts()
    {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        QFETCH(QString, setup);
        QFETCH(QString, display);
        QFETCH(QString, edit);
        Form form;
        slxText *f = form.field;
        f->setControlType(type);
        for (const QString &assignment : setup.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList kv = assignment.split(QLatin1Char('='));
            f->setProperty(kv.at(0).toLatin1().constData(), kv.at(1));
        }
        f->setValue(value);
        QCOMPARE(f->Text(), display);
        form.enter();
        QCOMPARE(f->Text(), edit);
        QCOMPARE(f->SelStart(), 0);
        QCOMPARE(f->SelLength(), int(edit.size()));
        form.leave();
        QCOMPARE(f->Text(), display);
    }

    // A value assigned while the user is in the field is shown as an edit
    // text, so committing it reads the same value back.
    void valueAssignedWhileEditingStaysReadable()
    {
        Form form;
        slxText *f = form.field;
        f->setControlType(slxText::Decimale);
        f->setCurrencyPos(1);
        form.enter();
        f->setValue(1234.5);
        QCOMPARE(f->Text(), QStringLiteral("1234,50"));
        bool changed = true;
        QVERIFY(f->Match(changed));
        QVERIFY(!changed);
        QCOMPARE(f->Value().toDouble(), 1234.5);
        form.leave();
        QCOMPARE(f->Text(), QStringLiteral("\u20AC 1.234,50"));
        // A form that commits fields it never entered reads the value itself.
        QVERIFY(f->Match(changed));
        QVERIFY(!changed);
        QCOMPARE(f->Value().toDouble(), 1234.5);
    }

    void textCharacterClasses_data()
    {
        QTest::addColumn<int>("characters");
        QTest::addColumn<QString>("charTable");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("upper and digits") << 10 << QString() << "a1- b" << "A1B";
        QTest::newRow("lower and list") << 68 << ".-" << QStringLiteral("B.,\u00E8-") << "b.-";
        QTest::newRow("accented upper") << 3 << QString() << QStringLiteral("citt\u00E0 1")
                                        << QStringLiteral("CITT\u00C0");
        QTest::newRow("everything") << 63 << QString() << QStringLiteral("Citt\u00E0, 1 \u20AC")
                                    << QStringLiteral("Citt\u00E0, 1 \u20AC");
        QTest::newRow("other wins over list") << 96 << "x" << "a,;" << ",;";
    }
    void textCharacterClasses()
    {
        QFETCH(int, characters);
        QFETCH(QString, charTable);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Form form;
        form.field->setCharacters(characters);
        form.field->setCharTable(charTable);
        form.enter();
        TestSupport::typeText(form.field, typed);
        QCOMPARE(form.field->Text(), result);
    }

    void numberKeys_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("intDigits");
        QTest::addColumn<int>("decDigits");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("whole: sixth digit dropped") << 2 << 5 << 0 << false << "123456" << "12345";
        QTest::newRow("whole: no separators") << 2 << 5 << 0 << false << "1,2.3" << "123";
        QTest::newRow("decimal: third decimal") << 3 << 3 << 2 << false << "12,345" << "12,34";
        QTest::newRow("decimal: point separator") << 3 << 3 << 2 << false << "1.5" << "1.5";
        QTest::newRow("decimal: second separator") << 3 << 3 << 2 << false << "1,2,3" << "1,23";
        QTest::newRow("decimal: fourth integer digit") << 3 << 3 << 2 << false << "1234" << "123";
        QTest::newRow("minus refused") << 3 << 3 << 2 << false << "-5" << "5";
        QTest::newRow("minus only first") << 3 << 3 << 2 << true << "-5-" << "-5";
        QTest::newRow("letters refused") << 4 << 5 << 2 << false << "1a b2" << "12";
    }
    void numberKeys()
    {
        QFETCH(int, type);
        QFETCH(int, intDigits);
        QFETCH(int, decDigits);
        QFETCH(bool, negative);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Form form;
        slxText *f = form.field;
        f->setAutoTab(false);
        f->setControlType(type);
        f->setIntDigits(intDigits);
        f->setDecDigits(decDigits);
        f->setNegativeNumbers(negative);
        form.enter();
        QTest::keyClicks(f, typed);
        QCOMPARE(f->Text(), result);
    }

    void fullNumberMovesOnButDeletingDoesNot()
    {
        Form form;
        slxText *f = form.field;
        f->setControlType(slxText::Intero);
        f->setIntDigits(3);
        form.enter();
        QTest::keyClicks(f, "123");
        QTRY_VERIFY(form.after->hasFocus());

        // 125,00 with complete decimals: Backspace behind the 5 deletes it
        // and the user stays in the field.
        f->setControlType(slxText::Decimale);
        f->setDecDigits(2);
        f->setValue(125.0);
        form.enter();
        QCOMPARE(f->Text(), QStringLiteral("125,00"));
        f->setSelStart(3);
        QTest::keyClick(f, Qt::Key_Backspace);
        QCOMPARE(f->Text(), QStringLiteral("12,00"));
        f->setSelStart(0);
        QTest::keyClick(f, Qt::Key_Delete);
        QCOMPARE(f->Text(), QStringLiteral("2,00"));
        QTest::qWait(20);
        QVERIFY(f->textBox()->hasFocus());
        // Cutting only the separator would leave five digits before it.
        f->setValue(12.5);
        f->setSelStart(2);
        f->setSelLength(1);
        QTest::keyClick(f, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("12,50"));
    }

    void fullTextMovesOnButDeletingDoesNot()
    {
        Form form;
        slxText *f = form.field;
        f->setMaxLength(3);
        form.enter();
        QTest::keyClicks(f, "ab");
        QTest::keyClick(f, Qt::Key_Backspace);
        QTest::keyClicks(f, "cd");
        QCOMPARE(f->Text(), QStringLiteral("acd"));
        QTRY_VERIFY(form.after->hasFocus());
        f->setValue(QStringLiteral("acd"));
        form.enter();
        QTest::keyClick(f, Qt::Key_End);
        QTest::keyClick(f, Qt::Key_Backspace);
        QTest::keyClick(f, Qt::Key_Home);
        QTest::keyClick(f, Qt::Key_Delete);
        QCOMPARE(f->Text(), QStringLiteral("c"));
        QTest::qWait(20);
        QVERIFY(f->textBox()->hasFocus());
    }

    void dateMask()
    {
        Form form;
        slxText *f = form.field;
        f->setControlType(slxText::Data);
        form.enter();
        QCOMPARE(f->Text(), QStringLiteral("  /  /    "));
        f->setSelStart(0);
        QTest::keyClicks(f, "1205202");
        QCOMPARE(f->Text(), QStringLiteral("12/05/202 "));
        QCOMPARE(f->SelStart(), 9);
        QCOMPARE(f->SelLength(), 1);
        QTest::keyClicks(f, "1");
        QCOMPARE(f->Text(), QStringLiteral("12/05/2021"));
        QTRY_VERIFY(form.after->hasFocus());
        QCOMPARE(f->Text(), QString()); // not committed: the old value is shown
    }

    void dateMaskEditing_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::newRow("digit behind the year") << 10 << 0 << int(Qt::Key_7) << "12/05/2021" << 10;
        QTest::newRow("digit on separator") << 2 << 1 << int(Qt::Key_7) << "12/05/2021" << 2;
        QTest::newRow("digit over two from separator") << 2 << 2 << int(Qt::Key_7) << "12/75/2021" << 4;
        QTest::newRow("backspace at month") << 3 << 1 << int(Qt::Key_Backspace) << "1 /05/2021" << 1;
        QTest::newRow("delete the day") << 0 << 2 << int(Qt::Key_Delete) << "  /05/2021" << 0;
        QTest::newRow("left over separator") << 3 << 1 << int(Qt::Key_Left) << "12/05/2021" << 1;
        QTest::newRow("right over separator") << 4 << 1 << int(Qt::Key_Right) << "12/05/2021" << 6;
        QTest::newRow("letters do nothing") << 0 << 1 << int(Qt::Key_A) << "12/05/2021" << 0;
    }
    void dateMaskEditing()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, selStart);
        Form form;
        slxText *f = form.field;
        f->setControlType(slxText::Data);
        f->setAutoTab(false);
        f->setValue(QDate(2021, 5, 12));
        form.enter();
        f->setSelStart(start);
        f->setSelLength(length);
        QTest::keyClick(f, Qt::Key(key));
        QCOMPARE(f->Text(), text);
        QCOMPARE(f->SelStart(), selStart);
    }

    void matchCommitsTheEditText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("loaded");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("decimal unchanged") << 3 << QVariant(12.5) << QString() << true << false
                                           << QVariant(12.5);
        QTest::newRow("amount passed through keeps its decimals")
            << 4 << QVariant::fromValue(Currency::fromRaw(12345)) << QString() << true << false
            << QVariant::fromValue(Currency::fromRaw(12345));
        QTest::newRow("amount retyped") << 4 << QVariant::fromValue(Currency::fromRaw(12345))
                                        << "1,2" << true << true
                                        << QVariant::fromValue(Currency::fromRaw(12000));
        QTest::newRow("decimal typed") << 3 << QVariant(3.0) << "12,5" << true << true << QVariant(12.5);
        QTest::newRow("amount typed") << 4 << QVariant(0) << "0,1" << true << true
                                      << QVariant::fromValue(Currency::fromRaw(1000));
        QTest::newRow("text trimmed") << 0 << QVariant() << " Rossi " << true << true
                                      << QVariant(QStringLiteral("Rossi"));
        QTest::newRow("date typed") << 1 << QVariant() << "01022021" << true << true
                                    << QVariant(QDate(2021, 2, 1));
        QTest::newRow("impossible date") << 1 << QVariant() << "31022021" << false << false << QVariant();
        QTest::newRow("lone minus") << 2 << QVariant(7) << "-" << false << false << QVariant(7);
        QTest::newRow("beyond a Long") << 2 << QVariant(7) << "99999999999" << false << false
                                       << QVariant(7);
        QTest::newRow("whole typed") << 2 << QVariant(7) << "-42" << true << true << QVariant(-42);
    }
    void matchCommitsTheEditText()
    {
        QFETCH(int, type);
        QFETCH(QVariant, loaded);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(bool, changed);
        QFETCH(QVariant, value);
        Form form;
        slxText *f = form.field;
        f->setControlType(type);
        f->setAutoTab(false);
        f->setNegativeNumbers(true);
        f->setIntDigits(12);
        f->setValue(loaded);
        form.enter();
        if (!typed.isEmpty())
            QTest::keyClicks(f, typed);
        bool modified = !changed;
        QCOMPARE(f->Match(modified), accepted);
        if (!accepted) {
            QCOMPARE(f->SelLength(), int(f->Text().size()));
            QCOMPARE(modified, !changed);
        } else {
            QCOMPARE(modified, changed);
        }
        if (type == slxText::Intero && !accepted)
            QCOMPARE(MessageBoxSeam::asked().size(), 1);
        if (Currency::isCurrency(value))
            QCOMPARE(f->Value().value<Currency>(), value.value<Currency>());
        else
            QCOMPARE(f->Value(), value);
    }

    void emptyDateMaskIsNull()
    {
        Form form;
        slxText *f = form.field;
        f->setControlType(slxText::Data);
        f->setValue(QDate(2021, 5, 12));
        form.enter();
        f->SelectAll();
        QTest::keyClick(f, Qt::Key_Delete);
        QCOMPARE(f->Text(), QStringLiteral("  /  /    "));
        bool changed = false;
        QVERIFY(f->Match(changed));
        QVERIFY(changed);
        QVERIFY(f->Value().isNull());
    }

    void requiredField_data()
    {
        QTest::addColumn<int>("required");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<bool>>("results");
        QTest::newRow("once") << 1 << QString() << QList<bool>{false, true, true};
        QTest::newRow("always") << 2 << QStringLiteral("Attenzione, manca la ragione sociale!")
                                << QList<bool>{false, false, false};
    }
    void requiredField()
    {
        QFETCH(int, required);
        QFETCH(QString, message);
        QFETCH(QList<bool>, results);
        Form form;
        slxText *f = form.field;
        f->setRequired(required);
        f->setMsgRequired(message);
        f->setValue(QVariant());
        form.enter();
        for (bool expected : results) {
            bool changed = false;
            QCOMPARE(f->Match(changed), expected);
        }
        const int shown = required == 1 ? 1 : int(results.size());
        QCOMPARE(MessageBoxSeam::asked().size(), shown);
        QCOMPARE(MessageBoxSeam::asked().first().text,
                 message.isEmpty() ? QStringLiteral("Attenzione, campo richiesto!") : message);
        QCOMPARE(MessageBoxSeam::asked().first().style, 64);
        // Loading a value arms the warning again.
        f->setValue(QVariant());
        bool changed = false;
        QVERIFY(!f->Match(changed));
    }

    void pasteObeysTheFieldsRules()
    {
        Form form;
        slxText *f = form.field;
        QClipboard *clip = QApplication::clipboard();
        f->setCharacters(10);
        f->setMaxLength(5);
        f->setAutoTab(false);
        form.enter();
        clip->setText(QStringLiteral("ab-c 12345\n"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("ABC12"));
        f->SelectAll();
        QTest::keyClick(f, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(f->Text(), QStringLiteral("ABC12"));
        f->setLocked(true);
        f->SelectAll();
        clip->setText(QStringLiteral("zz"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("ABC12"));

        // A number: a letter in the clipboard pastes nothing; a number
        // replaces the whole text whatever was selected.
        f->setLocked(false);
        f->setControlType(slxText::Decimale);
        f->setValue(1.0);
        form.enter();
        clip->setText(QStringLiteral("12a"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("1,00"));
        clip->setText(QStringLiteral("123456"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("1,00"));
        clip->setText(QStringLiteral("-3,5"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("1,00"));
        clip->setText(QStringLiteral("12,5\n"));
        f->setSelStart(1);
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("12,5"));
        QCOMPARE(f->SelLength(), 4);
        // An amount copied as another field shows it.
        clip->setText(QStringLiteral("\u20AC 123,45"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("123,45"));
        clip->setText(QStringLiteral("1.234,5"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("1234,5"));
        clip->setText(QStringLiteral("123.456,5"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("1234,5")); // six digits do not fit

        // A date: only a date is pasted, in the mask.
        f->setControlType(slxText::Data);
        f->setValue(QVariant());
        form.enter();
        clip->setText(QStringLiteral("5/3/21"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("05/03/2021"));
        clip->setText(QStringLiteral("marzo"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("05/03/2021"));
        f->setLocked(true);
        f->SelectAll();
        QTest::keyClick(f, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(f->Text(), QStringLiteral("05/03/2021"));
    }

    // A drop and the context menu's paste take the same road as Ctrl+V.
    void dropAndMenuPasteObeyTheFieldsRules()
    {
        Form form;
        slxText *f = form.field;
        f->setCharacters(2 + 8);
        form.enter();
        auto drop = [f](const QString &text) {
            QMimeData data;
            data.setText(text);
            QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(f->textBox(), &enter);
            if (!enter.isAccepted())
                return false;
            QDropEvent dropped(QPointF(3, 3), Qt::CopyAction, &data, Qt::LeftButton,
                               Qt::NoModifier);
            QCoreApplication::sendEvent(f->textBox(), &dropped);
            return dropped.isAccepted();
        };
        QVERIFY(!drop(QStringLiteral("abc"))); // drops are off by default
        f->setOleDropMode(2);
        QVERIFY(drop(QStringLiteral("ab-1")));
        QCOMPARE(f->Text(), QStringLiteral("AB1"));
        f->setLocked(true);
        QVERIFY(!drop(QStringLiteral("zz")));
        QCOMPARE(f->Text(), QStringLiteral("AB1"));
        f->setLocked(false);

        f->setControlType(slxText::Intero);
        f->setValue(5);
        form.enter();
        QVERIFY(drop(QStringLiteral("1234567")));
        QCOMPARE(f->Text(), QStringLiteral("5"));
        QVERIFY(drop(QStringLiteral("-12")));
        QCOMPARE(f->Text(), QStringLiteral("5"));
        QVERIFY(drop(QStringLiteral("12")));
        QCOMPARE(f->Text(), QStringLiteral("12"));

        // The menu's paste: choose "Incolla" by its access key.
        QApplication::clipboard()->setText(QStringLiteral("3x"));
        QTimer::singleShot(0, [] {
            if (QWidget *menu = QApplication::activePopupWidget())
                QTest::keyClick(menu, Qt::Key_N);
        });
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(3, 3),
                                    f->textBox()->mapToGlobal(QPoint(3, 3)));
        QCoreApplication::sendEvent(f->textBox(), &menuEvent);
        QCOMPARE(f->Text(), QStringLiteral("12"));
        QApplication::clipboard()->setText(QStringLiteral("345"));
        QTimer::singleShot(0, [] {
            if (QWidget *menu = QApplication::activePopupWidget())
                QTest::keyClick(menu, Qt::Key_N);
        });
        QCoreApplication::sendEvent(f->textBox(), &menuEvent);
        QCOMPARE(f->Text(), QStringLiteral("345"));
    }

    // The click that enters the field selects the whole text; the next
    // click places the caret.
    void clickIntoTheField()
    {
        Form form;
        slxText *f = form.field;
        f->setValue(QStringLiteral("Rossi Imballaggi"));
        QSignalSpy clicks(f, &slxText::Click);
        QList<float> downs;
        connect(f, &slxText::MouseDown, f,
                [&downs](int &, int &, float &X, float &) { downs << X; });
        QTest::mouseClick(f->textBox(), Qt::LeftButton, {}, QPoint(30, 5));
        QVERIFY(f->textBox()->hasFocus());
        QCOMPARE(f->SelLength(), 16);
        QTest::mouseClick(f->textBox(), Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(f->SelLength(), 0);
        QVERIFY(f->SelStart() > 0);
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(downs.size(), 2);
        // The position is in the field's own coordinates.
        QCOMPARE(int(downs.first()), 30 + f->textBox()->x());
    }

    void composedCharactersAreTypedKeys()
    {
        Form form;
        slxText *f = form.field;
        f->setCharacters(1 + 2);
        QList<int> pressed;
        connect(f, &slxText::KeyPress, f, [&pressed](int &KeyAscii) { pressed << KeyAscii; });
        form.enter();
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("\u00E8!\u20AC"));
        QCoreApplication::sendEvent(f->textBox(), &composed);
        QCOMPARE(f->Text(), QStringLiteral("\u00C8"));
        QCOMPARE(pressed, (QList<int>{232, '!', 128}));
    }

    void enterArrowsAndMultiLine()
    {
        Form form;
        slxText *f = form.field;
        form.enter();
        QTest::keyClick(f, Qt::Key_Return);
        QTRY_VERIFY(form.after->hasFocus());
        form.enter();
        QTest::keyClick(f, Qt::Key_Up);
        QTRY_VERIFY(form.before->hasFocus());

        f->setMultiLine(1);
        QVERIFY(qobject_cast<QPlainTextEdit *>(f->textBox()));
        form.enter();
        QTest::keyClicks(f, "ab");
        QTest::keyClick(f, Qt::Key_Down);
        QTest::qWait(20);
        QVERIFY(f->textBox()->hasFocus());
        QTest::keyClick(f, Qt::Key_Return);
        QTRY_VERIFY(form.after->hasFocus());

        f->setMultiLine(2);
        form.enter();
        QTest::keyClicks(f, "uno");
        QTest::keyClick(f, Qt::Key_Return);
        QTest::keyClicks(f, "due");
        QCOMPARE(f->Text(), QStringLiteral("uno\ndue"));
        QVERIFY(f->textBox()->hasFocus());
    }

    // Keys the field has no use for reach the form: Esc closes a dialog.
    void escapeReachesTheDialog()
    {
        QDialog dialog;
        auto *f = new slxText(&dialog);
        new QVBoxLayout(&dialog);
        dialog.layout()->addWidget(f);
        dialog.show();
        QVERIFY(TestSupport::activate(&dialog));
        f->setFocus();
        QTest::keyClick(f->textBox(), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // The grid changes or drops keys in the field's KeyDown and KeyPress.
    void containerSeesKeysFirst()
    {
        Form form;
        slxText *f = form.field;
        QList<int> downs;
        connect(f, &slxText::KeyDown, f, [&downs](int &KeyCode, int &) { downs << KeyCode; });
        connect(f, &slxText::KeyPress, f, [](int &KeyAscii) {
            if (KeyAscii == 'x')
                KeyAscii = 0;
            else if (KeyAscii == 'y')
                KeyAscii = 'z';
        });
        QSignalSpy changes(f, &slxText::Change);
        form.enter();
        changes.clear();
        QTest::keyClicks(f, "axy");
        QCOMPARE(f->Text(), QStringLiteral("az"));
        QCOMPARE(downs, (QList<int>{'A', 'X', 'Y'}));
        QCOMPARE(changes.size(), 2);
        // Assigning Value raises no Change.
        f->setValue(QStringLiteral("nuovo"));
        QCOMPARE(changes.size(), 2);
    }

    void focusToAnotherWindowKeepsTheEditText()
    {
        Form form;
        slxText *f = form.field;
        f->setControlType(slxText::Decimale);
        f->setValue(1234.5);
        form.enter();
        f->setSelStart(2);
        QWidget other;
        other.resize(100, 50);
        other.show();
        QVERIFY(TestSupport::activate(&other));
        QCOMPARE(f->Text(), QStringLiteral("1234,50"));
        QVERIFY(TestSupport::activate(&form.window));
        QVERIFY(f->textBox()->hasFocus());
        QCOMPARE(f->Text(), QStringLiteral("1234,50"));
        QCOMPARE(f->SelStart(), 2);
        QCOMPARE(f->SelLength(), 0);
    }

    void validateKeepsTheFocus()
    {
        Form form;
        slxText *f = form.field;
        f->setControlType(slxText::Data);
        connect(f, &slxText::Validate, f, [f](bool &Cancel) {
            bool changed = false;
            Cancel = !f->Match(changed);
        });
        form.enter();
        QTest::keyClicks(f, "3102");
        QTest::keyClick(f, Qt::Key_Tab);
        QTest::qWait(20);
        QVERIFY(f->textBox()->hasFocus());
        QCOMPARE(f->Text(), QStringLiteral("31/02/    "));
        QCOMPARE(f->SelLength(), 10);
        f->setSelStart(3);
        QTest::keyClicks(f, "01");
        QCOMPARE(f->Text(), QStringLiteral("31/01/    "));
        QTest::keyClick(f, Qt::Key_Tab);
        QTRY_VERIFY(form.after->hasFocus());
        QCOMPARE(f->Value().toDate(), QDate(QDate::currentDate().year(), 1, 31));
        QCOMPARE(f->Text(), QStringLiteral("31/01/%1").arg(QDate::currentDate().year()));
        QTest::keyClick(form.after, Qt::Key_Backtab);
        QTRY_VERIFY(f->textBox()->hasFocus());
        QCOMPARE(f->SelLength(), 10);
    }

    void rightAlignedBoxHugsTheText()
    {
        Form form;
        slxText *f = form.field;
        f->setAppearance(6); // margins 2
        f->setAlignment(1);
        f->setValue(QStringLiteral("abc"));
        const QRect box = f->textBox()->geometry();
        QCOMPARE(box.right(), f->width() - 2 - 1);
        QVERIFY(box.width() < f->width() / 2);
        QCOMPARE(box.top(), 2);
        form.enter();
        QCOMPARE(f->textBox()->geometry().left(), 2);
        f->setValue(QString(200, QLatin1Char('W')));
        form.leave();
        QCOMPARE(f->textBox()->geometry().left(), 2);
    }

    void transparentFieldShowsItsColourOnlyWhileEdited()
    {
        Form form;
        QPalette pal = form.window.palette();
        pal.setColor(QPalette::Window, QColor(200, 220, 200));
        form.window.setPalette(pal);
        slxText *f = form.field;
        f->setBackColor(0x00FFFF); // yellow: red and green bytes
        f->setBackStyle(0);
        const QPoint inside(f->width() - 4, f->height() / 2);
        QCOMPARE(f->grab().toImage().pixelColor(inside), QColor(200, 220, 200));
        form.enter();
        QCOMPARE(f->grab().toImage().pixelColor(inside), QColor(255, 255, 0));
        form.leave();
        QCOMPARE(f->grab().toImage().pixelColor(inside), QColor(200, 220, 200));
        f->setBackStyle(1);
        QCOMPARE(f->grab().toImage().pixelColor(inside), QColor(255, 255, 0));
    }

    void autoSizeKeepsOneLine()
    {
        QWidget parent;
        slxText *f = new slxText(&parent);
        parent.show();
        const int lineHeight = QFontMetrics(f->font()).height();
        f->resize(100, 5);
        QCOMPARE(f->height(), lineHeight + 1 + 3);
        f->resize(100, 60);
        QCOMPARE(f->height(), 60);
        f->setAutoSize(true);
        QCOMPARE(f->height(), lineHeight + 4);
        f->setAppearance(5);
        QCOMPARE(f->height(), lineHeight + 3 + 5);
        f->resize(100, 60);
        QCOMPARE(f->height(), lineHeight + 8);
    }

    void propertyBagRoundTrip()
    {
        QWidget parent;
        slxText plain(&parent);
        plain.initNewInstance();
        PropertyBag empty;
        plain.writeProperties(empty);
        QCOMPARE(empty.keys(), QStringList());

        slxText a(&parent);
        a.setControlType(slxText::Valuta);
        a.setNegativeNumbers(true);
        a.setIntDigits(9);
        a.setAppearance(5);
        a.setCurrencyPos(1);
        a.setCharacters(10);
        a.setCharTable(QStringLiteral(".-"));
        a.setRequired(2);
        a.setMsgRequired(QStringLiteral("Attenzione, importo richiesto!"));
        a.setAutoTab(false);
        a.setBackColor(0x00FFFF);
        a.setEnabled(false);
        a.setField(QStringLiteral("scQta"));
        a.setValue(QStringLiteral("1234,5"));
        PropertyBag bag;
        a.writeProperties(bag);
        QVERIFY(bag.contains(QStringLiteral("Negative")));
        QVERIFY(!bag.contains(QStringLiteral("NegativeNumbers")));
        QVERIFY(!bag.contains(QStringLiteral("DecDigits")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("ControlType")).toInt(), 4);

        slxText b(&parent);
        b.readProperties(bag);
        for (const char *name : {"ControlType", "Negative", "IntDigits", "Appearance", "CurrencyPos",
                                 "Characters", "CharTable", "Required", "MsgRequired", "AutoTab",
                                 "BackColor", "Enabled", "Field", "DecDigits"})
            QCOMPARE(b.property(name), a.property(name));
        QCOMPARE(b.Value().value<Currency>(), Currency::fromRaw(12345000));
        QCOMPARE(b.Text(), QStringLiteral("\u20AC 1.234,50"));
        QVERIFY(!b.isEnabled());
        PropertyBag again;
        b.writeProperties(again);
        QCOMPARE(again.keys(), bag.keys());
    }

    // Pictures of forms holding fields, with and without the focus, enabled
    // and disabled, with every border, for a person to look at.
    void pictures()
    {
        QWidget form;
        form.setWindowTitle(QStringLiteral("Scheda"));
        auto *layout = new QFormLayout(&form);
        auto add = [&](const QString &label, int type, const QVariant &value) {
            auto *f = new slxText(&form);
            f->setAppearance(5);
            f->setControlType(type);
            layout->addRow(label, f);
            f->setValue(value);
            return f;
        };
        add(QStringLiteral("Ragione sociale:"), slxText::Testo,
            QStringLiteral("Imballaggi Città di Castello S.r.l."));
        add(QStringLiteral("Codice fiscale:"), slxText::Testo, QStringLiteral("01234567890"));
        add(QStringLiteral("Data:"), slxText::Data, QDate(2021, 5, 12));
        slxText *qty = add(QStringLiteral("Quantità:"), slxText::Decimale, 1234567.5);
        qty->setAlignment(1);
        qty->setIntDigits(9);
        slxText *amount = add(QStringLiteral("Importo:"), slxText::Valuta, 0);
        amount->setCurrencyPos(1);
        amount->setAlignment(1);
        amount->setValue(98765.43);
        slxText *notes = new slxText(&form);
        notes->setMultiLine(1);
        notes->setScrollBars(1);
        notes->setAppearance(5);
        notes->setValue(QStringLiteral("Prima riga delle note\nseconda riga"));
        layout->addRow(QStringLiteral("Note:"), notes);
        form.resize(340, 220);
        form.show();
        QVERIFY(TestSupport::activate(&form));
        notes->setFocus();
        TestSupport::grab(&form, QStringLiteral("slxText_form"));
        amount->setFocus();
        TestSupport::grab(&form, QStringLiteral("slxText_form_focus"));
        for (slxText *f : form.findChildren<slxText *>())
            f->setEnabled(false);
        TestSupport::grab(&form, QStringLiteral("slxText_form_disabled"));

        QWidget window;
        auto *column = new QVBoxLayout(&window);
        QList<slxText *> fields;
        for (int appearance = 0; appearance < 12; ++appearance) {
            auto *f = new slxText(&window);
            f->setAppearance(appearance);
            f->setControlType(appearance % 3 == 0 ? slxText::Testo
                              : appearance % 3 == 1 ? slxText::Valuta : slxText::Data);
            f->setCurrencyPos(1);
            f->setAlignment(appearance % 3 == 1 ? 1 : 0);
            f->setValue(appearance % 3 == 0 ? QVariant(QStringLiteral("Bordo %1 àèìòù").arg(appearance))
                        : appearance % 3 == 1 ? QVariant(1234.5 * appearance)
                                              : QVariant(QDate(2021, 5, appearance + 1)));
            column->addWidget(f);
            fields << f;
        }
        window.resize(260, 12 * 26);
        window.show();
        QVERIFY(TestSupport::activate(&window));
        fields.at(4)->setFocus();
        TestSupport::grab(&window, QStringLiteral("slxText_borders_focus"));
        fields.at(7)->setFocus();
        for (int i = 0; i < fields.size(); i += 2)
            fields.at(i)->setEnabled(false);
        const QString path = TestSupport::grab(&window, QStringLiteral("slxText_borders_disabled"));
        QVERIFY(QFile::exists(path));
    }
};

QTEST_MAIN(tst_slxText)
#include "tst_slxText.moc"
