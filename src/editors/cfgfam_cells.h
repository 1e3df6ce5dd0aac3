// The pager families editor's rules that need no window: what each cell of
// a family row shows, how the typed and chosen values are stored, and when a
// family record is complete.
#pragma once

#include "database/state.h"

#include <QString>
#include <optional>

namespace cfgfam {

// Columns of the families grid; row r (1..50) is family r.
enum Column : int {
    colNumber = 0,
    colActive = 1,
    colQty = 2,
    colStartID = 3,
    colEndID = 4,
    colStartCap = 5,
    colEndCap = 6,
    colPgrType = 7,
    colFunc = 8,
    colRate = 9,
    colPrefix = 10,
    colSuffix = 11,
};
inline constexpr int kGridRows = kFamilyCount + 1;
inline constexpr int kGridCols = 12;

// Column headings (design time) and row labels (set at load).
QString HeadingFormat();
QString RowLabelFormat();

// A stored field as a number, read as the rest of the program reads stored
// numbers; none when it is not one.
std::optional<long long> StoredNumber(const QString &text);
// A typed text is a number when it is one or more decimal digits.
bool TypedNumber(const QString &text, long long &value);

// ---- what the cells show ----------------------------------------------------
QString QtyText(const QString &stored);  // "005" -> "5"; empty when not a number
// Last pager ID, padded with "0" to the length of the stored start ID (never
// cut); empty when the start ID or quantity is not a number, the quantity is
// below 1 or the last pager ID would be.
QString EndIDText(const FamilyRow &row);
// Last capcode, padded to 7 characters; step 8 with `incCapBy8`; empty when
// the start capcode or quantity is not a number, the quantity is below 1 or
// the last capcode would be.
QString EndCapText(const FamilyRow &row, bool incCapBy8);
QString PgrTypeText(const QString &stored);  // "A" -> "Alpha", anything else "Numeric"
// As the window's load step shows them: none for a value it does not know.
std::optional<QString> LoadFuncText(const QString &stored);  // "0".."3" -> "1".."4"
std::optional<QString> LoadRateText(const QString &stored);  // "5", "1", "2" -> "512", "1200", "2400"
// As switching a family ON shows them (empty values are handled there).
QString OnFuncText(const QString &stored);  // "3".."1" -> "4".."2", anything else "1"
QString OnRateText(const QString &stored);  // "5" -> "512", "1" -> "1200", anything else "2400"
// "00" -> "None"; "05" -> "5"; anything else as stored.
QString MsgText(const QString &stored);

// Caption of the prefix or suffix label: `word` is "Prefix" or "Suffix".
// "Prefix:" for "00", an empty field or a number outside 1..15; otherwise
// "Prefix: " and the canned message. With `shorten`, a message of more than
// 90 characters shows its first 85 and "...".
QString MessageLabel(const QString &word, const QString &field, const MessageTable &messages, bool shorten);

// ---- typed fields -----------------------------------------------------------
struct TypedField {
    int field;          // famPagerQty, famStartID, famStartCap
    int maxLength;      // of the in-cell text box
    long long lowest;   // accepted values
    long long highest;  // -1: no upper limit
    int pad;            // stored with "0" up to this length; 0: as typed
    QString commaMessage;
    QString commaReset;  // put back into the text box after a comma
};
// The rule of column 2, 3 or 5; null for any other column.
const TypedField *TypedFieldFor(int col);
inline const QString kInvalidEntryTitle = QStringLiteral("Invalid Entry");
QString PadStored(const QString &typed, int width);

// ---- choice fields ----------------------------------------------------------
QString PgrTypeCode(const QString &shown);  // "Alpha" -> "A", anything else "N"
QString RateCode(const QString &shown);     // "512" -> "5", "1200" -> "1", anything else "2"
QString MsgCode(const QString &shown);      // "None" -> "00", anything else as shown

// The function code pick: whether to ask first and what to store.
struct FuncChoice {
    QString askLine;              // empty: no question
    std::optional<QString> code;  // none: nothing stored
};
FuncChoice DecideFunc(const QString &chosen, const QString &pgrType);
inline const QString kFuncWarningTitle = QStringLiteral("Non-Standard Function Code Warning");
inline const QString kFuncWarningQuestion = QStringLiteral("Are You Sure You Want to Change This Function Code Value?");

// ---- completeness -------------------------------------------------------------
// Quantity neither "000" nor empty, start ID not "0000", start capcode a
// number of 8 or more, pager type "A" or "N". The pager database file's
// readers apply it too, whatever Active holds.
bool FamilyComplete(const FamilyRow &row);
// Whether the cell of column `col` of a family switched ON is marked as a
// missing value: a quantity, start ID, start capcode or pager type that
// makes the record incomplete, or no data rate.
bool ValueMissing(const FamilyRow &row, int col);
// The values of an incomplete record; returns whether it was switched ON
// (its Active "1" is then "0").
bool EraseIncompleteFamily(FamilyRow &row);

// ---- the closing question -----------------------------------------------------
inline const QString kIncompleteTitle = QStringLiteral("Incomplete Database Definition");
QString IncompleteQuestion();

}  // namespace cfgfam
