#include "ScreenMetrics.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace {

// Twips are 1/1440 inch; without a screen, the classic 96 DPI.
double twipsPerPixel(qreal dpi)
{
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QScreen *screen()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
               ? QGuiApplication::primaryScreen()
               : nullptr;
}

} // namespace

namespace ScreenMetrics {

double twipsPerPixelX()
{
    QScreen *s = screen();
    return twipsPerPixel(s ? s->logicalDotsPerInchX() : 0);
}

double twipsPerPixelY()
{
    QScreen *s = screen();
    return twipsPerPixel(s ? s->logicalDotsPerInchY() : 0);
}

int verticalScrollBarWidth()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return 17;
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

} // namespace ScreenMetrics
