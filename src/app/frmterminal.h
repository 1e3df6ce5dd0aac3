// The main window: menus, toolbar, status bar, the port controls, the
// capcode lookup, the notes box, and the link to the encoder.
#pragma once

#include "link/encoderlink.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QMenu;

// A picture or label that reports clicks.
class ClickLabel;

class frmTerminal : public QMainWindow {
    Q_OBJECT
public:
    explicit frmTerminal(QWidget *parent = nullptr);
    ~frmTerminal() override;

    // ---- the load step ---------------------------------------------------
    // `reportFailure` shows a failure of the start-up steps (the splash's
    // box); the load step then goes on with safe values.
    void Form_Load(const std::function<void(const QString &)> &reportFailure);

    // ---- controls ----------------------------------------------------------
    EncoderLink link;
    platform::SerialPort &MSComm1 = link.MSComm1;
    platform::Timer &Timer1 = link.Timer1;
    platform::Timer &Timer2 = link.Timer2;

    QMenu *mnuFile, *mnuPort, *mnuTest, *mnuHelp;
    QAction *mnuOpenFile, *mnuNewDB, *mnuWriteDB, *mnuReadDB, *mnuSave, *mnuSaveAs, *mnuPrintDB, *mnuFileExit;
    QAction *mnuOpen, *mnuProperties;
    QAction *mnuSendMsg, *mnuTXTune;
    QAction *mnuQVHelp, *mnuAbout;

    QToolBar *Toolbar1;
    // Button by position 1..8 (1 is the separator).
    QAction *ToolbarButton(int position) const;
    QAction *ToolbarButtonByKey(const QString &key) const;

    QLabel *StatusPanel1, *StatusPanel2;
    void SetStatusPanel(int panel, const QString &text);
    QString StatusPanelText(int panel) const;

    QLabel *lblVirgin, *Label25, *lblVersion, *lblIDAsCap, *lblIncBy8, *Label14;
    QLabel *Image1, *Picture1;
    QLineEdit *txtConfigNotes;
    // at most 80 typed characters; notes read from a file are kept whole
    static constexpr int kNotesTypedMax = 80;
    QLineEdit *txLookup;
    QPushButton *cmdLookup;
    QLabel *lblLookup;
    QPushButton *cmdComStatus;
    ClickLabel *ImgConnected, *ImgNotConnected;
    // Which of the two connection pictures is in front.
    bool ConnectedPictureInFront() const { return m_connectedInFront; }
    void BringConnectedPictureToFront(bool connected);

    QString HelpFile() const { return m_helpFile; }

    // ---- shared operations -------------------------------------------------
    void MarkConfigModified();
    // The commands that rely on the view matching the encoder (the capcode
    // lookup, Send Messages and its toolbar button) are on exactly while it
    // matches and the port is open.
    void FollowMatchState();
    // Port number n in the port button, the pictures' tool tips (and panel 2).
    void ShowPortNumber(int n);
    void ShowPortState();  // panel 2: "COM n Closed" / "COM n Open"
    void SetToolbarEnabled(bool on);

    // ---- handlers ------------------------------------------------------------
    void Timer1_Timer() { link.Timer1_Timer(); }
    void Timer2_Timer() { link.Timer2_Timer(); }
    void mnuOpen_Click();
    void cmdComStatus_Click() { mnuOpen_Click(); }
    void mnuProperties_Click();
    void mnuReadDB_Click();
    void mnuWriteDB_Click();
    void mnuSendMsg_Click();
    void mnuTXTune_Click();
    void mnuQVHelp_Click();
    void mnuAbout_Click();
    void mnuFileExit_Click();
    void Toolbar1_ButtonClick(const QString &key);
    void mnuNewDB_Click();
    void mnuOpenFile_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuPrintDB_Click();
    void cmdLookup_Click();
    void LoadLastFile();

    // The close prompt; returns whether the close may go on.
    bool Form_QueryUnload();
    // The shut-down sequence.
    void Form_Unload();

    // Sets the captions that follow the settings block.
    void ShowIDAsCapLabel();
    void ShowIncBy8Label();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildBody();
    void onPortLost(const QString &reason);
    QList<QAction *> m_toolbarButtons;  // positions 1..8
    QLabel *m_panel[2] = {nullptr, nullptr};
    QString m_helpFile;
    bool m_connectedInFront = false;
    bool m_unloaded = false;
};
