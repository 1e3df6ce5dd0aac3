// What the readers and programmers share: one step through the command
// exchange, the main window's controls a transfer touches, and the attempt
// to give the encoder its ID-as-capcode mode back after a failed run.
#pragma once

#include "platform/dialogs.h"
#include "transfer/transfer.h"

#include <QString>

class frmTerminal;

namespace transfer_run {

struct StepResult {
    QString reply;
    bool timedOut = false;
    bool cancelled = false;
    bool found = false;
};

// Shows the step's caption (when it has one), sends it with the reply
// time-out in force and waits for its reply.
StepResult RunStep(const CommandStep &step, bool cancellable = true);

// The main window, or null once it has gone: every wait and every box lets
// window messages run, so a transfer looks again after each one.
frmTerminal *Window();

// Switches port 1's ID-as-capcode mode off for a run. A refusal shows the
// Improper Response box; a cancel after the encoder took it switches the
// mode back on.
enum class SwitchOff { Done, Stopped };
SwitchOff SwitchIDAsCapOffForRun(Firmware fw);

// Both wait flags back to False after a run's wait ended on one of them.
void ClearWaitFlags();

// Every toolbar button, the separator included, and the toolbar itself;
// switched on, the test button follows the view's match with the encoder.
void SetToolbarButtons(frmTerminal *w, bool on);
void ShowBox(const TransferBox &box, platform::Icon icon = platform::Icon::None);
void SetIDAsCapLabel(frmTerminal *w, Firmware fw, bool on);
// The Improper Response way out: box, cancel box closed, default pointer and
// the not-connected picture in front (the port stays open).
void ImproperResponse(frmTerminal *w);

// A run that switched the encoder's ID-as-capcode mode off and then failed
// sends the switch-on once, bounded by the reply time-out and not
// cancellable; its wait ends only at the confirmation, so a late answer to
// the failed step cannot pass for the encoder's. Nothing is tried when the
// failed reply held "ID=": the encoder has left programming mode and would
// take the command as a page. The label then shows the mode the encoder was
// left in; when it was not put back on, a view that matched the encoder is
// marked modified and the Not Restored box says so. True when it was put
// back on.
bool RestoreIDAsCapAfterFailure(Firmware fw, const QString &failedReply);

// A run that switched port 1's ID-as-capcode mode off left it off: the label
// says so, and a view that matched the encoder is marked modified.
void ShowIDAsCapLeftOff(frmTerminal *w, Firmware fw);

// The box shown when that switch-on was not confirmed.
TransferBox IDAsCapNotRestoredBox();

}  // namespace transfer_run
