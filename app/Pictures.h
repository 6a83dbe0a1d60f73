#pragma once

#include <QPixmap>

// The program's own pictures, drawn rather than loaded: the side-bar icons
// of the sheets, the small button pictures forms copy from the main
// window, and the emblems of the splash and the about box.
namespace Pictures {

// Side-bar icon n (1-7: registry, consortia, bags, packaging, reuse,
// packaging types, quit), also the window icon of sheet n.
QPixmap menuIcon(int n, int size = 32);
// Button picture n of the small list (1-20); see the list in Pictures.cpp.
QPixmap buttonIcon(int n, int size = 16);
// The product emblem: a packaging box with the recycling arrows.
QPixmap emblem(int size);
// The three chasing arrows alone.
QPixmap recycle(int size);
// The program's window icon.
QPixmap appIcon(int size = 32);

// How many pictures each list holds.
constexpr int menuIconCount = 7;
constexpr int buttonIconCount = 20;
}
