#include "ToolBarPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace toolbarpictures {

namespace {

// Everything is drawn on a 32 x 32 grid, scaled to the size asked for.
constexpr qreal kGrid = 32.0;

const QColor kOutline(0x30, 0x30, 0x30);
const QColor kPage(0xff, 0xff, 0xff);
const QColor kPageLines(0x7f, 0x9d, 0xc4);
const QColor kMeterBody(0x2f, 0x5f, 0x9e);
const QColor kDisplay(0x10, 0x10, 0x10);
const QColor kDigits(0x3c, 0xe0, 0x4c);
const QColor kGreen(0x2e, 0x9d, 0x3a);
const QColor kBlue(0x1f, 0x6f, 0xd0);
const QColor kRed(0xd8, 0x2a, 0x20);
const QColor kPencil(0xf2, 0xb4, 0x1c);

QPen Outline(qreal width = 1.2)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet with a folded corner and a few lines of text.
void DrawPage(QPainter &p, const QRectF &r)
{
    const qreal fold = r.width() * 0.3;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(Outline());
    p.setBrush(kPage);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
    p.drawPath(corner);
    p.setPen(QPen(kPageLines, 1.6, Qt::SolidLine, Qt::FlatCap));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 2; y += 3.5)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

// A seven-segment digit in box r: the segments lit are named a to g.
void DrawDigit(QPainter &p, const QRectF &r, const char *segments)
{
    const qreal w = r.width();
    const qreal h = r.height() / 2;
    const QLineF all[7] = {
        {r.left(), r.top(), r.left() + w, r.top()},            // a
        {r.left() + w, r.top(), r.left() + w, r.top() + h},    // b
        {r.left() + w, r.top() + h, r.left() + w, r.bottom()}, // c
        {r.left(), r.bottom(), r.left() + w, r.bottom()},      // d
        {r.left(), r.top() + h, r.left(), r.bottom()},         // e
        {r.left(), r.top(), r.left(), r.top() + h},            // f
        {r.left(), r.top() + h, r.left() + w, r.top() + h},    // g
    };
    p.setPen(QPen(kDigits, 1.7, Qt::SolidLine, Qt::FlatCap));
    for (const char *s = segments; *s != '\0'; ++s)
        p.drawLine(all[*s - 'a']);
}

// A panel meter: a blue case with a lit display.
void DrawMeter(QPainter &p, const QRectF &r)
{
    p.setPen(Outline());
    p.setBrush(kMeterBody);
    p.drawRoundedRect(r, 2.5, 2.5);
    const QRectF display = r.adjusted(3, 3, -3, -r.height() * 0.35);
    p.setBrush(kDisplay);
    p.setPen(Qt::NoPen);
    p.drawRect(display);
    const qreal digitWidth = (display.width() - 6) / 3;
    const char *digits[] = {"bc", "abdeg", "abcdg"}; // 1 2 3
    for (int i = 0; i < 3; ++i) {
        const QRectF box(display.left() + 2 + i * (digitWidth + 1), display.top() + 2, digitWidth - 1.5,
                         display.height() - 4);
        DrawDigit(p, box, digits[i]);
    }
    // Two keys below the display.
    p.setBrush(QColor(0xe8, 0xe8, 0xe8));
    p.setPen(Outline(0.8));
    const qreal keyTop = display.bottom() + (r.bottom() - display.bottom()) * 0.3;
    const qreal keySize = (r.bottom() - display.bottom()) * 0.45;
    p.drawRect(QRectF(r.left() + 5, keyTop, keySize * 1.6, keySize));
    p.drawRect(QRectF(r.right() - 5 - keySize * 1.6, keyTop, keySize * 1.6, keySize));
}

// An arrow from tail to head, with a filled head.
void DrawArrow(QPainter &p, QPointF tail, QPointF head, const QColor &colour)
{
    const qreal headLength = 7;
    QLineF back(head, tail);
    back.setLength(headLength);
    const QPointF base = back.p2();
    QLineF side = back.normalVector();
    side.setLength(headLength * 0.65);
    const QPointF offset = side.p2() - side.p1();
    p.setPen(QPen(colour.darker(130), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    QLineF shaft(tail, base);
    QLineF shaftSide = shaft.normalVector();
    shaftSide.setLength(1.6);
    const QPointF half = shaftSide.p2() - shaftSide.p1();
    const QPolygonF arrow{tail + half, base + half, base + offset, head, base - offset, base - half, tail - half};
    p.drawPolygon(arrow);
}

// A round badge with a white plus.
void DrawPlus(QPainter &p, const QPointF &centre, qreal radius)
{
    p.setPen(QPen(kGreen.darker(140), 1.0));
    p.setBrush(kGreen);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::FlatCap));
    const qreal arm = radius * 0.55;
    p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    p.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

// A pencil lying from the top right to the bottom left, its tip at tip.
void DrawPencil(QPainter &p, const QPointF &tip)
{
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(Outline(0.9));
    p.setBrush(kPencil);
    p.drawRect(QRectF(6, -2.6, 15, 5.2));
    p.setBrush(QColor(0xf0, 0x8c, 0x8c));
    p.drawRect(QRectF(21, -2.6, 3, 5.2));
    p.setBrush(QColor(0xf3, 0xd9, 0xa6));
    p.drawPolygon(QPolygonF{QPointF(0, 0), QPointF(6, -2.6), QPointF(6, 2.6)});
    p.restore();
}

void DrawCross(QPainter &p, const QPointF &centre, qreal arm)
{
    p.setPen(QPen(kRed.darker(150), 5.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    p.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
    p.setPen(QPen(kRed, 3.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    p.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
}

bool DrawOnGrid(QPainter &p, const QString &key)
{
    if (key == QLatin1String("ViewIVRVar")) {
        DrawMeter(p, QRectF(2, 6, 28, 20));
    } else if (key == QLatin1String("NewProg")) {
        DrawPage(p, QRectF(5, 2, 19, 25));
        DrawPlus(p, QPointF(23, 23), 7);
    } else if (key == QLatin1String("EditProg")) {
        DrawPage(p, QRectF(4, 2, 19, 25));
        DrawPencil(p, QPointF(12, 28));
    } else if (key == QLatin1String("DelProg")) {
        DrawPage(p, QRectF(4, 2, 19, 25));
        DrawCross(p, QPointF(22, 22), 5.5);
    } else if (key == QLatin1String("SendProg")) {
        DrawPage(p, QRectF(2, 2, 17, 23));
        DrawArrow(p, QPointF(11, 23), QPointF(31, 23), kGreen);
    } else if (key == QLatin1String("RxTxProg")) {
        DrawMeter(p, QRectF(1, 2, 20, 15));
        DrawArrow(p, QPointF(8, 22), QPointF(31, 22), kGreen);
        DrawArrow(p, QPointF(31, 28.5), QPointF(8, 28.5), kBlue);
    } else {
        return false;
    }
    return true;
}

// The disabled look: every pixel grey, pale and half transparent.
QImage Disabled(const QImage &picture)
{
    QImage pale = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pale.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(pale.scanLine(y));
        for (int x = 0; x < pale.width(); ++x) {
            const int grey = 150 + qGray(line[x]) * 90 / 255;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
        }
    }
    return pale;
}

} // namespace

QImage Draw(const QString &key, int size, bool enabled)
{
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kGrid, size / kGrid);
    const bool known = DrawOnGrid(p, key);
    p.end();
    if (!known)
        return {};
    return enabled ? picture : Disabled(picture);
}

QIcon Picture(const QString &key)
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        const QImage normal = Draw(key, size, true);
        if (normal.isNull())
            return {};
        icon.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(normal), QIcon::Active);
        icon.addPixmap(QPixmap::fromImage(Draw(key, size, false)), QIcon::Disabled);
    }
    return icon;
}

} // namespace toolbarpictures
