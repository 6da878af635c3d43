#include "ui/icon/AppIcon.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 256-unit canvas, scaled to the side asked for.
constexpr qreal Canvas = 256;
constexpr QRectF Tile{8, 8, 240, 240};
constexpr qreal TileCorner = 48;
constexpr QPointF DialCentre{128, 150};
constexpr qreal ScaleRadius = 80;

// Qt angles: degrees counter-clockwise from three o'clock.
struct ScaleBand {
    int fromDegrees;
    int toDegrees;
    QColor colour;
};
const ScaleBand ScaleBands[] = {
    {165, 85, QColor(0x4c, 0xb0, 0x3c)},
    {85, 45, QColor(0xf2, 0xa2, 0x1b)},
    {45, 15, QColor(0xd6, 0x2a, 0x25)},
};
constexpr int NeedleDegrees = 55;
const QColor Navy(0x1a, 0x2f, 0x6e);

QPointF OnDial(int degrees, qreal radius)
{
    QLineF ray(DialCentre, DialCentre + QPointF(radius, 0));
    ray.setAngle(degrees);
    return ray.p2();
}

void DrawTile(QPainter& painter)
{
    QLinearGradient blue(Tile.topLeft(), Tile.bottomLeft());
    blue.setColorAt(0, QColor(0x3d, 0x86, 0xe6));
    blue.setColorAt(1, QColor(0x1d, 0x58, 0xbd));
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawRoundedRect(Tile, TileCorner, TileCorner);
}

void DrawDial(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(DialCentre, 100, 100);

    const QRectF scaleRing(DialCentre - QPointF(ScaleRadius, ScaleRadius), QSizeF(2 * ScaleRadius, 2 * ScaleRadius));
    for (const ScaleBand& band : ScaleBands) {
        painter.setPen(QPen(band.colour, 22, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(scaleRing, band.toDegrees * 16, (band.fromDegrees - band.toDegrees) * 16);
    }
}

// Tick marks blur into grey below this size, so small icons leave them out.
constexpr int SmallestSideWithTicks = 48;

void DrawTicks(QPainter& painter)
{
    painter.setPen(QPen(QColor(0x6b, 0x76, 0x8c), 6, Qt::SolidLine, Qt::RoundCap));
    for (int degrees = 165; degrees >= 15; degrees -= 15)
        painter.drawLine(OnDial(degrees, 52), OnDial(degrees, 62));
}

void DrawNeedle(QPainter& painter)
{
    painter.setPen(QPen(Navy, 16, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(DialCentre, OnDial(NeedleDegrees, 70));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Navy);
    painter.drawEllipse(DialCentre, 18, 18);
}

class DrawnIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(rect.width(), rect.height());
        QRect square(0, 0, side, side);
        square.moveCenter(rect.center());
        painter->drawImage(square, DrawAppIcon(side));
    }
    // Qt's default pixmap has no alpha channel on some screens; the picture keeps its corners clear.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return QPixmap::fromImage(DrawAppIcon(qMin(size.width(), size.height())));
    }
    QIconEngine* clone() const override { return new DrawnIconEngine; }
};

} // namespace

QImage DrawAppIcon(int side)
{
    QImage picture(side, side, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / Canvas, side / Canvas);
    // The dial is cut off by the tile's lower edge, as on a panel meter.
    QPainterPath tileOutline;
    tileOutline.addRoundedRect(Tile, TileCorner, TileCorner);
    DrawTile(painter);
    painter.setClipPath(tileOutline);
    DrawDial(painter);
    if (side >= SmallestSideWithTicks)
        DrawTicks(painter);
    DrawNeedle(painter);
    return picture;
}

QIcon AppIcon()
{
    return QIcon(new DrawnIconEngine);
}
