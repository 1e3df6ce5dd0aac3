#include "database/families_check.h"

#include "platform/grid.h"

#include <optional>

namespace {

class FamiliesCheckRun {
public:
    FamiliesCheckRun(FamilyTable &families, bool incCapBy8, checks::GridMarks &marks, const FamiliesCheckHooks &hooks)
        : m_fam(families), m_step(incCapBy8 ? 8 : 1), m_marks(marks), m_hooks(hooks)
    {
    }

    FamiliesCheckOutcome run()
    {
        for (;;) {
            m_changed = false;
            if (m_hooks.passStart)
                m_hooks.passStart();
            if (!capcodeStage() || !overlapStage())
                return m_out;
            m_out.result = true;
            if (!m_changed) {
                m_out.end = FamiliesCheckEnd::Finished;
                return m_out;
            }
            ++m_out.correctedPasses;
        }
    }

private:
    // A yield and poll; false (and the outcome set) when the user cancelled.
    bool poll()
    {
        if (m_hooks.cancelRequested && m_hooks.cancelRequested()) {
            m_out.end = FamiliesCheckEnd::Cancelled;
            return false;
        }
        return true;
    }

    bool stop(FamiliesCheckEnd why, int n)
    {
        m_out.end = why;
        m_out.family = n;
        m_out.result = false;
        return false;
    }

    void corrected()
    {
        m_out.result = false;
        m_changed = true;
    }

    // Reads a field as a 32-bit number; a text that is none stops the run.
    bool read32(int n, int field, long long &v)
    {
        const std::optional<long long> x = checks::ToInt32(m_fam[size_t(n - 1)][field]);
        if (!x)
            return stop(FamiliesCheckEnd::NotANumber, n);
        v = *x;
        return true;
    }

    // The same as a pager-ID value of the overlap stage (16 bits).
    bool read16(int n, int field, long long &v)
    {
        if (!read32(n, field, v))
            return false;
        if (!checks::FitsInt16(v))
            return stop(FamiliesCheckEnd::OutOfRange, n);
        return true;
    }

    long long endCap(long long start, long long qty) const { return start + (qty - 1) * m_step; }

    // A capcode rule moved family n to start at `start`.
    bool moveStart(int n, long long start, long long qty, bool firstRule = false)
    {
        if (!checks::FitsInt32(start) || !checks::FitsInt32(endCap(start, qty)))
            return stop(FamiliesCheckEnd::OutOfRange, n);
        FamilyRow &f = m_fam[size_t(n - 1)];
        f[famStartCap] = firstRule ? QStringLiteral("0000008") : QString::number(start);
        corrected();
        m_marks.markCorrected(n, kFamColStartCap, f[famStartCap]);
        m_marks.setDerived(n, kFamColEndCap, checks::PadNumber(endCap(start, qty), 7));
        m_marks.setCol(0);
        return true;
    }

    // Rules 3 and 4: a range that holds a capcode of the block moves below it.
    bool clearBlock(int n, long long &start, long long qty, long long block)
    {
        for (long long c = block; c <= block + 7; ++c) {
            if (!poll())
                return false;
            if (start <= c && c <= endCap(start, qty)) {
                start = block - qty * m_step;
                if (!moveStart(n, start, qty))
                    return false;
            }
        }
        return true;
    }

    bool capcodeStage()
    {
        for (int n = 1; n <= kFamilyCount; ++n) {
            if (!poll())
                return false;
            m_marks.setRow(n);
            if (!checks::FamilyTakesPart(m_fam[size_t(n - 1)]))
                continue;
            long long start = 0, qty = 0;
            if (!read32(n, famStartCap, start) || !read32(n, famPagerQty, qty))
                return false;
            // a range longer than the legal capcodes would be moved back and
            // forth between the two ends for ever
            if ((qty - 1) * m_step > kHighestCapcode - kLowestCapcode)
                return stop(FamiliesCheckEnd::OutOfRange, n);
            if (start < kLowestCapcode) {
                start = kLowestCapcode;
                if (!moveStart(n, start, qty, true))
                    return false;
            }
            if (endCap(start, qty) > kHighestCapcode) {
                start = kHighestCapcode - qty * m_step;
                if (!moveStart(n, start, qty))
                    return false;
            }
            if (!clearBlock(n, start, qty, kIllegalBlock1) || !clearBlock(n, start, qty, kIllegalBlock2))
                return false;
        }
        return true;
    }

    bool overlapStage()
    {
        for (int i = 1; i <= kFamilyCount; ++i) {
            if (!poll())
                return false;
            if (!checks::FamilyTakesPart(m_fam[size_t(i - 1)]))
                continue;
            long long sI = 0, qI = 0;
            if (!read16(i, famStartID, sI) || !read16(i, famPagerQty, qI))
                return false;
            // a family of no pagers holds no pager ID: nothing overlaps it
            if (qI < 1)
                continue;
            const long long eI = sI + qI - 1;
            if (!checks::FitsInt16(eI))
                return stop(FamiliesCheckEnd::OutOfRange, i);
            for (int j = i + 1; j <= kFamilyCount; ++j) {
                if (!poll())
                    return false;
                m_marks.setRow(j);
                FamilyRow &fj = m_fam[size_t(j - 1)];
                if (!checks::FamilyTakesPart(fj))
                    continue;
                long long sJ = 0, qJ = 0;
                if (!read16(j, famStartID, sJ) || !read16(j, famPagerQty, qJ))
                    return false;
                // shortening such a family would give it a negative quantity
                if (qJ < 1)
                    continue;
                if (sI <= sJ && sJ <= eI) {
                    sJ = eI + 1;
                    if (!checks::FitsInt16(sJ))
                        return stop(FamiliesCheckEnd::OutOfRange, j);
                    fj[famStartID] = QString::number(sJ);
                    corrected();
                    m_marks.markCorrected(j, kFamColStartID, fj[famStartID]);
                    m_marks.setCol(0);
                }
                const long long eJ = sJ + qJ - 1;
                if (!checks::FitsInt16(eJ))
                    return stop(FamiliesCheckEnd::OutOfRange, j);
                // a later family that ends inside, or starts below and ends
                // above (it holds the earlier one whole), ends right before it
                const bool endsInside = sI <= eJ && eJ <= eI;
                const bool holdsIt = sJ < sI && eJ > eI;
                if (endsInside || holdsIt) {
                    qJ = sI - sJ;
                    long long cap = 0;
                    if (!read32(j, famStartCap, cap))
                        return false;
                    fj[famPagerQty] = QString::number(qJ);
                    corrected();
                    m_marks.markCorrected(j, kFamColQty, fj[famPagerQty]);
                    m_marks.setDerived(j, kFamColEndCap, checks::PadNumber(endCap(cap, qJ), 7));
                    m_marks.setCol(0);
                }
            }
        }
        return true;
    }

    FamilyTable &m_fam;
    const long long m_step;
    checks::GridMarks &m_marks;
    const FamiliesCheckHooks &m_hooks;
    FamiliesCheckOutcome m_out;
    bool m_changed = false;
};

}  // namespace

FamiliesCheckOutcome RunFamiliesCheck(FamilyTable &families, bool incCapBy8, checks::GridMarks &marks,
                                      const FamiliesCheckHooks &hooks)
{
    return FamiliesCheckRun(families, incCapBy8, marks, hooks).run();
}

QStringList FamiliesCheckStoppedLines(FamiliesCheckEnd end, int family)
{
    const QString name = QStringLiteral("Family ") + QString::number(family);
    if (end == FamiliesCheckEnd::OutOfRange)
        return {name + QStringLiteral(" Holds Pager IDs or Capcodes Beyond the Numbers the Check Handles"),
                QStringLiteral("The Families Check Was Stopped"),
                QStringLiteral("Please Correct the Family and Press OK Again")};
    return {name + QStringLiteral(" Holds a Pager Quantity, Start ID or Start Capcode That is Not a Number"),
            QStringLiteral("The Families Check Was Stopped"),
            QStringLiteral("Please Correct the Family and Press OK Again")};
}

bool CheckFamiliesDatabase(platform::FlexGrid *grid, FamiliesCheckOutcome *outcome)
{
    checks::CheckProgress progress(kCheckingFamiliesText, gRun.bFamiliesEdited);
    checks::GridMarks marks(grid);
    FamiliesCheckHooks hooks;
    hooks.passStart = [&] { progress.show(); };
    hooks.cancelRequested = [&] { return progress.cancelRequested(); };
    const FamiliesCheckOutcome out = RunFamiliesCheck(gDb.Families, gSettings.bIncCapBy8, marks, hooks);
    if (out.correctedPasses > 0)
        gRun.bFamilyFieldsAdjusted = true;
    progress.close();
    switch (out.end) {
    case FamiliesCheckEnd::Finished:
        progress.ranToEnd();
        if (gRun.bFamilyFieldsAdjusted)
            checks::ShowAdjustedBox(kFamiliesAdjustedLines, kFamiliesAdjustedTitle);
        break;
    case FamiliesCheckEnd::Cancelled:
        break;
    case FamiliesCheckEnd::NotANumber:
    case FamiliesCheckEnd::OutOfRange:
        checks::ShowAdjustedBox(FamiliesCheckStoppedLines(out.end, out.family), kFamiliesCheckStoppedTitle);
        break;
    }
    if (outcome)
        *outcome = out;
    return out.result;
}
