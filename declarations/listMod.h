#pragma once

#include "listBase.h"

// The cards or modules a sheet holds, from the sheet's own recordset, so
// that the user can jump to one of them. Choosing the card on show is
// the same as closing; another card goes back as Key (its position, 1 =
// first) and cursorBookMark. The sheet's recordset is left where it was.
class listMod : public listBase
{
    Q_OBJECT
public:
    explicit listMod(QWidget *parent = nullptr);

protected:
    void scegli(QTreeWidgetItem *line) override;

private:
    static QString s_search;
};
