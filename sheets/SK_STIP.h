#pragma once

#include "TypeSheet.h"

// The packaging-type card of the current declaration: for each packaging
// type, the tonnes per year of primary and of secondary and tertiary
// packaging.
class SK_STIP : public TypeSheet
{
    Q_OBJECT
public:
    explicit SK_STIP(QWidget *parent = nullptr);
};
