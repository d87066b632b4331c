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
    f.setPixelSize(17);
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

QIcon ProgramIcon(std::int32_t id)
{
    if (id != 10001 && id != 10002)
        return QIcon();
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 60, 130), 2));
    p.setBrush(QColor(220, 230, 245));
    if (id == 10001) {
        // A nine-pin serial connector.
        QPainterPath shell;
        shell.moveTo(3, 9);
        shell.lineTo(29, 9);
        shell.lineTo(25, 23);
        shell.lineTo(7, 23);
        shell.closeSubpath();
        p.drawPath(shell);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 60, 130));
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QRectF(6.5 + i * 4, 12, 3, 3));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QRectF(8.5 + i * 4, 17, 3, 3));
    } else {
        // A telephone handset.
        QPainterPath handset;
        handset.moveTo(6, 8);
        handset.cubicTo(2, 20, 12, 30, 24, 26);
        handset.lineTo(26, 21);
        handset.lineTo(21, 18);
        handset.lineTo(18, 21);
        handset.cubicTo(14, 19, 12, 17, 11, 14);
        handset.lineTo(14, 11);
        handset.lineTo(11, 6);
        handset.closeSubpath();
        p.drawPath(handset);
    }
    p.end();
    return QIcon(pm);
}
