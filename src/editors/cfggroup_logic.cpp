#include "editors/cfggroup_logic.h"

#include "database/checks_common.h"
#include "editors/cfgfam_cells.h"
#include "editors/editorcommon.h"

#include <QStringList>

namespace groupsgrid {

namespace {

QString buildHeadings()
{
    QStringList heads{QStringLiteral("^                ")};
    for (int n = 1; n <= 9; ++n)
        heads << QStringLiteral("<  Group %1 ").arg(n);
    heads << QStringLiteral("< Group 10 ");
    return heads.join(QLatin1Char('|'));
}

QString buildRowLabels()
{
    QStringList labels{QString(), QStringLiteral(" Reference"), QStringLiteral(" Active"), QStringLiteral(" Group ID  ")};
    for (int k = 1; k <= kGroupPagerIDCount; ++k)
        labels << QStringLiteral(" Pager ID %1").arg(k);
    labels << QStringLiteral(" Timer Active  ") << QStringLiteral(" Timer Msg #");
    return QStringLiteral(";") + labels.join(QLatin1Char('|'));
}

const QString kOn = QStringLiteral("ON");
const QString kOff = QStringLiteral("OFF");
const QString kNone = QStringLiteral("None");
const QString kYes = QStringLiteral("YES");

void paint(Column &col, int r0, int r1, const QColor &c)
{
    for (int r = r0; r <= r1; ++r)
        col[size_t(r)].back = c;
}

void clearTexts(Column &col, int r0, int r1)
{
    for (int r = r0; r <= r1; ++r)
        col[size_t(r)].text.clear();
}

// The Reference, Group ID, pager IDs and Timer Msg # cells together: the
// cells that show a group's completeness.
void paintDefinition(Column &col, const QColor &c)
{
    col[rowReference].back = c;
    paint(col, rowGroupID, rowPagerID20, c);
    col[rowTimerMsg].back = c;
}

// Tests of a stored field against zero. A text that is not a number cannot
// be judged and is given the benefit of the doubt; an empty text is no
// value at all.
bool aboveZero(const QString &t)
{
    if (t.isEmpty())
        return false;
    const std::optional<int> v = checks::ToInt16(t);
    return !v || *v > 0;
}

bool otherThanZero(const QString &t)
{
    if (t.isEmpty())
        return false;
    const std::optional<int> v = checks::ToInt16(t);
    return !v || *v != 0;
}

// A typed Group ID or pager ID is taken when it is plain decimal digits
// ("1.5", " 12", "+7" and "1e2" are not) worth 1 to 32767.
bool accepted(const QString &typed)
{
    long long v = 0;
    return cfgfam::TypedNumber(typed, v) && v >= 1 && checks::FitsInt16(v);
}

bool anyPager(const GroupRow &rec, bool (*test)(const QString &))
{
    for (int f = grpPagerID1; f <= grpPagerID20; ++f)
        if (test(rec[size_t(f)]))
            return true;
    return false;
}

QString groupIDCellText(const QString &groupID)
{
    const std::optional<int> v = checks::ToInt16(groupID);
    return !v || *v > 0 ? groupID : QString();
}

QString pagerIDCellText(const QString &pagerID)
{
    const std::optional<int> v = checks::ToInt16(pagerID);
    return v && *v > 0 ? QString::number(*v) : QString();
}

// A group switched on shows its record again: the cells of a group that was
// shown off and incomplete had been emptied.
void showDefinitionTexts(const GroupRow &rec, Column &col)
{
    col[rowGroupID].text = groupIDCellText(rec[grpGroupID]);
    for (int r = rowPagerID1; r <= rowPagerID20; ++r)
        col[size_t(r)].text = pagerIDCellText(rec[size_t(PagerField(r))]);
}

// The Timer Active and Timer Msg # cells of a group just switched on.
void showTimer(const GroupRow &rec, Column &col)
{
    const bool timerOn = rec[grpTimerActive] == QLatin1String("1");
    col[rowTimerActive] = timerOn ? Cell{kOn, editor_colours::Green} : Cell{kOff, editor_colours::Red};
    col[rowTimerMsg].text = aboveZero(rec[grpTimerMsg]) ? rec[grpTimerMsg] : kNone;
    if (timerOn && col[rowTimerMsg].text == kNone)
        col[rowTimerMsg].back = editor_colours::Magenta;
}

// Typing into a group that is off switches it on.
void switchOnForTyping(GroupRow &rec, Column &col)
{
    col[rowActive].text = kOn;
    rec[grpActive] = QStringLiteral("1");
    showDefinitionTexts(rec, col);
    bool complete = false;
    if (rec[grpGroupID] != QLatin1String("0000") && anyPager(rec, aboveZero)) {
        complete = true;
    } else {
        rec[grpTrigger1Active] = QStringLiteral("0");
        rec[grpTrigger2Active] = QStringLiteral("0");
        rec[grpTrigger1Msg] = QStringLiteral("00");
        rec[grpTrigger2Msg] = QStringLiteral("00");
        complete = rec[grpTimerActive] == QLatin1String("1") && rec[grpTimerMsg] != QLatin1String("00");
    }
    if (complete)
        rec[grpComplete] = kYes;
    paint(col, rowReference, rowTimerMsg, complete ? editor_colours::Ivory : editor_colours::Magenta);
    showTimer(rec, col);
    col[rowActive].back = editor_colours::Green;
}

// A field holds a value when it differs from its "none" value; an empty
// field (a table no file or encoder filled) holds none either.
bool isSet(const QString &field, const char *none) { return !field.isEmpty() && field != QLatin1String(none); }

// The trigger and timer flags, each with the canned message it sends.
const std::pair<int, int> kMessagePairs[] = {
    {grpTrigger1Active, grpTrigger1Msg}, {grpTrigger2Active, grpTrigger2Msg}, {grpTimerActive, grpTimerMsg}};

}  // namespace

const QString kHeadingFormat = buildHeadings();
const QString kRowLabelFormat = buildRowLabels();

const QString kComp1Title = QStringLiteral("COMP1 Pager ID Not Defined");
const QString kComp1Text = QStringLiteral(
    "COMP1 Protocol is Selected and Requires a Default Pager Assignment\r"
    "The First Pager ID in the First Pager Group is Used as the Default Pager ID\r"
    "The Protocol has been set to TAP");
const QString kIncompleteTitle = QStringLiteral("Incomplete Database Definition");
const QString kIncompleteText = QStringLiteral(
    "Pager Group Definition is Incomplete\r"
    "As Shown by Magenta Fields\r"
    "Are You Sure You Want to Exit?");
const QString kTimerWarningTitle = QStringLiteral("Periodic Paging Warning");
const QString kTimerWarningText = QStringLiteral(
    "Timer Function Causes Automatic Paging Every 2 Minutes\r"
    "Unless Host System Periodically Issues Timer Reset Command\r"
    "Are You Sure You Want to Enable Timer Mode?");

Column LoadColumn(GroupRow &rec)
{
    Column col{};
    col[rowReference].text = rec[grpReference];
    if (rec[grpComplete] != kYes) {
        col[rowActive] = Cell{kOff, editor_colours::Red};
        col[rowReference].back = editor_colours::DarkGrey;
        paint(col, rowGroupID, rowTimerMsg, editor_colours::DarkGrey);
        clearTexts(col, rowGroupID, rowTimerMsg);
        return col;
    }
    const bool active = rec[grpActive] == QLatin1String("1");
    if (active) {
        col[rowActive] = Cell{kOn, editor_colours::Green};
        col[rowReference].back = editor_colours::Ivory;
        paint(col, rowGroupID, rowTimerMsg, editor_colours::Ivory);
    } else {
        col[rowActive] = Cell{kOff, editor_colours::Red};
        col[rowReference].back = editor_colours::LightGrey;
        paint(col, rowGroupID, rowTimerMsg, editor_colours::LightGrey);
        clearTexts(col, rowGroupID, rowTimerMsg);
    }

    // a Group ID is kept without its leading zeros from now on
    const std::optional<int> id = checks::ToInt16(rec[grpGroupID]);
    if (!id || *id > 0) {
        QString &groupID = rec[grpGroupID];
        qsizetype zeros = 0;
        while (zeros < groupID.size() && groupID[zeros] == QLatin1Char('0'))
            ++zeros;
        groupID.remove(0, zeros);
        col[rowGroupID].text = groupID;
    }

    bool pagerShown = false;
    for (int r = rowPagerID1; r <= rowPagerID20; ++r) {
        const QString &field = rec[size_t(PagerField(r))];
        col[size_t(r)].text = pagerIDCellText(field);
        if (aboveZero(field))
            pagerShown = true;
    }

    const bool timerOn = rec[grpTimerActive] == QLatin1String("1");
    col[rowTimerActive].text = timerOn ? kOn : kOff;
    if (active)
        col[rowTimerActive].back = timerOn ? editor_colours::Green : editor_colours::Red;

    const std::optional<int> msg = checks::ToInt16(rec[grpTimerMsg]);
    if (msg && *msg > 0) {
        col[rowTimerMsg].text = rec[grpTimerMsg];
    } else {
        col[rowTimerMsg].text = kNone;
        // a timer without a message cannot page: it is switched off
        if (timerOn) {
            rec[grpTimerActive] = QStringLiteral("0");
            col[rowTimerActive] = Cell{kOff, editor_colours::Red};
        }
    }

    if (active && !pagerShown)
        paint(col, rowPagerID1, rowPagerID20, editor_colours::Magenta);
    return col;
}

void ToggleActive(GroupRow &rec, Column &col)
{
    if (rec[grpActive] == QLatin1String("1")) {
        col[rowActive] = Cell{kOff, editor_colours::Red};
        rec[grpActive] = QStringLiteral("0");
        if (!rec[grpComplete].isEmpty()) {
            col[rowReference].back = editor_colours::LightGrey;
            paint(col, rowGroupID, rowTimerMsg, editor_colours::LightGrey);
        } else {
            // the record keeps its values; only the cells go blank
            col[rowReference].back = editor_colours::DarkGrey;
            paint(col, rowGroupID, rowTimerMsg, editor_colours::DarkGrey);
            clearTexts(col, rowGroupID, rowTimerMsg);
        }
        return;
    }

    col[rowActive].text = kOn;
    rec[grpActive] = QStringLiteral("1");
    showDefinitionTexts(rec, col);
    const QString &groupID = rec[grpGroupID];
    const bool complete =
        (groupID != QLatin1String("0000") && !groupID.isEmpty() && anyPager(rec, aboveZero)) ||
        (rec[grpTimerActive] == QLatin1String("1") && rec[grpTimerMsg] != QLatin1String("00"));
    if (complete)
        rec[grpComplete] = kYes;
    paint(col, rowReference, rowTimerMsg, complete ? editor_colours::Ivory : editor_colours::Magenta);
    showTimer(rec, col);
    col[rowActive].back = editor_colours::Green;
}

void SwitchTimerOff(GroupRow &rec, Column &col)
{
    const bool active = rec[grpActive] == QLatin1String("1");
    if (active)
        col[rowTimerActive].back = editor_colours::Red;
    rec[grpTimerActive] = QStringLiteral("0");
    col[rowTimerActive].text = kOff;
    if (active)
        col[rowTimerMsg].back = editor_colours::Ivory;
}

void SwitchTimerOn(GroupRow &rec, Column &col)
{
    const bool active = rec[grpActive] == QLatin1String("1");
    if (active)
        col[rowTimerActive].back = editor_colours::Green;
    rec[grpTimerActive] = QStringLiteral("1");
    col[rowTimerActive].text = kOn;
    if (active) {
        if (col[rowTimerMsg].text == kNone)
            col[rowTimerMsg].back = editor_colours::Magenta;
        else if (rec[grpComplete] == kYes)
            col[rowTimerMsg].back = editor_colours::Ivory;
    }
}

void TypeField(GroupRow &rec, Column &col, int row, const QString &text)
{
    bool switchedOn = false;
    if (rec[grpActive].isEmpty() || rec[grpActive] == QLatin1String("0")) {
        switchOnForTyping(rec, col);
        switchedOn = true;
    }

    if (row == rowReference) {
        rec[grpReference] = text;
        col[rowReference].text = text;
    } else if (row == rowGroupID) {
        const bool ok = accepted(text);
        rec[grpGroupID] = ok ? text : QStringLiteral("0000");
        col[rowGroupID].text = ok ? text : QString();
        if (switchedOn)
            col[rowGroupID].back = ok ? editor_colours::Ivory : editor_colours::Magenta;
    } else if (row >= rowPagerID1 && row <= rowPagerID20) {
        QString &field = rec[size_t(PagerField(row))];
        if (accepted(text)) {
            field = text;
            col[size_t(row)].text = text;
            if (otherThanZero(rec[grpGroupID])) {
                rec[grpComplete] = kYes;
                if (switchedOn)
                    paintDefinition(col, editor_colours::Ivory);
            } else if (switchedOn) {
                paint(col, rowPagerID1, rowPagerID20, editor_colours::Ivory);
            }
        } else {
            field = QStringLiteral("0000");
            col[size_t(row)].text.clear();
            if (anyPager(rec, otherThanZero)) {
                if (switchedOn)
                    paint(col, rowGroupID, rowPagerID20, editor_colours::Ivory);
            } else {
                rec[grpComplete].clear();
                if (switchedOn)
                    paintDefinition(col, editor_colours::Magenta);
            }
        }
    }
}

void ChooseTimerMessage(GroupRow &rec, Column &col, int row, const QString &entry)
{
    const bool triggerOn = rec[grpTrigger1Active] == QLatin1String("1") ||
                           rec[grpTrigger2Active] == QLatin1String("1") ||
                           rec[grpTimerActive] == QLatin1String("1");
    if (entry != kNone && triggerOn && anyPager(rec, aboveZero)) {
        rec[grpComplete] = kYes;
        paint(col, rowGroupID, rowPagerID20, editor_colours::Ivory);
        col[rowTimerMsg].back = editor_colours::Ivory;
    }
    if (row >= 1 && row < kRows)
        col[size_t(row)].text = entry;
    if (row == rowTimerMsg)
        rec[grpTimerMsg] = entry == kNone ? QStringLiteral("00") : entry;
}

QString MessageLabelText(const QString &entry, const MessageTable &messages)
{
    const std::optional<int> n = checks::ToInt16(entry);
    if (entry == kNone || !n || *n < 1 || *n > kMessageCount)
        return QStringLiteral("Message:");
    return QStringLiteral("Message: ") + messages[size_t(*n - 1)];
}

std::optional<QString> MessageLabelForCell(const QString &cellText, const MessageTable &messages)
{
    const std::optional<int> n = checks::ToInt16(cellText);
    if (!n || *n < 1 || *n > kMessageCount)
        return std::nullopt;
    return QStringLiteral("Message: ") + messages[size_t(*n - 1)];
}

QString ListEntryForCell(const QString &cellText)
{
    if (cellText == QLatin1String("0"))
        return kNone;
    // a number stored with a leading zero ("05", from a file or the
    // encoder) stands for the entry of its value
    const std::optional<int> n = checks::ToInt16(cellText);
    if (n && *n >= 1 && *n <= kMessageCount)
        return QString::number(*n);
    return QString();
}

std::optional<CellPos> MoveForKey(int key, int row, int col)
{
    const int nextCol = col + 1 > kGroupCount ? 1 : col + 1;
    const int prevCol = col - 1 < 1 ? kGroupCount : col - 1;
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:  // Shift+Tab: the shift state is not looked at
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        return row < rowPagerID20 ? CellPos{row + 1, col} : CellPos{rowGroupID, nextCol};
    case Qt::Key_Left:
        return row > rowGroupID ? CellPos{row - 1, col} : CellPos{rowPagerID20, prevCol};
    case Qt::Key_Down:
        return row < rowPagerID20 ? CellPos{row + 1, col} : CellPos{rowGroupID, col};
    case Qt::Key_Up:
        return row > rowGroupID ? CellPos{row - 1, col} : CellPos{rowPagerID20, col};
    default:
        return std::nullopt;
    }
}

bool GroupComplete(const GroupRow &rec)
{
    bool pagerSet = false;
    for (int f = grpPagerID1; f <= grpPagerID20; ++f)
        pagerSet = pagerSet || isSet(rec[size_t(f)], "0000");
    if (!pagerSet)
        return false;
    if (isSet(rec[grpGroupID], "0000"))
        return true;
    for (const auto &[flag, msg] : kMessagePairs)
        if (rec[size_t(flag)] == QLatin1String("1") && isSet(rec[size_t(msg)], "00"))
            return true;
    return false;
}

bool JudgeGroupsOnOk(GroupTable &groups, bool verdict)
{
    bool anyOn = false;
    bool anyIncomplete = false;
    for (GroupRow &rec : groups) {
        if (rec[grpActive] == QLatin1String("0"))
            continue;
        // a trigger or timer without a message cannot page: it goes off
        for (const auto &[flag, msg] : kMessagePairs)
            if (rec[size_t(flag)] == QLatin1String("1") && !isSet(rec[size_t(msg)], "00"))
                rec[size_t(flag)] = QStringLiteral("0");
        if (!GroupComplete(rec))
            rec[grpComplete].clear();
        // a group that is on and not marked complete is reset on closing,
        // whatever made it so: the closing question is due
        if (!rec[grpActive].isEmpty()) {
            anyOn = true;
            anyIncomplete = anyIncomplete || rec[grpComplete] != kYes;
        }
    }
    return anyOn ? anyIncomplete : verdict;
}

int ApplyComp1Rule(const GroupTable &groups, EncoderSettings &settings)
{
    const GroupRow &first = groups[0];
    if (first[grpPagerID1] != QLatin1String("0000") && first[grpActive] != QLatin1String("0"))
        return 0;
    if (settings.sSerial1Protocol == QLatin1String("COMP1")) {
        settings.sSerial1Protocol = QStringLiteral("TAP");
        return 1;
    }
    if (settings.sSerial2Protocol == QLatin1String("COMP1")) {
        settings.sSerial2Protocol = QStringLiteral("TAP");
        return 2;
    }
    return 0;
}

void ResetIncompleteGroups(GroupTable &groups)
{
    for (GroupRow &rec : groups) {
        if (rec[grpComplete] == kYes)
            continue;
        rec[grpGroupID] = QStringLiteral("0000");
        for (int f : {grpActive, grpTrigger1Active, grpTrigger2Active, grpTimerActive})
            rec[size_t(f)] = QStringLiteral("0");
        for (int f : {grpTrigger1Msg, grpTrigger2Msg, grpTimerMsg})
            rec[size_t(f)] = QStringLiteral("00");
        for (int f = grpPagerID1; f <= grpPagerID20; ++f)
            rec[size_t(f)] = QStringLiteral("0000");
        rec[grpComplete].clear();
        rec[grpReference].clear();
    }
}

}  // namespace groupsgrid
