#pragma once

#include <QPointer>
#include <QVariantList>

#include "listBase.h"

// "Lista delle schede CONS inserite": the consortia sheets of the current
// declaration, by waste code, in a window inside the main window below
// the sheet that opened it. The sheet disables itself first; the list
// enables it again when it unloads. A sheet other than the one on show
// goes back through the dialog launcher: Status, Key (its scID),
// codiceRifiuto, descRifiuto and Pericoloso.
class listRif : public listBase
{
    Q_OBJECT
public:
    // formBeneath: the sheet the list goes below (by default the form
    // loaded just before it).
    explicit listRif(QWidget *formBeneath = nullptr);
    ~listRif() override;

    // Shows the window with caption pCaption, filled from pSql with params
    // bound to its "?", and preselects the line whose key is pKey. The
    // query gives the row's key first, then rifCod, rifDesc and rifClass.
    void Visualizza(const QString &pCaption, int pKey, const QString &pSql,
                    const QVariantList &params = {});
    // The sheets of a declaration (saID bound), also those whose waste
    // code is missing from the table: they show an empty description.
    static QString sqlSchedeCons();

Q_SIGNALS:
    // The list has closed and enabled the form beneath; the answer is in
    // the dialog launcher.
    void unloaded();

protected:
    void scegli(QTreeWidgetItem *line) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void scarica();

    QPointer<QWidget> m_beneath;
    QTreeWidgetItem *m_preselected = nullptr;
    bool m_unloaded = false;
};
