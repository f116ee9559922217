#pragma once
// TfrmMain: the main window. It lays out the pages, shows what the gateway core reports and
// forwards the operator's actions to it; the behaviour itself lives in TGatewayCore.

#include "GatewayCore.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QTabWidget;

namespace Gateway {

class IUserPrompts;
class TMessageListPage;
class TSendPage;
class TSettingsPage;
class TSignaturePage;

class TfrmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Creates the core from `options` (FormCreate). Without options.prompts the window answers
    // with message boxes of its own.
    explicit TfrmMain(TGatewayCore::TOptions options, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // Adds numbers to the recipient field, replaces the text and brings the send page to the
    // front, without sending.
    void PrefillCompose(const QString &numbers, const QString &text);

    // The operator's actions, as the controls trigger them.
    void btnSetClick();
    void btnSendClick();
    void edtMsgChange();
    void N6Click();
    void N8Click();
    void N9Click();
    void SaveSignatureClick();
    void RzPageControl1TabClick(int page);

    TGatewayCore *Core() const { return m_core.get(); }
    QTabWidget *RzPageControl1 = nullptr;
    TSendPage *SendPage = nullptr;
    TMessageListPage *OutboxPage = nullptr;
    TMessageListPage *InboxPage = nullptr;
    TSettingsPage *SettingsPage = nullptr;
    TSignaturePage *SignaturePage = nullptr;
    QLabel *lblProgress = nullptr;
    QLabel *lblLink = nullptr;
    // The page at a position (other parts of the window fill the order and contact pages).
    QWidget *Page(int index) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPages();
    void connectSignals();
    void onSetUpChanged(bool setUpDone, bool groupLocked);
    void onProgress(int confirmed, int failed, int total);
    void onFinished(int confirmed, int failed, int total);
    TGatewaySettings controlSettings() const;

    std::unique_ptr<IUserPrompts> m_ownPrompts;
    std::unique_ptr<TGatewayCore> m_core;
    QList<QWidget *> m_pages;
    int m_typedJob = 0;
    int m_frontPage = TGatewayCore::pgSend;
    bool m_shown = false;
    bool m_closed = false;
};

} // namespace Gateway
