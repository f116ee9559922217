#include "GatewaySettings.h"

#include "untPublic.h"

#include <QSettings>
#include <QStringList>
#include <initializer_list>
#include <utility>

using untPublic::TrimText;

namespace Gateway {

namespace {

    const QString Section = QStringLiteral("System");

    QString text(const QSettings &ini, const QString &key, const QString &def)
    {
        const QVariant v = ini.value(key);
        if (!v.isValid())
            return def;
        // An unquoted value with commas comes back as a list: it was one line of text.
        if (v.typeId() == QMetaType::QStringList)
            return v.toStringList().join(u',');
        return v.toString();
    }

    int integer(const QSettings &ini, const QString &key, int def)
    {
        bool ok = false;
        const int v = text(ini, key, QString()).trimmed().toInt(&ok);
        return ok ? v : def;
    }

    bool boolean(const QSettings &ini, const QString &key, bool def)
    {
        return integer(ini, key, def ? 1 : 0) != 0;
    }

    QString flag(bool on)
    {
        return on ? QStringLiteral("1") : QStringLiteral("0");
    }

    bool write(const QString &path, std::initializer_list<std::pair<const char *, QString>> values)
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.beginGroup(Section);
        for (const auto &[key, value] : values)
            ini.setValue(QLatin1String(key), value);
        ini.endGroup();
        ini.sync();
        return ini.status() == QSettings::NoError;
    }

} // namespace

TGatewaySettings TConfigFile::Load() const
{
    const TGatewaySettings d;
    TGatewaySettings s;
    QSettings ini(m_path, QSettings::IniFormat);
    ini.beginGroup(Section);
    s.UATA = boolean(ini, QStringLiteral("UATA"), d.UATA);
    s.COM = integer(ini, QStringLiteral("COM"), d.COM);
    s.HasCOM = ini.contains(QStringLiteral("COM"));
    s.SMSC = text(ini, QStringLiteral("SMSC"), d.SMSC);
    s.ReTry = text(ini, QStringLiteral("ReTry"), d.ReTry);
    s.CHKZF = boolean(ini, QStringLiteral("CHKZF"), d.CHKZF);
    s.AutoOk = boolean(ini, QStringLiteral("AutoOk"), d.AutoOk);
    s.AutoErr = boolean(ini, QStringLiteral("AutoErr"), d.AutoErr);
    s.memOk = text(ini, QStringLiteral("memOk"), d.memOk);
    s.memErr = text(ini, QStringLiteral("memErr"), d.memErr);
    s.AutoPlay = boolean(ini, QStringLiteral("AutoPlay"), d.AutoPlay);
    s.ZFSBM = text(ini, QStringLiteral("ZFSBM"), d.ZFSBM);
    s.ADel = boolean(ini, QStringLiteral("ADel"), d.ADel);
    s.AutoRun = boolean(ini, QStringLiteral("AutoRun"), d.AutoRun);
    s.LongSend = boolean(ini, QStringLiteral("LongSend"), d.LongSend);
    s.AutoInit = boolean(ini, QStringLiteral("AutoInit"), d.AutoInit);
    s.regName = text(ini, QStringLiteral("regName"), d.regName);
    return s;
}

bool TConfigFile::SaveDevice(const TGatewaySettings &s) const
{
    return write(m_path,
        { { "COM", QString::number(s.COM) }, { "SMSC", TrimText(s.SMSC) },
            { "ReTry", TrimText(s.ReTry) }, { "CHKZF", flag(s.CHKZF) },
            { "ZFSBM", TrimText(s.ZFSBM) }, { "ADel", flag(s.ADel) },
            { "AutoRun", flag(s.AutoRun) }, { "AutoInit", flag(s.AutoInit) } });
}

bool TConfigFile::SaveOptions(const TGatewaySettings &s) const
{
    return write(m_path,
        { { "AutoInit", flag(s.AutoInit) }, { "AutoOk", flag(s.AutoOk) },
            { "AutoPlay", flag(s.AutoPlay) }, { "LongSend", flag(s.LongSend) },
            { "AutoErr", flag(s.AutoErr) }, { "memOk", TrimText(s.memOk) },
            { "memErr", TrimText(s.memErr) } });
}

bool TConfigFile::SaveSignature(const QString &regName) const
{
    return write(m_path, { { "regName", TrimText(regName) } });
}

} // namespace Gateway
