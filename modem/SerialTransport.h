#pragma once
// A real serial port. Received bytes are grouped into blocks: a block ends after 100 ms
// without a new byte, at 4096 bytes, or at once when it closes with a final result code or the
// send prompt (so a reply is never held back longer than needed).

#include "CommTransport.h"

#include <QByteArray>

class QSerialPort;
class QTimer;

class TSerialTransport final : public TCommTransport
{
    Q_OBJECT
public:
    explicit TSerialTransport(QObject *parent = nullptr);
    bool open(const QString &name, const TCommSettings &settings) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;
    void applySettings(const TCommSettings &settings) override;
    QString errorString() const override { return m_error; }

    static constexpr int BlockGapMs = 100;
    static constexpr int MaxBlock = 4096;
    // True when the bytes so far end with a complete final result line or the prompt.
    static bool EndsReply(const QByteArray &bytes);
    // "ttyUSB0" means /dev/ttyUSB0; an absolute path (a pseudo-terminal) is used as it is.
    static QString DevicePath(const QString &name);

private:
    void onReadyRead();
    void flush();
    void onError();

    QSerialPort *m_port;
    QTimer *m_gap;
    QByteArray m_block;
    QString m_error;
};
