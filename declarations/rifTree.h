#pragma once

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>
#include <memory>

class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class fndBar;
class slxLabel;
class slxText;
class tbButton;

// "Tabella rifiuti speciali": the waste codes as a tree of chapters,
// sub-chapters and codes, in a window inside the main window below the
// sheet that opened it. Only what the waste-code filter allows can be
// chosen. A code other than the one the tree opened on goes back through
// the dialog launcher: Status, codiceRifiuto, descRifiuto, Pericoloso. The
// sheet disables itself first; the tree enables it again when it unloads.
class rifTree : public QWidget
{
    Q_OBJECT
public:
    // formBeneath: the sheet the tree goes below (by default the form
    // loaded just before it).
    explicit rifTree(QWidget *formBeneath = nullptr);
    ~rifTree() override;

    slxLabel *sllTool = nullptr;
    fndBar *fb = nullptr;
    QVector<tbButton *> tbb;
    QTreeWidget *tv = nullptr;
    QFrame *Frame1 = nullptr;
    QVector<slxText *> slt;
    QLabel *labPer = nullptr;

    // Shows the tree opened on pKey (the code of the sheet on show; empty
    // for a new sheet) and returns at once.
    void Visualizza(const QString &pKey);
    // 0 "Seleziona", 1 "Annulla".
    void tbb_Click(int Index);
    // Shows the node's code and description and whether it may be chosen.
    void tv_NodeClick(QTreeWidgetItem *node);
    // The tree's node pictures: 1 closed and 2 open chapter, 3 hazardous
    // and 4 ordinary code, 5 the whole table.
    static QPixmap immagine(int index);
    // Whether the node stands for a hazardous code.
    static bool isPericoloso(const QTreeWidgetItem *node);

Q_SIGNALS:
    // The tree has closed and enabled the form beneath; the answer is in
    // the dialog launcher.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void caricaAlbero();
    void seleziona();
    void scarica();

    struct Ui;
    std::unique_ptr<Ui> ui;
    QString codiceIniziale;
    QPointer<QWidget> m_beneath;
    bool m_unloaded = false;
};
