#include "frame/MainFrame.h"

#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "base/Remembered.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelTable.h"
#include "core/settings/ProductInfo.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MdiClientWnd.h"
#include "frame/NavigationBar.h"
#include "frame/KeyboardReach.h"  // accessibility
#include "link/TransferBusy.h"
#include "settings/OptionalFeaturesDlg.h"
#include "settings/ProductInfoDlg.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// Per-user values of the window's state.
constexpr const char* kWindowValue = "Main Window";
constexpr const char* kNavigationWidthValue = "Navigation Width";

// The status-bar prompt of a command: the text before "\n" of its string.
QString PromptOf(int id)
{
    return g_pResources->LoadString(id).section('\n', 0, 0);
}

// The tooltip of a command: the text after "\n" of its string.
QString TooltipOf(int id)
{
    return g_pResources->LoadString(id).section('\n', 1);
}

}  // namespace

CMainFrame::CMainFrame(IAppServices& app, CCmdTarget* appCommands)
    : m_app(app)
    , m_pAppCommands(appCommands)
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

    if (!CreateToolBar() || !CreateStatusBar() || !CreateNavigationBar())
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

    m_menuNoDocument = BuildMenu(Ids::IDR_MAINFRAME);
    m_menuDocument = BuildMenu(Ids::IDR_PROGRAMTYPE);
    if (m_menuNoDocument.isEmpty() || m_menuDocument.isEmpty())
        return false;
    SwitchMenu();
    CreateAccelerators();
    // Accessibility: tree keys, Ctrl+Tab, dialog focus, status bar name.
    new KeyboardReach(this, m_pNavigationBar->GetTree(), m_pMdiClient, [this](QTreeWidgetItem* item) {
        const QString text = item->text(0);
        if (text == Lang("Channel Information", "信道信息"))
            OnChannelInformation();
        else if (text == Lang("Optional Features", "可选功能"))
            OnOptionalFeatures();
        else if (text == Lang("Product Information", "类型设置"))
            OnProductInformation();
    });

    // Toolbar buttons follow the availability of their commands whenever
    // the program is about to wait for input.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::UpdateToolBarState);
    return true;
}

bool CMainFrame::CreateToolBar()
{
    const ToolbarResource resource = g_pResources->LoadToolbar(Ids::IDR_MAINFRAME);
    if (resource.strip.isNull() || resource.button.isEmpty() || resource.buttons.isEmpty())
        return false;
    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar"));
    m_pToolBar->setIconSize(resource.button);
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->setFloatable(true);
    m_pToolBar->setMovable(true);
    m_pToolBar->setProperty("ctrlId", Ids::AFX_IDW_TOOLBAR);
    int image = 0;
    for (int id : resource.buttons) {
        if (id == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        const QPixmap picture = resource.strip.copy(image * resource.button.width(), 0,
                                                    resource.button.width(), resource.button.height());
        ++image;
        QAction* action = m_pToolBar->addAction(QIcon(picture), TooltipOf(id));
        action->setProperty("commandId", id);
        action->setToolTip(TooltipOf(id));
        action->setStatusTip(PromptOf(id));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_toolBarActions.insert(id, action);
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    return true;
}

bool CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setProperty("ctrlId", Ids::AFX_IDW_STATUS_BAR);
    m_pReady = new QLabel(g_pResources->LoadString(Ids::IDS_IDLE_MESSAGE), bar);
    m_pReady->setObjectName(QStringLiteral("idleText"));
    bar->addWidget(m_pReady, 1);
    // Lock-key indicator panes, as wide as their texts; the platform gives
    // the program no lock-key state to show in them.
    for (int id : {Ids::IDS_INDICATOR_CAPS, Ids::IDS_INDICATOR_NUM, Ids::IDS_INDICATOR_SCRL}) {
        auto* pane = new QLabel(bar);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(g_pResources->LoadString(id)) + 10);
        pane->setProperty("indicatorText", g_pResources->LoadString(id));
        bar->addPermanentWidget(pane);
    }
    return true;
}

bool CMainFrame::CreateNavigationBar()
{
    m_pNavigationBar = new CNavigationBar(this, [this] { ShowControlBar(m_pNavigationBar, false); });
    if (!m_pNavigationBar->Initialise())
        return false;
    CNavigationTree* tree = m_pNavigationBar->GetTree();
    tree->setRootIsDecorated(true);
    tree->setItemsExpandable(true);
    auto* root = new QTreeWidgetItem(tree, {LanguageText("Company")});
    static const char* const kItems[][2] = {{"Product Information", "类型设置"},
                                            {"Channel Information", "信道信息"},
                                            {"Optional Features", "可选功能"}};
    for (const auto& texts : kItems)
        new QTreeWidgetItem(root, {Lang(texts[0], texts[1])});
    root->setExpanded(true);
    tree->setCurrentItem(root);
    // Queued: the selection is moved back to the root once the tree has
    // finished with the event that changed it.
    connect(tree, &CNavigationTree::selectionSettled, this, &CMainFrame::OnTreeSelChanged, Qt::QueuedConnection);
    return true;
}

void CMainFrame::CreateAccelerators()
{
    for (const AcceleratorResource& accelerator : g_pResources->LoadAccelerators(Ids::IDR_MAINFRAME)) {
        auto* shortcut = new QShortcut(accelerator.key, this);
        const int id = accelerator.id;
        shortcut->setProperty("commandId", id);
        connect(shortcut, &QShortcut::activated, this, [this, id] { OnCommand(id); });
    }
}

QList<QMenu*> CMainFrame::BuildMenu(int id)
{
    QList<QMenu*> menus;
    for (const MenuResourceItem& popup : g_pResources->LoadMenu(id)) {
        auto* menu = new QMenu(popup.text, this);
        FillMenu(menu, popup.items);
        menus.append(menu);
    }
    return menus;
}

void CMainFrame::FillMenu(QMenu* menu, const QList<MenuResourceItem>& items)
{
    menu->installEventFilter(this);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenuState(menu); });
    for (const MenuResourceItem& item : items) {
        if (item.separator) {
            menu->addSeparator();
        } else if (item.IsPopup() && !item.items.isEmpty() && item.items.first().id == Ids::ID_FILE_MRU_FILE1) {
            QMenu* recent = menu->addMenu(item.text);
            const QString placeholder = item.items.first().text;
            connect(recent, &QMenu::aboutToShow, this,
                    [this, recent, placeholder] { FillRecentFilesMenu(recent, placeholder); });
            FillMenu(recent, {});
        } else if (item.IsPopup()) {
            FillMenu(menu->addMenu(item.text), item.items);
        } else {
            QAction* action = menu->addAction(item.text);
            const int id = item.id;
            action->setProperty("commandId", id);
            action->setStatusTip(PromptOf(id));
            connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        }
    }
}

void CMainFrame::FillRecentFilesMenu(QMenu* menu, const QString& placeholder)
{
    menu->clear();
    const QStringList files = Remembered::RecentFiles();
    if (files.isEmpty()) {
        menu->addAction(placeholder)->setEnabled(false);
        return;
    }
    for (int i = 0; i < files.size() && Ids::ID_FILE_MRU_FILE1 + i <= Ids::ID_FILE_MRU_LAST; ++i) {
        // "&1 /home/ann/radio.dat"; an ampersand in the path is shown as one.
        QString path = QDir::toNativeSeparators(files.at(i));
        path.replace('&', QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        const int id = Ids::ID_FILE_MRU_FILE1 + i;
        action->setProperty("commandId", id);
        action->setStatusTip(PromptOf(id));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
}

void CMainFrame::SwitchMenu()
{
    const int wanted = ChildFrames().isEmpty() ? Ids::IDR_MAINFRAME : Ids::IDR_PROGRAMTYPE;
    if (wanted == m_nCurrentMenu)
        return;
    m_nCurrentMenu = wanted;
    menuBar()->clear();
    for (QMenu* menu : CurrentMenu())
        menuBar()->addMenu(menu);
}

QList<QMenu*> CMainFrame::CurrentMenu() const
{
    return m_nCurrentMenu == Ids::IDR_PROGRAMTYPE ? m_menuDocument : m_menuNoDocument;
}

void CMainFrame::UpdateMenuState(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        const int id = action->property("commandId").toInt();
        if (id == 0)
            continue;
        CCmdUI ui(id);
        const bool handled = RouteCommand(id, &ui);
        action->setEnabled(handled && ui.m_bEnabled);
        action->setCheckable(ui.m_checked.has_value());
        if (ui.m_checked)
            action->setChecked(*ui.m_checked);
    }
}

void CMainFrame::UpdateToolBarState()
{
    UpdateIdleText();
    for (auto it = m_toolBarActions.cbegin(); it != m_toolBarActions.cend(); ++it) {
        CCmdUI ui(it.key());
        const bool enabled = RouteCommand(it.key(), &ui) && ui.m_bEnabled;
        if (it.value()->isEnabled() != enabled)
            it.value()->setEnabled(enabled);
    }
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
    if (m_pReady && m_pReady->text() != idle)
        m_pReady->setText(idle);
}

QAction* CMainFrame::ToolBarAction(int id) const
{
    return m_toolBarActions.value(id);
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
            ui->SetCheck(!m_pToolBar->isHidden());
        else
            ShowControlBar(m_pToolBar, m_pToolBar->isHidden());
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
    default:
        return false;
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
    // The Product Information dialog edits the active document; with no
    // document there is nothing to edit. Being modal, it waits until a
    // radio transfer has ended (the tree calls here directly).
    if (IsRadioTransferBusy())
        return;
    CChildFrame* child = MDIGetActive();
    QPointer<CProgramDoc> document = child ? child->GetDocument() : nullptr;
    QPointer<CProgramView> view = child ? child->GetActiveView() : nullptr;
    if (!document || !view)
        return;
    if (!m_pProductInfoDlg)
        m_pProductInfoDlg = new CProductInfoDlg(this);

    CUserStore store = CUserStore::ForApplication();
    const int result = m_pProductInfoDlg->DoModal(g_iniFile, document->m_image, store.QueryDword("Type", 0),
                                                  store.QueryDword("Field", 0));
    if (result != QDialog::Accepted || !document || !view)
        return;
    const CProductInfoDlg& choice = *m_pProductInfoDlg;
    // With no type or no band chosen OK changes nothing: not the image, the
    // title, the limits nor the per-user values.
    if (!IsCompleteProductChoice(choice.m_nType, choice.m_nBand))
        return;
    if (choice.m_bImageChanged)
        document->RecordChange(Lang("Product Information", "类型设置"));

    // The labels stay English here whatever the language; the channel
    // window's next refresh puts its own labels back.
    g_strMainTitle = LanguageText("AppName") + QStringLiteral("  [ Type:") + ConfigText(choice.m_strTypeText)
                     + QStringLiteral("  Fre:") + ConfigText(choice.m_strBandText) + QStringLiteral(" ]");
    setWindowTitle(g_strMainTitle);
    BandLimits(choice.m_strBandText, view->m_nBandLow, view->m_nBandHigh);
    store.SetDword("Type", static_cast<std::uint32_t>(choice.m_nType));
    store.SetDword("Field", static_cast<std::uint32_t>(choice.m_nBand));
}

void CMainFrame::OnOptionalFeatures()
{
    // The Optional Features dialog edits the active document, and only
    // while the radio variant read last is known; not during a transfer.
    if (IsRadioTransferBusy())
        return;
    CChildFrame* child = MDIGetActive();
    QPointer<CProgramDoc> document = child ? child->GetDocument() : nullptr;
    if (!document || g_nDeviceMode == 0)
        return;
    if (!m_pOptionalFeaturesDlg)
        m_pOptionalFeaturesDlg = new COptionalFeaturesDlg(this);

    const int result = m_pOptionalFeaturesDlg->DoModal(document->m_image, g_nDeviceMode, IsChinese());
    if (result == QDialog::Accepted && document && m_pOptionalFeaturesDlg->ImageChanged())
        document->RecordChange(Lang("Optional Features", "可选功能"));
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
    QTreeWidget* tree = m_pNavigationBar->GetTree();
    // Only a left click that selected an item asks for its command; the
    // item is the one under the pointer, found by its text.
    if (byLeftClick) {
        const QPoint point = tree->viewport()->mapFromGlobal(QCursor::pos());
        const QTreeWidgetItem* item = tree->itemAt(point);
        const QString text = item ? item->text(0) : QString();

        if (text == Lang("Channel Information", "信道信息"))
            OnChannelInformation();
        else if (text == Lang("Optional Features", "可选功能"))
            OnOptionalFeatures();
        else if (text == Lang("Product Information", "类型设置"))
            OnProductInformation();
    }

    // The selection goes back to the root, so the next click on the same
    // item is a change again. Moving it back does not run this handler a
    // second time: the tree's signals are blocked while it moves. Were it
    // let through, it would be a change made by no click at all, and a
    // second run would hit-test wherever the pointer happens to rest once a
    // dialog opened by the first run has closed, possibly over another item
    // whose command nobody asked for.
    if (QTreeWidgetItem* root = tree->topLevelItem(0)) {
        const QSignalBlocker blocker(tree);
        tree->setCurrentItem(root);
        tree->viewport()->update();
    }
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

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // F1 on a highlighted menu item asks for the help of its command.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            const QAction* action = menu->activeAction();
            const int id = action ? action->property("commandId").toInt() : 0;
            if (id != 0) {
                while (QWidget* popup = QApplication::activePopupWidget())
                    popup->close();
                menu->close();
                WinHelp(id + Ids::HID_BASE_COMMAND);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        OnCommand(Ids::ID_HELP);
        return;
    }
    QMainWindow::keyPressEvent(event);
}
