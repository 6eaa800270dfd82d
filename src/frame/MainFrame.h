#pragma once
// The main window: its bars (CFrameBars), the navigation bar on the left,
// the workspace with the channel windows, the settings commands, and the
// routing of every command and help request.

#include "base/CmdTarget.h"
#include "frame/FrameBars.h"
#include "frame/SettingsCommands.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

class CChildFrame;
class IAppServices;
class CMdiClientWnd;
class CNavigationBar;
class CProgramDoc;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow, public CCmdTarget
{
    Q_OBJECT
public:
    static constexpr int kInitialWidth = 900;
    static constexpr int kInitialHeight = 550;

    // app: handed to every document window made here. appCommands: the
    // last stop of the command route (the application's own commands).
    CMainFrame(IAppServices& app, CCmdTarget* appCommands);
    ~CMainFrame() override;

    // Builds the bars, menus, tree and workspace; false when one could not
    // be made (the frame is then unusable).
    bool Create();

    // The active channel window, which may be hidden; null when none is open.
    CChildFrame* MDIGetActive() const;
    QList<CChildFrame*> ChildFrames() const;
    CChildFrame* CreateChildFrame(CProgramDoc* document);
    // Shows a new channel window and gives its view its first update.
    void InitialUpdateFrame(CChildFrame* frame);
    void ActivateFrame(CChildFrame* frame);
    void DestroyChildFrame(CChildFrame* frame);

    // Top-level menus shown now: menu 129 while a channel window exists, else 128.
    QList<QMenu*> CurrentMenu() const { return m_pBars->CurrentMenu(); }
    int CurrentMenuId() const { return m_pBars->CurrentMenuId(); }
    // The menus, toolbar, accelerators and status bar.
    CFrameBars* Bars() const { return m_pBars; }

    CNavigationBar* NavigationBar() const { return m_pNavigationBar; }
    CMdiClientWnd* MdiClient() const { return m_pMdiClient; }
    QToolBar* ToolBar() const { return m_pBars->ToolBar(); }
    QAction* ToolBarAction(int id) const { return m_pBars->ToolBarAction(id); }

    // Runs a command when it is available.
    void OnCommand(int id);
    // Asks the route (view, document, child frame, this frame, application).
    bool RouteCommand(int id, CCmdUI* ui);
    // Refreshes the enabled and checked state of the toolbar buttons.
    void UpdateToolBarState();
    // "Ready", or why the channel window in front cannot be edited.
    void UpdateIdleText();

    // Help request: opens context number data - 0x10000.
    void WinHelp(int data);

    // The window's size, position and maximised state and the navigation
    // bar's width, kept for the user when the frame closes; Restore shows
    // the frame as it was left and is false (nothing shown) when nothing
    // was kept.
    void SaveWindowState() const;
    bool RestoreWindowState();

    void ShowControlBar(QWidget* bar, bool show);

    // Edit and navigation commands; virtual so that a test can watch them.
    virtual void OnProductInformation();
    virtual void OnChannelInformation();
    virtual void OnOptionalFeatures();
    // The settings dialogs, made at their first use and kept with the frame.
    COptionalFeaturesDlg* OptionalFeaturesDialog() const { return m_settings.OptionalFeaturesDialog(); }
    CProductInfoDlg* ProductInfoDialog() const { return m_settings.ProductInfoDialog(); }
    void OnToggleNavigationBar();
    // A settled change of the tree's selection (CNavigationTree): a left
    // click runs the command of the item under the pointer, found by the
    // command ID it carries; every change ends with the root selected again.
    void OnTreeSelChanged(bool byLeftClick);

    bool OnCmdMsg(int id, CCmdUI* ui) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool CreateNavigationBar();
    // The document menu while a channel window exists, else the other one.
    void SwitchMenu();
    void OnSubWindowActivated();
    void OnNextPane(int direction);

    IAppServices& m_app;
    CCmdTarget* m_pAppCommands;
    CFrameBars* m_pBars = nullptr;
    CNavigationBar* m_pNavigationBar = nullptr;
    CMdiClientWnd* m_pMdiClient = nullptr;
    QPointer<CChildFrame> m_pLastActive;
    CSettingsCommands m_settings;
};
