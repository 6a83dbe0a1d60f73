#include "Ambient.h"

#include <QApplication>
#include <QCursor>
#include <QKeySequence>
#include <QWidget>

#include "SystemColors.h"
#include "slxModule.h"

namespace Ambient {

namespace {
bool runTime = true;
}

bool userMode()
{
    return runTime;
}

void setUserMode(bool on)
{
    runTime = on;
}

QFont font(const QWidget *control)
{
    const QWidget *container = control ? control->parentWidget() : nullptr;
    return container ? container->font() : QApplication::font();
}

int backColor(const QWidget *)
{
    return SystemColors::vbButtonFace;
}

int foreColor(const QWidget *)
{
    return SystemColors::vbButtonText;
}

void applyMousePointer(QWidget *control, int mousePointer, const QPixmap &mouseIcon)
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,      Qt::ArrowCursor,    Qt::CrossCursor,    Qt::IBeamCursor,
        Qt::ArrowCursor,      Qt::SizeAllCursor,  Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor,  Qt::SizeHorCursor,  Qt::UpArrowCursor,  Qt::WaitCursor,
        Qt::ForbiddenCursor,  Qt::BusyCursor,     Qt::WhatsThisCursor, Qt::SizeAllCursor};
    if (mousePointer == 99 && !mouseIcon.isNull())
        control->setCursor(QCursor(mouseIcon));
    else if (mousePointer > 0 && mousePointer < int(std::size(shapes)))
        control->setCursor(shapes[mousePointer]);
    else
        control->unsetCursor();
}

int setAccessKey(QWidget *control, int shortcutId, const QString &caption)
{
    if (shortcutId != 0)
        control->releaseShortcut(shortcutId);
    const QString key = slxModule::accelKeyOf(caption);
    if (key.isEmpty())
        return 0;
    return control->grabShortcut(QKeySequence::mnemonic(QLatin1Char('&') + key));
}

bool pointerOver(const QWidget *control)
{
    return QApplication::widgetAt(QCursor::pos()) == control;
}

bool contains(const QWidget *control, const QPoint &p)
{
    return p.x() >= 0 && p.y() >= 0 && p.x() <= control->width() && p.y() <= control->height();
}
}
