// Queue throughput (rows sent and moved to SM_TO_SP_OK per second) and the time to take in 20
// messages announced in one burst, against a modem that answers at once. The store is a real
// database file in a temporary folder.

#include "AnsweringPrompts.h"
#include "DeliverPdu.h"
#include "GatewayFixture.h"
#include "SoundPlayer.h"
#include "TStoreQuery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace Gateway;

namespace {

struct TSilent final : ISoundPlayer {
    void Play(const QString &) override { }
};

int count(TMessageStore &store, const char *table)
{
    TStoreQuery q(store);
    return q.open(QStringLiteral("SELECT COUNT(*) AS n FROM ") + QLatin1String(table))
        ? int(q.intField(QStringLiteral("n")))
        : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TGatewayFixture f;
    f.WriteConfig("ADel=1\n");
    QMap<int, QByteArray> sim;
    int reference = 0;
    f.modem->answer = [&](const QByteArray &w) -> QByteArray {
        if (w.startsWith("at+cmgr=")) {
            const int index = w.mid(8).trimmed().toInt();
            return sim.contains(index) ? CmgrReply(sim.value(index)) : "\r\nOK\r\n";
        }
        if (w.startsWith("at+cmgd="))
            sim.remove(w.mid(8).trimmed().toInt());
        return TAnsweringModem::Standard(w, reference);
    };
    TSilent silent;
    TGatewayCore::TOptions o = f.Options();
    o.sounds = &silent;
    TGatewayCore core(o);
    if (!core.FormCreate() || !core.btnSetClick(core.Settings()))
        return 1;
    f.SwitchOn();

    constexpr int Rows = 500;
    TMessageStore &store = *core.Store();
    for (int i = 0; i < Rows; ++i) // put in while the queue waits: only the sending is timed
        store.ExecCmdSQL(QStringLiteral("INSERT INTO SM_TO_SP (MS_ID,TP_DA,TP_UD) VALUES(?,?,?)"),
            { i + 1, QStringLiteral("13800000001"), QStringLiteral("queue row %1").arg(i) });
    QElapsedTimer t;
    t.start();
    f.timers.byInterval(TGatewayCore::SendInterval)->fire();
    f.modem->Flush(1000000);
    const double queueMs = double(t.nsecsElapsed()) / 1e6;
    const int done = count(store, "SM_TO_SP_OK");
    std::printf("queue: %d of %d rows sent and moved in %.1f ms: %.0f messages/s\n", done, Rows,
        queueMs, done / (queueMs / 1000.0));

    QByteArray burst;
    for (int i = 0; i < 20; ++i) {
        sim.insert(i,
            DeliverPdu(QStringLiteral("8613900000%1").arg(i, 3, 10, QLatin1Char('0')),
                QStringLiteral("burst %1").arg(i)));
        burst += "\r\n+CMTI: \"SM\"," + QByteArray::number(i) + "\r\n";
    }
    t.restart();
    f.modem->Push(burst);
    f.modem->Flush(1000000);
    const double burstMs = double(t.nsecsElapsed()) / 1e6;
    std::printf("burst: %d of 20 messages stored and deleted (%d left on the modem) in %.1f ms\n",
        count(store, "SP_TO_SM"), int(sim.size()), burstMs);
    return done == Rows && sim.isEmpty() ? 0 : 1;
}
