#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include "Edges.h"
#include "TestSupport.h"

using namespace Edges;

// Borders drawn pixel by pixel as the classic edges: outer layer on the
// rectangle's border, inner layer inside it.
class tst_Edges : public QObject
{
    Q_OBJECT

    static QPalette palette()
    {
        QPalette p;
        p.setColor(QPalette::Light, Qt::white);
        p.setColor(QPalette::Midlight, QColor(220, 220, 220));
        p.setColor(QPalette::Button, QColor(200, 200, 200));
        p.setColor(QPalette::Dark, QColor(128, 128, 128));
        p.setColor(QPalette::Shadow, Qt::black);
        return p;
    }

    static QImage draw(int edge, int flags, QRect *rect)
    {
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::green);
        QPainter painter(&image);
        *rect = image.rect();
        drawEdge(painter, *rect, edge, flags, palette());
        return image;
    }

private Q_SLOTS:
    void drawsLayers_data()
    {
        QTest::addColumn<int>("edge");
        QTest::addColumn<QColor>("outerTopLeft");
        QTest::addColumn<QColor>("outerBottomRight");
        QTest::addColumn<QColor>("innerTopLeft");
        QTest::addColumn<QColor>("innerBottomRight");
        const QColor light = Qt::white, midlight(220, 220, 220), dark(128, 128, 128),
                     shadow = Qt::black, none = Qt::green;
        QTest::newRow("raised") << int(EDGE_RAISED) << midlight << shadow << light << dark;
        QTest::newRow("sunken") << int(EDGE_SUNKEN) << dark << light << shadow << midlight;
        QTest::newRow("etched") << int(EDGE_ETCHED) << dark << light << light << dark;
        QTest::newRow("bump") << int(EDGE_BUMP) << midlight << shadow << shadow << midlight;
        QTest::newRow("raised inner alone lies on the border")
            << int(BDR_RAISEDINNER) << light << dark << none << none;
        QTest::newRow("sunken outer alone") << int(BDR_SUNKENOUTER) << dark << light << none << none;
    }

    void drawsLayers()
    {
        QFETCH(int, edge);
        QFETCH(QColor, outerTopLeft);
        QFETCH(QColor, outerBottomRight);
        QFETCH(QColor, innerTopLeft);
        QFETCH(QColor, innerBottomRight);
        QRect rect;
        const QImage image = draw(edge, BF_RECT | BF_ADJUST, &rect);
        QCOMPARE(image.pixelColor(0, 0), outerTopLeft);
        QCOMPARE(image.pixelColor(10, 0), outerTopLeft);
        QCOMPARE(image.pixelColor(0, 5), outerTopLeft);
        QCOMPARE(image.pixelColor(19, 9), outerBottomRight);
        QCOMPARE(image.pixelColor(19, 0), outerBottomRight); // the corners go to the bottom-right colour
        QCOMPARE(image.pixelColor(0, 9), outerBottomRight);
        QCOMPARE(image.pixelColor(1, 1), innerTopLeft);
        QCOMPARE(image.pixelColor(18, 8), innerBottomRight);
        QCOMPARE(image.pixelColor(10, 5), QColor(Qt::green));
        const int layers = innerTopLeft == QColor(Qt::green) ? 1 : 2;
        QCOMPARE(rect, QRect(0, 0, 20, 10).adjusted(layers, layers, -layers, -layers));
    }

    void drawsOnlyTheSidesAsked()
    {
        QRect rect;
        const QImage image = draw(EDGE_BUMP, BF_BOTTOM | BF_ADJUST, &rect);
        QCOMPARE(image.pixelColor(5, 9), QColor(Qt::black));
        QCOMPARE(image.pixelColor(5, 8), QColor(220, 220, 220));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(image.pixelColor(19, 5), QColor(Qt::green));
        QCOMPARE(rect, QRect(0, 0, 20, 8));

        const QImage kept = draw(EDGE_SUNKEN, BF_RECT, &rect);
        QCOMPARE(rect, QRect(0, 0, 20, 10));
        const QImage filled = draw(EDGE_SUNKEN, BF_RECT | BF_MIDDLE, &rect);
        QCOMPARE(filled.pixelColor(10, 5), QColor(200, 200, 200));
        Q_UNUSED(kept);
    }

    void tinyRectanglesAreSafe()
    {
        QImage image(1, 1, QImage::Format_RGB32);
        QPainter painter(&image);
        QRect rect(0, 0, 1, 1);
        drawEdge(painter, rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST, palette());
        QRect empty;
        drawEdge(painter, empty, EDGE_SUNKEN, BF_RECT | BF_ADJUST, palette());
    }

    void picture()
    {
        // Every edge of the text field's styles side by side, to look at.
        QImage image(12 * 60 + 10, 40, QImage::Format_RGB32);
        image.fill(QApplication::palette().color(QPalette::Window));
        QPainter painter(&image);
        const int edges[] = {0, 0, 5, 4, 1, 10, 2, 8, 9, 6, 9, 6};
        for (int style = 0; style < 12; ++style) {
            QRect r(10 + style * 60, 10, 50, 22);
            drawEdge(painter, r, edges[style], style < 10 ? BF_RECT : BF_BOTTOM,
                     QApplication::palette());
            if (style == 1)
                painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
        drawFocusRect(painter, QRect(12, 12, 46, 18), QApplication::palette());
        painter.end();
        QLabel label;
        label.setPixmap(QPixmap::fromImage(image));
        label.resize(image.size());
        QVERIFY(!TestSupport::grab(&label, QStringLiteral("edges")).isEmpty());
    }
};

QTEST_MAIN(tst_Edges)
#include "tst_Edges.moc"
