#pragma once
// A transport that records what the component writes and lets a test hand it reply blocks.

#include "CommTransport.h"

#include <QByteArrayList>

class TFakeTransport final : public TCommTransport
{
    Q_OBJECT
public:
    using TCommTransport::TCommTransport;

    bool open(const QString &name, const TCommSettings &settings) override
    {
        ++openCount;
        lastName = name;
        lastSettings = settings;
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
        return true;
    }
    void applySettings(const TCommSettings &settings) override { lastSettings = settings; }
    QString errorString() const override { return QStringLiteral("fake"); }

    void feed(const QByteArray &block) { Q_EMIT receiveData(block); }
    // The device vanishes under the open port.
    void unplug()
    {
        m_open = false;
        openSucceeds = false;
        Q_EMIT portLost();
    }
    QByteArray last() const { return writes.isEmpty() ? QByteArray() : writes.last(); }
    QByteArrayList take()
    {
        QByteArrayList w = writes;
        writes.clear();
        return w;
    }

    bool openSucceeds = true;
    int openCount = 0;
    QString lastName;
    TCommSettings lastSettings;
    QByteArrayList writes;

private:
    bool m_open = false;
};

// A factory handing out one fake for every port name (the test keeps ownership).
inline TCommFactory FakeFactory(TFakeTransport *fake)
{
    return [fake](const QString &, QObject *) -> TCommTransport * { return fake; };
}
