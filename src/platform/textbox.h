// Typing limits of text boxes. A limit works as a text box's maximum length
// does: what the user types, pastes or drops cannot take the text past it
// (a paste keeps its first characters), while a text the program puts in the
// box is never cut, however long. Such a longer text can be shortened, and
// typing never takes it past the length it had when the program put it in.
// (Qt's own maximum length also cuts the program's text, so boxes with a
// limit use these instead.)
#pragma once

#include <QPlainTextEdit>

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMimeData;

namespace platform {

// Limits typing in the one-line box to `maxLength` characters; the program
// puts text in with setText().
void SetTypingLimit(QLineEdit *box, int maxLength);

// A multi-line text box whose typing is limited to `maxLength` characters;
// the program puts text in with setPlainText() or insertPlainText().
class LimitedTextEdit : public QPlainTextEdit {
public:
    explicit LimitedTextEdit(int maxLength, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Runs one of the user's edits and takes back what it put past the limit.
    template <typename Edit>
    void userEdit(Edit edit);

    qsizetype m_max;
    qsizetype m_allowed;   // the limit, or the length of a longer text the program put in
    bool m_typing = false;
};

}  // namespace platform
