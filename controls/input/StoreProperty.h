#pragma once

#include <QLatin1String>

// Keeps a design-time property of a control: stores the value, lets the
// control show it (apply, when given) and reports the property's layout key
// through the control's PropertyChanged, so the designer saves the form.
template <typename Control, typename T>
void storeProperty(Control *control, T &field, T value, const char *key,
                   void (Control::*apply)() = nullptr)
{
    field = value;
    if (apply)
        (control->*apply)();
    emit control->PropertyChanged(QLatin1String(key));
}
