#include "GatewayMain.h"

#include "GatewayCore.h"
#include "HeadlessGateway.h"
#include "SMSMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

using namespace Gateway;

namespace {

struct TArguments {
    QString home;
    QString port;
    bool headless = false;
    QString error;
};

TArguments parse(const QStringList &args)
{
    TArguments a;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--headless")) {
            a.headless = true;
        } else if ((arg == QLatin1String("--home") || arg == QLatin1String("--port"))
            && i + 1 < args.size()) {
            (arg == QLatin1String("--home") ? a.home : a.port) = args.at(++i);
        } else {
            a.error = QStringLiteral("lumetra: unknown or incomplete option: ") + arg;
            return a;
        }
    }
    return a;
}

TGatewayCore::TOptions options(const TArguments &a)
{
    TGatewayCore::TOptions o;
    const QString home = a.home.isEmpty() ? QCoreApplication::applicationDirPath() : a.home;
    o.appDir = QDir(home).absolutePath() + u'/';
    if (!a.port.isEmpty()) // a path as given; a bare name means the device folder
        o.extraPort = QFileInfo(a.port).isAbsolute() || a.port.contains(u'/')
            ? QFileInfo(a.port).absoluteFilePath()
            : a.port;
    return o;
}

void loadTranslations(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
    else
        std::fputs(
            "lumetra: qtbase_zh_CN.qm not found; standard buttons stay in English\n", stderr);
}

int runHeadless(const TArguments &a, int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(TGatewayCore::AppTitle());
    THeadlessGateway gateway(options(a), stdout);
    gateway.CatchSignals();
    QObject::connect(
        &gateway, &THeadlessGateway::Stopped, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!gateway.Start())
        return 1;
    return app.exec();
}

int runWindow(const TArguments &a, int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(TGatewayCore::AppTitle());
    loadTranslations(app);
    QFont font;
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("SimSun"),
        QStringLiteral("WenQuanYi Micro Hei") });
    font.setPixelSize(12);
    QApplication::setFont(font);
    TfrmMain window(options(a));
    window.show();
    return app.exec();
}

} // namespace

int RunGateway(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const TArguments a = parse(args);
    if (!a.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(a.error));
        return 2;
    }
    return a.headless ? runHeadless(a, argc, argv) : runWindow(a, argc, argv);
}
