// Scripted answers for the program's message boxes and file dialogs.
// A test queues the answers it expects to give; a box that no answer was
// queued for fails the test (and is answered Cancel/No so nothing blocks).
#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <functional>

#include "support/checked.h"
#include "support/printers.h"

namespace testing_support {

struct SeenPrompt {
    platform::Prompt::Kind kind;
    QString title;
    QString text;
    platform::Icon icon;
    platform::Buttons buttons;
    int defaultButton;
    QString fileName;
    QString filter;
};

class ScriptedPrompts {
public:
    ScriptedPrompts();   // installs itself
    ~ScriptedPrompts();  // restores the real dialogs

    // Queue the answer for the next box.
    void answer(platform::Answer a);
    // Queue the file name the next file dialog returns (empty: Cancel).
    void answerFile(const QString &path);
    // Queue an answer computed from the prompt.
    void answerWith(std::function<platform::Reply(const platform::Prompt &)> f);
    // Answer every box that has no queued answer with its first button
    // instead of failing (for tests that only count boxes).
    void allowUnexpected(bool allow) { m_allowUnexpected = allow; }
    // Answer every box that has no queued answer with `f` instead (for tests
    // whose boxes depend on what they drew); `f` judges the box itself.
    // An empty function puts the usual handling back.
    void answerUnqueuedWith(std::function<platform::Reply(const platform::Prompt &)> f) { m_unqueued = std::move(f); }

    const QList<SeenPrompt> &seen() const { return m_seen; }
    int count() const { return int(m_seen.size()); }
    // The newest box; when none was shown the test fails here, with a
    // message, and reads an empty box instead of crashing.
    SeenPrompt last() const { return Last(m_seen, "box"); }
    int pending() const { return int(m_queue.size()); }
    void clear() { m_seen.clear(); }

private:
    platform::Reply handle(const platform::Prompt &p);
    QList<std::function<platform::Reply(const platform::Prompt &)>> m_queue;
    QList<SeenPrompt> m_seen;
    bool m_allowUnexpected = false;
    std::function<platform::Reply(const platform::Prompt &)> m_unqueued;
};

// Makes every box that no ScriptedPrompts answers fail the running test.
void InstallFailingPromptHandler();

// Texts of a box as the program writes them: lines joined by CR.
QString lines(std::initializer_list<QString> l);

}  // namespace testing_support
