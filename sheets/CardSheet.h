#pragma once

#include <QVariant>
#include <QVector>

#include "SheetFrame.h"

class hNav;
class slxButton;
class slxText;

// The card logic shared by the producer packaging and the plastic bags
// sheets: any number of cards of the current declaration, one per subject,
// where the codice fiscale field selects the card (the card of that code,
// or a new one prefilled from the company registry), the list of cards, the
// registry button, "Nuova scheda", save and delete. A card's company that
// the registry does not know is added to it when the card is saved; the
// card, its rows and the company are written in one transaction.
//
// A derived sheet builds its controls, hands them to initCards() in the
// order codice fiscale, name; list, registry, "Salva", "Nuova scheda",
// "Elimina scheda", "Chiudi"; then calls apriSchede(). It supplies its table
// and the routines that show, clear, test and write its quantities.
class CardSheet : public SheetFrame
{
    Q_OBJECT
public:
    int idScheda() const { return m_idScheda; }

protected:
    CardSheet(int formCode, QWidget *parent);

    void initCards(const QVector<slxText *> &fields, const QVector<slxButton *> &buttons, hNav *navigator);
    void apriSchede();

    virtual QString tabella() const = 0;
    virtual QString chiave() const = 0;
    virtual QString titoloLista() const = 0;
    virtual QString voceElimina() const = 0;
    // Shows the quantities of the card schedeRs stands on.
    virtual void caricaDati() = 0;
    // Every quantity 0, for a new card.
    virtual void pulisciDati() = 0;
    // Whether the card holds a quantity that counts as filled.
    virtual bool schedaRiempita() = 0;
    // Writes the sheet's own columns into schedeRs's row before it is stored.
    virtual bool scriviCampi() { return true; }
    // Writes the card's child rows, inside the card's transaction.
    virtual bool scriviRighe(int id)
    {
        Q_UNUSED(id);
        return true;
    }
    // The card and its rows are stored.
    virtual void dopoSalvataggio() {}

    bool salvaScheda() override { return salvaSchedaCorrente(); }
    void caricaScheda() override;
    slxText *primoCampo() const override;

    QVector<slxText *> slt;
    QVector<slxButton *> slb;
    hNav *nav = nullptr;
    QVariant codFiscScheda;
    bool dittaNota = false;

private:
    void slb_Click(int Index);
    void slt_Validate(int Index, bool &Cancel);
    void codFisc_Validate(bool &Cancel);
    void cercaCodFisc();
    void nuovaScheda();
    void schedaVuota();
    // The code the card is stored under.
    QVariant codiceDaSalvare() const;
    bool verificaScheda();
    bool salvaSchedaCorrente();
    void eliminaSchedaCorrente();
    void focusCodFisc();
    void riposiziona();

    int m_idScheda = 0;
};
