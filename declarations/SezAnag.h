#pragma once

#include <QString>
#include <QVector>
#include <QWidget>
#include <memory>

#include "UnloadQuery.h"

class QCheckBox;
class QLabel;
class Recordset;
class comboCom;
class hNav;
class slxButton;
class slxLabel;
class slxText;

// "SA1 - Sezione anagrafica": the declarations of a company, one per local
// unit, stepped through with a navigator. The declaration it shows is the
// current declaration of the whole program: every section sheet, the
// summary, the verification and the printing work on the one it publishes.
class SezAnag : public QWidget, public UnloadQuery
{
    Q_OBJECT
public:
    explicit SezAnag(QWidget *parent = nullptr);
    ~SezAnag() override;

    QVector<slxText *> slt;
    QVector<comboCom *> cmbCom;
    QVector<QCheckBox *> chk;
    QVector<slxButton *> tbb;
    QVector<slxLabel *> sll;
    slxButton *Salva = nullptr;
    hNav *nav = nullptr;
    QLabel *labCopy = nullptr;

    // 0 new declaration, 1 new local unit, 2 copy from the previous year,
    // 3 delete, 4 summary, 5 close, 6 declaration list, 7 company list,
    // 8 activity list.
    void tbb_Click(int Index);
    void Salva_Click();
    void nav_Click(bool &Cancel, int Bottone);
    void chk_Click(int Index);
    void labCopy_Click();
    // True when the sheet was not stored (a check refused it, or the
    // database did): the sheet keeps what the user typed.
    bool salvaScheda();
    // Fills a new declaration from the previous year's declaration whose
    // saID the declaration list left in the dialog launcher's Key.
    void copiaAnnoPrec();

    int saIDCorrente() const { return m_saIDCorrente; }
    QString codFiscCorrente() const { return m_codFiscCorrente; }
    bool modificata() const;

protected:
    // The closing question of a modified sheet; Yes saves it.
    QWidget *unloadScope() override { return this; }
    bool hasChanges() const override { return modificata(); }
    QString unloadPrompt() const override;
    bool saveChanges() override { return !salvaScheda(); }

    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Closes the sheet as the user does, through the save question.
    void scarica();
    // Opens the rows of codFisc and shows saID, or its last row, or a blank
    // new declaration; false (after the error box) leaves the sheet as it was.
    bool caricaUnita(const QString &codFisc, int saID);
    void caricaScheda();
    void aggiornaStato();
    bool chiediSalvataggio();
    void eliminaSchedaCorrente();
    void setModificata();
    void nuovaScheda(bool unitaLocale);
    // The company a new row is stored under.
    QString codiceDaSalvare() const;
    bool verificaScheda();
    bool scriviScheda(bool nuova);
    void slt_Validate(int Index, bool &Cancel);
    // The own check of a field left with a changed value.
    void campoCambiato(int Index, bool &Cancel);
    void cmbCom_Validate(int Index, bool &Cancel);
    // A new codice fiscale passed its check: the save question, then the
    // company's declarations. Cancel keeps the user in the field.
    void codFiscAccettato(bool &Cancel);
    // The toolbar of a stored declaration (stored) or of a new sheet; not modified.
    void setSelectedDeclaration(bool stored);
    // Shows the database's refusal and keeps the sheet as the user left it.
    void erroreDatabase(const QString &context);

    struct Ui;
    std::unique_ptr<Ui> ui;
    std::unique_ptr<Recordset> rsUnita;
    QString m_codFiscCorrente;
    int m_saIDCorrente = 0;
    bool inCaricamento = false;
    // The field whose value was warned about and is accepted when it is
    // left again unchanged; -1 when none.
    int m_campoAvvisato = -1;
};
