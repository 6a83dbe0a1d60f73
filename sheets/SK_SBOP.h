#pragma once

#include <memory>

#include "CardSheet.h"

namespace Ui {
class SK_SBOP;
}

// The plastic bags cards of the current declaration: per subject, the
// tonnes per year of six kinds of bags and their average weights in grams,
// each field bound to its skSbop column by its Field.
class SK_SBOP : public CardSheet
{
    Q_OBJECT
public:
    explicit SK_SBOP(QWidget *parent = nullptr);
    ~SK_SBOP() override;

protected:
    QString tabella() const override { return QStringLiteral("skSbop"); }
    QString chiave() const override { return QStringLiteral("sksID"); }
    QString titoloLista() const override { return QStringLiteral("Lista delle schede SBOP"); }
    QString voceElimina() const override { return QStringLiteral("la scheda SBOP corrente"); }
    void caricaDati() override;
    void pulisciDati() override;
    bool schedaRiempita() override;
    bool scriviCampi() override;
    void dopoSalvataggio() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    std::unique_ptr<Ui::SK_SBOP> ui;
    // slt(2) to slt(7) tonnes per year, slt(8) to slt(13) average weights.
    QVector<slxText *> quantita;
    // What each field read from the card and what it then showed.
    QVariantList letti;
    QVariantList mostrati;
};
