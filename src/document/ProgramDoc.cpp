#include "document/ProgramDoc.h"

#include "base/AppServices.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/LocalPath.h"
#include "base/Prompter.h"
#include "base/Remembered.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "core/document/DataFile.h"
#include "core/settings/ProductInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

QString CProgramDoc::FileFilter()
{
    // The document string's filter fields: "\n\n\n*.dat\n.dat\n...".
    const QStringList fields =
        g_pResources ? g_pResources->LoadString(Ids::IDR_PROGRAMTYPE).split('\n') : QStringList();
    const QString pattern = fields.value(3, QStringLiteral("*.dat"));
    return QStringLiteral("%1 (%1)").arg(pattern);
}

QString CProgramDoc::DefaultExtension()
{
    const QStringList fields =
        g_pResources ? g_pResources->LoadString(Ids::IDR_PROGRAMTYPE).split('\n') : QStringList();
    return fields.value(4, QStringLiteral(".dat"));
}

CProgramDoc::CProgramDoc(IAppServices& app)
    : m_app(app)
    , m_channels(IsChinese())
{}

void CProgramDoc::SetTitle(const QString& title)
{
    m_strTitle = title;
    emit titleChanged(title);
}

void CProgramDoc::SetModifiedFlag(bool modified)
{
    if (m_bModified == modified)
        return;
    m_bModified = modified;
    emit modifiedChanged(modified);
}

void CProgramDoc::CommitPendingEdit()
{
    // A commit the views make is itself a change: it must not ask for
    // another.
    if (m_bCommitting)
        return;
    m_bCommitting = true;
    emit pendingEditRequested(false);
    m_bCommitting = false;
}

void CProgramDoc::WriteGridToImage()
{
    if (!m_bCommitting) {
        m_bCommitting = true;
        emit pendingEditRequested(true);
        m_bCommitting = false;
    }
    m_channels.GridToImage(g_nDeviceMode);
    emit channelsChanged(false);
}

void CProgramDoc::ImageToGrid()
{
    m_channels.ImageToGrid(g_nDeviceMode);
    emit channelsChanged(true);
}

bool CProgramDoc::Apply(const QString& label, Change what, const std::function<bool(DocumentChannels&)>& change)
{
    switch (what) {
    case Change::Cells: break;
    case Change::Bytes:
    case Change::Image: CommitPendingEdit(); break;
    case Change::Channels: WriteGridToImage(); break;
    }
    const bool changed = change(m_channels);
    const bool refill = changed && (what == Change::Channels || what == Change::Image);
    if (refill)
        m_channels.ImageToGrid(g_nDeviceMode);
    emit channelsChanged(refill);
    if (changed)
        RecordChange(label);
    return changed;
}

void CProgramDoc::RememberProductChoice() const
{
    // Indexes outside the configured lists stay in the image (it opens and
    // saves byte for byte) but are not made every new document's.
    const RadioImage& image = m_channels.Image();
    if (!ImageChoiceInLists(g_iniFile, image))
        return;
    CUserStore store = CUserStore::ForApplication();
    store.SetDword("Type", image[ImageMap::kRadioType]);
    store.SetDword("Field", image[ImageMap::kBandIndex]);
}

void CProgramDoc::Restore(const DocumentSnapshot& state)
{
    m_channels.Restore(state);
    emit channelsChanged(true);
    m_lastState = state;
    SetModifiedFlag(!m_history.IsClean());
}

void CProgramDoc::RecordChange(const QString& label)
{
    DocumentSnapshot now = m_channels.Snapshot();
    m_history.Push({label.toStdString(), m_lastState, now});
    m_lastState = std::move(now);
    SetModifiedFlag(!m_history.IsClean());
}

void CProgramDoc::ResetHistory()
{
    m_history.Clear();
    m_lastState = m_channels.Snapshot();
    SetModifiedFlag(false);
}

void CProgramDoc::Undo()
{
    if (const DocumentSnapshot* state = m_history.Undo())
        Restore(*state);
}

void CProgramDoc::Redo()
{
    if (const DocumentSnapshot* state = m_history.Redo())
        Restore(*state);
}

bool CProgramDoc::SaveModified()
{
    if (!m_bModified)
        return true;
    const QString name = m_strTitle;
    const QString text = Lang("Save changes to %1?", "是否保存对 %1 的更改?").arg(name);
    switch (Prompter().Message(m_app.MainWindow(), m_app.AppName(), text, PromptButtons::SaveDiscardCancel,
                               PromptIcon::Exclamation)) {
    case PromptAnswer::Save: return DoFileSave();
    case PromptAnswer::Discard: return true;
    default: return false;
    }
}

bool CProgramDoc::OnNewDocument()
{
    // A new image is of the radio type and band chosen last.
    RadioImage& image = m_channels.Image();
    image = MakeNewImage();
    CUserStore store = CUserStore::ForApplication();
    image[ImageMap::kRadioType] = static_cast<std::uint8_t>(store.QueryDword("Type", 0) & 0xFF);
    image[ImageMap::kBandIndex] = static_cast<std::uint8_t>(store.QueryDword("Field", 0) & 0xFF);
    SetTitle(Lang("Channel Information", "信道信息"));
    m_strPathName = IniText("Setup", "AppName");
    m_bPathIsFile = false;
    g_byNewDocument = 1;
    return true;
}

bool CProgramDoc::OnOpenDocument(const QString& path)
{
    std::string error;
    RadioImage image = m_channels.Image();
    const DataFileResult result = LoadDataFile(LocalPath(path), image, &error);
    switch (result) {
    case DataFileResult::Ok: break;
    case DataFileResult::BadFormat:
        AppMessageBox(QString::fromStdString(DataFileResultText(result, IsChinese())) + QStringLiteral("\n") + path);
        return false;
    case DataFileResult::Truncated:
        AppMessageBox(
            Lang("%1 is not a complete data file (shorter than 1040 bytes).", "%1 不是完整的数据文件(不足 1040 字节)。")
                .arg(path));
        return false;
    default:
        // The system's reason: missing, not permitted, not a regular file.
        AppMessageBox(g_pResources->LoadString(Ids::IDS_OPEN_FAILED) + QStringLiteral("\n") +
                      (error.empty() ? path : QString::fromStdString(error)));
        return false;
    }
    m_channels.Image() = image;
    m_strPathName = QFileInfo(path).absoluteFilePath();
    m_bPathIsFile = true;
    SetTitle(QFileInfo(path).fileName());
    g_byNewDocument = 0;
    RememberProductChoice();
    SetModifiedFlag(false);
    return true;
}

bool CProgramDoc::OnSaveDocument(const QString& path)
{
    // The value still being typed is part of what is saved.
    WriteGridToImage();
    std::string error;
    const DataFileResult result = SaveDataFile(LocalPath(path), m_channels.Image(), &error);
    if (result != DataFileResult::Ok) {
        // The path, then the system's reason ("No space left on device").
        AppMessageBox(g_pResources->LoadString(Ids::IDS_SAVE_FAILED) + QStringLiteral("\n") +
                      (error.empty() ? path : QString::fromStdString(error)));
        return false;
    }
    m_history.SetClean();
    SetModifiedFlag(false);
    return true;
}

bool CProgramDoc::OnCmdMsg(int id, CCmdUI* ui)
{
    switch (id) {
    case Ids::ID_FILE_CLOSE:
        if (!ui)
            OnFileClose();
        return true;
    case Ids::ID_FILE_SAVE:
        if (!ui)
            DoFileSave();
        return true;
    case Ids::ID_FILE_SAVE_AS:
        if (!ui)
            DoSave(true);
        return true;
    default: return false;
    }
}

void CProgramDoc::OnFileClose()
{
    // Close keeps the document: its channel window is only hidden, and the
    // Channel Information command brings it back.
    if (QWidget* front = m_app.ActiveChannelWindow())
        front->close();
}

bool CProgramDoc::DoFileSave()
{
    const QFileInfo file(m_strPathName);
    const bool writable = m_bPathIsFile && (!file.exists() || file.isWritable());
    return DoSave(!writable);
}

bool CProgramDoc::DoSave(bool askForName)
{
    QString name = m_strPathName;
    if (askForName) {
        const QString extension = DefaultExtension();
        QString initial = name.isEmpty() ? m_strTitle : name;
        if (!initial.endsWith(extension, Qt::CaseInsensitive))
            initial += extension;
        // A document without a file starts in the folder of the last Open
        // or Save As; one with a file in its own folder.
        const QString folder = Remembered::LastFolder(Remembered::Folder::DataFiles);
        if (!m_bPathIsFile && !folder.isEmpty())
            initial = folder + '/' + QFileInfo(initial).fileName();
        name = Prompter().SaveFileName(m_app.MainWindow(), Lang("Save As", "另存为"), initial, FileFilter());
        if (name.isEmpty())
            return false;
        if (QFileInfo(name).suffix().isEmpty())
            name += extension;
        Remembered::SetLastFolderOf(Remembered::Folder::DataFiles, name);
    }
    if (!OnSaveDocument(name))
        return false;
    Remembered::AddRecentFile(name);
    m_strPathName = QFileInfo(name).absoluteFilePath();
    m_bPathIsFile = true;
    SetTitle(QFileInfo(name).fileName());
    return true;
}
