#pragma once
// In-place editing of the channel table. One editor per data column is laid
// over the current cell: a text box for the two frequencies, a drop-down
// list for the six settings. This unit holds the whole of what editing does
// to the table's texts, so the window only forwards the grid's events and
// the editor's text and shows the message a commit asks for.
//
// The session follows the grid control: EnterCell when the current cell has
// changed (the editor of its column opens with the cell's text), LeaveCell
// when it is about to change (the open editor is committed with the leave
// rules), PressEnter for the Enter key (commit with the Enter rules, then
// move to the next cell). A typed frequency is checked against the band
// limits and the 5 kHz / 6.25 kHz channel step; a new channel receives
// default settings.
//
// A rejected frequency changes nothing: the message is reported, the editor
// closes and the row keeps exactly the texts it had, so one typo never
// costs a programmed channel. After Enter the current cell stays; when a
// cell is being left, the move goes ahead.

#include "core/channels/ChannelTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The message a commit asks the window to show.
enum class EditMessage { None, OutOfRange, BadStep };

// Whether a data column is edited with a drop-down list (columns 3 to 8).
bool IsListColumn(int column);

// The items of a column's drop-down list, in the order they are offered:
// the tone list for both tone columns, Wide/Narrow, Yes/No, Off/Carrier/
// QT/DQT, High/Low. Empty for the frequency columns.
const std::vector<std::string>& EditorItems(int column, bool chinese);

// The item a list shows for a cell text: the first item that begins with
// the text, compared without regard to ASCII case (so "" picks the first
// item); the first item when none matches. 0 for an empty list.
std::size_t MatchListItem(const std::vector<std::string>& items, const std::string& cellText);

// The setting a new channel receives in a column 3..8 ("None", "None",
// "Wide", "No", "Off", "High" or their Chinese words); "" for other columns.
const char* DefaultCellText(int column, bool chinese);

// Where an editor goes, in pixels relative to the grid, for a cell whose
// rectangle is given in twips at a resolution of dpiX x dpiY pixels per
// inch: 3 pixels up and left of the cell, as wide and high as the cell, a
// drop-down list 100 pixels higher for its opened list.
struct EditorRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
EditorRect EditorPlacement(int cellLeft, int cellTop, int cellWidth, int cellHeight, int dpiX, int dpiY,
                           bool list);

// The cell that follows (row, column) when Enter is pressed: the next column,
// then column 1 of the next row, and from the last cell back to row 1,
// column 1. Hidden columns are visited like the others.
void NextCell(int& row, int& column);

class ChannelEditSession
{
public:
    explicit ChannelEditSession(bool chinese = false);

    ChannelTable& Table() { return m_table; }
    const ChannelTable& Table() const { return m_table; }

    // Band limits in 10 Hz units, both inclusive.
    void SetBand(std::int32_t low, std::int32_t high);
    std::int32_t BandLow() const { return m_bandLow; }
    std::int32_t BandHigh() const { return m_bandHigh; }

    // A disabled grid opens no editor; whatever is open stays until hidden.
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Enabled() const { return m_enabled; }

    // The current cell (row 1..16, column 1..8).
    int Row() const { return m_row; }
    int Col() const { return m_col; }

    // The open editor: its column (0 when every editor is hidden) and the
    // text it holds (a list's selected item).
    bool EditorOpen() const { return m_editorColumn != 0; }
    int EditorColumn() const { return m_editorColumn; }
    const std::string& EditorText() const { return m_editorText; }
    // What the user typed or picked; ignored while no editor is open.
    void SetEditorText(const std::string& text);
    void HideEditor();

    // The current cell has changed to (row, column): its editor opens with
    // the cell's text (a list with its matching item). Also what a mouse
    // press on the grid does, with the cell unchanged.
    void EnterCell(int row, int column);
    // The current cell is about to change: commits the open editor of the
    // current column with the leave rules.
    EditMessage LeaveCell();

    struct EnterOutcome
    {
        EditMessage message = EditMessage::None;
        bool moved = false;  // false when a rejected frequency stopped the key
    };
    // The Enter key: commits the open editor of the current column with the
    // Enter rules, then moves on (NextCell), opening the next cell's editor.
    EnterOutcome PressEnter();
    // The commit half of PressEnter: a grid that moves its own current cell
    // calls this, then moves to NextCell unless the value was rejected.
    EditMessage CommitOnEnter(bool& rejected);

    // Moves the current cell as the grid does when its Row and Col are set:
    // the cell is left, then the new one entered.
    EditMessage MoveTo(int row, int column);

private:
    enum class Path { Enter, Leave };
    // The commit shared by both paths; returns the message and whether the
    // value was rejected.
    EditMessage Commit(Path path, bool& rejected);
    void CommitFrequency(Path path, int row, int column, const std::string& oldRx, const std::string& oldTx,
                         EditMessage& message, bool& rejected);
    void ClearRow(int row);
    void FillDefaults(int row, std::initializer_list<int> columns);

    ChannelTable m_table;
    bool m_chinese;
    bool m_enabled = true;
    std::int32_t m_bandLow = 0;
    std::int32_t m_bandHigh = 0;
    int m_row = 1;
    int m_col = 1;
    int m_editorColumn = 0;
    std::string m_editorText;
};
