#pragma once

#include <QFont>
#include <functional>

#include "ArrowBar.h"

class PropertyBag;
class QTreeWidget;
class QTreeWidgetItem;
class slxText;

// The find bar under a list or a tree: a search text between the buttons
// first, previous, next and last. A press raises Click with the button's
// number; the form answers with findListView or findTreeView, which move
// the selection to the row whose text contains the search text (or, with
// no text, simply to the first, previous, next or last row).
class fndBar : public ArrowBar
{
    Q_OBJECT
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool ButtonsFlat READ ButtonsFlat WRITE setButtonsFlat)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int TextAppearance READ TextAppearance WRITE setTextAppearance)
    Q_PROPERTY(int TextBackColor READ TextBackColor WRITE setTextBackColor)
    Q_PROPERTY(QString Text READ Text WRITE setText STORED false)

public:
    explicit fndBar(QWidget *parent = nullptr);
    ~fndBar() override;

    int BackColor() const { return m_backColor; }
    void setBackColor(int value);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);
    int ForeColor() const;
    void setForeColor(int value);
    QFont Font() const;
    void setFont(const QFont &value);
    int TextAppearance() const;
    void setTextAppearance(int value);
    int TextBackColor() const;
    void setTextBackColor(int value);
    QString Text() const;
    void setText(const QString &value);

    // Searches the rows of a list (a QTreeWidget used as a list view) in
    // column fndDove (0 the row's own text, n its n-th sub-item) in the
    // direction fndMode (0 first, 1 previous, 2 next, other values last);
    // true when it selected a row. The scan never wraps around.
    bool findListView(QTreeWidget *lv, int fndDove, int fndMode) const;
    // The same over every node of a tree, in the order the nodes were
    // added (see watchTree), expanding the found node's ancestors.
    bool findTreeView(QTreeWidget *tv, int Modo) const;
    // Numbers the nodes of tv in the order they are added from now on, so
    // that findTreeView follows that order rather than the display order.
    // Nodes already there are numbered in display order.
    static void watchTree(QTreeWidget *tv);

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    slxText *textField() const { return slt; }

Q_SIGNALS:
    void Click(int Modo);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The 1-based row a press of button mode reaches from row current of
    // count rows whose texts textAt gives, or 0 for none.
    int searchTarget(int count, int current, int mode, const std::function<QString(int)> &textAt) const;

    slxText *slt;
    int m_backColor;
    bool m_enabled = true;
};
