// Every question the program asks the user (message boxes, open/save/print
// dialogs) goes through Ask(), so that a test can answer it and read it back.
#pragma once

#include <QString>
#include <functional>

class QWidget;
class QPrinter;
class QDialog;

namespace platform {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Answer { None = 0, OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Prompt {
    enum class Kind { Message, OpenFile, SaveFile, Print };
    Kind kind = Kind::Message;
    QString title;   // an empty title is shown as the application title
    QString text;    // message text; lines are separated by CR alone
    Icon icon = Icon::None;
    Buttons buttons = Buttons::OK;
    int defaultButton = 1;  // 1, 2 or 3: which button is the default
    // file dialogs
    QString fileName;  // preset file name (a folder, or a folder and a name)
    QString filter;    // "Description (*.ext)|*.ext"
    QString defaultExt;
    // print dialog
    QPrinter *printer = nullptr;
    QWidget *parent = nullptr;
};

struct Reply {
    Answer answer = Answer::Cancel;  // for a file dialog: OK or Cancel
    QString fileName;                // full path chosen in a file dialog
    int copies = 1;                  // copies asked for in the print dialog
};

using PromptHandler = std::function<Reply(const Prompt &)>;

// Shows the prompt through the installed handler, or the real dialog.
Reply Ask(const Prompt &prompt);

// Installs a handler in place of the real dialogs; an empty handler restores them.
void SetPromptHandler(PromptHandler handler);

// Shows a dialog of the program's own modally and returns its result.
int ExecModal(QDialog *dialog);

// How many boxes and modal dialogs are up now (through Ask or ExecModal),
// one inside another. A wait that one of them was opened from stands still
// until it is answered.
int ModalDepth();

// True while a box or modal dialog is up in front of `dialog` (opened after
// it through Ask or ExecModal); for a dialog not shown through ExecModal,
// while any is up.
bool ModalOpenAbove(const QDialog *dialog);

// The shapes the program uses.
Answer MsgBox(const QString &text, Buttons buttons, Icon icon, const QString &title = QString(),
              int defaultButton = 1);

// The application title: carried by boxes without a title of their own and
// naming the per-user settings.
QString AppTitle();
void SetAppTitle(const QString &title);

}  // namespace platform
