#include "transfer/transferrun.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "link/exchange.h"
#include "platform/system.h"

#include <QAction>
#include <QLabel>
#include <QStringList>

namespace transfer_run {

namespace {

Term termOf(const QString &lineEnd)
{
    if (lineEnd == QLatin1String("\r\n"))
        return Term::CRLF;
    if (lineEnd == QLatin1String("\r"))
        return Term::CR;
    if (lineEnd == QLatin1String("\r\r"))
        return Term::CRCR;
    return Term::None;
}


}  // namespace

StepResult RunStep(const CommandStep &step, bool cancellable)
{
    if (!step.caption.isEmpty()) {
        if (frmTerminal *w = Window())
            w->SetStatusPanel(1, step.caption);
    }
    const ExchangeResult r = EncoderExchange(step.text, termOf(step.lineEnd), step.flushFirst, step.awaited,
                                             kTimeoutAsSet, cancellable);
    StepResult out;
    out.reply = r.reply;
    out.timedOut = r.timedOut;
    out.cancelled = r.cancelled;
    out.found = r.found;
    return out;
}

frmTerminal *Window() { return forms::terminal(); }

SwitchOff SwitchIDAsCapOffForRun(Firmware fw)
{
    const StepResult r = RunStep(IDAsCapSwitch(fw, false));
    frmTerminal *w = Window();
    if (!w)
        return SwitchOff::Stopped;
    if (r.cancelled) {
        ClearWaitFlags();
        if (IDAsCapConfirmed(r.reply))
            RestoreIDAsCapAfterFailure(fw, r.reply);
        return SwitchOff::Stopped;
    }
    if (!IDAsCapConfirmed(r.reply)) {
        ImproperResponse(w);
        return SwitchOff::Stopped;
    }
    return SwitchOff::Done;
}

void ClearWaitFlags()
{
    gWait.bCancelRequested = false;
    gWait.bReplyTimeout = false;
}

void SetToolbarButtons(frmTerminal *w, bool on)
{
    if (!w)
        return;
    for (int i = 1; i <= 8; ++i) {
        if (QAction *a = w->ToolbarButton(i))
            a->setEnabled(on);
    }
    // the test button comes back only while the view matches the encoder
    if (on)
        w->FollowMatchState();
    w->SetToolbarEnabled(on);
}

void ShowBox(const TransferBox &box, platform::Icon icon)
{
    platform::MsgBox(box.text, platform::Buttons::OK, icon, box.title);
}

void SetIDAsCapLabel(frmTerminal *w, Firmware fw, bool on)
{
    if (w)
        w->lblIDAsCap->setText(IDAsCapLabel(fw, on));
}

void ImproperResponse(frmTerminal *w)
{
    ShowBox(ImproperResponseBox());
    forms::unloadCancelSend();
    platform::SetDefaultPointer();
    if (frmTerminal *still = Window(); still && still == w)
        still->BringConnectedPictureToFront(false);
}

TransferBox IDAsCapNotRestoredBox()
{
    return {QStringLiteral("ID As Capcode Mode Not Restored"),
            QStringList{QStringLiteral("The Paging Encoder's ID As Capcode Mode was Switched Off for the Transfer"),
                        QStringLiteral("and did not Confirm Switching it Back On."),
                        QStringLiteral("Please Check Connections and Program the Encoder Again.")}
                .join(QLatin1Char('\r'))};
}

bool RestoreIDAsCapAfterFailure(Firmware fw, const QString &failedReply)
{
    if (!Window())
        return false;
    bool restored = false;
    if (!LeftProgrammingMode(failedReply)) {
        platform::SetHourglass();
        // the failed step's flags must not end this wait at once
        gWait.bCancelRequested = false;
        CommandStep step = IDAsCapSwitch(fw, true);
        // whatever the failed step still gets is of no use here, also when
        // it comes in after the flush
        step.flushFirst = true;
        step.awaited = {kIDAsCapConfirmation};
        const StepResult r = RunStep(step, false);
        gWait.bCancelRequested = false;
        platform::SetDefaultPointer();
        restored = IDAsCapConfirmed(r.reply);
    }
    frmTerminal *w = Window();
    if (!w)
        return restored;
    if (restored) {
        SetIDAsCapLabel(w, fw, true);
        return true;
    }
    ShowIDAsCapLeftOff(w, fw);
    ShowBox(IDAsCapNotRestoredBox(), platform::Icon::Exclamation);
    return false;
}

void ShowIDAsCapLeftOff(frmTerminal *w, Firmware fw)
{
    SetIDAsCapLabel(w, fw, false);
    // the encoder takes no pager ID as a capcode while the view says it does
    MarkViewChanged(ViewChange::ProgramMade);
}

}  // namespace transfer_run
