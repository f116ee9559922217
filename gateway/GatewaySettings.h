#pragma once
// The settings file Config.ini: section "System", one key per line, booleans as 1/0.

#include <QString>

namespace Gateway {

// Every key of the file with its default (a missing file or key gives these).
struct TGatewaySettings {
    bool UATA = false; // call panel shown; never written by the program
    int COM = 0; // position in the port list, -1 for none
    QString SMSC = QStringLiteral("8613800100500");
    QString ReTry = QStringLiteral("3");
    bool CHKZF = false;
    QString ZFSBM = QStringLiteral("ZF");
    bool ADel = false;
    bool AutoRun = false; // kept only
    bool AutoInit = false;
    bool AutoOk = false;
    bool AutoErr = false;
    QString memOk;
    QString memErr;
    bool AutoPlay = true;
    bool LongSend = true; // kept only
    QString regName;
    bool HasCOM = false; // the file names a port position (not a key: Load tells)
};

class TConfigFile {
public:
    explicit TConfigFile(QString path)
        : m_path(std::move(path))
    {
    }
    QString path() const { return m_path; }

    // Reads every key; an integer other than 0 is true, a value that is not an integer gives
    // the default.
    TGatewaySettings Load() const;

    // The writers; false (nothing promised about the file) when it cannot be written.
    // Device settings after a set-up: COM, SMSC, ReTry, CHKZF, ZFSBM, ADel, AutoRun, AutoInit.
    bool SaveDevice(const TGatewaySettings &s) const;
    // Options at shutdown: AutoInit, AutoOk, AutoPlay, LongSend, AutoErr, memOk, memErr.
    bool SaveOptions(const TGatewaySettings &s) const;
    // The signature, trimmed.
    bool SaveSignature(const QString &regName) const;

private:
    QString m_path;
};

} // namespace Gateway
