#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "UnloadQuery.h"

class CaptionButton;
class QMdiSubWindow;
class Recordset;
class hNav;
class slxText;

// The frame every section sheet and module form of a declaration is built
// on: a child window of the main window that Esc closes from any field,
// whose save button's Enabled state is its one modified flag, that asks
// "Attenzione, scheda modificata, vuoi salvarla?" before a changed card is
// left or the window closes (by the user, for another window or for
// quitting), and that gives up its card recordset when it unloads.
//
// Two kinds of form share it:
// - a sheet (formCode 1 to 6) opens from the side bar over the whole client
//   area of the main window, writes its code to currentForm, takes its
//   window icon from the side bar's pictures and brings the splash back
//   when it unloads;
// - a child form (formCode 0, the module forms) opens below the form loaded
//   just before it (the consortia sheet, already reduced to its top band),
//   fills the rest of the client area, and when it unloads enables that
//   form again and sets modoApertura back to 0.
//
// What a derived form does:
// - builds its controls, then calls setSaveButton() with its save button
//   and, when it moves between cards, setNavigator() with its navigator;
// - overrides salvaScheda(): verify and store the card shown; returns
//   Cancel, true when the checks refused it (their message already shown,
//   the focus on the field), false once stored. On success it calls
//   setSalvata(). The frame relies on that result alone;
// - overrides caricaScheda() to show the row schedeRs stands on, calling
//   setSalvata() as loading leaves nothing to save, and primoCampo() when
//   the navigator should leave the focus on a first field with its text
//   selected (ModRT, whose load places the focus itself, returns nullptr);
// - calls setModificata() after every change of a field or grid cell, and
//   nuovaSchedaFrame(caption) when it starts a new card;
// - connects its "Chiudi" button to unloadForm();
// - may override formActivate() (the form is active again, e.g. after a
//   child window unloaded), formUnload() (releases of its own, run before
//   the frame closes schedeRs) and domandaModifica() (a prompt of its own
//   for leaving a card; closing always asks the frame's prompt).
//
// After construction the owner shows the form with showInMain(). Database
// errors are the derived form's to report (showError); the frame only
// moves the recordset and asks.
class SheetFrame : public QWidget, public UnloadQuery
{
    Q_OBJECT
public:
    ~SheetFrame() override;

    // 1 to 6 for a sheet, 0 for a child form.
    int formCode() const { return m_formCode; }
    bool isSheet() const { return m_formCode > 0; }

    // The modified flag.
    bool isModificata() const;
    void setModificata();
    // True = go on: nothing to save, the user dropped the changes, or the
    // card was saved; false when the user cancelled or the save was refused.
    bool chiediSalvataggio();
    // Closes the window as its own "Chiudi" does (the question is asked).
    // Returns whether it closed.
    bool unloadForm();

    // Shows the form inside the main window: a sheet at the top left over
    // the whole client area, a child form below the form loaded before it.
    QMdiSubWindow *showInMain();
    // The form a child form stands below (and enables when it unloads).
    QWidget *ownerForm() const { return m_owner; }

    // Places child (a form shown inside the main window) directly below
    // above's window and stretches it over the rest of the main window's
    // client area, now and whenever the main window changes size. For any
    // child window of a sheet, framed or not.
    static void placeBelow(QWidget *child, QWidget *above);
    // The window that stands for form: its frame inside the main window.
    static QWidget *windowOf(QWidget *form);
    // The form loaded just before form (nullptr when none).
    static QWidget *formLoadedBefore(QWidget *form);

    static QString promptModificata() { return QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?"); }

    // The cards of the current declaration, or the modules of the current
    // consortia sheet; opened by the derived form, released at unload.
    std::unique_ptr<Recordset> schedeRs;

protected:
    explicit SheetFrame(int formCode, QWidget *parent = nullptr);

    void setSaveButton(CaptionButton *button);
    CaptionButton *saveButton() const { return m_save; }
    void setNavigator(hNav *nav);
    hNav *navigator() const { return m_nav; }
    // The card shown is saved or freshly loaded.
    void setSalvata();
    // Commits a field's typed text (slxText::Match). A changed value the
    // field's own check refused once is taken when the field is left again
    // unchanged: that exit reports it as a change, so the card counts as
    // modified and the form's checks see it.
    bool matchField(slxText *field, bool &changed);
    // A new card: the navigator shows caption in place of its position
    // (Value and Max stay, so a move starts from the card shown before)
    // and there is nothing to save yet.
    void nuovaSchedaFrame(const QString &caption);

    // After the card shown is deleted from schedeRs: the navigator one card
    // shorter and schedeRs on the card that takes its place (the previous
    // one when the last went); false when no card is left.
    bool dopoEliminazione();

    virtual bool salvaScheda() = 0;
    virtual void caricaScheda() {}
    virtual slxText *primoCampo() const { return nullptr; }
    virtual QString domandaModifica() const { return promptModificata(); }
    virtual void formActivate() {}
    virtual void formUnload() {}
    // The navigator's Click: save question, move, show the card, focus the
    // first field. Cancel keeps the navigator where it was.
    virtual void nav_Click(bool &Cancel, int Bottone);

    // The closing question: asked when the card shown has changes; Yes
    // saves it.
    QWidget *unloadScope() override { return this; }
    bool hasChanges() const override { return isModificata(); }
    QString unloadPrompt() const override { return promptModificata(); }
    bool saveChanges() override { return !salvaScheda(); }

    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void activateLater();

    int m_formCode;
    CaptionButton *m_save = nullptr;
    hNav *m_nav = nullptr;
    QPointer<QWidget> m_owner;
    bool m_unloaded = false;
    bool m_activationPending = false;
    // The field whose value was refused once and stands as it is.
    QPointer<slxText> m_rifiutato;
};
