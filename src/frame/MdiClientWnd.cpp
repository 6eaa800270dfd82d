#include "frame/MdiClientWnd.h"

#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"

#include <QPainter>

CMdiClientWnd::CMdiClientWnd()
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QPixmap CMdiClientWnd::LoadBackground()
{
    QPixmap picture(g_strAppDir + QStringLiteral("background.bmp"));
    if (picture.isNull() && g_pResources)
        picture = g_pResources->LoadBitmap(Ids::IDB_WORKSPACE);
    return picture;
}

QList<QPoint> CMdiClientWnd::TileOrigins(const QSize& area, const QSize& picture)
{
    QList<QPoint> origins;
    if (picture.width() <= 0 || picture.height() <= 0)
        return origins;
    const int columns = area.width() / picture.width();
    const int rows = area.height() / picture.height();
    for (int i = 0; i <= columns; ++i) {
        for (int j = 0; j <= rows; ++j)
            origins.append(QPoint(i * picture.width(), j * picture.height()));
    }
    return origins;
}

void CMdiClientWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QPixmap picture = LoadBackground();
    if (picture.isNull()) {
        painter.fillRect(viewport()->rect(), palette().dark());
        return;
    }
    for (const QPoint& origin : TileOrigins(viewport()->size(), picture.size()))
        painter.drawPixmap(origin, picture);
}

void CMdiClientWnd::resizeEvent(QResizeEvent* event)
{
    QMdiArea::resizeEvent(event);
    viewport()->update();
}
