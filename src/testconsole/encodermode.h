// The encoder's switch between programming mode and its paging input, as the
// test console and the tuning window make it.
#pragma once

#include <QString>

namespace testconsole {

// "config reboot" on the link, the encoder's restart (the thread sleeps,
// no window message is handled), then the link at port 1's speed and format,
// whose settings text is returned.
QString EnterPagingMode();

// SOH "#PrgmMode#" on the flushed link at port 1's settings, the wait for
// "9600 baud" or the reply time-out (not reported), then the link back at
// "9600,n,8,1" after a short pause.
void ReturnToProgrammingMode();

}  // namespace testconsole
