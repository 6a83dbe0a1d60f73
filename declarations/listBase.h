#pragma once

#include <QDialog>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

#include "ModalWork.h"

class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class fndBar;
class slxLabel;
class tbButton;

// What the pick lists share: a band with "Seleziona", the find bar and
// "Chiudi" over a list of lines; a double click chooses one tick of a
// 200 ms timer later; Esc closes wherever the focus is. Each list fills
// the lines, says which one stands preselected and hands the chosen line
// back through the dialog launcher. A choice needs a selected line: with
// none, "Seleziona" does nothing.
class listBase : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    ~listBase() override;
    bool holdsWork() const override { return false; }

    slxLabel *sll = nullptr;
    QLabel *Label1 = nullptr;
    fndBar *fb = nullptr;
    QVector<tbButton *> tbb;
    QTreeWidget *lv = nullptr;
    QTimer *Timer1 = nullptr;

    // 0 "Seleziona", any other index closes.
    void tbb_Click(int Index);
    // The line that "Seleziona" would take: the current line when it is
    // selected, else nullptr.
    QTreeWidgetItem *selectedLine() const;
    // Closes the list, whether it is a dialog or a window inside the main
    // window.
    void unload();

    // Lays out a band of width w: left at its place, right as far from
    // the right edge as left is from the left one, the caption (when
    // shown) and the find bar between them.
    static void layoutBand(int w, slxLabel *band, tbButton *left, QLabel *caption, fndBar *finder,
                           tbButton *right);
    // Esc closes the window whatever control has the focus.
    static void closeOnEsc(QWidget *window, const std::function<void()> &unload);

    // The texts and keys the lines carry besides their columns.
    static QString lineKey(const QTreeWidgetItem *line);
    static QString lineTag(const QTreeWidgetItem *line);

public Q_SLOTS:
    void reject() override;

protected:
    struct Colonna
    {
        QString caption;
        Qt::Alignment align;
        int twips;  // 0: the column that takes the width left over
    };

    // storedSearch: where the find text lives between two openings (none
    // when the list forgets it); searchColumn: the column the find bar
    // searches; timerAlways: a double click arms the timer even while
    // "Seleziona" is disabled.
    listBase(QWidget *parent, QString *storedSearch, int searchColumn, bool timerAlways);

    // The client size of the window, from its design size in twips.
    void setClientSize(int widthTwips, int heightTwips, bool fixed);
    // Columns 1..n; frontColumn (1-based, 0 none) is shown first.
    void setColumns(const QVector<Colonna> &columns, int frontColumn);
    QTreeWidgetItem *addLine(const QString &key, const QStringList &texts, const QString &tag = QString());
    // The list is filled: select the preselected line (if any), fit the
    // stretched column and enable "Seleziona" for a list that has lines.
    void finishLoad(QTreeWidgetItem *preselected, int stretchCol, int colCount);

    // Hands the line back through the dialog launcher; the list unloads
    // afterwards.
    virtual void scegli(QTreeWidgetItem *line) = 0;

    void resizeEvent(QResizeEvent *event) override;

private:
    void choose();
    void layoutAll();

    struct Ui;
    std::unique_ptr<Ui> ui;
    QString *m_storedSearch;
    int m_searchColumn;
    bool m_timerAlways;
    QVector<Qt::Alignment> m_align;
    QList<QTreeWidgetItem *> m_pending;
};
