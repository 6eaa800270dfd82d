#pragma once
// The window of a radio document: the configured title line above the
// channel grid. The view shows the document's channels (the texts of its
// DocumentChannels), puts the radio type and band into the main window
// title and keeps the band limits that typed frequencies are checked
// against. It changes nothing itself: every edit goes through the
// document's Apply, and the view redraws when the document says its
// channels changed.
//
// Editing is done by eight editors laid over the current cell. The rules of
// editing (what Enter and leaving a cell do to the texts) live in the core's
// ChannelEditSession, which works on the document's channels; the view only
// feeds it the grid's events and the editors' texts, shows its messages and
// mirrors its editor state onto the widgets. Which key does what is the
// core's GridKeys table. The editing half of the class is in
// ProgramViewEditing.cpp.

#include "base/CmdTarget.h"
#include "channels/ChannelWindow.h"
#include "core/channels/ChannelEditing.h"
#include "core/channels/ChannelRows.h"
#include "core/channels/ChannelTable.h"
#include "core/channels/GridKeys.h"
#include "document/ProgramDoc.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

class CChannelBulkCommands;
class CLanguageDlg;
class CMSFlexGrid;
class CPrintCommands;
class IAppServices;
class CRadioLink;
class QKeyEvent;
class QLabel;

class CProgramView : public QWidget, public CCmdTarget, public IChannelWindow
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
    // once, then the frame icon and ImageToGrid; the document's undo history
    // starts here.
    void OnInitialUpdate();
    // The document's texts anew from its image in the global device mode
    // (a change of the device mode); the view shows them.
    void ImageToGrid() { m_pDocument->ImageToGrid(); }
    // Hides the frequency, tone, bandwidth and scan editors.
    void HideEditors();
    // Main window title and band limits from image offsets 0x32E and 0x32F.
    void UpdateTitleAndBand();

    // The grid's events.
    void OnEnterCell();
    void OnLeaveCell();
    void OnGridMouseDown(short button, short shift, int x, int y);

    // Lays the current column's editor over the current cell and focuses it.
    void PlaceEditor();
    // The editor of a data column (the Rx Frequency box for any other number).
    QWidget* EditorForColumn(int column) const;

    // The texts the grid shows now: headings in row 0, channel numbers in
    // column 0. An editor's pending text is not part of it.
    const ChannelTable& GridTexts() const { return m_pDocument->Channels().Cells(); }

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

    std::int32_t m_nBandHigh = 0; // upper band limit, 10 Hz units, inclusive
    std::int32_t m_nBandLow = 0;  // lower band limit, 10 Hz units, inclusive

signals:
    // The grid became editable or read only (device mode, a transfer).
    void editableChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- Showing the document (ProgramView.cpp).
    void BuildGrid();
    // The document's channels changed: whole when its texts were filled anew
    // from the image (column layout, editable state, title and band follow).
    void OnChannelsChanged(bool whole);
    void OnPendingEditRequested(bool closeEditors);
    void CopyTableToGrid();
    void ApplyEnabled();
    // Highlights the selected rows across their cells.
    void ShowSelection();
    // A press on a channel number: selects, extends or toggles.
    void OnChannelNumberPressed(int channel, Qt::KeyboardModifiers modifiers);
    // The row commands at a point of the grid (in grid coordinates).
    void ShowContextMenu(const QPoint& pos);
    // The row commands as actions of the grid whose shortcuts are the row
    // keys while the grid has the keyboard.
    void CreateRowActions();
    // Runs a command when it is available.
    void RunCommand(int id);
    // Fill Down, Ctrl+Enter, Sort and Channel Plan on this window.
    CChannelBulkCommands BulkCommands();
    // Keys of the row commands and the selection while the grid has the
    // keyboard; true when the key was taken.
    bool OnRowKey(const QKeyEvent& key);
    void OnHelpKey();
    void OnLanguage();

    // ---- Editing (ProgramViewEditing.cpp).
    void CreateEditors();
    void ShowMessage(EditMessage message);
    // Hands the open editor's text to the session.
    void TakeEditorText();
    void LoadEditor();
    // Shows the session's open editor, hides every other one.
    void SyncEditors();
    void OnEnterKey();
    // The grid's own keys while no editor is open, an open editor's
    // commands (Enter, Tab, Up/Down in a text box, Escape).
    void OnGridKey(QKeyEvent* key);
    bool OnEditorKey(QObject* editor, QKeyEvent* key);
    // The keys of the editors and the grid; true when taken.
    bool OnViewKey(QObject* watched, QEvent* event);
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
    // Runs a commit of the session as one change of the document and shows
    // the changed texts.
    template <typename Commit>
    auto RunCommit(Commit commit);
    bool IsEditor(const QObject* object) const;

    CProgramDoc* m_pDocument;
    IAppServices& m_app;
    QLabel* m_pTitle = nullptr;
    CMSFlexGrid* m_pGrid = nullptr;
    bool m_bFirstInit = true;
    bool m_bEditingBlocked = false;
    bool m_bQuietMove = false; // a keyboard move over the grid opens no editor
    ChannelEditSession m_session;
    ChannelSelection m_selection;
    std::array<QWidget*, kTableCols> m_editors{}; // by data column 1..8
    CLanguageDlg* m_pLanguageDlg = nullptr;
    std::unique_ptr<CPrintCommands> m_pPrintCommands;
    CRadioLink* m_pRadioLink = nullptr; // Read, Write, Com Setup and the transfer
};
