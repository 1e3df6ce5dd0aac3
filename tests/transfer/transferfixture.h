// The program against a simulated encoder for the transfer tests: the
// fixture that connects, reads and programs, and the drivers of the commands
// that can change a view that matches the encoder (the grid editors, the
// settings dialogs, the test console), shared by the fixed list of those
// commands and the random sequences of them.
#pragma once

#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "app/frmterminal.h"
#include "database/pg8file.h"
#include "database/state.h"
#include "editors/cfgfam_cells.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "editors/frmcfgmsg.h"
#include "editors/frmpassword.h"
#include "editors/frmsettings.h"
#include "editors/frmsettingsmain.h"
#include "encsim/simulator.h"
#include "platform/grid.h"
#include "support/appfixture.h"
#include "support/ptypeer.h"
#include "support/simharness.h"
#include "transfer/matchclaim.h"
#include "transfer/transfer.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QToolBar>

#include <functional>
#include <memory>
#include <utility>

class DatabaseTransfer : public testing_support::AppFixture {
protected:
    std::unique_ptr<encsim::PtySimulator> sim;
    std::unique_ptr<testing_support::DeviceLink> simLink;
    std::unique_ptr<testing_support::ReplyTimeOutGuard> guard;
    frmTerminal *w = nullptr;
    QByteArray savedCom1;

    void TearDown() override
    {
        AppFixture::TearDown();
        guard.reset();
        if (sim)
            sim->stop();
        qputenv("QV_COM1", savedCom1);
    }

    // The program started, its COM 1 open on a simulated encoder of `firmware`
    // already in programming mode.
    void connect(int firmware, const encsim::PtyOptions &options = {})
    {
        encsim::Config config;
        config.firmware = firmware;
        config.startInProgrammingMode = true;
        sim = std::make_unique<encsim::PtySimulator>(config, options);
        ASSERT_TRUE(sim->start()) << sim->errorString().toStdString();
        guard = std::make_unique<testing_support::ReplyTimeOutGuard>(sim.get());
        simLink = std::make_unique<testing_support::DeviceLink>(sim->slavePath());
        ASSERT_FALSE(simLink->path().isEmpty());
        savedCom1 = qgetenv("QV_COM1");
        qputenv("QV_COM1", simLink->path().toLocal8Bit());
        w = start();
        closeSplash();
        ASSERT_NE(w, nullptr);
        gRun.bV7Firmware = firmware == 7;
        ASSERT_TRUE(w->MSComm1.setPortOpen(true)) << w->MSComm1.ErrorText().toStdString();
    }

    QString path(const QString &name) const { return QDir(appDir()).filePath(name); }

    // Writes the file and opens it as a user does.
    void openFile(const QString &name, const PagerDatabase &db, const EncoderSettings &s, const QString &notes)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(WritePagerDatabaseFile(db, s, notes, nullptr));
        f.close();
        prompts.answerFile(path(name));
        w->mnuOpenFile_Click();
    }

    // The question is asked when the view's claim, checked, does not hold.
    void program()
    {
        if (!ViewMatchesEncoder())
            prompts.answer(platform::Answer::Yes);  // "Program Encoder?"
        w->mnuWriteDB_Click();
    }

    void read()
    {
        if (!ViewMatchesEncoder())
            prompts.answer(platform::Answer::Yes);  // "About to OverWrite Edits"
        w->mnuReadDB_Click();
    }

    // Runs `action` on the program's thread while the encoder takes the
    // first exchange that holds `marker` (the wait in progress sees it).
    void onExchange(const QByteArray &marker, std::function<void()> action)
    {
        sim->setObserver([marker, action, done = std::make_shared<bool>(false)](const encsim::Exchange &ex) {
            if (*done || !ex.received.contains(marker))
                return;
            *done = true;
            QMetaObject::invokeMethod(qApp, action, Qt::QueuedConnection);
        });
    }

    QList<QByteArray> received() const
    {
        QList<QByteArray> out;
        for (const encsim::Exchange &ex : sim->exchanges())
            out << ex.received;
        return out;
    }

    // The toolbar back after a run: every button, but the test button only
    // while the view matches the encoder.
    bool toolbarBack() const
    {
        if (!w->Toolbar1->isEnabled())
            return false;
        for (int i = 1; i <= 7; ++i)
            if (!w->ToolbarButton(i)->isEnabled())
                return false;
        return w->ToolbarButtonByKey("test")->isEnabled() == gRun.bMatchesEncoder;
    }

    // What every run leaves behind, whatever its outcome.
    void expectCleanExit() const
    {
        EXPECT_FALSE(gRun.bNoModifiedStatus);
        EXPECT_FALSE(gRun.bPortBusy);
        EXPECT_FALSE(w->Timer2.Enabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
        EXPECT_TRUE(w->MSComm1.PortOpen());
    }
};

// ---- the commands that can change a view that matches the encoder -------------

inline bool windowShown(const char *name) { return forms::window(name) && forms::window(name)->isVisible(); }

// The sample database as programming leaves it: an unused group goes out
// with its twenty pager IDs, where a factory encoder holds only eight zeros.
inline encsim::Database programmedSample()
{
    encsim::Database db = encsim::Database::sample();
    for (QStringList &group : db.groups)
        while (group.size() < encsim::GroupFieldCount)
            group << QStringLiteral("0000");
    return db;
}

class ViewCommandFixture : public DatabaseTransfer {
protected:
    frmCfgFam *families() { return qobject_cast<frmCfgFam *>(forms::window("frmCfgFam")); }
    frmCfgGroup *groups() { return qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup")); }
    frmCfgMsg *messages() { return qobject_cast<frmCfgMsg *>(forms::window("frmCfgMsg")); }

    // Types `text` into the families editor's cell as the user does.
    void typeFamily(int row, int col, const QString &text)
    {
        frmCfgFam *e = families();
        e->fgFamilies->setRow(row);
        e->fgFamilies->setCol(col);
        e->fgFamilies_Click();
        e->txtFam->clear();
        for (const QChar c : text)
            e->txtFam->setText(e->txtFam->text() + c);
    }
    void typeGroup(int row, int col, const QString &text)
    {
        frmCfgGroup *e = groups();
        e->fgGroups->setRow(row);
        e->fgGroups->setCol(col);
        e->fgGroups_Click();
        e->txtGrp->setText(text);
    }
    // Types `text` as message `n` (1..15) of the canned messages editor.
    void typeMessage(int n, const QString &text)
    {
        frmCfgMsg *e = messages();
        e->fgMessages->setRow(n);
        e->fgMessages->setCol(1);
        e->fgMessages_Click();
        e->txtMsg->setText(text);
    }

    // Opens the test console as the user does and closes it once it shows.
    void openAndCloseTheConsole()
    {
        testing_support::RunWhen([] { return windowShown("frmMessageTest"); },
                                 [] { qobject_cast<QDialog *>(forms::window("frmMessageTest"))->done(0); });
        w->mnuSendMsg_Click();
        testing_support::DropPendingActions();
        EXPECT_EQ(forms::window("frmMessageTest"), nullptr);
    }

    void consoleOn(const QString &protocol)
    {
        sim->setSetting("serial1 protocol", protocol);
        read();
        openAndCloseTheConsole();
    }

    // The settings dialogs as the toolbar's settings button opens them, each
    // left with OK: on a version 8 encoder the serial port settings, and
    // through their button the access code and the advanced settings; on a
    // version 7 encoder the access code and the advanced settings. `advanced`
    // runs on the advanced settings before their OK.
    void settingsDialogsOK(std::function<void(frmSettings *)> advanced = {})
    {
        using testing_support::RunWhen;
        auto advancedLeft = std::make_shared<bool>(false);
        RunWhen([] { return windowShown("frmSettings_Main"); },
                [] { qobject_cast<frmSettings_Main *>(forms::window("frmSettings_Main"))->cmdSettings->click(); });
        RunWhen([] { return windowShown("frmPassword"); }, [] {
            auto *p = qobject_cast<frmPassword *>(forms::window("frmPassword"));
            p->txtName->setText("KRELV");
            p->cmdOK->click();
        });
        RunWhen([] { return windowShown("frmSettings"); }, [advanced, advancedLeft] {
            auto *s = qobject_cast<frmSettings *>(forms::window("frmSettings"));
            if (advanced)
                advanced(s);
            *advancedLeft = true;
            s->cmdOK->click();
        });
        RunWhen(
            [advancedLeft] {
                return *advancedLeft && windowShown("frmSettings_Main") && !forms::window("frmPassword");
            },
            [] { qobject_cast<frmSettings_Main *>(forms::window("frmSettings_Main"))->cmdOK->click(); });
        w->Toolbar1_ButtonClick("settings");
        testing_support::DropPendingActions();
        EXPECT_EQ(forms::window("frmSettings_Main"), nullptr);
        EXPECT_EQ(forms::window("frmPassword"), nullptr);
        EXPECT_EQ(forms::window("frmSettings"), nullptr);
    }

    // The serial port settings opened from the toolbar and left with OK at once.
    void serialPortSettingsOK()
    {
        testing_support::RunWhen(
            [] { return windowShown("frmSettings_Main"); },
            [] { qobject_cast<frmSettings_Main *>(forms::window("frmSettings_Main"))->cmdOK->click(); });
        w->Toolbar1_ButtonClick("settings");
        testing_support::DropPendingActions();
        EXPECT_EQ(forms::window("frmSettings_Main"), nullptr);
    }

    // The encoder as it stands: its database and settings.
    std::pair<encsim::Database, QMap<QString, QString>> encoderState()
    {
        return sim->withEncoder([](encsim::Encoder &e) { return std::make_pair(e.database(), e.settings()); });
    }
};
