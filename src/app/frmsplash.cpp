#include "app/frmsplash.h"

#include "app/artwork.h"
#include "app/clicklabel.h"
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>

namespace {
QFont arial(int points, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

ClickLabel *makeLabel(QWidget *parent, const QString &text, const char *name, const QFont &font)
{
    auto *l = new ClickLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    return l;
}
}  // namespace

SplashBase::SplashBase(const QString &brand, bool brandAfterShow, QWidget *parent)
    : QDialog(parent), m_brand(brand), m_brandAfterShow(brandAfterShow)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setModal(false);
    Timer1 = new platform::Timer(10000, this);
    connect(Timer1, &platform::Timer::fired, this, &SplashBase::CloseSplash);
}

void SplashBase::ShowLoadFailure(const QString &description)
{
    platform::MsgBox(QStringLiteral("Failure During Splash Screen Load: ") + description, platform::Buttons::OKCancel,
                     platform::Icon::Critical, QStringLiteral("Failure at Splash"), 2);
}

void SplashBase::Form_Load()
{
    m_loading = true;
    // 1. version
    lblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(QV_VERSION_MAJOR).arg(QV_VERSION_MINOR).arg(QV_VERSION_PATCH));
    // 2, 3. brand word and show (the second brand sets its word after showing)
    if (!m_brandAfterShow)
        gRun.sBrand = m_brand;
    show();
    if (m_brandAfterShow)
        gRun.sBrand = m_brand;
    Timer1->setEnabled(true);
    // 4. the main window, loaded but not shown
    if (!forms::terminal()) {
        auto *main = new frmTerminal();
        main->setAttribute(Qt::WA_DeleteOnClose);
        forms::setTerminal(main);
        main->Form_Load(&SplashBase::ShowLoadFailure);
    }
    // 5. centre
    adjustSize();
    platform::CentreOnScreen(this);
    m_loading = false;
    // the timer, a click or the web link came while a start-up box was open
    frmTerminal *main = forms::terminal();
    if (m_closePending)
        CloseSplash();
    else if (m_showMainPending && main)
        main->show();
}

void SplashBase::CloseSplash()
{
    if (m_loading) {
        // the main window is still loading, and the load step needs the
        // splash to the end
        m_closePending = true;
        return;
    }
    if (m_closing)
        return;
    m_closing = true;
    Timer1->setEnabled(false);
    if (frmTerminal *main = forms::terminal())
        main->show();
    // unload the splash
    hide();
    deleteLater();
}

void SplashBase::mousePressEvent(QMouseEvent *e) { e->accept(); }

void SplashBase::mouseReleaseEvent(QMouseEvent *e)
{
    e->accept();
    if (e->button() == Qt::LeftButton)
        CloseSplash();  // a click on the window background
}

void SplashBase::keyPressEvent(QKeyEvent *e)
{
    // any typed character closes the splash
    if (!e->text().isEmpty()) {
        e->accept();
        CloseSplash();
        return;
    }
    QDialog::keyPressEvent(e);
}

// ---- the maker's splash -------------------------------------------------

frmSplash::frmSplash(QWidget *parent) : SplashBase(QStringLiteral("Quorvane"), false, parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Quorvane Paging Encoder Setup"));
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setAutoFillBackground(true);
    QPalette pal = Frame1->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Frame1->setPalette(pal);
    Frame1->installEventFilter(this);

    imgLogo = makeLabel(Frame1, QString(), "imgLogo", arial(10));
    imgLogo->setPixmap(artwork::brandLogo(72));
    auto *image1 = makeLabel(Frame1, QString(), "Image1", arial(10));
    image1->setPixmap(artwork::brandBanner(260, 36));
    connect(image1, &ClickLabel::clicked, this, &SplashBase::CloseSplash);
    Image1 = image1;
    lblCompanyProduct = makeLabel(Frame1, QStringLiteral("Quorvane"), "lblCompanyProduct", arial(18, true));
    lblProductName = makeLabel(Frame1, QStringLiteral("Paging Encoder Setup v8"), "lblProductName", arial(22, true));
    lblPlatform = makeLabel(Frame1, QStringLiteral("Windows XP or Vista"), "lblPlatform", arial(12));
    lblVersion = makeLabel(Frame1, QString(), "lblVersion", arial(12));
    auto *warning = makeLabel(Frame1, WebAddress(), "lblWarning", arial(10));
    warning->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline"));
    warning->setCursor(Qt::PointingHandCursor);
    connect(warning, &ClickLabel::clicked, this, &frmSplash::lblWarning_Click);
    lblWarning = warning;
    auto *lblCopyright = makeLabel(Frame1, QStringLiteral("POCSAG paging encoder set-up and test"), "lblCopyright", arial(9));

    auto *grid = new QGridLayout(Frame1);
    grid->addWidget(imgLogo, 0, 0, 2, 1);
    grid->addWidget(lblCompanyProduct, 0, 1);
    grid->addWidget(Image1, 1, 1);
    grid->addWidget(lblProductName, 2, 0, 1, 2);
    grid->addWidget(lblPlatform, 3, 0, 1, 2);
    grid->addWidget(lblVersion, 4, 0, 1, 2);
    grid->addWidget(lblCopyright, 5, 0, 1, 2);
    grid->addWidget(lblWarning, 6, 0, 1, 2);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addWidget(Frame1);
}

QString frmSplash::WebAddress() { return QStringLiteral("https://www.quorvane.example/paging"); }

void frmSplash::lblWarning_Click()
{
    if (m_loading)
        m_showMainPending = true;  // shown once it has loaded
    else if (frmTerminal *main = forms::terminal())
        main->show();
    platform::ShellOpen(WebAddress());
}

bool frmSplash::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Frame1 && e->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
            CloseSplash();  // a click on the frame
        return true;
    }
    if (watched == Frame1 && e->type() == QEvent::MouseButtonPress)
        return true;
    return SplashBase::eventFilter(watched, e);
}

// ---- the partner brand's splash -------------------------------------------

frmKDSplash::frmKDSplash(QWidget *parent) : SplashBase(QStringLiteral("Kordamere"), true, parent)
{
    setObjectName(QStringLiteral("frmKDSplash"));
    setWindowTitle(QStringLiteral("Kordamere Paging Encoder Setup"));
    auto *picture = new ClickLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setText(QStringLiteral("Kordamere T-260 Paging Encoder Setup"));
    picture->setFont(arial(20, true));
    picture->setMinimumSize(420, 160);
    picture->setAlignment(Qt::AlignCenter);
    picture->setStyleSheet(QStringLiteral("background: #23395d; color: white"));
    connect(picture, &ClickLabel::clicked, this, &SplashBase::CloseSplash);
    Picture1 = picture;
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(Picture1);
    outer->addWidget(lblVersion);
}

// ---- single instances ---------------------------------------------------

namespace forms {
namespace {
QPointer<frmSplash> g_splash;
QPointer<frmKDSplash> g_kdSplash;
}  // namespace

frmSplash *splash() { return g_splash; }
frmKDSplash *kdSplash() { return g_kdSplash; }

frmSplash *loadSplash()
{
    if (!g_splash) {
        g_splash = new frmSplash();
        registerWindow("frmSplash", g_splash);
        g_splash->Form_Load();
    } else {
        g_splash->show();
        g_splash->raise();
    }
    return g_splash;
}

frmKDSplash *loadKDSplash()
{
    if (!g_kdSplash) {
        g_kdSplash = new frmKDSplash();
        registerWindow("frmKDSplash", g_kdSplash);
        g_kdSplash->Form_Load();
    } else {
        g_kdSplash->show();
        g_kdSplash->raise();
    }
    return g_kdSplash;
}
}  // namespace forms
