#pragma once

#include <memory>

#include "ModFrame.h"

class QButtonGroup;

// "Modulo UO-CONS": the local units a consortia sheet's waste was
// collected from, each with its activity code and kind of surface.
class ModRT : public ModFrame
{
    Q_OBJECT
public:
    explicit ModRT(QWidget *parent = nullptr);
    ~ModRT() override;

    // "Pubblica" and "Privata".
    QVector<QRadioButton *> optSup;

protected:
    int tipoModulo() const override { return 1; }
    QString siglaModulo() const override { return QStringLiteral("UO-CONS"); }
    void caricaProprio(const Recordset &rs) override;
    void nuovoProprio() override;
    bool verificaProprioItalia() override;
    void scriviProprio(Recordset &rs) override;
    void optProprio(bool italia) override;
    bool mostraRegCE() const override { return false; }
    void slbProprio(int Index) override;
    void cambioProprio(int Index, bool &Cancel) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Ui;
    std::unique_ptr<Ui> ui;
    QButtonGroup *gruppoSup = nullptr;
    // The surface the file holds as a text or a fraction, shown by no
    // option: while none is chosen a save hands it back unchanged.
    QVariant supTenuta;
};
