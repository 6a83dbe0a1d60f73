#pragma once

#include <QDialog>
#include <QVector>
#include <memory>

#include "ModalWork.h"

class QProgressBar;
class slxButton;
class slxLabel;
class slxText;

// "Importazione anagrafiche anno precedente": copies into this year's
// company registry every company of last year's registry that it lacks,
// with changed municipality codes brought up to date. Companies already
// here are never touched. One import per opening; it can be stopped, and
// what was copied until then stays.
class importAnag : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit importAnag(QWidget *parent = nullptr);
    ~importAnag() override;
    bool holdsWork() const override { return isImporting(); }

    slxLabel *sll = nullptr;
    QProgressBar *pb = nullptr;
    // Processed, imported, already present, without a codice fiscale.
    QVector<slxText *> slt;
    QVector<slxButton *> slb;

    // 0 "Importa"; 1 "Annulla", "Interrompi" while importing, then "Chiudi".
    void slb_Click(int Index);
    void Importa();
    bool isImporting() const { return m_importing; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void showCounts();

    struct Ui;
    std::unique_ptr<Ui> ui;
    bool m_importing = false;
    bool m_stop = false;
    int m_processed = 0;
    int m_imported = 0;
    int m_withoutCode = 0;
};
