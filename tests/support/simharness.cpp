#include "support/simharness.h"

#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "encsim/ptysimulator.h"
#include "link/encoderlink.h"
#include "paging/enginewait.h"
#include "paging/paginghost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEvent>
#include <QIODevice>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace testing_support {

PortMapping::PortMapping(int port, const QString &device) : m_var("QV_COM" + QByteArray::number(port))
{
    m_old = qgetenv(m_var.constData());
    qputenv(m_var.constData(), device.toLocal8Bit());
}

PortMapping::~PortMapping() { qputenv(m_var.constData(), m_old); }

ReplyTimeOutGuard::ReplyTimeOutGuard(const encsim::PtySimulator *sim) : m_sim(sim)
{
    qApp->installEventFilter(this);
}

ReplyTimeOutGuard::~ReplyTimeOutGuard() { qApp->removeEventFilter(this); }

namespace {
// True when `clock` is the clock of a wait for the encoder's answer: the reply
// time-out, or during a page the tick of its engine (each window timer owns
// its clock).
bool isReplyWait(const QTimer *clock)
{
    const QObject *owner = clock->parent();
    if (owner == &gLink->Timer2)
        return true;
    if (!PageInProgress())
        return false;
    return owner == &gLink->Timer1 || owner == paging::detail::EngineTick();
}
}  // namespace

qint64 ReplyTimeOutGuard::watchPort()
{
    auto *port = gLink->MSComm1.findChild<QIODevice *>();
    if (port != m_port) {
        if (m_port)
            disconnect(m_port, nullptr, this, nullptr);
        m_port = port;
        m_arrived = true;
        if (port)
            connect(port, &QIODevice::readyRead, this, [this] { m_arrived = true; });
    }
    return port && port->isOpen() ? port->bytesAvailable() : 0;
}

bool ReplyTimeOutGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Timer || !gLink)
        return false;
    const auto *timer = qobject_cast<const QTimer *>(watched);
    if (!timer || !isReplyWait(timer))
        return false;
    Hold &hold = m_holds[timer];
    // a wait that was not held a moment ago starts a fresh hold
    if (!hold.since.isValid() || !hold.lastHeld.isValid() || hold.lastHeld.elapsed() > 2 * timer->interval() + 200)
        hold.since.start();
    // An answer the port has taken in is read at the wait's next poll: it
    // holds the wait once and no more, since a box opened meanwhile keeps the
    // wait from polling at all.
    const bool simBusy = !m_sim->idle();
    const bool answerInPort = watchPort() > 0 && m_arrived;
    if ((!simBusy && !answerInPort) || hold.since.elapsed() > 30000) {
        m_holds.remove(timer);
        return false;
    }
    if (!simBusy)
        m_arrived = false;
    // dropped: the timer is still running and comes due again an interval on
    hold.lastHeld.start();
    return true;
}

SimulatedEncoder::SimulatedEncoder(int port, const encsim::Config &config, const encsim::PtyOptions &options)
    : m_sim(std::make_unique<encsim::PtySimulator>(config, options))
{
    m_ok = m_sim->start();
    if (m_ok) {
        m_link = std::make_unique<DeviceLink>(m_sim->slavePath());
        m_ok = !m_link->path().isEmpty();
        if (!m_ok)
            m_sim->stop();
    }
    if (m_ok)
        m_mapping = std::make_unique<PortMapping>(port, m_link->path());
    if (m_ok)
        m_guard = std::make_unique<ReplyTimeOutGuard>(m_sim.get());
}

SimulatedEncoder::~SimulatedEncoder()
{
    m_guard.reset();
    m_mapping.reset();
    m_sim->stop();
    m_link.reset();
}

QList<QByteArray> SimulatedEncoder::received() const
{
    QList<QByteArray> out;
    for (const encsim::Exchange &e : m_sim->exchanges())
        out << e.received;
    return out;
}

QByteArray SimulatedEncoder::wire() const
{
    QByteArray all;
    for (const QByteArray &b : received())
        all += b;
    return all;
}

CancelBoxWatcher::CancelBoxWatcher()
{
    auto *timer = new QTimer;
    m_timer = timer;
    QObject::connect(timer, &QTimer::timeout, timer, [this] {
        frmCancelSend *box = forms::cancelSendIfLoaded();
        if (!box || !box->isVisible())
            return;
        const QString text = box->Label1->text();
        if (m_texts.isEmpty() || m_texts.last() != text)
            m_texts << text;
    });
    timer->start(5);
}

CancelBoxWatcher::~CancelBoxWatcher() { delete m_timer; }

namespace {
QObject *pendingOwner()
{
    static QObject *owner = new QObject;
    return owner;
}
}  // namespace

void DropPendingActions()
{
    for (QObject *o : pendingOwner()->children())
        delete o;
}

void RunWhen(std::function<bool()> ready, std::function<void()> action, int afterMs)
{
    auto *timer = new QTimer(pendingOwner());
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, ready, action, afterMs] {
        if (clock->elapsed() > 30000) {
            timer->deleteLater();
            return;
        }
        if (clock->elapsed() < afterMs || !ready())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start(10);
}

void PressCancelWhenShown(int afterMs)
{
    RunWhen([] { return forms::cancelSendIfLoaded() && forms::cancelSendIfLoaded()->isVisible(); },
            [] { forms::cancelSendIfLoaded()->Command1->click(); }, afterMs);
}

void PressCloseBox(QWidget *window)
{
    QCloseEvent close;
    if (window && window->windowHandle())
        QCoreApplication::sendEvent(window->windowHandle(), &close);
}

void SimAppFixture::TearDown()
{
    DropPendingActions();
    AppFixture::TearDown();
    w = nullptr;
    encoder.reset();
    mapping.reset();
}

frmTerminal *SimAppFixture::startWithEncoder(const encsim::Config &config, int port, const encsim::PtyOptions &options)
{
    encoder = std::make_unique<SimulatedEncoder>(port, config, options);
    if (!encoder->ok()) {
        ADD_FAILURE() << "the simulator did not start: " << encoder->sim().errorString().toStdString();
        return nullptr;
    }
    store(QStringLiteral("CommPort"), QString::number(port));
    w = start();
    closeSplash();
    return w;
}

frmTerminal *SimAppFixture::startWithDevice(const QString &device, int port)
{
    mapping = std::make_unique<PortMapping>(port, device);
    store(QStringLiteral("CommPort"), QString::number(port));
    w = start();
    closeSplash();
    return w;
}

void SimAppFixture::clickPortButton()
{
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->cmdComStatus->isEnabled());
    w->cmdComStatus->click();
}

void SimAppFixture::answerDetectedAndDeclineRead()
{
    w->MarkConfigModified();
    prompts.answer(platform::Answer::OK);
    prompts.answer(platform::Answer::No);
}

}  // namespace testing_support
