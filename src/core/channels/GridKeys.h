#pragma once
// Which key does what in the channel grid: the moves of the current cell,
// the row commands, the selection keys, and the keys of an open editor.
// A key is its code and modifiers with the numbers the desktop toolkit
// gives them (the window checks that they agree), so the window hands its
// key events over unchanged.

#include "core/channels/ChannelEditing.h"

#include <optional>
#include <vector>

namespace GridKey {

inline constexpr int kSpace = 0x20;
inline constexpr int kA = 0x41;
inline constexpr int kC = 0x43;
inline constexpr int kD = 0x44;
inline constexpr int kV = 0x56;
inline constexpr int kX = 0x58;
inline constexpr int kY = 0x59;
inline constexpr int kZ = 0x5A;
inline constexpr int kEscape = 0x01000000;
inline constexpr int kTab = 0x01000001;
inline constexpr int kBacktab = 0x01000002;
inline constexpr int kReturn = 0x01000004;
inline constexpr int kEnter = 0x01000005;
inline constexpr int kInsert = 0x01000006;
inline constexpr int kDelete = 0x01000007;
inline constexpr int kHome = 0x01000010;
inline constexpr int kEnd = 0x01000011;
inline constexpr int kLeft = 0x01000012;
inline constexpr int kUp = 0x01000013;
inline constexpr int kRight = 0x01000014;
inline constexpr int kDown = 0x01000015;
inline constexpr int kPageUp = 0x01000016;
inline constexpr int kPageDown = 0x01000017;
inline constexpr int kF1 = 0x01000030;
inline constexpr int kF2 = 0x01000031;
inline constexpr int kMenu = 0x01000055;

inline constexpr unsigned kShift = 0x02000000;
inline constexpr unsigned kControl = 0x04000000;
inline constexpr unsigned kAlt = 0x08000000;
inline constexpr unsigned kMeta = 0x10000000;
inline constexpr unsigned kKeypad = 0x20000000;

} // namespace GridKey

struct KeyStroke
{
    int key = 0;
    unsigned modifiers = 0;
};

// The grid move a key asks for (arrows, Home, End, Page Up/Down, Tab,
// Shift+Tab), whatever the modifiers.
std::optional<GridMove> GridMoveOfKey(int key);

// Enter and Return without Ctrl or Alt: the commit and move of Enter.
bool IsEnterKey(const KeyStroke& stroke);
// Ctrl+Enter (Return or keypad Enter): an open editor's value goes into
// every selected channel.
bool IsCommitToSelectionKey(const KeyStroke& stroke);

// The commands on whole channels a key gives while the grid has the
// keyboard and no editor is open.
enum class RowCommand { Cut, Copy, Paste, SelectAll, MoveUp, MoveDown, Delete, Insert, FillDown };

// The key of each row command (Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A, Ctrl+Up,
// Ctrl+Down, Delete, Insert, Ctrl+D).
struct RowCommandKey
{
    KeyStroke stroke;
    RowCommand command;
};
const std::vector<RowCommandKey>& RowCommandKeys();

// What a key on the grid does while no editor is open, looked at before the
// grid's own moves: a row command, the context menu, a selection key, or
// (EndSelection) a plain move or Enter that ends the selection and goes on
// as usual. Keypad keys count as their plain keys.
enum class RowKeyAction { None, Command, ContextMenu, EndSelection, SelectCurrent, ExtendSelection };
struct RowKey
{
    RowKeyAction action = RowKeyAction::None;
    RowCommand command = RowCommand::Copy; // for Command
    GridMove move = GridMove::Up;          // for ExtendSelection: Up or Down
};
RowKey RowKeyOf(const KeyStroke& stroke);

// The grid's own keys with no editor open: a move (Shift only with Tab),
// F2 opening the editor, and a printable character opening it with that
// character typed (the window knows the key's text; it asks here first).
enum class GridKeyAction { None, Move, OpenEditor, TypeIntoEditor };
struct GridKeyResult
{
    GridKeyAction action = GridKeyAction::None;
    GridMove move = GridMove::Left;
};
GridKeyResult GridKeyOf(const KeyStroke& stroke, bool printableText);

// The keys an open editor hands to the grid: Tab and Shift+Tab move on,
// Up and Down move in a text box (a list chooses its item with them),
// Escape drops the value. Nothing with Ctrl or Alt.
enum class EditorKeyAction { None, Move, Cancel };
struct EditorKey
{
    EditorKeyAction action = EditorKeyAction::None;
    GridMove move = GridMove::Next;
};
EditorKey EditorKeyOf(const KeyStroke& stroke, bool textBox);

// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo.
enum class UndoKey { None, Undo, Redo };
UndoKey UndoKeyOf(const KeyStroke& stroke);
