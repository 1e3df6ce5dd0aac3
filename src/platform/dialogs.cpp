#include "platform/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QList>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace platform {

namespace {

PromptHandler &handler()
{
    static PromptHandler h;
    return h;
}

// The boxes (null) and modal dialogs up now, innermost last.
QList<const QDialog *> &modalStack()
{
    static QList<const QDialog *> stack;
    return stack;
}

// Counts a box or dialog as up while it lives.
class ModalScope {
public:
    explicit ModalScope(const QDialog *dialog = nullptr) { modalStack().append(dialog); }
    ~ModalScope() { modalStack().removeLast(); }
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;
};

QString &appTitle()
{
    static QString title = QStringLiteral("Quorvane Paging System");
    return title;
}

// "Pager Database Files (*.pg8)|*.pg8" -> "Pager Database Files (*.pg8)"
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &desc = parts[i];
        out << (desc.contains(QLatin1Char('(')) ? desc : desc + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')'));
    }
    return out.join(QStringLiteral(";;"));
}

Reply showMessage(const Prompt &p)
{
    QMessageBox box(p.parent);
    box.setWindowTitle(p.title.isEmpty() ? AppTitle() : p.title);
    QString text = p.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(text);
    switch (p.icon) {
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::None: break;
    }
    struct B { QMessageBox::StandardButton qt; Answer answer; };
    QList<B> buttons;
    switch (p.buttons) {
    case Buttons::OK: buttons = {{QMessageBox::Ok, Answer::OK}}; break;
    case Buttons::OKCancel: buttons = {{QMessageBox::Ok, Answer::OK}, {QMessageBox::Cancel, Answer::Cancel}}; break;
    case Buttons::AbortRetryIgnore:
        buttons = {{QMessageBox::Abort, Answer::Abort}, {QMessageBox::Retry, Answer::Retry}, {QMessageBox::Ignore, Answer::Ignore}};
        break;
    case Buttons::YesNoCancel:
        buttons = {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}, {QMessageBox::Cancel, Answer::Cancel}};
        break;
    case Buttons::YesNo: buttons = {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}}; break;
    case Buttons::RetryCancel: buttons = {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const B &b : buttons)
        all |= b.qt;
    box.setStandardButtons(all);
    const int def = qBound(1, p.defaultButton, int(buttons.size())) - 1;
    box.setDefaultButton(buttons[def].qt);
    const auto clicked = QMessageBox::StandardButton(box.exec());
    for (const B &b : buttons)
        if (b.qt == clicked)
            return Reply{b.answer, {}, 1};
    // closing the box with its close button answers like its cancel button
    return Reply{buttons.size() == 1 ? buttons[0].answer : Answer::Cancel, {}, 1};
}

Reply showFileDialog(const Prompt &p)
{
    QString name;
    if (p.kind == Prompt::Kind::OpenFile)
        name = QFileDialog::getOpenFileName(p.parent, p.title, p.fileName, qtFilter(p.filter));
    else
        name = QFileDialog::getSaveFileName(p.parent, p.title, p.fileName, qtFilter(p.filter), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return Reply{Answer::Cancel, {}, 1};
    if (p.kind == Prompt::Kind::SaveFile && !p.defaultExt.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + p.defaultExt;
    return Reply{Answer::OK, name, 1};
}

Reply showPrintDialog(const Prompt &p)
{
    if (!p.printer)
        return Reply{Answer::Cancel, {}, 1};
    QPrintDialog dialog(p.printer, p.parent);
    if (dialog.exec() != QDialog::Accepted)
        return Reply{Answer::Cancel, {}, 1};
    return Reply{Answer::OK, {}, qMax(1, p.printer->copyCount())};
}

}  // namespace

Reply Ask(const Prompt &prompt)
{
    const ModalScope up;
    if (handler())
        return handler()(prompt);
    switch (prompt.kind) {
    case Prompt::Kind::Message: return showMessage(prompt);
    case Prompt::Kind::OpenFile:
    case Prompt::Kind::SaveFile: return showFileDialog(prompt);
    case Prompt::Kind::Print: return showPrintDialog(prompt);
    }
    return Reply{};
}

void SetPromptHandler(PromptHandler h) { handler() = std::move(h); }

int ExecModal(QDialog *dialog)
{
    const ModalScope up(dialog);
    return dialog->exec();
}

int ModalDepth() { return int(modalStack().size()); }

bool ModalOpenAbove(const QDialog *dialog)
{
    const QList<const QDialog *> &stack = modalStack();
    const qsizetype at = stack.lastIndexOf(dialog);
    return at < 0 ? !stack.isEmpty() : at < stack.size() - 1;
}

Answer MsgBox(const QString &text, Buttons buttons, Icon icon, const QString &title, int defaultButton)
{
    Prompt p;
    p.kind = Prompt::Kind::Message;
    p.text = text;
    p.buttons = buttons;
    p.icon = icon;
    p.title = title.isEmpty() ? AppTitle() : title;
    p.defaultButton = defaultButton;
    p.parent = QApplication::activeWindow();
    return Ask(p).answer;
}

QString AppTitle() { return appTitle(); }
void SetAppTitle(const QString &title) { appTitle() = title; }

}  // namespace platform
