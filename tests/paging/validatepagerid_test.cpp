// The pager ID check before a test page: boxes, texts and verdicts.
#include "pagingfixture.h"

#include "paging/validatepagerid.h"

using namespace paging_test;
using testing_support::lines;

namespace {

class ValidatePagerIDTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        sPINErrorText.clear();
        SetPagingHost(&host);
        prompts.allowUnexpected(true);
    }
    void TearDown() override { SetPagingHost(nullptr); }

    // The verdict on `text` and how many boxes it showed.
    bool check(const QString &text)
    {
        host.pin = text;
        prompts.clear();
        return ValidatePagerID();
    }
    void family(int row, const char *start, const char *qty, const char *complete = "YES")
    {
        gDb.Families[row][famStartID] = QString::fromLatin1(start);
        gDb.Families[row][famPagerQty] = QString::fromLatin1(qty);
        gDb.Families[row][famComplete] = QString::fromLatin1(complete);
    }
    void group(int row, const char *id, const char *complete = "YES")
    {
        gDb.Groups[row][grpGroupID] = QString::fromLatin1(id);
        gDb.Groups[row][grpComplete] = QString::fromLatin1(complete);
    }
    void expectIdBox(std::initializer_list<QString> detail)
    {
        ASSERT_EQ(prompts.count(), 1);
        EXPECT_EQ(prompts.last().title, "Invalid ID");
        QStringList all{QStringLiteral("Pager ID value is incorrect.")};
        for (const QString &l : detail)
            all << l;
        EXPECT_EQ(prompts.last().text, all.join(QLatin1Char('\r')));
        EXPECT_EQ(prompts.last().icon, platform::Icon::None);
        EXPECT_EQ(prompts.last().buttons, platform::Buttons::OK);
    }

    TestHost host;
    testing_support::ScriptedPrompts prompts;
};

const QString kCapcodeText = lines({"The Capcode value cannot include alpha characters", "or the following illegal Capcodes:",
                                    "", "0 through 8", "2007664 through 2007671", "2045056 through 2045063",
                                    "or greater than 2097143"});

}  // namespace

TEST_F(ValidatePagerIDTest, CapcodeModeAcceptsExactlyTheLegalRange)
{
    gSettings.sSerial1Protocol = QStringLiteral("QV");
    const std::pair<const char *, bool> cases[] = {
        {"8", false},       {"9", true},        {"0000009", true},  {"2097143", true},  {"2097144", false},
        {"2007663", true},  {"2007664", false}, {"2007671", false}, {"2007672", true},  {"2045055", true},
        {"2045056", false}, {"2045063", false}, {"2045064", true},  {"12", true},       {"0", false},
    };
    for (const auto &[text, ok] : cases) {
        EXPECT_EQ(check(QString::fromLatin1(text)), ok) << text;
        EXPECT_EQ(prompts.count(), ok ? 0 : 1) << text;
        if (!ok) {
            EXPECT_EQ(prompts.last().title, "Invalid Capcode");
            EXPECT_EQ(prompts.last().text, kCapcodeText);
            EXPECT_EQ(prompts.last().icon, platform::Icon::None);
        }
    }
}

TEST_F(ValidatePagerIDTest, CapcodeModeRefusesAnythingButDigitsWithTheCapcodeBox)
{
    gSettings.sSerial1Protocol = QStringLiteral("SCOPE");
    for (const char *text : {"12A", "12 34", "-12", "+12"}) {
        EXPECT_FALSE(check(QString::fromLatin1(text))) << text;
        ASSERT_EQ(prompts.count(), 1) << text;
        EXPECT_EQ(prompts.last().text, kCapcodeText);
    }
    EXPECT_TRUE(sPINErrorText.isEmpty());
}

TEST_F(ValidatePagerIDTest, AnEmptyCapcodeFailsWithoutABoxOfItsOwn)
{
    gSettings.bSerial1IDAsCap = true;
    EXPECT_FALSE(check(QString()));
    EXPECT_EQ(prompts.count(), 0);
}

TEST_F(ValidatePagerIDTest, IdAsCapcodeJudgesShortTextsAsCapcodesNotDatabaseIds)
{
    gSettings.sSerial1Protocol = QStringLiteral("TAP");
    gSettings.bSerial1IDAsCap = true;
    EXPECT_TRUE(check(QStringLiteral("12")));  // no family or group holds 12
    EXPECT_FALSE(check(QStringLiteral("5")));
    EXPECT_EQ(prompts.last().title, "Invalid Capcode");
    // the mode needs the exact protocol words
    gSettings.bSerial1IDAsCap = false;
    gSettings.sSerial1Protocol = QStringLiteral("qv");
    EXPECT_FALSE(check(QStringLiteral("12")));
    EXPECT_EQ(prompts.last().title, "Invalid ID");
}

TEST_F(ValidatePagerIDTest, ShortIdsAreFoundInCompleteFamiliesByValue)
{
    family(3, "0010", "005");  // pagers 10..14
    EXPECT_TRUE(check(QStringLiteral("12")));
    EXPECT_TRUE(check(QStringLiteral("0012")));
    EXPECT_TRUE(check(QStringLiteral("10")));
    EXPECT_TRUE(check(QStringLiteral("14")));
    EXPECT_TRUE(check(QStringLiteral("12b")));  // a trailing function letter is dropped
    EXPECT_TRUE(check(QStringLiteral("14D")));
    EXPECT_FALSE(check(QStringLiteral("15")));
    expectIdBox({"Pager ID value not in current database"});
    EXPECT_EQ(sPINErrorText, "Pager ID value not in current database");
    EXPECT_FALSE(check(QStringLiteral("9")));
    // an incomplete family is not searched, whatever its Active field
    family(3, "0010", "005", "");
    gDb.Families[3][famActive] = QStringLiteral("1");
    EXPECT_FALSE(check(QStringLiteral("12")));
}

TEST_F(ValidatePagerIDTest, ShortIdsWithLettersElsewhereAreRefused)
{
    family(0, "0010", "005");
    for (const char *text : {"12E", "1A2", "12 ", "A152", "12bb"}) {
        EXPECT_FALSE(check(QString::fromLatin1(text))) << text;
        expectIdBox({"Expected Numeric Characters", "Got Alpha Characters"});
    }
}

TEST_F(ValidatePagerIDTest, GroupIdsMatchOnlyInTheirStoredForm)
{
    group(2, "0012");
    group(4, "77", "");
    EXPECT_TRUE(check(QStringLiteral("0012")));
    EXPECT_FALSE(check(QStringLiteral("12")));
    EXPECT_FALSE(check(QStringLiteral("77")));  // not complete
    expectIdBox({"Pager ID value not in current database"});
}

TEST_F(ValidatePagerIDTest, FamiliesWithoutPagersNeverMatchAndAnEmptyEntryReachesTheGroups)
{
    family(0, "0000", "000");
    EXPECT_FALSE(check(QString()));
    expectIdBox({"Pager ID value not in current database"});
    group(9, "");
    EXPECT_TRUE(check(QString()));
}

TEST_F(ValidatePagerIDTest, NumbersThatCannotBeFormedEndWithoutABox)
{
    family(0, "0010", "005");
    EXPECT_FALSE(check(QString()));  // an empty entry against a family with pagers
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_FALSE(check(QStringLiteral("b")));  // a lone function letter leaves nothing
    EXPECT_EQ(prompts.count(), 0);
    family(0, "32767", "002");  // last ID beyond 16 bits
    EXPECT_FALSE(check(QStringLiteral("12")));
    EXPECT_EQ(prompts.count(), 0);
    family(0, "", "");  // complete but without numbers
    EXPECT_FALSE(check(QStringLiteral("12")));
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_TRUE(sPINErrorText.isEmpty());
}

TEST_F(ValidatePagerIDTest, DirectIdsAreJudgedOnTheirFormAlone)
{
    EXPECT_TRUE(check(QStringLiteral("1234A52")));
    EXPECT_TRUE(check(QStringLiteral("00152")));
    EXPECT_TRUE(check(QStringLiteral("99999999999999n20")));
    EXPECT_FALSE(check(QStringLiteral("12345")));
    expectIdBox({"Expected A, a, N, n, 0, or 1", "Got 3"});
    EXPECT_FALSE(check(QStringLiteral("12A62")));
    expectIdBox({"Expected 1, 2, or 5", "Got 6"});
    EXPECT_FALSE(check(QStringLiteral("12A55")));
    expectIdBox({"Expected 0, 1, 2, 3, or 4", "Got 5"});
    EXPECT_FALSE(check(QStringLiteral("x0152")));
    expectIdBox({"Expected Numeric Characters", "Got Alpha Characters"});
}
