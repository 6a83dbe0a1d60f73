#include "SheetLayout.h"

#include <QWidget>

#include "hNav.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"

namespace SheetLayout {

namespace {
constexpr int margin = 8;
}

void stretch(QWidget *form, const QList<QWidget *> &bands)
{
    for (QWidget *w : bands)
        w->setGeometry(w->x(), w->y(), form->width() - 2 * w->x(), w->height());
}

void placeBar(QWidget *form, QWidget *bar, hNav *nav, const QList<slxButton *> &buttons)
{
    bar->setGeometry(0, form->height() - bar->height(), form->width(), bar->height());
    if (nav)
        nav->move(margin, bar->y() + (bar->height() - nav->height()) / 2);
    int x = form->width() - margin;
    for (int i = int(buttons.size()) - 1; i >= 0; --i) {
        slxButton *b = buttons.at(i);
        x -= b->width();
        b->move(x, bar->y() + (bar->height() - b->height()) / 2);
        x -= margin;
    }
}

void fillAbove(QWidget *widget, QWidget *bar)
{
    // Two pixels of the form show between the grid and the bar.
    widget->setGeometry(0, widget->y(), bar->width(), qMax(0, bar->y() - widget->y() - 2));
}

void setPictures(const QList<slxButton *> &buttons, const QList<int> &pictures)
{
    mainForm *main = modMain::gMain;
    if (!main)
        return;
    for (int i = 0; i < buttons.size() && i < pictures.size(); ++i)
        buttons.at(i)->setPicture(main->img16(pictures.at(i)));
}

} // namespace SheetLayout
