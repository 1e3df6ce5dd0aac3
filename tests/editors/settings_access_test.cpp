// The access-code dialog in front of the advanced settings, as the toolbar
// opens it on a version 7 encoder.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/editors.h"
#include "editors/frmpassword.h"
#include "editors/frmsettings.h"
#include "support/appfixture.h"
#include "support/simharness.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testing_support;

namespace {

class AccessCode : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        w = start();
        closeSplash();
        gRun.bV7Firmware = true;
        gRun.sAccessMode = QStringLiteral("advanced");
    }
    void TearDown() override
    {
        DropPendingActions();
        AppFixture::TearDown();
    }
    static bool shown(const char *name) { return forms::window(name) && forms::window(name)->isVisible(); }

    // Opens the dialog and runs `act` on it once it shows; returns whether
    // the advanced settings opened meanwhile (closed at once by `closeAdvanced`).
    bool run(std::function<void(frmPassword *)> act,
             std::function<void(QDialog *)> closeAdvanced = [](QDialog *a) { a->accept(); })
    {
        bool advanced = false;
        RunWhen([] { return shown("frmPassword"); },
                [act] { act(qobject_cast<frmPassword *>(forms::window("frmPassword"))); });
        RunWhen([] { return shown("frmSettings"); },
                [&] {
                    advanced = true;
                    advancedOwner = forms::window("frmSettings")->parentWidget();
                    closeAdvanced(qobject_cast<QDialog *>(forms::window("frmSettings")));
                });
        ShowAccessCodeDialog(w);
        DropPendingActions();
        EXPECT_EQ(forms::window("frmPassword"), nullptr);
        EXPECT_EQ(forms::window("frmSettings"), nullptr);
        return advanced;
    }

    frmTerminal *w = nullptr;
    QWidget *advancedOwner = nullptr;
};

}  // namespace

TEST_F(AccessCode, OpensEmptyWithOKDisabledAndOnlyCancelLeavesWithoutTheCode)
{
    for (int opening = 0; opening < 2; ++opening) {
        QWidget *owner = nullptr;
        EXPECT_TRUE(run([&owner](frmPassword *p) {
            owner = p;
            EXPECT_EQ(p->windowTitle(), "Access Advanced Encoder Settings");
            EXPECT_EQ(p->Label1->text(), "User ID:");
            EXPECT_EQ(p->txtName->text(), "");
            EXPECT_FALSE(p->cmdOK->isEnabled());
            EXPECT_TRUE(p->cmdOK->isDefault() && p->isModal());
            EXPECT_EQ(p->cmdCancel->text(), "Cancel");
            EXPECT_FALSE(p->windowFlags() & Qt::WindowCloseButtonHint);
            EXPECT_EQ(p->txtName->nextInFocusChain(), p->cmdOK);
            QTest::keyClick(p->txtName, Qt::Key_Escape);
            p->close();
            EXPECT_TRUE(p->isVisible());
            QTest::keyClicks(p->txtName, "KrEl");
            EXPECT_FALSE(p->cmdOK->isEnabled());
            QTest::keyClicks(p->txtName, "v");
            EXPECT_TRUE(p->cmdOK->isEnabled());
            QTest::keyClick(p->txtName, Qt::Key_Return);  // Enter presses OK
        }));
        EXPECT_EQ(advancedOwner, owner);
    }
}

TEST_F(AccessCode, OKStaysEnabledButDoesNothingUntilTheEntryMatchesAgain)
{
    EXPECT_TRUE(run([](frmPassword *p) {
        QTest::keyClicks(p->txtName, "KRELV ");
        EXPECT_TRUE(p->cmdOK->isEnabled());
        p->cmdOK->click();
        EXPECT_TRUE(p->isVisible());
        EXPECT_EQ(forms::window("frmSettings"), nullptr);
        EXPECT_EQ(p->txtName->text(), "KRELV ");
        QTest::keyClick(p->txtName, Qt::Key_Backspace);
        p->cmdOK->click();
    }));
    // closing the advanced settings by the close box also closes this dialog
    EXPECT_TRUE(run([](frmPassword *p) {
        p->txtName->setText("krelv");
        p->cmdOK->click();
    }, [](QDialog *a) { a->close(); }));
}

TEST_F(AccessCode, TheCodeAmongOtherCharactersNeverEnablesOKAndCancelChangesNothing)
{
    const EncoderSettings before = gSettings;
    ClaimViewMatches();
    EXPECT_FALSE(run([](frmPassword *p) {
        QTest::keyClicks(p->txtName, " KRELV");
        EXPECT_FALSE(p->cmdOK->isEnabled());
        p->txtName->clear();
        p->txtName->insert("xKRELVx");  // pasted
        EXPECT_FALSE(p->cmdOK->isEnabled());
        QTest::keyClick(p->txtName, Qt::Key_Return);
        EXPECT_TRUE(p->isVisible());
        p->cmdCancel->click();
    }));
    EXPECT_EQ(gSettings, before);
    EXPECT_TRUE(gRun.bMatchesEncoder);
}
