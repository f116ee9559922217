#pragma once
// The byte transport under the modem component: a serial port or the built-in simulator.

#include "SmsTypes.h"

#include <QObject>
#include <QString>
#include <functional>

struct TCommSettings
{
    qint32 baudRate = 9600;
    int dataBits = 8;
    TParity parity = None;
};

class TCommTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Opens the named port; false with errorString() set when it cannot be opened.
    virtual bool open(const QString &name, const TCommSettings &settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues bytes for writing; false when the port is closed or the block is empty.
    virtual bool write(const QByteArray &bytes) = 0;
    virtual void applySettings(const TCommSettings &settings) = 0;
    virtual QString errorString() const = 0;

Q_SIGNALS:
    // One received block, delivered on the GUI thread, bytes unchanged.
    void receiveData(const QByteArray &block);
    // The device went away under an open port (a USB modem unplugged). The port is closed.
    void portLost();
};

// Makes the transport for a port name; the component asks again on every (re)open.
using TCommFactory = std::function<TCommTransport *(const QString &portName, QObject *parent)>;
