#pragma once
// Received messages as a modem holds them: an SMS-DELIVER PDU in UCS-2 with a fixed centre and
// time stamp, and the "+CMGR" reply that carries it.

#include "PduCodec.h"

#include <QByteArray>
#include <QString>

inline QByteArray DeliverPdu(const QString &sender, const QString &text)
{
    const QString centre = QStringLiteral("8613800100500");
    QString pdu = QStringLiteral("0891") + Pdu::EncodeSemiOctets(centre);
    pdu += QStringLiteral("04"); // SMS-DELIVER, no user-data header
    pdu += QStringLiteral("%1").arg(sender.size(), 2, 16, QLatin1Char('0')).toUpper();
    pdu += QStringLiteral("81") + Pdu::EncodeSemiOctets(sender);
    pdu += QStringLiteral("0008"); // PID, UCS-2
    pdu += Pdu::EncodeSemiOctets(QStringLiteral("24050607080900"));
    const QString ud = Pdu::EncodeUCS2(text);
    pdu += QStringLiteral("%1").arg(ud.size() / 2, 2, 16, QLatin1Char('0')).toUpper() + ud;
    return pdu.toLatin1();
}

inline QByteArray CmgrReply(const QByteArray &pdu)
{
    return "\r\n+CMGR: 0,,24\r\n" + pdu + "\r\n\r\nOK\r\n";
}
