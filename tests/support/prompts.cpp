#include "support/prompts.h"

#include <gtest/gtest.h>

namespace testing_support {

ScriptedPrompts::ScriptedPrompts()
{
    platform::SetPromptHandler([this](const platform::Prompt &p) { return handle(p); });
}

ScriptedPrompts::~ScriptedPrompts() { InstallFailingPromptHandler(); }

void InstallFailingPromptHandler()
{
    // a box that no test answered fails the test instead of waiting forever
    platform::SetPromptHandler([](const platform::Prompt &p) {
        ADD_FAILURE() << "box shown without a scripted answer: " << p.title.toStdString() << ": "
                      << p.text.toStdString();
        return platform::Reply{platform::Answer::Cancel, {}, 1};
    });
}

void ScriptedPrompts::answer(platform::Answer a)
{
    m_queue.append([a](const platform::Prompt &) { return platform::Reply{a, {}, 1}; });
}

void ScriptedPrompts::answerFile(const QString &path)
{
    m_queue.append([path](const platform::Prompt &) {
        return path.isEmpty() ? platform::Reply{platform::Answer::Cancel, {}, 1}
                              : platform::Reply{platform::Answer::OK, path, 1};
    });
}

void ScriptedPrompts::answerWith(std::function<platform::Reply(const platform::Prompt &)> f)
{
    m_queue.append(std::move(f));
}

platform::Reply ScriptedPrompts::handle(const platform::Prompt &p)
{
    m_seen.append(SeenPrompt{p.kind, p.title, p.text, p.icon, p.buttons, p.defaultButton, p.fileName, p.filter});
    if (m_queue.isEmpty() && m_unqueued)
        return m_unqueued(p);
    if (m_queue.isEmpty()) {
        if (!m_allowUnexpected)
            ADD_FAILURE() << "unexpected box: title \"" << p.title.toStdString() << "\" text \""
                          << QString(p.text).replace(QLatin1Char('\r'), QLatin1Char('|')).toStdString() << "\"";
        const bool firstIsYes = p.buttons == platform::Buttons::YesNo || p.buttons == platform::Buttons::YesNoCancel;
        if (m_allowUnexpected)
            return platform::Reply{firstIsYes ? platform::Answer::Yes : platform::Answer::OK, {}, 1};
        return platform::Reply{p.buttons == platform::Buttons::OK ? platform::Answer::OK
                               : firstIsYes                       ? platform::Answer::No
                                                                  : platform::Answer::Cancel,
                               {}, 1};
    }
    return m_queue.takeFirst()(p);
}

QString lines(std::initializer_list<QString> l)
{
    QStringList list(l);
    return list.join(QLatin1Char('\r'));
}

}  // namespace testing_support
