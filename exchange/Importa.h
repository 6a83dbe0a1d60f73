#pragma once

#include <QDialog>
#include <QVector>
#include <memory>

class QLabel;
class QProgressBar;
class slxButton;
class slxText;

// "Importazione dichiarazioni KEZ anno corrente": the user picks an export
// file; its declarations come into this year's archive with every section,
// module and operation. The counts say what was in the file, what came
// in, what was already here and which companies joined the registry.
class Importa : public QDialog
{
    Q_OBJECT
public:
    explicit Importa(QWidget *parent = nullptr);
    ~Importa() override;

    QLabel *labFile = nullptr;
    QProgressBar *pb = nullptr;
    // In the file, imported, already present, companies added.
    QVector<slxText *> slt;
    QVector<slxButton *> slb;   // "Importa", "Chiudi"

    void slb_Click(int Index);
    // Imports fileName; true when the file went in.
    bool importaFile(const QString &fileName);

protected:
    // A file goes in whole: the dialog stays until it is done.
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Ui;
    std::unique_ptr<Ui> ui;
    bool m_running = false;
};
