// Program entry: command-line tools first, then the gateway (window or headless).

#include "PduCodec.h"

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
    std::fputs("lumetra: the gateway itself is not built yet\n", stderr);
    return 2;
}
