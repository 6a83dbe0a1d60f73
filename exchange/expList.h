#pragma once

#include <QWidget>

class QTreeWidget;
class slxButton;
class slxLabel;

// "Lista delle esportazioni effettuate": the exports made from this
// year's archive, newest first, with their date and time, file, chamber
// of commerce and number of declarations. A child window of the main
// window; closing it brings the splash back.
class expList : public QWidget
{
    Q_OBJECT
public:
    explicit expList(QWidget *parent = nullptr);
    ~expList() override;

    // Opens the list inside the main window; nullptr without one.
    static expList *showInMain();

    slxLabel *sll = nullptr;
    QTreeWidget *lv = nullptr;
    slxButton *slb = nullptr;   // "Chiudi"

    void caricaLista();
    // "Chiudi" and Esc: the list goes with the frame the main window gave it.
    void chiudi();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};
