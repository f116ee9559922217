#pragma once
// A modem at the far end of a pseudo-terminal pair made by socat: it answers the AT dialogue
// (OK, the "> " prompt, a reference for every PDU) and keeps every command it received.

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

class TPtyModem : public QObject {
public:
    // Starts socat with two linked ends in `dir`; false if socat is missing or fails.
    bool Start(const QString &dir, int waitMs = 5000)
    {
        if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty())
            return false;
        modemEnd = dir + QStringLiteral("/modem");
        gatewayEnd = dir + QStringLiteral("/gateway");
        m_socat.start(QStringLiteral("socat"),
            { QStringLiteral("pty,raw,echo=0,link=") + modemEnd,
                QStringLiteral("pty,raw,echo=0,link=") + gatewayEnd });
        if (!m_socat.waitForStarted(waitMs))
            return false;
        QElapsedTimer t;
        t.start();
        while (
            !(QFileInfo::exists(modemEnd) && QFileInfo::exists(gatewayEnd)) && t.elapsed() < waitMs)
            m_socat.waitForFinished(20); // socat keeps running: this only paces the check
        m_port.setPortName(QFileInfo(modemEnd).canonicalFilePath());
        if (!m_port.open(QIODevice::ReadWrite))
            return false;
        connect(&m_port, &QSerialPort::readyRead, this, &TPtyModem::onRead);
        return true;
    }
    ~TPtyModem() override
    {
        m_port.close();
        m_socat.kill();
        m_socat.waitForFinished(5000);
    }

    QByteArrayList received; // every command as it arrived, terminator included
    QString modemEnd, gatewayEnd;
    // Called for every command before it is answered (the benchmark's clock).
    std::function<void(const QByteArray &)> onCommand;
    // Called right after a confirmation was written.
    std::function<void()> onConfirmed;
    // A reply of the test's own for a command; an empty one leaves the usual answer.
    std::function<QByteArray(const QByteArray &)> reply;
    // An unsolicited block from the modem (an indication).
    void Write(const QByteArray &block)
    {
        m_port.write(block);
        m_port.flush();
    }

private:
    void onRead()
    {
        m_input += m_port.readAll();
        for (;;) {
            const qsizetype cr = m_input.indexOf('\r');
            const qsizetype z = m_input.indexOf('\x1A');
            qsizetype end = cr;
            if (z >= 0 && (cr < 0 || z < cr))
                end = z;
            if (end < 0)
                return;
            const QByteArray cmd = m_input.left(end + 1);
            m_input.remove(0, end + 1);
            received.append(cmd);
            if (onCommand)
                onCommand(cmd);
            answer(cmd);
        }
    }
    void answer(const QByteArray &cmd)
    {
        if (reply) {
            const QByteArray own = reply(cmd);
            if (!own.isEmpty()) {
                Write(own);
                return;
            }
        }
        if (cmd.startsWith("at+cmgs=")) {
            m_port.write("\r\n> ");
        } else if (cmd.endsWith('\x1A')) {
            m_port.write("\r\n+CMGS: " + QByteArray::number(++m_reference) + "\r\n\r\nOK\r\n");
            m_port.flush();
            if (onConfirmed)
                onConfirmed();
        } else {
            m_port.write("\r\nOK\r\n");
        }
    }

    QProcess m_socat;
    QSerialPort m_port;
    QByteArray m_input;
    int m_reference = 0;
};
