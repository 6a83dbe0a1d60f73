#pragma once

#include <QColor>
#include <QPalette>

// Colours are kept as 32-bit Long values like the original's properties:
// &H800000nn names system colour nn (5 window, 8 window text, 15 button
// face, 16 button shadow, 18 button text, 13 highlight, 14 highlight text,
// ...); any other value is a plain colour with red in the low byte.
namespace SystemColors {
constexpr int vbWindowBackground = int(0x80000005u);
constexpr int vbWindowText = int(0x80000008u);
constexpr int vbButtonFace = int(0x8000000Fu);
constexpr int vbButtonShadow = int(0x80000010u);
constexpr int vbButtonText = int(0x80000012u);
constexpr int vbHighlight = int(0x8000000Du);
constexpr int vbHighlightText = int(0x8000000Eu);
constexpr int vbGrayText = int(0x80000011u);
constexpr int vbInfoBackground = int(0x80000018u);
constexpr int vbInfoText = int(0x80000017u);
constexpr int vbApplicationWorkspace = int(0x8000000Cu);

bool isSystemColor(int value);
// The colour a Long stands for, system colours from the palette.
QColor toColor(int value, const QPalette &palette = QPalette());
// The Long of a plain colour (never a system colour).
int fromColor(const QColor &color);
}
