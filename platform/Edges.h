#pragma once

#include <QRect>

class QPainter;
class QPalette;

// Three-dimensional edges drawn the classic way: the edge bits and side
// flags mean what the original drawing call meant. Each layer is one pixel:
// the outer one along the rectangle's border, the inner one inside it; a
// single layer lies along the border. Colours come from the palette: light
// (button highlight), midlight (3D light), dark (button shadow) and shadow
// (3D dark shadow).
namespace Edges {
enum Edge {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER
};
enum Flag {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x800,
    BF_ADJUST = 0x2000
};
// Draws the edge inside rect on the sides named by flags; BF_MIDDLE fills
// the inside with the button colour; with BF_ADJUST, rect shrinks to the
// inside of the sides drawn.
void drawEdge(QPainter &painter, QRect &rect, int edge, int flags, const QPalette &palette);
// Draws a focus rectangle the style's way.
void drawFocusRect(QPainter &painter, const QRect &rect, const QPalette &palette);
}
