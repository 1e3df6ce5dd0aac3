// The main window's pager database file commands, driven as a user does.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/pg8_fixture.h"
#include "database/pg8file.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/cfgfam_cells.h"
#include "editors/cfggroup_logic.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "editors/frmcfgmsg.h"
#include "platform/grid.h"
#include "platform/system.h"
#include "support/appfixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testing_support;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {
QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
}  // namespace

class FileCommands : public AppFixture {
protected:
    frmTerminal *w = nullptr;
    void SetUp() override
    {
        AppFixture::SetUp();
        w = start();
        closeSplash();
    }
    QString path(const QString &name) const { return QDir(appDir()).filePath(name); }
};

TEST_F(FileCommands, SaveAsThenOpenGivesBackEverythingAndTheSameBytes)
{
    gDb = pg8test::FullDatabase();
    gSettings = pg8test::FullSettings();
    ClaimViewMatches();
    w->txtConfigNotes->setText("Site 4, \"roof\" mast");
    const QString file = path("site4.pg8");
    prompts.answerFile(file);
    w->mnuSaveAs_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().kind, platform::Prompt::Kind::SaveFile);
    EXPECT_EQ(prompts.last().title, "Save Pager Database File");
    EXPECT_EQ(prompts.last().filter, "Pager Database Files (*.pg8)|*.pg8");
    EXPECT_EQ(w->StatusPanelText(1), "Saved Database to File: site4.pg8, Matches Encoder");
    EXPECT_EQ(gRun.sDBFileName, "site4.pg8");
    EXPECT_EQ(stored("LastFile"), file);
    EXPECT_TRUE(w->mnuSave->isEnabled());
    const QByteArray saved = readFile(file);
    EXPECT_EQ(saved, WritePagerDatabaseFile(pg8test::FullDatabase(), pg8test::FullSettings(),
                                            "Site 4, \"roof\" mast", nullptr));

    // an emptied program opens it again, field for field
    gDb = PagerDatabase{};
    gSettings = EncoderSettings{};
    w->txtConfigNotes->clear();
    prompts.answerFile(file);
    w->mnuOpenFile_Click();
    EXPECT_EQ(prompts.last().title, "Open Pager Database File");
    EXPECT_EQ(gDb.Families, pg8test::FullDatabase().Families);
    EXPECT_EQ(gDb.CannedMessages, pg8test::FullDatabase().CannedMessages);
    for (int g = 0; g < kGroupCount; ++g)
        EXPECT_EQ(gDb.Groups[g], pg8test::FullDatabase().Groups[g]) << g;
    EXPECT_EQ(gSettings.bSerial1IDAsCap, true);
    EXPECT_EQ(w->txtConfigNotes->text(), "Site 4, \"roof\" mast");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is ON for Port 1");
    EXPECT_EQ(w->lblIncBy8->text(), "Increment Capcodes by 8 Mode is ON");
    EXPECT_EQ(w->StatusPanelText(1), "Loaded File: site4.pg8, Doesn't Match Encoder");
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_FALSE(w->cmdLookup->isEnabled());
    EXPECT_FALSE(w->mnuSendMsg->isEnabled());
    EXPECT_FALSE(w->ToolbarButton(8)->isEnabled());
    EXPECT_FALSE(gRun.bNoModifiedStatus);

    // Save writes the same bytes back where the file came from
    w->mnuSave_Click();
    EXPECT_EQ(w->StatusPanelText(1), "Saved Database to File: site4.pg8, Doesn't Match Encoder");
    EXPECT_EQ(readFile(file), saved);
}

TEST_F(FileCommands, NotesTakeEightyTypedCharactersAndLongerNotesReadStayWhole)
{
    QTest::keyClicks(w->txtConfigNotes, QString(85, 'n'));
    EXPECT_EQ(w->txtConfigNotes->text(), QString(80, 'n'));

    const QString longNotes(100, 'L');
    const QString file = path("long.pg8");
    writeFile(file, WritePagerDatabaseFile(gDb, gSettings, longNotes, nullptr));
    prompts.answerFile(file);
    w->mnuOpenFile_Click();
    EXPECT_EQ(w->txtConfigNotes->text(), longNotes);
    // typing cannot make them longer; they can still be shortened
    w->txtConfigNotes->end(false);
    QTest::keyClicks(w->txtConfigNotes, "x");
    EXPECT_EQ(w->txtConfigNotes->text(), longNotes);
    QTest::keyClick(w->txtConfigNotes, Qt::Key_Backspace);
    EXPECT_EQ(w->txtConfigNotes->text(), QString(99, 'L'));
}

TEST_F(FileCommands, SaveGoesToTheFolderTheFileCameFrom)
{
    QTemporaryDir other;
    const QString file = QDir(other.path()).filePath("away.pg8");
    gDb = pg8test::FullDatabase();
    writeFile(file, WritePagerDatabaseFile(gDb, gSettings, "", nullptr));
    prompts.answerFile(file);
    w->mnuOpenFile_Click();
    gDb.CannedMessages[0] = "Changed";
    w->mnuSave_Click();
    EXPECT_FALSE(QFile::exists(path("away.pg8")));
    EXPECT_TRUE(readFile(file).contains("Msg1,Changed\r\n"));
}

TEST_F(FileCommands, FailedSaveKeepsTheOldFileAndSaysWhy)
{
    const QString file = path("keep.pg8");
    writeFile(file, "Notes,\"old contents\"\r\n");
    prompts.answerFile(file);
    w->mnuOpenFile_Click();
    const QString statusBefore = w->StatusPanelText(1);

    // a place nothing can be written to: the folder is a plain file
    writeFile(path("blocker"), "x");
    prompts.answerFile(path("blocker/new.pg8"));
    prompts.answer(Answer::OK);
    w->mnuSaveAs_Click();
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_TRUE(prompts.last().text.contains("new.pg8")) << prompts.last().text.toStdString();
    EXPECT_EQ(w->StatusPanelText(1), statusBefore);
    EXPECT_EQ(gRun.sDBFileName, "keep.pg8");
    EXPECT_EQ(stored("LastFile"), file);
    EXPECT_EQ(readFile(file), "Notes,\"old contents\"\r\n");
}

TEST_F(FileCommands, TextOutsideTheCodePageIsNotSaved)
{
    gDb.CannedMessages[2] = QString::fromUtf8("Fire \xce\xa9");  // omega has no byte in the code page
    prompts.answerFile(path("omega.pg8"));
    prompts.answer(Answer::OK);
    w->mnuSaveAs_Click();
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_TRUE(prompts.last().text.contains("3")) << prompts.last().text.toStdString();
    EXPECT_FALSE(QFile::exists(path("omega.pg8")));
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
}

TEST_F(FileCommands, BytesOfTheCodePageComeBackUnchanged)
{
    // a file written on Windows: bytes 0x80 to 0x9F in a message and the notes
    QByteArray high;
    for (int b = 0x80; b <= 0x9F; ++b)
        high += char(b);
    QByteArray bytes = WritePagerDatabaseFile(pg8test::FullDatabase(), pg8test::FullSettings(), "", nullptr);
    bytes.replace("Msg3,Page 3, call desk, ext 203\r\n", "Msg3," + high + "\r\n");
    bytes.replace("Notes,\"\"", "Notes,\"" + high + "\"");
    const QString file = path("windows.pg8");
    writeFile(file, bytes);
    prompts.answerFile(file);
    w->mnuOpenFile_Click();
    // undefined bytes stand for the control characters of the same code
    const QString shown = QStringLiteral(u"\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039"
                                         u"\u0152\u008d\u017d\u008f\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014"
                                         u"\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178");
    EXPECT_EQ(gDb.CannedMessages[2], shown);
    EXPECT_EQ(w->txtConfigNotes->text(), shown);
    w->mnuSave_Click();
    EXPECT_EQ(readFile(file), bytes);

    // a euro sign typed into the notes is byte 0x80
    w->txtConfigNotes->end(false);
    QTest::sendKeyEvent(QTest::Click, w->txtConfigNotes, Qt::Key_unknown, QStringLiteral(u"\u20ac"), Qt::NoModifier);
    w->mnuSave_Click();
    EXPECT_TRUE(readFile(file).endsWith("Notes,\"" + high + "\x80\"\r\n"));
}

TEST_F(FileCommands, OpenOfAMissingFileShowsTheReason)
{
    prompts.answerFile(path("nothere.pg8"));
    prompts.answer(Answer::OK);
    w->mnuOpenFile_Click();
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_EQ(stored("LastFile"), "");
    EXPECT_FALSE(gRun.bNoModifiedStatus);
}

TEST_F(FileCommands, OpenOfAFileThatIsNoDatabaseIsRefusedAndChangesNothing)
{
    const QString site = path("site5.pg8");
    writeFile(site, WritePagerDatabaseFile(pg8test::FullDatabase(), pg8test::FullSettings(), "Site 5", nullptr));
    prompts.answerFile(site);
    w->mnuOpenFile_Click();
    const PagerDatabase dbBefore = gDb;
    const EncoderSettings settingsBefore = gSettings;
    const QString statusBefore = w->StatusPanelText(1);

    const QByteArray prose = "Dear all,\r\nthe mast on the roof is down again.\r\n";
    const QString notes = path("notes.txt");
    writeFile(notes, prose);
    prompts.answerFile(notes);
    prompts.answer(Answer::OK);
    w->mnuOpenFile_Click();
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_EQ(prompts.last().text,
              lines({"The pager database could not be loaded from notes.txt:",
                     "No line in it is a family, group, message, setting or notes line, so it is not a "
                     "pager database file."}));
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, Buttons::OK);
    EXPECT_EQ(gDb, dbBefore);
    EXPECT_EQ(gSettings, settingsBefore);
    EXPECT_EQ(w->txtConfigNotes->text(), "Site 5");
    EXPECT_EQ(w->StatusPanelText(1), statusBefore);
    EXPECT_EQ(gRun.sDBFileName, "site5.pg8");
    EXPECT_EQ(stored("LastFile"), site);
    EXPECT_TRUE(w->mnuSave->isEnabled());
    EXPECT_FALSE(gRun.bNoModifiedStatus);

    // Save still goes to the database file
    gDb.CannedMessages[0] = "Changed";
    w->mnuSave_Click();
    EXPECT_EQ(readFile(notes), prose);
    EXPECT_TRUE(readFile(site).contains("\r\nMsg1,Changed\r\n"));
}

TEST_F(FileCommands, CancelledDialogsChangeNothing)
{
    prompts.answerFile("");
    w->mnuOpenFile_Click();
    prompts.answerFile("");
    w->mnuSaveAs_Click();
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
    EXPECT_FALSE(w->mnuSave->isEnabled());
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_FALSE(gRun.bNoModifiedStatus);
}

TEST_F(FileCommands, UncheckedDatabaseIsNotSaved)
{
    gRun.bDatabaseChecked = false;
    w->mnuSaveAs_Click();  // no dialog at all
    w->mnuSave_Click();
    EXPECT_EQ(prompts.count(), 0);
}

TEST_F(FileCommands, NewDatabaseAsksThenClears)
{
    gDb = pg8test::FullDatabase();
    prompts.answer(Answer::No);
    w->mnuNewDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Clear Pager Database");
    EXPECT_EQ(prompts.last().text, lines({"Are You Sure You Want to Clear the Pager Database?",
                                          "This Action Will Not Erase the Encoder's Database"}));
    EXPECT_EQ(prompts.last().icon, Icon::Question);
    EXPECT_EQ(prompts.last().buttons, Buttons::YesNo);
    EXPECT_EQ(gDb, pg8test::FullDatabase());

    prompts.answer(Answer::Yes);
    w->mnuNewDB_Click();
    PagerDatabase expected = pg8test::FullDatabase();
    ApplyNewDatabase(expected);
    EXPECT_EQ(gDb, expected);
    EXPECT_EQ(gDb.Groups[0][grpReference], "Ward 1, east wing");
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), "New Configuration, Does Not Match Encoder");
}

TEST_F(FileCommands, OpenAndNewDatabaseShowTheTablesAfreshInTheOpenEditors)
{
    PagerDatabase onFile = pg8test::FullDatabase();
    onFile.CannedMessages[2] = "Fire alarm - evacuate via stairs A, B or C";
    const QString file = path("site9.pg8");
    writeFile(file, WritePagerDatabaseFile(onFile, gSettings, "", nullptr));

    // the three editors open on the empty tables and stay open
    ShowFamiliesEditor();
    ShowGroupsEditor();
    ShowMessagesEditor();
    auto *fam = qobject_cast<frmCfgFam *>(forms::window("frmCfgFam"));
    auto *grp = qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup"));
    auto *msg = qobject_cast<frmCfgMsg *>(forms::window("frmCfgMsg"));
    ASSERT_TRUE(fam && grp && msg);

    prompts.answerFile(file);
    w->mnuOpenFile_Click();

    // what is typed next edits the values opened
    QTest::keyClick(msg->txtMsg, Qt::Key_Down);
    QTest::keyClick(msg->txtMsg, Qt::Key_Down);
    QTest::keyClicks(msg->txtMsg, "!");
    QTest::keyClicks(fam->txtFam, "0");
    QTest::keyClick(grp->txtGrp, Qt::Key_Backspace);
    w->mnuSave_Click();
    const QByteArray saved = readFile(file);
    EXPECT_TRUE(saved.contains("\r\nMsg3,Fire alarm - evacuate via stairs A, B or C!\r\n")) << saved.toStdString();
    EXPECT_TRUE(saved.startsWith("Fam1,1,0000008,1,N,0,030,1020,1,08\r\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\r\nGrp1,500,1,1,01,1,15,1,03,6101,")) << saved.toStdString();

    // New Database empties them in the editors too
    prompts.answer(Answer::Yes);
    w->mnuNewDB_Click();
    EXPECT_EQ(msg->fgMessages->TextMatrix(3, 1), "");
    EXPECT_EQ(fam->fgFamilies->TextMatrix(1, cfgfam::colStartID), "");
    EXPECT_EQ(grp->fgGroups->TextMatrix(groupsgrid::rowPagerID1, 1), "");
}

class StartUpLoad : public AppFixture {};

TEST_F(StartUpLoad, LastFileIsReloadedQuietly)
{
    QByteArray bytes = WritePagerDatabaseFile(pg8test::FullDatabase(), pg8test::FullSettings(), "notes", nullptr);
    writeFile(QDir(appDir()).filePath("last.pg8"), bytes);
    store("LastFile", "last.pg8");  // a bare title means the program's folder
    frmTerminal *w = start();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(w->StatusPanelText(1), "Loaded Database File: last.pg8");
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_EQ(gRun.sDBFileName, "last.pg8");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_FALSE(w->mnuSave->isEnabled());
    EXPECT_EQ(w->txtConfigNotes->text(), "notes");
    EXPECT_EQ(gDb.CannedMessages, pg8test::FullDatabase().CannedMessages);
    EXPECT_FALSE(gRun.bLoading);
}

TEST_F(StartUpLoad, MissingLastFileLeavesNoDatabaseLoaded)
{
    store("LastFile", QDir(appDir()).filePath("gone.pg8"));
    frmTerminal *w = start();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
    EXPECT_EQ(gDb, PagerDatabase{});
}

TEST_F(StartUpLoad, LastFileThatIsNoDatabaseIsPassedOver)
{
    writeFile(QDir(appDir()).filePath("notes.txt"), "Dear all,\r\n");
    store("LastFile", "notes.txt");
    frmTerminal *w = start();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");

    // nor does it become the current file: Save As offers the program's
    // folder, as with no last file, and Enter there saves nothing over the
    // prose (Enter takes a file name the dialog offers, and opens a folder)
    prompts.answerWith([](const platform::Prompt &p) {
        return QFileInfo(p.fileName).isDir() ? platform::Reply{Answer::Cancel, {}, 1}
                                             : platform::Reply{Answer::OK, p.fileName, 1};
    });
    w->mnuSaveAs_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().fileName, platform::AppPath());
    EXPECT_EQ(readFile(QDir(appDir()).filePath("notes.txt")), "Dear all,\r\n");
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
    EXPECT_EQ(gRun.sDBFileName, "");  // the printed report's file-name line
}
