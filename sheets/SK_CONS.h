#pragma once

#include <QPointer>
#include <QVariant>
#include <QVector>

#include <memory>

#include "SheetFrame.h"

class QCheckBox;
class comboKgt;
class hNav;
class slxButton;
class slxLabel;
class slxText;

// The consortia section of the current declaration: one sheet per waste
// code with the quantity collected and sent to recovery and the secondary
// materials obtained from it, each with its unit. It opens over its own
// lower part the waste-code tree, the list of its sheets and the two
// module forms of the sheet on show, and keeps kezClass::consID on the
// stored sheet it shows.
class SK_CONS : public SheetFrame
{
    Q_OBJECT
public:
    // Child windows, as modoApertura names them.
    enum OpenMode { ModuliUO = 31, ModuliDR = 32, ListaSchede = 82, TabellaRifiuti = 92 };

    explicit SK_CONS(QWidget *parent = nullptr);
    ~SK_CONS() override;

    QVector<slxText *> slt;
    QVector<comboKgt *> kgt;        // kgt[2] to kgt[9]; the first two are null
    QVector<slxButton *> slb;
    QVector<slxLabel *> sll;
    hNav *nav = nullptr;
    QCheckBox *chkAll = nullptr;

    void slb_Click(int Index);
    int idScheda() const { return m_idScheda; }
    // The height of the window while a child window stands below it.
    int altezzaRidotta() const;
    // The child window open below the sheet, if any.
    QWidget *childWindow() const { return m_child; }

protected:
    bool salvaScheda() override;
    void caricaScheda() override;
    slxText *primoCampo() const override;
    void formActivate() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void loadSheets();
    void nuovaScheda();
    void nuovaSchedaPerCodice();
    void vaiAScheda();
    QVariant codiceDaSalvare() const;
    bool verificaScheda();
    void eliminaSchedaCorrente();
    void apriFinestraCons(int mode);
    void slt_Validate(int Index, bool &Cancel);
    void kgt_Validate(int Index, bool &Cancel);
    void setModuleButtons(bool stored);
    // Moves schedeRs to the first row whose column equals value, counting
    // positions from 1; 0 (standing on the last row) when none does.
    int findRow(const QString &column, const QVariant &value);
    void focusCode();
    void layoutBands();

    struct Ui;
    std::unique_ptr<Ui> ui;
    int m_idScheda = 0;
    QString m_codiceScheda;
    bool m_ridotta = false;
    QPointer<QWidget> m_child;
};
