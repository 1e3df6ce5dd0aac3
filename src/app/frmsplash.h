// The start-up splash of each brand. It sets the brand word, loads the main
// window, and shows it after 10 s or at a click or key. It is also the
// About box.
#pragma once

#include <QDialog>

class ClickLabel;
class QFrame;
class QLabel;

namespace platform {
class Timer;
}

class SplashBase : public QDialog {
    Q_OBJECT
public:
    void Form_Load();
    // The splash's box for a failure of the start-up.
    static void ShowLoadFailure(const QString &description);

    QLabel *lblVersion = nullptr;
    platform::Timer *Timer1 = nullptr;

    // Shows the main window and unloads the splash.
    void CloseSplash();

protected:
    SplashBase(const QString &brand, bool brandAfterShow, QWidget *parent);
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void reject() override { CloseSplash(); }

private:
    QString m_brand;
    bool m_brandAfterShow;
    bool m_closing = false;

protected:
    // The load step is under way (a start-up box may be open): a close asked
    // for meanwhile waits until it has ended.
    bool m_loading = false;
    bool m_closePending = false;
    bool m_showMainPending = false;
};

class frmSplash : public SplashBase {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    QFrame *Frame1;
    QLabel *lblCompanyProduct, *lblProductName, *lblPlatform, *lblWarning, *imgLogo, *Image1;
    void lblWarning_Click();
    static QString WebAddress();
protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
};

class frmKDSplash : public SplashBase {
    Q_OBJECT
public:
    explicit frmKDSplash(QWidget *parent = nullptr);
    QLabel *Picture1;
};

namespace forms {
// The loaded splash of each brand, if any (the About box reuses it).
frmSplash *splash();
frmKDSplash *kdSplash();
frmSplash *loadSplash();
frmKDSplash *loadKDSplash();
}  // namespace forms
