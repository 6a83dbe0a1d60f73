#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "WheelHooks.h"

namespace {

QWheelEvent wheelDown(QWidget *over)
{
    const QPointF pos(5, 5);
    return QWheelEvent(pos, over->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
}

// Counts the wheel events that reach a widget's own handling.
class WheelCounter : public QObject
{
public:
    explicit WheelCounter(QWidget *w) : QObject(w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Wheel)
            ++count;
        return false;
    }
};

} // namespace

// The wheel turned anywhere on a hooked window reaches its handler once
// (the focused grid scrolls) and still does what it does by itself.
class tst_WheelHooks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        QCOMPARE(WheelHooks::instance().count(), 0);
    }

    void handlerSeesWheelOverAnyChild()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit(&window);
        auto *text = new QPlainTextEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(text);
        for (int i = 0; i < 200; ++i)
            text->appendPlainText(QStringLiteral("riga %1").arg(i));
        window.resize(300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        int calls = 0;
        QPoint delta;
        WheelHooks::instance().hook(&window, [&](QWheelEvent *e) {
            ++calls;
            delta = e->angleDelta();
        });
        QVERIFY(WheelHooks::instance().isHooked(&window));

        WheelCounter onEdit(edit);
        QWheelEvent overEdit = wheelDown(edit);
        QApplication::sendEvent(edit, &overEdit);
        QCOMPARE(calls, 1);
        QCOMPARE(delta, QPoint(0, -120));
        QCOMPARE(onEdit.count, 1);

        // A text box hands the turn on to its scroll bar: still one call,
        // and the box scrolls as it always did.
        text->verticalScrollBar()->setValue(0);
        QWheelEvent overText = wheelDown(text->viewport());
        QApplication::sendEvent(text->viewport(), &overText);
        QCOMPARE(calls, 2);
        QVERIFY(text->verticalScrollBar()->value() > 0);

        // Qt passes an unwanted turn up the parents as the same event.
        QWheelEvent propagated = wheelDown(edit);
        QApplication::sendEvent(edit, &propagated);
        QApplication::sendEvent(&window, &propagated);
        QCOMPARE(calls, 3);

        // Turns sent one after another all count.
        for (int i = 0; i < 3; ++i) {
            QWheelEvent again = wheelDown(edit);
            QApplication::sendEvent(edit, &again);
        }
        QCOMPARE(calls, 6);

        WheelHooks::instance().unhook(&window);
        QVERIFY(!WheelHooks::instance().isHooked(&window));
        QWheelEvent after = wheelDown(edit);
        QApplication::sendEvent(edit, &after);
        QCOMPARE(calls, 6);
        WheelHooks::instance().unhook(&window); // a second unhook does nothing
    }

    void eachWindowKeepsItsOwnEntry()
    {
        // The main window and a sheet inside it are both hooked.
        QWidget main;
        auto *mainEdit = new QLineEdit(&main);
        auto *sheet = new QWidget(&main);
        auto *sheetEdit = new QLineEdit(sheet);
        QWidget other;
        auto *otherEdit = new QLineEdit(&other);
        QDialog dialog(&main);
        auto *dialogEdit = new QLineEdit(&dialog);

        int mainCalls = 0, sheetCalls = 0, otherCalls = 0;
        WheelHooks::instance().hook(&main, [&](QWheelEvent *) { ++mainCalls; });
        WheelHooks::instance().hook(sheet, [&](QWheelEvent *) { ++sheetCalls; });
        WheelHooks::instance().hook(&other, [&](QWheelEvent *) { ++otherCalls; });
        QCOMPARE(WheelHooks::instance().count(), 3);

        for (QWidget *w : {static_cast<QWidget *>(mainEdit), static_cast<QWidget *>(sheetEdit),
                           static_cast<QWidget *>(otherEdit), static_cast<QWidget *>(dialogEdit)}) {
            QWheelEvent e = wheelDown(w);
            QApplication::sendEvent(w, &e);
        }
        // The sheet's turn goes to the sheet only; a dialog is a window of
        // its own, not part of the main window.
        QCOMPARE(mainCalls, 1);
        QCOMPARE(sheetCalls, 1);
        QCOMPARE(otherCalls, 1);

        WheelHooks::instance().unhook(sheet);
        QWheelEvent e = wheelDown(sheetEdit);
        QApplication::sendEvent(sheetEdit, &e);
        QCOMPARE(mainCalls, 2);
        QCOMPARE(sheetCalls, 1);

        WheelHooks::instance().unhook(&main);
        WheelHooks::instance().unhook(&other);
    }

    void destroyedWindowLeavesTheTable()
    {
        auto *window = new QWidget;
        WheelHooks::instance().hook(window, [](QWheelEvent *) {});
        QCOMPARE(WheelHooks::instance().count(), 1);
        delete window;
        QCOMPARE(WheelHooks::instance().count(), 0);
    }

    void handlerMayUnhookItsWindow()
    {
        QWidget window;
        auto *edit = new QLineEdit(&window);
        int calls = 0;
        WheelHooks::instance().hook(&window, [&](QWheelEvent *) {
            ++calls;
            WheelHooks::instance().unhook(&window);
        });
        QWheelEvent e = wheelDown(edit);
        QApplication::sendEvent(edit, &e);
        QCOMPARE(calls, 1);
        QVERIFY(!WheelHooks::instance().isHooked(&window));
    }
};

QTEST_MAIN(tst_WheelHooks)
#include "tst_WheelHooks.moc"
