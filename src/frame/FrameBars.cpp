#include "frame/FrameBars.h"

#include "base/CmdTarget.h"
#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "base/Remembered.h"
#include "base/ResourceIds.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

namespace {

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

int CommandOf(const QAction* action)
{
    return action ? action->property("commandId").toInt() : 0;
}

// The menu among menus (searched depth first, submenus included) that holds
// an item of command id, and that item.
std::pair<QMenu*, QAction*> FindCommand(const QList<QMenu*>& menus, int id)
{
    for (QMenu* menu : menus) {
        for (QAction* action : menu->actions()) {
            if (CommandOf(action) == id)
                return {menu, action};
            if (action->menu()) {
                if (const auto found = FindCommand({action->menu()}, id); found.first)
                    return found;
            }
        }
    }
    return {nullptr, nullptr};
}

} // namespace

CFrameBars::CFrameBars(QMainWindow* window, RunCommand run, RouteCommand route)
    : QObject(window)
    , m_pWindow(window)
    , m_run(std::move(run))
    , m_route(std::move(route))
{}

bool CFrameBars::CreateToolBar()
{
    const ToolbarResource resource = g_pResources->LoadToolbar(Ids::IDR_MAINFRAME);
    if (resource.strip.isNull() || resource.button.isEmpty() || resource.buttons.isEmpty())
        return false;
    m_pToolBar = new QToolBar(m_pWindow);
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
        const QPixmap picture =
            resource.strip.copy(image * resource.button.width(), 0, resource.button.width(), resource.button.height());
        ++image;
        QAction* action = m_pToolBar->addAction(QIcon(picture), TooltipOf(id));
        action->setProperty("commandId", id);
        action->setToolTip(TooltipOf(id));
        action->setStatusTip(PromptOf(id));
        connect(action, &QAction::triggered, this, [this, id] { m_run(id); });
        m_toolBarActions.insert(id, action);
    }
    m_pWindow->addToolBar(Qt::TopToolBarArea, m_pToolBar);
    return true;
}

bool CFrameBars::CreateStatusBar()
{
    QStatusBar* bar = m_pWindow->statusBar();
    bar->setProperty("ctrlId", Ids::AFX_IDW_STATUS_BAR);
    m_pIdleText = new QLabel(g_pResources->LoadString(Ids::IDS_IDLE_MESSAGE), bar);
    m_pIdleText->setObjectName(QStringLiteral("idleText"));
    bar->addWidget(m_pIdleText, 1);
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

bool CFrameBars::CreateMenus()
{
    m_menuNoDocument = BuildMenu(Ids::IDR_MAINFRAME);
    m_menuDocument = BuildMenu(Ids::IDR_PROGRAMTYPE);
    return !m_menuNoDocument.isEmpty() && !m_menuDocument.isEmpty();
}

void CFrameBars::CreateAccelerators()
{
    for (const AcceleratorResource& accelerator : g_pResources->LoadAccelerators(Ids::IDR_MAINFRAME)) {
        auto* shortcut = new QShortcut(accelerator.key, m_pWindow);
        const int id = accelerator.id;
        shortcut->setProperty("commandId", id);
        connect(shortcut, &QShortcut::activated, this, [this, id] { m_run(id); });
    }
}

QList<QMenu*> CFrameBars::BuildMenu(int menuId)
{
    QList<QMenu*> menus;
    for (const MenuResourceItem& popup : g_pResources->LoadMenu(menuId)) {
        auto* menu = new QMenu(popup.text, m_pWindow);
        FillMenu(menu, popup.items);
        menus.append(menu);
    }
    return menus;
}

void CFrameBars::FillMenu(QMenu* menu, const QList<MenuResourceItem>& items)
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
            AddCommand(menu, item.text, item.id);
        }
    }
}

void CFrameBars::FillRecentFilesMenu(QMenu* menu, const QString& placeholder)
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
        AddCommand(menu, QStringLiteral("&%1 %2").arg(i + 1).arg(path), Ids::ID_FILE_MRU_FILE1 + i);
    }
}

QAction* CFrameBars::AddCommand(QMenu* menu, const QString& text, int id)
{
    QAction* action = menu->addAction(text);
    action->setProperty("commandId", id);
    action->setStatusTip(PromptOf(id));
    connect(action, &QAction::triggered, this, [this, id] { m_run(id); });
    return action;
}

void CFrameBars::SwitchMenu(bool document)
{
    const int wanted = document ? Ids::IDR_PROGRAMTYPE : Ids::IDR_MAINFRAME;
    if (wanted == m_nCurrentMenu)
        return;
    m_nCurrentMenu = wanted;
    m_pWindow->menuBar()->clear();
    for (QMenu* menu : CurrentMenu())
        m_pWindow->menuBar()->addMenu(menu);
}

QList<QMenu*> CFrameBars::CurrentMenu() const
{
    return Menus(m_nCurrentMenu);
}

QList<QMenu*> CFrameBars::Menus(int menuId) const
{
    return menuId == Ids::IDR_PROGRAMTYPE ? m_menuDocument : m_menuNoDocument;
}

QAction* CFrameBars::MenuCommand(int menuId, int id) const
{
    return FindCommand(Menus(menuId), id).second;
}

QMenu* CFrameBars::MenuHolding(int menuId, int id) const
{
    return FindCommand(Menus(menuId), id).first;
}

void CFrameBars::UpdateMenuState(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        const int id = CommandOf(action);
        if (id == 0)
            continue;
        CCmdUI ui(id);
        const bool handled = m_route(id, &ui);
        action->setEnabled(handled && ui.m_bEnabled);
        action->setCheckable(ui.m_checked.has_value());
        if (ui.m_checked)
            action->setChecked(*ui.m_checked);
    }
}

void CFrameBars::UpdateToolBarState()
{
    for (auto it = m_toolBarActions.cbegin(); it != m_toolBarActions.cend(); ++it) {
        CCmdUI ui(it.key());
        const bool enabled = m_route(it.key(), &ui) && ui.m_bEnabled;
        if (it.value()->isEnabled() != enabled)
            it.value()->setEnabled(enabled);
    }
}

void CFrameBars::SetIdleText(const QString& text)
{
    if (m_pIdleText && m_pIdleText->text() != text)
        m_pIdleText->setText(text);
}

bool CFrameBars::eventFilter(QObject* watched, QEvent* event)
{
    // F1 on a highlighted menu item asks for the help of its command.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            if (const int id = CommandOf(menu->activeAction()); id != 0) {
                while (QWidget* popup = QApplication::activePopupWidget())
                    popup->close();
                menu->close();
                ContextHelp(id);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
