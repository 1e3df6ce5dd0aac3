// Reading the encoder's pager database and settings into memory, for both
// firmware families: one loop over the steps of the transfer core.
#include "app/forms.h"
#include "transfer/transfer.h"
#include "transfer/transferrun.h"

#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/state.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <optional>

using namespace transfer_run;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

enum class RunEnd { Success, Stopped, WindowGone };

class DatabaseReader {
public:
    explicit DatabaseReader(Firmware fw) : m_fw(fw) {}

    // Everything from the ID-as-capcode query to the restore; the caller
    // does the preparation and the closing steps.
    RunEnd run()
    {
        StepResult r = RunStep(IDAsCapQuery(m_fw));
        if (!alive())
            return RunEnd::WindowGone;
        if (r.cancelled) {
            ClearWaitFlags();
            return RunEnd::Stopped;
        }
        const bool on = IDAsCapReportedOn(r.reply);
        gSettings.bSerial1IDAsCap = on;
        SetIDAsCapLabel(m_w, m_fw, on);

        // a version 7 encoder must not take the pager IDs as capcodes while
        // its records are read
        if (m_fw == Firmware::V7 && on) {
            const SwitchOff off = SwitchIDAsCapOffForRun(m_fw);
            if (!alive())
                return RunEnd::WindowGone;
            if (off != SwitchOff::Done)
                return RunEnd::Stopped;
            m_switchedOff = true;
        }

        for (const CommandStep &step : SettingsQueries(m_fw)) {
            r = RunStep(step);
            if (const auto end = judge(r))
                return *end;
            if (!StoreSettingsReply(m_fw, step.key, r.reply, gSettings))
                m_unstored = true;
            if (step.key == QLatin1String("capby8"))
                m_w->ShowIncBy8Label();
        }

        for (const RecordStep &record : RecordOrder()) {
            r = RunStep(RecordRequestStep(record.kind, record.number));
            if (const auto end = judge(r))
                return *end;
            ReadRecordReply(record.kind, record.number, r.reply, gDb);
        }

        if (!on)
            return RunEnd::Success;
        r = RunStep(IDAsCapSwitch(m_fw, true));
        if (!alive())
            return RunEnd::WindowGone;
        if (r.cancelled) {
            ClearWaitFlags();
            return RunEnd::Stopped;
        }
        if (!IDAsCapConfirmed(r.reply)) {
            // a version 7 encoder switched off for the read keeps the mode off
            if (m_switchedOff)
                ShowIDAsCapLeftOff(m_w, m_fw);
            ImproperResponse(m_w);
            return alive() ? RunEnd::Stopped : RunEnd::WindowGone;
        }
        SetIDAsCapLabel(m_w, m_fw, true);
        return RunEnd::Success;
    }

private:
    bool alive()
    {
        m_w = Window();
        return m_w != nullptr;
    }

    // Nothing to say when the step may go on; otherwise how the run ends.
    std::optional<RunEnd> judge(const StepResult &r)
    {
        if (!alive())
            return RunEnd::WindowGone;
        switch (JudgeReadStep(r.reply, r.timedOut, r.cancelled)) {
        case StepVerdict::Ok:
            return std::nullopt;
        case StepVerdict::Failed:
            ShowBox(ReadErrorBox(m_w->MSComm1.Settings(), m_w->MSComm1.CommPort()));
            platform::SetDefaultPointer();
            break;
        case StepVerdict::Cancelled:
            break;
        }
        if (m_switchedOff)
            RestoreIDAsCapAfterFailure(m_fw, r.reply);
        return alive() ? RunEnd::Stopped : RunEnd::WindowGone;
    }

public:
    // An answer that could not be stored (a number that does not convert)
    // left the view holding something else than the encoder.
    bool unstored() const { return m_unstored; }

private:
    Firmware m_fw;
    frmTerminal *m_w = nullptr;
    bool m_switchedOff = false;
    bool m_unstored = false;
};

void ReadEncoderDatabase(Firmware fw)
{
    frmTerminal *w = Window();
    if (!w)
        return;
    PortBusyGuard busy;
    if (!busy.acquired())
        return;
    platform::SetHourglass();
    // as programming: a closed port is reported before anything is asked or sent
    if (!w->MSComm1.PortOpen()) {
        ShowBox(PortNotOpenBox(w->MSComm1.CommPort()), Icon::Critical);
        platform::SetDefaultPointer();
        return;
    }
    if (!ViewMatchesEncoder()) {
        const TransferBox question = OverwriteEditsBox();
        const Answer answer = platform::MsgBox(question.text, Buttons::YesNoCancel, Icon::Exclamation, question.title);
        w = Window();
        if (answer != Answer::Yes || !w) {
            platform::SetDefaultPointer();
            return;
        }
    }

    gRun.bNoModifiedStatus = true;
    gWait.bCancelRequested = false;
    gWait.bReplyTimeout = false;
    gRun.bEditedDuringTransfer = false;
    SetToolbarButtons(w, false);
    const PagerDatabase dbBefore = gDb;
    const EncoderSettings settingsBefore = gSettings;

    DatabaseReader reader(fw);
    const RunEnd end = reader.run();
    w = Window();
    if (end == RunEnd::WindowGone || !w) {
        platform::SetDefaultPointer();
        gRun.bNoModifiedStatus = false;
        return;
    }

    // the toolbar comes back on every way out, before the modified state
    // takes the test button away again
    SetToolbarButtons(w, true);
    if (end == RunEnd::Success && !gRun.bEditedDuringTransfer && !reader.unstored()) {
        // the encoder holds the tables as the run left them, before an open
        // editor shows them afresh (its load may change them)
        ClaimViewMatches();
        w->SetStatusPanel(1, kReadSuccessCaption);
        w->FollowMatchState();
    } else if (end == RunEnd::Success || gRun.bEditedDuringTransfer || gDb != dbBefore ||
               gSettings != settingsBefore) {
        // part of the view now comes from the encoder and part does not
        w->MarkConfigModified();
    }
    // what was read stays, however the run ended: the open editors show it
    ShowTablesAfreshInOpenEditors();

    forms::unloadCancelSend();
    if (fw == Firmware::V8 && ApplyComp1Rule(gDb, gSettings) != 0) {
        // the encoder keeps its COMP1 port: the view no longer shows it
        MarkViewChanged(ViewChange::ProgramMade);
        ShowBox(Comp1NotDefinedBox());
        w = Window();
    }
    platform::SetDefaultPointer();
    if (w) {
        w->mnuTest->setEnabled(true);
        w->mnuTest->menuAction()->setEnabled(true);
    }
    gRun.bNoModifiedStatus = false;
}

}  // namespace

void ReadEncoderDatabaseV8() { ReadEncoderDatabase(Firmware::V8); }

void ReadEncoderDatabaseV7() { ReadEncoderDatabase(Firmware::V7); }
