// The editing half of CProgramView: the eight editors laid over the current
// cell, the grid's events and keys, and the commits of the editing session,
// each one change of the document.

#include "channels/ProgramView.h"

#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "channels/CellEditors.h"
#include "channels/ChannelBulkCommands.h"
#include "channels/GridAccessible.h"
#include "channels/MSFlexGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

// The core's key table speaks the toolkit's key numbers.
static_assert(GridKey::kTab == Qt::Key_Tab && GridKey::kBacktab == Qt::Key_Backtab && GridKey::kMenu == Qt::Key_Menu &&
              GridKey::kF2 == Qt::Key_F2 && GridKey::kPageDown == Qt::Key_PageDown && GridKey::kZ == Qt::Key_Z &&
              GridKey::kD == Qt::Key_D && GridKey::kInsert == Qt::Key_Insert && GridKey::kDelete == Qt::Key_Delete &&
              GridKey::kEscape == Qt::Key_Escape && GridKey::kEnter == Qt::Key_Enter);
static_assert(GridKey::kShift == Qt::ShiftModifier && GridKey::kControl == Qt::ControlModifier &&
              GridKey::kAlt == Qt::AltModifier && GridKey::kMeta == Qt::MetaModifier &&
              GridKey::kKeypad == Qt::KeypadModifier);

namespace {

// Control IDs of the editors, by data column.
constexpr int kEditorIds[kTableCols] = {0, 2127, 2128, 2132, 2133, 2134, 2135, 1130, 1129};

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

KeyStroke StrokeOf(const QKeyEvent& key)
{
    return {key.key(), static_cast<unsigned>(key.modifiers().toInt())};
}

} // namespace

void CProgramView::CreateEditors()
{
    const bool chinese = IsChinese();
    for (int column = 1; column < kTableCols; ++column) {
        QWidget* editor = nullptr;
        if (IsListColumn(column)) {
            auto* list = new CCellList(m_pGrid);
            for (const std::string& item : EditorItems(column, chinese))
                list->addItem(Text(item));
            // The opened list has about 100 pixels, as the box is made
            // that much higher than the cell for it.
            list->setMaxVisibleItems(std::max(5, 100 / std::max(1, list->fontMetrics().height())));
            editor = list;
        } else {
            editor = new CCellEdit(m_pGrid);
        }
        editor->setFont(m_pGrid->font());
        editor->setGeometry(0, 0, 0, 0);
        editor->hide();
        editor->installEventFilter(this);
        SetControlId(editor, kEditorIds[column]);
        m_editors[static_cast<std::size_t>(column)] = editor;
    }
}

QWidget* CProgramView::EditorForColumn(int column) const
{
    if (column < 2 || column > 8)
        column = 1;
    return m_editors[static_cast<std::size_t>(column)];
}

bool CProgramView::IsEditor(const QObject* object) const
{
    return std::find(m_editors.begin(), m_editors.end(), object) != m_editors.end();
}

// ---- Commits -------------------------------------------------------------

template <typename Commit>
auto CProgramView::RunCommit(Commit commit)
{
    TakeEditorText();
    m_session.SetBand(m_nBandLow, m_nBandHigh);
    decltype(commit()) result{};
    m_pDocument->Apply(Lang("Edit", "编辑"), CProgramDoc::Change::Cells, [&](DocumentChannels& channels) {
        const ChannelTable before = channels.Cells();
        result = commit();
        return channels.Cells() != before;
    });
    return result;
}

void CProgramView::TakeEditorText()
{
    const int column = m_session.EditorColumn();
    if (column == 0)
        return;
    QWidget* editor = m_editors[static_cast<std::size_t>(column)];
    if (auto* list = qobject_cast<QComboBox*>(editor))
        m_session.SetEditorText(list->currentText().toStdString());
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        m_session.SetEditorText(edit->text().toStdString());
}

void CProgramView::OnEnterCell()
{
    if (m_bQuietMove) {
        m_session.SetCurrentCell(m_pGrid->GetRow(), m_pGrid->GetCol());
        UpdateHighlight();
        return;
    }
    m_session.EnterCell(m_pGrid->GetRow(), m_pGrid->GetCol());
    LoadEditor();
}

void CProgramView::OnGridMouseDown(short button, short, int, int)
{
    // A click on a data cell ends the selection; a right click keeps it
    // for the context menu.
    if (button == 1 && !m_selection.Empty())
        SelectChannels({});
    OnEnterCell();
}

void CProgramView::OnLeaveCell()
{
    // The grid's Row and Col still name the cell being left.
    if (m_session.Row() != m_pGrid->GetRow() || m_session.Col() != m_pGrid->GetCol())
        return;
    const EditMessage message = RunCommit([this] { return m_session.LeaveCell(); });
    ShowMessage(message);
}

void CProgramView::OnEnterKey()
{
    if (!m_selection.Empty())
        SelectChannels({});
    bool rejected = false;
    const EditMessage message = RunCommit([this, &rejected] { return m_session.CommitOnEnter(rejected); });
    if (rejected) {
        // The current cell stays; the keyboard goes back to the grid.
        m_pGrid->setFocus(Qt::OtherFocusReason);
        ShowMessage(message);
        return;
    }
    // Moves in one step to the next shown cell, so only that cell is
    // entered (a wrap to the next row does not visit column 1 of the row it
    // leaves, and hidden columns are passed over).
    int row = m_pGrid->GetRow();
    int column = m_pGrid->GetCol();
    m_session.NextShownCell(row, column);
    if (row == m_pGrid->GetRow() && column == m_pGrid->GetCol())
        OnEnterCell();
    else
        m_pGrid->setCurrentCell(row - 1, column - 1);
}

void CProgramView::ShowMessage(EditMessage message)
{
    if (message == EditMessage::None)
        return;
    const int id = message == EditMessage::OutOfRange ? Ids::IDS_OUT_OF_RANGE : Ids::IDS_STEP_ERROR;
    Prompter().Message(this, g_pResources->LoadString(Ids::IDS_CAUTION), g_pResources->LoadString(id),
                       PromptButtons::Ok, PromptIcon::Exclamation);
}

// ---- Moves and editors ---------------------------------------------------

void CProgramView::MoveQuietly(int row, int column)
{
    if (m_session.EditorOpen())
        OnLeaveCell();
    m_bQuietMove = true;
    m_pGrid->setCurrentCell(row - 1, column - 1);
    m_bQuietMove = false;
    m_session.SetCurrentCell(row, column);
    UpdateHighlight();
}

void CProgramView::MoveFromEditor(GridMove move)
{
    int row = 0;
    int column = 0;
    m_session.Destination(move, row, column);
    if (row == m_pGrid->GetRow() && column == m_pGrid->GetCol())
        return; // at the edge: the editor stays open
    // The grid leaves the cell (leave rules) and enters the new one, whose
    // editor opens.
    m_pGrid->setCurrentCell(row - 1, column - 1);
}

void CProgramView::OpenCurrentEditor(const QString* typed)
{
    int row = 0;
    int column = 0;
    m_session.ShownCell(row, column);
    if (row != m_pGrid->GetRow() || column != m_pGrid->GetCol())
        MoveQuietly(row, column);
    m_session.SetBand(m_nBandLow, m_nBandHigh);
    const bool opened = typed ? m_session.OpenEditorTyping(typed->toStdString()) : m_session.OpenEditor();
    if (opened)
        LoadEditor();
}

void CProgramView::CancelEditor()
{
    m_session.HideEditor();
    SyncEditors();
    m_pGrid->setFocus(Qt::OtherFocusReason);
    UpdateHighlight();
}

void CProgramView::UpdateHighlight()
{
    int row = 0;
    int column = 0;
    m_session.ShownCell(row, column);
    m_pGrid->SetHighlightCell(row, column);
}

void CProgramView::LoadEditor()
{
    SyncEditors();
    const int column = m_session.EditorColumn();
    if (column == 0)
        return;
    QWidget* editor = m_editors[static_cast<std::size_t>(column)];
    const QString text = Text(m_session.EditorText());
    if (auto* list = dynamic_cast<CCellList*>(editor)) {
        list->DropUnlisted();
        if (m_session.EditorShowsUnlistedText())
            list->ShowUnlisted(Text(m_session.LoadedText()));
        const int index = list->findText(text, Qt::MatchExactly);
        list->setCurrentIndex(std::max(0, index));
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
    }
    PlaceEditor();
    UpdateHighlight();
}

void CProgramView::PlaceEditor()
{
    if (!m_pGrid->isEnabled())
        return;
    const int column = m_pGrid->GetCol();
    QWidget* editor = EditorForColumn(column);
    const bool list = IsListColumn(column);
    const EditorRect rect = EditorPlacement(m_pGrid->GetCellLeft(), m_pGrid->GetCellTop(), m_pGrid->GetCellWidth(),
                                            m_pGrid->GetCellHeight(), m_pGrid->DpiX(), m_pGrid->DpiY(), list);
    // A list's extra height is room for its opened list: the closed box
    // keeps the cell's height and opens its list below.
    editor->setGeometry(rect.x, rect.y, rect.width, list ? rect.height - 100 : rect.height);
    editor->show();
    editor->raise();
    NameCellEditor(editor, *m_pGrid); // a screen reader reads it as "Channel N, HEADING"
    editor->setFocus(Qt::OtherFocusReason);
    m_pGrid->viewport()->update();
}

void CProgramView::SyncEditors()
{
    const int open = m_session.EditorColumn();
    bool hadFocus = false;
    for (int column = 1; column < kTableCols; ++column) {
        QWidget* editor = m_editors[static_cast<std::size_t>(column)];
        if (!editor || column == open || editor->isHidden())
            continue;
        hadFocus = hadFocus || editor->hasFocus();
        editor->hide();
        if (auto* list = dynamic_cast<CCellList*>(editor))
            list->DropUnlisted();
    }
    if (hadFocus)
        m_pGrid->setFocus(Qt::OtherFocusReason);
}

// ---- Keys ----------------------------------------------------------------

void CProgramView::OnGridKey(QKeyEvent* key)
{
    if (!m_pGrid->isEnabled())
        return;
    const QString text = key->text();
    const GridKeyResult result = GridKeyOf(StrokeOf(*key), !text.isEmpty() && text.at(0).isPrint());
    switch (result.action) {
    case GridKeyAction::None: return;
    case GridKeyAction::Move: {
        int row = 0;
        int column = 0;
        m_session.Destination(result.move, row, column);
        MoveQuietly(row, column);
        return;
    }
    case GridKeyAction::OpenEditor: OpenCurrentEditor(nullptr); return;
    case GridKeyAction::TypeIntoEditor: OpenCurrentEditor(&text); return;
    }
}

bool CProgramView::OnEditorKey(QObject* editor, QKeyEvent* key)
{
    const EditorKey editorKey = EditorKeyOf(StrokeOf(*key), qobject_cast<QLineEdit*>(editor) != nullptr);
    switch (editorKey.action) {
    case EditorKeyAction::None: return false;
    case EditorKeyAction::Move: MoveFromEditor(editorKey.move); return true;
    case EditorKeyAction::Cancel: CancelEditor(); return true;
    }
    return false;
}

bool CProgramView::OnViewKey(QObject* watched, QEvent* event)
{
    auto* key = static_cast<QKeyEvent*>(event);
    const bool isEditor = IsEditor(watched);
    if (isEditor && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        // In an open editor the undo keys act on its text, as in any line
        // edit; a list has no text to undo and ignores them.
        const UndoKey undoKey = UndoKeyOf(StrokeOf(*key));
        if (undoKey != UndoKey::None) {
            event->accept();
            if (event->type() == QEvent::KeyPress) {
                if (auto* edit = qobject_cast<QLineEdit*>(watched))
                    undoKey == UndoKey::Undo ? edit->undo() : edit->redo();
            }
            return true;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    if (watched == m_pGrid && OnRowKey(*key))
        return true;
    const bool fromView = watched == m_pGrid || isEditor;
    if (isEditor && m_session.EditorOpen() && IsCommitToSelectionKey(StrokeOf(*key))) {
        TakeEditorText();
        BulkCommands().CommitToSelection(m_session.EditorColumn(), m_session.EditorText());
        return true;
    }
    if (fromView && IsEnterKey(StrokeOf(*key))) {
        OnEnterKey();
        return true;
    }
    if (fromView && key->key() == Qt::Key_F1) {
        OnHelpKey();
        return true;
    }
    if (watched == m_pGrid) {
        // Every key on the grid is the view's: the grid's own handling
        // would move its current cell behind the view's back.
        if (!m_session.EditorOpen())
            OnGridKey(key);
        return true;
    }
    return isEditor && OnEditorKey(watched, key);
}

bool CProgramView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        if (OnViewKey(watched, event))
            return true;
    } else if (watched == m_pGrid->verticalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const int section = m_pGrid->verticalHeader()->logicalIndexAt(mouse->position().toPoint());
        if (m_pGrid->isEnabled() && section >= 0)
            OnChannelNumberPressed(section + 1, mouse->modifiers());
        return true; // the grid's own row selection would move the current cell
    }
    return QWidget::eventFilter(watched, event);
}
