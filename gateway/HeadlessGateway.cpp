#include "HeadlessGateway.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace Gateway {

namespace {

    int signalPipe[2] = { -1, -1 };

    void onSignal(int)
    {
        const char c = 1;
        [[maybe_unused]] const auto written = ::write(signalPipe[0], &c, 1);
    }

    void printLine(std::FILE *out, const QString &line)
    {
        const QByteArray bytes = line.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
        std::fflush(out);
    }

} // namespace

void TConsolePrompts::Inform(const QString &text, const QString &caption)
{
    printLine(m_out, QStringLiteral("[") + caption + QStringLiteral("] ") + text);
}

void TConsolePrompts::Fail(const QString &text, const QString &caption)
{
    printLine(m_out, QStringLiteral("[") + caption + QStringLiteral("] ") + text);
}

bool TConsolePrompts::Confirm(const QString &text, const QString &caption)
{
    printLine(m_out,
        QStringLiteral("[") + caption + QStringLiteral("] ") + text + QStringLiteral(" -> 否"));
    return false;
}

void TConsolePrompts::OpenDocument(const QString &path)
{
    printLine(m_out, QStringLiteral("[文件] ") + path);
}

THeadlessGateway::THeadlessGateway(TGatewayCore::TOptions options, std::FILE *out, QObject *parent)
    : QObject(parent)
    , m_out(out)
    , m_prompts(out)
{
    options.prompts = &m_prompts;
    m_core = std::make_unique<TGatewayCore>(std::move(options));
    connect(m_core.get(), &TGatewayCore::LogError, this,
        [this](const QString &t) { print("报错内容", t); });
    connect(m_core.get(), &TGatewayCore::LogSent, this,
        [this](const QString &t) { print("发送内容", t); });
    connect(m_core.get(), &TGatewayCore::LogTraffic, this,
        [this](const QString &t) { print("发收内容", t); });
    connect(m_core.get(), &TGatewayCore::LogReceived, this,
        [this](const QString &t) { print("接收内容", t); });
    connect(m_core.get(), &TGatewayCore::SendFinished, this,
        [this](int confirmed, int failed, int total) {
            print("发送进度",
                QStringLiteral("已确认 %1/%2 条，失败 %3 条")
                    .arg(confirmed)
                    .arg(total)
                    .arg(failed));
        });
}

THeadlessGateway::~THeadlessGateway() = default;

void THeadlessGateway::print(const char *pane, const QString &text)
{
    for (const QString &line : text.split(u'\n'))
        printLine(
            m_out, QStringLiteral("[") + QString::fromUtf8(pane) + QStringLiteral("] ") + line);
}

bool THeadlessGateway::Start()
{
    if (!m_core->FormCreate())
        return false;
    m_core->btnSetClick(m_core->Settings());
    return true;
}

void THeadlessGateway::Stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_core->FormClose(m_core->Settings());
    Q_EMIT Stopped();
}

void THeadlessGateway::CatchSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        print("报错内容", QStringLiteral("无法截获停止信号"));
        return;
    }
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
        char c;
        [[maybe_unused]] const auto got = ::read(signalPipe[1], &c, 1);
        notifier->setEnabled(false);
        Stop();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace Gateway
