#pragma once
// The workspace in which the channel windows live. Its background is the
// picture "background.bmp" beside the executable, tiled from the top-left
// corner and read again at every repaint; when the file cannot be read, the
// bundle's workspace picture is tiled instead.

#include <QList>
#include <QMdiArea>
#include <QPixmap>
#include <QPoint>

class CMdiClientWnd : public QMdiArea
{
    Q_OBJECT
public:
    CMdiClientWnd();

    static QPixmap LoadBackground();
    // Top-left corners of the tiles covering an area: (area / picture) + 1
    // columns and rows, the last ones clipped by the window.
    static QList<QPoint> TileOrigins(const QSize& area, const QSize& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
