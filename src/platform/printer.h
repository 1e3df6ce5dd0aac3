// The printer as the report sees it: a current font (name, size, bold), a
// current position in twips (1/1440 inch) measured from the top left corner
// of the printable area, and a few drawing calls. It draws with a QPainter on
// a QPrinter, which it opens on the first drawing call.
//
// Once anything fails (the device cannot be opened, a new page cannot be
// started, the printer reports an error) the printer is failed: every later
// call does nothing and returns false.
#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

class QPixmap;
class QPrinter;

namespace platform {

class Printer {
public:
    explicit Printer(QPrinter &device);
    ~Printer();  // ends a document that is still open
    Printer(const Printer &) = delete;
    Printer &operator=(const Printer &) = delete;

    // ---- current font ----------------------------------------------------
    QString FontName() const { return m_font.family(); }
    void setFontName(const QString &name);
    double FontSize() const { return m_points; }  // points
    void setFontSize(double points);
    bool FontBold() const { return m_font.bold(); }
    void setFontBold(bool on);

    // ---- current position (twips, top left of the next text) -------------
    double CurrentX = 0;
    double CurrentY = 0;

    // ---- measures (twips) ---------------------------------------------------
    // The printable area of the page.
    double PageWidth() const;
    double PageHeight() const;
    // Width and line height of a text in the current font.
    double TextWidth(const QString &text) const;
    double TextHeight() const;

    // ---- drawing -------------------------------------------------------------
    // Draws the text with its top left corner at the current position, then
    // moves to the start of the next line (CurrentX 0, CurrentY one line down).
    bool Print(const QString &text);
    // Draws the picture scaled into the rectangle.
    bool PaintPicture(const QPixmap &picture, double x, double y, double width, double height);
    // Ends the current page and starts the next one.
    bool NewPage();
    // Ends the document and hands it to the printer. A printer that drew
    // nothing produces no document at all.
    bool EndDoc();

    bool Failed() const { return m_failed; }
    // True once the document has been opened (something was drawn).
    bool Started() const { return m_started; }

private:
    bool ensureOpen();
    bool check();
    void useTwips();

    QPrinter &m_device;
    QPainter m_painter;
    QFont m_font;
    double m_points = 10;
    bool m_started = false;
    bool m_failed = false;
    bool m_ended = false;
};

}  // namespace platform
