// The modem component's own time per sent part, against a modem that answers at once: a
// transport that replies on the next turn of the event loop, so what is timed is the
// component (PDU build, parsing, events) and the event loop, not a line.

#include "TSMSPDUproc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

namespace {

class TInstantModem final : public TCommTransport
{
public:
    using TCommTransport::TCommTransport;
    bool open(const QString &, const TCommSettings &) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void applySettings(const TCommSettings &) override {}
    QString errorString() const override { return {}; }
    bool write(const QByteArray &bytes) override
    {
        bytesWritten += bytes.size();
        QByteArray reply = "\r\nOK\r\n";
        if (bytes.startsWith("at+cmgs="))
            reply = "\r\n> ";
        else if (bytes.endsWith('\x1A'))
            reply = "\r\n+CMGS: " + QByteArray::number(++m_ref % 256) + "\r\n\r\nOK\r\n";
        QTimer::singleShot(0, this, [this, reply] { Q_EMIT receiveData(reply); });
        return true;
    }
    qint64 bytesWritten = 0;

private:
    bool m_open = false;
    int m_ref = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int parts = 20000;
    auto *wire = new TInstantModem;
    TSMSPDUproc modem(nullptr, {}, [wire](const QString &, QObject *p) -> TCommTransport * {
        wire->setParent(p);
        return wire;
    });
    modem.setCommName(QStringLiteral("bench"));
    modem.setCNMI(QStringLiteral("2,1,0,0,0"));
    modem.setSMSC(QStringLiteral("8613800100500"));
    const QString text = QString(68, QChar(0x4E2D)); // a full UCS2 part
    int confirmed = 0;
    QElapsedTimer clock;
    auto next = [&] {
        if (confirmed == 0 && !clock.isValid())
            clock.start();
        if (modem.CmdState == 0 && modem.LinkReady())
            modem.SendSMS(QStringLiteral("13800138000"), text);
    };
    QObject::connect(&modem, &TSMSPDUproc::OnSendOKSMS, &app, [&] {
        if (++confirmed == parts) {
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            std::printf("parts sent: %d, bytes written: %lld\n", parts,
                        static_cast<long long>(wire->bytesWritten));
            std::printf("component time per part: %.3f ms (%.0f parts/s)\n", ms / parts,
                        parts * 1000.0 / ms);
            app.quit();
        }
    });
    QObject::connect(&modem, &TSMSPDUproc::ModemFree, &app, next, Qt::QueuedConnection);
    modem.setActive(true); // the listing wait ends at the listing's OK
    return app.exec();
}
