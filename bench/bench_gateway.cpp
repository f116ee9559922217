// Prints the time from one part's confirmation to the next part's "at+cmgs=": in the process
// (the modem's reply handed to the component, the next command written) and over a
// pseudo-terminal (the far end's confirmation written, the next command read there).

#include "AnsweringModem.h"
#include "GatewayCore.h"
#include "HeadlessGateway.h"
#include "ManualTimer.h"
#include "OutgoingScheduler.h"
#include "PtyModem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace Gateway;

namespace {

constexpr int Recipients = 20;
const QString Text = QStringLiteral("测").repeated(68 * 5); // five parts each

void print(const char *what, std::vector<double> ms)
{
    if (ms.empty()) {
        std::printf("%-34s no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, size_t(q * double(ms.size())))];
    };
    std::printf("%-34s n=%zu  median %.3f ms  p95 %.3f ms  max %.3f ms  (target < 10 ms)\n", what,
        ms.size(), at(0.5), at(0.95), ms.back());
}

QString numbers()
{
    QStringList n;
    for (int i = 0; i < Recipients; ++i)
        n << QStringLiteral("139000000") + QString::number(10 + i);
    return n.join(u',');
}

std::vector<double> inProcess(const QString &dir)
{
    TManualTimers timers;
    TAnsweringModem modem;
    TConsolePrompts prompts(stderr);
    TGatewayCore::TOptions o;
    o.appDir = dir + u'/';
    o.databasePath = dir + QStringLiteral("/bench-inprocess.db");
    o.timers = timers.factory();
    o.comms = AnsweringFactory(&modem);
    o.prompts = &prompts;
    TGatewayCore core(o);
    core.FormCreate();
    core.btnSetClick(core.Settings());
    timers.byInterval(100, 1)->fire();
    modem.Flush();

    std::vector<double> samples;
    QElapsedTimer clock;
    bool confirming = false;
    modem.onWrite = [&](const QByteArray &w) {
        if (confirming && w.startsWith("at+cmgs=")) {
            samples.push_back(double(clock.nsecsElapsed()) / 1e6);
            confirming = false;
        }
    };
    core.SendToRecipients(numbers(), Text);
    // Deliver replies one by one; the clock starts as a confirmation is handed over.
    for (;;) {
        clock.start();
        confirming = true;
        if (!modem.Step())
            break;
    }
    return samples;
}

std::vector<double> overPty(const QString &dir)
{
    TPtyModem far;
    if (!far.Start(dir)) {
        std::fputs("socat is needed for the pseudo-terminal figure\n", stderr);
        return {};
    }
    TConsolePrompts prompts(stderr);
    TGatewayCore::TOptions o;
    o.appDir = dir + u'/';
    o.databasePath = dir + QStringLiteral("/bench-pty.db");
    o.extraPort = far.gatewayEnd;
    o.prompts = &prompts;
    TGatewayCore core(o);
    core.FormCreate();

    std::vector<double> samples;
    QElapsedTimer clock;
    bool confirmed = false;
    far.onConfirmed = [&] {
        clock.start();
        confirmed = true;
    };
    far.onCommand = [&](const QByteArray &cmd) {
        if (confirmed && cmd.startsWith("at+cmgs="))
            samples.push_back(double(clock.nsecsElapsed()) / 1e6);
        confirmed = false;
    };
    QObject::connect(core.Modem(), &TSMSPDUproc::LinkStateChanged, &core, [&](bool ready) {
        if (ready)
            core.SendToRecipients(numbers(), Text);
    });
    QObject::connect(
        core.Scheduler(), &TOutgoingScheduler::Finished, qApp, &QCoreApplication::quit);
    QTimer::singleShot(120000, qApp, &QCoreApplication::quit); // never hang
    core.btnSetClick(core.Settings());
    QCoreApplication::exec();
    return samples;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    std::printf(
        "%d recipients x 5 parts; time from a part's confirmation to the next \"at+cmgs=\"\n",
        Recipients);
    print("in the process (component + core):", inProcess(dir.path()));
    print("over a pseudo-terminal (socat):", overPty(dir.path()));
    return 0;
}
