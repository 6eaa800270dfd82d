#include "frame/NavigationBar.h"

#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolTip>
#include <QTreeWidget>

namespace {

// The resize guide: two dotted lines, two pixels apart, drawn over the main
// window in alternating dark and light dots so they show on any background.
class CGuideLine : public QWidget
{
public:
    explicit CGuideLine(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        for (int y = 0; y < height(); ++y) {
            const QColor colour = (y % 2 == 0) ? Qt::black : Qt::white;
            painter.setPen(colour);
            painter.drawPoint(0, y);
            painter.drawPoint(2, y);
        }
    }
};

} // namespace

CNavigationTree::CNavigationTree(QWidget* parent)
    : QTreeWidget(parent)
{
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CNavigationTree::OnSelectionChanged);
}

void CNavigationTree::Fill(const QString& rootText, const QList<std::pair<int, QString>>& items)
{
    setRootIsDecorated(true);
    setItemsExpandable(true);
    auto* root = new QTreeWidgetItem(this, {rootText});
    for (const auto& [id, text] : items)
        (new QTreeWidgetItem(root, {text}))->setData(0, kCommandRole, id);
    root->setExpanded(true);
    setCurrentItem(root);
}

int CNavigationTree::CommandAt(const QPoint& point) const
{
    const QTreeWidgetItem* item = itemAt(point);
    return item ? item->data(0, kCommandRole).toInt() : 0;
}

void CNavigationTree::ReturnToRoot()
{
    if (QTreeWidgetItem* root = topLevelItem(0)) {
        const QSignalBlocker blocker(this);
        setCurrentItem(root);
        viewport()->update();
    }
}

void CNavigationTree::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept(); // selects nothing, so it cannot run a command
        return;
    }
    m_bLeftDown = true;
    m_bDragged = false;
    m_bChangedWhileDown = false;
    m_ptPress = event->position().toPoint();
    QTreeWidget::mousePressEvent(event);
}

void CNavigationTree::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bLeftDown && (event->position().toPoint() - m_ptPress).manhattanLength() >= QApplication::startDragDistance())
        m_bDragged = true;
    QTreeWidget::mouseMoveEvent(event);
}

void CNavigationTree::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !m_bLeftDown)
        return;
    m_bLeftDown = false;
    if (m_bChangedWhileDown)
        emit selectionSettled(!m_bDragged);
}

void CNavigationTree::OnSelectionChanged()
{
    if (m_bLeftDown)
        m_bChangedWhileDown = true;
    else
        emit selectionSettled(false);
}

CNavigationBar::CNavigationBar(QWidget* frame, std::function<void()> hide)
    : QWidget(frame)
    , m_pFrame(frame)
    , m_hide(std::move(hide))
{
    m_strCaption = LanguageText("company");
    setMouseTracking(true);
    setFixedWidth(m_nBarWidth);
    SetControlId(this, Ids::IDW_NAVIGATION_BAR);
}

CNavigationBar::~CNavigationBar()
{
    delete m_pTree;
}

bool CNavigationBar::Initialise()
{
    setWindowTitle(QStringLiteral("IE Control Bar"));

    m_captionFont.setFamilies({QStringLiteral("Time New Roman"), QStringLiteral("Noto Sans CJK SC")});
    m_captionFont.setPixelSize(14);
    m_captionFont.setWeight(QFont::Normal);
    m_captionFont.setItalic(false);
    m_captionFont.setUnderline(false);
    m_captionFont.setStrikeOut(false);
    setFont(m_captionFont);

    m_pTree = new CNavigationTree(this);
    SetControlId(m_pTree, Ids::IDC_NAVIGATION_TREE);
    m_pTree->setHeaderHidden(true);
    m_pTree->setColumnCount(1);
    m_pTree->setFont(m_captionFont);
    m_pTree->setGeometry(0, 0, 0, 0);
    m_pTree->show();
    return true;
}

QSize CNavigationBar::CalcFixedLayout(bool, bool)
{
    const int height = this->height();
    if (m_pTree) {
        const int top = 8 + m_nCaptionHeight + 1;
        m_pTree->setGeometry(5, top, m_nBarWidth - 8 - 5, height - 51 - top);
        m_pTree->update();
    }
    return QSize(m_nBarWidth, height);
}

BarRect CNavigationBar::ResizeStrip() const
{
    return BarRect{m_rcFrame.right, m_rcFrame.top, m_rcFrame.right + 6, m_rcFrame.bottom};
}

void CNavigationBar::SetBarWidth(int width)
{
    m_nBarWidth = std::max(width, static_cast<int>(kMinimumWidth));
    setFixedWidth(m_nBarWidth);
    CalcFixedLayout(false, false);
}

int CNavigationBar::HalfFrameWidth() const
{
    return m_pFrame->width() / 2;
}

bool CNavigationBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (!m_rcClose.IsEmpty() && m_rcClose.Contains(help->pos()))
            QToolTip::showText(help->globalPos(), QStringLiteral("Close"), this, m_rcClose.ToQRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CNavigationBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor greyText = palette().color(QPalette::Disabled, QPalette::WindowText);

    // Etched frame.
    BarRect rc{0, 0, width(), height()};
    rc.left += 3;
    rc.top += 6;
    rc.right -= 6;
    rc.bottom -= 49;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(greyText);
    painter.drawRect(rc.left, rc.top, rc.right - rc.left - 1, rc.bottom - rc.top - 1);
    painter.setPen(Qt::white);
    painter.drawLine(rc.left + 1, rc.top + 1, rc.left + 1, rc.bottom - 2);
    painter.drawLine(rc.left + 1, rc.top + 1, rc.right - 2, rc.top + 1);
    painter.drawLine(rc.right, rc.top, rc.right, rc.bottom - 1);
    painter.drawLine(rc.left, rc.bottom, rc.right, rc.bottom);
    m_rcFrame = rc;
    m_rcFrame.left += 1;
    m_rcFrame.top += 1;
    const BarRect& frame = m_rcFrame;

    // Caption and the line under it.
    painter.setFont(font());
    const int textWidth = painter.fontMetrics().horizontalAdvance(m_strCaption);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(frame.left + 5, frame.top, textWidth, m_nCaptionHeight),
                     Qt::AlignCenter | Qt::TextSingleLine, m_strCaption);
    painter.setPen(greyText);
    painter.drawLine(frame.left + 1, frame.top + m_nCaptionHeight, frame.right - 1, frame.top + m_nCaptionHeight);

    // Close button: raised while hovered, sunken while pressed.
    m_rcClose = BarRect{frame.right - 20, frame.top + 4, frame.right - 4, frame.top + 19};
    if (m_bHover || m_bPressed) {
        const QColor light = palette().color(QPalette::Light);
        const QColor shadow = palette().color(QPalette::Dark);
        const QColor topLeft = m_bHover ? light : shadow;
        const QColor bottomRight = m_bHover ? shadow : light;
        const BarRect& c = m_rcClose;
        painter.setPen(topLeft);
        painter.drawLine(c.left, c.top, c.right - 1, c.top);
        painter.drawLine(c.left, c.top, c.left, c.bottom - 1);
        painter.setPen(bottomRight);
        painter.drawLine(c.right - 1, c.top, c.right - 1, c.bottom - 1);
        painter.drawLine(c.left, c.bottom - 1, c.right - 1, c.bottom - 1);
    }
    if (g_pResources)
        painter.drawPixmap(m_rcClose.left, m_rcClose.top, g_pResources->LoadIcon(Ids::IDI_CLOSE_BUTTON).pixmap(16, 16));
}

void CNavigationBar::resizeEvent(QResizeEvent*)
{
    CalcFixedLayout(false, false);
}

void CNavigationBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (!m_rcClose.IsEmpty()) {
        m_bButtonDown = true;
        m_bHover = false;
        m_bPressed = m_rcClose.Contains(point);
        update(m_rcClose.ToQRect());
    }
    if (!m_rcFrame.IsEmpty() && ResizeStrip().Contains(point))
        m_bSizing = true;
}

void CNavigationBar::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint point = event->position().toPoint();

    if (!m_rcFrame.IsEmpty() && !(event->buttons() & Qt::LeftButton)) {
        if (ResizeStrip().Contains(point) && g_pResources)
            setCursor(g_pResources->LoadCursor(Ids::IDC_RESIZE_CURSOR));
        else
            setCursor(Qt::ArrowCursor);
    }

    if (m_bSizing) {
        EraseGuideLine();
        int x = point.x();
        if (x < kMinimumGuideX)
            x = kMinimumGuideX;
        else if (x > HalfFrameWidth())
            x = HalfFrameWidth();
        DrawGuideLine(mapToGlobal(QPoint(x, point.y())));
    }
    TrackCloseButton(point);
}

void CNavigationBar::TrackCloseButton(const QPoint& point)
{
    if (m_rcClose.IsEmpty())
        return;
    if (m_rcClose.Contains(point)) {
        if (m_bHover)
            return;
        m_bHover = !m_bButtonDown;
        m_bPressed = m_bButtonDown;
        update(m_rcClose.ToQRect());
    } else if (m_bHover || m_bPressed) {
        m_bHover = false;
        m_bPressed = false;
        update(m_rcClose.ToQRect());
    }
}

void CNavigationBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    m_bButtonDown = false;
    m_bHover = false;
    m_bPressed = false;
    EraseGuideLine();

    if (!m_rcClose.IsEmpty() && m_rcClose.Contains(point))
        m_hide();

    if (m_bSizing) {
        int width = point.x();
        if (width < kMinimumWidth)
            width = kMinimumWidth;
        else if (width > HalfFrameWidth())
            width = HalfFrameWidth();
        hide();
        m_nBarWidth = width;
        setFixedWidth(width);
        CalcFixedLayout(false, false);
        show();
        m_bSizing = false;
    }
    update(m_rcClose.ToQRect());
    QWidget::mouseReleaseEvent(event);
}

void CNavigationBar::mouseDoubleClickEvent(QMouseEvent*)
{
    // A double click neither floats the bar nor counts as a second press.
}

void CNavigationBar::leaveEvent(QEvent* event)
{
    if (!m_bButtonDown && (m_bHover || m_bPressed)) {
        m_bHover = false;
        m_bPressed = false;
        update(m_rcClose.ToQRect());
    }
    QWidget::leaveEvent(event);
}

void CNavigationBar::DrawGuideLine(const QPoint& screenPoint)
{
    if (!m_pGuide)
        m_pGuide = new CGuideLine(m_pFrame);
    const QPoint inFrame = m_pFrame->mapFromGlobal(screenPoint);
    const int top = mapTo(m_pFrame, QPoint(0, 0)).y();
    const int bottom = mapTo(m_pFrame, QPoint(0, height())).y() - 43;
    m_pGuide->setGeometry(inFrame.x(), top, 3, qMax(0, bottom - top));
    m_pGuide->raise();
    m_pGuide->show();
    m_ptGuide = screenPoint;
}

void CNavigationBar::EraseGuideLine()
{
    if (m_ptGuide.isNull())
        return;
    if (m_pGuide)
        m_pGuide->hide();
    m_ptGuide = QPoint(0, 0);
}
