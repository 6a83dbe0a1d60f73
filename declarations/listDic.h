#pragma once

#include "listBase.h"

// "Lista delle dichiarazioni inserite": the declarations of this year's
// file, or of last year's when the launcher's Key is -1 (to copy one
// forward), by company name. The chosen declaration goes back as Key (its
// saID), Codice (codice fiscale) and ragioneSociale.
class listDic : public listBase
{
    Q_OBJECT
public:
    explicit listDic(QWidget *parent = nullptr);

protected:
    void scegli(QTreeWidgetItem *line) override;

private:
    static QString s_search;
};
