#include "slxModule.h"

#include "ScreenMetrics.h"

#include <cmath>

namespace slxModule {

int twipsPerPixelX = 0;
int twipsPerPixelY = 0;
int vScrollWidth = 0;

void initControlMetrics(double screenTwipsX, double screenTwipsY, int scrollBarPixels)
{
    if (twipsPerPixelX != 0)
        return;
    // Halves go to the even neighbour, as the original rounding did.
    twipsPerPixelX = int(std::nearbyint(screenTwipsX));
    twipsPerPixelY = int(std::nearbyint(screenTwipsY));
    vScrollWidth = twipsPerPixelX * scrollBarPixels;
}

void initControlMetrics()
{
    if (twipsPerPixelX != 0)
        return;
    initControlMetrics(ScreenMetrics::twipsPerPixelX(), ScreenMetrics::twipsPerPixelY(),
                       ScreenMetrics::verticalScrollBarWidth());
}

QString accelKeyOf(const QString &caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) == QLatin1Char('&')) {
            // A doubled ampersand is a literal one: step over the pair.
            ++i;
            continue;
        }
        return caption.at(i + 1);
    }
    return QString();
}

int edgeStyleOf(int style, std::array<int, 4> &margins)
{
    struct Style
    {
        int edge;
        int side;
        int bottom;
    };
    static const Style table[] = {
        {0, 1, 3},  // 0 none
        {0, 2, 4},  // 1 thin box, drawn by the field itself
        {5, 3, 5},  // 2 raised
        {4, 2, 4},  // 3 raised inner
        {1, 2, 4},  // 4 raised outer
        {10, 3, 5}, // 5 sunken
        {2, 2, 4},  // 6 sunken outer
        {8, 2, 4},  // 7 sunken inner
        {9, 3, 5},  // 8 bump
        {6, 3, 5},  // 9 etched
        {9, 1, 5},  // 10 bump, bottom side only
        {6, 1, 5},  // 11 etched, bottom side only
    };
    if (style < 0 || style >= int(std::size(table))) {
        margins[1] = margins[0];
        margins[2] = margins[0];
        return 0;
    }
    const Style &s = table[style];
    margins[0] = margins[1] = margins[2] = s.side;
    margins[3] = s.bottom;
    return s.edge;
}

} // namespace slxModule
