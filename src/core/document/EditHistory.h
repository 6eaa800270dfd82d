#pragma once
// The undo history of one document. A radio image is 1 KB, so a step simply
// holds the document as it was before and after the change: the image, the
// grid's texts and the texts the grid last showed from the image (which the
// lossless save compares against). Undo and redo hand those back exactly,
// so a save after an undo writes the earlier file byte for byte.
//
// The history also remembers which point matches the file on disk (the
// clean point): undoing back to it clears the document's modified flag,
// redoing past it sets the flag again. Putting the states back into the
// document and the grid, and naming the steps in the running language, are
// the caller's part.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "core/channels/ChannelTable.h"
#include "core/document/RadioImage.h"

struct DocumentSnapshot
{
    RadioImage image{};
    ChannelTable table{}; // the grid's texts
    ChannelTable shown{}; // what the grid showed when it last matched the image
    // Channels emptied since then: undoing back to a state puts its
    // deletions back too, so a later save empties exactly those records.
    ChannelRowFlags deleted{};

    bool operator==(const DocumentSnapshot&) const = default;
};

struct EditStep
{
    std::string label; // what the step did, for "Undo <label>"
    DocumentSnapshot before;
    DocumentSnapshot after;
};

class EditHistory
{
public:
    static constexpr std::size_t kDefaultLimit = 100;

    // Keeps at most `limit` steps (at least one); the oldest go first.
    explicit EditHistory(std::size_t limit = kDefaultLimit);

    // Records a change: the steps that could be redone are dropped. A step
    // whose states are equal changed nothing and is not recorded (false).
    bool Push(EditStep step);

    bool CanUndo() const { return m_index > 0; }
    bool CanRedo() const { return m_index < m_steps.size(); }

    // Steps back and gives the state to restore; nullptr when there is
    // nothing to undo.
    const DocumentSnapshot* Undo();
    // Steps forward and gives the state to restore; nullptr when there is
    // nothing to redo.
    const DocumentSnapshot* Redo();

    // The label of the step Undo / Redo would take; "" when there is none.
    std::string UndoLabel() const;
    std::string RedoLabel() const;

    // The document now matches its file (saved, opened, new).
    void SetClean();
    // Whether the document is as it was at the clean point. False for good
    // once the steps that led back to it were dropped.
    bool IsClean() const { return m_clean == m_index; }

    // No steps, and clean: after New and Open.
    void Clear();

    std::size_t Count() const { return m_steps.size(); }
    // How many of the steps are done (undoable).
    std::size_t Index() const { return m_index; }

private:
    std::deque<EditStep> m_steps;
    std::size_t m_limit;
    std::size_t m_index = 0;
    std::optional<std::size_t> m_clean = 0;
};
