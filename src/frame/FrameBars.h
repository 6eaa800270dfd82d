#pragma once
// The bars of the main window, built from the language bundle: the menu
// without a document (resource 128) and the one with a document (129), the
// toolbar, the accelerators and the status bar. Every menu item, button and
// accelerator carries its command ID (property "commandId"); choosing one
// runs the command, and the command route decides whether a menu item or a
// button is enabled and whether a menu item is checked. F1 on a highlighted
// menu item opens the help of its command.

#include "base/LanguageResources.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <functional>

class CCmdUI;
class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QToolBar;

class CFrameBars : public QObject
{
    Q_OBJECT
public:
    // Runs a command when it is available.
    using RunCommand = std::function<void(int id)>;
    // Asks the command route: with ui null runs the command, otherwise fills
    // in its state; false when nothing on the route handles it.
    using RouteCommand = std::function<bool(int id, CCmdUI* ui)>;

    CFrameBars(QMainWindow* window, RunCommand run, RouteCommand route);

    // Each false when the bundle lacks what it needs.
    bool CreateToolBar();
    bool CreateStatusBar();
    bool CreateMenus();
    void CreateAccelerators();

    // Puts the document menu (document true) or the other one on the menu bar.
    void SwitchMenu(bool document);
    // The top-level menus shown now, and their resource ID (0 before the first switch).
    QList<QMenu*> CurrentMenu() const;
    int CurrentMenuId() const { return m_nCurrentMenu; }
    // The top-level menus of menu resource menuId (128 or 129).
    QList<QMenu*> Menus(int menuId) const;
    // The item of command id in menu resource menuId, in whichever menu or
    // submenu holds it; null when there is none.
    QAction* MenuCommand(int menuId, int id) const;
    // The menu or submenu of menu resource menuId holding command id; null when none does.
    QMenu* MenuHolding(int menuId, int id) const;

    QToolBar* ToolBar() const { return m_pToolBar; }
    QAction* ToolBarAction(int id) const { return m_toolBarActions.value(id); }
    // Enables each button as its command is available now.
    void UpdateToolBarState();
    // The idle text of the status bar's first pane.
    void SetIdleText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QMenu*> BuildMenu(int menuId);
    void FillMenu(QMenu* menu, const QList<MenuResourceItem>& items);
    // File > Recent Files: one entry per remembered file, or the resource's
    // placeholder, disabled, when there is none.
    void FillRecentFilesMenu(QMenu* menu, const QString& placeholder);
    // A menu item running command id.
    QAction* AddCommand(QMenu* menu, const QString& text, int id);
    void UpdateMenuState(QMenu* menu);

    QMainWindow* m_pWindow;
    RunCommand m_run;
    RouteCommand m_route;
    QToolBar* m_pToolBar = nullptr;
    QHash<int, QAction*> m_toolBarActions;
    QLabel* m_pIdleText = nullptr;
    QList<QMenu*> m_menuNoDocument; // 128
    QList<QMenu*> m_menuDocument;   // 129
    int m_nCurrentMenu = 0;
};
