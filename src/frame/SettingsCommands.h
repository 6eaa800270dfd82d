#pragma once
// Product Information and Optional Features: the two settings dialogs of the
// main window, made at their first use and kept with it, so a dialog's own
// members survive between openings. Each command edits the image of the
// document given to it; with no document there is nothing to edit, and
// during a radio transfer neither dialog opens (being modal, it would run
// inside the transfer).

#include "base/UserStore.h"
#include "core/document/RadioImage.h"

#include <QString>

class COptionalFeaturesDlg;
class CProductInfoDlg;
class CProgramDoc;
class CProgramView;
class QWidget;

class CSettingsCommands
{
public:
    // window: owner of the dialogs, whose title Product Information sets.
    explicit CSettingsCommands(QWidget* window);

    // Product Information on document, shown in view (whose band limits
    // follow the band chosen). store keeps the user's type and band: they
    // preselect the dialog, and an OK with both chosen stores them.
    void OnProductInformation(CProgramDoc* document, CProgramView* view, CUserStore& store);
    // Optional Features on document, only while the radio variant read last
    // (deviceMode) is known; chinese picks the language of the lists.
    void OnOptionalFeatures(CProgramDoc* document, int deviceMode, bool chinese);

    COptionalFeaturesDlg* OptionalFeaturesDialog() const { return m_pOptionalFeaturesDlg; }
    CProductInfoDlg* ProductInfoDialog() const { return m_pProductInfoDlg; }

private:
    // Every change these commands make to a document becomes one undo step here.
    void ApplyImage(CProgramDoc& document, const RadioImage& image, const QString& label);

    QWidget* m_pWindow;
    COptionalFeaturesDlg* m_pOptionalFeaturesDlg = nullptr;
    CProductInfoDlg* m_pProductInfoDlg = nullptr;
};
