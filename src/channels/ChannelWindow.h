#pragma once
// What the commands of a channel window (row commands, import, export and
// the like) ask of the window they act on, so that they need not know the
// view itself. The channels are the document's: a command changes them
// through CProgramDoc::Apply.

#include "core/channels/ChannelCsvTypes.h"

#include <vector>

class CProgramDoc;
class QWidget;

class IChannelWindow
{
public:
    virtual ~IChannelWindow() = default;

    // The window, as parent of the command's dialogs.
    virtual QWidget* Widget() = 0;
    virtual CProgramDoc* GetDocument() const = 0;
    // True while a radio transfer runs: the window takes no changes.
    virtual bool IsEditingBlocked() const = 0;
    // The band a typed frequency must lie in, in 10 Hz.
    virtual FrequencyBand Band() const = 0;
    // The channels selected in the grid (ascending) and the current one.
    virtual std::vector<int> SelectedChannels() const = 0;
    virtual int CurrentChannel() const = 0;
    // The column of the framed cell (a shown data column, 1..8).
    virtual int CurrentColumn() const = 0;
    // Selects exactly these channels (none clears the selection).
    virtual void SelectChannels(const std::vector<int>& channels) = 0;
    // Drops a value still being typed: the editor closes, the cell keeps
    // its text (before an undo, which must not commit it).
    virtual void DropPendingEdit() = 0;
};
