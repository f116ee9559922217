#include "OctetReader.h"

namespace Pdu {

bool TOctetReader::need(qsizetype count, QStringView field)
{
    if (count <= remaining())
        return true;
    return fail(field,
        QStringLiteral("PDU too short, needs %1 octet(s) at offset %2, %3 left")
            .arg(count)
            .arg(m_pos)
            .arg(remaining()));
}

QByteArrayView TOctetReader::take(qsizetype count)
{
    const QByteArrayView v = m_octets.sliced(m_pos, count);
    m_pos += count;
    return v;
}

bool TOctetReader::fail(QStringView field, const QString &reason)
{
    m_error = field.toString() + QStringLiteral(": ") + reason;
    return false;
}

} // namespace Pdu
