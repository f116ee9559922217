#pragma once
// The shared captures: received and sent PDUs with the fields a correct decoder yields.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

struct TCapture {
    QString id;
    QString pdu;
    QJsonObject expected;
    bool valid() const { return expected.value(QLatin1String("valid")).toBool(true); }
};

// Every capture of deliver_pdus.json and submit_pdus.json; empty when the files cannot be
// read (the caller fails on that).
inline QList<TCapture> LoadCaptures()
{
    QList<TCapture> out;
    for (const char *name : { "deliver_pdus.json", "submit_pdus.json" }) {
        QFile f(QStringLiteral(LUMETRA_TESTDATA_DIR "/") + QLatin1String(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isArray())
            return {};
        for (const QJsonValue &v : doc.array()) {
            const QJsonObject o = v.toObject();
            out.append(
                { o.value(QLatin1String("id")).toString(), o.value(QLatin1String("pdu")).toString(),
                    o.value(QLatin1String("expected")).toObject() });
        }
    }
    return out;
}
