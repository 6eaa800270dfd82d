#include "channels/MSFlexGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

namespace {

// Draws the cells without the style's selection and focus marks, and the
// grid's highlight cell with a tint and a dark frame, so the cell the
// keyboard is on shows the same whether the grid or an editor has the
// focus and whatever style is in use.
class CHighlightDelegate : public QStyledItemDelegate
{
public:
    explicit CHighlightDelegate(CMSFlexGrid* grid)
        : QStyledItemDelegate(grid)
        , m_pGrid(grid)
    {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        const bool highlighted =
            index.row() + 1 == m_pGrid->HighlightRow() && index.column() + 1 == m_pGrid->HighlightCol();
        if (highlighted)
            painter->fillRect(option.rect, QColor(204, 228, 255));
        QStyledItemDelegate::paint(painter, plain, index);
        if (highlighted) {
            painter->save();
            QPen pen(QColor(0, 50, 160));
            pen.setWidth(2);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
            painter->restore();
        }
    }

private:
    CMSFlexGrid* m_pGrid;
};

} // namespace

CMSFlexGrid::CMSFlexGrid(int rows, int cols, QWidget* parent)
    : QTableWidget(rows - 1, cols - 1, parent)
    , m_nRows(rows)
    , m_nCols(cols)
    , m_colWidths(cols, 0)
    , m_alignments(cols, 0)
{
    setObjectName(QStringLiteral("grid"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // The grid never edits a cell itself: the view lays its editors over it.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);

    QFont font(QStringLiteral("Times New Roman"));
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setFont(font);

    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    const int rowHeight = QFontMetrics(font).height() + 6;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);

    for (int c = 1; c < cols; ++c)
        setHorizontalHeaderItem(c - 1, new QTableWidgetItem);
    for (int r = 1; r < rows; ++r)
        setVerticalHeaderItem(r - 1, new QTableWidgetItem);
    for (int r = 1; r < rows; ++r) {
        for (int c = 1; c < cols; ++c)
            setItem(r - 1, c - 1, new QTableWidgetItem);
    }

    // The corner button stands for cell (0, 0): it shows its text like the
    // other headings and selects nothing.
    setCornerButtonEnabled(false);
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->metaObject()->className() == QByteArray("QTableCornerButton")) {
            m_pCorner = button;
            button->installEventFilter(this);
        }
    }

    setItemDelegate(new CHighlightDelegate(this));
    setCurrentCell(0, 0);
    connect(this, &QTableWidget::currentCellChanged, this, &CMSFlexGrid::OnCurrentCellChanged);
}

QTableWidgetItem* CMSFlexGrid::Item(int row, int col) const
{
    if (row < 1 || row >= m_nRows || col < 1 || col >= m_nCols)
        return nullptr;
    return item(row - 1, col - 1);
}

QString CMSFlexGrid::GetTextMatrix(int row, int col) const
{
    if (row == 0 && col == 0)
        return m_cornerText;
    if (row == 0)
        return col < m_nCols ? horizontalHeaderItem(col - 1)->text() : QString();
    if (col == 0)
        return row < m_nRows ? verticalHeaderItem(row - 1)->text() : QString();
    const QTableWidgetItem* cell = Item(row, col);
    return cell ? cell->text() : QString();
}

void CMSFlexGrid::SetTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        return;
    if (row == 0 && col == 0) {
        m_cornerText = text;
        if (m_pCorner)
            m_pCorner->update();
    } else if (row == 0) {
        horizontalHeaderItem(col - 1)->setText(text);
    } else if (col == 0) {
        verticalHeaderItem(row - 1)->setText(text);
    } else if (QTableWidgetItem* cell = Item(row, col); cell && cell->text() != text) {
        cell->setText(text);
    }
}

void CMSFlexGrid::SetRow(int row)
{
    if (row >= 1 && row < m_nRows && row != m_nRow)
        setCurrentCell(row - 1, m_nCol - 1);
}

void CMSFlexGrid::SetCol(int col)
{
    if (col >= 1 && col < m_nCols && col != m_nCol)
        setCurrentCell(m_nRow - 1, col - 1);
}

void CMSFlexGrid::setCurrentCell(int row, int column)
{
    // The current index may stand on the framed cell rather than on Row and
    // Col: put it back first, so that a move onto the framed cell is a move.
    PlaceCurrentIndex(m_nRow, m_nCol);
    QTableWidget::setCurrentCell(row, column);
}

void CMSFlexGrid::PlaceCurrentIndex(int row, int col)
{
    const QModelIndex index = model()->index(row - 1, col - 1);
    if (!index.isValid() || currentIndex() == index)
        return;
    m_bPlacingIndex = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_bPlacingIndex = false;
}

void CMSFlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
}

void CMSFlexGrid::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
}

void CMSFlexGrid::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    emit FocusEntered();
}

void CMSFlexGrid::OnCurrentCellChanged(int currentRow, int currentColumn, int, int)
{
    if (m_bPlacingIndex)
        return;
    if (currentRow < 0 || currentColumn < 0)
        return;
    const int row = currentRow + 1;
    const int col = currentColumn + 1;
    if (row == m_nRow && col == m_nCol)
        return;
    // Row and Col still name the old cell while it is left.
    emit LeaveCell();
    m_nRow = row;
    m_nCol = col;
    emit EnterCell();
}

void CMSFlexGrid::mousePressEvent(QMouseEvent* event)
{
    if (!isEnabled())
        return;
    // A click on the framed cell moves there like a click anywhere else.
    PlaceCurrentIndex(m_nRow, m_nCol);
    QTableWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    short button = 0;
    switch (event->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: break;
    }
    short shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    const QPoint at = event->position().toPoint();
    emit MouseDown(button, shift, ToTwipsX(at.x()), ToTwipsY(at.y()));
}

bool CMSFlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pCorner && event->type() == QEvent::Paint) {
        // Draw the corner as a heading section carrying cell (0, 0)'s text.
        QPainter painter(m_pCorner);
        QStyleOptionHeader option;
        option.initFrom(m_pCorner);
        option.rect = m_pCorner->rect();
        option.text = m_cornerText;
        option.textAlignment = Qt::AlignCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.palette.setColor(QPalette::ButtonText, horizontalHeader()->palette().color(QPalette::ButtonText));
        painter.setFont(verticalHeader()->font());
        style()->drawControl(QStyle::CE_Header, &option, &painter, m_pCorner);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void CMSFlexGrid::SetColWidth(int col, int twips)
{
    if (col < 0 || col >= m_nCols)
        return;
    const bool wasShown = m_colWidths[col] > 0;
    m_colWidths[col] = twips;
    ApplyColumnWidth(col);
    if (wasShown != (twips > 0))
        emit ShownColumnsChanged();
}

int CMSFlexGrid::GetColWidth(int col) const
{
    return col >= 0 && col < m_nCols ? m_colWidths[col] : 0;
}

void CMSFlexGrid::ApplyColumnWidth(int col)
{
    const int pixels = ToPixelsX(m_colWidths[col]);
    if (col == 0) {
        verticalHeader()->setFixedWidth(pixels);
        verticalHeader()->setVisible(pixels > 0);
    } else {
        horizontalHeader()->resizeSection(col - 1, pixels);
    }
}

void CMSFlexGrid::SetColAlignment(int col, int alignment)
{
    if (col < 0 || col >= m_nCols)
        return;
    m_alignments[col] = alignment;
    const Qt::Alignment flags = alignment == 4 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop;
    if (col == 0) {
        for (int r = 1; r < m_nRows; ++r)
            verticalHeaderItem(r - 1)->setTextAlignment(flags);
        return;
    }
    horizontalHeaderItem(col - 1)->setTextAlignment(flags);
    for (int r = 1; r < m_nRows; ++r)
        Item(r, col)->setTextAlignment(flags);
}

void CMSFlexGrid::SetForeColorFixed(const QColor& color)
{
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        QPalette palette = header->palette();
        palette.setColor(QPalette::ButtonText, color);
        header->setPalette(palette);
    }
    if (m_pCorner)
        m_pCorner->update();
}

void CMSFlexGrid::SetBackColorBkg(const QColor& color)
{
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, color);
    viewport()->setPalette(palette);
    setPalette(palette);
}

void CMSFlexGrid::SetHighlightCell(int row, int col)
{
    if (row == m_nHighlightRow && col == m_nHighlightCol)
        return;
    m_nHighlightRow = row;
    m_nHighlightCol = col;
    PlaceCurrentIndex(row, col);
    viewport()->update();
    emit FramedCellChanged();
}

int CMSFlexGrid::DpiX() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96;
}

int CMSFlexGrid::DpiY() const
{
    return logicalDpiY() > 0 ? logicalDpiY() : 96;
}

int CMSFlexGrid::ToTwipsX(int pixels) const
{
    return pixels * 1440 / DpiX();
}

int CMSFlexGrid::ToTwipsY(int pixels) const
{
    return pixels * 1440 / DpiY();
}

int CMSFlexGrid::ToPixelsX(int twips) const
{
    return static_cast<int>(static_cast<long long>(twips) * DpiX() / 1440);
}

QPoint CMSFlexGrid::CellOrigin() const
{
    return QPoint(-3, -3);
}

int CMSFlexGrid::GetCellLeft() const
{
    const int x = viewport()->geometry().left() + columnViewportPosition(m_nCol - 1) - CellOrigin().x();
    return ToTwipsX(x);
}

int CMSFlexGrid::GetCellTop() const
{
    const int y = viewport()->geometry().top() + rowViewportPosition(m_nRow - 1) - CellOrigin().y();
    return ToTwipsY(y);
}

int CMSFlexGrid::GetCellWidth() const
{
    return ToTwipsX(columnWidth(m_nCol - 1));
}

int CMSFlexGrid::GetCellHeight() const
{
    return ToTwipsY(rowHeight(m_nRow - 1));
}
