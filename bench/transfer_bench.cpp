// Programs a full pager database into the simulated encoder and reads it
// back, once with the encoder answering at once and once with its line paced
// at 9600 bit/s, and prints what the transfer costs.
//
//   ./build/bench_transfer_bench
//
// Program time per exchange is the CPU time of the program's own thread over
// the run, divided by the exchanges (the larger of the two runs counts). The simulated encoder runs on a thread
// of its own and the program's thread sleeps while it waits for bytes, so
// this counts the program's work (building, sending, reading, judging,
// updating the window) and none of the encoder's or the line's. The wall time
// of the unpaced run is printed too; it also holds the waits.
//
// The paced ratio is the wall time of the paced run over the time the bytes
// of both directions need on a 9600 bit/s line at 10 bits a character: 1.00
// would mean the program never keeps the line idle.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "encsim/simulator.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "transfer/transfer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

constexpr int kLineSpeed = 9600;
constexpr double kBitsPerCharacter = 10.0;

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Every family, group and message in use, with the widest values they take.
PagerDatabase fullDatabase()
{
    PagerDatabase db;
    for (int r = 0; r < kFamilyCount; ++r) {
        FamilyRow &f = db.Families[r];
        f = {QStringLiteral("1"), QStringLiteral("%1").arg(100000 + r * 1000, 7, 10, QLatin1Char('0')),
             QStringLiteral("2"), r % 2 ? QStringLiteral("A") : QStringLiteral("N"), QString::number(r % 4),
             QStringLiteral("999"), QString::number(1000 + r * 999), QStringLiteral("%1").arg(r % 15 + 1, 2, 10, QLatin1Char('0')),
             QStringLiteral("15"), QStringLiteral("YES")};
    }
    for (int g = 0; g < kGroupCount; ++g) {
        GroupRow &row = db.Groups[g];
        row[grpGroupID] = QString::number(90001 + g);
        row[grpActive] = QStringLiteral("1");
        row[grpTrigger1Active] = QStringLiteral("1");
        row[grpTrigger1Msg] = QStringLiteral("01");
        row[grpTrigger2Active] = QStringLiteral("1");
        row[grpTrigger2Msg] = QStringLiteral("02");
        row[grpTimerActive] = QStringLiteral("1");
        row[grpTimerMsg] = QStringLiteral("03");
        for (int k = 0; k < kGroupPagerIDCount; ++k)
            row[grpPagerID1 + k] = QString::number(10000 + g * 100 + k);
        row[grpComplete] = QStringLiteral("YES");
    }
    for (int m = 0; m < kMessageCount; ++m)
        db.CannedMessages[m] = QStringLiteral("Message %1 ").arg(m + 1, 2, 10, QLatin1Char('0')).leftJustified(kMessageMaxLength, u'x');
    return db;
}

struct RunFigures {
    int exchanges = 0;
    qint64 bytes = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    bool ok = false;
};

RunFigures transfer(frmTerminal *w, bool paced, const PagerDatabase &db, const EncoderSettings &settings)
{
    encsim::Config config;
    config.firmware = 8;
    config.startInProgrammingMode = true;
    encsim::PtyOptions options;
    options.paced = paced;
    encsim::PtySimulator sim(config, options);
    RunFigures fig;
    if (!sim.start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return fig;
    }
    qputenv("QV_COM1", sim.slavePath().toLocal8Bit());
    if (!w->MSComm1.setPortOpen(true)) {
        std::fprintf(stderr, "port: %s\n", qPrintable(w->MSComm1.ErrorText()));
        return fig;
    }

    gDb = db;
    gSettings = settings;
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = threadCpuSeconds();
    WriteEncoderDatabaseV8();
    const bool programmed = gRun.bMatchesEncoder;
    gDb = PagerDatabase{};
    gSettings = EncoderSettings{};
    ReadEncoderDatabaseV8();
    fig.cpuSeconds = threadCpuSeconds() - cpu0;
    fig.wallSeconds = double(wall.nsecsElapsed()) / 1e9;

    fig.exchanges = sim.exchangeCount();
    fig.bytes = sim.bytesReceived() + sim.bytesSent();
    PagerDatabase expected = db;
    fig.ok = programmed && gRun.bMatchesEncoder && gDb == expected && gSettings == settings;
    w->MSComm1.setPortOpen(false);
    sim.stop();
    return fig;
}

void print(const char *name, const RunFigures &f)
{
    const double wire = double(f.bytes) * kBitsPerCharacter / kLineSpeed;
    std::printf("%-10s exchanges %4d  bytes %6lld  wall %7.3f s  program %6.3f ms/exchange  "
                "wall %7.3f ms/exchange  wire %7.3f s  wall/wire %.3f  %s\n",
                name, f.exchanges, static_cast<long long>(f.bytes), f.wallSeconds,
                f.exchanges ? f.cpuSeconds * 1000.0 / f.exchanges : 0.0,
                f.exchanges ? f.wallSeconds * 1000.0 / f.exchanges : 0.0, wire, wire > 0 ? f.wallSeconds / wire : 0.0,
                f.ok ? "read back equal" : "READ BACK DIFFERS");
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // the user's own settings and files stay untouched
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path() + QStringLiteral("/settings"));
    QApplication app(argc, argv);
    platform::SetAppPath(home.path());
    {
        QFile ini(QDir(home.path()).filePath(QStringLiteral("setup.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Main]\r\nVirginMode=False\r\nTestEnabled=False\r\n");
    }
    int boxes = 0;
    platform::SetPromptHandler([&boxes](const platform::Prompt &p) {
        ++boxes;
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(p.title), qPrintable(QString(p.text).replace(u'\r', u'|')));
        return platform::Reply{platform::Answer::Yes, {}, 1};
    });

    auto *w = new frmTerminal;
    forms::setTerminal(w);
    w->Form_Load([](const QString &failure) { std::fprintf(stderr, "load: %s\n", qPrintable(failure)); });

    const PagerDatabase db = fullDatabase();
    EncoderSettings settings;
    settings.sDutyCycle = QStringLiteral("100");
    settings.sMaxBatch = QStringLiteral("99");
    settings.sSerial1Protocol = QStringLiteral("COMP1");

    const RunFigures immediate = transfer(w, false, db, settings);
    const RunFigures paced = transfer(w, true, db, settings);

    std::printf("Program and read back a full pager database (version 8), %d bit/s\n", kLineSpeed);
    print("immediate", immediate);
    print("paced", paced);
    // the paced run wakes for every character that arrives, so it costs more
    // of the program's time than the immediate one; the worse of the two counts
    auto perExchange = [](const RunFigures &f) { return f.exchanges ? f.cpuSeconds * 1000.0 / f.exchanges : 0.0; };
    const double programMs = std::max(perExchange(immediate), perExchange(paced));
    const double pacedWire = double(paced.bytes) * kBitsPerCharacter / kLineSpeed;
    const double ratio = pacedWire > 0 ? paced.wallSeconds / pacedWire : 0.0;
    std::printf("program time per exchange %.3f ms (target at most 2 ms): %s\n", programMs,
                programMs <= 2.0 ? "met" : "MISSED");
    std::printf("paced run / wire time %.3f (target at most 1.05): %s\n", ratio, ratio <= 1.05 ? "met" : "MISSED");

    w->Form_Unload();
    delete w;
    const bool ok = immediate.ok && paced.ok && boxes == 0;
    return ok ? 0 : 1;
}
