#include "database/pg8file.h"
#include "pg8_fixture.h"

#include <functional>
#include <gtest/gtest.h>

using namespace pg8test;

namespace {

// The table lines of a file put in place by hand: `count` lines that hold
// nothing the reader knows, so the next line lands at line count + 1.
QByteArray filler(int count)
{
    return QByteArray("-\r\n").repeated(count);
}

struct Loaded {
    PagerDatabase db = FullDatabase();
    EncoderSettings settings = FullSettings();
    QString notes = FullNotes();
    Pg8ReadResult result;
};

// Reads `bytes` over the full database, so every field the file does not set
// can be seen to keep its value.
Loaded readOverFull(const QByteArray &bytes, Pg8ReadMode mode = Pg8ReadMode::Open)
{
    Loaded l;
    l.result = ReadPagerDatabaseFile(bytes, mode, l.db, l.settings, l.notes);
    return l;
}

}  // namespace

TEST(Pg8Read, emptyFields_readAsEmpty)
{
    const Loaded l = readOverFull(
        "Fam1,1,,5,,3,010,,01,\r\n" + filler(49)
        + "Grp1,0042,,0,00,0,00,0,00,,0001,0002,0003,0004,0005,0006,0007,0008,0009,"
          "0010,0011,0012,0013,0014,0015,0016,0017,0018,0019,\r\n"
        + filler(9) + "Msg1,\r\n" + "DutyCycle,\r\nSerial1 Flow,\r\n");
    const FamilyRow &f = l.db.Families[0];
    EXPECT_EQ(f[famStartCap], "");
    EXPECT_EQ(f[famPgrType], "");
    EXPECT_EQ(f[famStartID], "");  // empty is not padded
    EXPECT_EQ(f[famSuffix], "");
    EXPECT_EQ(f[famPagerQty], "010");
    EXPECT_EQ(f[famPrefix], "01");
    const GroupRow &g = l.db.Groups[0];
    EXPECT_EQ(g[grpGroupID], "0042");
    EXPECT_EQ(g[grpActive], "");
    EXPECT_EQ(g[grpPagerID1], "");
    EXPECT_EQ(g[grpPagerID20], "0019");
    EXPECT_EQ(g[grpReference], "");
    EXPECT_EQ(l.db.CannedMessages[0], "");
    EXPECT_EQ(l.settings.sDutyCycle, "");
    EXPECT_EQ(l.settings.sSerial1Flow, "");
    EXPECT_EQ(l.settings.sMaxBatch, "32");
}

TEST(Pg8Read, shortLines_fillOnlyTheFieldsTheyHave)
{
    struct Case {
        const char *line;
        FamilyRow expected;
    } cases[] = {
        // the last value goes to its own field only
        {"Fam1,1,0000777", {"1", "0000777", "1", "N", "0", "003", "1020", "1", "08", "YES"}},
        {"Fam1,0,0000777,", {"0", "0000777", "", "N", "0", "003", "1020", "1", "08", "YES"}},
        {"Fam1,", {"", "0000008", "1", "N", "0", "003", "1020", "1", "08", "YES"}},
        {"Fam1", {"1", "0000008", "1", "N", "0", "003", "1020", "1", "08", "YES"}},
        // more fields than a family has: the extra ones are ignored
        {"Fam1,1,2,5,A,3,4,5,6,7,8,9", {"1", "2", "5", "A", "3", "4", "005", "6", "7", "YES"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(readOverFull(QByteArray(c.line) + "\r\n").db.Families[0], c.expected) << c.line;

    // a group cut short after its Active keeps members and Reference
    const Loaded l = readOverFull(filler(50) + "Grp1,0777,0\r\n");
    GroupRow expected = FullDatabase().Groups[0];
    expected[grpGroupID] = QStringLiteral("0777");
    expected[grpActive] = QStringLiteral("0");
    EXPECT_EQ(l.db.Groups[0], expected);

    // cut after the last member: the Reference was not in the line
    QByteArray upToMembers = "Grp1,1,1,1,1,1,1,1,1";
    for (int k = 0; k < kGroupPagerIDCount; ++k)
        upToMembers += ",9";
    EXPECT_EQ(readOverFull(filler(50) + upToMembers).db.Groups[0][grpReference], "Ward 1, east wing");
    EXPECT_EQ(readOverFull(filler(50) + upToMembers + ",").db.Groups[0][grpReference], "");
    EXPECT_EQ(readOverFull(filler(50) + upToMembers + ",a,b,").db.Groups[0][grpReference], "a,b,");
}

TEST(Pg8Read, missingLines_keepTheirValues)
{
    // family 2, group 1, message 3, notes and most settings are not in the file
    const Loaded l = readOverFull("Fam1,0,1,2,A,3,4,5,6,7\r\n"
                                  "\r\n"
                                  "MaxBatch,5\r\n");
    Loaded expected;
    // an inactive family with capcode 1 is not complete, whatever the row held
    expected.db.Families[0] = {"0", "1", "2", "A", "3", "4", "005", "6", "7", ""};
    expected.settings.sMaxBatch = QStringLiteral("5");
    EXPECT_EQ(l.db, expected.db);
    EXPECT_EQ(l.settings, expected.settings);
    EXPECT_EQ(l.notes, FullNotes());
    EXPECT_FALSE(l.result.notesLineRead);
    EXPECT_FALSE(l.result.incCapsLineRead);
    EXPECT_EQ(l.result.lineCount, 3);
}

TEST(Pg8Read, blankLineAtTop_shiftsEveryRowDown)
{
    PagerDatabase db;
    EncoderSettings settings;
    QString notes;
    ReadPagerDatabaseFile("\r\n" + QByteArray(kFullFile), Pg8ReadMode::Open, db, settings, notes);
    const PagerDatabase full = FullDatabase();
    EXPECT_EQ(db.Families[0], FamilyRow{});
    for (int r = 1; r < kFamilyCount; ++r)
        EXPECT_EQ(db.Families[r], full.Families[r - 1]) << "row " << r;
    EXPECT_EQ(db.Groups[0], GroupRow{});  // its line was family 50's
    for (int r = 1; r < kGroupCount; ++r)
        EXPECT_EQ(db.Groups[r], full.Groups[r - 1]) << "group row " << r;
    EXPECT_EQ(db.CannedMessages[0], "");
    for (int m = 1; m < kMessageCount; ++m)
        EXPECT_EQ(db.CannedMessages[m], full.CannedMessages[m - 1]);
    // settings and notes are found by their keys, wherever they stand
    EXPECT_EQ(settings, FullSettings());
    EXPECT_EQ(notes, FullNotes());
}

TEST(Pg8Read, tableLinesOutsideTheirRows_changeNothing)
{
    const QByteArray file = filler(49)
        + "Grp1,1,1\r\n"                // line 50: before the groups
        + "Fam51,1,1\r\n"               // line 51: after the families
        + filler(8) + "Msg1,x\r\n"      // line 60: before the messages
        + "Grp1,1,1\r\n"                // line 61: after the groups
        + filler(14) + "Msg1,x\r\n"     // line 76: after the messages
        + "Fam1,1\r\n";                 // line 77
    const Loaded l = readOverFull(file);
    EXPECT_EQ(l.db, FullDatabase());
    EXPECT_EQ(l.result.lineCount, 77);
}

TEST(Pg8Read, settingsLines_takeTheirValueOrTheLaterDuplicate)
{
    struct Case {
        const char *line;
        std::function<bool(const EncoderSettings &)> check;
    } cases[] = {
        {"InvertData,0", [](auto &s) { return !s.bInvertData; }},
        {"InvertData,1", [](auto &s) { return s.bInvertData; }},
        {"InvertRFCD,yes", [](auto &s) { return !s.bInvertRFCD; }},
        {"IgnoreRFCD,2", [](auto &s) { return !s.bIgnoreRFCD; }},
        {"IgnoreRFCD,", [](auto &s) { return !s.bIgnoreRFCD; }},
        {"Serial1 Verbose,1 ", [](auto &s) { return !s.bSerial1Verbose; }},
        {"Serial2 Verbose", [](auto &s) { return !s.bSerial2Verbose; }},
        {"Serial1 PPHReset,1", [](auto &s) { return s.bSerial1PPHReset && !s.bSerial2PPHReset; }},
        {"Serial2 IDAsCap,0", [](auto &s) { return s.bSerial1IDAsCap && !s.bSerial2IDAsCap; }},
        {"DutyCycle,5,0", [](auto &s) { return s.sDutyCycle == "5,0"; }},
        // a line without a comma is all value
        {"MaxBatch", [](auto &s) { return s.sMaxBatch == "MaxBatch"; }},
        // recognised by its first characters only, case and all
        {"Dut,77", [](auto &s) { return s.sDutyCycle == "77"; }},
        {"dutyCycle,77", [](auto &s) { return s.sDutyCycle == "50"; }},
        {"Serial1 FLOW,HW", [](auto &s) { return s.sSerial1Flow == "SW"; }},
        {"Serial2 Flow,NONE", [](auto &s) { return s.sSerial2Flow == "NONE" && s.sSerial1Flow == "SW"; }},
        {"MaxBatch,1\r\nMaxBatch,2", [](auto &s) { return s.sMaxBatch == "2"; }},
        {"IncCapsby8,0\r\nIncCapsby8,1", [](auto &s) { return s.bIncCapBy8; }},
    };
    for (const Case &c : cases) {
        const Loaded l = readOverFull(QByteArray(c.line) + "\r\n");
        EXPECT_TRUE(c.check(l.settings)) << c.line;
        EXPECT_EQ(l.db, FullDatabase()) << c.line;
    }
}

TEST(Pg8Read, captionLines_areReported)
{
    struct Case {
        const char *file;
        bool incCaps, idAsCap;
    } cases[] = {
        {"IncCapsby8,0\r\n", true, false},
        {"Serial1 IDAsCap,0\r\n", false, true},
        {"Serial2 IDAsCap,1\r\nIncCaps\r\n", true, false},
        {"", false, false},
    };
    for (const Case &c : cases) {
        const Loaded l = readOverFull(c.file);
        EXPECT_EQ(l.result.incCapsLineRead, c.incCaps) << c.file;
        EXPECT_EQ(l.result.idAsCapLineRead, c.idAsCap) << c.file;
    }
}

TEST(Pg8Read, notesLine_givesTheTextBetweenItsQuotes)
{
    struct Case {
        const char *line;
        const char *notes;
    } cases[] = {
        {"Notes,\"a, \"b\", c\"", "a, \"b\", c"},
        {"Notes,\"\"\"\"", "\"\""},
        {"Notes,\"x\"", "x"},
        {"Notes,\"\"", ""},
        {"Notes,\"", ""},  // too short for its quotes
        {"Notes,", ""},
        {"Notes", ""},
        {"Notes,abcd", "bc"},  // the first and last characters are taken as the quotes
        {"Not,\"n\"", "n"},
    };
    for (const Case &c : cases) {
        const Loaded l = readOverFull(QByteArray(c.line) + "\r\n");
        EXPECT_EQ(l.notes, QString::fromLatin1(c.notes)) << c.line;
        EXPECT_TRUE(l.result.notesLineRead);
    }
}

TEST(Pg8Read, messageLines_takeEverythingAfterTheFirstComma)
{
    const Loaded l = readOverFull(filler(60) + "Msg1,a,b,,c,\r\nMsg2,\r\nMsg3\r\nMsg4,\"q\" \xe9\r\n");
    EXPECT_EQ(l.db.CannedMessages[0], "a,b,,c,");
    EXPECT_EQ(l.db.CannedMessages[1], "");
    EXPECT_EQ(l.db.CannedMessages[2], FullDatabase().CannedMessages[2]);  // nothing to take
    EXPECT_EQ(l.db.CannedMessages[3], QStringLiteral("\"q\" \u00e9"));
}

TEST(Pg8Read, lineEndings_crCrLfAndLf)
{
    struct Case {
        const char *file;
        int lines;
    } cases[] = {
        {"Msg1,a\r\r\nFam1,9", 3},  // "Fam1" at line 3 is row 2
        {"Msg1,a\n\nFam1,9\n", 3},
        {"Msg1,a\r\rFam1,9\r", 3},
        {"Msg1,a\n\r\nFam1,9\r\n", 3},
    };
    for (const Case &c : cases) {
        const Loaded l = readOverFull(c.file);
        EXPECT_EQ(l.result.lineCount, c.lines) << c.file;
        EXPECT_EQ(l.db.Families[2][famActive], "9") << c.file;
        EXPECT_EQ(l.db.Families[0], FullDatabase().Families[0]) << c.file;
    }
}

TEST(Pg8Read, emptyFileAndSettingsOnly_changeNoTable)
{
    const Loaded empty = readOverFull(QByteArray());
    EXPECT_EQ(empty.db, FullDatabase());
    EXPECT_EQ(empty.settings, FullSettings());
    EXPECT_EQ(empty.notes, FullNotes());
    EXPECT_EQ(empty.result.lineCount, 0);

    const QByteArray full(kFullFile);
    const QByteArray settingsOnly = full.mid(full.indexOf("InvertData"));
    PagerDatabase db = FullDatabase();
    db.Families[3][famStartID] = QStringLiteral("7");
    EncoderSettings settings;
    QString notes;
    ReadPagerDatabaseFile(settingsOnly, Pg8ReadMode::Open, db, settings, notes);
    EXPECT_EQ(db.Families[3][famStartID], "7");  // not padded: its line was not read
    EXPECT_EQ(settings, FullSettings());
    EXPECT_EQ(notes, FullNotes());
}

TEST(Pg8Read, fileWithoutALineOfItsKinds_isNotADatabaseAndChangesNothing)
{
    const struct {
        QByteArray file;
        bool notADatabase;
    } cases[] = {
        {"Dear all,\r\nthe mast on the roof is down.\r\n", true},
        {"\r\n\r\n", true},
        {"fam1,1,0000008\r\n", true},  // kinds go by case, as the reader does
        {"", false},
        {"MaxBatch,5\r\n", false},
        {"Notes,\"x\"\r\n", false},
        {"Nothing new\r\n", false},   // "Not" makes a notes line
        {filler(60) + "Fam1,1\r\n", false},  // a family line, if outside the families
    };
    for (const auto &c : cases) {
        const Loaded l = readOverFull(c.file);
        EXPECT_EQ(l.result.notADatabase, c.notADatabase) << c.file.constData();
        if (c.notADatabase) {
            EXPECT_EQ(l.db, FullDatabase());
            EXPECT_EQ(l.settings, FullSettings());
            EXPECT_EQ(l.notes, FullNotes());
        }
    }
}

TEST(Pg8Read, openAndStartUp_differInStartIDAndGroupComplete)
{
    struct Case {
        const char *value;
        const char *open;
        const char *startUp;
    };
    const Case startIDs[] = {
        {"5", "005", "5"}, {"12", "012", "12"}, {"123", "123", "123"}, {"0042", "0042", "0042"},
        {"x", "00x", "x"},
    };
    for (const Case &c : startIDs) {
        const QByteArray line = QByteArray("Fam1,1,0000008,5,A,3,001,") + c.value + ",00,00\r\n";
        EXPECT_EQ(readOverFull(line, Pg8ReadMode::Open).db.Families[0][famStartID], c.open);
        EXPECT_EQ(readOverFull(line, Pg8ReadMode::StartUp).db.Families[0][famStartID], c.startUp);
    }

    // group Complete: Open wants any ID but "0000" or none, start-up a number
    // above 0; otherwise it is emptied, whatever it held ("-" here)
    const Case groupIDs[] = {
        {"0000", "", ""}, {"0001", "YES", "YES"}, {"9", "YES", "YES"}, {"000", "YES", ""},
        {"", "", ""}, {"12a", "YES", ""}, {" 12", "YES", ""}, {"99999999999999999999", "YES", "YES"},
    };
    for (const Case &c : groupIDs) {
        for (Pg8ReadMode mode : {Pg8ReadMode::Open, Pg8ReadMode::StartUp}) {
            Loaded l;
            l.db.Groups[0] = GroupRow{};
            l.db.Groups[0][grpComplete] = QStringLiteral("-");
            ReadPagerDatabaseFile(filler(50) + "Grp1," + c.value + ",1\r\n", mode, l.db, l.settings, l.notes);
            EXPECT_EQ(l.db.Groups[0][grpComplete], mode == Pg8ReadMode::Open ? c.open : c.startUp)
                << "GroupID '" << c.value << "'";
        }
    }
    // and, in both modes, by the groups editor's rule whatever Active holds:
    // a pager ID, and a trigger or the timer on with its message
    const QByteArray unsetIDs = QByteArray(",0000").repeated(18);
    const struct {
        QByteArray line;
        const char *complete;
    } groupDefinitions[] = {
        {"Grp1,0000,0,0,00,0,00,1,05,0100,0101" + unsetIDs + ",Ward 6", "YES"},
        {"Grp1,0000,1,0,00,0,00,1,00,0100,0101" + unsetIDs + ",", ""},
    };
    for (const auto &[line, complete] : groupDefinitions) {
        for (Pg8ReadMode mode : {Pg8ReadMode::Open, Pg8ReadMode::StartUp}) {
            Loaded l;
            l.db.Groups[0][grpComplete] = QStringLiteral("-");
            ReadPagerDatabaseFile(filler(50) + line + "\r\n", mode, l.db, l.settings, l.notes);
            EXPECT_EQ(l.db.Groups[0][grpComplete], complete) << line.constData();
        }
    }

    // family Complete: set by Active "1", emptied otherwise
    for (const char *active : {"1", "0", "", "01"}) {
        Loaded l;
        l.db.Families[0][famComplete] = QStringLiteral("-");
        ReadPagerDatabaseFile(QByteArray("Fam1,") + active + ",1\r\n", Pg8ReadMode::StartUp, l.db,
                              l.settings, l.notes);
        EXPECT_EQ(l.db.Families[0][famComplete], QByteArray(active) == "1" ? "YES" : "") << active;
    }
    // and, in both modes, by a full definition whatever Active holds
    const char *const definitions[][2] = {
        {"Fam1,0,0000008,5,A,3,001,005,00,00", "YES"}, {"Fam1,,2000000,1,N,0,0,0,00,00", "YES"},
        {"Fam1,0,0000008,5,A,3,000,005,00,00", ""},    {"Fam1,0,0000007,5,A,3,001,005,00,00", ""},
        {"Fam1,0,0000008,5,A,3,001,0000,00,00", ""},   {"Fam1,0,0000008,5,X,3,001,005,00,00", ""},
    };
    for (const auto &[line, complete] : definitions) {
        for (Pg8ReadMode mode : {Pg8ReadMode::Open, Pg8ReadMode::StartUp}) {
            Loaded l;
            l.db.Families[0][famComplete] = QStringLiteral("-");
            ReadPagerDatabaseFile(QByteArray(line) + "\r\n", mode, l.db, l.settings, l.notes);
            EXPECT_EQ(l.db.Families[0][famComplete], complete) << line;
        }
    }
}
