#pragma once
// A transport that answers the component like a modem, but only when the test says so
// (Flush), so every step is deterministic. The answer to each write can be changed.

#include "CommTransport.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <functional>

class TAnsweringModem final : public TCommTransport {
    Q_OBJECT
public:
    using TCommTransport::TCommTransport;
    using TAnswer = std::function<QByteArray(const QByteArray &written)>;

    // The usual modem: a prompt for "at+cmgs=", a reference for a PDU, OK for the rest.
    static QByteArray Standard(const QByteArray &written, int &reference)
    {
        if (written.startsWith("at+cmgs="))
            return "\r\n> ";
        if (written.endsWith('\x1A'))
            return "\r\n+CMGS: " + QByteArray::number(++reference) + "\r\n\r\nOK\r\n";
        return "\r\nOK\r\n";
    }

    bool open(const QString &name, const TCommSettings &) override
    {
        lastName = name;
        m_open = openSucceeds;
        return m_open;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override
    {
        if (!m_open || bytes.isEmpty())
            return false;
        writes.append(bytes);
        const QByteArray reply = answer ? answer(bytes) : Standard(bytes, m_reference);
        if (!reply.isEmpty())
            m_pending.append(reply);
        if (onWrite)
            onWrite(bytes);
        return true;
    }
    void applySettings(const TCommSettings &) override { }
    QString errorString() const override { return QStringLiteral("answering fake"); }

    // Delivers the queued replies, and those the component's answers cause, until quiet.
    int Flush(int limit = 10000)
    {
        int n = 0;
        while (!m_pending.isEmpty() && n < limit) {
            const QByteArray block = m_pending.takeFirst();
            ++n;
            Q_EMIT receiveData(block);
        }
        return n;
    }
    // Delivers only the next queued reply.
    bool Step()
    {
        if (m_pending.isEmpty())
            return false;
        Q_EMIT receiveData(m_pending.takeFirst());
        return true;
    }
    void Drop() { m_pending.clear(); }
    // An unsolicited block from the modem.
    void Push(const QByteArray &block) { Q_EMIT receiveData(block); }
    QByteArrayList Sends() const
    {
        QByteArrayList out;
        for (const QByteArray &w : writes) {
            if (w.startsWith("at+cmgs="))
                out.append(w);
        }
        return out;
    }

    bool openSucceeds = true;
    QString lastName;
    QByteArrayList writes;
    TAnswer answer;
    std::function<void(const QByteArray &)> onWrite;

private:
    bool m_open = false;
    int m_reference = 0;
    QByteArrayList m_pending;
};

inline TCommFactory AnsweringFactory(TAnsweringModem *modem)
{
    return [modem](const QString &, QObject *) -> TCommTransport * { return modem; };
}
