#pragma once

#include "listBase.h"

// "Tabella codici regolamento (CE) 1013/2006": the chosen code goes back
// as Key, its description as Codice.
class listRegCE : public listBase
{
    Q_OBJECT
public:
    explicit listRegCE(QWidget *parent = nullptr);

protected:
    void scegli(QTreeWidgetItem *line) override;

private:
    static QString s_search;
};
