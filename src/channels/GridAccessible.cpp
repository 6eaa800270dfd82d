#include "channels/GridAccessible.h"

#include "base/Globals.h"
#include "channels/MSFlexGrid.h"
#include "core/channels/CellNames.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// Data columns (1..Cols-1) of non-zero width, in order.
QList<int> ShownColumns(const CMSFlexGrid& grid)
{
    QList<int> columns;
    for (int column = 1; column < grid.GetCols(); ++column) {
        if (grid.GetColWidth(column) > 0)
            columns.append(column);
    }
    return columns;
}

class CGridTableAccessible;

// One cell of the grid: a channel's cell (row >= 1) or a column heading
// (row 0), addressed by grid row and grid column.
class CGridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    CGridCellAccessible(CMSFlexGrid* grid, int row, int column)
        : m_pGrid(grid)
        , m_nRow(row)
        , m_nCol(column)
    {}

    bool isValid() const override { return !m_pGrid.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_pGrid ? m_pGrid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_pGrid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!m_pGrid)
            return QString();
        const QString text = m_pGrid->GetTextMatrix(m_nRow, m_nCol);
        if (m_nRow == 0)
            return t == QAccessible::Name ? text : QString();
        switch (t) {
        case QAccessible::Name:
            return FromUtf8(ChannelCellName(m_nRow, m_pGrid->GetTextMatrix(0, m_nCol).toStdString(), text.toStdString(),
                                            IsChinese()));
        case QAccessible::Value: return text;
        default: return QString();
        }
    }

    QAccessible::Role role() const override { return m_nRow == 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!m_pGrid)
            return state;
        const QRect shown = m_pGrid->viewport()->rect();
        if (m_pGrid->GetColWidth(m_nCol) <= 0 || !m_pGrid->isVisible() || (m_nRow > 0 && !shown.intersects(CellRect())))
            state.invisible = true;
        if (m_nRow == 0)
            return state;
        state.focusable = true;
        state.selectable = true;
        state.disabled = !m_pGrid->isEnabled();
        const bool framed = m_pGrid->HighlightRow() == m_nRow && m_pGrid->HighlightCol() == m_nCol;
        state.selected = framed;
        state.focused = framed && m_pGrid->hasFocus();
        return state;
    }

    QRect rect() const override
    {
        if (!m_pGrid)
            return QRect();
        if (m_nRow == 0) {
            const QHeaderView* header = m_pGrid->horizontalHeader();
            const int x = header->sectionViewportPosition(m_nCol - 1);
            const QRect section(x, 0, header->sectionSize(m_nCol - 1), header->height());
            return QRect(header->viewport()->mapToGlobal(section.topLeft()), section.size());
        }
        const QRect cell = CellRect();
        return QRect(m_pGrid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QList<QAccessibleInterface*> cells;
        if (m_nRow > 0 && m_pGrid)
            cells.append(GridAccessibleInterface(m_pGrid)->tableInterface()->cellAt(-1, columnIndex()));
        return cells;
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_pGrid ? static_cast<int>(ShownColumns(*m_pGrid).indexOf(m_nCol)) : -1; }
    int rowIndex() const override { return m_nRow - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QRect CellRect() const { return m_pGrid->visualRect(m_pGrid->model()->index(m_nRow - 1, m_nCol - 1)); }

    QPointer<CMSFlexGrid> m_pGrid;
    int m_nRow;
    int m_nCol;
};

// The grid as a table. Children: the shown column headings, then the
// channels' cells row by row across the shown columns. The cell interfaces
// are made once per cell and registered, so their ids stay stable.
class CGridTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit CGridTableAccessible(CMSFlexGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Table)
    {}

    ~CGridTableAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_cellIds))
            QAccessible::deleteAccessibleInterface(id);
    }

    CMSFlexGrid* Grid() const { return static_cast<CMSFlexGrid*>(widget()); }

    // The interface of grid cell (row, column); row 0 for a heading.
    QAccessibleInterface* Cell(int row, int column) const
    {
        const int key = row * 64 + column;
        if (const auto it = m_cellIds.constFind(key); it != m_cellIds.cend())
            return QAccessible::accessibleInterface(*it);
        auto* cell = new CGridCellAccessible(Grid(), row, column);
        m_cellIds.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

    // The child index of grid cell (row, column); -1 when its column is hidden.
    int ChildIndex(int row, int column) const
    {
        const int shown = static_cast<int>(ShownColumns(*Grid()).indexOf(column));
        if (shown < 0 || row < 0 || row >= Grid()->GetRows())
            return -1;
        return row * static_cast<int>(ShownColumns(*Grid()).size()) + shown;
    }

    // Named by the title line above it, else by its corner heading.
    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || !text.isEmpty())
            return text;
        if (const QWidget* form = Grid()->parentWidget()) {
            for (const QLabel* label : form->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                if (!label->text().trimmed().isEmpty())
                    return label->text().trimmed();
            }
        }
        return Grid()->GetTextMatrix(0, 0);
    }

    int childCount() const override { return Grid()->GetRows() * static_cast<int>(ShownColumns(*Grid()).size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<int> columns = ShownColumns(*Grid());
        if (index < 0 || columns.isEmpty() || index >= childCount())
            return nullptr;
        const int count = static_cast<int>(columns.size());
        return Cell(index / count, columns[index % count]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        for (auto it = m_cellIds.cbegin(); it != m_cellIds.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return ChildIndex(it.key() / 64, it.key() % 64);
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = Grid()->indexAt(at);
        if (index.isValid() && Grid()->viewport()->rect().contains(at))
            return Cell(index.row() + 1, index.column() + 1);
        return QAccessibleWidget::childAt(x, y);
    }

    QAccessibleInterface* focusChild() const override
    {
        if (!Grid()->hasFocus() || Grid()->HighlightRow() < 1 || Grid()->HighlightCol() < 1)
            return nullptr;
        return Cell(Grid()->HighlightRow(), Grid()->HighlightCol());
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // QAccessibleTableInterface. Row -1 names the heading row.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        const QList<int> columns = ShownColumns(*Grid());
        if (row < -1 || row >= rowCount() || column < 0 || column >= columns.size())
            return nullptr;
        return Cell(row + 1, columns[column]);
    }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        const int row = Grid()->HighlightRow();
        const int column = Grid()->HighlightCol();
        if (row < 1 || ChildIndex(row, column) < 0)
            return {};
        return {Cell(row, column)};
    }
    QString columnDescription(int column) const override
    {
        const QList<int> columns = ShownColumns(*Grid());
        return column >= 0 && column < columns.size() ? Grid()->GetTextMatrix(0, columns[column]) : QString();
    }
    QString rowDescription(int row) const override
    {
        return row >= 0 && row < rowCount() ? Grid()->GetTextMatrix(row + 1, 0).trimmed() : QString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return static_cast<int>(ShownColumns(*Grid()).size()); }
    int rowCount() const override { return Grid()->GetRows() - 1; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // Selecting goes through the view's own commands, not the table.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The grid's shape never changes: its cells read their texts live.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    mutable QHash<int, QAccessible::Id> m_cellIds; // row * 64 + column
};

QAccessibleInterface* GridFactory(const QString&, QObject* object)
{
    if (auto* grid = qobject_cast<CMSFlexGrid*>(object))
        return new CGridTableAccessible(grid);
    return nullptr;
}

} // namespace

void InstallGridAccessibility(CMSFlexGrid* grid)
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(GridFactory);
    }
    // While accessibility is on, Qt may have made and cached its own table
    // for the grid during the item view's construction: replace it.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    if (iface && !dynamic_cast<CGridTableAccessible*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));

    QObject::connect(grid, &CMSFlexGrid::FramedCellChanged, grid, [grid] { AnnounceFramedCell(grid); });
    // Queued: after the focus event of the grid itself, which Qt sends once
    // the grid's focus-in handler has returned.
    QObject::connect(
        grid, &CMSFlexGrid::FocusEntered, grid, [grid] { AnnounceFramedCell(grid); }, Qt::QueuedConnection);
    QObject::connect(grid, &CMSFlexGrid::ShownColumnsChanged, grid, [grid] { AnnounceColumnsChanged(grid); });
}

QAccessibleInterface* GridAccessibleInterface(CMSFlexGrid* grid)
{
    return QAccessible::queryAccessibleInterface(grid);
}

void AnnounceFramedCell(CMSFlexGrid* grid)
{
    if (!QAccessible::isActive() || !grid || !grid->hasFocus())
        return;
    auto* table = dynamic_cast<CGridTableAccessible*>(GridAccessibleInterface(grid));
    if (!table)
        return;
    const int index = table->ChildIndex(grid->HighlightRow(), grid->HighlightCol());
    if (grid->HighlightRow() < 1 || index < 0)
        return;
    QAccessibleEvent event(grid, QAccessible::Focus);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

void AnnounceColumnsChanged(CMSFlexGrid* grid)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(grid, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

void NameCellEditor(QWidget* editor, const CMSFlexGrid& grid)
{
    const std::string heading = grid.GetTextMatrix(0, grid.GetCol()).toStdString();
    const QString name = FromUtf8(ChannelEditorName(grid.GetRow(), heading, IsChinese()));
    editor->setAccessibleName(name);
    // On AT-SPI a drop-down list is named by its value and labelled by the
    // label whose buddy it is: one hidden label beside the editors serves
    // whichever is open.
    QWidget* form = editor->parentWidget();
    if (!form)
        return;
    auto* label = form->findChild<QLabel*>(QStringLiteral("cellEditorLabel"), Qt::FindDirectChildrenOnly);
    if (!label) {
        label = new QLabel(form);
        label->setObjectName(QStringLiteral("cellEditorLabel"));
        label->setTextFormat(Qt::PlainText);
        label->hide();
    }
    label->setText(name);
    label->setBuddy(editor);
}
