#pragma once
// Walks the octets of one PDU; every read is checked first, and a failed check leaves an
// error that names the field.

#include <QByteArray>
#include <QString>

namespace Pdu {

class TOctetReader {
public:
    explicit TOctetReader(QByteArrayView octets)
        : m_octets(octets)
    {
    }

    qsizetype pos() const { return m_pos; }
    qsizetype size() const { return m_octets.size(); }
    qsizetype remaining() const { return m_octets.size() - m_pos; }

    // True when `count` more octets are there; otherwise records why `field` cannot be read.
    bool need(qsizetype count, QStringView field);
    // Reads after a successful need().
    quint8 octet() { return quint8(m_octets[m_pos++]); }
    QByteArrayView take(qsizetype count);

    // Records a failure of `field`; always false, so that a caller can return it.
    bool fail(QStringView field, const QString &reason);
    const QString &error() const { return m_error; }

private:
    QByteArrayView m_octets;
    qsizetype m_pos = 0;
    QString m_error;
};

} // namespace Pdu
