#include "channels/ChannelBulkCommands.h"

#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "channels/ChannelPlanDlg.h"
#include "channels/ChannelWindow.h"
#include "channels/CsvErrorsDlg.h"
#include "core/channels/ChannelBulkEdit.h"
#include "core/channels/ChannelClipboard.h"
#include "core/channels/ChannelCsv.h"
#include "core/channels/ChannelRows.h"
#include "core/channels/ChannelTable.h"
#include "document/ProgramDoc.h"

#include <QDir>

CChannelBulkCommands::CChannelBulkCommands(IChannelWindow& window, IPrompter& prompter, QString shippedPlans,
                                           QString userPlans)
    : m_window(window)
    , m_prompter(prompter)
    , m_shippedPlans(std::move(shippedPlans))
    , m_userPlans(std::move(userPlans))
{}

bool CChannelBulkCommands::Available() const
{
    return !m_window.IsEditingBlocked() && GridEnabled(g_nDeviceMode) && m_window.GetDocument();
}

bool CChannelBulkCommands::OnCmdMsg(int id, CCmdUI* ui)
{
    bool enabled = Available();
    switch (id) {
    case Ids::ID_EDIT_FILL_DOWN:
        enabled = enabled && m_window.SelectedChannels().size() >= 2 &&
                  BulkColumnShown(g_nDeviceMode, m_window.CurrentColumn());
        break;
    case Ids::ID_EDIT_SORT_BY_FREQUENCY:
    case Ids::ID_EDIT_CHANNEL_PLAN: break;
    default: return false;
    }
    if (ui) {
        ui->Enable(enabled);
        return true;
    }
    if (!enabled)
        return true;
    switch (id) {
    case Ids::ID_EDIT_FILL_DOWN: OnFillDown(); break;
    case Ids::ID_EDIT_SORT_BY_FREQUENCY: OnSort(); break;
    case Ids::ID_EDIT_CHANNEL_PLAN: OnChannelPlan(); break;
    default: break;
    }
    return true;
}

bool CChannelBulkCommands::ApplyToImage(const char* english, const char* chinese, const std::vector<int>& selection,
                                        const std::function<bool(RadioImage&)>& change)
{
    const bool changed =
        m_window.GetDocument()->Apply(Lang(english, chinese), CProgramDoc::Change::Channels,
                                      [&change](DocumentChannels& channels) { return change(channels.Image()); });
    if (changed)
        m_window.SelectChannels(selection);
    return changed;
}

void CChannelBulkCommands::ShowMessage(const QString& text)
{
    const QString caption = g_pResources ? g_pResources->LoadString(Ids::IDS_CAUTION) : QString();
    m_prompter.Message(m_window.Widget(), caption, text, PromptButtons::Ok, PromptIcon::Exclamation);
}

QString CChannelBulkCommands::RefusalText(int channel, EditMessage message)
{
    const int id = message == EditMessage::BadStep ? Ids::IDS_STEP_ERROR : Ids::IDS_OUT_OF_RANGE;
    const QString reason = g_pResources ? g_pResources->LoadString(id) : QString();
    return Lang("Channel %1: %2", "信道%1：%2").arg(channel).arg(reason);
}

void CChannelBulkCommands::OnFillDown()
{
    const std::vector<int> selected = m_window.SelectedChannels();
    const int column = m_window.CurrentColumn();
    BulkEditOutcome outcome;
    ApplyToImage("Fill Down", "向下填充", selected, [&](RadioImage& image) {
        outcome = FillDown(image, g_nDeviceMode, IsChinese(), m_window.Band(), selected, column);
        return outcome.Ok() && outcome.changed;
    });
    switch (outcome.refusal) {
    case BulkRefusal::None: break;
    case BulkRefusal::EmptySource:
        ShowMessage(
            Lang("The first selected channel has no frequency to fill down.", "所选第一个信道没有可填充的频率。"));
        break;
    case BulkRefusal::Channel: ShowMessage(RefusalText(outcome.channel, outcome.message)); break;
    case BulkRefusal::NotApplicable: break;
    }
}

void CChannelBulkCommands::CommitToSelection(int column, std::string text)
{
    if (!Available())
        return;
    const std::vector<int> selected = m_window.SelectedChannels();
    const std::vector<int> channels = CommandChannels(selected, m_window.CurrentChannel());
    // The typed value goes to every channel, its own cell included, by the
    // rules of Enter; it is not first committed to the one cell.
    m_window.DropPendingEdit();
    BulkEditOutcome outcome;
    ApplyToImage("Edit Selected Channels", "编辑所选信道", selected, [&](RadioImage& image) {
        outcome = CommitToChannels(image, g_nDeviceMode, IsChinese(), m_window.Band(), channels, column, text);
        return outcome.Ok() && outcome.changed;
    });
    if (outcome.refusal == BulkRefusal::Channel)
        ShowMessage(RefusalText(outcome.channel, outcome.message));
}

void CChannelBulkCommands::OnSort()
{
    const std::vector<int> selected = m_window.SelectedChannels();
    ApplyToImage("Sort Channels by Frequency", "按频率排序信道", selected, [&selected](RadioImage& image) {
        return SortChannelsByFrequency(image, g_nDeviceMode, SortTargets(selected));
    });
}

std::vector<ChannelPlan> CChannelBulkCommands::Plans() const
{
    return ListChannelPlans(m_shippedPlans.toStdString(), m_userPlans.toStdString());
}

bool CChannelBulkCommands::LayPlan(const ChannelPlan& plan, QStringList& errors)
{
    std::string text;
    std::string error;
    switch (ReadChannelCsvFile(plan.path, text, error)) {
    case ChannelCsvRead::Ok: break;
    case ChannelCsvRead::TooLarge:
        errors << Lang("The file is too large for a channel list.", "文件太大，不是信道表。");
        return false;
    case ChannelCsvRead::CannotRead: errors << QString::fromStdString(error); return false;
    }
    const std::vector<int> selected = m_window.SelectedChannels();
    const FrequencyBand band = m_window.Band();
    std::vector<int> written;
    std::vector<CsvError> csvErrors;
    bool laid = false;
    // Laid as pasted rows: onto the selection in order, else from channel 1.
    ApplyToImage("Channel Plan", "信道方案", written, [&](RadioImage& image) {
        RadioImage result{};
        laid = PasteChannels(ClipboardChannels{"", text}, image, band, selected, 1, result, written, csvErrors);
        if (!laid || result == image)
            return false;
        image = result;
        return true;
    });
    if (laid)
        m_window.SelectChannels(written);
    for (const std::string& line : CsvErrorLines(csvErrors))
        errors << QString::fromStdString(line);
    return laid;
}

void CChannelBulkCommands::OnChannelPlan()
{
    m_window.GetDocument()->CommitPendingEdit();
    CChannelPlanDlg dialog(Plans(), m_userPlans, m_window.Widget());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<ChannelPlan> plan = dialog.Chosen();
    if (!plan)
        return;
    QStringList errors;
    if (LayPlan(*plan, errors))
        return;
    const QString path = QDir::toNativeSeparators(QString::fromStdString(plan->path));
    CCsvErrorsDlg errorsDialog(
        Lang("Channel Plan", "信道方案"),
        Lang("The plan %1 was not laid onto the channels and nothing was changed. These cells (line:column) of %2 "
             "were refused:",
             "方案 %1 未写入信道，数据没有任何改动。%2 中下列单元格(行:列)被拒绝:")
            .arg(QString::fromStdString(plan->name), path),
        errors, m_window.Widget());
    errorsDialog.exec();
}
