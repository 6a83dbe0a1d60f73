#pragma once

#include <memory>

#include "ModFrame.h"

class QScrollArea;
class slxGrid;

// "Modulo DR-CONS": the local units a consortia sheet's waste went to,
// each with the quantity it received broken down by recovery (R1-R13) and
// disposal (D1-D15) operations. The form is taller than the room below
// the sheet, so its content scrolls and follows the focus.
class ModDR_CONS : public ModFrame
{
    Q_OBJECT
public:
    explicit ModDR_CONS(QWidget *parent = nullptr);
    ~ModDR_CONS() override;

    // 0 "Recupero", 1 "Smaltimento".
    QVector<slxGrid *> slg;
    QScrollArea *vsb = nullptr;

protected:
    int tipoModulo() const override { return 2; }
    QString siglaModulo() const override { return QStringLiteral("DR-CONS"); }
    void caricaProprio(const Recordset &rs) override;
    void nuovoProprio() override;
    bool salvaDopo(int key) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void azzeraOperazioni();
    bool salvaOperazioni(int key);
    void mostraFocus(QWidget *now);
    void dispone(int width);

    struct Ui;
    std::unique_ptr<Ui> ui;
    // The value of the cell whose edit began last.
    QVariant m_valoreCella;
    int m_altezza = 0;
};
