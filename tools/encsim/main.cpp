// encsim: a simulated paging encoder on a pseudo-terminal, for trying the
// program by hand. Point the program's serial port at the path it prints.
#include "encsim/simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace {

QByteArray visible(const QByteArray &bytes)
{
    static const char *const names[32] = {
        "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "HT", "LF", "VT", "FF", "CR", "SO", "SI",
        "DLE", "XON", "DC2", "XOFF", "DC4", "NAK", "SYN", "ETB", "CAN", "EM", "SUB", "ESC", "FS", "GS", "RS", "US"};
    QByteArray out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32)
            out += QByteArray("<") + names[u] + '>';
        else if (u >= 127)
            out += "<" + QByteArray::number(u, 16) + ">";
        else
            out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("encsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated paging encoder on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption firmware({"f", "firmware"}, QStringLiteral("Firmware family, 7 or 8."), "family", "8");
    const QCommandLineOption speed({"s", "speed"}, QStringLiteral("Speed of the paging input in bit/s."), "bps", "9600");
    const QCommandLineOption paced({"p", "paced"}, QStringLiteral("Pace every byte at the line speed."));
    const QCommandLineOption identify({"i", "identify"},
        QStringLiteral("How the paging input answers the detection: tap, id, identified, comp1, comp2, echo, "
                       "invalid, error-invalid, silent, snpp."), "style", "tap");
    const QCommandLineOption programming(QStringLiteral("programming"), QStringLiteral("Start in programming mode."));
    const QCommandLineOption version(QStringLiteral("firmware-version"), QStringLiteral("Version text, e.g. 8.2.6."), "text");
    const QCommandLineOption sample(QStringLiteral("sample"), QStringLiteral("Start with a small filled pager database."));
    const QCommandLineOption noise(QStringLiteral("noise"), QStringLiteral("Answer noise to bytes at a wrong speed."));
    const QCommandLineOption quiet({"q", "quiet"}, QStringLiteral("Do not print the exchanges."));
    parser.addOptions({firmware, speed, paced, identify, programming, version, sample, noise, quiet});
    parser.process(app);

    encsim::Config config;
    config.firmware = parser.value(firmware).toInt();
    if (config.firmware != 7 && config.firmware != 8) {
        std::fprintf(stderr, "encsim: the firmware family is 7 or 8\n");
        return 2;
    }
    bool ok = false;
    config.pagingSpeed = parser.value(speed).toInt(&ok);
    if (!ok || config.pagingSpeed <= 0) {
        std::fprintf(stderr, "encsim: bad speed \"%s\"\n", qPrintable(parser.value(speed)));
        return 2;
    }
    if (!encsim::styleFromName(parser.value(identify), &config.identify)) {
        std::fprintf(stderr, "encsim: unknown identification style \"%s\"\n", qPrintable(parser.value(identify)));
        return 2;
    }
    config.startInProgrammingMode = parser.isSet(programming);
    config.version = parser.value(version);

    encsim::PtyOptions options;
    options.paced = parser.isSet(paced);
    options.garbageAtWrongSpeed = parser.isSet(noise);

    // Ctrl-C is taken by sigwait below; block it before the serving thread starts
    // a shell starts background jobs with SIGINT ignored, and an ignored signal never reaches sigwait
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    encsim::PtySimulator sim(config, options);
    if (parser.isSet(sample))
        sim.setDatabase(encsim::Database::sample());
    if (!parser.isSet(quiet)) {
        sim.setObserver([](const encsim::Exchange &ex) {
            std::printf("%4d %s  <- %s\n     %s  -> %s\n", ex.number,
                        ex.mode == encsim::Mode::Programming ? "prog" : "page", visible(ex.received).constData(),
                        ex.faulted ? "FAULT" : "    ", visible(ex.reply).constData());
            std::fflush(stdout);
        });
    }
    if (!sim.start()) {
        std::fprintf(stderr, "encsim: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    std::printf("encsim: serving version %d encoder at %d bit/s on %s\n", config.firmware, config.pagingSpeed,
                qPrintable(sim.slavePath()));
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    sim.stop();
    std::printf("encsim: stopped after %d exchanges, %lld bytes in, %lld bytes out\n", sim.exchangeCount(),
                static_cast<long long>(sim.bytesReceived()), static_cast<long long>(sim.bytesSent()));
    return 0;
}
