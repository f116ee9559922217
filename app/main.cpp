// Program entry: command-line tools first, then the gateway (window or headless).

#include "GatewayMain.h"
#include "PduCodec.h"
#include "StoreQueue.h"
#include "TMessageStore.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

int decodePdus(const QStringList &pdus)
{
    for (const QString &hex : pdus) {
        const QByteArray line = Pdu::ToJson(Pdu::Decode(hex.trimmed())) + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    }
    return 0;
}

// Hands one message to the outgoing queue of SMS.db in the current folder, as another program
// would; prints the message number it got.
int enqueue(const QStringList &args)
{
    if (args.size() != 2) {
        std::fputs("usage: lumetra --enqueue NUMBER TEXT\n", stderr);
        return 2;
    }
    TMessageStore store;
    QObject::connect(&store, &TMessageStore::dbError, [](const QString &report, const QString &why) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(report), qPrintable(why));
    });
    const auto id = store.open() ? StoreSql::EnqueueMessage(store, args[0], args[1]) : std::nullopt;
    store.close();
    if (!id)
        return 1;
    std::printf("%lld\n", static_cast<long long>(*id));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (!args.isEmpty() && args.first() == QLatin1String("--decode-pdu")) {
        QCoreApplication app(argc, argv);
        return decodePdus(args.mid(1));
    }
    if (!args.isEmpty() && args.first() == QLatin1String("--enqueue")) {
        QCoreApplication app(argc, argv);
        return enqueue(args.mid(1));
    }
    return RunGateway(argc, argv);
}
