#include "Ucs2Text.h"

namespace Pdu::Ucs2 {

QString fromOctets(QByteArrayView octets)
{
    QString out(octets.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = QChar(char16_t(quint8(octets[2 * i]) << 8 | quint8(octets[2 * i + 1])));
    return out;
}

QByteArray toOctets(QStringView text)
{
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[2 * i] = char(text[i].unicode() >> 8);
        out[2 * i + 1] = char(text[i].unicode() & 0xFF);
    }
    return out;
}

} // namespace Pdu::Ucs2
