#pragma once

#include <QFont>
#include <QPalette>
#include <QVariant>
#include <QWidget>
#include <initializer_list>

class Connection;
class QComboBox;
class QKeyEvent;

// The frame the three pickers share: a window holding one combo box `cmb`
// at its top left corner, as high as the box and as wide as the window,
// with the colours, font, Locked and run-time Enabled of the control, the
// Validate event of the form, Enter that moves on to the next field, and
// Esc that closes an open list and nothing else.
class comboHost : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)

public:
    int BackColor() const { return m_backColor; }
    void setBackColor(int color);
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int color);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    QFont Font() const;
    void setFont(const QFont &font);
    bool Locked() const { return m_locked; }
    void setLocked(bool locked);
    QString Text() const;

    // The inner box, for hosts that place or style it (the grid's editor).
    QComboBox *comboBox() const { return cmb; }

    // The database the picker reads its list from, handed by the form that
    // owns it; it must outlive the picker. Null (the default) reads from
    // the program's current database (see LookupSource).
    void setConnection(Connection *cn) { m_connection = cn; }
    // The connection lookups use now; null when there is none.
    Connection *connection() const;

    // The box shows a value the file holds that no entry stands for (see
    // holdStored): the field is not empty, and a save hands it back.
    bool holdsStored() const { return m_held.isValid(); }

Q_SIGNALS:
    // A design-time property changed; the key is its property-bag key.
    void PropertyChanged(const QString &key);
    void GotFocus();
    void LostFocus();
    void Validate(bool &Cancel);

protected:
    comboHost(bool editable, QWidget *parent);
    ~comboHost() override;

    // The required-field rule of the pickers: an empty field is refused
    // with the form's message (or the standard one) once with Required 1,
    // every time with Required 2. True lets the user leave.
    static bool acceptEmpty(int Required, bool &requiredShown, const QString &MsgRequired,
                            const QString &standard);
    // What the box shows now is what the form has of the control: the
    // program put it there. A picker calls it wherever it sets its value.
    void takeShown();
    // A value the file holds that no entry of the list stands for (a code
    // stored as a text or a fraction, one the list lacks): the picker keeps
    // it while no entry is chosen and nothing is typed over it, so that a
    // save hands it back unchanged. A null value holds nothing.
    void holdStored(const QVariant &stored) { m_held = stored; }
    QVariant heldStored() const { return m_held; }
    // Whether the box shows what the form last had of it. A picker's change
    // and its choice still to be taken are judged against this one value,
    // so loading another card under the focus changes neither.
    bool showsTaken() const;
    // The colour the container shows behind its controls.
    QColor containerColor() const;
    // The colour the control and the inner box show now.
    virtual QColor shownBackColor() const;
    void repaintBackground();
    void applyEnabled();
    void relayout();

    // Hooks for the three controls. A hook that returns false eats the key.
    virtual bool keyDown(QKeyEvent *) { return true; }
    virtual void keyUp(QKeyEvent *) {}
    // Called for every typed character with its code, which it may change
    // (0 drops the key); 13 afterwards moves on to the next field.
    virtual void keyPress(int &) {}
    virtual void gotFocus() {}
    virtual void lostFocus() {}
    // The user changed the text of an editable box (typing, pasting).
    virtual void textEdited() {}

    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

    QComboBox *cmb = nullptr;

private:
    bool handleKeyPress(QObject *target, QKeyEvent *event);
    bool lockedBlocks(QObject *watched, QEvent *event) const;
    void applyForeColor();
    // The box and its text field take color in roles.
    void colourBox(std::initializer_list<QPalette::ColorRole> roles, const QColor &color);
    void paintBackground(const QColor &color);

    int m_backColor;
    int m_foreColor;
    bool m_enabled = true;
    bool m_locked = false;
    bool m_resending = false;
    // The text of what the form last had of the box: put there by the
    // program, let through by the check, or found when the user came in.
    // A choice shown other than that is still to be taken.
    QString m_taken;
    // The focus went while the picker was out of sight with its window.
    bool m_away = false;
    Connection *m_connection = nullptr;
    QVariant m_held;
};
