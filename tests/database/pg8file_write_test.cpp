#include "database/pg8file.h"
#include "pg8_fixture.h"

#include <QList>
#include <functional>
#include <gtest/gtest.h>

using namespace pg8test;

namespace {

QList<QByteArray> fileLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()) << "last line must end with CR LF";
    lines.removeLast();
    for (QByteArray &l : lines) {
        EXPECT_TRUE(l.endsWith('\r')) << l.constData();
        l.chop(1);
    }
    return lines;
}

}  // namespace

TEST(Pg8Write, fullDatabase_givesTheExactFile)
{
    QString error = QStringLiteral("stale");
    const QByteArray bytes = WritePagerDatabaseFile(FullDatabase(), FullSettings(), FullNotes(), &error);
    EXPECT_EQ(bytes, QByteArray(kFullFile));
    EXPECT_TRUE(error.isEmpty());
}

TEST(Pg8Write, fullDatabase_readsBackFieldForField_inBothModes)
{
    const QByteArray bytes = WritePagerDatabaseFile(FullDatabase(), FullSettings(), FullNotes(), nullptr);
    for (Pg8ReadMode mode : {Pg8ReadMode::Open, Pg8ReadMode::StartUp}) {
        PagerDatabase db;
        EncoderSettings settings;
        QString notes = QStringLiteral("old notes");
        const Pg8ReadResult r = ReadPagerDatabaseFile(bytes, mode, db, settings, notes);
        EXPECT_EQ(r.lineCount, 96);
        EXPECT_TRUE(r.incCapsLineRead && r.idAsCapLineRead && r.notesLineRead);
        for (int i = 0; i < kFamilyCount; ++i)
            EXPECT_EQ(db.Families[i], FullDatabase().Families[i]) << "family " << i + 1;
        for (int i = 0; i < kGroupCount; ++i)
            EXPECT_EQ(db.Groups[i], FullDatabase().Groups[i]) << "group " << i + 1;
        EXPECT_EQ(db.CannedMessages, FullDatabase().CannedMessages);
        EXPECT_EQ(settings, FullSettings());
        EXPECT_EQ(notes, FullNotes());
    }
}

TEST(Pg8Write, emptyAndNewDatabases_giveTheirLines)
{
    PagerDatabase fresh;  // as at program start: every field empty
    PagerDatabase cleared;
    cleared.Groups[2][grpReference] = QStringLiteral("kept");
    ApplyNewDatabase(cleared);
    struct Case {
        const PagerDatabase *db;
        int line;  // 1-based
        const char *text;
    } cases[] = {
        {&fresh, 1, "Fam1,,,,,,,,,"},
        {&fresh, 51, "Grp1,,,,,,,,,,,,,,,,,,,,,,,,,,,,,"},
        {&fresh, 75, "Msg15,"},
        {&cleared, 50, "Fam50,0,0000000,5,A,3,000,0000,00,00"},
        {&cleared, 53, "Grp3,0000,0,0,00,0,00,0,00,0000,0000,0000,0000,0000,0000,0000,0000,0000,"
                       "0000,0000,0000,0000,0000,0000,0000,0000,0000,0000,0000,kept"},
        {&cleared, 61, "Msg1,"},
        {&cleared, 76, "InvertData,0"},
        {&cleared, 78, "DutyCycle,66"},
        {&cleared, 82, "Serial1 PPHReset,1"},
        {&cleared, 93, "Serial2 Databits,N81"},
        {&cleared, 96, "Notes,\"\""},
    };
    for (const Case &c : cases) {
        const QList<QByteArray> lines =
            fileLines(WritePagerDatabaseFile(*c.db, EncoderSettings{}, QString(), nullptr));
        ASSERT_EQ(lines.size(), 96);
        EXPECT_EQ(lines.at(c.line - 1), QByteArray(c.text)) << "line " << c.line;
    }
}

TEST(Pg8Write, latin1Characters_areSingleBytes)
{
    PagerDatabase db;
    db.CannedMessages[0] = QStringLiteral("Caf\u00e9 \u00b0 \u00ff");
    const QList<QByteArray> lines =
        fileLines(WritePagerDatabaseFile(db, EncoderSettings{}, QStringLiteral("\u00c5"), nullptr));
    EXPECT_EQ(lines.at(60), QByteArray("Msg1,Caf\xe9 \xb0 \xff"));
    EXPECT_EQ(lines.at(95), QByteArray("Notes,\"\xc5\""));
}

TEST(Pg8Write, unstorableText_isRefusedNamingTheField)
{
    struct Case {
        std::function<void(PagerDatabase &, EncoderSettings &, QString &)> spoil;
        const char *field;
        const char *detail;
    } cases[] = {
        {[](auto &db, auto &, auto &) { db.CannedMessages[2] = QStringLiteral("5 \u03a9 due"); },
         "Canned message 3 ", "\u201c\u03a9\u201d (U+03A9)"},
        {[](auto &db, auto &, auto &) { db.Groups[1][grpReference] = QStringLiteral("\u65e5"); },
         "Group 2 Reference ", "U+65E5"},
        {[](auto &db, auto &, auto &) { db.Groups[9][grpPagerID20] = QStringLiteral("12\u0663"); },
         "Group 10 Pager ID 20 ", "U+0663"},
        {[](auto &db, auto &, auto &) { db.Families[6][famStartID] = QStringLiteral("\U0001D7D8"); },
         "Family 7 Start ID ", "U+1D7D8"},
        {[](auto &db, auto &, auto &) { db.Families[0][famSuffix] = QString(QChar(0xD800)); },
         "Family 1 Suffix Message ", "U+D800"},
        {[](auto &, auto &s, auto &) { s.sSerial2Flow = QStringLiteral("\u03a9"); },
         "Serial2 Flow setting ", "U+03A9"},
        {[](auto &, auto &, auto &n) { n = QStringLiteral("ok \u2192 not"); },
         "Config Notes ", "U+2192"},
        {[](auto &db, auto &, auto &) { db.CannedMessages[0] = QStringLiteral("two\nlines"); },
         "Canned message 1 ", "line break"},
        // a comma would end the field early and shift the ones after it
        {[](auto &db, auto &, auto &) { db.Families[0][famActive] = QStringLiteral("1,5"); },
         "Family 1 Active ", "comma"},
        {[](auto &db, auto &, auto &) { db.Groups[9][grpPagerID20] = QStringLiteral("60,1"); },
         "Group 10 Pager ID 20 ", "comma"},
        {[](auto &, auto &, auto &n) { n = QStringLiteral("a\rb"); }, "Config Notes ", "line break"},
    };
    for (const Case &c : cases) {
        PagerDatabase db = FullDatabase();
        EncoderSettings settings = FullSettings();
        QString notes = FullNotes();
        c.spoil(db, settings, notes);
        QString error;
        EXPECT_TRUE(WritePagerDatabaseFile(db, settings, notes, &error).isEmpty()) << c.field;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.field))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.detail))) << error.toStdString();
    }
}

TEST(Pg8Write, firstUnstorableFieldInFileOrder_isTheOneNamed)
{
    PagerDatabase db;
    db.CannedMessages[0] = QStringLiteral("\u03a9");
    db.Families[49][famPrefix] = QStringLiteral("\u03a9");
    QString error;
    WritePagerDatabaseFile(db, EncoderSettings{}, QStringLiteral("\u03a9"), &error);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Family 50 Prefix Message "))) << error.toStdString();
}

TEST(Pg8Status, textsOfTheFileCommands)
{
    const QString t = QStringLiteral("site.pg8");
    EXPECT_EQ(SavedDatabaseStatusText(t, true), "Saved Database to File: site.pg8, Matches Encoder");
    EXPECT_EQ(SavedDatabaseStatusText(t, false), "Saved Database to File: site.pg8, Doesn't Match Encoder");
    EXPECT_EQ(OpenedDatabaseStatusText(t), "Loaded File: site.pg8, Doesn't Match Encoder");
    EXPECT_EQ(StartUpLoadedStatusText(t), "Loaded Database File: site.pg8");
    EXPECT_EQ(IncCapBy8CaptionText(true), "Increment Capcodes by 8 Mode is ON");
    EXPECT_EQ(IncCapBy8CaptionText(false), "Increment Capcodes by 8 Mode is OFF");
    EXPECT_EQ(IDAsCapCaptionText(true), "ID As Capcode Mode is ON for Port 1");
    EXPECT_EQ(IDAsCapCaptionText(false), "ID As Capcode Mode is OFF for Port 1");
    EXPECT_EQ(NewDatabaseStatusText(), "New Configuration, Does Not Match Encoder");
    EXPECT_EQ(Pg8FileTitle(QStringLiteral("/srv/sites/north.pg8")), "north.pg8");
}
