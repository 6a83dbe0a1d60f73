#pragma once

#include <QDialog>
#include <QString>
#include <QVariantList>
#include <memory>

#include "ModalWork.h"

class QTreeWidget;
class slxButton;
class slxLabel;

// "Scheda riepilogativa": how many sheets and modules of each kind the
// current declaration holds, counted once when the window opens. It only
// reads.
class SA2 : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit SA2(QWidget *parent = nullptr);
    ~SA2() override;
    bool holdsWork() const override { return false; }

    slxLabel *sll = nullptr;
    QTreeWidget *lv = nullptr;
    slxButton *slb = nullptr;

private:
    void caricaRiepilogo();
    // value -1 marks a heading: bold, with no figure.
    void aggiungiRiga(int level, const QString &caption, int value);
    // Adds each row's second field to counts[first field]; kinds outside
    // the table are not counted.
    void contaModuli(const QString &sql, const QVariantList &params, int *counts, int size, bool reset);
    int conta(const QString &sql, int saID);

    struct Ui;
    std::unique_ptr<Ui> ui;
};
