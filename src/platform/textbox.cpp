#include "platform/textbox.h"

#include <QLineEdit>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>

namespace platform {

namespace {

// Checks every change of a one-line box. The box calls validate() with its
// text already changed; a text the program set counts as unmodified there,
// so only the user's edits are held to the length allowed, which follows
// every text the user did not type.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit *box, qsizetype maxLength)
        : QValidator(box), m_box(box), m_max(maxLength), m_allowed(std::max(maxLength, box->text().size())),
          m_last(box->text())
    {
        connect(box, &QLineEdit::textChanged, this, [this](const QString &text) {
            if (!m_box->isModified())
                m_allowed = std::max(m_max, text.size());
            m_last = text;
        });
    }

    State validate(QString &input, int &pos) const override
    {
        const qsizetype excess = input.size() - m_allowed;
        if (excess <= 0 || !m_box->isModified())
            return Acceptable;
        // the user's insertion ends at the cursor: keep its first characters,
        // or refuse the edit when none of them fits
        if (pos < excess)
            return Invalid;
        QString kept = input;
        kept.remove(pos - excess, excess);
        if (kept == m_last)
            return Invalid;
        input = kept;
        pos -= int(excess);
        return Acceptable;
    }

private:
    QLineEdit *m_box;
    qsizetype m_max;
    qsizetype m_allowed;
    QString m_last;  // the text before the edit being checked
};

}  // namespace

void SetTypingLimit(QLineEdit *box, int maxLength)
{
    box->setMaxLength(32767);  // Qt's own limit would cut the program's text
    box->setValidator(new TypingLimit(box, maxLength));
}

LimitedTextEdit::LimitedTextEdit(int maxLength, QWidget *parent)
    : QPlainTextEdit(parent), m_max(maxLength), m_allowed(maxLength)
{
    // every change the user did not make sets the length allowed
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_typing)
            m_allowed = std::max(m_max, toPlainText().size());
    });
}

template <typename Edit>
void LimitedTextEdit::userEdit(Edit edit)
{
    m_typing = true;
    edit();
    const qsizetype excess = toPlainText().size() - m_allowed;
    if (excess > 0) {
        // the insertion ends at the cursor: keep its first characters, in
        // the same undo step
        QTextCursor c = textCursor();
        const int end = c.position();
        c.setPosition(std::max(0, end - int(excess)));
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.joinPreviousEditBlock();
        c.removeSelectedText();
        c.endEditBlock();
    }
    m_typing = false;
}

void LimitedTextEdit::keyPressEvent(QKeyEvent *e)
{
    userEdit([&] { QPlainTextEdit::keyPressEvent(e); });
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent *e)
{
    userEdit([&] { QPlainTextEdit::inputMethodEvent(e); });
}

void LimitedTextEdit::insertFromMimeData(const QMimeData *source)
{
    userEdit([&] { QPlainTextEdit::insertFromMimeData(source); });
}

}  // namespace platform
