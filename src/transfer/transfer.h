// Everything the four database transfer procedures need apart from the
// serial link and the windows. Each procedure is a loop over the steps below:
// send `step.wire()` (discarding pending input first when `step.flushFirst`),
// show `step.caption` when it is not empty, wait until
// `step.replyComplete(reply)`, the reply time-out or the cancel flag, then
// judge the reply with the functions named. No exchange is ever retried and
// nothing is undone after a failure.
//
// Reading, version 8 (ReadEncoderDatabaseV8)
//  1. Hourglass. Port closed: PortNotOpenBox (critical icon), default
//     pointer, and nothing else is asked, sent or changed. When the view no
//     longer matches the encoder, ask OverwriteEditsBox(); anything but Yes
//     ends here with nothing touched.
//  2. No-modified-status on, both wait flags cleared, toolbar disabled.
//  3. IDAsCapQuery(V8), with pending input discarded first. Cancel: clear the
//     flag, go to 8. Otherwise bSerial1IDAsCap = IDAsCapReportedOn(reply), the
//     label IDAsCapLabel(V8, ..); a time-out counts as off. Remember the answer.
//  4. Each of SettingsQueries(V8): JudgeReadStep; Failed -> ReadErrorBox, go
//     to 8; Cancelled -> go to 8 (flag stays set); Ok -> StoreSettingsReply.
//     After "capby8" the Inc-by-8 label follows bIncCapBy8.
//  5. Each of RecordOrder(): RecordRequestStep, judged as in 4, then
//     ReadRecordReply into the tables.
//  6. Only when 3 found the mode on: IDAsCapSwitch(V8, true), not flushed.
//     Cancel: clear the flag, go to 8. Not IDAsCapConfirmed: the
//     ImproperResponseBox, cancel box closed, the not-connected picture to
//     the front, go to 8.
//  7. Success: kReadSuccessCaption, bMatchesEncoder, lookup and Send
//     Messages enabled, toolbar enabled.
//  8. Always: close the cancel box; when ApplyComp1Rule(..) changed a port,
//     the view is marked as changed by the program and Comp1NotDefinedBox()
//     shown; default pointer; Test menu enabled;
//     no-modified-status off.
//
// Reading, version 7 (ReadEncoderDatabaseV7): as version 8, except
//  - the query IDAsCapQuery(V7) is not flushed, and when the mode is on it is
//    switched off at once with IDAsCapSwitch(V7, false) (cancel: clear the
//    flags, go to the end; not confirmed: improper-response handling and the
//    end, nothing read);
//  - the settings are SettingsQueries(V7) (nine keys; "pet" also ends at RS);
//  - after the records the mode is switched back on only if it was on; not
//    confirmed, the label shows it off and a matching view is marked
//    modified (ShowIDAsCapLeftOff) before the improper-response handling;
//    a failed step after the switch-off runs RestoreIDAsCapAfterFailure;
//  - the end has no COMP1 rule; labels use IDAsCapLabel(V7, ..).
//
// Programming, both families (WriteEncoderDatabaseV7 / V8)
//  1. No-modified-status on, cancel flag cleared, hourglass; version 7 sets
//     the reply time-out to 8000 ms (and leaves it so).
//  2. Port closed: PortNotOpenBox, default pointer, no-modified-status off,
//     return (toolbar untouched, nothing sent).
//  3. CheckBeforeProgramming(fw, ..): a problem is shown with
//     ProgrammingBlockedTitle()/ProgrammingBlockedText() (exclamation icon)
//     and the run ends as at 2: nothing sent, nothing else changed.
//  4. Toolbar disabled. The port's InputLen back to 0 (every read takes all
//     that is waiting). IDAsCapQuery(fw), not flushed. ReplyNamesComp2:
//     Comp2DetectedBox, common exit. Cancelled: clear the flags, common exit.
//     A time-out is no failure. IDAsCapReportedOn: label on (version 8 also
//     sets bSerial1IDAsCap True), then IDAsCapSwitch(fw, false): cancelled ->
//     common exit; not IDAsCapConfirmed -> ImproperResponseBox, cancel box
//     closed, not-connected picture to the front, common exit. Reported off:
//     label off (bSerial1IDAsCap unchanged).
//  5. Each of SettingsCommands(fw, settings), then each ProgrammedRecordStep
//     of RecordOrder(), then ClosingIDAsCapCommand(fw, settings): JudgeWriteStep;
//     Failed -> clear both flags, WriteErrorBox, default pointer, then, when
//     4 switched the mode off, RestoreIDAsCapAfterFailure; common exit.
//     Version 7: once the closing command is taken, the label shows the mode
//     it set.
//  6. Success: kWriteSuccessCaption, bMatchesEncoder, lookup and Send Messages
//     enabled.
//  7. Common exit: toolbar enabled, default pointer, cancel box closed,
//     no-modified-status off. No "config reboot" is sent.
#pragma once

#include "transfer/boxes.h"
#include "transfer/commands.h"
#include "transfer/matchclaim.h"
#include "transfer/records.h"
#include "transfer/tapblock.h"
#include "transfer/validation.h"

// The four procedures, built on the functions above and the serial link (no arguments;
// they work through the shared state and the main window).
void ReadEncoderDatabaseV8();
void ReadEncoderDatabaseV7();
void WriteEncoderDatabaseV8();
void WriteEncoderDatabaseV7();
