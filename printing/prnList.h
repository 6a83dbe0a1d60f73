#pragma once

#include <QDialog>
#include <QString>
#include <QVector>
#include <memory>

#include "ModalWork.h"

class QComboBox;
class slxButton;

// "Elenco dichiarazioni": prints the list of the declarations of one
// chamber of commerce, or of all of them.
class prnList : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit prnList(QWidget *parent = nullptr);
    ~prnList() override;
    bool holdsWork() const override { return false; }

    // Item data: the chamber's province code, 0 for all chambers.
    QComboBox *cmbCCIAA = nullptr;
    QVector<slxButton *> slb;

    // 0 "Stampa", 1 "Chiudi".
    void slb_Click(int Index);
    QString fileStampato() const { return m_file; }

private:
    struct Ui;
    std::unique_ptr<Ui> ui;
    QString m_file;
};
