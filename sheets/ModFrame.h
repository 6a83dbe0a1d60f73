#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

#include "SheetFrame.h"

class QRadioButton;
class Recordset;
class comboCom;
class comboKgt;
class hNav;
class slxButton;
class slxCombo;
class slxLabel;
class slxText;

// What the origin and the destination module forms of a consortia sheet
// share: one module (a ModCons row) at a time, its subject Italian or
// foreign, found by codice fiscale among the sheet's modules of the kind
// and in the company registry, checked, saved, deleted, listed.
//
// The forms lay their controls out with the same indices:
// slt 0 codice fiscale, 1 name, 2 province (shown only), 3 street,
// 4 house number, 5 postal code, 6 Regulation (CE) code, 7 quantity;
// slb 0 module list, 1 company registry, 2 delete, 3 Regulation (CE)
// codes, 4 "Salva", 5 "Nuovo", 6 "Chiudi"; opt 0 "Italia", 1 "Estero".
// A form may add its own fields after these.
class ModFrame : public SheetFrame
{
    Q_OBJECT
public:
    ~ModFrame() override;

    QVector<slxText *> slt;
    QVector<slxButton *> slb;
    QVector<QRadioButton *> opt;
    comboCom *cmbCom = nullptr;
    slxCombo *cmbNaz = nullptr;
    comboKgt *kgt = nullptr;
    hNav *nav = nullptr;
    // The caption bands, widened with the form.
    QVector<slxLabel *> sll;

    // mdcID of the module shown, 0 while a new one is entered.
    int idModulo = 0;
    // The codice fiscale the module shown was loaded or started with: the
    // one stored, whatever the field shows meanwhile.
    QString codFiscModulo;
    // The subject's company is in the registry (or was just added to it).
    bool dittaNota = false;

    // The buttons as the user presses them.
    void slb_Click(int Index);
    // True = not saved (refused by its checks or by the database).
    bool salvaModulo();
    bool isItalia() const;

protected:
    explicit ModFrame(QWidget *parent = nullptr);

    // Called by the form once its controls are gathered: wires them, fills
    // the country list and opens on the sheet's last module of the kind.
    void apriModuli();
    // Lays the bands, the navigator and the three buttons over width.
    void allarga(int width);

    bool salvaScheda() override { return salvaModulo(); }
    void caricaScheda() override { caricaModulo(false); }
    slxText *primoCampo() const override;

    // ---- what the kind adds ----
    virtual int tipoModulo() const = 0;
    virtual QString siglaModulo() const = 0;
    // The kind's own columns of the current row into its controls.
    virtual void caricaProprio(const Recordset &) {}
    virtual void nuovoProprio() {}
    // The kind's own required items of an Italian subject, after the street.
    virtual bool verificaProprioItalia() { return true; }
    virtual void scriviProprio(Recordset &) {}
    // Written in the same transaction as the module row; false undoes the save.
    virtual bool salvaDopo(int) { return true; }
    // The kind's controls that follow the address option.
    virtual void optProprio(bool) {}
    // Whether the form shows the Regulation (CE) code; when it does not, the
    // stored code is written back as read and no option clears it.
    virtual bool mostraRegCE() const { return true; }
    virtual void slbProprio(int) {}
    // A field of the kind (index past 7) was left with a changed value.
    virtual void cambioProprio(int, bool &) {}

    void showEvent(QShowEvent *event) override;
    bool caricamento() const { return m_caricamento; }
    // Shows a required item's message and takes the user there; false.
    bool richiesto(QWidget *control, const QString &message);

private:
    void slt_Validate(int Index, bool &Cancel);
    void cmbCom_Validate(bool &Cancel);
    void cmbNaz_Validate(bool &Cancel);
    void opt_Click(int Index);
    void scegliOpzione(int Index);
    void caricaModulo(bool richiesto);
    void nuovoModulo();
    void nuovoClick();
    // An empty Italian module, as the "Nuovo" button starts it.
    void avviaNuovo();
    bool verificaCodFiscModulo();
    // The code the module is stored under.
    QString codiceDaSalvare() const;
    void cercaDittaModulo();
    bool verificaModulo();
    void eliminaModulo();
    void listaModuli();
    void listaDitte();
    void listaRegCE();
    void focusCodFisc();
    // Puts the recordset back where the file says after a refused write.
    void riallinea();

    bool m_caricamento = false;
    bool m_mostrato = false;
};
