#include "frame/KeyboardReach.h"

#include "base/AccessibleNames.h"
#include "base/Globals.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QStatusBar>
#include <QTreeWidget>

KeyboardReach::KeyboardReach(QMainWindow* frame, QTreeWidget* tree, QMdiArea* windows,
                             std::function<void(QTreeWidgetItem*)> open)
    : QObject(frame)
    , m_pFrame(frame)
    , m_pTree(tree)
    , m_pWindows(windows)
    , m_open(std::move(open))
{
    setObjectName(QStringLiteral("keyboardReach"));
    // The tree reads as the caption above it.
    if (m_pTree->accessibleName().isEmpty())
        m_pTree->setAccessibleName(LanguageText("company"));
    m_pTree->installEventFilter(this);
    // An item removed from the tree is no longer the keyboard's choice.
    connect(m_pTree->model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { m_pChosen = nullptr; });

    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), frame);
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), frame);
    auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), frame);
    connect(next, &QShortcut::activated, this, [this] { ActivateWindow(true); });
    connect(previous, &QShortcut::activated, this, [this] { ActivateWindow(false); });
    connect(previousTab, &QShortcut::activated, this, [this] { ActivateWindow(false); });

    NameStatusBarByNote(frame->statusBar());
    // Dialogs are shown from anywhere in the program.
    qApp->installEventFilter(this);
}

bool KeyboardReach::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        // The focus frame shows from the start, as after a Tab.
        if (dialog && dialog->isWindow())
            dialog->setAttribute(Qt::WA_KeyboardFocusChange);
        return false;
    }
    if (watched != m_pTree)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
            return OnTreeKey(key->key());
    } else if (event->type() == QEvent::FocusIn) {
        MarkChosenItem(true);
    } else if (event->type() == QEvent::FocusOut) {
        MarkChosenItem(false);
    }
    return false;
}

bool KeyboardReach::OnTreeKey(int key)
{
    QTreeWidgetItem* chosen = m_pChosen ? m_pChosen : m_pTree->currentItem();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        QTreeWidgetItem* item = chosen ? (key == Qt::Key_Up ? m_pTree->itemAbove(chosen) : m_pTree->itemBelow(chosen))
                                       : m_pTree->topLevelItem(0);
        if (item)
            ChooseItem(item);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (chosen && m_open)
            m_open(chosen);
        return true;
    default: return false;
    }
}

void KeyboardReach::ChooseItem(QTreeWidgetItem* item)
{
    // The tree's selection stays where a click expects it (the tree runs a
    // command for a click that changes it); the keyboard's choice is drawn
    // and announced on its own.
    MarkChosenItem(false);
    m_pChosen = item;
    MarkChosenItem(m_pTree->hasFocus());
    m_pTree->scrollToItem(item);
    if (!QAccessible::isActive())
        return;
    const QPoint centre = m_pTree->viewport()->mapToGlobal(m_pTree->visualItemRect(item).center());
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(m_pTree);
    if (QAccessibleInterface* cell = tree ? tree->childAt(centre.x(), centre.y()) : nullptr) {
        QAccessibleEvent event(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void KeyboardReach::MarkChosenItem(bool shown)
{
    if (!m_pChosen)
        return;
    m_pChosen->setBackground(0, shown ? QBrush(QColor(204, 228, 255)) : QBrush());
}

void KeyboardReach::ActivateWindow(bool next)
{
    // In the order the windows were opened, round and round; hidden
    // windows are passed over.
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_pWindows->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isHidden())
            windows.append(window);
    }
    if (windows.isEmpty())
        return;
    const int count = static_cast<int>(windows.size());
    const int current = static_cast<int>(windows.indexOf(m_pWindows->activeSubWindow()));
    const int target = current < 0 ? 0 : (current + (next ? 1 : count - 1)) % count;
    QMdiSubWindow* window = windows[target];
    m_pWindows->setActiveSubWindow(window);
    if (window->widget())
        window->widget()->setFocus(Qt::TabFocusReason);
}
