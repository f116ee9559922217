#pragma once
// The built-in simulated modem: listed as a port, it answers the AT dialogue of a GSM modem in
// PDU mode, confirms every valid send with a reference, and keeps a SIM storage. A message
// sent to its own number comes back as a stored message announced by "+CMTI".

#include "CommTransport.h"

#include <QMap>
#include <QStringList>

class TSimulatedModem final : public TCommTransport
{
    Q_OBJECT
public:
    explicit TSimulatedModem(QObject *parent = nullptr);

    static QString PortName();
    static QString OwnNumber(); // the number to send to for a loop-back

    bool open(const QString &name, const TCommSettings &settings) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override;
    void applySettings(const TCommSettings &) override {}
    QString errorString() const override { return QString(); }

    // Stores a received message as if the network had delivered it, and announces it.
    void injectIncoming(const QString &sender, const QString &text);
    int storedCount() const { return int(m_storage.size()); }
    // Replies come after this many milliseconds (0: at the next turn of the event loop).
    void setReplyDelay(int ms) { m_replyDelay = ms; }

private:
    struct TStored
    {
        int stat; // 0 unread, 1 read
        QString pdu;
    };
    void command(const QByteArray &line);
    void pduBody(const QByteArray &hex);
    void reply(const QByteArray &text);
    int store(const QString &pdu);
    QString deliverFromSubmit(const QString &submitHex) const;

    bool m_open = false;
    bool m_echo = true; // modems start with echo on
    int m_replyDelay = 0;
    int m_reference = 0;
    int m_expectedLength = -1; // set after "at+cmgs=": the next input is a PDU
    QByteArray m_input;
    QMap<int, TStored> m_storage;
};
