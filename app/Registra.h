#pragma once

#include <QDialog>
#include <QVariant>
#include <QVector>
#include <memory>

#include "UnloadQuery.h"

class QCheckBox;
class Recordset;
class comboCom;
class slxButton;
class slxText;

// "Registrazione dati utente": the compiling user's own company, kept in
// the one row of Setup. Its name is what unlocks the program. On a new
// year's file it proposes the previous year's data and offers to bring the
// previous year's company registry over as well.
class Registra : public QDialog, public UnloadQuery
{
    Q_OBJECT
public:
    explicit Registra(QWidget *parent = nullptr);
    ~Registra() override;

    QVector<slxText *> slt;
    QVector<slxButton *> slb;
    comboCom *cmbCom = nullptr;
    QCheckBox *chkImport = nullptr;

    // 0 "Registra" saves, 1 "Chiudi" closes (asking about unsaved data).
    void slb_Click(int Index);
    // True when the save was refused (a required field is empty or the
    // row could not be written): the data stay in the form.
    bool Save();

protected:
    // The question about unsaved data; Yes saves them.
    QWidget *unloadScope() override { return this; }
    bool hasChanges() const override;
    QString unloadPrompt() const override;
    bool saveChanges() override { return !Save(); }

    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void slt_Validate(int Index, bool &Cancel);
    void cmbCom_Validate(bool &Cancel);
    void markModified();
    // False when a required field is empty or the codice fiscale is refused;
    // the user is told and taken there.
    bool checkRequired();
    void fill(const Recordset &row);

    struct Ui;
    std::unique_ptr<Ui> ui;
    std::unique_ptr<Recordset> rs;
    bool m_savedWait = false;
    // The codice fiscale as last accepted: loaded, or confirmed by the user.
    QVariant m_acceptedCodFisc;
};
