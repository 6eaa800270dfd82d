#include "frame/ChildFrame.h"

#include "channels/ProgramView.h"
#include "document/ProgramDoc.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMenu>

CChildFrame::CChildFrame(CProgramDoc* document, CProgramView* view)
    : m_pDocument(document)
    , m_pView(view)
{
    m_pDocument->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWidget(m_pView);
    // The title carries Qt's modified marker: "name*" while changes are unsaved.
    setWindowTitle(m_pDocument->GetTitle() + QStringLiteral("[*]"));
    setWindowModified(m_pDocument->IsModified());
    connect(m_pDocument, &CProgramDoc::titleChanged, this,
            [this](const QString& title) { setWindowTitle(title + QStringLiteral("[*]")); });
    connect(m_pDocument, &CProgramDoc::modifiedChanged, this, &QWidget::setWindowModified);
    UseCtrlF4ForClose();
}

CChildFrame::~CChildFrame()
{
    // The view goes first: it refers to its document until it is destroyed.
    delete widget();
}

void CChildFrame::UseCtrlF4ForClose()
{
    // The system menu's Close takes the platform's Close keys, Ctrl+W among
    // them here; Ctrl+W is the Write accelerator and must mean nothing
    // else, or neither would run. Close keeps Ctrl+F4 and, like the close
    // button, hides the window (closeEvent).
    QMenu* menu = systemMenu();
    if (!menu)
        return;
    const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    for (QAction* action : menu->actions()) {
        const QList<QKeySequence> keys = action->shortcuts();
        if (!keys.isEmpty() && keys == closeKeys)
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    }
}

void CChildFrame::PreCreateWindow()
{
    setGeometry(0, 0, kInitialWidth, kInitialHeight);
}

void CChildFrame::DestroyWindow()
{
    m_bDestroying = true;
    delete this;
}

bool CChildFrame::OnCmdMsg(int, CCmdUI*)
{
    return false;
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (m_bDestroying) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    event->ignore();
    hide();
}
