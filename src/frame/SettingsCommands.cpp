#include "frame/SettingsCommands.h"

#include "base/Globals.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelTable.h"
#include "core/settings/ProductInfo.h"
#include "document/ProgramDoc.h"
#include "link/TransferBusy.h"
#include "settings/OptionalFeaturesDlg.h"
#include "settings/ProductInfoDlg.h"

#include <QPointer>

CSettingsCommands::CSettingsCommands(QWidget* window)
    : m_pWindow(window)
{}

void CSettingsCommands::OnProductInformation(CProgramDoc* document, CProgramView* view, CUserStore& store)
{
    if (IsRadioTransferBusy() || !document || !view)
        return;
    // The document or its window may go while the dialog is open.
    const QPointer<CProgramDoc> documentAlive = document;
    const QPointer<CProgramView> viewAlive = view;
    if (!m_pProductInfoDlg)
        m_pProductInfoDlg = new CProductInfoDlg(m_pWindow);

    // The dialog works on a copy; the document takes it as one change.
    RadioImage image = document->Image();
    const int result =
        m_pProductInfoDlg->DoModal(g_iniFile, image, store.QueryDword("Type", 0), store.QueryDword("Field", 0));
    if (result != QDialog::Accepted || !documentAlive || !viewAlive)
        return;
    const CProductInfoDlg& choice = *m_pProductInfoDlg;
    // With no type or no band chosen OK changes nothing: not the image, the
    // title, the limits nor the per-user values.
    if (!IsCompleteProductChoice(choice.m_nType, choice.m_nBand))
        return;
    if (choice.m_bImageChanged)
        ApplyImage(*document, image, Lang("Product Information", "类型设置"));

    // The labels stay English here whatever the language; the channel
    // window's next refresh puts its own labels back.
    g_strMainTitle = LanguageText("AppName") + QStringLiteral("  [ Type:") + ConfigText(choice.m_strTypeText) +
                     QStringLiteral("  Fre:") + ConfigText(choice.m_strBandText) + QStringLiteral(" ]");
    m_pWindow->setWindowTitle(g_strMainTitle);
    BandLimits(choice.m_strBandText, view->m_nBandLow, view->m_nBandHigh);
    store.SetDword("Type", static_cast<std::uint32_t>(choice.m_nType));
    store.SetDword("Field", static_cast<std::uint32_t>(choice.m_nBand));
}

void CSettingsCommands::OnOptionalFeatures(CProgramDoc* document, int deviceMode, bool chinese)
{
    if (IsRadioTransferBusy() || !document || deviceMode == 0)
        return;
    const QPointer<CProgramDoc> documentAlive = document;
    if (!m_pOptionalFeaturesDlg)
        m_pOptionalFeaturesDlg = new COptionalFeaturesDlg(m_pWindow);

    RadioImage image = document->Image();
    const int result = m_pOptionalFeaturesDlg->DoModal(image, deviceMode, chinese);
    if (result == QDialog::Accepted && documentAlive && m_pOptionalFeaturesDlg->ImageChanged())
        ApplyImage(*document, image, Lang("Optional Features", "可选功能"));
}

void CSettingsCommands::ApplyImage(CProgramDoc& document, const RadioImage& image, const QString& label)
{
    document.Apply(label, CProgramDoc::Change::Bytes, [&image](DocumentChannels& channels) {
        channels.Image() = image;
        return true;
    });
}
