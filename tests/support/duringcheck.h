// Steps a test takes from inside a families or groups check, as a user's
// click or key comes in while the check lets window events through.
#pragma once

#include <QTimer>

#include <functional>

namespace testing_support {

// Calls `step` at every pass of the message loop while the check's cancel box
// is up, until it returns true. A check passes through its loop often but
// briefly, so the step is tried at every pass, not on a clock.
class DuringCheck {
public:
    explicit DuringCheck(std::function<bool()> step);
    // Whether the step got to its end.
    bool done() const { return m_done; }

private:
    QTimer m_timer;
    bool m_done = false;
};

}  // namespace testing_support
