// The rules of the settings dialogs that need no window: the option tables,
// the access code, the COMP1 default-pager rule, the character formats, and
// the checks of the advanced dialog's OK button.
#pragma once

#include "database/state.h"

#include <QString>
#include <QStringList>

// ---- serial port settings dialog ------------------------------------------

inline constexpr int kProtocolOptionCount = 7;
// Caption of protocol option i (0..6) and the protocol stored for it.
QString ProtocolOptionCaption(int index);
QString ProtocolOptionValue(int index);
// The option whose stored value equals `protocol`; -1 for none.
int ProtocolOptionIndex(const QString &protocol);

// The items of the three lists, in their order.
QStringList SpeedItems();     // "300", "1200", "2400", "9600"
QStringList DataBitsItems();  // "7", "8"
QStringList ParityItems();    // "Even", "None"

// COMP1 on port 1 needs group 1's first pager ID as its default pager: True
// when group 1 has none ("0000") or is switched off ("0"). Exact texts: an
// empty field does not count.
bool Comp1LacksDefaultPager(const PagerDatabase &db);

// The character format a port's two lists stand for: "E" for "Even", "N"
// for "None", the data bits, "1". Empty when either list has no selection
// (an empty text), so the caller can keep the stored format.
QString CharacterFormat(const QString &parity, const QString &dataBits);

// ---- access-code dialog ----------------------------------------------------

inline const QString kAccessCode = QStringLiteral("KRELV");
// The entry in capital letters equals the access code (nothing else is done
// to it: blanks count).
bool AccessCodeMatches(const QString &entry);

// ---- advanced settings dialog ----------------------------------------------

// Flow option i (0..4): caption and stored value ("NONE", "HW", "SW",
// "AHW", "ASW"); the index of a stored value, -1 for any other text.
QString FlowOptionCaption(int index);
QString FlowOptionValue(int index);
int FlowOptionIndex(const QString &flow);

// The verdict of the advanced dialog's OK button on the two boxes.
enum class AdvancedValuesVerdict {
    Accept,        // close
    EmptyValue,    // the invalid-values box; both boxes emptied
    BadDutyCycle,  // the invalid-values box; the duty-cycle box emptied
    BadBatch,      // the invalid-values box; the batch box emptied
    BatchTooHigh,  // the batch becomes "32", the batch-limit box, close
};
AdvancedValuesVerdict CheckAdvancedValues(const QString &dutyCycle, const QString &batch);

// Duty-cycle management limits the batch: it is active for a duty cycle
// (digits only) above 0 % and below 100 %; at 0 % and at 100 % or more the
// transmitter is not rationed.
bool DutyCycleManagementActive(const QString &dutyCycle);
inline constexpr int kMaxManagedBatch = 32;

// Texts of the boxes of the settings dialogs (lines joined by CR).
QString LoadErrorText(const QString &description);
QString Comp1BoxTitle();
QString Comp1BoxText();
QString IDAsCapBoxTitle();
QString IDAsCapBoxText();
QString InvalidValuesBoxTitle();
QString InvalidValuesBoxText();
QString BatchLimitBoxTitle();
QString BatchLimitBoxText();
