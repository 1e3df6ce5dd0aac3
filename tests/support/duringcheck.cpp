#include "support/duringcheck.h"

#include "app/forms.h"

namespace testing_support {

DuringCheck::DuringCheck(std::function<bool()> step)
{
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this, step] {
        if (!forms::cancelSendIfLoaded() || !step())
            return;
        m_timer.stop();
        m_done = true;
    });
    m_timer.start();
}

}  // namespace testing_support
