#include "sim/SimCommandLine.h"
#include "sim/SimHost.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &byte, 1);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmor-sim"));

    const SimCommandLine::Outcome parsed = SimCommandLine::parse(QCoreApplication::arguments());
    if (!parsed.config) {
        std::fputs(qPrintable(parsed.message + u'\n'), parsed.exitCode ? stderr : stdout);
        return parsed.exitCode;
    }

    SimHost host(*parsed.config);
    QString error;
    if (!host.start(&error)) {
        std::fprintf(stderr, "velmor-sim: %s\n", qPrintable(error));
        return 1;
    }

    // SIGINT/SIGTERM end the event loop through a socket pair, outside the signal handler.
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    if (parsed.config->durationSeconds > 0)
        QTimer::singleShot(int(parsed.config->durationSeconds * 1000), &app, &QCoreApplication::quit);
    std::fprintf(stderr, "velmor-sim: %d recorder(s), discovery on port %u\n", host.recorderCount(),
                 host.discoveryPort());
    return app.exec();
}
