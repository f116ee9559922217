// End to end over a pseudo-terminal pair made by socat: a scripted modem on one end, the
// component with its real serial transport on the other.

#include "ManualTimer.h"
#include "TSMSPDUproc.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray HelloPdu = "04916821F30405916821F3000842501021436523044F60597D";

// Answers each command by the first rule whose prefix matches it; a rule may be used a number
// of times. A PDU body (ending in Ctrl-Z) is matched against the prefix "<PDU>".
class TScriptedModem : public QObject
{
public:
    struct TRule
    {
        QByteArray prefix;
        QByteArray reply; // empty: stay silent
        int times = -1;
    };

    bool open(const QString &path)
    {
        m_port.setPortName(QFileInfo(path).canonicalFilePath());
        if (!m_port.open(QIODevice::ReadWrite))
            return false;
        connect(&m_port, &QSerialPort::readyRead, this, &TScriptedModem::onRead);
        return true;
    }
    void close() { m_port.close(); }
    void push(const QByteArray &unsolicited) { m_port.write(unsolicited); }
    void rule(const QByteArray &prefix, const QByteArray &reply, int times = -1)
    {
        rules.prepend({prefix, reply, times});
    }

    QByteArrayList received; // every command as it arrived, terminator included
    QList<TRule> rules;

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
            answer(cmd);
        }
    }
    void answer(const QByteArray &cmd)
    {
        const QByteArray key = cmd.endsWith('\x1A') ? QByteArray("<PDU>") : cmd.toUpper();
        for (TRule &r : rules) {
            if (r.times != 0 && key.startsWith(r.prefix.toUpper())) {
                if (r.times > 0)
                    --r.times;
                if (!r.reply.isEmpty())
                    m_port.write(r.reply);
                return;
            }
        }
        m_port.write("\r\nERROR\r\n");
    }

    QSerialPort m_port;
    QByteArray m_input;
};

int countStarting(const QByteArrayList &list, const QByteArray &prefix)
{
    return int(std::count_if(list.begin(), list.end(),
                             [&](const QByteArray &b) { return b.startsWith(prefix); }));
}

} // namespace

class TestModemPty : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void switchOnSendAndReceive();
    void retryAndGiveUp();
    void portVanishesAndComesBack();

private:
    bool startSocat();
    void switchOn(const QByteArray &listing);

    QTemporaryDir m_dir;
    QString m_modemEnd, m_gatewayEnd;
    QProcess *m_socat = nullptr;
    TScriptedModem *m_far = nullptr;
    TManualTimers *m_timers = nullptr;
    TSMSPDUproc *m_modem = nullptr;
    QStringList m_errors;
};

void TestModemPty::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty())
        QFAIL("socat is needed (scripts/setup-debian.sh installs it)");
    QVERIFY(m_dir.isValid());
    m_modemEnd = m_dir.filePath(QStringLiteral("modem"));
    m_gatewayEnd = m_dir.filePath(QStringLiteral("gateway"));
}

bool TestModemPty::startSocat()
{
    m_socat = new QProcess(this);
    m_socat->start(QStringLiteral("socat"),
                   {QStringLiteral("pty,raw,echo=0,link=") + m_modemEnd,
                    QStringLiteral("pty,raw,echo=0,link=") + m_gatewayEnd});
    if (!m_socat->waitForStarted(5000))
        return false;
    return QTest::qWaitFor(
        [&] { return QFileInfo::exists(m_modemEnd) && QFileInfo::exists(m_gatewayEnd); }, 5000);
}

void TestModemPty::init()
{
    QVERIFY(startSocat());
    m_far = new TScriptedModem;
    QVERIFY(m_far->open(m_modemEnd));
    for (const char *ok : {"ate", "at+cmgf=0", "at+cnmi=", "at+cmgd=", "AT+CMGL=4", "ATH"})
        m_far->rule(ok, "\r\nOK\r\n");
    m_timers = new TManualTimers;
    m_modem = new TSMSPDUproc(nullptr, m_timers->factory());
    m_modem->setCommName(m_gatewayEnd);
    m_modem->setCNMI(QStringLiteral("2,1,0,0,0"));
    m_modem->setSMSC(QStringLiteral("86123"));
    m_errors.clear();
    connect(m_modem, &TSMSPDUproc::OnError, this, [this](QObject *, const QString &t) { m_errors << t; });
}

void TestModemPty::cleanup()
{
    m_modem->setActive(false);
    delete m_modem;
    delete m_timers;
    delete m_far;
    if (m_socat) {
        m_socat->kill();
        m_socat->waitForFinished(5000);
        delete m_socat;
        m_socat = nullptr;
    }
}

void TestModemPty::switchOn(const QByteArray &listing)
{
    m_far->rule("AT+CMGL=4", listing, 1);
    m_modem->setActive(true);
    QVERIFY(m_errors.isEmpty());
    m_timers->byInterval(100, 1)->fire();
    QTRY_VERIFY(m_modem->LinkReady() && m_modem->CmdState == 0);
    QVERIFY(m_far->received.size() >= 4);
    QCOMPARE(m_far->received.mid(0, 4), (QByteArrayList{"AT+CMGL=4\r", "ate\r", "at+cmgf=0\r",
                                                       "at+cnmi=2,1,0,0,0\r"}));
}

void TestModemPty::switchOnSendAndReceive()
{
    QSignalSpy received(m_modem, &TSMSPDUproc::OnReceiveSMS);
    QSignalSpy sent(m_modem, &TSMSPDUproc::OnSendOKSMS);
    m_far->rule("at+cmgr=2", "\r\n+CMGR: 0,,24\r\n" + HelloPdu + "\r\n\r\nOK\r\n");
    switchOn("\r\n+CMGL: 2,0,,24\r\n" + HelloPdu + "\r\n\r\nOK\r\n");

    // The listed message is read, reported and deleted.
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.first().at(3).toString(), QStringLiteral("你好"));
    QTRY_VERIFY(m_far->received.contains("at+cmgd=2\r"));
    QTRY_COMPARE(m_modem->CmdState, quint8(0));

    m_far->rule("at+cmgs=016", "\r\n> ");
    m_far->rule("<PDU>", "\r\n+CMGS: 7\r\n\r\nOK\r\n");
    m_modem->SendSMS(QStringLiteral("123"), QStringLiteral("abc"));
    QTRY_COMPARE(sent.size(), 1);
    QCOMPARE(sent.first().at(1).toString(), QStringLiteral(" 7"));
    QVERIFY(m_far->received.contains("04916821F31100038121F300080006006100620063\x1A"));

    // A message announced while idle is read at once.
    m_far->rule("at+cmgr=9", "\r\n+CMGR: 0,,24\r\n" + HelloPdu + "\r\n\r\nOK\r\n");
    m_far->push("\r\n+CMTI: \"SM\",9\r\n");
    QTRY_COMPARE(received.size(), 2);
    QTRY_VERIFY(m_far->received.contains("at+cmgd=9\r"));
    QVERIFY(m_errors.isEmpty());
}

void TestModemPty::retryAndGiveUp()
{
    switchOn("\r\nOK\r\n");
    m_far->rule("at+cmgs=", "\r\nERROR\r\n");
    m_modem->SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    QTRY_COMPARE(m_errors, QStringList{"AT+CMGS_1发送错误"});
    QCOMPARE(countStarting(m_far->received, "at+cmgs="), 3);

    // Silence: the watchdog writes again after 61 ticks.
    m_modem->CmdState = 0;
    m_far->rule("at+cmgs=", QByteArray());
    m_modem->SendSMS(QStringLiteral("13800138000"), QStringLiteral("y"));
    QTRY_COMPARE(countStarting(m_far->received, "at+cmgs="), 4);
    m_timers->advance(100, 61);
    QTRY_COMPARE(countStarting(m_far->received, "at+cmgs="), 5);
}

void TestModemPty::portVanishesAndComesBack()
{
    switchOn("\r\nOK\r\n");
    QSignalSpy link(m_modem, &TSMSPDUproc::LinkStateChanged);
    m_far->close();
    m_socat->kill();
    m_socat->waitForFinished(5000);
    delete m_socat;
    m_socat = nullptr;
    QTRY_COMPARE(m_errors, QStringList{QStringLiteral("串口：") + m_gatewayEnd
                                       + QStringLiteral(" 连接已断开")});
    QVERIFY(!m_modem->LinkReady());

    QVERIFY(startSocat());
    QVERIFY(m_far->open(m_modemEnd));
    m_far->received.clear();
    TManualTimer *reconnect = m_timers->byInterval(1000);
    QTRY_VERIFY(!(reconnect->fire() && reconnect->isActive()));
    m_timers->byInterval(100, 1)->fire();
    QTRY_VERIFY(m_modem->LinkReady());
    QTRY_COMPARE(m_far->received.size(), 4);
    QCOMPARE(m_far->received.first(), QByteArray("AT+CMGL=4\r"));
    QCOMPARE(m_errors.size(), 1);
}

QTEST_GUILESS_MAIN(TestModemPty)
#include "tst_modem_pty.moc"
