#include <QSignalSpy>
#include <QTest>

#include "PropertyBag.h"
#include "SystemColors.h"
#include "TestSupport.h"
#include "tbButton.h"

// The light toolbar button: its looks while idle, hovered and pressed, and
// the single Click it raises.
class tst_tbButton : public QObject
{
    Q_OBJECT

    struct Bar
    {
        QWidget window;
        tbButton *button;
        Bar(bool flat)
        {
            window.resize(200, 60);
            button = new tbButton(&window);
            button->setGeometry(10, 10, 90, 30);
            button->setCaption(QStringLiteral("Seleziona"));
            button->setFlat(flat);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        void moveWithLeft(const QPoint &p)
        {
            QMouseEvent move(QEvent::MouseMove, p, button->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(button, &move);
        }
        void leave()
        {
            QCursor::setPos(window.mapToGlobal(QPoint(190, 55)));
        }
    };

private Q_SLOTS:
    void flatLooks()
    {
        Bar bar(true);
        QCOMPARE(bar.button->edge(), 0);
        QCursor::setPos(bar.button->mapToGlobal(QPoint(20, 10)));
        QTest::mouseMove(bar.button, QPoint(20, 10));
        QCOMPARE(bar.button->edge(), 4);
        QVERIFY(bar.button->hoverRunning());
        QTest::mousePress(bar.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        QCOMPARE(bar.button->edge(), 2);
        QVERIFY(!bar.button->hoverRunning());
        const QImage pressed = bar.button->grab().toImage();
        QTest::mouseRelease(bar.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        QCOMPARE(bar.button->edge(), 4);
        // The content moves one pixel right and down while pressed.
        const QImage raised = bar.button->grab().toImage();
        const QRect inner(10, 8, 60, 14);
        QCOMPARE(pressed.copy(inner.translated(1, 1)), raised.copy(inner));
        bar.leave();
        QTRY_COMPARE(bar.button->edge(), 0);
        QVERIFY(!bar.button->hoverRunning());
    }

    void clickOnlyWhenReleasedInside_data()
    {
        QTest::addColumn<bool>("flat");
        QTest::addColumn<bool>("backInside");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("edgeAfter");
        QTest::newRow("flat, released outside") << true << false << 0 << 0;
        QTest::newRow("raised, released outside") << false << false << 0 << 4;
        QTest::newRow("flat, dragged back in") << true << true << 1 << 4;
    }

    void clickOnlyWhenReleasedInside()
    {
        QFETCH(bool, flat);
        QFETCH(bool, backInside);
        QFETCH(int, clicks);
        QFETCH(int, edgeAfter);
        Bar bar(flat);
        QSignalSpy spy(bar.button, &tbButton::Click);
        QTest::mousePress(bar.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        bar.moveWithLeft(QPoint(150, 10));
        QCOMPARE(bar.button->edge(), 4);
        QPoint release(150, 10);
        if (backInside) {
            release = QPoint(30, 12);
            bar.moveWithLeft(release);
            QCOMPARE(bar.button->edge(), 2);
        }
        QTest::mouseRelease(bar.button, Qt::LeftButton, Qt::NoModifier, release);
        QCOMPARE(spy.count(), clicks);
        QCOMPARE(bar.button->edge(), edgeAfter);
    }

    void hoverOnlyWhenVisible()
    {
        Bar bar(false);
        QTest::mouseMove(bar.button, QPoint(20, 10));
        QVERIFY(!bar.button->hoverRunning());
        bar.button->setForeOver(0x0000FF);
        QTest::mouseMove(bar.button, QPoint(21, 10));
        QVERIFY(bar.button->hoverRunning());
        QCOMPARE(bar.button->textColor(), 0x0000FF);
    }

    void underlineOnlyWhileFlatAndIdle()
    {
        Bar bar(true);
        bar.button->setBackColor(0xFF00FF);
        bar.button->setUnderlineColor(0x000000);
        bar.button->setUnderline(true);
        // Setting Underline does not repaint by itself: the next paint shows it.
        QCOMPARE(bar.button->grab().toImage().pixelColor(45, 29), QColor(Qt::black));
        bar.button->setFlat(false);
        QVERIFY(bar.button->grab().toImage().pixelColor(45, 29) != QColor(Qt::black));
    }

    void ampersandIsNoAccessKey()
    {
        Bar bar(true);
        bar.button->setCaption(QStringLiteral("&Chiudi"));
        QSignalSpy spy(bar.button, &tbButton::Click);
        QTest::keyClick(&bar.window, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(spy.count(), 0);
    }

    void disabledIgnoresTheMouse()
    {
        Bar bar(true);
        bar.button->setEnabled(false);
        QSignalSpy spy(bar.button, &tbButton::Click);
        QTest::mouseClick(bar.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(bar.button->edge(), 0);
    }

    void propertyBagRoundTrip()
    {
        QWidget host;
        tbButton fresh(&host);
        PropertyBag empty;
        fresh.writeProperties(empty);
        QCOMPARE(empty.keys(), QStringList());

        tbButton source(&host);
        source.setCaption(QStringLiteral("Chiudi"));
        source.setFlat(true);
        source.setForeOver(SystemColors::vbHighlight);
        source.setPicPosition(1);
        source.setUnderline(true);
        PropertyBag bag;
        source.writeProperties(bag);
        QCOMPARE(bag.keys(),
                 (QStringList{"Caption", "Flat", "ForeOver", "PicPosition", "Underline"}));
        tbButton copy(&host);
        copy.readProperties(bag);
        QCOMPARE(copy.edge(), 0);
        PropertyBag again;
        copy.writeProperties(again);
        QCOMPARE(again.keys(), bag.keys());

        tbButton placed(&host);
        placed.setObjectName(QStringLiteral("tbb_1"));
        placed.initNewInstance();
        QCOMPARE(placed.Caption(), QStringLiteral("tbb_1"));
        QCOMPARE(placed.edge(), 4);
    }
};

QTEST_MAIN(tst_tbButton)
#include "tst_tbButton.moc"
