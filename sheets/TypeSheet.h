#pragma once

#include <QHash>
#include <QList>
#include <memory>

#include "SheetFrame.h"

class QuantityGrid;
class slxGrid;
namespace Ui {
class TypeSheet;
}

// One card per declaration over a list of packaging types of table Codici:
// every type of the list is a grid row with two quantities in tonnes per
// year, and the card is the table rows of the declaration, one per type
// that has a quantity. The reuse sheet and the packaging-type sheet are
// this one design over their own list, table and captions.
class TypeSheet : public SheetFrame
{
    Q_OBJECT
public:
    // What tells the two sheets apart.
    struct Kind
    {
        int formCode;
        const char *caption;
        const char *title;
        bool quantityLabel;
        int codType;
        const char *table;
        const char *key;
        const char *typeColumn;
        const char *qta1;
        const char *caption1;
        const char *qta2;
        const char *caption2;
        int columnWidth;
        int headerHeight;
        const char *deleteItem;
        bool wheel;
    };

    ~TypeSheet() override;

    slxGrid *grid() const;

protected:
    TypeSheet(const Kind &kind, QWidget *parent);

    bool salvaScheda() override;
    void formUnload() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void caricaTipi();
    void caricaRighe();
    void slb_Click(int Index);
    bool eliminaRighe();
    void eliminaScheda();
    bool scriviRighe(QHash<int, int> &righe);

    const Kind &k;
    std::unique_ptr<Ui::TypeSheet> ui;
    QuantityGrid *quantita;
    // The stored rows by type (the one shown when a type is there twice),
    // and every stored key.
    QHash<int, int> m_righe;
    QList<int> m_chiavi;
    // The card was deleted while saving: the sheet closes.
    bool m_eliminata = false;
};
