// Programming the pager database and settings held in memory into the
// encoder, for both firmware families: one loop over the steps of the
// transfer core.
#include "app/forms.h"
#include "transfer/transfer.h"
#include "transfer/transferrun.h"

#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/state.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include <optional>

using namespace transfer_run;
using platform::Buttons;
using platform::Icon;

namespace {

// A version 7 encoder can take several seconds over a record.
constexpr int kVersion7ReplyTimeoutMs = 8000;

enum class RunEnd { Success, Stopped, WindowGone };

class DatabaseProgrammer {
public:
    // What is sent is the copy taken here, which the checks passed: an edit
    // made while the run waits cannot put an unchecked value on the line.
    DatabaseProgrammer(Firmware fw, const PagerDatabase &db, const EncoderSettings &settings)
        : m_fw(fw), m_db(db), m_settings(settings)
    {
    }

    RunEnd run()
    {
        if (!alive())
            return RunEnd::WindowGone;
        // the ID-as-capcode answers are collected whole, however an earlier
        // user of the port left it
        m_w->MSComm1.setInputLen(0);
        StepResult r = RunStep(IDAsCapQuery(m_fw));
        if (!alive())
            return RunEnd::WindowGone;
        // a port speaking COMP2 cannot take the records
        if (ReplyNamesComp2(r.reply)) {
            ClearWaitFlags();
            ShowBox(Comp2DetectedBox());
            return alive() ? RunEnd::Stopped : RunEnd::WindowGone;
        }
        if (r.cancelled) {
            ClearWaitFlags();
            return RunEnd::Stopped;
        }
        if (IDAsCapReportedOn(r.reply)) {
            if (m_fw == Firmware::V8) {
                // what the encoder holds, whatever the view or its claim said
                gSettings.bSerial1IDAsCap = true;
                m_settings.bSerial1IDAsCap = true;
                gRun.claimedSettings.bSerial1IDAsCap = true;
            }
            SetIDAsCapLabel(m_w, m_fw, true);
            const SwitchOff off = SwitchIDAsCapOffForRun(m_fw);
            if (!alive())
                return RunEnd::WindowGone;
            if (off != SwitchOff::Done)
                return RunEnd::Stopped;
            m_switchedOff = true;
        } else {
            SetIDAsCapLabel(m_w, m_fw, false);
        }

        for (const CommandStep &step : SettingsCommands(m_fw, m_settings)) {
            if (const auto end = send(step))
                return *end;
        }
        for (const RecordStep &record : RecordOrder()) {
            if (const auto end = send(ProgrammedRecordStep(record.kind, record.number, m_db)))
                return *end;
        }
        if (m_fw == Firmware::V8)
            SetIDAsCapLabel(m_w, m_fw, m_settings.bSerial1IDAsCap);
        if (const auto end = send(ClosingIDAsCapCommand(m_fw, m_settings)))
            return *end;
        // a version 7 encoder now holds the mode the closing setting gave it
        if (m_fw == Firmware::V7)
            SetIDAsCapLabel(m_w, m_fw, m_settings.bSerial1IDAsCap);
        return RunEnd::Success;
    }

    // What the run sends: after a success, what the encoder holds.
    const PagerDatabase &sentDatabase() const { return m_db; }
    const EncoderSettings &sentSettings() const { return m_settings; }

private:
    bool alive()
    {
        m_w = Window();
        return m_w != nullptr;
    }

    // Nothing when the encoder took the step; otherwise how the run ends.
    std::optional<RunEnd> send(const CommandStep &step)
    {
        const StepResult r = RunStep(step);
        if (!alive())
            return RunEnd::WindowGone;
        if (JudgeWriteStep(r.reply, r.timedOut, r.cancelled) == StepVerdict::Ok)
            return std::nullopt;
        ClearWaitFlags();
        ShowBox(WriteErrorBox(m_w->MSComm1.Settings(), m_w->MSComm1.CommPort()));
        platform::SetDefaultPointer();
        if (m_switchedOff)
            RestoreIDAsCapAfterFailure(m_fw, r.reply);
        return alive() ? RunEnd::Stopped : RunEnd::WindowGone;
    }

    Firmware m_fw;
    PagerDatabase m_db;
    EncoderSettings m_settings;
    frmTerminal *m_w = nullptr;
    bool m_switchedOff = false;
};

// The way out of a run that never reached the encoder.
void endBeforeSending()
{
    platform::SetDefaultPointer();
    gRun.bNoModifiedStatus = false;
}

void WriteEncoderDatabase(Firmware fw)
{
    frmTerminal *w = Window();
    if (!w)
        return;
    PortBusyGuard busy;
    if (!busy.acquired())
        return;
    gRun.bNoModifiedStatus = true;
    if (fw == Firmware::V7)
        w->Timer2.setInterval(kVersion7ReplyTimeoutMs);
    gWait.bCancelRequested = false;
    platform::SetHourglass();

    if (!w->MSComm1.PortOpen()) {
        ShowBox(PortNotOpenBox(w->MSComm1.CommPort()), Icon::Critical);
        endBeforeSending();
        return;
    }
    // a value the encoder would split, cut or misread is never sent
    if (const auto problem = CheckBeforeProgramming(fw, gDb, gSettings)) {
        platform::MsgBox(ProgrammingBlockedText(*problem), Buttons::OK, Icon::Exclamation, ProgrammingBlockedTitle());
        endBeforeSending();
        return;
    }

    gWait.bCancelRequested = false;
    gRun.bEditedDuringTransfer = false;
    SetToolbarButtons(w, false);

    DatabaseProgrammer programmer(fw, gDb, gSettings);
    const RunEnd end = programmer.run();
    w = Window();
    if (end == RunEnd::WindowGone || !w) {
        endBeforeSending();
        return;
    }

    SetToolbarButtons(w, true);
    if (gRun.bEditedDuringTransfer && (end == RunEnd::Success || gRun.bMatchesEncoder)) {
        // the encoder holds at most what the view showed when the run
        // started, however the run ended; a failed run that matched nothing
        // keeps the failing step's caption
        w->MarkConfigModified();
    } else if (end == RunEnd::Success) {
        ClaimViewMatches(programmer.sentDatabase(), programmer.sentSettings());
        w->SetStatusPanel(1, kWriteSuccessCaption);
        w->FollowMatchState();
    }
    platform::SetDefaultPointer();
    forms::unloadCancelSend();
    gRun.bNoModifiedStatus = false;
}

}  // namespace

void WriteEncoderDatabaseV8() { WriteEncoderDatabase(Firmware::V8); }

void WriteEncoderDatabaseV7() { WriteEncoderDatabase(Firmware::V7); }
