#pragma once

#include <QDialog>
#include <QString>
#include <QVector>
#include <memory>

#include "ElidedLabel.h"
#include "ModalWork.h"

class QCheckBox;
class slxButton;

// "Stampa dichiarazione": prints the chosen sections of one declaration,
// the current one unless the user picks another from the list. Sections
// with nothing stored cannot be ticked.
class prnDich : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit prnDich(QWidget *parent = nullptr);
    ~prnDich() override;
    bool holdsWork() const override { return false; }

    // In the order of PrintMod's section flags: SA1, CONS, SBOP, SMAT, SRIU, STIP.
    QVector<QCheckBox *> chk;
    QVector<slxButton *> slb;
    ElidedLabel *labDich = nullptr;

    // 0 "Stampa", 1 "Chiudi", 2 the list of declarations.
    void slb_Click(int Index);
    int saID() const { return m_saID; }
    // The file of the last print, empty when none was written.
    QString fileStampato() const { return m_file; }

private:
    void caricaDichiarazione(int saID, const QString &codFisc);

    struct Ui;
    std::unique_ptr<Ui> ui;
    int m_saID = 0;
    QString m_codFisc;
    QString m_file;
};
