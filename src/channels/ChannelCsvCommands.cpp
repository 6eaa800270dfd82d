#include "channels/ChannelCsvCommands.h"

#include "base/Globals.h"
#include "base/LocalPath.h"
#include "base/Prompter.h"
#include "base/Remembered.h"
#include "base/ResourceIds.h"
#include "channels/ChannelWindow.h"
#include "channels/CsvErrorsDlg.h"
#include "core/util/AtomicFile.h"
#include "document/ProgramDoc.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString ImportFilters()
{
    return Lang("Channel lists (*.csv);;All files (*)", "信道表 (*.csv);;所有文件 (*)");
}

} // namespace

CChannelCsvCommands::CChannelCsvCommands(IChannelWindow& view, IPrompter& prompter)
    : m_view(view)
    , m_prompter(prompter)
{}

bool CChannelCsvCommands::OnCmdMsg(int id, CCmdUI* ui)
{
    if (id != Ids::ID_FILE_IMPORT_CHANNELS && id != Ids::ID_FILE_EXPORT_CHANNELS)
        return false;
    if (ui)
        ui->Enable(!m_view.IsEditingBlocked());
    else if (id == Ids::ID_FILE_IMPORT_CHANNELS)
        OnImport();
    else
        OnExport();
    return true;
}

QString CChannelCsvCommands::OwnFilter()
{
    return Lang("Channel list (*.csv)", "信道表 (*.csv)");
}

QString CChannelCsvCommands::InterchangeFilter()
{
    return Lang("Interchange layout of multi-radio programmers (*.csv)", "多机型写频软件通用格式 (*.csv)");
}

void CChannelCsvCommands::OnImport()
{
    m_view.GetDocument()->CommitPendingEdit();
    const QString path =
        m_prompter.OpenFileName(m_view.Widget(), Lang("Import Channels", "导入信道"),
                                Remembered::LastFolder(Remembered::Folder::ChannelLists), ImportFilters());
    if (path.isEmpty())
        return;
    Remembered::SetLastFolderOf(Remembered::Folder::ChannelLists, path);
    QStringList errors;
    if (!ImportFile(path, errors)) {
        CCsvErrorsDlg dialog(path, errors, m_view.Widget());
        dialog.exec();
    }
}

bool CChannelCsvCommands::ImportFile(const QString& path, QStringList& errors)
{
    std::string text;
    std::string error;
    switch (ReadChannelCsvFile(LocalPath(path), text, error)) {
    case ChannelCsvRead::Ok: break;
    case ChannelCsvRead::TooLarge:
        errors << Lang("The file is too large for a channel list.", "文件太大，不是信道表。");
        return false;
    case ChannelCsvRead::CannotRead: errors << QString::fromStdString(error); return false;
    }

    // One change of the document's whole channels; an import that changes
    // no byte records no step but still fills the texts anew.
    const FrequencyBand band = m_view.Band();
    std::vector<CsvError> csvErrors;
    bool imported = false;
    m_view.GetDocument()->Apply(Lang("Import Channels", "导入信道"), CProgramDoc::Change::Channels,
                                [&](DocumentChannels& channels) {
                                    RadioImage result{};
                                    imported = ImportChannelsCsv(text, channels.Image(), band, result, csvErrors);
                                    if (!imported)
                                        return false;
                                    const bool changed = result != channels.Image();
                                    channels.Image() = result;
                                    if (!changed)
                                        channels.ImageToGrid(g_nDeviceMode);
                                    return changed;
                                });
    if (!imported) {
        for (const std::string& line : CsvErrorLines(csvErrors))
            errors << QString::fromStdString(line);
        return false;
    }
    return true;
}

void CChannelCsvCommands::OnExport()
{
    m_view.GetDocument()->CommitPendingEdit();
    const CProgramDoc* document = m_view.GetDocument();
    const QFileInfo source(document->GetPathName().isEmpty() ? document->GetTitle() : document->GetPathName());
    // In the folder of the last channel list, else beside the document.
    QString folder = Remembered::LastFolder(Remembered::Folder::ChannelLists);
    if (folder.isEmpty() && !document->GetPathName().isEmpty())
        folder = source.absolutePath();
    const QString initial =
        (folder.isEmpty() ? QString() : folder + '/') + source.completeBaseName() + QStringLiteral(".csv");
    QString filter;
    QString path = m_prompter.SaveFileNameWithFilter(m_view.Widget(), Lang("Export Channels", "导出信道"), initial,
                                                     OwnFilter() + QStringLiteral(";;") + InterchangeFilter(), filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    Remembered::SetLastFolderOf(Remembered::Folder::ChannelLists, path);
    const ChannelCsvLayout layout =
        filter == InterchangeFilter() ? ChannelCsvLayout::Interchange : ChannelCsvLayout::Own;
    QString error;
    if (!ExportFile(path, layout, error))
        m_prompter.Message(m_view.Widget(), Lang("Export Channels", "导出信道"), error, PromptButtons::Ok,
                           PromptIcon::Exclamation);
}

bool CChannelCsvCommands::ExportFile(const QString& path, ChannelCsvLayout layout, QString& error)
{
    // Both sides of every channel, whichever side the grid shows: the grid
    // goes into the image first, as for a save.
    CProgramDoc* document = m_view.GetDocument();
    document->WriteGridToImage();
    const ChannelCsvText text = ExportChannelsCsv(document->Image(), IsChinese(), layout);
    std::string reason;
    if (!WriteFileAtomically(LocalPath(path), text.csv, &reason)) {
        error = Lang("Could not write %1: %2", "无法写入 %1: %2").arg(path, QString::fromStdString(reason));
        return false;
    }
    if (!text.transmitOnlyChannels.empty())
        ShowTransmitOnlyNote(text.transmitOnlyChannels);
    return true;
}

void CChannelCsvCommands::ShowTransmitOnlyNote(const std::vector<int>& channels)
{
    QStringList numbers;
    for (int channel : channels)
        numbers << QString::number(channel);
    const QString text =
        Lang("Channels %1 have a transmit but no receive frequency. The interchange layout has no such channel: "
             "they are written with the transmit frequency as Frequency and an empty Duplex, so importing the "
             "file sets both sides to it.",
             "信道 %1 只有发射频率，没有接收频率。通用格式不能表示这样的信道：导出时把发射频率写作 Frequency，"
             "Duplex 为空，因此导入该文件会把收发两侧都设为这个频率。")
            .arg(numbers.join(QStringLiteral(", ")));
    m_prompter.Message(m_view.Widget(), Lang("Export Channels", "导出信道"), text, PromptButtons::Ok,
                       PromptIcon::Information);
}
