// The test console against a simulated encoder and against a scripted peer:
// its opening and closing exchanges, a page per protocol, the range test and
// the archive buttons.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "paging/commlog.h"
#include "paging/frames.h"
#include "platform/system.h"
#include "support/checked.h"
#include "support/ptypeer.h"
#include "support/simharness.h"
#include "testconsole/frmmessagetest.h"
#include "testconsole/frmrangetest.h"
#include "testconsole/frmtxtune.h"
#include "testconsole/testconsole.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <future>
#include <thread>
#include <sys/resource.h>

using namespace testing_support;
using platform::Answer;

namespace {

frmMessageTest *console() { return qobject_cast<frmMessageTest *>(forms::window("frmMessageTest")); }
bool consoleShown() { return console() && console()->isVisible(); }
frmRangeTest *rangeDialog() { return console() ? console()->rangeDialog() : nullptr; }

// Once the range test dialog shows: Start with `boxes` boxes answered OK, which
// must refuse to start, then Cancel, then the console closes.
void RefusedRangeStartThenClose(ScriptedPrompts &prompts, int boxes, const QString &baseMessage = QString())
{
    auto cancelled = std::make_shared<bool>(false);
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&prompts, boxes, baseMessage, cancelled] {
        if (!baseMessage.isNull())
            rangeDialog()->txtBaseMsg->setText(baseMessage);
        rangeDialog()->txtCycleTime->setText("-1");
        for (int i = 0; i < boxes; ++i)
            prompts.answer(Answer::OK);
        rangeDialog()->cmdStart->click();
        EXPECT_FALSE(gRun.bRangeTestRunning);
        *cancelled = true;
        rangeDialog()->cmdCancel->click();
    });
    RunWhen([=] { return *cancelled && consoleShown(); }, [] { console()->done(0); });
}

// How long until `timer` runs out (its clock is the QTimer it owns).
int msLeft(const platform::Timer &timer)
{
    const auto *clock = timer.findChild<QTimer *>();
    return clock ? clock->remainingTime() : -1;
}

const QByteArray kReboot("config reboot\r");
const QByteArray kPrgmMode("\x01#PrgmMode#");

class ConsoleSim : public SimAppFixture {
protected:
    // The simulated encoder in programming mode with the port open, the
    // view matching it, port 1 paging at 2400 bit/s.
    void openWithEncoder()
    {
        encsim::Config cfg;
        cfg.startInProgrammingMode = true;
        ASSERT_NE(startWithEncoder(cfg), nullptr);
        encoder->sim().setSetting(QStringLiteral("serial1 baud"), QStringLiteral("2400"));
        gSettings.sSerial1Baud = QStringLiteral("2400");
        gSettings.bSerial1IDAsCap = true;
        // The opening pauses 1 s for the encoder's restart: the simulator
        // takes "config reboot" on its own thread, which a busy machine may
        // hold up, and must have it before the line changes speed.
        platform::SetTimeScale(0.4);
        ASSERT_TRUE(w->MSComm1.setPortOpen(true)) << w->MSComm1.ErrorText().toStdString();
        w->mnuTest->setEnabled(false);
        ClaimViewMatches();
    }
    QList<encsim::Page> pages() { return encoder->sim().withEncoder([](encsim::Encoder &e) { return e.pages(); }); }
};

}  // namespace

TEST_F(ConsoleSim, OpeningSwitchesToPagingATapPageIsAcknowledgedAndClosingReturnsToProgramming)
{
    openWithEncoder();
    QString panel, pinLabel, idAsCap;
    bool fcVisible = true;
    QStringList log;
    QString settingsWhileOpen;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        settingsWhileOpen = w->MSComm1.Settings();
        panel = c->StatusPanel1->text();
        pinLabel = c->lblPIN->text();
        idAsCap = c->lblIDAsCap->text();
        fcVisible = c->lblFC->isVisible();
        EXPECT_FALSE(c->cmdSendMsg->isEnabled());
        c->txtPIN->setText("123456");
        EXPECT_FALSE(c->cmdSendMsg->isEnabled());  // no message yet
        c->setMessageText("Hello pager");
        EXPECT_EQ(c->lblMsgLen->text(), "Message Length: 11");
        ASSERT_TRUE(c->cmdSendMsg->isEnabled());
        c->cmdSendMsg->click();
        for (int i = c->lb_log->count() - 1; i >= 0; --i)
            log << c->lb_log->item(i)->text();
        c->done(0);
    });
    ShowTestConsole(w);
    EXPECT_EQ(forms::window("frmMessageTest"), nullptr);

    EXPECT_EQ(settingsWhileOpen, "2400,n,8,1");
    EXPECT_EQ(panel, "TAP Protocol, 2400,n,8,1");
    EXPECT_EQ(pinLabel, "Pager Capcode:");
    EXPECT_EQ(idAsCap, "ID As Capcode Mode is ON for Port 1");
    EXPECT_FALSE(fcVisible);
    // STX, pager ID, CR, text, CR, ETX, checksum of the characters STX..ETX
    // in three digits of 0x30 + nibble, CR
    QByteArray block("\x02" "123456\rHello pager\r\x03");
    int sum = 0;
    for (char ch : block)
        sum += static_cast<unsigned char>(ch);
    block += char(0x30 + ((sum >> 8) & 15));
    block += char(0x30 + ((sum >> 4) & 15));
    block += char(0x30 + (sum & 15));
    block += '\r';
    EXPECT_EQ(encoder->wire(), kReboot + block + kPrgmMode);
    ASSERT_EQ(pages().size(), 1);
    EXPECT_EQ(pages()[0].pagerId, "123456");
    EXPECT_EQ(pages()[0].message, "Hello pager");
    EXPECT_EQ(log, QStringList({"TAP Output: PIN - '123456', MSG - 'Hello pager'", "Encoder: <ACK><CR>"}));
    // the link is back in programming mode
    EXPECT_EQ(encoder->sim().mode(), encsim::Mode::Programming);
    EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
    EXPECT_TRUE(w->mnuTest->isEnabled());
    EXPECT_FALSE(gRun.bRangeTestRunning);
    EXPECT_EQ(CurrentPagingHost(), nullptr);
}

TEST_F(ConsoleSim, AnAnswerTheSimulatorGivesLateOnABusyMachineIsStillTakenAsThePagesAnswer)
{
    openWithEncoder();
    QStringList log;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->txtPIN->setText("123456");
        c->setMessageText("Hello pager");
        // the simulator's thread is held up well past the page's tick
        std::promise<void> held;
        std::thread busy([&] {
            encoder->sim().withEncoder([&](encsim::Encoder &) {
                held.set_value();
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                return 0;
            });
        });
        held.get_future().wait();
        platform::SetTimeScale(0.05);  // the page's tick: 50 ms
        c->cmdSendMsg->click();
        busy.join();
        for (int i = c->lb_log->count() - 1; i >= 0; --i)
            log << c->lb_log->item(i)->text();
        c->done(0);
    });
    ShowTestConsole(w);
    EXPECT_EQ(log, QStringList({"TAP Output: PIN - '123456', MSG - 'Hello pager'", "Encoder: <ACK><CR>"}));
    ASSERT_EQ(pages().size(), 1);
}

TEST_F(ConsoleSim, AnInvalidPagerIDSendsNothing)
{
    openWithEncoder();
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->txtPIN->setText("5");  // a capcode below the legal range
        c->setMessageText("x");
        prompts.answer(Answer::OK);  // the capcode box
        prompts.answer(Answer::OK);  // the console's own
        c->cmdSendMsg->click();
        c->done(0);
    });
    ShowTestConsole(w);
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().title, "Invalid PIN");
    EXPECT_EQ(prompts.last().text, "Pager ID Value is Invalid");
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
    EXPECT_EQ(w->Timer2.Interval(), 10000);
}

TEST_F(ConsoleSim, ControlCharactersInAMessageAreRefusedBeforeAnythingIsSent)
{
    openWithEncoder();
    gSettings.sSerial1Protocol = QStringLiteral("QV");
    ASSERT_TRUE(testconsole::WriteArchiveFile(testconsole::MessageArchivePath(), {QStringLiteral("tab\there")}, nullptr));
    QString messageAfterArchive;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->txtPIN->setText("1234");
        c->setMessageText(QStringLiteral("ab\x03\x04" "cd"));
        prompts.answer(Answer::OK);
        c->cmdSendMsg->click();
        // an archive entry holding one stays out of the message box
        c->setMessageText("ok");
        prompts.answer(Answer::OK);
        c->lb_Archive->setCurrentRow(0);
        messageAfterArchive = c->messageText();
        c->mnuRangeTest->trigger();
    });
    RefusedRangeStartThenClose(prompts, 1, QStringLiteral("line\nbreak"));
    ShowTestConsole(w);
    const QString advice = QStringLiteral("\rControl characters cannot be sent in a page; remove it and try again.");
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.seen()[0].text, "The message holds the control character ETX (code 3) at position 3." + advice);
    EXPECT_EQ(prompts.seen()[1].text, "The message holds the control character HT (code 9) at position 4." + advice);
    EXPECT_EQ(prompts.seen()[2].text, "The message holds a line break (LF) at position 5." + advice);
    for (const SeenPrompt &p : prompts.seen())
        EXPECT_EQ(p.title, "Invalid Message");
    EXPECT_EQ(messageAfterArchive, "ok");
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
}

TEST_F(ConsoleSim, ACharacterWithNoByteInTheCodePageIsRefusedBeforeAnythingIsSent)
{
    openWithEncoder();
    gSettings.sSerial1Protocol = QStringLiteral("COMP1");
    gDb.Groups[0][grpPagerID1] = QStringLiteral("0123");
    int logLines = -1;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->setMessageText(QStringLiteral("5 \u20AC or 5 \u03A9"));  // the euro sign has a byte, omega none
        prompts.answer(Answer::OK);
        c->cmdSendMsg->click();
        logLines = c->lb_log->count();
        c->done(0);
    });
    ShowTestConsole(w);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Invalid Message");
    EXPECT_EQ(prompts.last().text, QStringLiteral("The message holds the character \u201C\u03A9\u201D (U+03A9) at position 10.\r"
                                                  "It has no byte in the encoder's 8-bit character set; change it and try again."));
    EXPECT_EQ(logLines, 0);
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
}

TEST_F(ConsoleSim, ACapcodeLongerThanSevenDigitsLosesItsSurplusZerosOrIsRefused)
{
    openWithEncoder();
    gSettings.sSerial1Protocol = QStringLiteral("SCOPE");
    QString sendLine;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->txtPIN->setText("00100040");
        c->setMessageText("Hi");
        c->cmdSendMsg->click();
        sendLine = c->lb_log->item(c->lb_log->count() - 1)->text();
        c->txtPIN->setText("9999999999");  // still longer than seven digits
        prompts.answer(Answer::OK);
        prompts.answer(Answer::OK);
        c->cmdSendMsg->click();
        c->txtPIN->setText("5");
        c->mnuRangeTest->trigger();
    });
    // the range test checks the pager ID as Send does, before its first page
    RefusedRangeStartThenClose(prompts, 2);
    ShowTestConsole(w);
    EXPECT_EQ(encoder->wire(), kReboot + QByteArray("AN0100040DHi\r") + kPrgmMode);
    EXPECT_EQ(sendLine, "Scope Output, PIN - '0100040', FC - 'D', MSG - 'Hi', DR - '512'");
    QStringList titles;
    for (const SeenPrompt &p : prompts.seen())
        titles << p.title;
    EXPECT_EQ(titles, QStringList({"Invalid Capcode", "Invalid PIN", "Invalid Capcode", "Invalid PIN"}));
    EXPECT_TRUE(pages().isEmpty());
}

TEST_F(ConsoleSim, AnSnppPageThatFailsIsResetSoTheNextPageReachesOnlyItsOwnPager)
{
    openWithEncoder();
    encoder->sim().setIdentifyStyle(encsim::IdentifyStyle::Snpp);
    gSettings.sSerial1Protocol = QStringLiteral("SNPP");
    QStringList log;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->txtPIN->setText("1234");
        c->setMessageText("   ");  // the server refuses a message of blanks
        c->cmdSendMsg->click();
        c->txtPIN->setText("5678");
        c->setMessageText("Hi");
        c->cmdSendMsg->click();
        for (int i = c->lb_log->count() - 1; i >= 0; --i)
            log << c->lb_log->item(i)->text();
        c->done(0);
    });
    ShowTestConsole(w);
    EXPECT_EQ(encoder->wire(), kReboot + QByteArray("PAGE 1234D\r\nMESS    \r\nRESE\r\n"
                                                    "PAGE 5678D\r\nMESS Hi\r\nSEND\r\n") + kPrgmMode);
    const QList<encsim::Page> sent = pages();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].pagerId, "5678D");
    EXPECT_EQ(sent[0].message, "Hi");
    EXPECT_EQ(log, QStringList({"SNPP Output, PIN - '1234', FC - 'D', MSG - '   '",
                                "Encoder: 550 ERROR, Invalid Message<CR><LF>",
                                "SNPP Output, PIN - '5678', FC - 'D', MSG - 'Hi'"}));
}

TEST_F(ConsoleSim, AConsoleClosedWhileThePagerIDIsCheckedSendsNoPage)
{
    openWithEncoder();
    gSettings.bSerial1IDAsCap = false;  // the pager ID is looked up in the database
    gDb.Families[0][famStartID] = QStringLiteral("0001");
    gDb.Families[0][famPagerQty] = QStringLiteral("010");
    gDb.Families[0][famComplete] = QStringLiteral("YES");
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->txtPIN->setText("5");
        c->setMessageText("late");
        // the close arrives while the check lets window messages through
        QMetaObject::invokeMethod(c, [c] { c->close(); }, Qt::QueuedConnection);
        c->cmdSendMsg->click();
    });
    ShowTestConsole(w);
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_TRUE(pages().isEmpty());
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
}

TEST_F(ConsoleSim, UnloadingFromOutsideRunsTheClosingOnceAndLeavesNoConsole)
{
    openWithEncoder();
    RunWhen(consoleShown, [&] { EXPECT_TRUE(forms::unloadWindow("frmMessageTest")); });
    ShowTestConsole(w);
    EXPECT_EQ(forms::window("frmMessageTest"), nullptr);
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
    EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
}

TEST_F(ConsoleSim, Comp1WithoutDefaultPagerFallsBackToTapAndNeverShows)
{
    openWithEncoder();
    gSettings.sSerial1Protocol = QStringLiteral("COMP1");
    gDb.Groups[0][grpPagerID1] = QStringLiteral("0000");
    prompts.answer(Answer::OK);
    ShowTestConsole(w);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "COMP1 Pager ID Not Defined");
    EXPECT_EQ(prompts.last().text,
              lines({"COMP1 Protocol Requires a Default Pager Assignment",
                     "The First Pager ID in the First Pager Group is Used as the Default Pager ID",
                     "The Protocol has been set to TAP"}));
    EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
    EXPECT_EQ(forms::window("frmMessageTest"), nullptr);
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
}

TEST_F(ConsoleSim, LogToFileIsClearedWhenNoLogFileCouldBeOpened)
{
    openWithEncoder();
    const QString missing = QDir(appDir()).filePath(QStringLiteral("no such folder/comm.log"));
    bool tickedAfterCancel = true, tickedAfterFailure = true;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        prompts.answerFile(QString());  // Cancel
        c->Check1->click();
        tickedAfterCancel = c->Check1->isChecked();
        prompts.answerFile(missing);
        prompts.answer(Answer::OK);
        c->Check1->click();
        tickedAfterFailure = c->Check1->isChecked();
        c->done(0);
    });
    ShowTestConsole(w);
    EXPECT_FALSE(tickedAfterCancel);
    EXPECT_FALSE(tickedAfterFailure);
    // the dialog, the dialog again and the failure's box; the untick step
    // asked nothing more
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.last().text, QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_EQ(iLogFileNum, 0);
}

TEST_F(ConsoleSim, LogToFileTickedByAnyMeansAsksForTheFileAndShowsItOpenWhenTheConsoleOpensAgain)
{
    openWithEncoder();
    const QString path = QDir(appDir()).filePath(QStringLiteral("comm.log"));
    bool tickedAtSecondOpening = false;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        prompts.answerFile(path);
        // ticked through the accessibility interface, not by a mouse click
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(c->Check1);
        ASSERT_TRUE(box && box->actionInterface());
        box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        c->done(0);
    });
    ShowTestConsole(w);
    RunWhen(consoleShown, [&] {
        tickedAtSecondOpening = console()->Check1->isChecked();
        console()->Check1->click();  // cleared: the file closes
        console()->done(0);
    });
    ShowTestConsole(w);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Open Communications Log File");
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(tickedAtSecondOpening);
    EXPECT_EQ(iLogFileNum, 0);
}

TEST_F(ConsoleSim, RangeTestSendsNumberedPagesUntilStopped)
{
    openWithEncoder();
    QString messageAfterStop, caption, menuAfterStop;
    int flashes = 0;
    int pagesAtStop = -1;
    bool noTickLeft = false;
    RunWhen(consoleShown, [&] {
        console()->txtPIN->setText("1234567");
        console()->mnuRangeTest->trigger();
    });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&] {
        frmRangeTest *d = rangeDialog();
        EXPECT_EQ(d->txtBaseMsg->text(), "Test");  // the console's message was empty
        EXPECT_EQ(d->txtPIN->text(), "1234567");
        EXPECT_EQ(d->txtCycleTime->text(), "30");
        EXPECT_EQ(console()->cmdSendMsg->text(), "&Stop");
        d->txtBaseMsg->setText("Range");
        d->txtCycleTime->setText("-1");  // a page at every tick
        d->cmdStart->click();
    });
    RunWhen([&] { return pages().size() >= 3; }, [&] {
        EXPECT_EQ(console()->mnuRangeTest->text(), "Stop &Range Test");
        console()->cmdSendMsg->click();  // reads "&Stop"
        pagesAtStop = int(pages().size());
        messageAfterStop = console()->messageText();
        menuAfterStop = console()->mnuRangeTest->text();
        flashes = console()->flashCount();
    });
    RunWhen([&] { return pagesAtStop >= 0 && console()->windowTitle() == "Quorvane Paging Test"; }, [&] {
        // the run has had its last tick: no tick is left to send anything
        noTickLeft = !console()->Timer1.Enabled() && !console()->Timer2.Enabled() && !PageInProgress();
        caption = console()->windowTitle();
        console()->done(0);
    });
    ShowTestConsole(w);
    ASSERT_GE(pagesAtStop, 3);
    const QList<encsim::Page> sent = pages();
    EXPECT_EQ(int(sent.size()), pagesAtStop);
    for (int i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].pagerId, "1234567");
        EXPECT_EQ(sent[i].message, "Range " + QByteArray::number(i + 1));
    }
    EXPECT_EQ(messageAfterStop, "Range");
    EXPECT_EQ(menuAfterStop, "Start &Range Test");
    EXPECT_EQ(caption, "Quorvane Paging Test");
    EXPECT_TRUE(noTickLeft);
    EXPECT_GE(flashes, 1);
    EXPECT_FALSE(gRun.bRangeTestRunning);
    EXPECT_TRUE(encoder->wire().endsWith(kPrgmMode));
}

TEST_F(ConsoleSim, RangeTestTakesALongConsoleMessageWholeAndGivesItBackAtStop)
{
    openWithEncoder();
    // 250 characters: more than the 100 that can be typed as a base message,
    // and a page text with its number longer than the 251 that can be typed
    // into the console
    QString message;
    for (int i = 0; i < 25; ++i)
        message += QStringLiteral("Part %1 ..").arg(i, 2, 10, QLatin1Char('0'));
    ASSERT_EQ(message.size(), 250);
    QString baseShown, baseAfterTyping, messageAfterStop;
    RunWhen(consoleShown, [&] {
        console()->txtPIN->setText("1234567");
        console()->setMessageText(message);
        console()->mnuRangeTest->trigger();
    });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&] {
        frmRangeTest *d = rangeDialog();
        baseShown = d->txtBaseMsg->text();
        // typing cannot make it longer
        d->txtBaseMsg->end(false);
        QTest::keyClicks(d->txtBaseMsg, "x");
        baseAfterTyping = d->txtBaseMsg->text();
        d->cmdStart->click();  // a cycle of 30 s: one page goes out
    });
    RunWhen([&] { return !pages().isEmpty(); }, [&] {
        console()->cmdSendMsg->click();  // reads "&Stop"
        messageAfterStop = console()->messageText();
        console()->done(0);
    });
    ShowTestConsole(w);
    EXPECT_EQ(baseShown, message);
    EXPECT_EQ(baseAfterTyping, message);
    EXPECT_EQ(encoder->wire(), kReboot + paging::TapPageBlock("1234567", message + " 1").toLatin1() + kPrgmMode);
    EXPECT_EQ(messageAfterStop, message);
}

TEST_F(ConsoleSim, ARunStartedAgainRightAfterAStopNumbersItsPagesFromOne)
{
    openWithEncoder();
    int pagesAtStop = -1;
    int pagesAtEnd = -1;
    RunWhen(consoleShown, [&] {
        console()->txtPIN->setText("1234567");
        console()->mnuRangeTest->trigger();
    });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&] {
        rangeDialog()->txtBaseMsg->setText("First");
        rangeDialog()->txtCycleTime->setText("-1");
        rangeDialog()->cmdStart->click();
    });
    RunWhen([&] { return pages().size() >= 2; }, [&] {
        // stop, and start again before the stopped run has seen its next tick
        console()->cmdSendMsg->click();
        pagesAtStop = int(pages().size());
        console()->mnuRangeTest->trigger();
    });
    RunWhen([&] { return pagesAtStop >= 0 && rangeDialog() && rangeDialog()->isVisible(); }, [&] {
        rangeDialog()->txtBaseMsg->setText("Second");
        rangeDialog()->txtCycleTime->setText("-1");
        rangeDialog()->cmdStart->click();
    });
    RunWhen([&] { return pagesAtStop >= 0 && int(pages().size()) >= pagesAtStop + 3; }, [&] {
        console()->cmdSendMsg->click();
        pagesAtEnd = int(pages().size());
        console()->done(0);
    });
    ShowTestConsole(w);
    ASSERT_GE(pagesAtEnd, pagesAtStop + 3);
    const QList<encsim::Page> sent = pages();
    for (int i = pagesAtStop; i < pagesAtEnd; ++i)
        EXPECT_EQ(sent[i].message, "Second " + QByteArray::number(i - pagesAtStop + 1));
}

TEST_F(ConsoleSim, ADueRangePageWaitsWhileABoxIsUpInFrontOfTheConsole)
{
    openWithEncoder();
    int pagesBeforeBox = -1, pagesWhileBox = -1;
    RunWhen(consoleShown, [&] {
        console()->txtPIN->setText("1234567");
        console()->mnuRangeTest->trigger();
    });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&] {
        rangeDialog()->txtBaseMsg->setText("Range");
        rangeDialog()->txtCycleTime->setText("-1");  // a page at every tick
        rangeDialog()->cmdStart->click();
    });
    RunWhen([&] { return !pages().isEmpty() && !PageInProgress(); }, [&] {
        frmMessageTest *c = console();
        // the log file dialog stays up over two of the console's ticks, at
        // each of which a page is due
        prompts.answerWith([&, c](const platform::Prompt &) {
            pagesBeforeBox = int(pages().size());
            int ticks = 0;
            const QMetaObject::Connection counting =
                QObject::connect(&c->Timer1, &platform::Timer::fired, [&ticks] { ++ticks; });
            EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 30000));
            QObject::disconnect(counting);
            pagesWhileBox = int(pages().size());
            return platform::Reply{Answer::Cancel, {}, 1};
        });
        c->Check1->click();
    });
    RunWhen([&] { return pagesWhileBox >= 0 && int(pages().size()) > pagesWhileBox; }, [] {
        console()->cmdSendMsg->click();  // reads "&Stop"
        console()->done(0);
    });
    ShowTestConsole(w);
    ASSERT_GT(pagesBeforeBox, 0);
    EXPECT_EQ(pagesWhileBox, pagesBeforeBox);
    const QList<encsim::Page> sent = pages();
    ASSERT_GT(sent.size(), pagesBeforeBox);
    for (int i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i].message, "Range " + QByteArray::number(i + 1));
}

TEST_F(ConsoleSim, ClosingDuringARangeTestStopsItAndSendsNoFurtherPage)
{
    openWithEncoder();
    int pagesAtClose = -1;
    RunWhen(consoleShown, [&] {
        console()->txtPIN->setText("1234567");
        console()->mnuRangeTest->trigger();
    });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&] {
        rangeDialog()->txtCycleTime->setText("-1");
        rangeDialog()->cmdStart->click();
    });
    RunWhen([&] { return pages().size() >= 2; }, [&] {
        pagesAtClose = int(pages().size());
        console()->close();
    });
    ShowTestConsole(w);
    EXPECT_EQ(int(pages().size()), pagesAtClose);
    EXPECT_FALSE(gRun.bRangeTestRunning);
    EXPECT_TRUE(bMsgTestClosed);
    EXPECT_TRUE(encoder->wire().endsWith(kPrgmMode));
    EXPECT_EQ(encoder->sim().mode(), encsim::Mode::Programming);
}

TEST_F(ConsoleSim, CancellingTheRangeSetupPutsTheSendButtonBack)
{
    openWithEncoder();
    RunWhen(consoleShown, [&] {
        console()->txtPIN->setText("1234567");
        console()->mnuRangeTest->trigger();
    });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&] { rangeDialog()->cmdCancel->click(); });
    RunWhen([] { return consoleShown() && !rangeDialog(); }, [&] {
        EXPECT_EQ(console()->cmdSendMsg->text(), "&Send");
        EXPECT_TRUE(console()->cmdSendMsg->isEnabled());
        EXPECT_FALSE(gRun.bRangeTestRunning);
        console()->done(0);
    });
    ShowTestConsole(w);
    EXPECT_TRUE(pages().isEmpty());
}

// Start checks the first page's pager ID, letting window events through: the
// setup's close box, Esc and Cancel do nothing until the check has ended, and
// the run then starts as it would have.
TEST_F(ConsoleSim, ClosingTheRangeSetupWhileStartChecksThePagerIDDoesNothing)
{
    openWithEncoder();
    gSettings.bSerial1IDAsCap = false;
    // pager IDs 100 to 109: a short ID is looked up family by family
    gDb.Families[0] = {"1", "0001000", "1", "N", "0", "010", "0100", "00", "00", "YES"};
    bool runningAfterStart = false;
    QString buttonAfterStart;
    bool setupShownAfterStart = true;
    RunWhen(consoleShown, [&] {
        console()->txtPIN->setText("105");
        console()->mnuRangeTest->trigger();
    });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [&] {
        QPointer<frmRangeTest> d = rangeDialog();
        // the first pass of the message loop is inside the check
        QTimer::singleShot(0, d, [d] {
            PressCloseBox(d);
            QTest::keyClick(d, Qt::Key_Escape);
            d->cmdCancel->click();
        });
        d->cmdStart->click();
        runningAfterStart = gRun.bRangeTestRunning;
        buttonAfterStart = console()->cmdSendMsg->text();
        setupShownAfterStart = d && d->isVisible();
    });
    RunWhen([&] { return !pages().isEmpty(); }, [&] {
        console()->cmdSendMsg->click();  // reads "&Stop"
        console()->done(0);
    });
    ShowTestConsole(w);
    EXPECT_TRUE(runningAfterStart);
    EXPECT_EQ(buttonAfterStart, "&Stop");
    EXPECT_FALSE(setupShownAfterStart);
    ASSERT_EQ(pages().size(), 1);
    EXPECT_EQ(pages()[0].pagerId, "105");
}

TEST_F(ConsoleSim, TuningSendsItsThreeCommandsAndRebootsOnClosing)
{
    openWithEncoder();
    RunWhen([] { return forms::window("frmTXTune") && forms::window("frmTXTune")->isVisible(); }, [&] {
        QWidget *t = forms::window("frmTXTune");
        EXPECT_EQ(t->windowTitle(), "Transmitter Tuning");
        auto buttons = t->findChildren<QPushButton *>();
        auto byText = [&](const char *text) {
            for (QPushButton *b : buttons)
                if (b->text() == QLatin1String(text))
                    return b;
            return static_cast<QPushButton *>(nullptr);
        };
        ASSERT_NE(byText("1200 bps"), nullptr);
        byText("1200 bps")->click();
        byText("1200 bps")->click();
        byText("512 bps")->click();
        byText("2400 bps")->click();
        encoder->sim().waitForExchanges(4, 2000);
        for (QAction *a : t->findChildren<QAction *>())
            if (a->text() == "E&xit")
                a->trigger();
    });
    ShowTransmitterTuning(w);
    EXPECT_EQ(forms::window("frmTXTune"), nullptr);
    // the simulator takes in the last bytes on its own thread
    const QByteArray expected = QByteArray("TEST1200\rTEST1200\rTEST512\rTEST2400\r") + kReboot + kPrgmMode;
    EXPECT_TRUE(QTest::qWaitFor([&] { return encoder->wire().size() >= expected.size(); }, 2000));
    EXPECT_EQ(encoder->wire(), expected);
    EXPECT_TRUE(w->mnuTest->isEnabled());
}

TEST_F(ConsoleSim, TuningClosedByItsFrameRebootsOnce)
{
    openWithEncoder();
    RunWhen([] { return forms::window("frmTXTune") && forms::window("frmTXTune")->isVisible(); },
            [&] { forms::window("frmTXTune")->close(); });
    ShowTransmitterTuning(w);
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
}

TEST_F(ConsoleSim, ATestButtonClickedWhileTuningClosesSendsNothing)
{
    openWithEncoder();
    bool clicked = false;
    RunWhen([] { return forms::window("frmTXTune") && forms::window("frmTXTune")->isVisible(); }, [&] {
        QPointer<frmTXTune> t = qobject_cast<frmTXTune *>(forms::window("frmTXTune"));
        // the reply timer runs only while the closing waits for the encoder's
        // answer, handling window messages
        RunWhen([&] { return w->Timer2.Enabled(); }, [&, t] {
            clicked = true;
            if (t)
                t->cmd1200->click();
        });
        t->close();
    });
    ShowTransmitterTuning(w);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(forms::window("frmTXTune"), nullptr);
    EXPECT_EQ(encoder->wire(), kReboot + kPrgmMode);
    EXPECT_EQ(encoder->sim().bytesReceived(), (kReboot + kPrgmMode).size());
    EXPECT_EQ(encoder->sim().mode(), encsim::Mode::Programming);
    EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
    EXPECT_TRUE(w->mnuTest->isEnabled());
}

TEST_F(ConsoleSim, AfterTuningTheEncoderTakesALookupInProgrammingMode)
{
    openWithEncoder();  // port 1 pages at 2400 bit/s
    gSettings.bSerial1IDAsCap = false;  // the lookup asks the encoder
    ClaimViewMatches();
    RunWhen([] { return forms::window("frmTXTune") && forms::window("frmTXTune")->isVisible(); },
            [&] { forms::window("frmTXTune")->close(); });
    ShowTransmitterTuning(w);
    EXPECT_EQ(encoder->sim().mode(), encsim::Mode::Programming);
    EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
    w->txLookup->setText(QStringLiteral("105"));
    w->cmdLookup_Click();
    const QList<encsim::Exchange> ex = encoder->sim().exchanges();
    ASSERT_EQ(ex.size(), 3);
    EXPECT_EQ(ex[0].received, kReboot);
    EXPECT_EQ(ex[1].received, kPrgmMode);  // at port 1's speed, the encoder being on its paging input
    EXPECT_EQ(ex[2].received, "LOOKUP 105\r\n");
    EXPECT_EQ(ex[2].mode, encsim::Mode::Programming);
    EXPECT_TRUE(w->lblLookup->text().startsWith("Response: ")) << w->lblLookup->text().toStdString();
}

// ---- one page per protocol, against a peer that answers nothing ----------

namespace {

struct ProtocolCase {
    const char *name;
    const char *protocol;
    QByteArray (*expected)();
};

QByteArray bytes(const QString &s) { return s.toLatin1(); }

// The program on a peer's terminal.
class OnPeer : public SimAppFixture {
protected:
    // Starts the program on `peer`'s terminal with its port open and port 1
    // set to `protocol`, pager IDs taken as capcodes.
    void startOnPeer(PtyPeer &peer, const QString &protocol)
    {
        ASSERT_TRUE(peer.isOpen());
        ASSERT_NE(startWithDevice(peer.slavePath()), nullptr);
        platform::SetTimeScale(0.05);
        ASSERT_TRUE(w->MSComm1.setPortOpen(true));
        gSettings.sSerial1Protocol = protocol;
        gSettings.bSerial1IDAsCap = true;
    }
    // Puts the console's log in `log`, oldest line first, as it closes.
    static void keepLogWhenClosed(frmMessageTest *c, QStringList &log)
    {
        QObject::connect(c, &QDialog::finished, [&log, c] {
            for (int i = c->lb_log->count() - 1; i >= 0; --i)
                log << c->lb_log->item(i)->text();
        });
    }
};

class ConsoleDispatchPeer : public OnPeer, public ::testing::WithParamInterface<ProtocolCase> {};
class ConsolePeer : public OnPeer {};

}  // namespace

TEST_P(ConsoleDispatchPeer, SendReachesTheSenderOfThePortsProtocol)
{
    PtyPeer peer;
    ASSERT_NO_FATAL_FAILURE(startOnPeer(peer, QString::fromLatin1(GetParam().protocol)));
    gDb.Groups[0][grpPagerID1] = QStringLiteral("0123");
    bool pinEnabled = true;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        pinEnabled = c->txtPIN->isEnabled();
        if (c->txtPIN->isEnabled())
            c->txtPIN->setText("123");
        c->setMessageText("hi");
        if (c->optFC[1]->isEnabled())
            c->optFC[1]->click();
        if (c->optDataRate[1]->isEnabled())
            c->optDataRate[1]->click();
        c->cmdSendMsg->click();
        c->done(0);
    });
    ShowTestConsole(w);
    const QByteArray wire = peer.readUntil(kPrgmMode);
    ASSERT_TRUE(wire.startsWith(kReboot)) << wire.toStdString();
    EXPECT_EQ(wire.mid(kReboot.size(), GetParam().expected().size()), GetParam().expected());
    EXPECT_TRUE(wire.endsWith(kPrgmMode));
    EXPECT_EQ(pinEnabled, QByteArray(GetParam().protocol) != "COMP1");
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, ConsoleDispatchPeer,
    ::testing::Values(
        ProtocolCase{"PET", "PET", [] { return bytes(paging::TapPageBlock("123", "hi")); }},
        ProtocolCase{"COMP1", "COMP1", [] { return bytes(paging::Comp1Line("hi")); }},
        ProtocolCase{"COMP2", "COMP2", [] { return bytes(paging::Comp2Packet("123", "hi", "B")); }},
        ProtocolCase{"QV", "QV", [] { return bytes(paging::QuorvaneFrame("0000123", "hi", "B", "1200")); }},
        ProtocolCase{"SCOPE", "SCOPE", [] { return bytes(paging::ScopeFrame("0000123", "hi", "B", "1200")); }},
        ProtocolCase{"SNPP", "SNPP", [] { return bytes(paging::SnppPage("123", "B")); }}),
    [](const ::testing::TestParamInfo<ProtocolCase> &info) { return std::string(info.param.name); });

TEST_F(ConsolePeer, ClosingWhileAPageWaitsForItsAnswerClosesAfterTheAnswer)
{
    PtyPeer peer;
    ASSERT_NO_FATAL_FAILURE(startOnPeer(peer, QStringLiteral("QV")));
    QByteArray wire;
    QByteArray beforeAnswer("<not answered>");
    QStringList log;
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        keepLogWhenClosed(c, log);
        c->txtPIN->setText("123");
        c->setMessageText("hi");
        // the frame is on the line: close the console, and answer later, but
        // before the page's tick would run out
        RunWhen([&] { return (wire += peer.readNow()).endsWith('\x04'); }, [&] {
            const int tickLeft = msLeft(console()->Timer1);
            EXPECT_GT(tickLeft, 300);
            platform::SetTimeScale(0.05);  // the closing's own wait
            console()->close();
            RunWhen([] { return true; }, [&] {
                beforeAnswer = peer.readNow();
                peer.write("\x06\x04");
            }, tickLeft - 300);
        });
        platform::SetTimeScale(1.0);  // the reply wait ticks a second after the frame
        c->cmdSendMsg->click();
    });
    ShowTestConsole(w);
    EXPECT_EQ(wire, kReboot + bytes(paging::QuorvaneFrame("0000123", "hi", "D", "512")));
    EXPECT_EQ(beforeAnswer, "");  // nothing of the closing went out before the answer
    EXPECT_EQ(peer.readUntil(kPrgmMode), kPrgmMode);
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(Last(log).endsWith(": Paging System: <ACK><EOT>")) << Last(log).toStdString();
    EXPECT_FALSE(log.join('\n').contains("No Response"));
    EXPECT_EQ(forms::window("frmMessageTest"), nullptr);
}

TEST_F(ConsolePeer, ASecondCloseWhileTheClosingWaitsDoesNothingAndNoCommandStartsMeanwhile)
{
    PtyPeer peer;  // an encoder that no longer answers
    ASSERT_NO_FATAL_FAILURE(startOnPeer(peer, QStringLiteral("TAP")));
    ClaimViewMatches();
    const struct {
        const char *name;
        void (*show)(QWidget *);
    } windows[] = {{"frmMessageTest", ShowTestConsole}, {"frmTXTune", ShowTransmitterTuning}};
    for (const auto &window : windows) {
        const char *name = window.name;
        bool shownAfterSecondClose = false;
        RunWhen([name] { return forms::window(name) && forms::window(name)->isVisible(); }, [&] {
            QPointer<QWidget> dialog = forms::window(name);
            // the reply timer runs only while the closing waits for the encoder's answer
            RunWhen([&] { return w->Timer2.Enabled(); }, [&, dialog] {
                PressCloseBox(dialog);
                shownAfterSecondClose =
                    dialog && dialog->isVisible() && QApplication::activeModalWidget() == dialog;
                w->ToolbarButtonByKey("read")->trigger();
            });
            platform::SetTimeScale(0.25);  // the closing waits 1.5 s
            dialog->findChild<QAction *>("mnuExit")->trigger();
        });
        platform::SetTimeScale(0.05);
        window.show(w);
        EXPECT_TRUE(shownAfterSecondClose) << name;
        EXPECT_EQ(forms::window(name), nullptr) << name;
        EXPECT_EQ(peer.readUntil(kPrgmMode), kReboot + kPrgmMode) << name;
    }
    EXPECT_EQ(prompts.count(), 0);
}

TEST_F(ConsolePeer, ExitDuringABusySeriesSendsNoFurtherCopyAndCloses)
{
    PtyPeer peer;
    ASSERT_NO_FATAL_FAILURE(startOnPeer(peer, QStringLiteral("TAP")));
    const QByteArray block = bytes(paging::TapPageBlock("123", "hi"));
    QByteArray wire;
    qsizetype answered = 0;
    QStringList log;
    // the paging system answers every copy busy; Exit is chosen together
    // with the answer to the second
    QTimer busySystem;
    QObject::connect(&busySystem, &QTimer::timeout, [&] {
        wire += peer.readNow();
        while (wire.count(block) > answered) {
            ++answered;
            peer.write("\x1e" "111\r");
            if (answered == 2 && console())
                console()->mnuExit->trigger();
        }
    });
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        keepLogWhenClosed(c, log);
        c->txtPIN->setText("123");
        c->setMessageText("hi");
        busySystem.start(1);
        c->cmdSendMsg->click();
    });
    ShowTestConsole(w);
    busySystem.stop();
    EXPECT_EQ(forms::window("frmMessageTest"), nullptr);
    if (!wire.endsWith(kPrgmMode))
        wire += peer.readUntil(kPrgmMode);
    EXPECT_EQ(wire, kReboot + block + block + kPrgmMode);
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(Last(log), "ERROR - Test Closing, Not Retried - Msg Discarded");
}

TEST_F(ConsolePeer, ARangeTestStartedDuringABusyPageSendsThatPageAndThenItsOwn)
{
    PtyPeer peer;
    ASSERT_NO_FATAL_FAILURE(startOnPeer(peer, QStringLiteral("TAP")));
    const QByteArray block = bytes(paging::TapPageBlock("123", "hi"));
    const QByteArray rangeBlock = bytes(paging::TapPageBlock("123", "Range 1"));
    QByteArray wire;
    qsizetype copiesAnswered = 0, rangeAnswered = 0;
    int busy = 0;
    bool rangeTicked = false;
    QStringList log;
    // the paging system answers the page busy until the range test, started
    // meanwhile, has had a tick; then it takes the page, and the range page
    QTimer pagingSystem;
    QObject::connect(&pagingSystem, &QTimer::timeout, [&] {
        wire += peer.readNow();
        for (; wire.count(block) > copiesAnswered; ++copiesAnswered) {
            if (!rangeTicked)
                ++busy;
            peer.write(rangeTicked ? QByteArray("\x06\r") : QByteArray("\x1e" "111\r"));
        }
        for (; wire.count(rangeBlock) > rangeAnswered; ++rangeAnswered)
            peer.write("\x06\r");
    });
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        keepLogWhenClosed(c, log);
        QObject::connect(&c->Timer2, &platform::Timer::fired,
                         [&] { rangeTicked = rangeTicked || gRun.bRangeTestRunning; });
        c->txtPIN->setText("123");
        c->setMessageText("hi");
        pagingSystem.start(1);
        platform::SetTimeScale(1.0);  // each answer has a full tick, however busy the machine
        c->cmdSendMsg->click();
    });
    RunWhen([&] { return busy > 0; }, [] { console()->mnuRangeTest->trigger(); });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [] {
        rangeDialog()->txtBaseMsg->setText("Range");
        rangeDialog()->cmdStart->click();  // a cycle of 30 s: one page goes out
    });
    QElapsedTimer clock;
    clock.start();
    RunWhen([&] { return rangeAnswered > 0 || clock.elapsed() > 20000; }, [] {
        platform::SetTimeScale(0.05);  // the closing's own wait
        if (gRun.bRangeTestRunning)
            console()->cmdSendMsg->click();  // reads "&Stop"
        console()->done(0);
    });
    ShowTestConsole(w);
    pagingSystem.stop();
    EXPECT_EQ(forms::window("frmMessageTest"), nullptr);
    if (!wire.endsWith(kPrgmMode))
        wire += peer.readUntil(kPrgmMode);
    ASSERT_GT(busy, 0);
    EXPECT_EQ(wire, kReboot + block.repeated(busy + 1) + rangeBlock + kPrgmMode);
    QStringList expected{"TAP Output: PIN - '123', MSG - 'hi'"};
    for (int i = 0; i < busy; ++i)
        expected << "Encoder: <RS>111<CR>" << "Paging System Busy - Retrying"
                 << "Retry TAP Output: PIN - '123', MSG - 'hi'";
    expected << "Encoder: <ACK><CR>" << "TAP Output: PIN - '123', MSG - 'Range 1'" << "Encoder: <ACK><CR>";
    EXPECT_EQ(log, expected);
}

TEST_F(ConsolePeer, ARunStoppedBeforeItsFirstPageGivesThePagingTestTitleBack)
{
    PtyPeer peer;
    ASSERT_NO_FATAL_FAILURE(startOnPeer(peer, QStringLiteral("TAP")));
    const QByteArray block = bytes(paging::TapPageBlock("123", "hi"));
    QByteArray wire;
    qsizetype copiesAnswered = 0;
    bool stopped = false;
    QString title;
    // the paging system answers the page busy until the range test, started
    // meanwhile and held behind it, has been stopped; then it takes the page
    QTimer pagingSystem;
    QObject::connect(&pagingSystem, &QTimer::timeout, [&] {
        wire += peer.readNow();
        for (; wire.count(block) > copiesAnswered; ++copiesAnswered)
            peer.write(stopped ? QByteArray("\x06\r") : QByteArray("\x1e" "111\r"));
    });
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        c->txtPIN->setText("123");
        c->setMessageText("hi");
        pagingSystem.start(1);
        platform::SetTimeScale(1.0);  // each answer has a full tick, however busy the machine
        c->cmdSendMsg->click();
    });
    RunWhen([&] { return copiesAnswered > 0; }, [] { console()->mnuRangeTest->trigger(); });
    RunWhen([] { return rangeDialog() && rangeDialog()->isVisible(); }, [] {
        rangeDialog()->txtBaseMsg->setText("Range");
        rangeDialog()->cmdStart->click();
    });
    RunWhen([] { return gRun.bRangeTestRunning && rangeDialog() && !rangeDialog()->isVisible(); }, [&] {
        ASSERT_TRUE(PageInProgress());
        console()->cmdSendMsg->click();  // reads "&Stop"
        stopped = true;
    });
    RunWhen(
        [&] {
            return stopped && !PageInProgress() && console()->lb_log->count() > 0 &&
                   console()->lb_log->item(0)->text() == "Encoder: <ACK><CR>";
        },
        [&] {
            title = console()->windowTitle();
            platform::SetTimeScale(0.05);  // the closing's own wait
            console()->done(0);
        });
    ShowTestConsole(w);
    pagingSystem.stop();
    if (!wire.endsWith(kPrgmMode))
        wire += peer.readUntil(kPrgmMode);
    EXPECT_EQ(title, "Quorvane Paging Test");
    ASSERT_GT(copiesAnswered, 1);
    EXPECT_EQ(wire, kReboot + block.repeated(copiesAnswered) + kPrgmMode);  // no range page
}

TEST_F(ConsolePeer, ARangeTestsFirstPageTakesAnAnswerThatComesLate)
{
    PtyPeer peer;
    ASSERT_NO_FATAL_FAILURE(startOnPeer(peer, QStringLiteral("TAP")));
    const QByteArray rangeBlock = bytes(paging::TapPageBlock("123", "Range 1"));
    QByteArray wire;
    bool answered = false;
    QStringList log;
    // the paging system takes the page and acknowledges it about 700 ms later,
    // 300 ms before the page's own tick runs out
    QTimer pagingSystem;
    QObject::connect(&pagingSystem, &QTimer::timeout, [&] {
        wire += peer.readNow();
        if (!answered && wire.contains(rangeBlock)) {
            answered = true;
            const int tickLeft = msLeft(w->Timer1);
            EXPECT_GT(tickLeft, 300);
            peer.writeAfter(tickLeft - 300, "\x06\r");
        }
    });
    RunWhen(consoleShown, [&] {
        frmMessageTest *c = console();
        keepLogWhenClosed(c, log);
        c->txtPIN->setText("123");
        platform::SetTimeScale(1.0);  // ticks of a second, as the encoder's delay is measured against them
        // Start is clicked right after a tick of the range timer, which has
        // run since the set-up opened: the first page then goes out nearly a
        // second after Start
        QObject::connect(&c->Timer2, &platform::Timer::fired, c, [] {
            if (gRun.bRangeTestRunning || !rangeDialog() || !rangeDialog()->isVisible())
                return;
            rangeDialog()->txtBaseMsg->setText("Range");
            rangeDialog()->cmdStart->click();  // a cycle of 30 s: one page goes out
        });
        pagingSystem.start(1);
        c->mnuRangeTest->trigger();
    });
    RunWhen([] { return console() && console()->lb_log->count() >= 2 && !PageInProgress(); }, [] {
        platform::SetTimeScale(0.05);  // the closing's own wait
        console()->cmdSendMsg->click();  // reads "&Stop"
        console()->done(0);
    });
    ShowTestConsole(w);
    pagingSystem.stop();
    if (!wire.endsWith(kPrgmMode))
        wire += peer.readUntil(kPrgmMode);
    EXPECT_EQ(wire, kReboot + rangeBlock + kPrgmMode);
    EXPECT_EQ(log, QStringList({"TAP Output: PIN - '123', MSG - 'Range 1'", "Encoder: <ACK><CR>"}));
}

// ---- the archive buttons ---------------------------------------------------

namespace {

class ConsoleArchive : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        path = testconsole::MessageArchivePath();
        QFile::remove(path);
    }
    void TearDown() override
    {
        delete c;
        AppFixture::TearDown();
    }
    QByteArray file() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < c->lb_Archive->count(); ++i)
            out << c->lb_Archive->item(i)->text();
        return out;
    }
    void load()
    {
        c = new frmMessageTest();
        c->LoadArchive();
    }
    QString path;
    frmMessageTest *c = nullptr;
};

// Writes beyond `bytes` into any file fail while this lives, as on a full
// disk (which would stop root as well).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int);
};

}  // namespace

TEST_F(ConsoleArchive, AddWritesTheFileAndADuplicateOnlySelects)
{
    load();
    c->cmdAdd_Click();  // empty message: nothing
    EXPECT_EQ(file(), "<missing>");
    c->setMessageText("Alpha");
    c->cmdAdd_Click();
    c->setMessageText("alpha");
    c->cmdAdd_Click();
    EXPECT_EQ(file(), "Alpha\r\nalpha\r\n");
    EXPECT_EQ(c->lb_Archive->currentRow(), 1);
    c->setMessageText("Alpha");
    QFile::remove(path);
    c->cmdAdd_Click();
    EXPECT_EQ(c->lb_Archive->currentRow(), 0);
    EXPECT_EQ(file(), "<missing>");  // nothing was written
    EXPECT_FALSE(bArchiveBusy);
}

TEST_F(ConsoleArchive, AFailedWriteKeepsTheOldArchiveAndShowsTheSystemsText)
{
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, {"one", "two"}, nullptr));
    load();
    c->setMessageText("a message the disk has no room for");
    prompts.answer(Answer::OK);
    {
        const FileSizeLimit full(16);
        c->cmdAdd_Click();
    }
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().text, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(prompts.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::OK);
    EXPECT_EQ(file(), "one\r\ntwo\r\n");
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList({"messages.dat*"}, QDir::Files), QStringList{"messages.dat"});
    EXPECT_FALSE(bArchiveBusy);
}

TEST_F(ConsoleArchive, AMessageOutsideTheCodePageIsRefusedBeforeAnythingIsWritten)
{
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, {"one"}, nullptr));
    load();
    c->setMessageText(QString::fromUtf8("Fire \u03a9"));
    prompts.answer(Answer::OK);
    c->cmdAdd_Click();
    c->lb_Archive->setCurrentRow(0);
    c->setMessageText(QString::fromUtf8("Fire \u03a9"));
    prompts.answer(Answer::OK);
    c->cmdReplace_Click();
    ASSERT_EQ(prompts.count(), 2);
    for (const SeenPrompt &box : prompts.seen()) {
        EXPECT_EQ(box.text, QString::fromUtf8("The message holds the character \u201c\u03a9\u201d (U+03A9), which "
                                              "cannot be stored in the message archive. Change it and try again."));
        EXPECT_EQ(box.icon, platform::Icon::Exclamation);
    }
    EXPECT_EQ(listed(), QStringList{"one"});
    EXPECT_EQ(file(), "one\r\n");
}

// A pasted line break would come back from the file as two entries: what
// Send refuses, Add and Replace refuse in Send's own words.
TEST_F(ConsoleArchive, AMessageSendWouldRefuseIsRefusedBeforeAnythingIsWritten)
{
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, {"one"}, nullptr));
    load();
    c->setMessageText("two\nlines");
    prompts.answer(Answer::OK);
    c->cmdAdd_Click();
    c->lb_Archive->setCurrentRow(0);
    c->setMessageText("two\nlines");
    prompts.answer(Answer::OK);
    c->cmdReplace_Click();
    ASSERT_EQ(prompts.count(), 2);
    for (const SeenPrompt &box : prompts.seen()) {
        EXPECT_EQ(box.title, "Invalid Message");
        EXPECT_EQ(box.text, "The message holds a line break (LF) at position 4.\r"
                            "Control characters cannot be sent in a page; remove it and try again.");
        EXPECT_EQ(box.buttons, platform::Buttons::OK);
    }
    EXPECT_EQ(listed(), QStringList{"one"});
    EXPECT_EQ(file(), "one\r\n");
}

TEST_F(ConsoleArchive, TheListIsFullAt299)
{
    QStringList many;
    for (int i = 0; i < 299; ++i)
        many << QString::number(i);
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, many, nullptr));
    load();
    c->setMessageText("new");
    c->cmdAdd_Click();
    EXPECT_EQ(c->lb_Archive->count(), 299);
    EXPECT_FALSE(listed().contains("new"));
    EXPECT_EQ(c->lb_Archive->currentRow(), 298);
}

TEST_F(ConsoleArchive, ClickingCopiesAndDeleteAsksFirst)
{
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, {"one", "two, \"2\""}, nullptr));
    load();
    c->lb_Archive->setCurrentRow(1);
    EXPECT_EQ(c->messageText(), "two, \"2\"");
    prompts.answer(Answer::No);
    c->cmdDelete_Click();
    EXPECT_EQ(prompts.last().title, "Verify");
    EXPECT_EQ(prompts.last().text, "Are you sure you want to delete the selected item?");
    EXPECT_EQ(listed(), QStringList({"one", "two, \"2\""}));
    prompts.answer(Answer::Yes);
    c->cmdDelete_Click();
    EXPECT_EQ(listed(), QStringList({"one"}));
    EXPECT_EQ(c->lb_Archive->currentRow(), -1);
    EXPECT_EQ(c->messageText(), "two, \"2\"");  // the message box keeps its text
    EXPECT_EQ(file(), "one\r\n");
}

TEST_F(ConsoleArchive, ReplaceAsksAndWritesInPlace)
{
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, {"one", "two", "three"}, nullptr));
    load();
    c->lb_Archive->setCurrentRow(1);
    c->setMessageText("three");
    c->cmdReplace_Click();  // the text is already listed: it is only selected
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(c->lb_Archive->currentRow(), 2);
    c->lb_Archive->setCurrentRow(1);
    c->setMessageText("TWO");
    prompts.answer(Answer::Yes);
    c->cmdReplace_Click();
    EXPECT_EQ(prompts.last().text, "Are You Sure You Want to Replace the Selected Item?");
    EXPECT_EQ(listed(), QStringList({"one", "TWO", "three"}));
    EXPECT_EQ(c->lb_Archive->currentRow(), 1);
    EXPECT_EQ(file(), "one\r\nTWO\r\nthree\r\n");
    // a file removed meanwhile is written afresh rather than lost
    QFile::remove(path);
    c->setMessageText("2");
    prompts.answer(Answer::Yes);
    c->cmdReplace_Click();
    EXPECT_EQ(file(), "one\r\n2\r\nthree\r\n");
}

// A file of 300 lines or more gives a list over its limit: Replace drops the
// last entry but the one replaced, even when that one is the last.
TEST_F(ConsoleArchive, ReplaceOnAListOverItsLimitKeepsTheNewText)
{
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QString::number(i);
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, many, nullptr));
    load();
    c->lb_Archive->setCurrentRow(299);
    c->setMessageText("new");
    prompts.answer(Answer::Yes);
    c->cmdReplace_Click();
    QByteArray expected;
    for (int i = 0; i < 298; ++i)
        expected += QByteArray::number(i) + "\r\n";
    expected += "new\r\n";
    EXPECT_EQ(file().toStdString(), expected.toStdString());
    EXPECT_EQ(c->lb_Archive->count(), 299);
    EXPECT_EQ(c->lb_Archive->currentRow(), 298);
    EXPECT_EQ(c->lb_Archive->currentItem() ? c->lb_Archive->currentItem()->text() : QString(), "new");
    EXPECT_EQ(c->messageText(), "new");
}

TEST_F(ConsoleArchive, ClickingTheSelectedEntryAgainCopiesItAgain)
{
    ASSERT_TRUE(testconsole::WriteArchiveFile(path, {"one", "two"}, nullptr));
    load();
    c->show();
    const auto clickRow = [&](int row) {
        const QRect r = c->lb_Archive->visualItemRect(c->lb_Archive->item(row));
        QTest::mouseClick(c->lb_Archive->viewport(), Qt::LeftButton, {}, r.center());
    };
    clickRow(1);
    EXPECT_EQ(c->messageText(), "two");
    c->setMessageText("two, edited");
    clickRow(1);
    EXPECT_EQ(c->lb_Archive->currentRow(), 1);
    EXPECT_EQ(c->messageText(), "two");
}
