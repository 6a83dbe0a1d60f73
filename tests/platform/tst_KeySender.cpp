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
