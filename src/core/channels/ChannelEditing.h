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
//
// Nothing the user did not change is changed. A commit while the editor
// still holds the text it was loaded with leaves the row as it was (the one
// exception: Enter on an empty Tx cell still fills it from the Rx frequency
// where the Rx side is shown). A list loaded with a text none of its items
// begins with (a tone the radio holds but the list does not offer) shows
// and keeps that text. The columns the device mode hides are never
// visited: the moves skip them and no editor opens on one. Emptying the
// shown frequency deletes the whole channel, the hidden side included.

#include "core/channels/ChannelTable.h"
#include "core/document/DocumentChannels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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
EditorRect EditorPlacement(int cellLeft, int cellTop, int cellWidth, int cellHeight, int dpiX, int dpiY, bool list);

// The cell that follows (row, column) when Enter is pressed: the next column,
// then column 1 of the next row, and from the last cell back to row 1,
// column 1, counting every column.
void NextCell(int& row, int& column);

// A typed frequency read as a number in MHz: blanks around it, an optional
// sign, digits with one '.' or ',' as the decimal separator, an optional
// exponent ("4.4e2"). On success normalized holds the number with '.' as
// its separator and no blanks; any other text ("146.5x", "14 6.5", "abc",
// "" or only blanks) is refused.
bool ReadTypedFrequency(const std::string& text, std::string& normalized);

// The keys that move the current cell.
enum class GridMove { Left, Right, Up, Down, Home, End, PageUp, PageDown, Next, Previous };

class ChannelEditSession
{
public:
    // A session on channels of its own (a new channel table).
    explicit ChannelEditSession(bool chinese = false);
    // A session on a document's channels: commits change its texts and
    // deleted rows, and the moves read its texts.
    ChannelEditSession(DocumentChannels& channels, bool chinese);

    ChannelTable& Table() { return m_channels->Cells(); }
    const ChannelTable& Table() const { return m_channels->Cells(); }

    // Band limits in 10 Hz units, both inclusive.
    void SetBand(std::int32_t low, std::int32_t high);
    std::int32_t BandLow() const { return m_bandLow; }
    std::int32_t BandHigh() const { return m_bandHigh; }

    // A disabled grid opens no editor; whatever is open stays until hidden.
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Enabled() const { return m_enabled; }

    // Which data columns the window shows (every one until set): hidden
    // ones are never visited, and Enter fills an empty Tx frequency from
    // the Rx one only while the Rx column is shown. SetDeviceMode shows the
    // columns a device mode gives a width.
    void SetShownColumns(const std::array<bool, kTableCols>& shown) { m_shown = shown; }
    void SetDeviceMode(int mode);
    bool ColumnShown(int column) const;

    // The cell the user sees the keyboard on: the current cell, or when its
    // column is hidden (the start cell in mode 2) the first shown column to
    // its right (to its left when there is none).
    void ShownCell(int& row, int& column) const;
    // Where a key takes the current cell, among shown cells, counted from
    // the shown cell. Left/Right/Up/Down stop at the edges, Home/End go to
    // the first/last shown column, PageUp/PageDown to channel 1/16, Next
    // and Previous go on through the rows and wrap as the Enter move does.
    void Destination(GridMove move, int& row, int& column) const;
    // The Enter move from (row, column) to the next shown cell, wrapping
    // from the last cell to the first.
    void NextShownCell(int& row, int& column) const;

    // The current cell (row 1..16, column 1..8).
    int Row() const { return m_row; }
    int Col() const { return m_col; }

    // The open editor: its column (0 when every editor is hidden) and the
    // text it holds (a list's selected item).
    bool EditorOpen() const { return m_editorColumn != 0; }
    int EditorColumn() const { return m_editorColumn; }
    const std::string& EditorText() const { return m_editorText; }
    // The text the editor was loaded with: committing it changes nothing.
    const std::string& LoadedText() const { return m_loadedText; }
    // Whether the open list shows a cell text that is none of its items.
    bool EditorShowsUnlistedText() const { return m_unlisted; }
    // What the user typed or picked; ignored while no editor is open.
    void SetEditorText(const std::string& text);
    // Closes the editor and drops what it holds (Escape, and the hiding of
    // editors the window does).
    void HideEditor();

    // Opens the editor of the current cell (F2); with text, as if the user
    // had typed it into the fresh editor: a text box starts with it, a list
    // selects its first item beginning with it. Nothing opens on a hidden
    // column or while the grid is disabled.
    bool OpenEditor();
    bool OpenEditorTyping(const std::string& text);

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
        bool moved = false; // false when a rejected frequency stopped the key
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
    // The same without opening an editor at the destination (the keyboard
    // moving over the grid).
    EditMessage MoveQuietlyTo(int row, int column);
    // Makes (row, column) current without committing anything, as the grid
    // reports a cell that has become current while no editor was open.
    void SetCurrentCell(int row, int column);

    // Channels deleted since the last ClearDeletedRows: their whole record,
    // the hidden side included, is emptied when the table is written back.
    const ChannelRowFlags& DeletedRows() const { return m_channels->DeletedRows(); }
    void ClearDeletedRows() { m_channels->ClearDeletedRows(); }
    void SetDeletedRows(const ChannelRowFlags& rows) { m_channels->SetDeletedRows(rows); }

private:
    enum class Path { Enter, Leave };
    // The commit shared by both paths; returns the message and whether the
    // value was rejected.
    EditMessage Commit(Path path, bool& rejected);
    void CommitFrequency(Path path, int row, int column, const std::string& oldRx, const std::string& oldTx,
                         EditMessage& message, bool& rejected);
    void ClearRow(int row);
    // Clears the row and marks the channel deleted.
    void DeleteRow(int row);
    void FillDefaults(int row, std::initializer_list<int> columns);
    // Loads the editor of (row, column); typed as OpenEditorTyping.
    bool LoadEditor(int row, int column, const std::string* typed);
    // Opens the editor of the shown cell and makes that cell current.
    bool OpenShownEditor(const std::string* typed);

    std::unique_ptr<DocumentChannels> m_own; // when the session has channels of its own
    DocumentChannels* m_channels;
    bool m_chinese;
    bool m_enabled = true;
    std::int32_t m_bandLow = 0;
    std::int32_t m_bandHigh = 0;
    int m_row = 1;
    int m_col = 1;
    std::array<bool, kTableCols> m_shown{false, true, true, true, true, true, true, true, true};
    int m_editorColumn = 0;
    std::string m_editorText;
    std::string m_loadedText;
    bool m_unlisted = false;
};
