#include "frame/MainFrame.h"

#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelTable.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/KeyboardReach.h"
#include "frame/MdiClientWnd.h"
#include "frame/NavigationBar.h"
#include "link/TransferBusy.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStatusBar>
#include <QToolBar>

namespace {

// Per-user values of the window's state.
constexpr const char* kWindowValue = "Main Window";
constexpr const char* kNavigationWidthValue = "Navigation Width";

} // namespace

CMainFrame::CMainFrame(IAppServices& app, CCmdTarget* appCommands)
    : m_app(app)
    , m_pAppCommands(appCommands)
    , m_pBars(new CFrameBars(
          this, [this](int id) { OnCommand(id); }, [this](int id, CCmdUI* ui) { return RouteCommand(id, ui); }))
    , m_settings(this)
{
    // Window size before creation; the position is left to the system.
    resize(kInitialWidth, kInitialHeight);
}

CMainFrame::~CMainFrame()
{
    // Channel windows (with their views and documents) go before the bars
    // and menus that their commands refer to.
    for (CChildFrame* frame : ChildFrames())
        frame->DestroyWindow();
    if (CHelpViewer* viewer = HelpViewer())
        delete viewer;
}

bool CMainFrame::Create()
{
    if (!g_pResources)
        return false;
    setWindowTitle(g_pResources->LoadString(Ids::IDR_MAINFRAME));
    setWindowIcon(g_pResources->LoadIcon(Ids::IDR_MAINFRAME));

    if (!m_pBars->CreateToolBar() || !m_pBars->CreateStatusBar() || !CreateNavigationBar())
        return false;

    m_pMdiClient = new CMdiClientWnd;
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pNavigationBar);
    layout->addWidget(m_pMdiClient, 1);
    setCentralWidget(central);
    connect(m_pMdiClient, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    if (!m_pBars->CreateMenus())
        return false;
    SwitchMenu();
    m_pBars->CreateAccelerators();
    // Accessibility: tree keys, Ctrl+Tab, dialog focus, status bar name. A
    // tree item opens by the command it carries.
    new KeyboardReach(this, m_pNavigationBar->GetTree(), m_pMdiClient, [this](QTreeWidgetItem* item) {
        if (const int id = item->data(0, CNavigationTree::kCommandRole).toInt(); id != 0)
            OnCommand(id);
    });

    // Toolbar buttons follow the availability of their commands whenever
    // the program is about to wait for input.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::UpdateToolBarState);
    return true;
}

bool CMainFrame::CreateNavigationBar()
{
    m_pNavigationBar = new CNavigationBar(this, [this] { ShowControlBar(m_pNavigationBar, false); });
    if (!m_pNavigationBar->Initialise())
        return false;
    CNavigationTree* tree = m_pNavigationBar->GetTree();
    tree->Fill(LanguageText("Company"), {{Ids::ID_PRODUCT_INFORMATION, Lang("Product Information", "类型设置")},
                                         {Ids::ID_CHANNEL_INFORMATION, Lang("Channel Information", "信道信息")},
                                         {Ids::ID_OPTIONAL_FEATURES, Lang("Optional Features", "可选功能")}});
    // Queued: the selection is moved back to the root once the tree has
    // finished with the event that changed it.
    connect(tree, &CNavigationTree::selectionSettled, this, &CMainFrame::OnTreeSelChanged, Qt::QueuedConnection);
    return true;
}

void CMainFrame::SwitchMenu()
{
    m_pBars->SwitchMenu(!ChildFrames().isEmpty());
}

void CMainFrame::UpdateToolBarState()
{
    UpdateIdleText();
    m_pBars->UpdateToolBarState();
}

void CMainFrame::UpdateIdleText()
{
    // The idle text of the status bar says when the channel window in front
    // cannot be edited (a radio model whose channels are read only).
    CChildFrame* active = MDIGetActive();
    const QString idle = active && active->isVisible() && !GridEnabled(g_nDeviceMode)
                             ? Lang("The channels of this radio model can be viewed but not changed.",
                                    "此型号对讲机的信道只能查看,不能修改。")
                             : g_pResources->LoadString(Ids::IDS_IDLE_MESSAGE);
    m_pBars->SetIdleText(idle);
}

bool CMainFrame::RouteCommand(int id, CCmdUI* ui)
{
    if (CChildFrame* child = MDIGetActive()) {
        if (CProgramView* view = child->GetActiveView(); view && view->OnCmdMsg(id, ui))
            return true;
        if (CProgramDoc* document = child->GetDocument(); document && document->OnCmdMsg(id, ui))
            return true;
        if (child->OnCmdMsg(id, ui))
            return true;
    }
    if (OnCmdMsg(id, ui))
        return true;
    return m_pAppCommands && m_pAppCommands->OnCmdMsg(id, ui);
}

void CMainFrame::OnCommand(int id)
{
    CCmdUI ui(id);
    if (!RouteCommand(id, &ui) || !ui.m_bEnabled)
        return;
    RouteCommand(id, nullptr);
}

bool CMainFrame::OnCmdMsg(int id, CCmdUI* ui)
{
    switch (id) {
    case Ids::ID_VIEW_TOOLBAR:
        if (ui)
            ui->SetCheck(!ToolBar()->isHidden());
        else
            ShowControlBar(ToolBar(), ToolBar()->isHidden());
        return true;
    case Ids::ID_VIEW_STATUS_BAR:
        if (ui)
            ui->SetCheck(!statusBar()->isHidden());
        else
            ShowControlBar(statusBar(), statusBar()->isHidden());
        return true;
    case Ids::ID_CONTROL_BAR:
        if (ui)
            ui->SetCheck(!m_pNavigationBar->isHidden());
        else
            OnToggleNavigationBar();
        return true;
    case Ids::ID_PRODUCT_INFORMATION:
        if (ui)
            ui->Enable(MDIGetActive() != nullptr);
        else
            OnProductInformation();
        return true;
    case Ids::ID_CHANNEL_INFORMATION:
        if (!ui)
            OnChannelInformation();
        return true;
    case Ids::ID_OPTIONAL_FEATURES:
        if (ui)
            ui->Enable(MDIGetActive() != nullptr);
        else
            OnOptionalFeatures();
        return true;
    case Ids::ID_NEXT_PANE:
    case Ids::ID_PREV_PANE:
        if (!ui)
            OnNextPane(id == Ids::ID_NEXT_PANE ? 1 : -1);
        return true;
    case Ids::ID_HELP:
        if (!ui)
            WinHelp(Ids::HID_BASE_RESOURCE + Ids::IDR_MAINFRAME);
        return true;
    case Ids::ID_HELP_FINDER:
        if (!ui)
            WinHelp(Ids::HID_BASE_COMMAND + Ids::ID_HELP_FINDER);
        return true;
    default: return false;
    }
}

void CMainFrame::WinHelp(int data)
{
    ContextHelp(data - Ids::HID_BASE_COMMAND);
}

void CMainFrame::ShowControlBar(QWidget* bar, bool show)
{
    bar->setVisible(show);
    if (centralWidget() && centralWidget()->layout())
        centralWidget()->layout()->activate();
}

void CMainFrame::OnProductInformation()
{
    CChildFrame* child = MDIGetActive();
    CUserStore store = CUserStore::ForApplication();
    m_settings.OnProductInformation(child ? child->GetDocument() : nullptr, child ? child->GetActiveView() : nullptr,
                                    store);
}

void CMainFrame::OnOptionalFeatures()
{
    CChildFrame* child = MDIGetActive();
    m_settings.OnOptionalFeatures(child ? child->GetDocument() : nullptr, g_nDeviceMode, IsChinese());
}

void CMainFrame::OnChannelInformation()
{
    if (CChildFrame* child = MDIGetActive()) {
        ActivateFrame(child);
        return;
    }
    showNormal();
    activateWindow();
}

void CMainFrame::OnToggleNavigationBar()
{
    ShowControlBar(m_pNavigationBar, m_pNavigationBar->isHidden());
}

void CMainFrame::OnTreeSelChanged(bool byLeftClick)
{
    CNavigationTree* tree = m_pNavigationBar->GetTree();
    // Only a left click that selected an item asks for its command; the
    // item is the one under the pointer.
    const int id = byLeftClick ? tree->CommandAt(tree->viewport()->mapFromGlobal(QCursor::pos())) : 0;
    if (id == Ids::ID_CHANNEL_INFORMATION)
        OnChannelInformation();
    else if (id == Ids::ID_OPTIONAL_FEATURES)
        OnOptionalFeatures();
    else if (id == Ids::ID_PRODUCT_INFORMATION)
        OnProductInformation();

    // The selection goes back to the root, so the next click on the same
    // item is a change again. Moving it back does not run this handler a
    // second time: were it let through, it would be a change made by no
    // click at all, and a second run would hit-test wherever the pointer
    // happens to rest once a dialog opened by the first run has closed,
    // possibly over another item whose command nobody asked for.
    tree->ReturnToRoot();
}

CChildFrame* CMainFrame::MDIGetActive() const
{
    if (m_pLastActive)
        return m_pLastActive;
    if (!m_pMdiClient)
        return nullptr;
    const QList<QMdiSubWindow*> windows = m_pMdiClient->subWindowList(QMdiArea::ActivationHistoryOrder);
    return windows.isEmpty() ? nullptr : qobject_cast<CChildFrame*>(windows.last());
}

QList<CChildFrame*> CMainFrame::ChildFrames() const
{
    QList<CChildFrame*> frames;
    if (!m_pMdiClient)
        return frames;
    for (QMdiSubWindow* window : m_pMdiClient->subWindowList()) {
        if (auto* frame = qobject_cast<CChildFrame*>(window))
            frames.append(frame);
    }
    return frames;
}

CChildFrame* CMainFrame::CreateChildFrame(CProgramDoc* document)
{
    auto* view = new CProgramView(document, m_app);
    connect(view, &CProgramView::editableChanged, this, &CMainFrame::UpdateIdleText);
    auto* frame = new CChildFrame(document, view);
    m_pMdiClient->addSubWindow(frame);
    frame->PreCreateWindow();
    return frame;
}

void CMainFrame::InitialUpdateFrame(CChildFrame* frame)
{
    frame->show();
    m_pMdiClient->setActiveSubWindow(frame);
    m_pLastActive = frame;
    SwitchMenu();
    frame->GetActiveView()->OnInitialUpdate();
    UpdateToolBarState();
}

void CMainFrame::ActivateFrame(CChildFrame* frame)
{
    frame->showNormal();
    m_pMdiClient->setActiveSubWindow(frame);
    m_pLastActive = frame;
}

void CMainFrame::DestroyChildFrame(CChildFrame* frame)
{
    frame->DestroyWindow();
    SwitchMenu();
}

void CMainFrame::OnSubWindowActivated()
{
    if (auto* frame = qobject_cast<CChildFrame*>(m_pMdiClient->activeSubWindow()))
        m_pLastActive = frame;
    SwitchMenu();
    UpdateIdleText();
}

void CMainFrame::OnNextPane(int direction)
{
    QList<QWidget*> panes;
    if (!m_pNavigationBar->isHidden())
        panes.append(m_pNavigationBar->GetTree());
    if (CChildFrame* child = MDIGetActive(); child && !child->isHidden())
        panes.append(child->GetActiveView());
    if (panes.isEmpty())
        return;
    int current = -1;
    for (int i = 0; i < panes.size(); ++i) {
        if (panes[i]->isAncestorOf(QApplication::focusWidget()) || panes[i] == QApplication::focusWidget())
            current = i;
    }
    const int next = (current + direction + panes.size()) % panes.size();
    panes[next]->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Not while a radio transfer runs inside one of the views.
    if (IsRadioTransferBusy()) {
        event->ignore();
        return;
    }
    // Every document with unsaved changes is offered for saving, hidden
    // channel windows included; a cancel keeps the program running.
    for (CChildFrame* frame : ChildFrames()) {
        if (!frame->GetDocument()->SaveModified()) {
            event->ignore();
            return;
        }
    }
    if (CHelpViewer* viewer = HelpViewer())
        viewer->close();
    SaveWindowState();
    event->accept();
}

void CMainFrame::SaveWindowState() const
{
    CUserStore store = CUserStore::ForApplication();
    store.SetString(kWindowValue, saveGeometry().toBase64().toStdString());
    store.SetDword(kNavigationWidthValue, static_cast<std::uint32_t>(m_pNavigationBar->BarWidth()));
}

bool CMainFrame::RestoreWindowState()
{
    const CUserStore store = CUserStore::ForApplication();
    if (const auto width = store.QueryDword(kNavigationWidthValue); width && *width < 100000)
        m_pNavigationBar->SetBarWidth(static_cast<int>(*width));
    const std::string geometry = store.QueryString(kWindowValue);
    if (geometry.empty() || !restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry))))
        return false;
    // restoreGeometry sets the maximised state; show() keeps it.
    show();
    return true;
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        OnCommand(Ids::ID_HELP);
        return;
    }
    QMainWindow::keyPressEvent(event);
}
