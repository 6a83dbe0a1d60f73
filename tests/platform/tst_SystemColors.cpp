#include <QApplication>
#include <QTest>

#include "SystemColors.h"

// Colour properties keep the original Long values: system colours follow
// the desktop's palette, plain ones are BGR with red in the low byte.
class tst_SystemColors : public QObject
{
    Q_OBJECT

    static QPalette palette()
    {
        QPalette p;
        p.setColor(QPalette::Base, QColor(1, 1, 1));
        p.setColor(QPalette::Text, QColor(2, 2, 2));
        p.setColor(QPalette::Button, QColor(3, 3, 3));
        p.setColor(QPalette::Dark, QColor(4, 4, 4));
        p.setColor(QPalette::ButtonText, QColor(5, 5, 5));
        p.setColor(QPalette::Highlight, QColor(6, 6, 6));
        p.setColor(QPalette::HighlightedText, QColor(7, 7, 7));
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(8, 8, 8));
        p.setColor(QPalette::Window, QColor(9, 9, 9));
        return p;
    }

private Q_SLOTS:
    void mapsValues_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("system");
        QTest::addColumn<QColor>("color");
        QTest::newRow("window background") << SystemColors::vbWindowBackground << true << QColor(1, 1, 1);
        QTest::newRow("window text") << SystemColors::vbWindowText << true << QColor(2, 2, 2);
        QTest::newRow("button face") << SystemColors::vbButtonFace << true << QColor(3, 3, 3);
        QTest::newRow("button shadow") << SystemColors::vbButtonShadow << true << QColor(4, 4, 4);
        QTest::newRow("button text") << SystemColors::vbButtonText << true << QColor(5, 5, 5);
        QTest::newRow("highlight") << SystemColors::vbHighlight << true << QColor(6, 6, 6);
        QTest::newRow("highlight text") << SystemColors::vbHighlightText << true << QColor(7, 7, 7);
        QTest::newRow("grey text") << SystemColors::vbGrayText << true << QColor(8, 8, 8);
        QTest::newRow("unknown index falls back to the window") << int(0x800000FFu) << true
                                                               << QColor(9, 9, 9);
        QTest::newRow("plain red") << 0x0000FF << false << QColor(255, 0, 0);
        QTest::newRow("plain blue") << 0xFF0000 << false << QColor(0, 0, 255);
        QTest::newRow("plain mix") << 0x336699 << false << QColor(0x99, 0x66, 0x33);
        QTest::newRow("black") << 0 << false << QColor(0, 0, 0);
        QTest::newRow("white") << 0xFFFFFF << false << QColor(255, 255, 255);
    }

    void mapsValues()
    {
        QFETCH(int, value);
        QFETCH(bool, system);
        QFETCH(QColor, color);
        QCOMPARE(SystemColors::isSystemColor(value), system);
        QCOMPARE(SystemColors::toColor(value, palette()), color);
        if (!system)
            QCOMPARE(SystemColors::fromColor(color), value);
    }

    void defaultPaletteIsTheApplications()
    {
        QCOMPARE(SystemColors::toColor(SystemColors::vbButtonFace),
                 QApplication::palette().color(QPalette::Button));
    }
};

QTEST_MAIN(tst_SystemColors)
#include "tst_SystemColors.moc"
