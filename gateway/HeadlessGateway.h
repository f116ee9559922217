#pragma once
// The gateway without a window: the same core, the four logs on standard output, set-up at
// start, an orderly stop on SIGINT or SIGTERM.

#include "GatewayCore.h"
#include "UserPrompts.h"

#include <QObject>
#include <cstdio>
#include <memory>

namespace Gateway {

// Messages meant for the operator go to the output; questions are answered No.
class TConsolePrompts final : public IUserPrompts {
public:
    explicit TConsolePrompts(std::FILE *out)
        : m_out(out)
    {
    }
    void Inform(const QString &text, const QString &caption) override;
    void Fail(const QString &text, const QString &caption) override;
    bool Confirm(const QString &text, const QString &caption) override;
    void OpenDocument(const QString &path) override;

private:
    std::FILE *m_out;
};

class THeadlessGateway final : public QObject {
    Q_OBJECT
public:
    THeadlessGateway(TGatewayCore::TOptions options, std::FILE *out, QObject *parent = nullptr);
    ~THeadlessGateway() override;

    // FormCreate and the set-up; false when the store could not be opened.
    bool Start();
    // Saves, releases the modem, closes the store (as closing the window does); then Stopped.
    void Stop();
    TGatewayCore *Core() const { return m_core.get(); }

    // Routes SIGINT and SIGTERM to Stop() through the event loop.
    void CatchSignals();

Q_SIGNALS:
    void Stopped();

private:
    void print(const char *pane, const QString &text);

    std::FILE *m_out;
    TConsolePrompts m_prompts;
    std::unique_ptr<TGatewayCore> m_core;
    bool m_stopped = false;
};

} // namespace Gateway
