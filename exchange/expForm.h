#pragma once

#include <QDialog>
#include <QVector>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class slxButton;

// "Esportazione dichiarazioni": the user exports one declaration or the
// declarations of one chamber of commerce. The export verifies them first,
// says how many have errors (with the report a click away), and writes
// those without errors into one XML file of the user's choice.
class expForm : public QDialog
{
    Q_OBJECT
public:
    explicit expForm(QWidget *parent = nullptr);
    ~expForm() override;

    QVector<QRadioButton *> opt;   // one declaration, one chamber of commerce
    QLabel *labDic = nullptr;
    QComboBox *cmbCCIAA = nullptr;
    QCheckBox *chkExp = nullptr;
    QVector<slxButton *> slb;      // "Esporta", "Chiudi", the declaration list

    void slb_Click(int Index);
    // Runs the export as chosen; true when a file was written.
    bool Esporta();
    int saID() const { return m_saID; }

private:
    void showDeclaration();

    struct Ui;
    std::unique_ptr<Ui> ui;
    int m_saID = 0;
};
