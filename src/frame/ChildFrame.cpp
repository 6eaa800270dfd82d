#include "frame/ChildFrame.h"

#include "channels/ProgramView.h"
#include "document/ProgramDoc.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CProgramDoc* document, CProgramView* view)
    : m_pDocument(document)
    , m_pView(view)
{
    m_pDocument->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWidget(m_pView);
    setWindowTitle(m_pDocument->GetTitle());
    connect(m_pDocument, &CProgramDoc::titleChanged, this, &QWidget::setWindowTitle);
}

CChildFrame::~CChildFrame()
{
    // The view goes first: it refers to its document until it is destroyed.
    delete widget();
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
