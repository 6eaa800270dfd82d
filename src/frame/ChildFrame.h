#pragma once
// The frame of one channel window inside the workspace. It opens at (0, 0)
// with a fixed size, and its close button (and Ctrl+F4) only hides it: the
// document stays open and the Channel Information command shows the window
// again.

#include "base/CmdTarget.h"

#include <QMdiSubWindow>

class CProgramDoc;
class CProgramView;

class CChildFrame : public QMdiSubWindow, public CCmdTarget
{
    Q_OBJECT
public:
    static constexpr int kInitialWidth = 1600;
    static constexpr int kInitialHeight = 1200;

    // Takes ownership of the document; the view becomes the frame's widget.
    CChildFrame(CProgramDoc* document, CProgramView* view);
    ~CChildFrame() override;

    CProgramDoc* GetDocument() const { return m_pDocument; }
    CProgramView* GetActiveView() const { return m_pView; }

    // Sets the fixed position and size; called once the frame is in the workspace.
    void PreCreateWindow();
    // Really closes the frame, with its view and document. The object is
    // gone when this returns.
    void DestroyWindow();

    bool OnCmdMsg(int id, CCmdUI* ui) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UseCtrlF4ForClose();

    CProgramDoc* m_pDocument;
    CProgramView* m_pView;
    bool m_bDestroying = false;
};
