#include "database/checks_common.h"

#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "editors/editorcommon.h"
#include "platform/dialogs.h"
#include "platform/grid.h"
#include "platform/system.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QWidget>
#include <cmath>

namespace checks {

bool TakesPart(const QString &active, const QString &complete)
{
    return complete == QLatin1String("YES") && active == QLatin1String("1");
}

bool FamilyTakesPart(const FamilyRow &row) { return TakesPart(row[famActive], row[famComplete]); }

bool GroupTakesPart(const GroupRow &row) { return TakesPart(row[grpActive], row[grpComplete]); }

std::optional<long long> ToInt32(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    const double rounded = std::nearbyint(v);  // halves go to the even neighbour
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        return std::nullopt;
    return static_cast<long long>(rounded);
}

std::optional<int> ToInt16(const QString &text)
{
    const std::optional<long long> v = ToInt32(text);
    if (!v || !FitsInt16(*v))
        return std::nullopt;
    return static_cast<int>(*v);
}

QString PadNumber(long long v, int width)
{
    QString s = QString::number(v);
    if (s.size() < width)
        s.prepend(QString(width - s.size(), QLatin1Char('0')));
    return s;
}

// ---- cancel box, pointer and the editors' input ------------------------------

namespace {

// Swallows the user's input to the families and groups editors, their lists'
// drop-downs included; boxes and dialogs opened over them are windows of
// their own and still take theirs.
class EditorInputBlock : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (!isInput(e->type()) || !inEditor(qobject_cast<QWidget *>(watched)))
            return false;
        e->accept();  // taken here: not handed on to the parent widget either
        return true;
    }

private:
    static bool isInput(QEvent::Type t)
    {
        switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }

    static bool inEditor(const QWidget *w)
    {
        const QWidget *families = forms::window("frmCfgFam");
        const QWidget *groups = forms::window("frmCfgGroup");
        for (; w; w = w->parentWidget()) {
            if (w == families || w == groups)
                return true;
            if (w->isWindow() && w->windowType() != Qt::Popup)
                return false;
        }
        return false;
    }
};

}  // namespace

CheckProgress::CheckProgress(const QString &boxText, bool &editedMark)
    : m_text(boxText), m_edited(editedMark), m_editedBefore(editedMark), m_editorInput(new EditorInputBlock)
{
    ++gRun.iChecksRunning;
    m_edited = false;
    QCoreApplication::instance()->installEventFilter(m_editorInput.get());
}

CheckProgress::~CheckProgress()
{
    close();
    if (!m_ranToEnd && m_editedBefore)
        m_edited = true;
    m_editorInput.reset();  // a deleted filter is taken out of the application's list
    --gRun.iChecksRunning;
}

void CheckProgress::show()
{
    platform::SetHourglass();
    gWait.bCancelRequested = false;
    frmCancelSend *box = forms::cancelSend();
    box->Label1->setText(m_text);
    box->Show();
    m_shown = true;
}

bool CheckProgress::cancelRequested()
{
    platform::DoEvents();
    return gWait.bCancelRequested;
}

void CheckProgress::close()
{
    if (!m_shown)
        return;
    m_shown = false;
    forms::unloadCancelSend();
    platform::SetDefaultPointer();
}

// ---- grid marks -----------------------------------------------------------

GridMarks::GridMarks(platform::FlexGrid *grid) : m_grid(grid) {}

platform::FlexGrid *GridMarks::grid() const { return m_grid; }

void GridMarks::setRow(int row)
{
    if (m_grid)
        m_grid->setRow(row);
}

void GridMarks::setCol(int col)
{
    if (m_grid)
        m_grid->setCol(col);
}

void GridMarks::markCorrected(int row, int col, const QString &text)
{
    if (!m_grid)
        return;
    m_grid->setRow(row);
    m_grid->setCol(col);
    m_grid->setText(text);
    m_grid->setCellBackColor(editor_colours::LightCyan);
}

void GridMarks::setDerived(int row, int col, const QString &text)
{
    if (!m_grid)
        return;
    m_grid->setRow(row);
    m_grid->setCol(col);
    m_grid->setText(text);
    m_grid->setCellForeColor(editor_colours::DarkGrey);
}

void ShowAdjustedBox(const QStringList &lines, const QString &title)
{
    platform::SetDefaultPointer();
    platform::MsgBox(lines.join(QLatin1Char('\r')), platform::Buttons::OK, platform::Icon::Exclamation, title);
}

}  // namespace checks
