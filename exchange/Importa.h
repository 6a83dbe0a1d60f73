#pragma once

#include <QDialog>
#include <QVector>
#include <memory>

#include "ElidedLabel.h"
#include "ModalWork.h"

class QProgressBar;
class slxButton;
class slxText;

// "Importazione dichiarazioni KEZ anno corrente": the user picks an export
// file; its declarations come into this year's archive with every section,
// module and operation. The bar follows the reading and storing, and
// "Annulla" stops it with nothing stored. The counts say what was in the
// file, what came in, what was already here or repeated in the file, and
// which companies joined the registry.
class Importa : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit Importa(QWidget *parent = nullptr);
    ~Importa() override;
    bool holdsWork() const override { return m_running; }

    ElidedLabel *labFile = nullptr;
    QProgressBar *pb = nullptr;
    // In the file, imported, already present, companies added, repeated
    // in the file.
    QVector<slxText *> slt;
    QVector<slxButton *> slb;   // "Importa", "Chiudi"

    // While importing, any button but "Importa" stops the import.
    void slb_Click(int Index);
    // Imports fileName; true when the file went in.
    bool importaFile(const QString &fileName);

protected:
    // A file goes in whole or not at all: closing while it runs stops it.
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Ui;
    std::unique_ptr<Ui> ui;
    bool m_running = false;
    bool m_stop = false;
};
