#include "ManualTimer.h"
#include "SimulatedModem.h"
#include "TSMSPDUproc.h"

#include <QSignalSpy>
#include <QTest>

// The component against the built-in simulator: the whole cycle a new user runs without hardware.
class TestSimulatedModem : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loopBackIsReceivedAndDeleted();
    void injectedMessagesAreListedAtSwitchOn();
    void refusesBrokenPdu();
};

namespace {

struct TSimRig
{
    TSimRig()
    {
        sim = new TSimulatedModem;
        modem = std::make_unique<TSMSPDUproc>(nullptr, timers.factory(),
            [this](const QString &, QObject *parent) -> TCommTransport * {
                sim->setParent(parent);
                return sim;
            });
        modem->setCommName(TSMSPDUproc::SimulatorPortName());
        modem->setCNMI(QStringLiteral("2,1,0,0,0"));
        modem->setSMSC(QStringLiteral("8613800100500"));
    }
    void switchOn()
    {
        modem->setActive(true);
        timers.byInterval(100, 1)->fire();
        QTRY_VERIFY(modem->LinkReady() && modem->CmdState == 0);
    }
    TManualTimers timers;
    TSimulatedModem *sim;
    std::unique_ptr<TSMSPDUproc> modem;
};

} // namespace

void TestSimulatedModem::loopBackIsReceivedAndDeleted()
{
    TSimRig rig;
    rig.switchOn();
    QSignalSpy sent(rig.modem.get(), &TSMSPDUproc::OnSendOKSMS);
    QSignalSpy received(rig.modem.get(), &TSMSPDUproc::OnReceiveSMS);
    const QString text = QStringLiteral("你好，世界！Hello 😀");
    rig.modem->SendSMS(TSimulatedModem::OwnNumber(), text);
    QTRY_COMPARE(sent.size(), 1);
    QCOMPARE(sent.first().at(3).toString(), TSimulatedModem::OwnNumber());
    QCOMPARE(sent.first().at(4).toString(), text);
    QVERIFY(!sent.first().at(1).toString().trimmed().isEmpty());
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.first().at(2).toString(), QStringLiteral("86") + TSimulatedModem::OwnNumber());
    QCOMPARE(received.first().at(3).toString(), text);
    QTRY_COMPARE(rig.sim->storedCount(), 0);
    QTRY_COMPARE(rig.modem->CmdState, quint8(0));
}

void TestSimulatedModem::injectedMessagesAreListedAtSwitchOn()
{
    TSimRig rig;
    rig.sim->injectIncoming(QStringLiteral("8613900000001"), QStringLiteral("stored before"));
    rig.sim->injectIncoming(QStringLiteral("8613900000002"), QStringLiteral("开机前收到"));
    QSignalSpy received(rig.modem.get(), &TSMSPDUproc::OnReceiveSMS);
    rig.switchOn();
    QTRY_COMPARE(received.size(), 2);
    QCOMPARE(received.at(0).at(3).toString(), QStringLiteral("stored before"));
    QCOMPARE(received.at(1).at(3).toString(), QStringLiteral("开机前收到"));
    QTRY_COMPARE(rig.sim->storedCount(), 0);
}

void TestSimulatedModem::refusesBrokenPdu()
{
    TSimulatedModem sim;
    QSignalSpy data(&sim, &TSimulatedModem::receiveData);
    sim.open(TSimulatedModem::PortName(), {});
    sim.write("ate\r");
    sim.write("at+cmgs=010\r");
    sim.write("0011000391\x1A");
    QTRY_COMPARE(data.size(), 3);
    QVERIFY(data.at(1).first().toByteArray().contains(">"));
    QVERIFY(data.at(2).first().toByteArray().contains("+CMS ERROR"));
}

QTEST_GUILESS_MAIN(TestSimulatedModem)
#include "tst_simulatedmodem.moc"
