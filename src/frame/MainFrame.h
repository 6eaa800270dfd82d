#pragma once
// The main window: menus, accelerators, toolbar and status bar from the
// language bundle, the navigation bar on the left, the workspace with the
// channel windows, and the routing of every command and help request.

#include "base/LanguageResources.h"
#include "base/CmdTarget.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

class CChildFrame;
class IAppServices;
class CMdiClientWnd;
class CNavigationBar;
class COptionalFeaturesDlg;
class CProductInfoDlg;
class CProgramDoc;
class QLabel;
class QMenu;
class QToolBar;
class QTreeWidgetItem;

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
    QList<QMenu*> CurrentMenu() const;
    int CurrentMenuId() const { return m_nCurrentMenu; }

    CNavigationBar* NavigationBar() const { return m_pNavigationBar; }
    CMdiClientWnd* MdiClient() const { return m_pMdiClient; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    QAction* ToolBarAction(int id) const;

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

    void ShowControlBar(QWidget* bar, bool show);

    // Edit and navigation commands; virtual so that a test can watch them.
    virtual void OnProductInformation();
    virtual void OnChannelInformation();
    virtual void OnOptionalFeatures();
    // The settings dialogs, made at their first use and kept with the frame.
    COptionalFeaturesDlg* OptionalFeaturesDialog() const { return m_pOptionalFeaturesDlg; }
    CProductInfoDlg* ProductInfoDialog() const { return m_pProductInfoDlg; }
    void OnToggleNavigationBar();
    // A settled change of the tree's selection (CNavigationTree): a left
    // click runs the command of the item under the pointer; every change
    // ends with the root selected again.
    void OnTreeSelChanged(bool byLeftClick);

    bool OnCmdMsg(int id, CCmdUI* ui) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool CreateToolBar();
    bool CreateStatusBar();
    bool CreateNavigationBar();
    void CreateAccelerators();
    QList<QMenu*> BuildMenu(int id);
    void FillMenu(QMenu* menu, const QList<MenuResourceItem>& items);
    void SwitchMenu();
    void UpdateMenuState(QMenu* menu);
    void OnSubWindowActivated();
    void OnNextPane(int direction);

    IAppServices& m_app;
    CCmdTarget* m_pAppCommands;
    CNavigationBar* m_pNavigationBar = nullptr;
    CMdiClientWnd* m_pMdiClient = nullptr;
    QLabel* m_pReady = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QHash<int, QAction*> m_toolBarActions;
    QList<QMenu*> m_menuNoDocument;  // 128
    QList<QMenu*> m_menuDocument;    // 129
    int m_nCurrentMenu = 0;
    QPointer<CChildFrame> m_pLastActive;
    COptionalFeaturesDlg* m_pOptionalFeaturesDlg = nullptr;
    CProductInfoDlg* m_pProductInfoDlg = nullptr;
};
