// The undo history: undo and redo over mixed changes give back the exact
// image and grid texts, and the modified flag follows the saved state.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/channels/ChannelClipboard.h"
#include "core/channels/ChannelRows.h"
#include "core/document/EditHistory.h"

namespace {

// A document as the window keeps it, reduced to its state and history.
struct Document
{
    DocumentSnapshot state;
    EditHistory history;

    explicit Document(std::size_t limit = EditHistory::kDefaultLimit)
        : history(limit)
    {
        state.image = MakeNewImage();
        ChannelRecord programmed = EmptyChannelRecord();
        programmed.bytes = {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x18, 0x30, 0, 0};
        WriteChannelRecord(state.image, 3, programmed);
        state.table = NewChannelTable(false);
        ImageToTable(state.image, 2, false, state.table);
        state.shown = state.table;
    }

    void Change(const std::string& label, const std::function<void(DocumentSnapshot&)>& change)
    {
        const DocumentSnapshot before = state;
        change(state);
        history.Push({label, before, state});
    }
    void Restore(const DocumentSnapshot* snapshot)
    {
        if (snapshot)
            state = *snapshot;
    }
};

// The image changed by a row command, the grid refilled from it.
void Refill(DocumentSnapshot& s)
{
    ImageToTable(s.image, 2, false, s.table);
    s.shown = s.table;
}

TEST(EditHistory, UndoAndRedoGiveBackExactStatesAndTheModifiedFlag)
{
    const std::map<std::string, std::function<void(Document&)>> ops = {
        {"edit", [](Document& d) { d.Change("Edit", [](DocumentSnapshot& s) { s.table[1][2] = "146.52000"; }); }},
        {"delete",
         [](Document& d) {
             d.Change("Delete Channels", [](DocumentSnapshot& s) {
                 DeleteChannels(s.image, {1, 2});
                 Refill(s);
             });
         }},
        {"move",
         [](Document& d) {
             d.Change("Move Down", [](DocumentSnapshot& s) {
                 std::vector<int> channels{3};
                 MoveChannels(s.image, channels, MoveDirection::Down);
                 Refill(s);
             });
         }},
        {"paste",
         [](Document& d) {
             d.Change("Paste", [](DocumentSnapshot& s) {
                 RadioImage pasted{};
                 std::vector<int> written;
                 std::vector<CsvError> errors;
                 ASSERT_TRUE(PasteChannels({"", "146.52,146.52,,,,,,\n"}, s.image, FrequencyBand{13600000, 17400000},
                                           {}, 5, pasted, written, errors));
                 s.image = pasted;
                 Refill(s);
             });
         }},
        {"features",
         [](Document& d) { d.Change("Optional Features", [](DocumentSnapshot& s) { s.image[0x130] = 9; }); }},
        {"undo", [](Document& d) { d.Restore(d.history.Undo()); }},
        {"redo", [](Document& d) { d.Restore(d.history.Redo()); }},
        {"save", [](Document& d) { d.history.SetClean(); }},
    };
    struct Step
    {
        const char* op;
        int state; // which of the states recorded after a change the document holds
        bool modified;
        const char* undoLabel;
        const char* redoLabel;
    };
    // States: 0 opened, 1 edited, 2 deleted, 3 moved, 4 pasted, 5 features.
    const Step steps[] = {
        {"edit", 1, true, "Edit", ""},
        {"delete", 2, true, "Delete Channels", ""},
        {"save", 2, false, "Delete Channels", ""},
        {"move", 3, true, "Move Down", ""},
        {"undo", 2, false, "Delete Channels", "Move Down"},
        {"undo", 1, true, "Edit", "Delete Channels"},
        {"undo", 0, true, "", "Edit"},
        {"undo", 0, true, "", "Edit"},
        {"redo", 1, true, "Edit", "Delete Channels"},
        {"redo", 2, false, "Delete Channels", "Move Down"},
        {"paste", 4, true, "Paste", ""},
        {"features", 5, true, "Optional Features", ""},
        {"undo", 4, true, "Paste", "Optional Features"},
        {"undo", 2, false, "Delete Channels", "Paste"},
        {"redo", 4, true, "Paste", "Optional Features"},
        {"redo", 5, true, "Optional Features", ""},
        {"redo", 5, true, "Optional Features", ""},
    };
    Document document;
    document.history.SetClean();
    std::map<int, DocumentSnapshot> states = {{0, document.state}};
    int n = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(std::to_string(++n) + " " + step.op);
        ops.at(step.op)(document);
        if (!states.count(step.state))
            states[step.state] = document.state;
        EXPECT_TRUE(document.state == states[step.state]);
        EXPECT_EQ(!document.history.IsClean(), step.modified);
        EXPECT_EQ(document.history.UndoLabel(), step.undoLabel);
        EXPECT_EQ(document.history.RedoLabel(), step.redoLabel);
    }
    // The states are really different, so the comparisons above can fail.
    EXPECT_NE(states[1].table, states[0].table);
    EXPECT_NE(states[2].image, states[1].image);
    EXPECT_NE(states[3].image, states[2].image);
    EXPECT_NE(states[4].image, states[2].image);
}

TEST(EditHistory, KeepsTheNewestStepsUpToItsLimit)
{
    Document document(3);
    document.history.SetClean();
    const DocumentSnapshot opened = document.state;
    for (int k = 1; k <= 5; ++k)
        document.Change("Step " + std::to_string(k),
                        [k](DocumentSnapshot& s) { s.image[0x130] = static_cast<std::uint8_t>(k); });
    EXPECT_EQ(document.history.Count(), 3u);
    int undone = 0;
    while (document.history.CanUndo()) {
        document.Restore(document.history.Undo());
        ++undone;
    }
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(document.state.image[0x130], 2);
    // The opened state can no longer be reached, so the document stays modified.
    EXPECT_FALSE(document.history.IsClean());
    EXPECT_NE(document.state.image, opened.image);

    // A change that changes nothing is no step; New and Open empty the history.
    EXPECT_FALSE(document.history.Push({"Nothing", document.state, document.state}));
    document.history.Clear();
    EXPECT_TRUE(document.history.IsClean());
    EXPECT_FALSE(document.history.CanUndo());
    EXPECT_FALSE(document.history.CanRedo());
    EXPECT_EQ(EditHistory().Count(), 0u);
}

} // namespace
