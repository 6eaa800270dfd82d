#include "channels/ChannelRowCommands.h"

#include "base/Globals.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "channels/ChannelWindow.h"
#include "channels/ClipboardAdapter.h"
#include "channels/CsvErrorsDlg.h"
#include "core/channels/ChannelClipboard.h"
#include "core/channels/ChannelTable.h"
#include "document/ProgramDoc.h"

#include <QStringList>

CChannelRowCommands::CChannelRowCommands(IChannelWindow& window, IPrompter& prompter, QClipboard* clipboard)
    : m_window(window)
    , m_prompter(prompter)
    , m_clipboard(clipboard)
{}

const std::vector<int>& CChannelRowCommands::ContextMenuCommands()
{
    static const std::vector<int> kCommands = {Ids::ID_EDIT_CUT,
                                               Ids::ID_EDIT_COPY,
                                               Ids::ID_EDIT_PASTE,
                                               0,
                                               Ids::ID_EDIT_CLEAR,
                                               Ids::ID_EDIT_INSERT_CHANNEL,
                                               Ids::ID_EDIT_MOVE_UP,
                                               Ids::ID_EDIT_MOVE_DOWN,
                                               0,
                                               Ids::ID_EDIT_FILL_DOWN,
                                               Ids::ID_EDIT_SORT_BY_FREQUENCY,
                                               Ids::ID_EDIT_CHANNEL_PLAN,
                                               0,
                                               Ids::ID_EDIT_SELECT_ALL};
    return kCommands;
}

int CChannelRowCommands::CommandOfKey(RowCommand command)
{
    switch (command) {
    case RowCommand::Cut: return Ids::ID_EDIT_CUT;
    case RowCommand::Copy: return Ids::ID_EDIT_COPY;
    case RowCommand::Paste: return Ids::ID_EDIT_PASTE;
    case RowCommand::SelectAll: return Ids::ID_EDIT_SELECT_ALL;
    case RowCommand::MoveUp: return Ids::ID_EDIT_MOVE_UP;
    case RowCommand::MoveDown: return Ids::ID_EDIT_MOVE_DOWN;
    case RowCommand::Delete: return Ids::ID_EDIT_CLEAR;
    case RowCommand::Insert: return Ids::ID_EDIT_INSERT_CHANNEL;
    case RowCommand::FillDown: return Ids::ID_EDIT_FILL_DOWN;
    }
    return 0;
}

bool CChannelRowCommands::Available() const
{
    return !m_window.IsEditingBlocked() && GridEnabled(g_nDeviceMode);
}

std::vector<int> CChannelRowCommands::Targets() const
{
    return CommandChannels(m_window.SelectedChannels(), m_window.CurrentChannel());
}

bool CChannelRowCommands::OnCmdMsg(int id, CCmdUI* ui)
{
    CProgramDoc* document = m_window.GetDocument();
    bool enabled = Available();
    switch (id) {
    case Ids::ID_EDIT_UNDO:
    case Ids::ID_EDIT_REDO:
        // The settings dialogs change a document in device mode 0 too.
        enabled = !m_window.IsEditingBlocked() && document &&
                  (id == Ids::ID_EDIT_UNDO ? document->CanUndo() : document->CanRedo());
        break;
    case Ids::ID_EDIT_CUT:
    case Ids::ID_EDIT_COPY:
    case Ids::ID_EDIT_CLEAR:
    case Ids::ID_EDIT_INSERT_CHANNEL: enabled = enabled && !Targets().empty(); break;
    case Ids::ID_EDIT_PASTE: enabled = enabled && m_clipboard && ClipboardAdapter::HasChannels(m_clipboard); break;
    case Ids::ID_EDIT_MOVE_UP: enabled = enabled && CanMoveChannels(Targets(), MoveDirection::Up); break;
    case Ids::ID_EDIT_MOVE_DOWN: enabled = enabled && CanMoveChannels(Targets(), MoveDirection::Down); break;
    case Ids::ID_EDIT_SELECT_ALL: break;
    default: return false;
    }
    if (ui) {
        ui->Enable(enabled);
        return true;
    }
    if (!enabled)
        return true;
    switch (id) {
    case Ids::ID_EDIT_UNDO: OnUndo(false); break;
    case Ids::ID_EDIT_REDO: OnUndo(true); break;
    case Ids::ID_EDIT_CUT:
        OnCopy();
        OnDelete("Cut", "剪切");
        break;
    case Ids::ID_EDIT_COPY: OnCopy(); break;
    case Ids::ID_EDIT_PASTE: OnPaste(); break;
    case Ids::ID_EDIT_CLEAR: OnDelete("Delete Channels", "删除信道"); break;
    case Ids::ID_EDIT_INSERT_CHANNEL: OnInsert(); break;
    case Ids::ID_EDIT_MOVE_UP: OnMove(MoveDirection::Up); break;
    case Ids::ID_EDIT_MOVE_DOWN: OnMove(MoveDirection::Down); break;
    case Ids::ID_EDIT_SELECT_ALL: OnSelectAll(); break;
    default: break;
    }
    return true;
}

bool CChannelRowCommands::ApplyToImage(const QString& label, const std::function<bool(RadioImage&)>& change)
{
    return m_window.GetDocument()->Apply(label, CProgramDoc::Change::Channels,
                                         [&change](DocumentChannels& channels) { return change(channels.Image()); });
}

void CChannelRowCommands::OnCopy()
{
    const std::vector<int> channels = Targets();
    CProgramDoc* document = m_window.GetDocument();
    // The clipboard gets the channels as a save would write them.
    document->WriteGridToImage();
    ClipboardAdapter::PutChannels(m_clipboard, document->Image(), channels, IsChinese());
}

void CChannelRowCommands::OnDelete(const char* english, const char* chinese)
{
    const std::vector<int> channels = Targets();
    const std::vector<int> selected = m_window.SelectedChannels();
    ApplyToImage(Lang(english, chinese), [&channels](RadioImage& image) {
        DeleteChannels(image, channels);
        return true;
    });
    m_window.SelectChannels(selected);
}

void CChannelRowCommands::OnPaste()
{
    const ClipboardChannels clipboard = ClipboardAdapter::TakeChannels(m_clipboard);
    const std::vector<int> selected = m_window.SelectedChannels();
    const int current = m_window.CurrentChannel();
    const FrequencyBand band = m_window.Band();
    std::vector<int> written;
    std::vector<CsvError> errors;
    const bool pasted = ApplyToImage(Lang("Paste", "粘贴"), [&](RadioImage& image) {
        RadioImage result{};
        if (!PasteChannels(clipboard, image, band, selected, current, result, written, errors))
            return false;
        image = result;
        return true;
    });
    if (pasted) {
        m_window.SelectChannels(written);
        return;
    }
    QStringList lines;
    for (const CsvError& error : errors)
        lines << QString::fromStdString(FormatCsvError(error));
    CCsvErrorsDlg dialog(Lang("Paste", "粘贴"),
                         Lang("Nothing was pasted and nothing was changed. Correct these cells (line:column) "
                              "and paste again:",
                              "没有粘贴，数据没有任何改动。请改正下列单元格(行:列)后重新粘贴:"),
                         lines, m_window.Widget());
    dialog.exec();
}

void CChannelRowCommands::OnInsert()
{
    const int at = Targets().front();
    const bool hadSelection = !m_window.SelectedChannels().empty();
    const bool inserted = ApplyToImage(Lang("Insert Empty Channel", "插入空信道"),
                                       [at](RadioImage& image) { return InsertEmptyChannel(image, at); });
    if (inserted) {
        m_window.SelectChannels(hadSelection ? std::vector<int>{at} : std::vector<int>{});
        return;
    }
    m_prompter.Message(m_window.Widget(), Lang("Insert Empty Channel", "插入空信道"),
                       Lang("Channel 16 is not empty: inserting a channel would push it out of the table. "
                            "Delete or move channel 16 first.",
                            "第16信道不是空的，插入信道会把它挤出信道表。请先删除或移动第16信道。"),
                       PromptButtons::Ok, PromptIcon::Exclamation);
}

void CChannelRowCommands::OnMove(MoveDirection direction)
{
    std::vector<int> channels = Targets();
    const QString label = direction == MoveDirection::Up ? Lang("Move Up", "上移") : Lang("Move Down", "下移");
    if (ApplyToImage(label, [&](RadioImage& image) { return MoveChannels(image, channels, direction); }))
        m_window.SelectChannels(channels);
}

void CChannelRowCommands::OnSelectAll()
{
    std::vector<int> all;
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel)
        all.push_back(channel);
    m_window.SelectChannels(all);
}

void CChannelRowCommands::OnUndo(bool redo)
{
    m_window.DropPendingEdit();
    CProgramDoc* document = m_window.GetDocument();
    if (redo)
        document->Redo();
    else
        document->Undo();
    m_window.SelectChannels({});
}
