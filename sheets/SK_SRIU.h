#pragma once

#include "TypeSheet.h"

// The reuse card of the current declaration: for each reuse type, the
// tonnes per year reused nationally for food and for other uses. The mouse
// wheel scrolls its grid.
class SK_SRIU : public TypeSheet
{
    Q_OBJECT
public:
    explicit SK_SRIU(QWidget *parent = nullptr);
};
