#pragma once
// Command routing. A command travels the active view, its document, its
// child frame, the main frame and the application; the first target that
// knows the command handles it. The same route answers whether a command is
// available (and checked), which the menus and the toolbar show.

#include <optional>

class CCmdUI
{
public:
    explicit CCmdUI(int id)
        : m_nID(id)
    {}

    void Enable(bool enabled = true) { m_bEnabled = enabled; }
    void SetCheck(bool checked) { m_checked = checked; }

    int m_nID;
    bool m_bEnabled = true;
    std::optional<bool> m_checked;
};

class CCmdTarget
{
public:
    virtual ~CCmdTarget() = default;

    // With ui null: runs the command. With ui set: fills in its state.
    // Returns whether this target handles the command at all.
    virtual bool OnCmdMsg(int id, CCmdUI* ui) = 0;
};
