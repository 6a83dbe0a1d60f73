#include "SystemColors.h"

#include <QApplication>

namespace {

// The palette role that stands for each classic system colour index.
bool roleOf(int index, QPalette::ColorGroup *group, QPalette::ColorRole *role)
{
    *group = QPalette::Active;
    switch (index) {
    case 0:  // scroll bars
    case 15: // button face
        *role = QPalette::Button;
        return true;
    case 4: // menu background
        *role = QPalette::Window;
        return true;
    case 22: // 3D light
        *role = QPalette::Midlight;
        return true;
    case 1:  // desktop
    case 12: // application workspace (MDI background)
        *role = QPalette::Dark;
        return true;
    case 2:  // active caption
    case 13: // highlight
        *role = QPalette::Highlight;
        return true;
    case 3:  // inactive caption
        *group = QPalette::Inactive;
        *role = QPalette::Highlight;
        return true;
    case 5: // window background
        *role = QPalette::Base;
        return true;
    case 6: // window frame
    case 21: // 3D dark shadow
        *role = QPalette::Shadow;
        return true;
    case 7:  // menu text
    case 8:  // window text
        *role = QPalette::Text;
        return true;
    case 9: // caption text
    case 14: // highlight text
        *role = QPalette::HighlightedText;
        return true;
    case 10: // active border
    case 11: // inactive border
        *role = QPalette::Window;
        return true;
    case 16: // button shadow
        *role = QPalette::Dark;
        return true;
    case 17: // grey (disabled) text
        *group = QPalette::Disabled;
        *role = QPalette::Text;
        return true;
    case 18: // button text
        *role = QPalette::ButtonText;
        return true;
    case 19: // inactive caption text
        *group = QPalette::Inactive;
        *role = QPalette::HighlightedText;
        return true;
    case 20: // button highlight
        *role = QPalette::Light;
        return true;
    case 23: // tooltip text
        *role = QPalette::ToolTipText;
        return true;
    case 24: // tooltip background
        *role = QPalette::ToolTipBase;
        return true;
    default:
        return false;
    }
}

} // namespace

namespace SystemColors {

bool isSystemColor(int value)
{
    return (quint32(value) & 0xFFFFFF00u) == 0x80000000u;
}

QColor toColor(int value, const QPalette &palette)
{
    if (isSystemColor(value)) {
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
        if (roleOf(value & 0xFF, &group, &role))
            return palette.color(group, role);
        return palette.color(QPalette::Active, QPalette::Window);
    }
    // A plain colour is a BGR Long: red in the low byte.
    const quint32 v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int fromColor(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

} // namespace SystemColors
