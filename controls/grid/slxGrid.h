#pragma once

#include <QFont>
#include <QVariant>
#include <QVector>
#include <QWidget>
#include <memory>
#include <vector>

#include "gridColumn.h"

class PropertyBag;
class QKeyEvent;
class QMimeData;
class QTableWidget;
class QTableWidgetItem;
class comboKgt;
class slxText;

// The editable table of the section sheets: rows of quantities with a
// column model saved in the form's layout, typed cell values, in-cell
// editing with the program's text field or unit picker under the form's
// control (RequestEdit, ValidateEdit), keyboard requests to insert and
// delete rows, selection colours that follow the focus, and one row of
// scrolling per wheel notch. Row 0 is the header row and column 0 the
// fixed left column; data rows and columns count from 1.
class slxGrid : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool AllowBigSelection READ AllowBigSelection WRITE setAllowBigSelection)
    Q_PROPERTY(bool AllowDelete READ AllowDelete WRITE setAllowDelete)
    Q_PROPERTY(bool AllowInsert READ AllowInsert WRITE setAllowInsert)
    Q_PROPERTY(int AllowUserResizing READ AllowUserResizing WRITE setAllowUserResizing)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(int AutoTab READ AutoTab WRITE setAutoTab)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BackColorBkg READ BackColorBkg WRITE setBackColorBkg)
    Q_PROPERTY(int BackColorFixed READ BackColorFixed WRITE setBackColorFixed)
    Q_PROPERTY(int BackColorSel READ BackColorSel WRITE setBackColorSel)
    Q_PROPERTY(int BackColorUnsel READ BackColorUnsel WRITE setBackColorUnsel)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int Cols READ Cols)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int ExpandedCol READ ExpandedCol WRITE setExpandedCol)
    Q_PROPERTY(int FixedAlignment READ FixedAlignment WRITE setFixedAlignment)
    Q_PROPERTY(bool FixedCol READ FixedCol WRITE setFixedCol)
    Q_PROPERTY(int FixedHeight READ FixedHeight WRITE setFixedHeight)
    Q_PROPERTY(bool FixedRow READ FixedRow WRITE setFixedRow)
    Q_PROPERTY(int FixedWidth READ FixedWidth WRITE setFixedWidth)
    Q_PROPERTY(int FocusRect READ FocusRect WRITE setFocusRect)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QFont FontFixed READ FontFixed WRITE setFontFixed)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int ForeColorFixed READ ForeColorFixed WRITE setForeColorFixed)
    Q_PROPERTY(int ForeColorSel READ ForeColorSel WRITE setForeColorSel)
    Q_PROPERTY(int ForeColorUnsel READ ForeColorUnsel WRITE setForeColorUnsel)
    Q_PROPERTY(int GridColor READ GridColor WRITE setGridColor)
    Q_PROPERTY(int GridColorFixed READ GridColorFixed WRITE setGridColorFixed)
    Q_PROPERTY(int GridLines READ GridLines WRITE setGridLines)
    Q_PROPERTY(int GridLinesFixed READ GridLinesFixed WRITE setGridLinesFixed)
    Q_PROPERTY(int GridLineWidth READ GridLineWidth WRITE setGridLineWidth)
    Q_PROPERTY(int GridLineWidthFixed READ GridLineWidthFixed WRITE setGridLineWidthFixed)
    Q_PROPERTY(int HighLight READ HighLight WRITE setHighLight)
    Q_PROPERTY(int OleDropMode READ OleDropMode WRITE setOleDropMode)
    Q_PROPERTY(int Rows READ Rows WRITE setRows)
    Q_PROPERTY(int RowSizingMode READ RowSizingMode WRITE setRowSizingMode)
    Q_PROPERTY(int ScrollBars READ ScrollBars WRITE setScrollBars)
    Q_PROPERTY(int SelectionMode READ SelectionMode WRITE setSelectionMode)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)

public:
    explicit slxGrid(QWidget *parent = nullptr);
    ~slxGrid() override;

    // ---- design-time properties ----
    bool AllowBigSelection() const { return m_allowBigSelection; }
    void setAllowBigSelection(bool value);
    bool AllowDelete() const { return m_allowDelete; }
    void setAllowDelete(bool value);
    bool AllowInsert() const { return m_allowInsert; }
    void setAllowInsert(bool value);
    // 0 none, 1 columns, 2 rows, 3 both.
    int AllowUserResizing() const { return m_allowUserResizing; }
    void setAllowUserResizing(int value);
    // 0 flat, 1 three-dimensional.
    int Appearance() const { return m_appearance; }
    void setAppearance(int value);
    // After an edit ended with Enter: 0 stay, 1 next editable column, 2 or
    // more the row below. Tab, in an edit or on a cell only selected, goes
    // to the next editable column (Shift+Tab to the previous one) unless it
    // is 0: then Tab ends an edit on its cell, Shift+Tab leaves the grid
    // backwards, the value stored either way, and Tab on a selected cell
    // leaves the grid.
    int AutoTab() const { return m_autoTab; }
    void setAutoTab(int value);
    int BackColor() const { return m_backColor; }
    void setBackColor(int value);
    int BackColorBkg() const { return m_backColorBkg; }
    void setBackColorBkg(int value);
    int BackColorFixed() const { return m_backColorFixed; }
    void setBackColorFixed(int value);
    // Selection colours while the grid has the focus (applied when it gets it).
    int BackColorSel() const { return m_backColorSel; }
    void setBackColorSel(int value);
    // Selection colours while it has not (applied at once).
    int BackColorUnsel() const { return m_backColorUnsel; }
    void setBackColorUnsel(int value);
    // 0 none, 1 single line.
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int value);
    int Cols() const { return int(m_columns.size()); }
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);
    // The column (0 = the fixed column) that takes the free width; 0 = none.
    int ExpandedCol() const { return m_expandedCol; }
    void setExpandedCol(int value);
    int FixedAlignment() const { return m_fixedAlignment; }
    void setFixedAlignment(int value);
    bool FixedCol() const { return m_fixedCol; }
    void setFixedCol(bool value);
    // Twips.
    int FixedHeight() const { return m_fixedHeight; }
    void setFixedHeight(int value);
    bool FixedRow() const { return m_fixedRow; }
    void setFixedRow(bool value);
    // Twips.
    int FixedWidth() const { return m_fixedWidth; }
    void setFixedWidth(int value);
    // 0 none, 1 light, 2 heavy.
    int FocusRect() const { return m_focusRect; }
    void setFocusRect(int value);
    QFont Font() const;
    // Also the font of the in-cell editors.
    void setFont(const QFont &font);
    QFont FontFixed() const;
    void setFontFixed(const QFont &font);
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int value);
    int ForeColorFixed() const { return m_foreColorFixed; }
    void setForeColorFixed(int value);
    int ForeColorSel() const { return m_foreColorSel; }
    void setForeColorSel(int value);
    int ForeColorUnsel() const { return m_foreColorUnsel; }
    void setForeColorUnsel(int value);
    int GridColor() const { return m_gridColor; }
    void setGridColor(int value);
    int GridColorFixed() const { return m_gridColorFixed; }
    void setGridColorFixed(int value);
    // 0 none, 1 flat, 2 inset, 3 raised.
    int GridLines() const { return m_gridLines; }
    void setGridLines(int value);
    int GridLinesFixed() const { return m_gridLinesFixed; }
    void setGridLinesFixed(int value);
    int GridLineWidth() const { return m_gridLineWidth; }
    void setGridLineWidth(int value);
    int GridLineWidthFixed() const { return m_gridLineWidthFixed; }
    void setGridLineWidthFixed(int value);
    // 0 never, 1 always, 2 only with the focus.
    int HighLight() const { return m_highLight; }
    void setHighLight(int value);
    // 0 none, 1 manual: drops raise OLEDragOver and OLEDragDrop.
    int OleDropMode() const { return m_oleDropMode; }
    void setOleDropMode(int value);
    int Rows() const { return m_rows; }
    void setRows(int Righe);
    int RowSizingMode() const { return m_rowSizingMode; }
    void setRowSizingMode(int value);
    // 0 none, 1 horizontal, 2 vertical, 3 both.
    int ScrollBars() const { return m_scrollBars; }
    void setScrollBars(int value);
    // 0 free, 1 by row, 2 by column.
    int SelectionMode() const { return m_selectionMode; }
    void setSelectionMode(int value);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool value);

    // ---- run-time members ----
    // Width in twips of column Indice (0 = the fixed column).
    int colWidth(int Indice) const;
    void setColWidth(int Indice, int twips);
    bool Editing() const { return m_editing; }
    // True opens an edit of the current cell when it is editable; False
    // closes an open one (its value is validated and stored).
    void setEditing(bool value);
    // Closes an open edit without storing what its editor shows: the cell
    // keeps its value. For a form about to show another record, where the
    // editor would otherwise write into the record that follows.
    void cancelEdit();
    // Columns 0 to value - 1 are fixed: drawn in the fixed colours and lines,
    // never current, never edited (0 hides column 0).
    void setFixedCols(int value);
    int fixedCols() const { return m_fixedCols; }
    int cellAlignment() const;
    void setCellAlignment(int value);
    int cellBackColor() const;
    void setCellBackColor(int value);
    int cellForeColor() const;
    void setCellForeColor(int value);
    bool cellFontBold() const;
    void setCellFontBold(bool value);
    bool cellFontItalic() const;
    void setCellFontItalic(bool value);

    // Current cell; values outside 1..Rows and 0..Cols are refused.
    int Row() const;
    void setRow(int value);
    int Col() const;
    void setCol(int value);
    int TopRow() const;
    void setTopRow(int value);
    // Tag of a data row (the key of the record it shows); new rows start at 0.
    int rowID(int Indice) const;
    void setRowID(int Indice, int value);
    void SelectRow(int Indice);

    gridColumn *ColumnHeader(int columnIndex) const;

    // Typed value of a cell (column 0: its plain text).
    QVariant TextMatrix(int Riga, int Colonna) const;
    void setTextMatrix(int Riga, int Colonna, const QVariant &value);
    QVariant Text() const;
    void setText(const QVariant &value);

    gridColumn *AddColumn(const QString &Caption = QString(), int Width = 1440, bool Visible = true);
    // Posizione -1 appends; 1..Cols inserts before that column.
    gridColumn *InsColumn(int Posizione = -1);
    void delColumn(int Indice);
    void Refresh();
    void RefreshColumn(int Indice, gridColumn *myCol);
    int expandCol(int Colonna);
    void setHelpContext(const QVariant &id);

    // Indice 0 appends (the first row of an empty grid is row 1), otherwise
    // inserts before row Indice; the values fill columns 1, 2, ... typed.
    int addRow(int Indice, const QVariantList &colData = QVariantList());
    template <typename... Values>
    int addRow(int Indice, const QVariant &first, const Values &...rest)
    {
        return addRow(Indice, QVariantList{first, QVariant(rest)...});
    }
    // The last row is emptied and keeps no identifier.
    void delRow(int Indice);
    // Scrolls one row: 0 or below towards the user (down), above 0 up.
    // The window's wheel hook calls it with the wheel message's parameter
    // (the signed distance in the high word).
    Q_INVOKABLE void mouseWheel(int Rotation);

    // ---- layout persistence ----
    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;
    // The end of reading a form's .ui layout, after its properties are set:
    // the columns are built from the "Col01Caption"... values the layout
    // stored on the grid (the highest number is the column count), then the
    // grid is laid out as after readProperties.
    void endReadProperties();

    // The wrapped table and the editors, for tests and the property page.
    QTableWidget *table() const { return hfg; }
    slxText *textEditor() const { return slt; }
    comboKgt *unitEditor(int index = 0) const;
    int visibleRows() const { return m_visibleRows; }

Q_SIGNALS:
    void KeyDown(int &KeyCode, int &Shift);
    void KeyPress(int &KeyAscii);
    void KeyUp(int &KeyCode, int &Shift);
    void MouseDown(int &Button, int &Shift, float &x, float &Y);
    void MouseUp(int &Button, int &Shift, float &x, float &Y);
    void DblClick();
    void RowColChange();
    void RequestEdit(bool &Cancel, int &KeyAscii, QVariant &Valore);
    void RequestInsert(bool &Cancel);
    void RequestDelete(bool &Cancel);
    void ValidateEdit(bool &Cancel, QVariant &Valore);
    // The grid never starts a drag of its own; the drag events that start
    // one are kept for forms written against the full event list.
    void OLECompleteDrag(int &Effect);
    void OLEDragDrop(const QMimeData *&Data, int &Effect, int &Button, int &Shift, float &x,
                     float &Y);
    void OLEDragOver(const QMimeData *&Data, int &Effect, int &Button, int &Shift, float &x,
                     float &Y, int &State);
    void OLEGiveFeedback(int &Effect, bool &DefaultCursors);
    void OLESetData(const QMimeData *&Data, int &DataFormat);
    void OLEStartDrag(const QMimeData *&Data, int &AllowedEffects);

    // A design-time property changed; the key is its layout key.
    void PropertyChanged(const QString &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class Delegate;
    friend class Delegate;
    class CtrlTab;
    friend class CtrlTab;

    // cells
    QTableWidgetItem *cell(int row, int col, bool create);
    QString cellText(int row, int col) const;
    void setCellText(int row, int col, const QString &text);
    QVariant readCellValue(int row, int col) const;
    void storeEditValue(int row, int col, const QVariant &value);
    void clearRow(int row);
    bool isFixedColumn(int col) const;
    int firstFreeCol() const;
    void markFixedCells(int fromRow, int toRow);

    // editing
    bool canEditCurrent();
    bool acceptsStartKey(int KeyAscii) const;
    bool oneCellSelected() const;
    void beginEdit(int KeyAscii);
    void placeEditor(QWidget *editor);
    void deliverChar(QWidget *editor, int KeyAscii);
    bool validateOpenEditor();
    bool finishEdit();
    // Closes the editor and gives the focus back to the table; the cell
    // keeps what it holds.
    void leaveEdit();
    void closeEditor();
    void endEdit();
    // Where Tab (Shift+Tab), and Enter with AutoTab 1, go from a cell: the
    // next (previous) editable column of its row, else the first (last)
    // one of the row below (above). False past the last (before the
    // first) editable cell.
    bool nextEditableCell(int &row, int &col, bool backwards) const;
    // Tab or Shift+Tab on the current cell, edited or only selected: on to
    // the next (previous) editable cell, out of the grid past the last
    // (before the first); Ctrl+Tab out at once. False leaves the key to the
    // focus chain (AutoTab 0).
    bool tabKey(const QKeyEvent *key);
    // Keys for the open editor that the grid handles first.
    bool editorEvent(QEvent *event);
    void editorKeyDown(int &KeyCode, int &Shift);
    void editorKeyPress(int &KeyAscii);
    void editorValidate(bool &Cancel);
    void focusMoved(QWidget *from, QWidget *to);
    void tableScrolled();

    // keys and mouse on the table
    bool tableKeyPress(QKeyEvent *event);
    void deleteKey();
    void viewportMouse(QEvent *event);
    void currentCellChanged();
    void moveQuietly(int row, int col);

    // layout
    void applyFixedCol();
    void applyFixedRow();
    void applyFixedAlignment();
    void applyColours();
    void applySelectionColours(bool focused);
    void applyFrame();
    void applyScrollBars();
    void applyResizing();
    void applySelectionMode();
    void computeVisibleRows();
    void fitExpandedCol();
    void setTableRowCount(int count);
    void finishRead(int rows, const QFont &fixedFont);
    void changed(const char *key);
    int cellColor(int role) const;
    void setCellColor(int role, int value);
    bool cellFontFlag(bool (QFont::*flag)() const) const;
    void setCellFontFlag(void (QFont::*setFlag)(bool), bool value);
    int tableRowHeight() const;
    int px(int twipsX) const;
    int pxY(int twipsY) const;
    int twips(int pixelsX) const;

    QTableWidget *hfg;
    slxText *slt;
    QVector<comboKgt *> cmb;
    std::vector<std::unique_ptr<gridColumn>> m_columns;
    QVector<int> m_rowIDs;
    QVector<int> m_colAlign;

    bool m_allowBigSelection = true;
    bool m_allowDelete = false;
    bool m_allowInsert = false;
    int m_allowUserResizing = 0;
    int m_appearance = 1;
    int m_autoTab = 1;
    int m_backColor;
    int m_backColorBkg;
    int m_backColorFixed;
    int m_backColorSel;
    int m_backColorUnsel;
    int m_borderStyle = 1;
    bool m_enabled = true;
    int m_expandedCol = 0;
    int m_fixedAlignment = 9;
    bool m_fixedCol = true;
    int m_fixedHeight = 405;
    bool m_fixedRow = true;
    int m_fixedWidth = 300;
    int m_focusRect = 1;
    int m_foreColor;
    int m_foreColorFixed;
    int m_foreColorSel;
    int m_foreColorUnsel;
    int m_gridColor;
    int m_gridColorFixed;
    int m_gridLines = 1;
    int m_gridLinesFixed = 2;
    int m_gridLineWidth = 1;
    int m_gridLineWidthFixed = 1;
    int m_fixedCols = 1;
    int m_codeCol = -1;
    int m_highLight = 1;
    int m_oleDropMode = 0;
    int m_rows = 0;
    int m_rowSizingMode = 0;
    int m_scrollBars = 3;
    int m_selectionMode = 0;
    bool m_wordWrap = false;
    QString m_cornerText;

    bool m_editing = false;
    int m_editRow = 0;
    int m_editCol = 0;
    int m_editType = 0;
    int m_lastEditKey = 0;
    bool m_clickArmed = false;
    int m_visibleRows = 0;
    QWidget *m_openEditor = nullptr;
    bool m_validating = false;
    bool m_leaveValidated = false;
    bool m_closing = false;
    int m_quietMoves = 0;
    bool m_hasFocus = false;
};
