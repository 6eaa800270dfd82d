#pragma once
// What the main window adds for work without a mouse:
//
// - the navigation tree takes Up and Down to choose an item and Enter or
//   Space to open it. The choice is tinted and announced to assistive
//   technology, while the tree's selection stays on the root, where a
//   click expects it (the tree runs a command only for a click that
//   changes the selection);
// - Ctrl+Tab and Ctrl+Shift+Tab go through the channel windows and give
//   the keyboard to the one in front;
// - every dialog shows where the keyboard is as soon as it opens, not
//   only after the first Tab;
// - the status bar is named by the note it shows (its accessible name
//   follows the message, else its first pane).
//
// F6 and Shift+F6 (next and previous pane) are accelerators of the frame.

#include <QObject>
#include <functional>

class QMainWindow;
class QMdiArea;
class QTreeWidget;
class QTreeWidgetItem;

class KeyboardReach : public QObject
{
    Q_OBJECT
public:
    // open runs the command of a tree item. The object lives as the
    // frame's child.
    KeyboardReach(QMainWindow* frame, QTreeWidget* tree, QMdiArea* windows, std::function<void(QTreeWidgetItem*)> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnTreeKey(int key);
    void ChooseItem(QTreeWidgetItem* item);
    // Tints the chosen item while the tree has the keyboard.
    void MarkChosenItem(bool shown);
    void ActivateWindow(bool next);

    QMainWindow* m_pFrame;
    QTreeWidget* m_pTree;
    QMdiArea* m_pWindows;
    std::function<void(QTreeWidgetItem*)> m_open;
    QTreeWidgetItem* m_pChosen = nullptr; // the keyboard's choice in the tree
};
