#pragma once

#include <QDialog>
#include <QVector>
#include <memory>

#include "ElidedLabel.h"
#include "ModalWork.h"

class QCheckBox;
class QComboBox;
class QProgressBar;
class QRadioButton;
class slxButton;

// "Esportazione dichiarazioni": the user exports one declaration or the
// declarations of one chamber of commerce. The export verifies them first,
// says how many have errors (with the report a click away), and writes
// those without errors into one XML file of the user's choice; the bar
// follows the writing and "Annulla" stops it with nothing written.
class expForm : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit expForm(QWidget *parent = nullptr);
    ~expForm() override;
    bool holdsWork() const override { return m_running; }

    QVector<QRadioButton *> opt;   // one declaration, one chamber of commerce
    ElidedLabel *labDic = nullptr;
    QComboBox *cmbCCIAA = nullptr;
    QCheckBox *chkExp = nullptr;
    QProgressBar *pb = nullptr;
    QVector<slxButton *> slb;      // "Esporta", "Chiudi", the declaration list

    // While writing, "Chiudi" reads "Annulla" and stops the export.
    void slb_Click(int Index);
    // Runs the export as chosen; true when a file was written.
    bool Esporta();
    int saID() const { return m_saID; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showDeclaration();
    bool write(const QList<int> &ids, const QString &fileName, int camera);

    struct Ui;
    std::unique_ptr<Ui> ui;
    int m_saID = 0;
    bool m_running = false;
    bool m_stop = false;
};
