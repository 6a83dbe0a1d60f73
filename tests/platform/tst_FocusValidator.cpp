#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "FocusValidator.h"
#include "KeySender.h"

namespace {

// Counts the focus events a widget really receives.
class FocusCounter : public QObject
{
public:
    explicit FocusCounter(QWidget *w) : QObject(w) { w->installEventFilter(this); }
    int in = 0;
    int out = 0;
    Qt::FocusReason lastOut = Qt::NoFocusReason;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::FocusIn) {
            ++in;
        } else if (e->type() == QEvent::FocusOut) {
            ++out;
            lastOut = static_cast<QFocusEvent *>(e)->reason();
        }
        return false;
    }
};

// A form: a checked field, a plain field, a button, and a composite control
// (a frame around its own line edit) that is checked as a whole.
struct Form
{
    QWidget window;
    QLineEdit *checked;
    QLineEdit *other;
    QPushButton *button;
    QWidget *composite;
    QLineEdit *inner;
    QLineEdit *innerSecond;

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        checked = new QLineEdit(&window);
        other = new QLineEdit(&window);
        button = new QPushButton(QStringLiteral("Salva"), &window);
        composite = new QWidget(&window);
        auto *row = new QHBoxLayout(composite);
        inner = new QLineEdit(composite);
        innerSecond = new QLineEdit(composite);
        row->addWidget(inner);
        row->addWidget(innerSecond);
        layout->addWidget(checked);
        layout->addWidget(other);
        layout->addWidget(button);
        layout->addWidget(composite);
        window.resize(300, 200);
        window.show();
        window.activateWindow();
    }
};

// These stories are about leaving a control: nothing is ever pending.
void watch(QWidget *control, FocusValidator::Check check)
{
    FocusValidator::instance().watch(control, std::move(check), [] { return false; });
}

} // namespace

class tst_FocusValidator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leavingRunsTheCheck_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("accept");
        for (const char *how : {"tab", "click", "setFocus", "sendTab"}) {
            QTest::addRow("%s refused", how) << QString::fromLatin1(how) << false;
            QTest::addRow("%s accepted", how) << QString::fromLatin1(how) << true;
        }
    }

    void leavingRunsTheCheck()
    {
        QFETCH(QString, how);
        QFETCH(bool, accept);
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.checked->setFocus();
        f.checked->setText(QStringLiteral("abc"));
        f.checked->setSelection(1, 2);
        QCOMPARE(QApplication::focusWidget(), f.checked);
        FocusCounter onChecked(f.checked);
        FocusCounter onOther(f.other);
        int calls = 0;
        QWidget *focusDuringCheck = nullptr;
        watch(f.checked, [&] {
            ++calls;
            focusDuringCheck = QApplication::focusWidget();
            return accept;
        });

        if (how == QLatin1String("tab"))
            QTest::keyClick(f.checked, Qt::Key_Tab);
        else if (how == QLatin1String("click"))
            QTest::mouseClick(f.other, Qt::LeftButton);
        else if (how == QLatin1String("setFocus"))
            f.other->setFocus(Qt::OtherFocusReason);
        else {
            KeySender::sendTab();
            QTRY_COMPARE(calls, 1);
        }
        QCoreApplication::processEvents();

        QCOMPARE(calls, 1);
        // The check runs with the focus still on the control.
        QCOMPARE(focusDuringCheck, f.checked);
        if (accept) {
            QCOMPARE(QApplication::focusWidget(), f.other);
            QCOMPARE(onChecked.out, 1);
            QCOMPARE(onOther.in, 1);
        } else {
            QCOMPARE(QApplication::focusWidget(), f.checked);
            QVERIFY(f.checked->hasFocus());
            // Neither side saw the attempt: no reformatting, no flicker.
            QCOMPARE(onChecked.out, 0);
            QCOMPARE(onChecked.in, 0);
            QCOMPARE(onOther.in, 0);
            QCOMPARE(onOther.out, 0);
            QCOMPARE(f.checked->text(), QStringLiteral("abc"));
            QCOMPARE(f.checked->selectedText(), QStringLiteral("bc"));
        }
        FocusValidator::instance().unwatch(f.checked);
    }

    void refusedClickDoesNotPressTheButton()
    {
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.checked->setFocus();
        bool accept = false;
        watch(f.checked, [&] { return accept; });
        QSignalSpy clicked(f.button, &QPushButton::clicked);

        QTest::mouseClick(f.button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(!f.button->isDown());
        QCOMPARE(QApplication::focusWidget(), f.checked);

        accept = true;
        QTest::mouseClick(f.button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(QApplication::focusWidget(), f.button);
        FocusValidator::instance().unwatch(f.checked);
    }

    void messageBoxInTheCheckIsNoLeave_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("refused") << false;
        QTest::newRow("accepted") << true;
    }

    void messageBoxInTheCheckIsNoLeave()
    {
        QFETCH(bool, accept);
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.checked->setFocus();
        FocusCounter onChecked(f.checked);
        FocusCounter onOther(f.other);
        int calls = 0;
        bool boxWasActive = false;
        watch(f.checked, [&] {
            ++calls;
            QMessageBox box(QMessageBox::Information, QStringLiteral("Kez 2022"),
                            QStringLiteral("Attenzione, campo richiesto!"), QMessageBox::Ok,
                            &f.window);
            QTimer::singleShot(50, &box, [&] {
                boxWasActive = QApplication::activeWindow() == &box;
                box.accept();
            });
            box.exec();
            return accept;
        });

        QTest::keyClick(f.checked, Qt::Key_Tab);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCoreApplication::processEvents();
        QCOMPARE(calls, 1);
        QVERIFY(boxWasActive);
        // The box took the focus for a while; an accepted check then tells
        // the field it has been left by the Tab, a refused one does not.
        QCOMPARE(onChecked.out, accept ? 2 : 1);
        QCOMPARE(onChecked.lastOut, accept ? Qt::TabFocusReason : Qt::ActiveWindowFocusReason);
        // A desktop gives the window back its activation when the box
        // closes; the offscreen platform leaves that to us.
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(QApplication::focusWidget(), accept ? static_cast<QWidget *>(f.other) : f.checked);
        QCOMPARE(onOther.in > 0, accept);
        FocusValidator::instance().unwatch(f.checked);
    }

    void anotherWindowIsNoLeave()
    {
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.checked->setFocus();
        int calls = 0;
        watch(f.checked, [&] { return ++calls, false; });

        QWidget second;
        auto *edit = new QLineEdit(&second);
        second.show();
        second.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        edit->setFocus();
        QCOMPARE(calls, 0);
        QCOMPARE(QApplication::focusWidget(), edit);
        FocusValidator::instance().unwatch(f.checked);
    }

    void compositeControlIsCheckedAsAWhole()
    {
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        int calls = 0;
        watch(f.composite, [&] { return ++calls, false; });
        f.inner->setFocus();

        // Inside the control the focus moves freely.
        QTest::keyClick(f.inner, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.innerSecond);
        QCOMPARE(calls, 0);

        f.checked->setFocus(Qt::MouseFocusReason);
        QCOMPARE(calls, 1);
        QCOMPARE(QApplication::focusWidget(), f.innerSecond);
        FocusValidator::instance().unwatch(f.composite);
    }

    void checkMayMoveTheFocusItself()
    {
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.checked->setFocus();
        int calls = 0;
        watch(f.checked, [&] {
            ++calls;
            f.button->setFocus();
            return true;
        });
        f.other->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(calls, 1);
        QCOMPARE(QApplication::focusWidget(), f.button);
        FocusValidator::instance().unwatch(f.checked);
    }

    void unwatchedAndDestroyedControlsAreForgotten()
    {
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        int calls = 0;
        watch(f.checked, [&] { return ++calls, false; });
        FocusValidator::instance().unwatch(f.checked);
        f.checked->setFocus();
        f.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(calls, 0);
        QCOMPARE(QApplication::focusWidget(), f.other);

        QPointer<QLineEdit> doomed = new QLineEdit(&f.window);
        watch(doomed, [&] { return ++calls, false; });
        QVERIFY(FocusValidator::instance().isWatched(doomed));
        QWidget *raw = doomed;
        delete doomed;
        QVERIFY(!FocusValidator::instance().isWatched(raw));
    }

    void disabledControlLetsTheFocusGo()
    {
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.checked->setFocus();
        int calls = 0;
        watch(f.checked, [&] { return ++calls, false; });
        f.checked->setEnabled(false);
        QVERIFY(QApplication::focusWidget() != f.checked);
        QCOMPARE(calls, 0);
        FocusValidator::instance().unwatch(f.checked);
    }

    void hiddenOrDeletedControlLetsTheFocusGo()
    {
        Form f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        int calls = 0;
        watch(f.checked, [&] { return ++calls, false; });
        f.checked->setFocus();
        f.checked->hide();
        QVERIFY(QApplication::focusWidget() != f.checked);

        watch(f.composite, [&] { return ++calls, false; });
        f.inner->setFocus();
        delete f.composite;
        QVERIFY(QApplication::focusWidget() != f.inner);
        QCOMPARE(calls, 0);
        FocusValidator::instance().unwatch(f.checked);
    }

    void sheetsInsideTheMainWindowAreFormsOfTheirOwn()
    {
        QMdiArea area;
        auto makeSheet = [&area] {
            auto *sheet = new QWidget;
            auto *layout = new QVBoxLayout(sheet);
            layout->addWidget(new QLineEdit(sheet));
            layout->addWidget(new QLineEdit(sheet));
            area.addSubWindow(sheet)->show();
            return sheet->findChildren<QLineEdit *>();
        };
        const auto first = makeSheet();
        const auto second = makeSheet();
        area.resize(600, 400);
        area.show();
        area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        area.setActiveSubWindow(area.subWindowList().first());
        first[0]->setFocus();
        QCOMPARE(QApplication::focusWidget(), first[0]);
        int calls = 0;
        watch(first[0], [&] { return ++calls, false; });

        QTest::keyClick(first[0], Qt::Key_Tab);
        QCOMPARE(calls, 1);
        QCOMPARE(QApplication::focusWidget(), first[0]);

        // Going to another sheet is leaving the form, not the field.
        area.setActiveSubWindow(area.subWindowList().last());
        second[1]->setFocus(Qt::MouseFocusReason);
        QCOMPARE(calls, 1);
        QCOMPARE(QApplication::focusWidget(), second[1]);
        FocusValidator::instance().unwatch(first[0]);
    }
};

QTEST_MAIN(tst_FocusValidator)
#include "tst_FocusValidator.moc"
