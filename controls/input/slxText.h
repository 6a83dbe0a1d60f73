#pragma once

#include <QFont>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <array>

class PropertyBag;
class QKeyEvent;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
class QDropEvent;
class QMouseEvent;

// The typed text field of every form and the grid's in-cell editor: one
// control for texts, dates, whole numbers, decimals and currency amounts.
// The type decides which keys pass, how the value is shown while it is
// edited (plain, in a fixed date mask) and when it is not (grouped, with a
// currency sign, through a display pattern), and what kind of value it holds.
// Forms load it by assigning Value, commit the typed text with Match from
// its Validate event and save by reading Value.
class slxText : public QWidget
{
    Q_OBJECT
    // Declared in the order a layout applies them: the type before what
    // depends on it, the value last.
    Q_PROPERTY(int Required READ Required WRITE setRequired)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool AutoTab READ AutoTab WRITE setAutoTab)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int Characters READ Characters WRITE setCharacters)
    Q_PROPERTY(QString CharTable READ CharTable WRITE setCharTable)
    Q_PROPERTY(int ControlType READ ControlType WRITE setControlType)
    Q_PROPERTY(QString CurrencyChar READ CurrencyChar WRITE setCurrencyChar)
    Q_PROPERTY(int CurrencyPos READ CurrencyPos WRITE setCurrencyPos)
    Q_PROPERTY(int DateFormat READ DateFormat WRITE setDateFormat)
    Q_PROPERTY(int DecDigits READ DecDigits WRITE setDecDigits)
    Q_PROPERTY(QString DisplayMask READ DisplayMask WRITE setDisplayMask)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString Field READ Field WRITE setField)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int IntDigits READ IntDigits WRITE setIntDigits)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(QString MsgRequired READ MsgRequired WRITE setMsgRequired)
    Q_PROPERTY(int MultiLine READ MultiLine WRITE setMultiLine)
    Q_PROPERTY(bool Negative READ NegativeNumbers WRITE setNegativeNumbers)
    Q_PROPERTY(int ScrollBars READ ScrollBars WRITE setScrollBars)
    Q_PROPERTY(bool ShowThouSep READ ShowThouSep WRITE setShowThouSep)
    Q_PROPERTY(bool ShowZero READ ShowZero WRITE setShowZero)
    Q_PROPERTY(int OLEDropMode READ OleDropMode WRITE setOleDropMode)
    Q_PROPERTY(QVariant Value READ Value WRITE setValue)

public:
    // Field data types (ControlType), shared with the grid's column types.
    enum Tipo { Testo = 0, Data = 1, Intero = 2, Decimale = 3, Valuta = 4 };

    explicit slxText(QWidget *parent = nullptr);
    ~slxText() override;

    // The last committed value; forms read it and may set it.
    QVariant oldValue;

    QVariant Value() const { return m_value; }
    void setValue(const QVariant &value);
    bool isEmpty() const;
    // Commits the edit text to Value; Modificato tells whether it differs
    // from oldValue. False means the focus is to stay in the field.
    bool Match(bool &Modificato);
    // Whether Match would take the text typed, asking nothing.
    bool textAccepted() const;
    void SelectAll();
    void Refresh();
    QString Text() const;
    QWidget *hWnd() { return this; }
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);
    // The inner text box "Testo" (a line edit, or a plain text edit when
    // MultiLine).
    QWidget *textBox() const;

    // A field placed new on a form; reading and writing a form's layout.
    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    int Required() const { return m_required; }
    void setRequired(int value);
    int Alignment() const { return m_alignment; }
    void setAlignment(int value);
    int Appearance() const { return m_appearance; }
    void setAppearance(int value);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool value);
    bool AutoTab() const { return m_autoTab; }
    void setAutoTab(bool value);
    int BackColor() const { return m_backColor; }
    void setBackColor(int value);
    int BackStyle() const { return m_backStyle; }
    void setBackStyle(int value);
    int Characters() const { return m_characters; }
    void setCharacters(int value);
    QString CharTable() const { return m_charTable; }
    void setCharTable(const QString &value);
    int ControlType() const { return m_controlType; }
    void setControlType(int value);
    QString CurrencyChar() const { return m_currencyChar; }
    void setCurrencyChar(const QString &value);
    int CurrencyPos() const { return m_currencyPos; }
    void setCurrencyPos(int value);
    int DateFormat() const { return m_dateFormat; }
    void setDateFormat(int value);
    int DecDigits() const { return m_decDigits; }
    void setDecDigits(int value);
    QString DisplayMask() const { return m_displayMask; }
    void setDisplayMask(const QString &value);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);
    QString Field() const { return m_field; }
    void setField(const QString &value);
    QFont Font() const { return font(); }
    void setFont(const QFont &value);
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int value);
    int IntDigits() const { return m_intDigits; }
    void setIntDigits(int value);
    bool Locked() const { return m_locked; }
    void setLocked(bool value);
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int value);
    QString MsgRequired() const { return m_msgRequired; }
    void setMsgRequired(const QString &value);
    int MultiLine() const { return m_multiLine; }
    void setMultiLine(int value);
    bool NegativeNumbers() const { return m_negative; }
    void setNegativeNumbers(bool value);
    int ScrollBars() const { return m_scrollBars; }
    void setScrollBars(int value);
    bool ShowThouSep() const { return m_showThouSep; }
    void setShowThouSep(bool value);
    bool ShowZero() const { return m_showZero; }
    void setShowZero(bool value);
    int OleDropMode() const { return m_oleDropMode; }
    void setOleDropMode(int value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void Change();
    void Click();
    void KeyDown(int &KeyCode, int &Shift);
    void KeyPress(int &KeyAscii);
    void KeyUp(int &KeyCode, int &Shift);
    void MouseDown(int &Button, int &Shift, float &X, float &Y);
    void MouseMove(int &Button, int &Shift, float &X, float &Y);
    void MouseUp(int &Button, int &Shift, float &X, float &Y);
    void OLEDragDrop(const QMimeData *Data, int &Effect, int &Button, int &Shift, float &X,
                     float &Y);
    void OLEDragOver(const QMimeData *Data, int &Effect, int &Button, int &Shift, float &X,
                     float &Y, int &State);
    // The form's own events for the field: Validate runs when the focus is
    // about to leave for another control of the same form (Cancel keeps it).
    void Validate(bool &Cancel);
    void GotFocus();
    void LostFocus();
    // A design-time property changed; the key is its property-bag key.
    void PropertyChanged(const QString &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool isNumber() const { return m_controlType >= Intero; }
    // A number field that holds a stored value as its text (see setValue).
    bool holdsStoredText() const { return isNumber() && m_value.typeId() == QMetaType::QString; }
    bool isEditing() const { return m_hasFocus || m_focusKept; }

    // The inner box, whichever kind it is.
    void buildBox();
    QString boxText() const;
    void setBoxText(const QString &text);
    void writeOwnText(const QString &text);
    void boxTextChanged();
    int boxSelStart() const;
    int boxSelLength() const;
    void setBoxSelection(int start, int length);
    void insertIntoBox(const QString &text);
    void forwardToBox(QEvent *event);
    void applyColors();
    void applyScrollBars();
    void applyDropMode();
    void applyAppearance();
    void applyLocked();

    // Keys, clipboard and drops.
    void handleKeyPress(QKeyEvent *event);
    void typeCharacter(int KeyAscii);
    void fieldKeyDown(int &KeyCode, int Shift);
    void fieldKeyPress(int &KeyAscii);
    int filterTextChar(int KeyAscii) const;
    void dateKeyPress(int KeyAscii);
    void numberKeyPress(int &KeyAscii);
    void pasteText(const QString &text);
    bool controllaNumero(const QString &text, bool tabFlag);
    QString testoConSelezione(const QString &insert) const;
    QString textWithoutSelection() const;
    void queueTab(bool backwards = false);
    bool handleDrag(QEvent *event);
    void showContextMenu(const QPoint &globalPos);
    void raiseMouse(QMouseEvent *event, QWidget *source);

    // Focus and display.
    void gainFocus();
    void loseFocus(Qt::FocusReason reason);
    void showValue();
    void writeEditText();
    QString editText() const;
    QString displayText() const;
    void nomeFormatoData();
    void maschereNumero();
    void mostraNumero() { showValue(); }
    void layoutBox();
    void applySizePolicy();
    void measureText();
    int minimumHeight() const;
    QColor containerColor() const;
    QColor backgroundNow() const;
    bool readNumber(const QString &text, QVariant &result, QString &refusal) const;
    // The value the text typed stands for; false when the field refuses
    // it, with the message that says why (none for a date).
    bool readTyped(QVariant &value, QString &refusal) const;
    bool sameAsOld(const QVariant &value) const;
    void signalChange(const char *key);

    QPointer<QLineEdit> m_line;
    QPointer<QPlainTextEdit> m_multi;
    QWidget *m_box = nullptr;
    QWidget *m_tabAnchor = nullptr;

    int m_required = 0;
    int m_alignment = 0;
    int m_appearance = 0;
    bool m_autoSize = false;
    bool m_autoTab = true;
    int m_backColor;
    int m_backStyle = 1;
    int m_characters = 63;
    QString m_charTable;
    int m_controlType = Testo;
    QString m_currencyChar;
    int m_currencyPos = 0;
    int m_dateFormat = 0;
    int m_decDigits = 2;
    QString m_displayMask;
    bool m_enabled = true;
    QString m_field;
    int m_foreColor;
    int m_intDigits = 5;
    bool m_locked = false;
    int m_maxLength = 0;
    QString m_msgRequired;
    int m_multiLine = 0;
    bool m_negative = false;
    int m_scrollBars = 0;
    bool m_showThouSep = true;
    bool m_showZero = true;
    int m_oleDropMode = 0;

    QVariant m_value;
    std::array<int, 4> m_margins = {1, 1, 1, 3};
    int m_edgeFlags = 0;
    QString m_formatMask;
    bool m_hasFocus = false;
    bool m_focusKept = false;
    QString m_editMask;
    int m_editLength = 0;
    int m_textHeight = 0;
    bool m_selectOnMouseUp = false;
    bool m_requiredShown = false;
    bool m_settingValue = false;

    // The box's length limit while the field is edited (0: none). It
    // limits what the user types and pastes, never text the field writes.
    int m_boxLimit = 0;
    // The user changed the box's text since the field last wrote it.
    bool m_edited = false;
    // The text that stands for what the form has of the field: written by
    // the field from its value, or let through by its check. Anything else
    // shown, a value refused included, is still to be taken.
    QString m_takenText;
    bool m_writingOwnText = false;
    // The event being handed to the box past the field's own handling;
    // whatever it causes there (a focus move) is handled as usual.
    QEvent *m_passEvent = nullptr;
    // A key the box left goes on to the form, not back into the box.
    bool m_keyPropagating = false;
    bool m_forwardingKey = false;
    bool m_layingOut = false;
};
