#pragma once
// The window of a radio document. It shows the configured title line, keeps
// the frequency band limits of the document's radio type and band, puts the
// type and band into the main window title, and hosts the Language dialog.

#include "frame/CmdTarget.h"

#include <QWidget>
#include <cstdint>

class CLanguageDlg;
class CProgramDoc;
class CRadioLink;
class QLabel;

class CProgramView : public QWidget, public CCmdTarget
{
    Q_OBJECT
public:
    // Size of the form that the channel window shrinks to at its first display.
    static constexpr int kFormWidth = 560;
    static constexpr int kFormHeight = 420;

    explicit CProgramView(CProgramDoc* document);
    ~CProgramView() override;

    CProgramDoc* GetDocument() const { return m_pDocument; }

    // First display: the frame shrinks to fit the form, then the title
    // line, the frame icon and ImageToGrid.
    void OnInitialUpdate();
    // Brings the per-user radio type and band in step with the image, then
    // sets the main window title and the band limits from them.
    void ImageToGrid();
    // Writes what the window shows back into the image.
    void GridToImage();
    // Main window title and band limits from image offsets 0x32E and 0x32F.
    void UpdateTitleAndBand();

    bool OnCmdMsg(int id, CCmdUI* ui) override;

    CLanguageDlg* LanguageDialog() const { return m_pLanguageDlg; }
    CRadioLink* RadioLink() const { return m_pRadioLink; }

    std::int32_t m_nBandHigh = 0;  // upper band limit, 10 Hz units, inclusive
    std::int32_t m_nBandLow = 0;   // lower band limit, 10 Hz units, inclusive

private:
    void OnLanguage();
    void OnHelpKey();

    CProgramDoc* m_pDocument;
    QLabel* m_pTitle = nullptr;
    CLanguageDlg* m_pLanguageDlg = nullptr;
    CRadioLink* m_pRadioLink = nullptr;  // Read, Write, Com Setup and the transfer
};
