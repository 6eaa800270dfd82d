// Which key does what in the channel grid.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/channels/GridKeys.h"

namespace {

using namespace GridKey;

} // namespace

TEST(GridKeys, RowKeys)
{
    struct Case
    {
        int key;
        unsigned modifiers;
        RowKeyAction action;
        RowCommand command;
        GridMove move;
    };
    const Case cases[] = {
        {kX, kControl, RowKeyAction::Command, RowCommand::Cut, GridMove::Up},
        {kC, kControl, RowKeyAction::Command, RowCommand::Copy, GridMove::Up},
        {kV, kControl, RowKeyAction::Command, RowCommand::Paste, GridMove::Up},
        {kA, kControl, RowKeyAction::Command, RowCommand::SelectAll, GridMove::Up},
        {kUp, kControl, RowKeyAction::Command, RowCommand::MoveUp, GridMove::Up},
        {kDown, kControl | kKeypad, RowKeyAction::Command, RowCommand::MoveDown, GridMove::Up},
        {kDelete, 0, RowKeyAction::Command, RowCommand::Delete, GridMove::Up},
        {kInsert, kKeypad, RowKeyAction::Command, RowCommand::Insert, GridMove::Up},
        {kD, kControl, RowKeyAction::Command, RowCommand::FillDown, GridMove::Up},
        {kD, 0, RowKeyAction::None, RowCommand::Copy, GridMove::Up},
        {kMenu, 0, RowKeyAction::ContextMenu, RowCommand::Copy, GridMove::Up},
        {kSpace, kShift, RowKeyAction::SelectCurrent, RowCommand::Copy, GridMove::Up},
        {kUp, kShift, RowKeyAction::ExtendSelection, RowCommand::Copy, GridMove::Up},
        {kDown, kShift, RowKeyAction::ExtendSelection, RowCommand::Copy, GridMove::Down},
    };
    for (const Case& c : cases) {
        const RowKey key = RowKeyOf({c.key, c.modifiers});
        EXPECT_EQ(key.action, c.action) << std::hex << c.key << " " << c.modifiers;
        if (c.action == RowKeyAction::Command) {
            EXPECT_EQ(key.command, c.command) << std::hex << c.key;
        }
        if (c.action == RowKeyAction::ExtendSelection) {
            EXPECT_EQ(key.move, c.move) << std::hex << c.key;
        }
    }
    // Plain moves and Enter end the selection and go on as usual.
    for (int key : {kUp, kDown, kLeft, kRight, kReturn, kEnter})
        EXPECT_EQ(RowKeyOf({key, 0}).action, RowKeyAction::EndSelection) << std::hex << key;
    // Other modifiers or keys are not row keys.
    const KeyStroke none[] = {{kC, 0},        {kC, kControl | kShift}, {kX, kAlt},          {kDelete, kShift},
                              {kZ, kControl}, {kA, kControl | kMeta},  {kSpace, 0},         {kHome, 0},
                              {kTab, 0},      {kLeft, kShift},         {kInsert, kControl}, {kMenu, kShift}};
    for (const KeyStroke& stroke : none)
        EXPECT_EQ(RowKeyOf(stroke).action, RowKeyAction::None) << std::hex << stroke.key << " " << stroke.modifiers;
}

TEST(GridKeys, EveryRowCommandHasOneKey)
{
    std::vector<RowCommand> commands;
    for (const RowCommandKey& entry : RowCommandKeys()) {
        commands.push_back(entry.command);
        // The table and the lookup agree.
        const RowKey key = RowKeyOf(entry.stroke);
        EXPECT_EQ(key.action, RowKeyAction::Command);
        EXPECT_EQ(key.command, entry.command);
    }
    std::sort(commands.begin(), commands.end());
    EXPECT_EQ(std::adjacent_find(commands.begin(), commands.end()), commands.end());
    EXPECT_EQ(commands.size(), std::size_t(9));
}

TEST(GridKeys, GridKeysWithoutAnEditor)
{
    struct Case
    {
        int key;
        unsigned modifiers;
        bool printable;
        GridKeyAction action;
        GridMove move;
    };
    const Case cases[] = {
        {kLeft, 0, false, GridKeyAction::Move, GridMove::Left},
        {kRight, kKeypad, false, GridKeyAction::Move, GridMove::Right},
        {kUp, 0, false, GridKeyAction::Move, GridMove::Up},
        {kDown, 0, false, GridKeyAction::Move, GridMove::Down},
        {kHome, 0, false, GridKeyAction::Move, GridMove::Home},
        {kEnd, 0, false, GridKeyAction::Move, GridMove::End},
        {kPageUp, 0, false, GridKeyAction::Move, GridMove::PageUp},
        {kPageDown, 0, false, GridKeyAction::Move, GridMove::PageDown},
        {kTab, 0, false, GridKeyAction::Move, GridMove::Next},
        {kBacktab, kShift, false, GridKeyAction::Move, GridMove::Previous},
        {kF2, 0, false, GridKeyAction::OpenEditor, GridMove::Left},
        {0x31, 0, true, GridKeyAction::TypeIntoEditor, GridMove::Left},
        {kA, kShift, true, GridKeyAction::TypeIntoEditor, GridMove::Left},
        // Shift only with Tab; Ctrl, Alt or Meta with nothing.
        {kDown, kShift, false, GridKeyAction::None, GridMove::Left},
        {kTab, kShift, false, GridKeyAction::None, GridMove::Left},
        {kLeft, kControl, false, GridKeyAction::None, GridMove::Left},
        {kA, kAlt, true, GridKeyAction::None, GridMove::Left},
        {kF2, kMeta, false, GridKeyAction::None, GridMove::Left},
        {kDelete, 0, false, GridKeyAction::None, GridMove::Left},
    };
    for (const Case& c : cases) {
        const GridKeyResult result = GridKeyOf({c.key, c.modifiers}, c.printable);
        EXPECT_EQ(result.action, c.action) << std::hex << c.key << " " << c.modifiers;
        if (c.action == GridKeyAction::Move) {
            EXPECT_EQ(result.move, c.move) << std::hex << c.key;
        }
    }
}

TEST(GridKeys, EditorKeys)
{
    struct Case
    {
        int key;
        unsigned modifiers;
        bool textBox;
        EditorKeyAction action;
        GridMove move;
    };
    const Case cases[] = {
        {kTab, 0, true, EditorKeyAction::Move, GridMove::Next},
        {kTab, 0, false, EditorKeyAction::Move, GridMove::Next},
        {kBacktab, kShift, false, EditorKeyAction::Move, GridMove::Previous},
        {kUp, 0, true, EditorKeyAction::Move, GridMove::Up},
        {kDown, kKeypad, true, EditorKeyAction::Move, GridMove::Down},
        {kUp, 0, false, EditorKeyAction::None, GridMove::Next}, // a list chooses its item
        {kDown, 0, false, EditorKeyAction::None, GridMove::Next},
        {kEscape, 0, false, EditorKeyAction::Cancel, GridMove::Next},
        {kTab, kControl, true, EditorKeyAction::None, GridMove::Next},
        {kEscape, kAlt, true, EditorKeyAction::None, GridMove::Next},
        {kLeft, 0, true, EditorKeyAction::None, GridMove::Next},
        {kReturn, 0, true, EditorKeyAction::None, GridMove::Next},
    };
    for (const Case& c : cases) {
        const EditorKey key = EditorKeyOf({c.key, c.modifiers}, c.textBox);
        EXPECT_EQ(key.action, c.action) << std::hex << c.key << " " << c.modifiers << " " << c.textBox;
        if (c.action == EditorKeyAction::Move) {
            EXPECT_EQ(key.move, c.move) << std::hex << c.key;
        }
    }
}

TEST(GridKeys, EnterAndUndoKeys)
{
    struct Case
    {
        int key;
        unsigned modifiers;
        bool enter;
        UndoKey undo;
        bool commitToSelection = false;
    };
    const Case cases[] = {
        {kReturn, 0, true, UndoKey::None},
        {kEnter, kKeypad, true, UndoKey::None},
        {kReturn, kShift, true, UndoKey::None},
        {kReturn, kControl, false, UndoKey::None, true},
        {kEnter, kControl | kKeypad, false, UndoKey::None, true},
        {kReturn, kControl | kShift, false, UndoKey::None, false},
        {kEnter, kAlt, false, UndoKey::None},
        {kZ, kControl, false, UndoKey::Undo},
        {kZ, kControl | kKeypad, false, UndoKey::Undo},
        {kY, kControl, false, UndoKey::Redo},
        {kZ, kControl | kShift, false, UndoKey::Redo},
        {kZ, 0, false, UndoKey::None},
        {kZ, kControl | kAlt, false, UndoKey::None},
        {kY, kControl | kShift, false, UndoKey::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsEnterKey({c.key, c.modifiers}), c.enter) << std::hex << c.key << " " << c.modifiers;
        EXPECT_EQ(UndoKeyOf({c.key, c.modifiers}), c.undo) << std::hex << c.key << " " << c.modifiers;
        EXPECT_EQ(IsCommitToSelectionKey({c.key, c.modifiers}), c.commitToSelection)
            << std::hex << c.key << " " << c.modifiers;
    }
}
