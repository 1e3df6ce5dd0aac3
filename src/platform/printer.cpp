#include "platform/printer.h"

#include <QFontMetricsF>
#include <QPixmap>
#include <QPrinter>

namespace platform {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;
}

Printer::Printer(QPrinter &device) : m_device(device)
{
    // no shaping: "fi" and the like stay two letters, as on the old printers
    m_font.setStyleStrategy(QFont::PreferNoShaping);
    // design metrics: a text measures the same on every printer
    m_font.setHintingPreference(QFont::PreferNoHinting);
    m_font.setFamily(QStringLiteral("Arial"));
    setFontSize(10);
}

Printer::~Printer()
{
    if (m_started && !m_ended && m_painter.isActive())
        m_painter.end();
}

void Printer::setFontName(const QString &name) { m_font.setFamily(name); }

// The painter draws in twips, so a font is sized in twips too (20 to the
// point): whole numbers for every usual size, and no rounding to the
// device's pixels that would stretch a line of text.
void Printer::setFontSize(double points)
{
    if (points <= 0)
        return;
    m_points = points;
    m_font.setPixelSize(qMax(1, qRound(points * kTwipsPerPoint)));
}

void Printer::setFontBold(bool on) { m_font.setBold(on); }

void Printer::useTwips()
{
    m_painter.resetTransform();
    m_painter.scale(m_device.logicalDpiX() / kTwipsPerInch, m_device.logicalDpiY() / kTwipsPerInch);
}

double Printer::PageWidth() const { return m_device.width() * kTwipsPerInch / m_device.logicalDpiX(); }

double Printer::PageHeight() const { return m_device.height() * kTwipsPerInch / m_device.logicalDpiY(); }

double Printer::TextWidth(const QString &text) const
{
    return QFontMetricsF(m_font).horizontalAdvance(text);
}

double Printer::TextHeight() const
{
    return QFontMetricsF(m_font).height();
}

bool Printer::check()
{
    if (m_device.printerState() == QPrinter::Error || m_device.printerState() == QPrinter::Aborted)
        m_failed = true;
    return !m_failed;
}

bool Printer::ensureOpen()
{
    if (m_failed || m_ended)
        return false;
    if (!m_started) {
        m_started = true;
        if (!m_painter.begin(&m_device)) {
            m_failed = true;
            return false;
        }
        useTwips();
    }
    return check();
}

bool Printer::Print(const QString &text)
{
    if (!ensureOpen())
        return false;
    m_painter.setFont(m_font);
    m_painter.setPen(Qt::black);
    // the position is the top of the text; QPainter wants the baseline
    const QFontMetricsF fm(m_font);
    m_painter.drawText(QPointF(CurrentX, CurrentY + fm.ascent()), text);
    CurrentX = 0;
    CurrentY += fm.height();
    return check();
}

bool Printer::PaintPicture(const QPixmap &picture, double x, double y, double width, double height)
{
    if (!ensureOpen())
        return false;
    if (!picture.isNull()) {
        const QRectF target(x, y, width, height);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
        m_painter.drawPixmap(target, picture, QRectF(picture.rect()));
    }
    return check();
}

bool Printer::NewPage()
{
    if (!ensureOpen())
        return false;
    if (!m_device.newPage())
        m_failed = true;
    else
        useTwips();
    return check();
}

bool Printer::EndDoc()
{
    if (m_ended)
        return !m_failed;
    m_ended = true;
    if (!m_started)
        return !m_failed;
    if (m_painter.isActive() && !m_painter.end())
        m_failed = true;
    return check();
}

}  // namespace platform
