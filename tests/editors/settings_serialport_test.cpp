// The serial port settings dialog: what opening shows and corrects, what
// each pick stores, the COMP1 rule, Restore Defaults and OK.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/editors.h"
#include "editors/frmpassword.h"
#include "editors/frmsettings.h"
#include "editors/frmsettingsmain.h"
#include "support/appfixture.h"
#include "support/simharness.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testing_support;
using platform::Answer;

namespace {

QStringList items(const QComboBox *c)
{
    QStringList l;
    for (int i = 0; i < c->count(); ++i)
        l << c->itemText(i);
    return l;
}

class SerialPortSettings : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        w = start();
        closeSplash();
        unmark();
    }
    void TearDown() override
    {
        DropPendingActions();
        dlg.reset();
        AppFixture::TearDown();
    }
    // The dialog as the toolbar opens it, without its modal loop.
    frmSettings_Main *load()
    {
        dlg = std::make_unique<frmSettings_Main>(w);
        dlg->Form_Load();
        dlg->show();
        return dlg.get();
    }
    void unmark()
    {
        ClaimViewMatches();
        w->SetStatusPanel(1, QStringLiteral("as before"));
    }
    bool modified() const
    {
        return !gRun.bMatchesEncoder &&
               w->StatusPanelText(1) == "Current Configuration Modified, Does Not Match Encoder";
    }
    frmTerminal *w = nullptr;
    std::unique_ptr<frmSettings_Main> dlg;
};

}  // namespace

TEST_F(SerialPortSettings, OpensOnTheStoredSettingsOfPortOne)
{
    gSettings.sSerial1Protocol = "SNPP";
    gSettings.sSerial1Baud = "2400";
    gSettings.sSerial1Databits = "E71";
    gSettings.bSerial1Verbose = false;
    frmSettings_Main *d = load();
    const std::pair<QString, QString> texts[] = {
        {d->windowTitle(), " Encoder Settings"},
        {d->Frame1->title(), "Protocol for Serial Port"},
        {d->Frame2->title(), "Protocol for 2nd Serial Port"},
        {d->Frame4->title(), "Settings for Serial Port"},
        {d->Frame5->title(), "Settings for 2nd Serial Port"},
        {d->Frame3[0]->title(), "Baud Rate"},
        {d->fraConnection[0]->title(), "Connection Preferences"},
        {d->Label3[0]->text(), "Data Bits:"},
        {d->Label4[0]->text(), "Parity:"},
        {d->opt1Verbose[0]->text(), "Verbose"},
        {d->opt1Verbose[1]->text(), "Non-Verbose"},
        {d->cmdDefault->text(), "Restore Defaults"},
        {d->cmdSettings->text(), "Advanced Settings"},
    };
    for (const auto &[actual, expected] : texts)
        EXPECT_EQ(actual, expected);
    const QStringList captions{"TAP", "PET && TAP", "COMP1", "COMP2", "Quorvane", "Scope", "SNPP"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(d->opt1Protocol[i]->text(), captions[i]);
    EXPECT_TRUE(d->cmdOK->isDefault());
    EXPECT_EQ(items(d->cboSpeed[0]), QStringList({"300", "1200", "2400", "9600"}));
    EXPECT_EQ(items(d->cboDataBits[0]), QStringList({"7", "8"}));
    EXPECT_EQ(items(d->cboParity[0]), QStringList({"Even", "None"}));

    EXPECT_TRUE(d->opt1Protocol[6]->isChecked());
    EXPECT_EQ(d->cboSpeed[0]->currentText(), "2400");
    EXPECT_EQ(d->cboParity[0]->currentText(), "Even");
    EXPECT_EQ(d->cboDataBits[0]->currentText(), "7");
    EXPECT_TRUE(d->opt1Verbose[1]->isChecked());
    // port 2 is filled but never shown
    EXPECT_FALSE(d->Frame2->isVisible() || d->Frame2->isEnabled() || d->Frame5->isVisible() || d->Frame5->isEnabled());
    EXPECT_TRUE(d->opt2Protocol[0]->isChecked());
    EXPECT_EQ(d->cboSpeed[1]->currentText(), "9600");
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_FALSE(modified());
}

TEST_F(SerialPortSettings, OpeningCorrectsOrReportsStoredValuesAndAMatchingViewNoLongerMatches)
{
    gSettings.sSerial1Baud = "Invalid";
    gSettings.sSerial1Databits = "O71";
    gSettings.sSerial1Protocol = "";
    gSettings.sSerial2Baud = "4800";
    gSettings.sSerial2Databits = "E";
    gSettings.sSerial2Protocol = "XYZ";
    prompts.answer(Answer::OK);
    prompts.answer(Answer::OK);
    frmSettings_Main *d = load();
    EXPECT_EQ(gSettings.sSerial1Baud, "9600");
    EXPECT_EQ(gSettings.sSerial1Databits, "N81");
    EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
    EXPECT_EQ(gSettings.sSerial2Protocol, "TAP");
    EXPECT_EQ(d->cboParity[0]->currentText(), "None");
    EXPECT_EQ(d->cboDataBits[0]->currentText(), "8");
    EXPECT_TRUE(d->opt1Protocol[0]->isChecked());

    // values outside the lists: one box each, no selection, kept as they are
    ASSERT_EQ(prompts.count(), 2);
    for (const SeenPrompt &p : prompts.seen()) {
        EXPECT_TRUE(p.text.startsWith("Error in Loading Encoder Settings Form: ")) << p.text.toStdString();
        EXPECT_EQ(p.title, platform::AppTitle());
        EXPECT_EQ(p.icon, platform::Icon::None);
    }
    EXPECT_EQ(d->cboSpeed[1]->currentIndex(), -1);
    EXPECT_EQ(d->cboDataBits[1]->currentIndex(), -1);
    EXPECT_FALSE(gRun.bLoading);
    d->cmdOK->click();
    EXPECT_EQ(gSettings.sSerial2Baud, "4800");
    EXPECT_EQ(gSettings.sSerial2Databits, "E");  // no data bits shown: OK keeps it
    // programming would send the corrected values: the view no longer matches
    EXPECT_TRUE(modified());
}

TEST_F(SerialPortSettings, ListPicksStoreAtOnceAndKeepDataBitsAndParityInStep)
{
    frmSettings_Main *d = load();
    d->cboDataBits[0]->setCurrentIndex(0);  // "7"
    EXPECT_EQ(d->cboParity[0]->currentText(), "Even");
    EXPECT_EQ(gSettings.sSerial1Databits, "E71");
    EXPECT_TRUE(modified());
    unmark();
    d->cboParity[0]->setCurrentIndex(1);  // "None"
    EXPECT_EQ(d->cboDataBits[0]->currentText(), "8");
    EXPECT_EQ(gSettings.sSerial1Databits, "N81");
    EXPECT_TRUE(modified());
    // marked even while the program rewrites the database
    unmark();
    gRun.bNoModifiedStatus = true;
    d->cboSpeed[0]->setCurrentIndex(0);
    EXPECT_EQ(gSettings.sSerial1Baud, "300");
    EXPECT_TRUE(modified());
}

TEST_F(SerialPortSettings, ProtocolPicksAndTheAnswerMode)
{
    frmSettings_Main *d = load();
    gDb.Groups[0][grpActive] = "1";
    gDb.Groups[0][grpPagerID1] = "1234";
    const QStringList stored{"TAP", "PET", "COMP1", "COMP2", "QV", "SCOPE", "SNPP"};
    for (int i = 0; i < 7; ++i) {
        d->opt1Protocol[i == 4 ? 5 : 4]->click();
        d->opt1Verbose[1]->click();
        EXPECT_FALSE(gSettings.bSerial1Verbose);
        unmark();
        d->opt1Protocol[i]->click();
        EXPECT_EQ(gSettings.sSerial1Protocol, stored[i]);
        // TAP and COMP1 select Verbose, the others leave it
        const bool verbose = i == 0 || i == 2;
        EXPECT_EQ(gSettings.bSerial1Verbose, verbose) << i;
        EXPECT_EQ(d->opt1Verbose[0]->isChecked(), verbose) << i;
        EXPECT_TRUE(modified());
    }
    EXPECT_EQ(prompts.count(), 0);
}

TEST_F(SerialPortSettings, Comp1WithoutADefaultPagerFallsBackToTAP)
{
    const QString text = lines({"COMP1 Protocol Requires a Default Pager Assignment",
                                "The First Pager ID in the First Pager Group is Used as the Default Pager ID",
                                "The Protocol has been set to TAP"});
    frmSettings_Main *d = load();
    const struct {
        const char *active, *pagerID1;
        bool refused;
    } cases[] = {{"1", "0000", true}, {"0", "1234", true}, {"1", "1234", false}, {"", "", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.active) + "/" + c.pagerID1);
        gDb.Groups[0][grpActive] = c.active;
        gDb.Groups[0][grpPagerID1] = c.pagerID1;
        gSettings.sSerial2Protocol = "COMP1";
        d->opt1Protocol[5]->click();
        unmark();
        prompts.clear();
        if (c.refused)
            prompts.answer(Answer::OK);
        d->opt1Protocol[2]->click();
        ASSERT_EQ(prompts.count(), c.refused ? 1 : 0);
        if (c.refused) {
            EXPECT_EQ(prompts.last().title, "COMP1 Pager ID Not Defined");
            EXPECT_EQ(prompts.last().text, text);
            EXPECT_EQ(prompts.last().icon, platform::Icon::None);
        }
        EXPECT_EQ(gSettings.sSerial1Protocol, c.refused ? "TAP" : "COMP1");
        EXPECT_TRUE(d->opt1Protocol[c.refused ? 0 : 2]->isChecked());
        EXPECT_TRUE(gSettings.bSerial1Verbose && d->opt1Verbose[0]->isChecked());
        EXPECT_TRUE(modified());
        EXPECT_EQ(gSettings.sSerial2Protocol, "COMP1");
    }
}

TEST_F(SerialPortSettings, RestoreDefaultsResetsPortOneOnlyAndOKCloses)
{
    gSettings.sSerial1Protocol = gSettings.sSerial2Protocol = "SCOPE";
    gSettings.sSerial1Baud = gSettings.sSerial2Baud = "300";
    gSettings.sSerial1Databits = gSettings.sSerial2Databits = "E71";
    gSettings.bSerial1Verbose = gSettings.bSerial2Verbose = false;
    frmSettings_Main *d = load();
    d->cmdDefault->click();
    EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
    EXPECT_EQ(gSettings.sSerial1Baud, "9600");
    EXPECT_EQ(gSettings.sSerial1Databits, "N81");
    EXPECT_TRUE(gSettings.bSerial1Verbose);
    EXPECT_EQ(d->cboSpeed[0]->currentText(), "9600");
    EXPECT_EQ(d->cboParity[0]->currentText(), "None");
    EXPECT_TRUE(d->opt1Verbose[0]->isChecked());
    EXPECT_TRUE(modified());
    EXPECT_EQ(gSettings.sSerial2Protocol, "SCOPE");
    EXPECT_EQ(gSettings.sSerial2Baud, "300");
    EXPECT_FALSE(gSettings.bSerial2Verbose);
    // already at the defaults: stored and marked all the same
    unmark();
    d->cmdDefault->click();
    EXPECT_TRUE(modified());
    EXPECT_TRUE(d->isVisible());

    unmark();
    gSettings.sSerial2Databits = "E7";
    d->cmdOK->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(gSettings.sSerial2Databits, "E71");
    EXPECT_TRUE(modified());  // programming would send "E71" where it sent "E7"
}

TEST_F(SerialPortSettings, EscActsAsTheCloseBoxAndStoresWhatOKStores)
{
    gSettings.sSerial1Databits = "E7";  // as a damaged file leaves it
    frmSettings_Main *d = load();
    QTest::keyClick(d->cboSpeed[0], Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(gSettings.sSerial1Databits, "E71");
    EXPECT_EQ(prompts.count(), 0);
}

TEST_F(SerialPortSettings, RunsModallyAndLeadsThroughTheAccessCodeToTheAdvancedSettings)
{
    QStringList order;
    RunWhen([] { return forms::window("frmSettings_Main") && forms::window("frmSettings_Main")->isVisible(); },
            [&] {
                auto *d = qobject_cast<frmSettings_Main *>(forms::window("frmSettings_Main"));
                EXPECT_TRUE(d->isModal());
                EXPECT_EQ(d->parentWidget(), w);
                d->cboSpeed[0]->setCurrentIndex(0);
                d->cmdSettings->click();
                order << "back in settings";
                d->close();  // the close box keeps every pick
            });
    RunWhen([] { return forms::window("frmPassword") && forms::window("frmPassword")->isVisible(); },
            [&] {
                order << "password";
                auto *p = qobject_cast<frmPassword *>(forms::window("frmPassword"));
                EXPECT_EQ(p->parentWidget(), forms::window("frmSettings_Main"));
                p->txtName->setText("KRELV");
                p->cmdOK->click();
            });
    RunWhen([] { return forms::window("frmSettings") && forms::window("frmSettings")->isVisible(); },
            [&] {
                order << "advanced";
                qobject_cast<frmSettings *>(forms::window("frmSettings"))->cmdOK->click();
            });
    ShowSerialPortSettings(w);
    EXPECT_EQ(order, QStringList({"password", "advanced", "back in settings"}));
    EXPECT_EQ(forms::window("frmSettings_Main"), nullptr);
    EXPECT_EQ(forms::window("frmPassword"), nullptr);
    EXPECT_EQ(gSettings.sSerial1Baud, "300");
}

TEST_F(SerialPortSettings, AShutDownBehindTheAdvancedSettingsUnloadsTheWholeChain)
{
    bool advancedShown = false;
    RunWhen([] { return forms::window("frmSettings_Main") && forms::window("frmSettings_Main")->isVisible(); },
            [] { qobject_cast<frmSettings_Main *>(forms::window("frmSettings_Main"))->cmdSettings->click(); });
    RunWhen([] { return forms::window("frmPassword") && forms::window("frmPassword")->isVisible(); },
            [] {
                auto *p = qobject_cast<frmPassword *>(forms::window("frmPassword"));
                p->txtName->setText("KRELV");
                p->cmdOK->click();
            });
    RunWhen([] { return forms::window("frmSettings") && forms::window("frmSettings")->isVisible(); },
            [&] {
                advancedShown = true;
                w->Form_Unload();
            });
    ShowSerialPortSettings(w);
    EXPECT_TRUE(advancedShown);
    EXPECT_EQ(forms::window("frmSettings"), nullptr);
    EXPECT_EQ(forms::window("frmPassword"), nullptr);
    EXPECT_EQ(forms::window("frmSettings_Main"), nullptr);
}
