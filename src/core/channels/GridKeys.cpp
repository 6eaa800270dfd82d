#include "core/channels/GridKeys.h"

namespace {

constexpr unsigned kCommandModifiers = GridKey::kShift | GridKey::kControl | GridKey::kAlt | GridKey::kMeta;

} // namespace

std::optional<GridMove> GridMoveOfKey(int key)
{
    switch (key) {
    case GridKey::kLeft: return GridMove::Left;
    case GridKey::kRight: return GridMove::Right;
    case GridKey::kUp: return GridMove::Up;
    case GridKey::kDown: return GridMove::Down;
    case GridKey::kHome: return GridMove::Home;
    case GridKey::kEnd: return GridMove::End;
    case GridKey::kPageUp: return GridMove::PageUp;
    case GridKey::kPageDown: return GridMove::PageDown;
    case GridKey::kTab: return GridMove::Next;
    case GridKey::kBacktab: return GridMove::Previous;
    default: return std::nullopt;
    }
}

bool IsEnterKey(const KeyStroke& stroke)
{
    return (stroke.key == GridKey::kReturn || stroke.key == GridKey::kEnter) &&
           !(stroke.modifiers & (GridKey::kControl | GridKey::kAlt));
}

bool IsCommitToSelectionKey(const KeyStroke& stroke)
{
    const unsigned modifiers =
        stroke.modifiers & (GridKey::kShift | GridKey::kControl | GridKey::kAlt | GridKey::kMeta);
    return (stroke.key == GridKey::kReturn || stroke.key == GridKey::kEnter) && modifiers == GridKey::kControl;
}

const std::vector<RowCommandKey>& RowCommandKeys()
{
    static const std::vector<RowCommandKey> kKeys = {
        {{GridKey::kX, GridKey::kControl}, RowCommand::Cut},
        {{GridKey::kC, GridKey::kControl}, RowCommand::Copy},
        {{GridKey::kV, GridKey::kControl}, RowCommand::Paste},
        {{GridKey::kA, GridKey::kControl}, RowCommand::SelectAll},
        {{GridKey::kUp, GridKey::kControl}, RowCommand::MoveUp},
        {{GridKey::kDown, GridKey::kControl}, RowCommand::MoveDown},
        {{GridKey::kDelete, 0}, RowCommand::Delete},
        {{GridKey::kInsert, 0}, RowCommand::Insert},
        {{GridKey::kD, GridKey::kControl}, RowCommand::FillDown},
    };
    return kKeys;
}

RowKey RowKeyOf(const KeyStroke& stroke)
{
    const unsigned modifiers = stroke.modifiers & kCommandModifiers;
    for (const RowCommandKey& entry : RowCommandKeys()) {
        if (entry.stroke.key == stroke.key && entry.stroke.modifiers == modifiers)
            return {RowKeyAction::Command, entry.command, GridMove::Up};
    }
    if (modifiers == 0) {
        switch (stroke.key) {
        case GridKey::kMenu: return {RowKeyAction::ContextMenu};
        case GridKey::kUp:
        case GridKey::kDown:
        case GridKey::kLeft:
        case GridKey::kRight:
        case GridKey::kReturn:
        case GridKey::kEnter: return {RowKeyAction::EndSelection};
        default: return {};
        }
    }
    if (modifiers == GridKey::kShift) {
        switch (stroke.key) {
        case GridKey::kSpace: return {RowKeyAction::SelectCurrent};
        case GridKey::kUp: return {RowKeyAction::ExtendSelection, RowCommand::Copy, GridMove::Up};
        case GridKey::kDown: return {RowKeyAction::ExtendSelection, RowCommand::Copy, GridMove::Down};
        default: return {};
        }
    }
    return {};
}

GridKeyResult GridKeyOf(const KeyStroke& stroke, bool printableText)
{
    const unsigned modifiers = stroke.modifiers & ~(GridKey::kKeypad | GridKey::kShift);
    if (modifiers != 0)
        return {};
    if (const std::optional<GridMove> move = GridMoveOfKey(stroke.key)) {
        if ((stroke.modifiers & GridKey::kShift) && *move != GridMove::Previous)
            return {};
        return {GridKeyAction::Move, *move};
    }
    if (stroke.key == GridKey::kF2)
        return {GridKeyAction::OpenEditor};
    if (printableText)
        return {GridKeyAction::TypeIntoEditor};
    return {};
}

EditorKey EditorKeyOf(const KeyStroke& stroke, bool textBox)
{
    if (stroke.modifiers & (GridKey::kControl | GridKey::kAlt))
        return {};
    switch (stroke.key) {
    case GridKey::kTab: return {EditorKeyAction::Move, GridMove::Next};
    case GridKey::kBacktab: return {EditorKeyAction::Move, GridMove::Previous};
    case GridKey::kUp:
    case GridKey::kDown:
        if (!textBox)
            return {};
        return {EditorKeyAction::Move, stroke.key == GridKey::kUp ? GridMove::Up : GridMove::Down};
    case GridKey::kEscape: return {EditorKeyAction::Cancel};
    default: return {};
    }
}

UndoKey UndoKeyOf(const KeyStroke& stroke)
{
    const unsigned modifiers = stroke.modifiers & kCommandModifiers;
    if (modifiers == GridKey::kControl && stroke.key == GridKey::kZ)
        return UndoKey::Undo;
    if ((modifiers == GridKey::kControl && stroke.key == GridKey::kY) ||
        (modifiers == (GridKey::kControl | GridKey::kShift) && stroke.key == GridKey::kZ))
        return UndoKey::Redo;
    return UndoKey::None;
}
