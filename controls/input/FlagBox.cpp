#include "FlagBox.h"

#include <QCheckBox>

namespace {
const char *const Held = "kezHeldFlag";
}

namespace FlagBox {

void setValue(QCheckBox *box, const QVariant &stored)
{
    const bool other = stored.typeId() == QMetaType::QString;
    const bool shownHeld = box->checkState() == Qt::PartiallyChecked;
    box->setProperty(Held, other ? stored : QVariant());
    if (!other) {
        box->setTristate(false);
        box->setChecked(stored.toBool());
        return;
    }
    box->setCheckState(Qt::PartiallyChecked);
    // The clerk's first click or key ticks or clears the box and lets the
    // held value go; the box cannot come back to the third state. Only one
    // such watch waits at a time: a box already showing a held value has it.
    if (!shownHeld)
        QObject::connect(box, &QCheckBox::stateChanged, box, [box] {
            box->setTristate(false);
            box->setProperty(Held, QVariant());
        }, Qt::SingleShotConnection);
}

QVariant value(const QCheckBox *box, const QVariant &yes, const QVariant &no)
{
    const QVariant held = box->property(Held);
    if (held.isValid())
        return held;
    return ticked(box) ? yes : no;
}

bool ticked(const QCheckBox *box)
{
    return box->checkState() == Qt::Checked;
}

}
