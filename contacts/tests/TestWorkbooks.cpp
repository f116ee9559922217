#include "TestWorkbooks.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {

// Debian's own interpreter first: it is the one that has the Debian modules, whatever other
// python3 comes first on the search path.
QStringList Interpreters()
{
    QStringList candidates { QStringLiteral("/usr/bin/python3") };
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (!onPath.isEmpty() && !candidates.contains(onPath))
        candidates << onPath;
    return candidates;
}

// Runs the script with the first interpreter that has the modules; its standard output.
std::optional<QByteArray> RunScript(const QStringList &arguments, QString *error)
{
    QString reasons;
    for (const QString &python : Interpreters()) {
        if (!QFileInfo(python).isExecutable())
            continue;
        QProcess process;
        process.start(python, QStringList { QStringLiteral(LUMETRA_WORKBOOK_SCRIPT) } + arguments);
        if (!process.waitForFinished(60000)) {
            reasons += python + QStringLiteral(": did not finish\n");
            process.kill();
            process.waitForFinished();
            continue;
        }
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return process.readAllStandardOutput();
        reasons +=
            python + QStringLiteral(": ") + QString::fromUtf8(process.readAllStandardError());
    }
    if (error)
        *error = reasons.isEmpty() ? QStringLiteral("no python3 found") : reasons;
    return std::nullopt;
}

} // namespace

bool TestWorkbooks::make(QString *error)
{
    if (!m_dir.isValid()) {
        if (error)
            *error = QStringLiteral("no temporary folder");
        return false;
    }
    return RunScript({ QStringLiteral("make"), m_dir.path() }, error).has_value();
}

std::optional<QJsonDocument> TestWorkbooks::Dump(const QString &xlsxPath, QString *error)
{
    const std::optional<QByteArray> out = RunScript({ QStringLiteral("dump"), xlsxPath }, error);
    if (!out)
        return std::nullopt;
    QJsonParseError parseError;
    QJsonDocument doc = QJsonDocument::fromJson(*out, &parseError);
    if (doc.isNull()) {
        if (error)
            *error = parseError.errorString();
        return std::nullopt;
    }
    return doc;
}
