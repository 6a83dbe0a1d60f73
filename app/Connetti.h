#pragma once

#include <QDialog>
#include <QString>
#include <QVector>
#include <memory>

#include "ModalWork.h"

class slxButton;
class slxLabel;
class slxText;

// "Collega archivi": the user chooses the database file of the current
// year and, optionally, the one of the previous year. Each chosen file is
// checked to be a database of this program before its path is stored in
// the INI file and the database object reconnects. Sets the launcher's
// Status when a path was changed and applied.
class Connetti : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit Connetti(QWidget *parent = nullptr);
    ~Connetti() override;
    bool holdsWork() const override;

    QVector<slxLabel *> sll;
    QVector<slxText *> slt;
    QVector<slxButton *> slb;

    // 0, 1 browse for that year's file; 2 apply and close; 3 close;
    // 4 forget the previous-year file.
    void slb_Click(int Index);
    // True when the path shown for Index may be used; the path is then
    // the accepted one.
    bool Probe(int Index, const QString &title);
    // True when the form may close.
    bool Apply();

private:
    void Browse(int Index);

    struct Ui;
    std::unique_ptr<Ui> ui;
    // The accepted paths: 0 current year, 1 previous year.
    QString m_paths[2];
    // The paths shown at opening: another one is a choice not yet applied.
    QString m_shownPaths[2];
    bool m_savedWait = false;
};
