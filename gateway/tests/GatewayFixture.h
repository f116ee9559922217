#pragma once
// A gateway in a folder of its own: manual timers, a modem that answers when told, prompts the
// test answers, the store file in the same folder.

#include "AnsweringModem.h"
#include "AnsweringPrompts.h"
#include "GatewayCore.h"
#include "ManualTimer.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

struct TGatewayFixture {
    TGatewayFixture() { modem = std::make_unique<TAnsweringModem>(); }

    Gateway::TGatewayCore::TOptions Options()
    {
        Gateway::TGatewayCore::TOptions o;
        o.appDir = dir.path() + u'/';
        o.databasePath = dir.filePath(QStringLiteral("SMS.db"));
        o.timers = timers.factory();
        o.comms = AnsweringFactory(modem.get());
        o.prompts = &prompts;
        return o;
    }
    QString ConfigPath() const { return dir.filePath(QStringLiteral("Config.ini")); }
    void WriteConfig(const QByteArray &body) const
    {
        QFile f(ConfigPath());
        if (f.open(QIODevice::WriteOnly))
            f.write("[System]\n" + body);
    }
    QByteArray ConfigText() const
    {
        QFile f(ConfigPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The modem's pause before listing (its second 100 ms timer), then the switch-on dialogue.
    void SwitchOn()
    {
        if (TManualTimer *t = timers.byInterval(100, 1))
            t->fire();
        modem->Flush();
    }

    QTemporaryDir dir;
    TManualTimers timers;
    std::unique_ptr<TAnsweringModem> modem;
    TAnsweringPrompts prompts;
};
