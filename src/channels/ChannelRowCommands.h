#pragma once
// The Edit menu's commands on whole channels, and Undo and Redo, for one
// channel window: Cut, Copy, Paste, Delete Channels, Insert Empty Channel,
// Move Up, Move Down, Select All.
//
// A row command is one change of the document's whole channels
// (CProgramDoc::Apply): the value still being typed is committed and the
// cells written into the image, the core's rule runs on the image's channel
// records, the texts are filled anew and one undo step is recorded. It works on the selected channels, or on the current channel
// when none is selected, and is unavailable while a radio transfer runs and
// in device mode 0, where the grid takes no changes. Undo and Redo (refused
// only during a transfer) drop a value still being typed, then give back the
// document's previous state.

#include "base/CmdTarget.h"
#include "core/channels/ChannelRows.h"
#include "core/channels/GridKeys.h"

#include <QString>

#include <functional>
#include <vector>

class IChannelWindow;
class IPrompter;
class QClipboard;

class CChannelRowCommands
{
public:
    CChannelRowCommands(IChannelWindow& window, IPrompter& prompter, QClipboard* clipboard);

    // Runs a command (ui null) or fills in its state; false for a command
    // that is not one of these.
    bool OnCmdMsg(int id, CCmdUI* ui);

    // The commands of the grid's context menu, in order; 0 is a separator.
    static const std::vector<int>& ContextMenuCommands();
    // The command ID of a row command key (GridKeys).
    static int CommandOfKey(RowCommand command);

private:
    bool Available() const;
    std::vector<int> Targets() const;
    // Runs change on the document's image as one change named label; true
    // when it changed the image.
    bool ApplyToImage(const QString& label, const std::function<bool(RadioImage&)>& change);

    void OnCopy();
    void OnDelete(const char* english, const char* chinese);
    void OnPaste();
    void OnInsert();
    void OnMove(MoveDirection direction);
    void OnSelectAll();
    void OnUndo(bool redo);

    IChannelWindow& m_window;
    IPrompter& m_prompter;
    QClipboard* m_clipboard;
};
