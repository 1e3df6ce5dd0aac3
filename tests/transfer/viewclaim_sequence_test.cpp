// Random sequences of the commands that can change the view or the encoder,
// each step drawn by a seeded generator and run through the program's
// windows against the simulated encoder. After every step:
//  (a) the commands that rely on the match (the lookup, Send Messages, the
//      toolbar's test button) are on exactly while the view claims to match,
//      as the program leaves them, and the claim needs no asking to be
//      right: checked, it still holds;
//  (b) while the view claims to match, programming it would leave the
//      encoder's database and settings as they are, by meaning;
//  (c) a read that does not ask first finds the view equal to the encoder,
//      and after a failed programming run with an edit made during it the
//      next read asks.
// A failure names the seed, the step and the steps before it. One seed is
// replayed with QV_SEQUENCE_SEED (and QV_SEQUENCE_STEPS for the number of
// steps) in every case of the list below.
#include "transfer/transferfixture.h"

#include "editors/cfggroup_logic.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "transfer/commands.h"
#include "transfer/matchclaim.h"
#include "transfer/records.h"
#include "transfer/validation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>

using namespace testing_support;
using platform::Answer;

namespace {

struct SequenceCase {
    int firmware;
    unsigned seed;
    int steps;
};

void PrintTo(const SequenceCase &c, std::ostream *os) { *os << "V" << c.firmware << " seed " << c.seed; }

// The seed and step count of this run: the case's, unless the environment
// names others (to replay one seed).
unsigned seedOf(const SequenceCase &c)
{
    bool ok = false;
    const unsigned seed = qEnvironmentVariable("QV_SEQUENCE_SEED").toUInt(&ok);
    return ok ? seed : c.seed;
}

int stepsOf(const SequenceCase &c)
{
    bool ok = false;
    const int steps = qEnvironmentVariable("QV_SEQUENCE_STEPS").toInt(&ok);
    return ok && steps > 0 ? steps : c.steps;
}

// The encoder's tables and settings by meaning: each record line and each
// setting as the encoder takes it, so that a form programming would change
// without changing what the encoder does counts as the same.
struct EncoderMeaning {
    QStringList records;
    QMap<QString, QString> settings;
};

EncoderMeaning meaningOf(const encsim::Encoder &e)
{
    EncoderMeaning m;
    const encsim::Database &db = e.database();
    for (int n = 1; n <= encsim::kGroupCount; ++n)
        m.records << RecordMeaning(QString::fromLatin1(db.groupRecord(n)));
    for (int n = 1; n <= encsim::kFamilyCount; ++n)
        m.records << RecordMeaning(QString::fromLatin1(db.familyRecord(n)));
    // a message is its text, exactly
    for (int n = 1; n <= encsim::kMessageCount; ++n)
        m.records << QStringLiteral("M %1 ").arg(n) + db.messages[size_t(n - 1)];
    for (auto it = e.settings().cbegin(); it != e.settings().cend(); ++it)
        m.settings.insert(it.key(), CommandMeaning(it.value()));
    return m;
}

// What differs between `held` and `after`, one line each.
QStringList differences(const EncoderMeaning &held, const EncoderMeaning &after)
{
    QStringList out;
    for (qsizetype i = 0; i < held.records.size(); ++i)
        if (held.records[i] != after.records.value(i))
            out << QStringLiteral("holds \"%1\", would hold \"%2\"").arg(held.records[i], after.records.value(i));
    QStringList keys = held.settings.keys() + after.settings.keys();
    keys.removeDuplicates();
    for (const QString &key : keys)
        if (held.settings.value(key) != after.settings.value(key))
            out << QStringLiteral("setting \"%1\" holds \"%2\", would hold \"%3\"")
                       .arg(key, held.settings.value(key), after.settings.value(key));
    return out;
}

// Titles of the boxes that only tell something: answered OK.
const QStringList kNotices = {
    QStringLiteral("Invalid Entry"),
    QStringLiteral("Pager ID Overlap or Illegal Capcodes"),
    QStringLiteral("Families Check Not Completed"),
    QStringLiteral("Non-Existent Pager IDs"),
    QStringLiteral("COMP1 Pager ID Not Defined"),
    QStringLiteral("Write Error"),
    QStringLiteral("Read Error"),
    QStringLiteral("ID As Capcode Mode Not Restored"),
    QStringLiteral("Paging Encoder Improper Response"),
    QStringLiteral("Pager Database Doesn't Match Displayed Database"),
    QStringLiteral("Pager Family and Group Settings Ignored"),
    QStringLiteral("Max Msgs per Batch Too High"),
    QStringLiteral("Invalid Values Detected"),
    QStringLiteral("Cannot Program Encoder"),
};
// Titles of the questions a step answers as it drew.
const QStringList kQuestions = {
    QStringLiteral("Clear Pager Database"),
    QStringLiteral("Incomplete Database Definition"),
    QStringLiteral("Periodic Paging Warning"),
    QStringLiteral("Non-Standard Function Code Warning"),
};
const QString kOverwriteTitle = QStringLiteral("About to OverWrite Edits");
const QString kReadQuestionTitle = QStringLiteral("Read Encoder?");
const QString kProgramQuestionTitle = QStringLiteral("Program Encoder?");

// Where a run can be made to fail or be edited during: the first exchange
// holding the marker, in the order each run reaches them.
const QList<QByteArray> kReadMarkers = {"config maxbatch?", "config dutycycle?", "\rL 2\r", "\rL 9\r",
                                        "\rG 3\r",          "\rG 30\r",          "\rM 1\r", "\rM 15\r"};
const QList<QByteArray> kProgramMarkers = {"config dutycycle ", "config maxbatch ", "\rL 2 ", "\rL 9 ",
                                           "\rG 3 ",            "\rG 30 ",          "\rM 1 ", "\rM 15 "};

constexpr int kStepTimeLimitMs = 120000;

}  // namespace

class ViewClaimSequence : public ViewCommandFixture, public ::testing::WithParamInterface<SequenceCase> {
protected:
    using StepFn = void (ViewClaimSequence::*)();
    struct Command {
        const char *name;
        int weight;
        bool v7;
        bool v8;
        StepFn run;
    };
    enum class Ending { Normal, Silence, Cancel };

    std::mt19937 m_rng;
    unsigned m_seed = 0;
    int m_steps = 0;
    int m_firmware = 8;
    int m_stepNo = 0;
    QString m_step;      // the step being run, with what it drew
    QStringList m_log;   // every step so far
    QStringList m_boxes; // titles of the boxes shown during the step
    Answer m_question = Answer::Yes;         // the step's answer to kQuestions
    Answer m_readQuestion = Answer::Yes;     // to "About to OverWrite Edits" and "Read Encoder?"
    Answer m_programQuestion = Answer::Yes;  // to "Program Encoder?"
    // a programming run failed after an edit made during it: the next read asks
    bool m_readMustAsk = false;
    std::optional<QString> m_dutyCycleToRestore;
    int m_consoles = 0;
    QMap<QString, int> m_counts;  // steps by command
    QMap<QString, qint64> m_times;  // their time in ms
    QMap<QString, int> m_events;  // what the checks met, for QV_SEQUENCE_VERBOSE
    QTimer m_watchdog;

    // ---- drawing -------------------------------------------------------------

    int draw(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return draw(100) < percent; }
    QString pick(const QStringList &list) { return list.at(draw(int(list.size()))); }
    int pick(std::initializer_list<int> list) { return *(list.begin() + draw(int(list.size()))); }
    // 1..count, mostly among the first `often`
    int low(int count, int often) { return 1 + (chance(75) ? draw(often) : draw(count)); }
    Answer yesOrNo(int yesPercent) { return chance(yesPercent) ? Answer::Yes : Answer::No; }

    void name(const QString &text) { m_step = text; }
    bool v7() const { return m_firmware == 7; }

    QString context() const
    {
        QString s = QStringLiteral("seed %1, firmware %2, step %3 of %4: %5\n")
                        .arg(m_seed)
                        .arg(m_firmware)
                        .arg(m_stepNo)
                        .arg(m_steps)
                        .arg(m_step);
        if (!m_boxes.isEmpty())
            s += QStringLiteral("boxes of the step: ") + m_boxes.join(QStringLiteral(", ")) + u'\n';
        s += QStringLiteral("the steps before it:\n");
        const qsizetype before = std::min<qsizetype>(m_log.size(), m_stepNo - 1);
        for (qsizetype i = std::max<qsizetype>(0, before - 8); i < before; ++i)
            s += QStringLiteral("  ") + m_log[i] + u'\n';
        const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
        s += QStringLiteral("replay: QV_SEQUENCE_SEED=%1 QV_SEQUENCE_STEPS=%2 test_transfer --gtest_filter='%3.%4'")
                 .arg(m_seed)
                 .arg(m_stepNo)
                 .arg(QString::fromLatin1(test->test_suite_name()), QString::fromLatin1(test->name()));
        return s;
    }

    // ---- boxes -----------------------------------------------------------------

    platform::Reply answerBox(const platform::Prompt &p)
    {
        m_boxes << p.title;
        ++m_events[QStringLiteral("box \"%1\"").arg(p.title)];
        auto reply = [](Answer a) { return platform::Reply{a, {}, 1}; };
        if (p.kind != platform::Prompt::Kind::Message) {
            ADD_FAILURE() << "a dialog no step asked for: " << p.title.toStdString();
            return reply(Answer::Cancel);
        }
        if (p.title == kOverwriteTitle || p.title == kReadQuestionTitle)
            return reply(m_readQuestion);
        if (p.title == kProgramQuestionTitle)
            return reply(m_programQuestion);
        if (kQuestions.contains(p.title))
            return reply(m_question);
        // the settings dialog's load and the groups check name no title of their own
        if ((kNotices.contains(p.title) || p.title == platform::AppTitle()) && p.buttons == platform::Buttons::OK)
            return reply(Answer::OK);
        ADD_FAILURE() << "a box the sequence does not know: \"" << p.title.toStdString() << "\": "
                      << QString(p.text).replace(u'\r', u'|').toStdString();
        return reply(p.buttons == platform::Buttons::OK ? Answer::OK : Answer::No);
    }

    bool boxShownSince(qsizetype from, const QString &title) const { return m_boxes.mid(from).contains(title); }

    // ---- the checks --------------------------------------------------------------

    // What programming the view would leave in the encoder, against what it
    // holds: a copy of the encoder takes the bytes a programming run sends.
    QStringList programmingWouldChange()
    {
        const Firmware fw = FirmwareOf(gRun.bV7Firmware);
        // a view that cannot be programmed sends nothing
        if (CheckBeforeProgramming(fw, gDb, gSettings))
            return {};
        encsim::Encoder copy = sim->encoder();
        copy.clearFaults();
        copy.setMode(encsim::Mode::Programming);
        QStringList out;
        auto send = [&](const CommandStep &step, const QByteArray &taken) {
            const QByteArray answer = copy.feed(step.wire().toLatin1());
            if (!answer.contains(taken))
                out << QStringLiteral("the encoder did not take \"%1\": \"%2\"")
                           .arg(step.text, QString::fromLatin1(answer));
        };
        for (const CommandStep &step : SettingsCommands(fw, gSettings))
            send(step, "option updated");
        for (const RecordStep &record : RecordOrder())
            send(ProgrammedRecordStep(record.kind, record.number, gDb), "\x1e\r");
        send(ClosingIDAsCapCommand(fw, gSettings), "option updated");
        return out + differences(meaningOf(sim->encoder()), meaningOf(copy));
    }

    void expectProgrammingChangesNothing(const char *when)
    {
        const QStringList changes = programmingWouldChange();
        EXPECT_TRUE(changes.isEmpty()) << when << ", programming the view would change the encoder:\n  "
                                       << changes.join(QStringLiteral("\n  ")).toStdString();
    }

    void checkAfterStep()
    {
        ASSERT_TRUE(w->MSComm1.PortOpen());
        EXPECT_EQ(platform::ModalDepth(), 0) << "a dialog or box is still up";
        EXPECT_FALSE(gRun.bPortBusy);
        EXPECT_FALSE(gRun.bNoModifiedStatus);
        EXPECT_EQ(gRun.iChecksRunning, 0);
        EXPECT_EQ(sim->mode(), encsim::Mode::Programming) << "the encoder was left outside programming mode";
        // (a) as the program leaves them
        const bool claim = gRun.bMatchesEncoder;
        EXPECT_EQ(w->cmdLookup->isEnabled(), claim) << "the lookup does not follow the claim";
        EXPECT_EQ(w->mnuSendMsg->isEnabled(), claim) << "Send Messages does not follow the claim";
        EXPECT_EQ(w->ToolbarButtonByKey("test")->isEnabled(), claim) << "the test button does not follow the claim";
        EXPECT_EQ(ViewMatchesEncoder(), claim)
            << "the view claimed to match, but no longer showed what the encoder was claimed to hold, and "
               "nothing had noticed until asked";
        // (b)
        if (gRun.bMatchesEncoder) {
            ++m_events[QStringLiteral("steps ending with the claim")];
            expectProgrammingChangesNothing("while the view claims to match");
        }
    }

    // ---- windows --------------------------------------------------------------------

    // Opens an editor with its toolbar button (which may be off) unless it is open.
    bool openEditor(const char *key, const char *window)
    {
        if (!windowShown(window))
            w->ToolbarButtonByKey(key)->trigger();
        return windowShown(window);
    }
    bool openFamilies() { return openEditor("sequence", "frmCfgFam"); }
    bool openGroups() { return openEditor("group", "frmCfgGroup"); }
    bool openMessages() { return openEditor("message", "frmCfgMsg"); }

    // ---- runs ----------------------------------------------------------------------------

    // Runs each action on the program's thread while the encoder takes the
    // first exchange holding its marker, in the order given.
    void duringRun(const QList<std::pair<QByteArray, std::function<void()>>> &actions)
    {
        auto fired = std::make_shared<QList<bool>>(actions.size(), false);
        sim->setObserver([actions, fired](const encsim::Exchange &ex) {
            for (qsizetype i = 0; i < actions.size(); ++i) {
                if ((*fired)[i] || !ex.received.contains(actions[i].first))
                    continue;
                (*fired)[i] = true;
                QMetaObject::invokeMethod(qApp, actions[i].second, Qt::QueuedConnection);
            }
        });
    }

    // An edit typed into an open editor, made during a run; the editor is
    // opened now. Sets `*made` once it was typed. Only families up to
    // `lastFamily` and messages up to `lastMessage` are edited (a read that
    // goes on overwrites the records it has not reached yet).
    std::function<void()> drawEditDuringRun(std::shared_ptr<bool> made, QString *what,
                                            int lastFamily = kFamilyCount, int lastMessage = kMessageCount)
    {
        const int kind = lastMessage > 0 ? draw(10) : 6 + draw(4);
        const QString text = QStringLiteral("EDIT %1").arg(m_stepNo);
        if (kind < 6 && openMessages()) {
            const int n = low(lastMessage, std::min(4, lastMessage));
            *what = QStringLiteral("message %1 typed").arg(n);
            return [this, n, text, made] {
                if (!windowShown("frmCfgMsg"))
                    return;
                typeMessage(n, text);
                *made = true;
            };
        }
        if (kind < 8 && openFamilies()) {
            const int row = low(lastFamily, 3);
            const QString qty = QString::number(1 + draw(20));
            *what = QStringLiteral("family %1's quantity typed %2").arg(row).arg(qty);
            return [this, row, qty, made] {
                if (!windowShown("frmCfgFam"))
                    return;
                typeFamily(row, cfgfam::colQty, qty);
                *made = true;
            };
        }
        if (openGroups()) {
            const int col = low(kGroupCount, 3);
            const QString id = QString::number(5000 + m_stepNo % 1000);
            *what = QStringLiteral("group %1's Group ID typed %2").arg(col).arg(id);
            return [this, col, id, made] {
                if (!windowShown("frmCfgGroup"))
                    return;
                typeGroup(groupsgrid::rowGroupID, col, id);
                *made = true;
            };
        }
        *what = QStringLiteral("no editor open");
        return {};
    }

    void endRun()
    {
        // an action the encoder's last exchange set off runs now, not in a later step
        QCoreApplication::processEvents();
        sim->setObserver({});
        sim->withEncoder([](encsim::Encoder &e) { e.clearFaults(); });
        platform::SetTimeScale(1.0);
        forms::unloadCancelSend();
    }

    // A read as the user starts it, from the File menu or the toolbar;
    // `prepare` changes the encoder first (after the read's own check).
    void readAs(bool toolbar, const std::function<void()> &prepare = {}, Ending ending = Ending::Normal,
                bool editDuring = false)
    {
        // (c) a read that will not ask finds nothing it could lose
        const bool asks = !ViewMatchesEncoder();
        ++m_events[asks ? QStringLiteral("reads that ask") : QStringLiteral("reads that do not ask")];
        if (!asks)
            expectProgrammingChangesNothing("a read that does not ask first");
        if (m_readMustAsk) {
            EXPECT_TRUE(asks) << "after a failed programming run with an edit made during it, the read did not ask";
        }
        if (m_dutyCycleToRestore) {
            sim->setSetting("dutycycle", *m_dutyCycleToRestore);
            m_dutyCycleToRestore.reset();
        }
        if (prepare)
            prepare();

        QList<std::pair<QByteArray, std::function<void()>>> actions;
        const int failAt = draw(int(kReadMarkers.size()));
        auto edited = std::make_shared<bool>(false);
        QString edit;
        if (editDuring && ending == Ending::Normal) {
            // typed into a record the read has passed, so that it stays
            const bool messages = chance(50);
            const QByteArray marker = messages ? QByteArray("\rM 9\r") : QByteArray("\rG 30\r");
            if (auto action = drawEditDuringRun(edited, &edit, 29, messages ? 8 : 0))
                actions.append({marker, action});
        } else if (editDuring) {
            if (auto action = drawEditDuringRun(edited, &edit))
                actions.append({kReadMarkers[draw(failAt + 1)], action});
        }
        if (ending != Ending::Normal)
            sim->addFault({encsim::FaultKind::Silence, 1, 1, kReadMarkers[failAt]});
        if (ending == Ending::Silence)
            platform::SetTimeScale(0.05);
        if (ending == Ending::Cancel) {
            forms::cancelSend()->Show();
            actions.append({kReadMarkers[failAt], [] {
                                if (frmCancelSend *box = forms::cancelSendIfLoaded())
                                    box->Command1->click();
                            }});
        }
        m_step += QStringLiteral(" [%1%2%3%4]")
                      .arg(toolbar ? QStringLiteral("toolbar") : QStringLiteral("menu"))
                      .arg(ending == Ending::Silence  ? QStringLiteral(", silent at ") + kReadMarkers[failAt].trimmed()
                           : ending == Ending::Cancel ? QStringLiteral(", cancel at ") + kReadMarkers[failAt].trimmed()
                                                      : QString())
                      .arg(editDuring ? QStringLiteral(", ") + edit : QString())
                      .arg(asks ? (m_readQuestion == Answer::Yes ? QStringLiteral(", asks: Yes")
                                                                 : QStringLiteral(", asks: No"))
                                : QString());
        duringRun(actions);
        const qsizetype boxes = m_boxes.size();
        if (toolbar)
            w->Toolbar1_ButtonClick("read");
        else
            w->mnuReadDB_Click();
        endRun();
        if (asks) {
            EXPECT_TRUE(boxShownSince(boxes, toolbar ? kReadQuestionTitle : kOverwriteTitle))
                << "the read did not ask before it replaced an edited view";
            if (m_readQuestion == Answer::Yes)
                m_readMustAsk = false;
        } else {
            EXPECT_FALSE(boxShownSince(boxes, kReadQuestionTitle) || boxShownSince(boxes, kOverwriteTitle))
                << "the read asked, though the view matched the encoder";
            m_readMustAsk = false;
        }
        if (ending == Ending::Silence && !(asks && m_readQuestion == Answer::No)) {
            EXPECT_TRUE(boxShownSince(boxes, QStringLiteral("Read Error")));
        }
    }

    void programAs(bool toolbar, Ending ending = Ending::Normal, bool editDuring = false)
    {
        const bool asks = !ViewMatchesEncoder();
        const bool claimedBefore = !asks;
        const bool blocked = CheckBeforeProgramming(FirmwareOf(gRun.bV7Firmware), gDb, gSettings).has_value();
        QList<std::pair<QByteArray, std::function<void()>>> actions;
        const int failAt = draw(int(kProgramMarkers.size()));
        auto edited = std::make_shared<bool>(false);
        QString edit;
        if (editDuring) {
            if (auto action = drawEditDuringRun(edited, &edit))
                actions.append({kProgramMarkers[draw(failAt + 1)], action});
        }
        if (ending != Ending::Normal)
            sim->addFault({encsim::FaultKind::Silence, 1, 1, kProgramMarkers[failAt]});
        if (ending == Ending::Silence)
            platform::SetTimeScale(0.05);
        if (ending == Ending::Cancel) {
            forms::cancelSend()->Show();
            actions.append({kProgramMarkers[failAt], [] {
                                if (frmCancelSend *box = forms::cancelSendIfLoaded())
                                    box->Command1->click();
                            }});
        }
        m_step += QStringLiteral(" [%1%2%3%4]")
                      .arg(toolbar ? QStringLiteral("toolbar") : QStringLiteral("menu"))
                      .arg(ending == Ending::Silence
                               ? QStringLiteral(", silent at ") + kProgramMarkers[failAt].trimmed()
                           : ending == Ending::Cancel ? QStringLiteral(", cancel at ") + kProgramMarkers[failAt].trimmed()
                                                      : QString())
                      .arg(editDuring ? QStringLiteral(", ") + edit : QString())
                      .arg(asks ? (m_programQuestion == Answer::Yes ? QStringLiteral(", asks: Yes")
                                                                    : QStringLiteral(", asks: No"))
                                : QString());
        duringRun(actions);
        // while the view matches, programming by the real path changes nothing either
        const bool claimed = !asks && !blocked && ending == Ending::Normal && !editDuring;
        const EncoderMeaning before = meaningOf(sim->encoder());
        const qsizetype boxes = m_boxes.size();
        if (toolbar)
            w->Toolbar1_ButtonClick("program");
        else
            w->mnuWriteDB_Click();
        endRun();
        if (asks) {
            EXPECT_TRUE(boxShownSince(boxes, kProgramQuestionTitle));
        }
        const bool ran = (!asks || m_programQuestion == Answer::Yes) && !blocked;
        if (claimed) {
            const QStringList changes = differences(before, meaningOf(sim->encoder()));
            EXPECT_TRUE(changes.isEmpty()) << "programming a view that claimed to match changed the encoder:\n  "
                                           << changes.join(QStringLiteral("\n  ")).toStdString();
        }
        if (ran && ending == Ending::Normal && !*edited) {
            EXPECT_TRUE(gRun.bMatchesEncoder) << "a programming run that went well did not end matching";
        }
        if (ran && ending == Ending::Silence) {
            EXPECT_TRUE(boxShownSince(boxes, QStringLiteral("Write Error")));
        }
        if (ran && ending != Ending::Normal && *edited) {
            ++m_events[claimedBefore ? QStringLiteral("failed runs with an edit, from a matching view")
                                     : QStringLiteral("failed runs with an edit, from an edited view")];
            m_readMustAsk = true;
        } else if (gRun.bMatchesEncoder) {
            m_readMustAsk = false;
        }
    }

    // ---- the commands -------------------------------------------------------------

    void familiesOpen()
    {
        name(QStringLiteral("families editor: open"));
        openFamilies();
    }

    void familiesType()
    {
        const int row = low(kFamilyCount, 4);
        const int col = pick({cfgfam::colQty, cfgfam::colStartID, cfgfam::colStartCap});
        static const QStringList qty = {"", "0", "1", "5", "10", "010", "999", "1000", "1,5", "x"};
        static const QStringList startID = {"", "0", "1000", "1005", "2000", "3000", "8999", "9999", "01000", "a1"};
        static const QStringList startCap = {"", "7", "8", "12000", "0012000", "30000", "2045056", "2097143",
                                             "2097144", "12a"};
        const QString text = pick(col == cfgfam::colQty ? qty : col == cfgfam::colStartID ? startID : startCap);
        name(QStringLiteral("families editor: type \"%1\" in family %2, column %3").arg(text).arg(row).arg(col));
        if (openFamilies())
            typeFamily(row, col, text);
    }

    void familiesChoice()
    {
        const int row = low(kFamilyCount, 4);
        const int col = pick({cfgfam::colPgrType, cfgfam::colFunc, cfgfam::colRate, cfgfam::colPrefix,
                              cfgfam::colSuffix});
        const int entry = draw(16);
        m_question = yesOrNo(60);
        name(QStringLiteral("families editor: choose entry %1 in family %2, column %3").arg(entry).arg(row).arg(col));
        if (!openFamilies())
            return;
        frmCfgFam *e = families();
        e->fgFamilies->setRow(row);
        e->fgFamilies->setCol(col);
        e->fgFamilies_Click();
        for (QComboBox *list : {e->cmbPgrType, e->cmbFunc, e->cmbRate, e->cmbMsg}) {
            if (!list->isVisible())
                continue;
            const int i = entry % list->count();
            list->setCurrentIndex(i);
            Q_EMIT list->activated(i);
        }
    }

    void familiesActive()
    {
        const int row = low(kFamilyCount, 4);
        name(QStringLiteral("families editor: click family %1's Active cell").arg(row));
        if (!openFamilies())
            return;
        frmCfgFam *e = families();
        e->fgFamilies->setRow(row);
        e->fgFamilies->setCol(cfgfam::colActive);
        e->fgFamilies_Click();
    }

    void familiesClose()
    {
        const bool closeBox = chance(50);
        m_question = yesOrNo(60);
        name(QStringLiteral("families editor: %1").arg(closeBox ? "close box" : "OK"));
        if (!openFamilies())
            return;
        if (closeBox)
            PressCloseBox(families());
        else
            families()->cmdOK->click();
    }

    void groupsOpen()
    {
        name(QStringLiteral("groups editor: open"));
        openGroups();
    }

    void groupsType()
    {
        using namespace groupsgrid;
        const int col = low(kGroupCount, 3);
        const int kind = draw(10);
        int row = rowGroupID;
        QString text;
        if (kind == 0) {
            row = rowReference;
            text = pick({"", "ref", "r,1"});
        } else if (kind < 4) {
            text = pick({"", "5000", "5002", "05003", "0", "abc", "32767", "40000"});
        } else {
            row = rowPagerID1 + low(kGroupPagerIDCount, 3) - 1;
            text = pick({"", "1000", "1001", "1009", "2003", "7777", "0", "01000", "x"});
        }
        name(QStringLiteral("groups editor: type \"%1\" in group %2, row %3").arg(text).arg(col).arg(row));
        if (openGroups())
            typeGroup(row, col, text);
    }

    void groupsClick(int row, const char *what)
    {
        const int col = low(kGroupCount, 3);
        m_question = yesOrNo(60);
        name(QStringLiteral("groups editor: click group %1's %2").arg(col).arg(what));
        if (!openGroups())
            return;
        frmCfgGroup *e = groups();
        e->fgGroups->setRow(row);
        e->fgGroups->setCol(col);
        e->fgGroups_Click();
    }
    void groupsActive() { groupsClick(groupsgrid::rowActive, "Active cell"); }
    void groupsTimer() { groupsClick(groupsgrid::rowTimerActive, "Timer Active cell"); }

    void groupsTimerMessage()
    {
        const int col = low(kGroupCount, 3);
        const int entry = draw(kMessageCount + 1);
        name(QStringLiteral("groups editor: choose entry %1 as group %2's timer message").arg(entry).arg(col));
        if (!openGroups())
            return;
        frmCfgGroup *e = groups();
        e->fgGroups->setRow(groupsgrid::rowTimerMsg);
        e->fgGroups->setCol(col);
        e->fgGroups_Click();
        if (!e->cmbMsg->isVisible())
            return;
        e->cmbMsg->setCurrentIndex(entry);
        Q_EMIT e->cmbMsg->activated(entry);
    }

    void groupsClose()
    {
        const bool closeBox = chance(50);
        m_question = yesOrNo(60);
        name(QStringLiteral("groups editor: %1").arg(closeBox ? "close box" : "OK"));
        if (!openGroups())
            return;
        if (closeBox)
            PressCloseBox(groups());
        else
            groups()->cmdOK->click();
    }

    void messagesType()
    {
        const int n = low(kMessageCount, 4);
        const QString text = pick({"", "HELLO", "TEST MESSAGE", "CALL DISPATCH", "A,B", "say \"hi\"", "0010", "A "});
        name(QStringLiteral("messages editor: type \"%1\" as message %2").arg(text).arg(n));
        if (openMessages())
            typeMessage(n, text);
    }

    void messagesOpen()
    {
        name(QStringLiteral("messages editor: open"));
        openMessages();
    }

    void messagesClose()
    {
        const bool closeBox = chance(50);
        name(QStringLiteral("messages editor: %1").arg(closeBox ? "close box" : "OK"));
        if (!openMessages())
            return;
        if (closeBox)
            PressCloseBox(messages());
        else
            messages()->cmdOK->click();
    }

    // The toolbar's settings button: on a version 8 encoder the serial port
    // settings, from there perhaps the access code and the advanced
    // settings; on a version 7 encoder the access code, then the advanced
    // settings. Each perhaps edited, each left with OK or its close box.
    void settings()
    {
        QStringList said;
        std::function<void(frmSettings_Main *)> mainEdit;
        if (!v7() && chance(40)) {
            const int i = draw(7);
            switch (draw(6)) {
            case 0:
                said << QStringLiteral("speed item %1").arg(i % 4);
                mainEdit = [i](frmSettings_Main *d) { d->cboSpeed[0]->setCurrentIndex(i % 4); };
                break;
            case 1:
                said << QStringLiteral("parity item %1").arg(i % 2);
                mainEdit = [i](frmSettings_Main *d) { d->cboParity[0]->setCurrentIndex(i % 2); };
                break;
            case 2:
                said << QStringLiteral("data bits item %1").arg(i % 2);
                mainEdit = [i](frmSettings_Main *d) { d->cboDataBits[0]->setCurrentIndex(i % 2); };
                break;
            case 3:
                said << QStringLiteral("protocol %1").arg(i);
                mainEdit = [i](frmSettings_Main *d) { d->opt1Protocol[i]->setChecked(true); };
                break;
            case 4:
                said << QStringLiteral("verbose %1").arg(i % 2);
                mainEdit = [i](frmSettings_Main *d) { d->opt1Verbose[i % 2]->setChecked(true); };
                break;
            default:
                said << QStringLiteral("defaults");
                mainEdit = [](frmSettings_Main *d) { d->cmdDefault->click(); };
                break;
            }
        }
        const bool advanced = v7() || chance(60);
        const bool codeCancelled = chance(10);
        std::function<void(frmSettings *)> advancedEdit;
        if (advanced && !codeCancelled && chance(60)) {
            const int i = draw(5);
            switch (draw(v7() ? 13 : 11)) {
            case 0: {
                const QString duty = pick({"50", "66", "066", "75"});
                said << QStringLiteral("duty cycle %1").arg(duty);
                advancedEdit = [duty](frmSettings *s) { s->txDutyCycle->setText(duty); };
                break;
            }
            case 1: {
                const QString batch = pick({"10", "32", "010", "40"});
                said << QStringLiteral("batch %1").arg(batch);
                advancedEdit = [batch](frmSettings *s) { s->txtBatchQty->setText(batch); };
                break;
            }
            case 2:
                said << QStringLiteral("carrier detection");
                advancedEdit = [](frmSettings *s) { s->chkCarrierDetect->click(); };
                break;
            case 3:
                said << QStringLiteral("capcodes by 8");
                advancedEdit = [](frmSettings *s) { s->chkIncCapby8->click(); };
                break;
            case 4:
                said << QStringLiteral("timed paging reset %1").arg(i % 2 + 1);
                advancedEdit = [i](frmSettings *s) { s->chkPPHReset[i % 2]->click(); };
                break;
            case 5:
                said << QStringLiteral("ID as capcode %1").arg(i % 2 + 1);
                advancedEdit = [i](frmSettings *s) { s->chkIDAsCap[i % 2]->click(); };
                break;
            case 6:
                said << QStringLiteral("port 1 flow %1").arg(i);
                advancedEdit = [i](frmSettings *s) { s->optFlow1[i]->setChecked(true); };
                break;
            case 7:
                said << QStringLiteral("port 2 flow %1").arg(i);
                advancedEdit = [i](frmSettings *s) { s->optFlow2[i]->setChecked(true); };
                break;
            case 8:
                said << QStringLiteral("carrier polarity %1").arg(i % 2);
                advancedEdit = [i](frmSettings *s) { s->optCDPolarity[i % 2]->setChecked(true); };
                break;
            case 9:
                said << QStringLiteral("data polarity %1").arg(i % 2);
                advancedEdit = [i](frmSettings *s) { s->optDataPolarity[i % 2]->setChecked(true); };
                break;
            case 10:
                said << QStringLiteral("restore defaults");
                advancedEdit = [](frmSettings *s) { s->cmdResetDefaults->click(); };
                break;
            case 11:
                said << QStringLiteral("PET support");
                advancedEdit = [](frmSettings *s) { s->chkPET->click(); };
                break;
            default:
                said << QStringLiteral("brief ACK");
                advancedEdit = [](frmSettings *s) { s->chkBriefACK->click(); };
                break;
            }
        }
        const bool mainCloseBox = chance(30);
        const bool advancedCloseBox = chance(30);
        if (!v7())
            said << QStringLiteral("serial port settings %1").arg(mainCloseBox ? "close box" : "OK");
        if (advanced)
            said << (codeCancelled ? QStringLiteral("access code cancelled")
                                   : QStringLiteral("advanced settings %1").arg(advancedCloseBox ? "close box" : "OK"));
        name(QStringLiteral("settings: ") + said.join(QStringLiteral(", ")));

        if (!v7())
            RunWhen([] { return windowShown("frmSettings_Main"); }, [=] {
                auto *d = qobject_cast<frmSettings_Main *>(forms::window("frmSettings_Main"));
                if (mainEdit)
                    mainEdit(d);
                // the access code and the advanced settings run inside
                if (advanced)
                    d->cmdSettings->click();
                if (mainCloseBox)
                    PressCloseBox(d);
                else
                    d->cmdOK->click();
            });
        RunWhen([] { return windowShown("frmPassword"); }, [codeCancelled] {
            auto *p = qobject_cast<frmPassword *>(forms::window("frmPassword"));
            if (codeCancelled) {
                p->txtName->setText("KREL");
                p->cmdCancel->click();
                return;
            }
            p->txtName->setText("KRELV");
            p->cmdOK->click();
        });
        RunWhen([] { return windowShown("frmSettings"); }, [=] {
            auto *s = qobject_cast<frmSettings *>(forms::window("frmSettings"));
            if (advancedEdit)
                advancedEdit(s);
            if (advancedCloseBox)
                PressCloseBox(s);
            else
                s->cmdOK->click();
        });
        w->Toolbar1_ButtonClick("settings");
        DropPendingActions();
        EXPECT_EQ(forms::window("frmSettings_Main"), nullptr);
        EXPECT_EQ(forms::window("frmPassword"), nullptr);
        EXPECT_EQ(forms::window("frmSettings"), nullptr);
    }

    void readStep()
    {
        const bool toolbar = chance(30);
        m_readQuestion = yesOrNo(85);
        name(QStringLiteral("read"));
        readAs(toolbar);
    }

    void readFailing()
    {
        const Ending ending = chance(50) ? Ending::Silence : Ending::Cancel;
        const bool editDuring = chance(50);
        m_readQuestion = Answer::Yes;
        name(QStringLiteral("read that fails"));
        readAs(false, {}, ending, editDuring);
    }

    void readWithAnEditDuringIt()
    {
        m_readQuestion = Answer::Yes;
        name(QStringLiteral("read with an edit during it"));
        readAs(chance(30), {}, Ending::Normal, true);
    }

    void readADutyCycleThatIsNoNumber()
    {
        m_readQuestion = Answer::Yes;
        name(QStringLiteral("read of a duty cycle \"abc\""));
        readAs(false, [this] {
            m_dutyCycleToRestore = sim->setting("dutycycle");
            sim->setSetting("dutycycle", "abc");
        });
        EXPECT_FALSE(gRun.bMatchesEncoder) << "a read that could not store the duty cycle claims to match";
    }

    void programStep()
    {
        const bool toolbar = chance(30);
        m_programQuestion = yesOrNo(90);
        name(QStringLiteral("program"));
        programAs(toolbar);
    }

    void programFailing()
    {
        const Ending ending = chance(50) ? Ending::Silence : Ending::Cancel;
        const bool editDuring = chance(60);
        m_programQuestion = Answer::Yes;
        name(QStringLiteral("program that fails"));
        programAs(false, ending, editDuring);
    }

    void programWithAnEditDuringIt()
    {
        m_programQuestion = Answer::Yes;
        name(QStringLiteral("program with an edit during it"));
        programAs(chance(30), Ending::Normal, true);
    }

    void newDatabase()
    {
        m_question = yesOrNo(80);
        name(QStringLiteral("New Database, %1").arg(m_question == Answer::Yes ? "Yes" : "No"));
        w->mnuNewDB_Click();
    }

    // The encoder holds a group whose timer is on without a message; read,
    // then the groups editor shows it.
    void encoderTimerWithoutMessage()
    {
        const int g = 2 + draw(3);
        const QString message = pick({"0", "00"});
        // an editor left open shows the read's tables at once; one opened
        // after the read loads them
        const bool closeFirst = windowShown("frmCfgGroup") && chance(60);
        m_readQuestion = Answer::Yes;
        m_question = Answer::Yes;
        name(QStringLiteral("%1encoder's group %2 with its timer on and message \"%3\", read, groups editor")
                 .arg(closeFirst ? "groups editor OK, " : "")
                 .arg(g)
                 .arg(message));
        if (closeFirst)
            groups()->cmdOK->click();
        readAs(false, [this, g, message] {
            encsim::Database db = sim->database();
            QStringList group{QString::number(5000 + g), "1", "0", "00", "0", "00", "1", message, "1000", "1001"};
            while (group.size() < encsim::GroupFieldCount)
                group << QStringLiteral("0000");
            db.groups[size_t(g - 1)] = group;
            sim->setDatabase(db);
        });
        openGroups();
    }

    // The encoder holds a family whose start capcode is no number; read,
    // then the families editor shows it.
    void encoderStartCapcodeThatIsNoNumber()
    {
        const int f = 3 + draw(3);
        const QString cap = pick({"12A4567", "X"});
        const bool closeFirst = windowShown("frmCfgFam") && chance(60);
        m_readQuestion = Answer::Yes;
        m_question = Answer::Yes;
        name(QStringLiteral("%1encoder's family %2 with start capcode \"%3\", read, families editor")
                 .arg(closeFirst ? "families editor OK, " : "")
                 .arg(f)
                 .arg(cap));
        if (closeFirst)
            families()->cmdOK->click();
        readAs(false, [this, f, cap] {
            encsim::Database db = sim->database();
            db.families[size_t(f - 1)] = QStringList{"1", cap, "5", "A", "3", "005", QString::number(3000 + 10 * f),
                                                     "00", "00"};
            sim->setDatabase(db);
        });
        openFamilies();
    }

    // The encoder holds a port 1 setting the serial port settings cannot
    // show; read, then the dialog opens on it.
    void encoderSettingTheDialogCannotShow()
    {
        static const QList<std::pair<const char *, const char *>> odd = {
            {"serial1 baud", "Invalid"},   {"serial1 protocol", "XYZ"}, {"serial1 protocol", ""},
            {"serial1 databits", "O71"},   {"serial1 databits", "X"},  {"serial2 baud", "Invalid"},
            {"serial2 protocol", "XYZ"},
        };
        const auto &setting = odd[draw(int(odd.size()))];
        const QString key = QString::fromLatin1(setting.first);
        const QString value = QString::fromLatin1(setting.second);
        const bool closeBox = chance(30);
        m_readQuestion = Answer::Yes;
        name(QStringLiteral("encoder's \"%1\" set to \"%2\", read, serial port settings %3")
                 .arg(key, value, closeBox ? "close box" : "OK"));
        readAs(false, [this, key, value] { sim->setSetting(key, value); });
        RunWhen([] { return windowShown("frmSettings_Main"); }, [closeBox] {
            auto *d = qobject_cast<frmSettings_Main *>(forms::window("frmSettings_Main"));
            if (closeBox)
                PressCloseBox(d);
            else
                d->cmdOK->click();
        });
        w->Toolbar1_ButtonClick("settings");
        DropPendingActions();
    }

    // The encoder set to a paging protocol and read, then the test console
    // opened and closed (it waits out the encoder's restart each way).
    void console()
    {
        // the protocols in turn, from one the seed picks: few consoles still see them all
        static const QStringList protocols = {"TAP", "COMP1", "COMP2", "QV", "SCOPE", "SNPP"};
        const int turn = int(m_seed) + m_consoles++;
        const QString protocol = v7() ? QString::number(turn % 2) : protocols[turn % protocols.size()];
        m_readQuestion = Answer::Yes;
        name(v7() ? QStringLiteral("encoder's PET support \"%1\", read, test console").arg(protocol)
                  : QStringLiteral("encoder's port 1 on %1, read, test console").arg(protocol));
        readAs(false, [this, protocol] {
            if (v7()) {
                sim->setSetting("pet", protocol);
                return;
            }
            sim->setSetting("serial1 protocol", protocol);
            // the console talks to the encoder's paging input at port 1's
            // speed and format: an encoder left on one the program cannot
            // set is set right first
            if (!QStringList({"300", "1200", "2400", "9600"}).contains(sim->setting("serial1 baud")))
                sim->setSetting("serial1 baud", "9600");
            if (!QStringList({"N81", "E71"}).contains(sim->setting("serial1 databits")))
                sim->setSetting("serial1 databits", "N81");
        });
        openAndCloseTheConsole();
    }

    // Port 1 on COMP1 with group 1's first pager ID unused, from a file that
    // is opened and programmed: the console falls back to TAP.
    void consoleWithoutACOMP1DefaultPager()
    {
        m_programQuestion = Answer::Yes;
        name(QStringLiteral("file with port 1 on COMP1 and no default pager, opened, programmed, test console"));
        PagerDatabase db = gDb;
        db.Groups[0][grpPagerID1] = QStringLiteral("0000");
        EncoderSettings s = gSettings;
        s.sSerial1Protocol = QStringLiteral("COMP1");
        const QByteArray bytes = WritePagerDatabaseFile(db, s, QString(), nullptr);
        if (bytes.isEmpty())
            return;  // the view holds something no file takes
        QFile f(path("comp1.pg8"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        prompts.answerFile(path("comp1.pg8"));
        w->mnuOpenFile_Click();
        EXPECT_EQ(prompts.pending(), 0);
        programAs(false);
        openAndCloseTheConsole();
    }

    QList<Command> commands() const
    {
        using S = ViewClaimSequence;
        return {
            {"families open", 10, true, true, &S::familiesOpen},
            {"families type", 60, true, true, &S::familiesType},
            {"families choice", 30, true, true, &S::familiesChoice},
            {"families Active", 20, true, true, &S::familiesActive},
            {"families close", 50, true, true, &S::familiesClose},
            {"groups open", 10, true, true, &S::groupsOpen},
            {"groups type", 50, true, true, &S::groupsType},
            {"groups Active", 15, true, true, &S::groupsActive},
            {"groups timer", 15, true, true, &S::groupsTimer},
            {"groups timer message", 15, true, true, &S::groupsTimerMessage},
            {"groups close", 50, true, true, &S::groupsClose},
            {"messages open", 8, true, true, &S::messagesOpen},
            {"messages type", 30, true, true, &S::messagesType},
            {"messages close", 20, true, true, &S::messagesClose},
            {"settings", 50, true, true, &S::settings},
            {"read", 100, true, true, &S::readStep},
            {"read that fails", 30, true, true, &S::readFailing},
            {"read with an edit", 15, true, true, &S::readWithAnEditDuringIt},
            {"read of duty cycle abc", 8, true, true, &S::readADutyCycleThatIsNoNumber},
            {"program", 120, true, true, &S::programStep},
            {"program that fails", 40, true, true, &S::programFailing},
            {"program with an edit", 15, true, true, &S::programWithAnEditDuringIt},
            {"New Database", 12, true, true, &S::newDatabase},
            {"encoder timer without message", 15, true, true, &S::encoderTimerWithoutMessage},
            {"encoder start capcode no number", 15, true, true, &S::encoderStartCapcodeThatIsNoNumber},
            {"encoder setting the dialog cannot show", 15, false, true, &S::encoderSettingTheDialogCannotShow},
            // the console waits out the encoder's restart (2.5 s) at every opening
            {"console", 4, true, true, &S::console},
            {"console COMP1 fallback", 2, false, true, &S::consoleWithoutACOMP1DefaultPager},
        };
    }

    void runOneStep(const QList<Command> &available, int totalWeight)
    {
        int at = draw(totalWeight);
        const Command *command = &available.first();
        for (const Command &c : available) {
            if (at < c.weight) {
                command = &c;
                break;
            }
            at -= c.weight;
        }
        m_boxes.clear();
        m_question = Answer::Yes;
        m_readQuestion = Answer::Yes;
        m_programQuestion = Answer::Yes;
        m_step = QString::fromLatin1(command->name);
        ++m_counts[QString::fromLatin1(command->name)];
        m_watchdog.start(kStepTimeLimitMs);
        QElapsedTimer clock;
        clock.start();
        (this->*command->run)();
        m_times[QString::fromLatin1(command->name)] += clock.elapsed();
        m_watchdog.stop();
        m_log << QStringLiteral("%1: %2").arg(m_stepNo).arg(m_step);
    }
};

TEST_P(ViewClaimSequence, TheClaimToMatchHoldsAfterEveryStep)
{
    const SequenceCase c = GetParam();
    m_firmware = c.firmware;
    m_seed = seedOf(c);
    m_steps = stepsOf(c);
    m_rng.seed(m_seed);
    // a step that never ends (a dialog nobody closes) is reported as the step it is
    m_watchdog.setSingleShot(true);
    QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
        std::fprintf(stderr, "a step ran for %d s:\n%s\n", kStepTimeLimitMs / 1000, qPrintable(context()));
        std::abort();
    });
    prompts.answerUnqueuedWith([this](const platform::Prompt &p) { return answerBox(p); });

    connect(m_firmware);
    ASSERT_FALSE(HasFatalFailure());
    sim->setDatabase(programmedSample());
    m_step = QStringLiteral("the first read");
    w->mnuReadDB_Click();
    ASSERT_TRUE(gRun.bMatchesEncoder);

    const QList<Command> all = commands();
    QList<Command> available;
    int totalWeight = 0;
    for (const Command &command : all) {
        if (m_firmware == 7 ? command.v7 : command.v8) {
            available << command;
            totalWeight += command.weight;
        }
    }
    for (m_stepNo = 1; m_stepNo <= m_steps; ++m_stepNo) {
        runOneStep(available, totalWeight);
        if (!HasFailure())
            checkAfterStep();
        if (HasFailure()) {
            ADD_FAILURE() << context().toStdString();
            break;
        }
    }
    if (qEnvironmentVariableIsSet("QV_SEQUENCE_VERBOSE")) {
        QStringList counts;
        for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it)
            counts << QStringLiteral("%1 %2 (%3 ms)").arg(it.key()).arg(it.value()).arg(m_times.value(it.key()));
        std::printf("steps drawn: %s\n", qPrintable(counts.join(QStringLiteral(", "))));
        QStringList events;
        for (auto it = m_events.cbegin(); it != m_events.cend(); ++it)
            events << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        std::printf("checks: %s\n", qPrintable(events.join(QStringLiteral(", "))));
    }
}

// Seeds whose sequences between them open the test console on every
// protocol, and on both PET settings, and run its COMP1 fallback.
INSTANTIATE_TEST_SUITE_P(Seeds, ViewClaimSequence,
                         ::testing::Values(SequenceCase{8, 2, 300}, SequenceCase{8, 3, 300}, SequenceCase{8, 4, 300},
                                           SequenceCase{8, 5, 300}, SequenceCase{7, 2, 300}, SequenceCase{7, 3, 300},
                                           SequenceCase{7, 4, 300}, SequenceCase{7, 5, 300}),
                         [](const ::testing::TestParamInfo<SequenceCase> &info) {
                             return "V" + std::to_string(info.param.firmware) + "Seed" +
                                    std::to_string(info.param.seed);
                         });
