// End to end: the window's typed send through the real serial transport to a modem on a
// pseudo-terminal, down to the PDUs on the wire and the rows of SM_TO_SP_RC.

#include "AnsweringPrompts.h"
#include "ManualTimer.h"
#include "PduCodec.h"
#include "PtyModem.h"
#include "SMSMain.h"
#include "SendPage.h"
#include "SettingsPage.h"
#include "TStoreQuery.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Gateway;

class TestGatewayPty : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typedSendOfALongChineseText();
};

void TestGatewayPty::typedSendOfALongChineseText()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TPtyModem far;
    if (!far.Start(dir.path()))
        QFAIL("socat is needed (scripts/setup-debian.sh installs it)");

    TManualTimers timers;
    TAnsweringPrompts prompts;
    TGatewayCore::TOptions o;
    o.appDir = dir.path() + u'/';
    o.databasePath = dir.filePath(QStringLiteral("SMS.db"));
    o.extraPort = far.gatewayEnd; // as --port PATH gives it
    o.timers = timers.factory();
    o.prompts = &prompts;
    TfrmMain w(o);
    w.show();
    QCOMPARE(w.SettingsPage->cmbCom->currentText(), far.gatewayEnd);
    QTest::mouseClick(w.SettingsPage->btnSet, Qt::LeftButton);
    QVERIFY(prompts.shown.isEmpty());
    timers.byInterval(100, 1)->fire(); // the pause before the listing
    QTRY_COMPARE(far.received.size(), 4);
    QTRY_VERIFY(w.Core()->Modem()->LinkReady() && w.Core()->Modem()->CmdState == 0);
    QCOMPARE(far.received,
        (QByteArrayList { "AT+CMGL=4\r", "ate\r", "at+cmgf=0\r", "at+cnmi=2,1,0,0,0\r" }));
    far.received.clear();

    // 150 characters of the GB2312 range (each counts one): 68 + 68 + 14.
    const QString pool = QStringLiteral("短信网关发送中文内容测试成功欢迎使用本系统谢谢您的支持");
    QString text;
    for (int i = 0; i < 150; ++i)
        text += pool[(7 * i) % pool.size()];
    w.SendPage->edtTel->setPlainText(QStringLiteral("13912345678,8613800138000"));
    w.SendPage->edtMsg->setPlainText(text);
    QTest::mouseClick(w.SendPage->btnSend, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(far.received.size(), 12, 20000);

    const QStringList numbers { "13912345678", "8613800138000" };
    const QStringList parts { text.left(68), text.mid(68, 68), text.mid(136) };
    const QString smsc = w.Core()->Modem()->SMSC();
    for (int i = 0; i < 6; ++i) {
        const QString number = numbers[i / 3];
        const QString part = parts[i % 3];
        const QByteArray head = far.received[2 * i];
        const QByteArray body = far.received[2 * i + 1];
        QVERIFY2(body.endsWith('\x1A'), body.constData());
        const QString pdu = QString::fromLatin1(body.chopped(1));
        // Independent of the builder: the length is the TPDU octets behind the centre field.
        const int smscOctets = pdu.left(2).toInt(nullptr, 16) + 1;
        QCOMPARE(head,
            "at+cmgs=" + QByteArray::number(pdu.size() / 2 - smscOctets).rightJustified(3, '0')
                + "\r");
        const Pdu::TDecodeResult r = Pdu::Decode(pdu);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.pdu->type, Pdu::TPduType::Submit);
        QCOMPARE(r.pdu->number, number);
        QCOMPARE(r.pdu->smsc, smsc);
        QCOMPARE(r.pdu->coding, Pdu::TCoding::Ucs2);
        QCOMPARE(r.pdu->text, part);
        QVERIFY(pdu.contains(Pdu::EncodeUCS2(part))); // the whole part, nothing cut off
        QVERIFY(!r.pdu->udh.size()); // each part a message of its own
    }

    QTRY_COMPARE(w.Core()->Modem()->PartsSent, 6);
    TStoreQuery q(*w.Core()->Store());
    QVERIFY(q.open(QStringLiteral("SELECT MS_ID,TP_CS,TP_DA,TP_UD FROM SM_TO_SP_RC ORDER BY ID")));
    int rows = 0;
    for (; !q.atEnd(); q.next(), ++rows) {
        QCOMPARE(q.intField(QStringLiteral("MS_ID")), rows + 1);
        QCOMPARE(q.textField(QStringLiteral("TP_DA")), numbers[rows / 3]);
        QCOMPARE(q.textField(QStringLiteral("TP_UD")), parts[rows % 3]);
        QCOMPARE(q.textField(QStringLiteral("TP_CS")), smsc);
    }
    QCOMPARE(rows, 6);
    QVERIFY(w.SendPage->memErrMonitor->toPlainText().isEmpty());

    prompts.setNextAnswer(true);
    QVERIFY(w.close());
}

QTEST_MAIN(TestGatewayPty)
#include "tst_gateway_pty.moc"
