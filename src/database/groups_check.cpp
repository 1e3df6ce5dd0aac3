#include "database/groups_check.h"

#include "platform/dialogs.h"
#include "platform/grid.h"

#include <cmath>
#include <optional>

namespace {

// The value of a stored text that reads as a number, unrounded.
std::optional<double> numberValue(const QString &text)
{
    if (!checks::ToInt32(text)) {
        // not a whole number that fits: either no number at all, or one too large
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        return v;
    }
    return text.trimmed().toDouble();
}

// A family field as a 32-bit number; a failure is reported and gives none.
std::optional<long long> familyNumber(const QString &text, const GroupsCheckHooks &hooks)
{
    const std::optional<long long> v = checks::ToInt32(text);
    if (!v && hooks.failure)
        hooks.failure(numberValue(text) ? kOverflowText : kTypeMismatchText);
    return v;
}

enum class Search { Found, NotFound, Cancelled };

// Looks for `field` in the pager-ID ranges of the taking-part families, in
// table order. A field that is not a number cannot be compared: the failure
// is reported at the first comparison and the field counts as found, so
// that nothing the check cannot judge is thrown away.
Search findInFamilies(const QString &field, const FamilyTable &families, const GroupsCheckHooks &hooks)
{
    for (const FamilyRow &fam : families) {
        if (hooks.poll && hooks.poll())
            return Search::Cancelled;
        if (!checks::FamilyTakesPart(fam))
            continue;
        const std::optional<long long> start = familyNumber(fam[famStartID], hooks);
        const std::optional<long long> qty = familyNumber(fam[famPagerQty], hooks);
        // a family whose range cannot be worked out holds no pager ID
        if (!start || !qty)
            continue;
        const long long end = *start + *qty - 1;
        if (!checks::FitsInt32(end)) {
            if (hooks.failure)
                hooks.failure(kOverflowText);
            continue;
        }
        if (end < *start)
            continue;  // no pager ID to compare with
        if (field.isEmpty())
            continue;  // an empty field matches nothing
        const std::optional<double> v = numberValue(field);
        if (!v) {
            if (hooks.failure)
                hooks.failure(kTypeMismatchText);
            return Search::Found;
        }
        if (*v >= double(*start) && *v <= double(end) && *v == std::floor(*v))
            return Search::Found;
    }
    return Search::NotFound;
}

}  // namespace

GroupsCheckResult RunGroupsCheck(PagerDatabase &db, const GroupsCheckHooks &hooks)
{
    GroupsCheckResult result;
    auto moveTo = [&](int row, int col) {
        if (hooks.moveTo)
            hooks.moveTo(row, col);
    };
    for (int g = 0; g < kGroupCount; ++g) {
        if (hooks.poll && hooks.poll())
            return result;
        moveTo(-1, g + 1);
        GroupRow &group = db.Groups[size_t(g)];
        if (!checks::GroupTakesPart(group))
            continue;
        for (int k = 1; k <= kGroupPagerIDCount; ++k) {
            if (hooks.poll && hooks.poll())
                return result;
            moveTo(k + 3, -1);
            QString &field = group[size_t(grpPagerID1 + k - 1)];
            if (field == QLatin1String("0000"))
                continue;
            const Search found = findInFamilies(field, db.Families, hooks);
            if (found == Search::Cancelled)
                return result;
            if (found == Search::NotFound) {
                field = QStringLiteral("0000");
                result.adjusted = true;
                if (hooks.blanked)
                    hooks.blanked(g, k);
            }
        }
    }
    moveTo(0, 0);
    result.completed = true;
    return result;
}

bool CheckGroupsDatabase(platform::FlexGrid *grid)
{
    checks::CheckProgress progress(kCheckingGroupsText, gRun.bGroupsEdited);
    progress.show();
    checks::GridMarks marks(grid);

    GroupsCheckHooks hooks;
    hooks.poll = [&progress] { return progress.cancelRequested(); };
    hooks.moveTo = [&marks](int row, int col) {
        if (row >= 0)
            marks.setRow(row);
        if (col >= 0)
            marks.setCol(col);
    };
    hooks.blanked = [&marks](int g, int k) {
        marks.markCorrected(k + 3, g + 1, QString());
        gRun.bGroupFieldsAdjusted = true;
    };
    hooks.failure = [](const QString &description) {
        platform::MsgBox(description, platform::Buttons::OK, platform::Icon::None, platform::AppTitle());
    };

    const GroupsCheckResult result = RunGroupsCheck(gDb, hooks);
    progress.close();
    if (!result.completed)
        return false;
    progress.ranToEnd();
    if (gRun.bGroupFieldsAdjusted)
        checks::ShowAdjustedBox(kGroupsAdjustedLines, kGroupsAdjustedTitle);
    return true;
}
