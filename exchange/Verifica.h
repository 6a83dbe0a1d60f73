#pragma once

#include <QDialog>
#include <QList>
#include <QVector>
#include <memory>

#include "ElidedLabel.h"
#include "ModalWork.h"

class QCheckBox;
class QComboBox;
class QProgressBar;
class QRadioButton;
class slxButton;
class slxText;

// "Verifica dati inseriti": checks declarations and writes the report
// (Kez22imbErr.txt in the program's folder, replacing the last one).
// Opened from the menu the user chooses what to check and reads the
// counts; opened by the export for one declaration or one chamber of
// commerce it runs at once, marks the declarations without errors as
// exportable (saExp) and closes. The counts go back through the dialog
// launcher (Status, checkOk, checkKo).
class Verifica : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    // Which declarations: one (code = saID), one chamber of commerce
    // (code = the chamber's province), or all of them.
    enum Scelta { Tutte = 0, Camera = 1, Una = 2 };

    explicit Verifica(QWidget *parent = nullptr);
    ~Verifica() override;
    // Opened by the export, the check is that export at work until it closes.
    bool holdsWork() const override { return m_running || m_mode != -1; }

    // The declarations of a choice, in saID order; only those not exported
    // yet unless withExported; only those marked exportable when asked.
    // read, when given, is false when the list could not be read (ErrInfo
    // says why): an empty list is then no answer.
    static QList<int> dichiarazioni(int scelta, int code, bool withExported, bool onlyExportable = false,
                                    bool *read = nullptr);
    // Fills a list with the chambers of commerce that have declarations
    // (item data: the chamber's code); a list that cannot be read is said
    // with the error box.
    static void fillCamere(QComboBox *cmb);
    // The chamber of commerce of a declaration's local unit; 0 when unknown,
    // -1 when it could not be read (the error box has said why).
    static int cameraDi(int saID);
    static QString reportPath();

    QVector<QRadioButton *> opt;
    ElidedLabel *labDic = nullptr;
    QComboBox *cmbCCIAA = nullptr;
    QCheckBox *chkExp = nullptr;
    QProgressBar *pb = nullptr;
    QVector<slxText *> slt;     // without errors, with errors
    QVector<slxButton *> slb;   // "Verifica", "Rapporto", "Chiudi"

    void slb_Click(int Index);
    // Checks the declarations and writes the report; with mark, sets saExp.
    // False when the user stopped it, the marks could not be stored (the
    // error box has said why) or the report could not be written.
    bool verifica(const QList<int> &ids, bool mark);
    int ok = 0;
    int ko = 0;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void runChosen();
    void runAtOnce();

    struct Ui;
    std::unique_ptr<Ui> ui;
    int m_mode = -1;
    bool m_started = false;
    bool m_running = false;
    bool m_stop = false;
};
