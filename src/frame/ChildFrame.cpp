#include "frame/ChildFrame.h"

#include "channels/ProgramView.h"
#include "document/ProgramDoc.h"

#include <QAction>
#include <QCloseEvent>
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
    // The system menu's Close also answers Ctrl+W here, the Write command's
    // accelerator; two owners of one key would leave both silent.
    if (QMenu* menu = systemMenu()) {
        for (QAction* action : menu->actions()) {
            QList<QKeySequence> keys = action->shortcuts();
            if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0)
                action->setShortcuts(keys);
        }
    }
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
