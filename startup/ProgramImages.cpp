#include "ProgramImages.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ApplicationImage()
{
    QPixmap pm(96, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(70, 70, 75));
    p.drawRoundedRect(QRectF(2, 2, 92, 60), 6, 6);
    p.setBrush(QColor(20, 20, 20));
    p.drawRect(QRectF(10, 12, 76, 28));
    QFont f(QStringLiteral("Monospace"));
    f.setBold(true);
    f.setPixelSize(22);
    p.setFont(f);
    p.setPen(QColor(230, 40, 30));
    p.drawText(QRectF(10, 12, 76, 28), Qt::AlignCenter, QStringLiteral("8.8.8.8"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(180, 180, 180));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QRectF(16 + i * 18, 46, 9, 9));
    return pm;
}

QPixmap MakerLogo()
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 60, 130), 3));
    p.setBrush(QColor(220, 230, 245));
    p.drawEllipse(QRectF(4, 4, 56, 56));
    QPainterPath wave;
    wave.moveTo(12, 32);
    wave.cubicTo(22, 12, 42, 52, 52, 32);
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
    return pm;
}
