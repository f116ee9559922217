#pragma once
// PDU encoder and decoders (3GPP TS 23.040 / 23.038, PDU mode of TS 27.005 with the
// service-centre field first). Pure functions: no QObject, no state.

#include "SmsTypes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace Pdu {

// ---- Unit routines --------------------------------------------------------------------------

// Trims blanks and controls, pads an odd count with "F", swaps each pair: "123" -> "21F3".
QString EncodeSemiOctets(QStringView digits);
// Swaps each pair back (a last single character is dropped) and removes every "F".
QString DecodeSemiOctets(QStringView semiOctets);
// Reads hex text as a number; false (and *value untouched) when it is not hex or is empty.
bool HexToInt(QStringView hex, int *value);
// Packs text as GSM 7-bit septets through the default alphabet and its extension table;
// a character the alphabet lacks is sent as "?". Two uppercase hex digits per octet.
QString Encode7Bit(QStringView text);
// Septets the text takes in the GSM default alphabet (extension characters take two).
int Gsm7Length(QStringView text);
// Each UTF-16 unit as four uppercase hex digits.
QString EncodeUCS2(QStringView text);
// Unpacks `septets` GSM septets from hex octets, skipping `fillBits` leading bits, and
// translates them through the default alphabet and its extension table.
std::optional<QString> Decode7Bit(QStringView hex, int septets, int fillBits = 0);
// Every four hex digits are one UTF-16 unit; a shorter remainder is ignored.
std::optional<QString> DecodeUCS2(QStringView hex);

// ---- SMS-SUBMIT -----------------------------------------------------------------------------

struct TSubmitPdu {
    QString pdu; // uppercase hex, service-centre field first
    QString cmgsLen; // TPDU length as three decimal digits ("016")
    QString text; // the text as sent: cut to 70 UTF-16 units (UCS2), 160 septets (7-bit)
                  // or 140 octets (8-bit); in 7-bit and 8-bit a character the coding
                  // lacks is "?" here too, so this is what the recipient reads
};

// Builds the SMS-SUBMIT of the gateway: first octet 11, TP-MR 00, TP-PID 00, TP-VP 00.
// `smsc` may be empty; `tpDa` is digits (type 91 when it begins with 86, else 81).
// TP-DCS 00 (GSM alphabet), 15 (8-bit, class 1: the text's Latin-1 octets) or 08 (UCS2).
// A cut never splits a surrogate pair or a 7-bit escape pair.
TSubmitPdu BuildSubmit(const QString &smsc, const QString &tpDa, TTP_DCS dcs, const QString &text);

// ---- Decoding -------------------------------------------------------------------------------

enum class TPduType { Deliver, Submit, StatusReport };
enum class TCoding { Bit7, Bit8, Ucs2 };

struct TConcat {
    int ref = 0;
    int total = 0;
    int seq = 0;
};

struct TDecodedPdu {
    TPduType type = TPduType::Deliver;
    QString smsc; // digits without "+" and fillers; empty when absent
    QString number; // sender / destination / recipient: digits, or the text of an
                    // alphanumeric address
    bool alphanumeric = false;
    int firstOctet = 0;
    int pid = 0;
    int dcs = 0;
    TCoding coding = TCoding::Bit7;
    QString text; // decoded user data; 8-bit data as Latin-1 characters
    QByteArray userData; // raw user data octets after the header (all codings)
    QByteArray udh; // header octets without the UDHL octet; empty when none
    std::optional<TConcat> concat;
    QDateTime timestamp; // service-centre time stamp (local, zone ignored); DELIVER and
                         // STATUS-REPORT only
    int tpduLength = 0; // octets behind the service-centre field
    int messageReference = 0; // SUBMIT and STATUS-REPORT
    int status = -1; // STATUS-REPORT: TP-ST
    QDateTime dischargeTime; // STATUS-REPORT
    int udl = 0; // TP-UDL as written: septets for 7-bit, octets otherwise
    int smscType = -1; // type-of-address octet of the service centre; -1 when absent
    int numberType = 0; // type-of-address octet of `number`
    QByteArray validityPeriod; // SUBMIT: the TP-VP octets as written; empty when absent
};

struct TDecodeResult {
    std::optional<TDecodedPdu> pdu;
    QString error; // names the field that failed; empty on success
    bool ok() const { return pdu.has_value(); }
};

// Decodes one PDU by its message type indicator. Never throws, never reads out of bounds.
TDecodeResult Decode(QStringView hex);

// The names the JSON output uses ("SMS-DELIVER", "7bit", ...).
QString TypeName(TPduType type);
QString CodingName(TCoding coding);

// One JSON object (a single line, UTF-8) as the command line's --decode-pdu prints it:
// type ("SMS-DELIVER", "SMS-SUBMIT", "SMS-STATUS-REPORT"), smsc, number, text, coding
// ("7bit", "8bit", "ucs2"), timestamp ("yyyy-MM-dd HH:mm:ss"; null for SMS-SUBMIT), udh (hex
// with the UDHL octet in front, as it stands in the user data; null when none), concat
// ({"ref","total","seq"} or null), tpdu_length, first_octet, pid, dcs, udl; 8-bit data has
// text null and data_hex; SUBMIT adds message_reference and vp_hex; STATUS-REPORT adds
// message_reference, discharge_time and status. A failure is {"type":"error","error":...}.
QByteArray ToJson(const TDecodeResult &result);

} // namespace Pdu
