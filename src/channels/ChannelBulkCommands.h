#pragma once
// One change for many channels, for one channel window: Fill Down (Ctrl+D),
// the commit of an open editor's value into every selected channel
// (Ctrl+Enter), Sort Channels by Frequency and Channel Plan....
//
// The rules are the core's (ChannelBulkEdit, ChannelPlans, the paste of
// ChannelClipboard); this class commits or drops the value being typed,
// writes the grid into the image, runs the rule on the image, refills the
// grid and records one undo step, or shows why nothing was changed. Like the
// row commands these are unavailable while a radio transfer runs and in
// device mode 0.

#include "base/CmdTarget.h"
#include "core/channels/ChannelEditing.h"
#include "core/channels/ChannelPlans.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class IChannelWindow;
class IPrompter;

class CChannelBulkCommands
{
public:
    // shippedPlans: the folder of the plans beside the program; userPlans:
    // the user's own (either may be empty).
    CChannelBulkCommands(IChannelWindow& window, IPrompter& prompter, QString shippedPlans, QString userPlans);

    // Runs a command (ui null) or fills in its state; false for a command
    // that is not one of these.
    bool OnCmdMsg(int id, CCmdUI* ui);

    // Ctrl+Enter in the open editor of column: its text goes into that
    // column of every selected channel (the current one when none is),
    // each checked as a typed value. The editor closes either way.
    void CommitToSelection(int column, std::string text);

    // The plans the Channel Plan dialog offers.
    std::vector<ChannelPlan> Plans() const;
    // Lays a plan onto the selected channels (from channel 1 when none is
    // selected) as Paste lays rows. False with the refused cells as
    // "LINE:COLUMN: reason" lines, or the reason the file could not be read,
    // in errors; nothing is changed then.
    bool LayPlan(const ChannelPlan& plan, QStringList& errors);

    // "Channel 3: Out of range,please input again.": a refused channel
    // and the message its typed value gave.
    static QString RefusalText(int channel, EditMessage message);

private:
    bool Available() const;
    // Makes change to the document's image as one undo step named by the
    // English or Chinese label; the channels in selection are selected after
    // a change. False when change refused or changed nothing.
    bool ApplyToImage(const char* english, const char* chinese, const std::vector<int>& selection,
                      const std::function<bool(RadioImage&)>& change);

    void OnFillDown();
    void OnSort();
    void OnChannelPlan();
    void ShowMessage(const QString& text);

    IChannelWindow& m_window;
    IPrompter& m_prompter;
    QString m_shippedPlans;
    QString m_userPlans;
};
