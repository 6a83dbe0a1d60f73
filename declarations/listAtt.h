#pragma once

#include "listBase.h"

// "Lista dei codici Istat delle attività economiche": opens on the first
// code that begins with what the caller has (a whole code or its first
// digits). The chosen code goes back as Key as stored and as Codice in
// its display form "12.34.56".
class listAtt : public listBase
{
    Q_OBJECT
public:
    explicit listAtt(QWidget *parent = nullptr);

protected:
    void scegli(QTreeWidgetItem *line) override;

private:
    static QString s_search;
};
