#pragma once
// The panel on the left edge of the main window that carries the navigation
// tree. It draws itself: an etched frame, a caption with the company name,
// and a small close button with the tooltip "Close". Dragging the right edge
// of the frame shows a guide line and then sets a new width; the close
// button hides the panel. The panel cannot be floated or moved.

#include <QFont>
#include <QList>
#include <QPoint>
#include <QString>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <utility>

// The navigation tree: a root with one item per command, each item
// carrying its command ID as item data, so a click is told by its command
// and never by the item's text. It tells a left click that selects an item
// from every other change of the selection: a right or middle button
// selects nothing, and a left press that ends in a drag, like the keyboard,
// moves the selection without being a click.
class CNavigationTree : public QTreeWidget
{
    Q_OBJECT
public:
    static constexpr int kCommandRole = Qt::UserRole;

    explicit CNavigationTree(QWidget* parent);

    // Makes the root (rootText, expanded and selected) and under it one item
    // per (command ID, text).
    void Fill(const QString& rootText, const QList<std::pair<int, QString>>& items);
    // The command of the item at point (viewport coordinates); 0 for the
    // root and where there is no item.
    int CommandAt(const QPoint& point) const;
    // Selects the root again without telling anyone, so the next click on
    // the same item is a change again.
    void ReturnToRoot();

signals:
    // The selection has changed and will not change again by the present
    // gesture: byLeftClick when a left press changed it and was released
    // without a drag, false for any other change. Sent at the release for
    // changes made while the left button was down, at once otherwise.
    void selectionSettled(bool byLeftClick);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnSelectionChanged();

    bool m_bLeftDown = false;         // left button pressed on the tree, not yet released
    bool m_bDragged = false;          // ... and moved beyond the drag distance since
    bool m_bChangedWhileDown = false; // ... and the selection changed meanwhile
    QPoint m_ptPress;
};

// A rectangle with exclusive right and bottom edges.
struct BarRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(const QPoint& p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
};

class CNavigationBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kInitialWidth = 220;
    static constexpr int kMinimumGuideX = 80;
    static constexpr int kMinimumWidth = 11;

    // frame: the main window the bar is docked in (its width bounds the
    // bar's, the sizing guide is drawn on it). hide: hides the bar, for
    // its close button.
    CNavigationBar(QWidget* frame, std::function<void()> hide);
    ~CNavigationBar() override;

    // Creates the font, the tree and the tooltip; false when the tree
    // cannot be made.
    bool Initialise();
    CNavigationTree* GetTree() const { return m_pTree; }

    // The bar's size: its width, and the height it is given; places the tree.
    QSize CalcFixedLayout(bool stretch, bool horizontal);

    const BarRect& FrameRect() const { return m_rcFrame; }
    const BarRect& CloseRect() const { return m_rcClose; }
    BarRect ResizeStrip() const;
    int BarWidth() const { return m_nBarWidth; }
    // Gives the bar a width, as the sizing does (a remembered width at
    // start-up); at least the smallest width.
    void SetBarWidth(int width);
    // Screen point of the guide line; (0, 0) while none is drawn.
    QPoint GuidePoint() const { return m_ptGuide; }
    bool IsSizing() const { return m_bSizing; }
    bool IsButtonDown() const { return m_bButtonDown; }
    bool IsHover() const { return m_bHover; }
    bool IsPressed() const { return m_bPressed; }
    QWidget* GuideLine() const { return m_pGuide; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int HalfFrameWidth() const;
    void DrawGuideLine(const QPoint& screenPoint);
    void EraseGuideLine();
    void TrackCloseButton(const QPoint& point);

    QWidget* m_pFrame;
    std::function<void()> m_hide;
    QFont m_captionFont;
    BarRect m_rcFrame;
    QString m_strCaption;
    int m_nCaptionHeight = 22;
    int m_nBarWidth = kInitialWidth;
    CNavigationTree* m_pTree = nullptr;
    bool m_bSizing = false;
    QPoint m_ptGuide;
    BarRect m_rcClose;
    bool m_bButtonDown = false;
    bool m_bHover = false;
    bool m_bPressed = false;
    QWidget* m_pGuide = nullptr;
};
