#include "SerialTransport.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

TSerialTransport::TSerialTransport(QObject *parent)
    : TCommTransport(parent), m_port(new QSerialPort(this)), m_gap(new QTimer(this))
{
    m_gap->setSingleShot(true);
    m_gap->setInterval(BlockGapMs);
    m_gap->setTimerType(Qt::PreciseTimer);
    connect(m_gap, &QTimer::timeout, this, &TSerialTransport::flush);
    connect(m_port, &QSerialPort::readyRead, this, &TSerialTransport::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &TSerialTransport::onError);
}

QString TSerialTransport::DevicePath(const QString &name)
{
    if (name.startsWith(u'/'))
        return name;
    return QStringLiteral("/dev/") + name;
}

bool TSerialTransport::open(const QString &name, const TCommSettings &settings)
{
    close();
    m_error.clear();
    if (name.isEmpty()) {
        m_error = QStringLiteral("no port name");
        return false;
    }
    // QSerialPort takes a bare name as /dev/<name>; a symbolic link (socat's pty link) must be
    // resolved, or the lock file and the device do not match.
    const QString path = DevicePath(name);
    const QFileInfo info(path);
    m_port->setPortName(info.isSymLink() ? info.canonicalFilePath() : path);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_error = m_port->errorString();
        return false;
    }
    applySettings(settings);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::SoftwareControl);
    m_port->setDataTerminalReady(true);
    m_port->setRequestToSend(true);
    return true;
}

void TSerialTransport::applySettings(const TCommSettings &settings)
{
    if (!m_port->isOpen())
        return;
    static const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                   QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                   QSerialPort::SpaceParity};
    m_port->setBaudRate(settings.baudRate);
    m_port->setDataBits(QSerialPort::DataBits(qBound(5, settings.dataBits, 8)));
    m_port->setParity(parities[qBound(0, int(settings.parity), 4)]);
}

void TSerialTransport::close()
{
    m_gap->stop();
    m_block.clear();
    if (m_port->isOpen())
        m_port->close();
}

bool TSerialTransport::isOpen() const { return m_port->isOpen(); }

bool TSerialTransport::write(const QByteArray &bytes)
{
    if (!m_port->isOpen() || bytes.isEmpty())
        return false;
    return m_port->write(bytes) == bytes.size();
}

bool TSerialTransport::EndsReply(const QByteArray &bytes)
{
    if (bytes.endsWith("> ") || bytes.endsWith(">"))
        return true;
    if (!bytes.endsWith('\n') && !bytes.endsWith('\r'))
        return false;
    QByteArray trimmed = bytes.trimmed();
    const qsizetype cut = std::max(trimmed.lastIndexOf('\n'), trimmed.lastIndexOf('\r'));
    const QByteArray last = trimmed.mid(cut + 1).trimmed();
    return last == "OK" || last == "ERROR" || last == "NO CARRIER" || last == "COMMAND NOT SUPPORT"
        || ((last.startsWith("+CMS ERROR:") || last.startsWith("+CME ERROR:"))
            && last.size() > 11);
}

void TSerialTransport::onReadyRead()
{
    m_block += m_port->readAll();
    while (m_block.size() >= MaxBlock) {
        const QByteArray head = m_block.left(MaxBlock);
        m_block.remove(0, MaxBlock);
        Q_EMIT receiveData(head);
    }
    if (!m_block.isEmpty() && EndsReply(m_block))
        flush();
    else if (!m_block.isEmpty())
        m_gap->start();
}

void TSerialTransport::flush()
{
    m_gap->stop();
    if (m_block.isEmpty())
        return;
    const QByteArray block = m_block;
    m_block.clear();
    Q_EMIT receiveData(block);
}

void TSerialTransport::onError()
{
    const QSerialPort::SerialPortError error = m_port->error();
    const bool lost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError
        || error == QSerialPort::WriteError || error == QSerialPort::UnknownError;
    if (!lost || !m_port->isOpen())
        return;
    // The device went away (USB modem unplugged, far end of a pty closed): a pty reports a
    // read error, a USB device a resource error. Close at once, or the port keeps reporting.
    m_error = m_port->errorString();
    flush();
    close();
    Q_EMIT portLost();
}
