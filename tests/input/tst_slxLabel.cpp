#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "Ambient.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "TestSupport.h"
#include "slxLabel.h"

// The owner-drawn label: where its caption goes, its borders, its access
// key and what it keeps in a form's layout.
class tst_slxLabel : public QObject
{
    Q_OBJECT

    // A caption exactly `pixels` wide in the label's font.
    static QString captionOfWidth(const slxLabel &label, int pixels)
    {
        const QFontMetrics metrics(label.font());
        QString text;
        while (metrics.horizontalAdvance(text + QLatin1Char('i')) <= pixels)
            text += QLatin1Char('i');
        return text;
    }

private Q_SLOTS:
    void oneLinePlacement_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("extraWidth");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        // 200 pixels wide, MarginX 5: right 194, room 189.
        QTest::newRow("left") << 0 << 0 << 5 << 189;
        QTest::newRow("centred") << 2 << 0 << -1 << -1;
        QTest::newRow("right") << 1 << 0 << -2 << -2;
        QTest::newRow("any other value is right") << 7 << 0 << -2 << -2;
        QTest::newRow("too wide, centred") << 2 << 250 << 5 << 189;
        QTest::newRow("too wide, right") << 1 << 250 << 5 << 189;
    }

    void oneLinePlacement()
    {
        QFETCH(int, alignment);
        QFETCH(int, extraWidth);
        QFETCH(int, left);
        QFETCH(int, width);
        QWidget form;
        slxLabel label(&form);
        label.resize(200, 25);
        label.setCaption(captionOfWidth(label, extraWidth ? extraWidth : 50));
        const int tw = QFontMetrics(label.font()).horizontalAdvance(label.Caption());
        if (left == -1) {
            left = 5 + (189 - tw) / 2;
            width = 194 - left;
        } else if (left == -2) {
            left = 5 + 189 - tw;
            width = tw;
        }
        label.setAlignment(alignment);
        QCOMPARE(label.textBox().left(), left);
        QCOMPARE(label.textBox().width(), width);
    }

    void verticalPosition_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("top");
        const int th = QFontMetrics(QApplication::font()).height();
        QTest::newRow("top") << 0 << 3;
        QTest::newRow("middle") << 1 << 3 + (21 - 3 - th) / 2;
        QTest::newRow("bottom") << 2 << 25 - th - 3;
        QTest::newRow("any other value is bottom") << -4 << 25 - th - 3;
    }

    void verticalPosition()
    {
        QFETCH(int, position);
        QFETCH(int, top);
        QWidget form;
        slxLabel label(&form);
        label.resize(200, 25);
        label.setCaption(QStringLiteral("Comune"));
        label.setPosition(position);
        QCOMPARE(label.textBox().top(), top);
        QCOMPARE(label.textBox().height(), QFontMetrics(label.font()).height());
    }

    void borders_data()
    {
        QTest::addColumn<int>("appearance");
        QTest::addColumn<bool>("topEdge");
        QTest::addColumn<bool>("bottomEdge");
        QTest::addColumn<bool>("blackFrame");
        QTest::newRow("none") << 0 << false << false << false;
        QTest::newRow("black frame") << 1 << true << true << true;
        QTest::newRow("raised inner") << 3 << true << true << false;
        QTest::newRow("sunken") << 5 << true << true << false;
        QTest::newRow("bump along the bottom") << 10 << false << true << false;
        QTest::newRow("etched along the bottom") << 14 << false << true << false;
        QTest::newRow("negative: etched all round") << -1 << true << true << false;
    }

    void borders()
    {
        QFETCH(int, appearance);
        QFETCH(bool, topEdge);
        QFETCH(bool, bottomEdge);
        QFETCH(bool, blackFrame);
        QWidget form;
        slxLabel label(&form);
        label.resize(120, 24);
        label.setBackColor(0xFF00FF);
        label.setAppearance(appearance);
        const QImage image = label.grab().toImage();
        const QColor back(Qt::magenta);
        QCOMPARE(image.pixelColor(60, 0) != back, topEdge);
        QCOMPARE(image.pixelColor(60, 23) != back, bottomEdge);
        QCOMPARE(image.pixelColor(0, 0) == QColor(Qt::black), blackFrame);
    }

    void disabledText()
    {
        QWidget form;
        slxLabel label(&form);
        label.setForeColor(0x0000FF);
        label.setEnabled(false);
        QCOMPARE(label.textColor(), 0x0000FF);   // one line: embossed instead
        label.setMultiLine(true);
        QCOMPARE(label.textColor(), SystemColors::vbGrayText);
        label.setForeColor(0x00FF00);
        QCOMPARE(label.textColor(), SystemColors::vbGrayText);
        label.setEnabled(true);
        QCOMPARE(label.textColor(), 0x00FF00);

        Ambient::setUserMode(false);
        label.setEnabled(false);
        QVERIFY(label.isEnabled());
        QCOMPARE(label.textColor(), 0x00FF00);
        Ambient::setUserMode(true);
    }

    void accessKeyMovesToNextControl()
    {
        QWidget form;
        auto *first = new QLineEdit(&form);
        auto *label = new slxLabel(&form);
        label->setCaption(QStringLiteral("&Comune"));
        auto *field = new QLineEdit(&form);
        first->move(0, 0);
        label->move(0, 30);
        field->move(0, 60);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        first->setFocus();
        QTest::keyClick(&form, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(field->hasFocus());
    }

    void mouseEventsInTwips()
    {
        QWidget form;
        slxLabel label(&form);
        label.resize(100, 20);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy down(&label, &slxLabel::MouseDown);
        QSignalSpy click(&label, &slxLabel::Click);
        QTest::mouseClick(&label, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 4));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down[0][0].toInt(), 1);
        QCOMPARE(down[0][1].toInt(), 1);
        QVERIFY(down[0][2].toFloat() >= 10.0f);
        QCOMPARE(click.count(), 1);
    }

    void propertyBagRoundTrip()
    {
        QWidget form;
        slxLabel fresh(&form);
        PropertyBag empty;
        fresh.writeProperties(empty);
        QCOMPARE(empty.keys(), QStringList());

        slxLabel source(&form);
        source.setAlignment(2);
        source.setAppearance(6);
        source.setCaption(QStringLiteral("Ragione sociale"));
        source.setMarginX(2);
        source.setMultiLine(true);
        source.setPosition(1);
        QFont bold = source.font();
        bold.setBold(true);
        source.setFont(bold);
        PropertyBag bag;
        source.writeProperties(bag);
        QCOMPARE(bag.keys(), (QStringList{"Alignment", "Appearance", "Caption", "Font", "MarginX",
                                          "MultiLine", "Position"}));
        slxLabel copy(&form);
        copy.readProperties(bag);
        QVERIFY(copy.font().bold());
        QCOMPARE(copy.Position(), 1);
        PropertyBag again;
        copy.writeProperties(again);
        QCOMPARE(again.keys(), bag.keys());
    }

    void picture()
    {
        QWidget form;
        form.resize(260, 110);
        form.setAutoFillBackground(true);
        slxLabel band(&form);
        band.setGeometry(5, 5, 250, 24);
        band.setAppearance(5);
        band.setBackColor(SystemColors::vbWindowBackground);
        band.setCaption(QStringLiteral("&Ragione sociale"));
        band.setPosition(1);
        slxLabel text(&form);
        text.setGeometry(5, 35, 250, 44);
        text.setAppearance(9);
        text.setMultiLine(true);
        text.setCaption(QStringLiteral("Attenzione, il testo lungo va a capo da solo dentro i margini."));
        slxLabel disabled(&form);
        disabled.setGeometry(5, 82, 250, 24);
        disabled.setAppearance(10);
        disabled.setCaption(QStringLiteral("Etichetta disabilitata"));
        disabled.setEnabled(false);
        TestSupport::grab(&form, QStringLiteral("slxLabel"));
    }
};

QTEST_MAIN(tst_slxLabel)
#include "tst_slxLabel.moc"
