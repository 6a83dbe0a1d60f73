#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "Ambient.h"
#include "CaptionLayout.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "TestSupport.h"
#include "slxButton.h"

// The owner-drawn command button as a user meets it on a form.
class tst_slxButton : public QObject
{
    Q_OBJECT

    struct Form
    {
        QWidget window;
        QLineEdit *before;
        slxButton *button;
        QLineEdit *after;
        Form()
        {
            auto *layout = new QVBoxLayout(&window);
            before = new QLineEdit(&window);
            button = new slxButton(&window);
            button->setObjectName(QStringLiteral("slb"));
            button->setFixedSize(100, 30);
            after = new QLineEdit(&window);
            layout->addWidget(before);
            layout->addWidget(button);
            layout->addWidget(after);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
    };

private Q_SLOTS:
    void layoutByPicPosition_data()
    {
        QTest::addColumn<int>("picPosition");
        QTest::addColumn<int>("edge");
        QTest::addColumn<QPoint>("picture");
        QTest::addColumn<QPoint>("caption");
        // 101 x 41 button, 16 x 16 picture, 40 x 13 caption, spacing 5.
        QTest::newRow("left") << 0 << 1 << QPoint(6, 12) << QPoint(41, 14);
        QTest::newRow("top") << 1 << 1 << QPoint(42, 6) << QPoint(30, 25);
        QTest::newRow("right") << 2 << 1 << QPoint(79, 12) << QPoint(19, 14);
        QTest::newRow("bottom") << 3 << 2 << QPoint(42, 18) << QPoint(30, 2);
        QTest::newRow("centred together") << 4 << 1 << QPoint(20, 12) << QPoint(41, 14);
        QTest::newRow("both left") << 5 << 1 << QPoint(6, 12) << QPoint(27, 14);
        QTest::newRow("both right") << 6 << 2 << QPoint(78, 12) << QPoint(33, 14);
        QTest::newRow("out of range keeps") << 9 << 1 << QPoint(-1, -1) << QPoint(-1, -1);
    }

    void layoutByPicPosition()
    {
        QFETCH(int, picPosition);
        QFETCH(int, edge);
        QFETCH(QPoint, picture);
        QFETCH(QPoint, caption);
        CaptionLayout layout;
        layout.picture = {-1, -1, 16, 16};
        layout.caption = {-1, -1, 40, 13};
        layout.layout(101, 41, picPosition, 5, edge);
        QCOMPARE(QPoint(layout.picture.left, layout.picture.top), picture);
        QCOMPARE(QPoint(layout.caption.left, layout.caption.top), caption);
    }

    void captionOnlyIsCentred()
    {
        CaptionLayout layout;
        layout.caption = {0, 0, 41, 14};
        layout.layout(100, 30, 0, 5, 1);
        QCOMPARE(layout.caption.left, 29);
        QCOMPARE(layout.caption.top, 8);
    }

    void accessKeyClicks()
    {
        Form f;
        f.button->setCaption(QStringLiteral("&Salva"));
        QSignalSpy clicks(f.button, &slxButton::Click);
        f.before->setFocus();
        QTest::keyClick(&f.window, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!f.button->isPressed());

        // "&&" draws one ampersand and gives no access key.
        f.button->setCaption(QStringLiteral("Salva && chiudi"));
        QTest::keyClick(&f.window, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
    }

    void mouseClickOnlyWhenReleasedInside_data()
    {
        QTest::addColumn<QList<QPoint>>("drag");
        QTest::addColumn<int>("clicks");
        QTest::newRow("press and release") << QList<QPoint>{QPoint(50, 15)} << 1;
        QTest::newRow("dragged out") << QList<QPoint>{QPoint(150, 15)} << 0;
        QTest::newRow("dragged out and back")
            << QList<QPoint>{QPoint(150, 15), QPoint(-5, 40), QPoint(100, 30)} << 1;
    }

    void mouseClickOnlyWhenReleasedInside()
    {
        QFETCH(QList<QPoint>, drag);
        QFETCH(int, clicks);
        Form f;
        f.button->setCaption(QStringLiteral("OK"));
        QSignalSpy spy(f.button, &slxButton::Click);
        QTest::mousePress(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        QVERIFY(f.button->isPressed());
        for (const QPoint &p : drag) {
            QMouseEvent move(QEvent::MouseMove, p, f.button->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(f.button, &move);
        }
        QTest::mouseRelease(f.button, Qt::LeftButton, Qt::NoModifier, drag.last());
        QCOMPARE(spy.count(), clicks);
        QVERIFY(!f.button->isPressed());
    }

    void toggleFlipsStateBeforeClick()
    {
        Form f;
        f.button->setToggle(true);
        f.button->setState(5);
        QList<int> seen;
        connect(f.button, &slxButton::Click, this, [&] { seen << f.button->State(); });
        QTest::mouseClick(f.button, Qt::LeftButton);
        QTest::mouseClick(f.button, Qt::LeftButton);
        f.button->setFocus();
        QTest::keyClick(f.button, Qt::Key_Space);
        QCOMPARE(seen, (QList<int>{1, 0, 1}));
    }

    void keyboard()
    {
        Form f;
        QSignalSpy clicks(f.button, &slxButton::Click);
        f.button->setFocus();
        QTest::keyPress(f.button, Qt::Key_Space);
        QVERIFY(f.button->isPressed());
        QTest::keyPress(f.button, Qt::Key_Space, Qt::NoModifier);
        QCOMPARE(clicks.count(), 0);
        QTest::keyRelease(f.button, Qt::Key_Space);
        QCOMPARE(clicks.count(), 1);
        // Enter presses the button with the focus, once however long it is
        // held; Esc does not.
        QTest::keyClick(f.button, Qt::Key_Return);
        QTest::keyClick(f.button, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(clicks.count(), 3);
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QApplication::sendEvent(f.button, &held);
        QTest::keyClick(f.button, Qt::Key_Escape);
        QCOMPARE(clicks.count(), 3);

        QTest::keyClick(f.button, Qt::Key_Down);
        QTRY_VERIFY(f.after->hasFocus());
        f.button->setFocus();
        QTest::keyClick(f.button, Qt::Key_Left);
        QTRY_VERIFY(f.before->hasFocus());
    }

    void hoverInAndOut()
    {
        Form f;
        QSignalSpy in(f.button, &slxButton::MouseIn);
        QSignalSpy out(f.button, &slxButton::MouseOut);
        QCursor::setPos(f.button->mapToGlobal(QPoint(50, 15)));
        QTest::mouseMove(f.button, QPoint(50, 15));
        QTest::mouseMove(f.button, QPoint(52, 16));
        QCOMPARE(in.count(), 1);
        QVERIFY(f.button->isOver());
        QTest::qWait(40);
        QCOMPARE(out.count(), 0);
        QCursor::setPos(f.window.mapToGlobal(QPoint(-50, -50)));
        QTRY_COMPARE(out.count(), 1);
        QVERIFY(!f.button->isOver());

        // Disabled under the pointer, it lets the hover go at once.
        QCursor::setPos(f.button->mapToGlobal(QPoint(50, 15)));
        QTest::mouseMove(f.button, QPoint(50, 15));
        QCOMPARE(in.count(), 2);
        f.button->setEnabled(false);
        QCOMPARE(out.count(), 2);
        QVERIFY(!f.button->isOver());
    }

    void focusFrameAndRectangle()
    {
        Form f;
        f.button->setBorderFocus(true);
        f.button->setFocusRect(true);
        f.button->setFocus();
        QTRY_VERIFY(f.button->hasFocus());
        const QImage focused = f.button->grab().toImage();
        TestSupport::grab(f.button, QStringLiteral("slxButton-focused"));
        QCOMPARE(focused.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(focused.pixelColor(99, 29), QColor(Qt::black));
        QVERIFY(focused.pixelColor(1, 1) != QColor(Qt::black));
        f.after->setFocus();
        QTRY_VERIFY(!f.button->hasFocus());
        QVERIFY(f.button->grab().toImage().pixelColor(0, 0) != QColor(Qt::black));
    }

    void enabledOnlyAtRunTime()
    {
        Form f;
        f.button->setEnabled(false);
        QVERIFY(!f.button->isEnabled());
        QSignalSpy clicks(f.button, &slxButton::Click);
        QTest::mouseClick(f.button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 0);
        f.button->setEnabled(true);

        Ambient::setUserMode(false);
        f.button->setEnabled(false);
        QVERIFY(f.button->isEnabled());
        QVERIFY(!f.button->Enabled());
        Ambient::setUserMode(true);
    }

    void propertyBagRoundTrip()
    {
        QWidget form;
        slxButton fresh(&form);
        PropertyBag empty;
        fresh.writeProperties(empty);
        QCOMPARE(empty.keys(), QStringList());

        slxButton source(&form);
        QPixmap picture(16, 16);
        picture.fill(Qt::red);
        source.setCaption(QStringLiteral("&Procedi"));
        source.setBackColor(0x00FF00);
        source.setFlatOver(true);
        source.setFocusRect(false);
        source.setForeDown(SystemColors::vbHighlight);
        source.setPicPosition(4);
        source.setPicture(picture);
        source.setSpacing(3);
        source.setState(1);
        source.setStyle(0);
        source.setToggle(true);
        source.setEnabled(false);
        PropertyBag bag;
        source.writeProperties(bag);
        QCOMPARE(bag.keys(), (QStringList{"BackColor", "Caption", "Enabled", "FlatOver", "FocusRect",
                                          "ForeDown", "PicPosition", "Picture", "Spacing", "State",
                                          "Style", "Toggle"}));

        slxButton copy(&form);
        copy.readProperties(bag);
        PropertyBag again;
        copy.writeProperties(again);
        QCOMPARE(again.keys(), bag.keys());
        QCOMPARE(copy.Caption(), QStringLiteral("&Procedi"));
        QCOMPARE(copy.PicPosition(), 4);
        QCOMPARE(copy.Style(), 0);
        QVERIFY(!copy.isEnabled());
        QCOMPARE(copy.captionLayout().picture.width, 16);

        slxButton placed(&form);
        placed.setObjectName(QStringLiteral("slb_3"));
        placed.initNewInstance();
        QCOMPARE(placed.Caption(), QStringLiteral("slb_3"));
    }

    void pressedContentMovesByTheEdgeWidth_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("shift");
        QTest::newRow("thin edges") << 1 << 1;
        QTest::newRow("thick edges") << 0 << 2;
    }

    void pressedContentMovesByTheEdgeWidth()
    {
        QFETCH(int, style);
        QFETCH(int, shift);
        Form f;
        f.button->setStyle(style);
        f.button->setFocusRect(false);
        f.button->setCaption(QStringLiteral("Salva"));
        f.after->setFocus();
        const QImage up = f.button->grab().toImage();
        QTest::mousePress(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        const QImage down = f.button->grab().toImage();
        QTest::mouseRelease(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        const CaptionLayout::Box cap = f.button->captionLayout().caption;
        const QRect text(cap.left, cap.top, cap.width, cap.height);
        QCOMPARE(down.copy(text.translated(shift, shift)), up.copy(text));
    }

    void flatOverShowsEdgesOnlyWhenHovered()
    {
        Form f;
        f.button->setFlatOver(true);
        f.button->setBackColor(0xFF00FF);
        f.after->setFocus();
        const QColor back(Qt::magenta);
        QCOMPARE(f.button->grab().toImage().pixelColor(50, 0), back);
        QCursor::setPos(f.button->mapToGlobal(QPoint(50, 15)));
        QTest::mouseMove(f.button, QPoint(51, 15));
        QVERIFY(f.button->isOver());
        QVERIFY(f.button->grab().toImage().pixelColor(50, 0) != back);
    }

    void overAndDownPicturesNeedPicture()
    {
        Form f;
        QPixmap red(16, 16);
        red.fill(Qt::red);
        f.button->setPictureOver(red);
        f.button->setPictureDown(red);
        QTest::mouseMove(f.button, QPoint(50, 15));
        QTest::mousePress(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        const QImage image = f.button->grab().toImage();
        QTest::mouseRelease(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                QVERIFY(image.pixelColor(x, y) != QColor(Qt::red));
    }

    void picture()
    {
        Form f;
        QPixmap red(16, 16);
        red.fill(Qt::red);
        f.button->setPicPosition(4);
        f.button->setPicture(red);
        f.button->setCaption(QStringLiteral("&Procedi"));
        f.button->setFixedSize(120, 30);
        TestSupport::grab(f.button, QStringLiteral("slxButton-picture"));
        const CaptionLayout::Box pic = f.button->captionLayout().picture;
        QImage image = f.button->grab().toImage();
        QCOMPARE(image.pixelColor(pic.left + 8, pic.top + 8), QColor(Qt::red));
        f.button->setEnabled(false);
        image = f.button->grab().toImage();
        QVERIFY(image.pixelColor(pic.left + 8, pic.top + 8) != QColor(Qt::red));
    }
};

QTEST_MAIN(tst_slxButton)
#include "tst_slxButton.moc"
