#pragma once

#include <memory>

#include "CardSheet.h"

class QuantityGrid;
class slxGrid;
namespace Ui {
class SK_SMAT;
}

// The producer packaging cards of the current declaration: per subject,
// the tonnes per year of seven packaging materials produced, self-produced,
// imported and exported, empty and filled (one RecMat row per material
// with a quantity).
class SK_SMAT : public CardSheet
{
    Q_OBJECT
public:
    explicit SK_SMAT(QWidget *parent = nullptr);
    ~SK_SMAT() override;

    slxGrid *grid() const;

protected:
    QString tabella() const override { return QStringLiteral("skMat"); }
    QString chiave() const override { return QStringLiteral("skmID"); }
    QString titoloLista() const override { return QStringLiteral("Lista delle schede SMAT"); }
    QString voceElimina() const override { return QStringLiteral("la scheda SMAT corrente"); }
    void caricaDati() override;
    void pulisciDati() override;
    bool schedaRiempita() override;
    bool scriviRighe(int id) override;
    void dopoSalvataggio() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    std::unique_ptr<Ui::SK_SMAT> ui;
    QuantityGrid *quantita;
};
