#pragma once

#include <QPixmap>
#include <QStringList>
#include <QVariant>

#include "comboHost.h"

class PropertyBag;
class QMimeData;

// A list filled from a query of the current-year database (value in the
// first column, text in the second), where the user picks an entry or
// types its text; Match resolves the typed text when the field is left.
// The forms use it for the foreign country of a module and the province
// of the list print.
class slxCombo : public comboHost
{
    Q_OBJECT
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(int OLEDragMode READ OLEDragMode WRITE setOLEDragMode)
    Q_PROPERTY(int OLEDropMdoe READ OleDropMode WRITE setOleDropMode)
    Q_PROPERTY(int MatchEntry READ MatchEntry WRITE setMatchEntry)
    Q_PROPERTY(bool KeyString READ KeyString WRITE setKeyString)
    Q_PROPERTY(QString SqlString MEMBER SqlString)
    Q_PROPERTY(QString MsgRequired MEMBER MsgRequired)
    Q_PROPERTY(int Required MEMBER Required)

public:
    explicit slxCombo(QWidget *parent = nullptr);

    QString SqlString;
    QString MsgRequired;
    // 0 optional, 1 refused once when empty, 2 refused whenever empty.
    int Required = 0;

    // The inner combo box's window (the other pickers give their own).
    QWidget *hWnd() const;
    int Count() const;
    QString List(int Indice) const;
    int ListIndex() const;
    void setListIndex(int index);
    int MatchEntry() const { return m_matchEntry; }
    void setMatchEntry(int matchEntry);
    bool KeyString() const { return m_keyString; }
    void setKeyString(bool keyString);
    QPixmap MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap &icon);
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    int OLEDragMode() const { return m_oleDragMode; }
    void setOLEDragMode(int mode);
    int OleDropMode() const { return m_oleDropMode; }
    void setOleDropMode(int mode);

    // The selected entry's value: a whole number (0 for none) or, with
    // KeyString, a text key (Null for none). A stored value that is no
    // whole number (a text, a fraction) is held and given back as stored
    // until the user changes the field; a whole code the list lacks
    // selects nothing, unless the list is yet to be filled (no Refresh
    // since it was made or cleared): then it waits for the list.
    QVariant Value() const;
    void setValue(const QVariant &value);

    // Adds an entry in text order; without a value its value is 0.
    void AddItem(const QString &Testo, const QVariant &Valore = QVariant());
    void Clear();
    QString getText(const QVariant &Codice) const;
    // Resolves the typed text; false keeps the focus in the field.
    // Modificato: the entry shown is not the one the form last had.
    bool Match(bool &Modificato);
    // Fills the list again from SqlString.
    QVariant Refresh();

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

Q_SIGNALS:
    void Change();
    void Click();
    void DblClick();
    void KeyDown(int &KeyCode, int &Shift);
    void KeyPress(int &KeyAscii);
    void KeyUp(int &KeyCode, int &Shift);
    void OLECompleteDrag(int &Effect);
    void OLEDragDrop(const QMimeData *Data, int &Effect, int &Button, int &Shift, float &x, float &Y);
    void OLEDragOver(const QMimeData *Data, int &Effect, int &Button, int &Shift, float &x, float &Y,
                     int &State);
    void OLEGiveFeedback(int &Effect, bool &DefaultCursors);
    void OLESetData(const QMimeData *Data, int &DataFormat);
    void OLEStartDrag(const QMimeData *Data, int &AllowedEffects);

protected:
    bool keyDown(QKeyEvent *event) override;
    void keyUp(QKeyEvent *event) override;
    void keyPress(int &KeyAscii) override;
    void textEdited() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int datumAt(int index) const;
    QString keyAt(int index) const;
    // Selects the entry of value, or holds the value when no entry has it.
    void selectValue(const QVariant &value);
    bool requiredCheck();
    bool dragEvent(QEvent *event);

    int m_matchEntry = 0;
    bool m_keyString = false;
    QStringList m_keys;
    QPixmap m_mouseIcon;
    int m_mousePointer = 0;
    int m_oleDragMode = 0;
    int m_oleDropMode = 0;
    bool m_requiredShown = false;
    // Refresh has filled the list, with no entries perhaps.
    bool m_filled = false;
};
