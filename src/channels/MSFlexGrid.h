#pragma once
// The grid control of the channel window: a table of text cells numbered
// from 0, whose row 0 and column 0 are fixed headings. The control only
// stores and shows texts; all meaning lies in the view.
//
// It is a thin adapter over a Qt table widget. Row 0 is the widget's
// horizontal header and column 0 its vertical header (the corner shows cell
// (0, 0)), so the fixed cells look like headings and stay in place when the
// grid scrolls. Widths and cell rectangles are in twips (1440 per inch at
// the widget's logical resolution).
//
// Events: LeaveCell is raised while Row and Col still name the cell being
// left, EnterCell once they name the new current cell, MouseDown for every
// mouse press on a cell, after any change of the current cell it caused.
// A change of Row or Col, by the user or by the program, raises the pair.

#include <QString>
#include <QTableWidget>

class QAbstractButton;

class CMSFlexGrid : public QTableWidget
{
    Q_OBJECT
public:
    // rows x cols cells including the fixed row and column.
    CMSFlexGrid(int rows, int cols, QWidget* parent = nullptr);

    int GetRows() const { return m_nRows; }
    int GetCols() const { return m_nCols; }

    // The current cell; setting it moves the selection and raises the events.
    int GetRow() const { return m_nRow; }
    int GetCol() const { return m_nCol; }
    void SetRow(int row);
    void SetCol(int col);
    // Moves the current cell as QTableWidget's does, also onto the framed
    // cell that the current index already stands on (see SetHighlightCell).
    void setCurrentCell(int row, int column);

    QString GetText() const { return GetTextMatrix(m_nRow, m_nCol); }
    void SetText(const QString& text) { SetTextMatrix(m_nRow, m_nCol, text); }
    QString GetTextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);

    // Width of a column in twips; 0 hides it (its cells can still be current).
    void SetColWidth(int col, int twips);
    int GetColWidth(int col) const;
    // 4 centres horizontally and vertically, 0 aligns left and top.
    void SetColAlignment(int col, int alignment);
    void SetForeColorFixed(const QColor& color);
    void SetBackColorBkg(const QColor& color);

    // Rectangle of the current cell in twips, in the grid's cell coordinates
    // (see CellOrigin).
    int GetCellLeft() const;
    int GetCellTop() const;
    int GetCellWidth() const;
    int GetCellHeight() const;

    // Typing into the grid does not search its cells: the current cell
    // moves only by the arrow keys, the mouse and the program.
    void keyboardSearch(const QString&) override {}

    // Pixels per inch the twips are converted at.
    int DpiX() const;
    int DpiY() const;

    // The cell drawn as the one the keyboard is on (a frame and a tint that
    // show with or without the keyboard focus, in any style); 0, 0 for none.
    // The current cell may lie in a hidden column, so the view names the
    // cell the user sees. The item view's current index (what assistive
    // technology and scrolling follow) moves to the framed cell; Row and Col
    // stay the view's.
    void SetHighlightCell(int row, int col);
    int HighlightRow() const { return m_nHighlightRow; }
    int HighlightCol() const { return m_nHighlightCol; }

signals:
    void EnterCell();
    void LeaveCell();
    void MouseDown(short button, short shift, int x, int y);
    // For assistive technology: the framed cell moved, the grid took the
    // keyboard focus, a column was hidden or shown.
    void FramedCellChanged();
    void FocusEntered();
    void ShownColumnsChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // Qt's table announcements number hidden columns too; the grid's own
    // accessible table announces the framed cell instead.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCurrentCellChanged(int currentRow, int currentColumn, int previousRow, int previousColumn);
    // Puts the item view's current index on a cell without raising the
    // grid's events.
    void PlaceCurrentIndex(int row, int col);
    QTableWidgetItem* Item(int row, int col) const;
    // Cell coordinates start 3 pixels outside the corner where child windows
    // are placed, the width of the control's border and first grid line, so
    // an editor placed 3 pixels up and left of a cell lies on the cell.
    QPoint CellOrigin() const;
    int ToTwipsX(int pixels) const;
    int ToTwipsY(int pixels) const;
    int ToPixelsX(int twips) const;
    void ApplyColumnWidth(int col);

    int m_nRows;
    int m_nCols;
    int m_nRow = 1;
    int m_nCol = 1;
    QString m_cornerText;
    QAbstractButton* m_pCorner = nullptr;
    QVector<int> m_colWidths;  // twips
    QVector<int> m_alignments; // by column
    bool m_bMoving = false;
    bool m_bPlacingIndex = false; // PlaceCurrentIndex at work
    int m_nHighlightRow = 0;
    int m_nHighlightCol = 0;
};
