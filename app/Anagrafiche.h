#pragma once

#include <QDialog>
#include <QString>
#include <QVector>
#include <memory>

#include "ModalWork.h"

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class Recordset;
class comboCom;
class fndBar;
class slxButton;
class slxLabel;
class slxText;
class tbButton;

// "Anagrafiche": the registry of every company the program knows, sorted
// by name. The user finds a company with the find bar and picks it for the
// caller, corrects its name, address and telephone, or deletes it. The
// launcher's Key brings the company to preselect and takes the choice back.
class Anagrafiche : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit Anagrafiche(QWidget *parent = nullptr);
    ~Anagrafiche() override;
    bool holdsWork() const override;

    slxLabel *sll = nullptr;
    fndBar *fb = nullptr;
    QVector<tbButton *> tbb;
    QTreeWidget *lv = nullptr;
    QWidget *pnlEdit = nullptr;
    slxLabel *sllEdit = nullptr;
    QVector<slxText *> slt;
    comboCom *cmbCom = nullptr;
    QVector<slxButton *> slb;

    // 0 "Seleziona", 1 "Modifica", 2 "Elimina", 3 "Chiudi".
    void tbb_Click(int Index);
    // 0 "Salva", 1 "Annulla" (back to the list).
    void slb_Click(int Index);
    // True when the edited company was written.
    bool Save();
    bool isEditing() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadList();
    void enableList();
    void openEdit();
    void closeEdit();
    void deleteCompany();
    void selectCompany();
    void slt_Validate(int Index, bool &Cancel);
    void cmbCom_Validate(bool &Cancel);
    void markModified();
    void setListMode(bool list);

    struct Ui;
    std::unique_ptr<Ui> ui;
    std::unique_ptr<Recordset> m_rs;   // the company being edited
    QTreeWidgetItem *m_editItem = nullptr;
    // The clerk chose or cleared the municipality of the company edited.
    bool m_comuneCambiato = false;
    // The find bar's text at the last closing, for the whole run.
    static QString s_search;
};
