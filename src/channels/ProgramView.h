#pragma once
// The window of a radio document: the configured title line above the
// channel grid. The view fills the grid from the document's image
// (ImageToGrid), writes it back (GridToImage), puts the radio type and band
// into the main window title and keeps the band limits that typed
// frequencies are checked against.
//
// Editing is done by eight editors laid over the current cell. The rules of
// editing (what Enter and leaving a cell do to the texts) live in the core's
// ChannelEditSession; the view only feeds it the grid's events and the
// editors' texts, shows its messages and mirrors its editor state onto the
// widgets.

#include "core/channels/ChannelEditing.h"
#include "core/channels/ChannelRows.h"
#include "core/channels/ChannelTable.h"
#include "base/CmdTarget.h"
#include "channels/ChannelWindow.h"
#include "document/ProgramDoc.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

class CLanguageDlg;
class CMSFlexGrid;
class CPrintCommands;
class IAppServices;
class CRadioLink;
class QComboBox;
class QKeyEvent;
class QLabel;
class QKeyEvent;
class QLineEdit;

class CProgramView : public QWidget, public CCmdTarget, public IDocumentView, public IChannelWindow
{
    Q_OBJECT
public:
    // Size of the form that the channel window shrinks to at its first display.
    static constexpr int kFormWidth = 560;
    static constexpr int kFormHeight = 420;

    // app: parent and caption of boxes, the printer and the restart after a
    // language change.
    CProgramView(CProgramDoc* document, IAppServices& app);
    ~CProgramView() override;

    CProgramDoc* GetDocument() const override { return m_pDocument; }
    QWidget* Widget() override { return this; }
    FrequencyBand Band() const override { return {m_nBandLow, m_nBandHigh}; }
    CMSFlexGrid* Grid() const { return m_pGrid; }

    // First display: the frame shrinks to fit the form, the grid is built
    // once, then the frame icon and ImageToGrid.
    void OnInitialUpdate();
    // Fills every cell, the column layout, the main window title and the
    // band limits from the image, in the global device mode.
    void ImageToGrid() override;
    // Writes the grid back into the image. Rows that still hold the texts
    // ImageToGrid (or the previous GridToImage) gave them keep their bytes;
    // changed rows are encoded, keeping the bytes of the side the device
    // mode hides.
    void GridToImage() override;
    // Hides the frequency, tone, bandwidth and scan editors.
    void HideEditors();
    // Commits an open editor with the rules of leaving its cell.
    void CommitPendingEdit() override { OnLeaveCell(); }
    // Main window title and band limits from image offsets 0x32E and 0x32F.
    void UpdateTitleAndBand();

    // The grid's events.
    void OnEnterCell();
    void OnLeaveCell() override;
    void OnGridMouseDown(short button, short shift, int x, int y);

    // Lays the current column's editor over the current cell and focuses it.
    void PlaceEditor();
    // The editor of a data column (the Rx Frequency box for any other number).
    QWidget* EditorForColumn(int column) const;

    // The texts the grid shows now: headings in row 0, channel numbers in
    // column 0. An editor's pending text is not part of it.
    ChannelTable GridTexts() const override;
    // What ImageToGrid (or the last GridToImage) put in the grid.
    ChannelTable ShownTexts() const override { return m_shownTexts; }
    void RestoreTexts(const ChannelTable& texts, const ChannelTable& shown) override;

    // Selected channels (highlighted rows) and the current channel.
    std::vector<int> SelectedChannels() const override { return m_selection.Channels(); }
    int CurrentChannel() const override;
    int CurrentColumn() const override;
    void SelectChannels(const std::vector<int>& channels) override;
    void DropPendingEdit() override;
    // While blocked (a radio transfer runs), the grid takes no edits.
    void SetEditingBlocked(bool blocked);
    bool IsEditingBlocked() const override { return m_bEditingBlocked; }

    bool OnCmdMsg(int id, CCmdUI* ui) override;

    CLanguageDlg* LanguageDialog() const { return m_pLanguageDlg; }
    // Print, print without the dialog and Print Preview of the listing.
    CPrintCommands* PrintCommands() const { return m_pPrintCommands.get(); }
    CRadioLink* RadioLink() const { return m_pRadioLink; }

    std::int32_t m_nBandHigh = 0;  // upper band limit, 10 Hz units, inclusive
    std::int32_t m_nBandLow = 0;   // lower band limit, 10 Hz units, inclusive

signals:
    // The grid became editable or read only (device mode, a transfer).
    void editableChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateEditors();
    void BuildGrid();
    // Copies the session's table into the grid cells and the session's
    // editor state onto the widgets.
    void ShowSession();
    void ShowMessage(EditMessage message);
    // Hands the open editor's text to the session.
    void TakeEditorText();
    void LoadEditor();
    // Shows the session's open editor, hides every other one.
    void SyncEditors();
    void ApplyEnabled();
    void OnEnterKey();
    // Keys: the grid's own while no editor is open, an open editor's
    // commands (Enter, Tab, Up/Down in a text box, Escape).
    void OnGridKey(QKeyEvent* key);
    bool OnEditorKey(QObject* editor, QKeyEvent* key);
    // Moves the current cell without opening an editor.
    void MoveQuietly(int row, int column);
    // Commits the open editor by the leave rules and opens the editor of the
    // cell the move gives.
    void MoveFromEditor(GridMove move);
    // Opens the current cell's editor, with a typed text when given.
    void OpenCurrentEditor(const QString* typed);
    // Escape: drops the pending value and gives the keyboard to the grid.
    void CancelEditor();
    // Shows where the keyboard is.
    void UpdateHighlight();
    // Runs a commit of the session, copies its texts to the grid, marks the
    // document modified when a text changed and shows the message.
    template <typename Commit> auto RunCommit(Commit commit);
    void OnHelpKey();
    void OnLanguage();
    void CopyTableToGrid();
    // Highlights the selected rows across their cells.
    void ShowSelection();
    // A press on a channel number: selects, extends or toggles.
    void OnChannelNumberPressed(int channel, Qt::KeyboardModifiers modifiers);
    // The row commands at a point of the grid (in grid coordinates).
    void ShowContextMenu(const QPoint& pos);
    // Keys of the row commands and the selection while the grid has the
    // keyboard; true when the key was taken.
    bool OnRowKey(const QKeyEvent& key);

    CProgramDoc* m_pDocument;
    IAppServices& m_app;
    QLabel* m_pTitle = nullptr;
    CMSFlexGrid* m_pGrid = nullptr;
    bool m_bFirstInit = true;
    bool m_bEditingBlocked = false;
    bool m_bQuietMove = false;  // a keyboard move over the grid opens no editor
    ChannelEditSession m_session;
    // What ImageToGrid (or the last GridToImage) put in the grid.
    ChannelTable m_shownTexts;
    ChannelSelection m_selection;
    std::array<QWidget*, kTableCols> m_editors{};  // by data column 1..8
    CLanguageDlg* m_pLanguageDlg = nullptr;
    std::unique_ptr<CPrintCommands> m_pPrintCommands;
    CRadioLink* m_pRadioLink = nullptr;  // Read, Write, Com Setup and the transfer
};
