#include "app/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {
QPixmap canvas(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}
}  // namespace

QPixmap toolbarImage(ToolImage which)
{
    QPixmap pm = canvas(32, 32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 40, 90), 2));
    switch (which) {
    case ToolImage::Families:  // stacked pagers
        for (int i = 0; i < 3; ++i) {
            p.setBrush(QColor(90 + 40 * i, 140, 210));
            p.drawRoundedRect(4 + 4 * i, 4 + 6 * i, 18, 12, 2, 2);
        }
        break;
    case ToolImage::Groups:  // a circle of members
        p.setBrush(QColor(120, 190, 120));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(16 + 9 * ((i % 2) ? 1 : -1) * (i < 2), 16 + 9 * ((i % 2) ? 0 : 1) * (i < 2 ? 1 : -1)), 5, 5);
        p.drawEllipse(QPointF(16, 16), 5, 5);
        break;
    case ToolImage::Messages:  // a speech balloon
        p.setBrush(QColor(250, 230, 120));
        p.drawRoundedRect(3, 5, 26, 17, 4, 4);
        p.drawLine(9, 22, 7, 29);
        break;
    case ToolImage::Settings:  // a dial
        p.setBrush(QColor(200, 200, 200));
        p.drawEllipse(5, 5, 22, 22);
        p.drawLine(16, 16, 24, 9);
        break;
    case ToolImage::Program:  // arrow into the box
        p.setBrush(QColor(230, 120, 80));
        p.drawRect(6, 18, 20, 10);
        p.drawLine(16, 3, 16, 16);
        p.drawLine(11, 11, 16, 16);
        p.drawLine(21, 11, 16, 16);
        break;
    case ToolImage::Read:  // arrow out of the box
        p.setBrush(QColor(80, 160, 230));
        p.drawRect(6, 18, 20, 10);
        p.drawLine(16, 16, 16, 3);
        p.drawLine(11, 8, 16, 3);
        p.drawLine(21, 8, 16, 3);
        break;
    case ToolImage::Test:  // a mast with waves
        p.drawLine(16, 12, 16, 29);
        p.drawArc(8, 4, 16, 16, 30 * 16, 120 * 16);
        p.drawArc(3, 0, 26, 24, 30 * 16, 120 * 16);
        break;
    }
    return pm;
}

QPixmap connectionPicture(bool connected)
{
    QPixmap pm = canvas(40, 40);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(connected ? QColor(40, 180, 60) : QColor(200, 50, 40));
    p.drawEllipse(4, 4, 32, 32);
    p.setPen(QPen(Qt::white, 3));
    if (connected) {
        p.drawLine(12, 20, 18, 27);
        p.drawLine(18, 27, 29, 12);
    } else {
        p.drawLine(13, 13, 27, 27);
        p.drawLine(27, 13, 13, 27);
    }
    return pm;
}

QPixmap brandLogo(int size)
{
    QPixmap pm = canvas(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size, size);
    g.setColorAt(0, QColor(20, 60, 140));
    g.setColorAt(1, QColor(60, 150, 220));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, size - 4, size - 4);
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(size / 2);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Q"));
    return pm;
}

QPixmap brandBanner(int width, int height)
{
    QPixmap pm = canvas(width, height);
    QPainter p(&pm);
    QLinearGradient g(0, 0, width, 0);
    g.setColorAt(0, QColor(20, 60, 140));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(pm.rect(), g);
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(height * 3 / 5);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(8, 0, width - 8, height), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("QUORVANE"));
    return pm;
}

}  // namespace artwork
