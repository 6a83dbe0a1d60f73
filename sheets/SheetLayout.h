#pragma once

#include <QList>

class QWidget;
class hNav;
class slxButton;

// How the packaging sheets lay themselves out over the main window's
// client area: bands stretched to the full width, a bar of buttons at the
// bottom, the grid filling what is left between them.
namespace SheetLayout {

// Each widget takes the form's full inner width, keeping its top and height.
void stretch(QWidget *form, const QList<QWidget *> &bands);
// The bar along the bottom edge; the navigator (when there is one) at its
// left, the buttons in a row at its right.
void placeBar(QWidget *form, QWidget *bar, hNav *nav, const QList<slxButton *> &buttons);
// The widget stretches from its top down to the bar, over the full width.
void fillAbove(QWidget *widget, QWidget *bar);
// Pictures of the main window's small list, one index per button.
void setPictures(const QList<slxButton *> &buttons, const QList<int> &pictures);

} // namespace SheetLayout
