#pragma once

#include <QString>
#include <array>

// What the program's own controls share: the screen metrics for turning
// twips (the unit of their positions and sizes) into pixels, the width of
// a vertical scroll bar, the access key of a caption and the edges of the
// text field's border styles.
namespace slxModule {

// Twips per screen pixel, whole numbers; 0 until initControlMetrics runs.
extern int twipsPerPixelX;
extern int twipsPerPixelY;
// Width of a vertical scroll bar, in twips.
extern int vScrollWidth;

// Takes the metrics once per process; later calls change nothing.
void initControlMetrics();
// The same from given screen facts (twips per pixel before rounding, the
// scroll bar's width in pixels).
void initControlMetrics(double screenTwipsX, double screenTwipsY, int scrollBarPixels);

// The character after the caption's first single "&" (case kept), or the
// empty string. "&&" is a literal ampersand and marks nothing.
QString accelKeyOf(const QString &caption);

// Edge flags of a border style for Edges::drawEdge, and the inner margins
// in pixels the field keeps around its text box (left, top, right, bottom).
// An unknown style draws no edge and sets top and right to the left margin.
int edgeStyleOf(int style, std::array<int, 4> &margins);
}
