#pragma once

// Screen facts the owner-drawn controls need: the twips-per-pixel ratio
// from the screen's logical DPI (15 at 96 DPI) and the width of a vertical
// scroll bar in pixels.
namespace ScreenMetrics {
double twipsPerPixelX();
double twipsPerPixelY();
int verticalScrollBarWidth();
}
