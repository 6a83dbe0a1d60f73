#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

#include "KeySender.h"

class tst_KeySender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Enter moves on everywhere: the synthesised Tab must not be eaten by
    // the control that has the focus.
    void sendTabMovesFromAnyControl_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("backwards");
        for (const char *kind : {"lineedit", "combo", "editablecombo", "textedit"}) {
            QTest::addRow("%s forward", kind) << QString::fromLatin1(kind) << false;
            QTest::addRow("%s backward", kind) << QString::fromLatin1(kind) << true;
        }
    }

    void sendTabMovesFromAnyControl()
    {
        QFETCH(QString, kind);
        QFETCH(bool, backwards);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *before = new QLineEdit(&window);
        QWidget *middle = nullptr;
        if (kind == QLatin1String("lineedit")) {
            middle = new QLineEdit(&window);
        } else if (kind == QLatin1String("textedit")) {
            middle = new QTextEdit(&window);
        } else {
            auto *combo = new QComboBox(&window);
            combo->addItems({QStringLiteral("Kg"), QStringLiteral("t")});
            combo->setEditable(kind == QLatin1String("editablecombo"));
            middle = combo;
        }
        auto *after = new QLineEdit(&window);
        layout->addWidget(before);
        layout->addWidget(middle);
        layout->addWidget(after);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        middle->setFocus();
        QVERIFY(middle->hasFocus());

        KeySender::sendTab(backwards);
        // Queued like a keystroke: nothing moves until the loop runs.
        QVERIFY(middle->hasFocus());
        QTRY_VERIFY((backwards ? before : after)->hasFocus());
        if (auto *edit = qobject_cast<QTextEdit *>(middle))
            QVERIFY(edit->toPlainText().isEmpty());
    }

    // A move and the user's own key for the same field make one move,
    // whichever comes first; a key that does anything else in between, or
    // a move the field asked for by Enter, is the user's own.
    void oneMoveForAFilledField_data()
    {
        QTest::addColumn<bool>("filled");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("reached");
        // Keys: T Tab, E Enter, x a letter, "." the queued move runs.
        QTest::newRow("filled, Tab before the move") << true << "T." << "second";
        QTest::newRow("filled, Tab after the move") << true << ".T" << "second";
        QTest::newRow("filled, Enter after the move") << true << ".E" << "second";
        QTest::newRow("filled, two Tabs after the move") << true << ".TT" << "third";
        QTest::newRow("filled, typing then Tab") << true << ".xT" << "third";
        QTest::newRow("Enter's move, Tab before it") << false << "T." << "second";
        QTest::newRow("Enter's move, Tab after it") << false << ".T" << "third";
    }

    void oneMoveForAFilledField()
    {
        QFETCH(bool, filled);
        QFETCH(QString, keys);
        QFETCH(QString, reached);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        QLineEdit *fields[3];
        const char *names[] = {"first", "second", "third"};
        for (int i = 0; i < 3; ++i) {
            fields[i] = new QLineEdit(&window);
            fields[i]->setObjectName(QLatin1String(names[i]));
            // Enter goes on as a Tab does on the program's fields.
            connect(fields[i], &QLineEdit::returnPressed, &window, [] { KeySender::moveFocusNow(); });
            layout->addWidget(fields[i]);
        }
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        fields[0]->setFocus();
        if (filled)
            KeySender::sendAutoTab();
        else
            KeySender::sendTab();
        for (QChar k : keys) {
            if (k == QLatin1Char('.'))
                QCoreApplication::processEvents();
            else
                QTest::keyClick(QApplication::focusWidget(),
                                k == QLatin1Char('T') ? Qt::Key_Tab : k == QLatin1Char('E') ? Qt::Key_Return : Qt::Key_X);
        }
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget()->objectName(), reached);
    }

    void sendTabStaysInsideTheSheet()
    {
        QWidget main;
        auto *layout = new QHBoxLayout(&main);
        auto *outside = new QLineEdit(&main);
        auto *area = new QMdiArea(&main);
        layout->addWidget(outside);
        layout->addWidget(area);
        auto *sheet = new QWidget;
        auto *sheetLayout = new QVBoxLayout(sheet);
        auto *first = new QLineEdit(sheet);
        auto *second = new QLineEdit(sheet);
        sheetLayout->addWidget(first);
        sheetLayout->addWidget(second);
        area->addSubWindow(sheet)->show();
        main.resize(600, 400);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        second->setFocus();
        KeySender::sendTab();
        QTRY_VERIFY(first->hasFocus());
        QVERIFY(!outside->hasFocus());
    }
};

QTEST_MAIN(tst_KeySender)
#include "tst_KeySender.moc"
