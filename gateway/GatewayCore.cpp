#include "GatewayCore.h"

#include "IncomingHandler.h"
#include "OutgoingQueue.h"
#include "OutgoingScheduler.h"
#include "SoundPlayer.h"
#include "StoreStatements.h"
#include "StoreText.h"
#include "StoreViews.h"
#include "TMessageStore.h"
#include "TSMSPDUproc.h"
#include "TStoreView.h"
#include "UserPrompts.h"
#include "untPublic.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTime>

using untPublic::TrimText;

namespace Gateway {

namespace {

    QString counters(const TSMSPDUproc *m)
    {
        return u'(' + QString::number(m ? m->PartsSent : 0) + u'/'
            + QString::number(m ? m->PartsTotal : 0) + u')';
    }

} // namespace

TGatewayCore::TGatewayCore(TOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
    Q_ASSERT(m_options.prompts);
    if (!m_options.timers)
        m_options.timers = QtTimerFactory();
    m_connTimer = makeTimer(ConnInterval, false);
    m_sendTimer = makeTimer(SendInterval, false);
    m_csqTimer = makeTimer(CSQInterval, true);
    connect(m_connTimer, &ITimer::timeout, this, &TGatewayCore::ConnTimerTimer);
    connect(m_csqTimer, &ITimer::timeout, this, [this] {
        if (m_modem && m_modem->Active())
            m_modem->SMCSQ();
    });
}

TGatewayCore::~TGatewayCore()
{
    ReleaseModem();
    if (m_store)
        m_store->close();
}

ITimer *TGatewayCore::makeTimer(int interval, bool singleShot)
{
    ITimer *t = m_options.timers(this);
    t->setInterval(interval);
    t->setSingleShot(singleShot);
    return t;
}

QString TGatewayCore::ConfigPath() const
{
    return m_options.appDir + QStringLiteral("Config.ini");
}

bool TGatewayCore::FormCreate()
{
    m_modem = new TSMSPDUproc(this, m_options.timers, m_options.comms);
    m_scheduler = new TOutgoingScheduler(m_modem, this);
    connect(m_scheduler, &TOutgoingScheduler::Progress, this, &TGatewayCore::SendProgress);
    connect(m_scheduler, &TOutgoingScheduler::Finished, this, &TGatewayCore::SendFinished);
    connect(m_scheduler, &TOutgoingScheduler::JobHandedOver, this, &TGatewayCore::SendHandedOver);
    connect(m_modem, &TSMSPDUproc::LinkStateChanged, this, &TGatewayCore::LinkState);
    connect(m_modem, &TSMSPDUproc::SignalQuality, this, &TGatewayCore::SignalValue);

    m_ports = m_modem->CommList();
    if (!m_options.extraPort.isEmpty() && !m_ports.contains(m_options.extraPort))
        m_ports.append(m_options.extraPort);

    m_store = std::make_unique<TMessageStore>(m_options.databasePath);
    QString failure;
    auto collect = connect(m_store.get(), &TMessageStore::dbError, this,
        [&failure](const QString &report, const QString &reason) {
            failure = reason.isEmpty() ? report : reason;
        });
    const bool opened = m_store->open();
    disconnect(collect);
    connect(m_store.get(), &TMessageStore::dbError, this,
        [this](const QString &report) { Q_EMIT LogError(report); });
    if (!opened) {
        // The window opens with its controls' own values; their "自动初始化" is checked.
        m_settings = TGatewaySettings();
        m_settings.AutoInit = true;
        m_options.prompts->Fail(failure, AppTitle());
        return false;
    }
    m_queue = new TOutgoingQueue(m_modem, m_store.get(), m_scheduler, m_sendTimer, this);
    connect(m_queue, &TOutgoingQueue::LogError, this, &TGatewayCore::LogError);
    connect(this, &TGatewayCore::PartConfirmed, m_queue, &TOutgoingQueue::PartConfirmed);
    connect(this, &TGatewayCore::SendFailure, m_queue, &TOutgoingQueue::SendFailure);
    ISoundPlayer *sounds = m_options.sounds;
    if (!sounds) {
        m_ownSounds = std::make_unique<TSoundEffectPlayer>();
        sounds = m_ownSounds.get();
    }
    m_incoming =
        new TIncomingHandler(m_modem, m_store.get(), m_queue, sounds, m_options.appDir, this);
    connect(m_incoming, &TIncomingHandler::LogReceived, this, &TGatewayCore::LogReceived);
    connect(m_incoming, &TIncomingHandler::LogTraffic, this, &TGatewayCore::LogTraffic);
    connect(
        m_incoming, &TIncomingHandler::InboxChanged, this, [this] { refreshView(ADODataSet1); });
    connect(m_incoming, &TIncomingHandler::AnswerEnabledChanged, this,
        &TGatewayCore::AnswerEnabledChanged);
    m_views.insert(ADODataSet4, StoreViews::NewOutboxView(*m_store, this));
    m_views.insert(ADODataSet1, StoreViews::NewInboxView(*m_store, this));
    m_views.insert(ADODataSet2, StoreViews::NewGroupsView(*m_store, this));
    m_views.insert(ADODataSet3, StoreViews::NewContactsView(*m_store, this));
    for (TDataSet v : { ADODataSet4, ADODataSet1, ADODataSet2, ADODataSet5, ADODataSet6 })
        openView(v);

    m_settings = TConfigFile(ConfigPath()).Load();
    // No port configured yet: the built-in simulated modem, so that a first run works without
    // hardware. A position in the file keeps its meaning.
    if (!m_settings.HasCOM)
        m_settings.COM = int(m_ports.indexOf(TSMSPDUproc::SimulatorPortName()));
    m_fileCom = m_settings.COM;
    m_incoming->SetAutoPlay(m_settings.AutoPlay);
    if (!m_options.extraPort.isEmpty())
        m_settings.COM = int(m_ports.indexOf(m_options.extraPort));
    return true;
}

// ---- Set-up ---------------------------------------------------------------------------------

bool TGatewayCore::btnSetClick(const TGatewaySettings &fromControls)
{
    if (!m_modem || m_closed)
        return false;
    const bool applied = ApplyModemSettings(fromControls);
    m_connTimer->setEnabled(true);
    const bool saved = SaveDeviceSettings(fromControls);
    if (!saved)
        Q_EMIT LogError(QStringLiteral("错误:初始化失败！"));
    m_setUpDone = m_setUpDone || applied;
    if (m_setUpDone && m_queue)
        m_queue->Start(); // from the first completed set-up on
    Q_EMIT SetUpChanged(m_setUpDone, applied && saved);
    return applied;
}

bool TGatewayCore::ApplyModemSettings(const TGatewaySettings &s)
{
    try {
        m_modem->setTP_DCS(tdUCS2);
        const bool chosen = s.COM >= 0 && s.COM < m_ports.size();
        m_modem->setCommName(chosen ? m_ports.at(s.COM) : QString());
        m_modem->setSMSC(TrimText(s.SMSC));
        m_modem->setBaudRate(9600);
        m_modem->setCNMI(QStringLiteral("2,1,0,0,0"));
        bool ok = false;
        const int reSend = s.ReTry.toInt(&ok);
        if (!ok)
            throw EModemError(QStringLiteral("失败重试次数不是数字"));
        m_modem->setReSend(reSend);
        m_modem->setTransmitSign(TrimText(s.ZFSBM));
        m_modem->setDelAfterRev(s.ADel);
        m_modem->setUseTransmit(s.CHKZF);
        m_modem->setUseATA(s.UATA);
        if (!m_eventsConnected) {
            m_eventsConnected = true;
            connect(m_modem, &TSMSPDUproc::OnRevMonitor, this, &TGatewayCore::RevMonitor);
            connect(m_modem, &TSMSPDUproc::OnSndMonitor, this, &TGatewayCore::SndMonitor);
            connect(m_modem, &TSMSPDUproc::OnSendOKSMS, this, &TGatewayCore::SendOKSMS);
            connect(m_modem, &TSMSPDUproc::OnError, this, &TGatewayCore::ErrMonitor);
            if (m_incoming) {
                connect(m_modem, &TSMSPDUproc::OnReceiveSMS, m_incoming, &TIncomingHandler::RecSMS);
                connect(m_modem, &TSMSPDUproc::OnRingMonitor, m_incoming,
                    &TIncomingHandler::RingMonitor);
                connect(m_modem, &TSMSPDUproc::OnTransmitMonitor, m_incoming,
                    &TIncomingHandler::TransmitMonitor);
            }
        }
        m_modem->setActive(true);
    } catch (const EModemError &) {
        m_options.prompts->Fail(QStringLiteral("初始化失败！"), QStringLiteral("错误"));
        return false;
    }
    m_settings = s;
    if (m_incoming)
        m_incoming->SetAutoPlay(s.AutoPlay);
    return true;
}

bool TGatewayCore::SaveDeviceSettings(const TGatewaySettings &s)
{
    TGatewaySettings saved = s;
    const bool fromCommandLine = !m_options.extraPort.isEmpty() && s.COM >= 0
        && s.COM < m_ports.size() && m_ports.at(s.COM) == m_options.extraPort;
    if (fromCommandLine) // chosen for this run only: the file keeps its own position
        saved.COM = m_fileCom;
    else if (s.COM >= m_ports.size())
        saved.COM = -1;
    return TConfigFile(ConfigPath()).SaveDevice(saved);
}

void TGatewayCore::SaveSignature(const QString &signature)
{
    if (!TConfigFile(ConfigPath()).SaveSignature(signature)) {
        m_options.prompts->Fail(QStringLiteral("无法写入") + ConfigPath(), AppTitle());
        return;
    }
    m_settings.regName = TrimText(signature);
    m_options.prompts->Inform(QStringLiteral("保存成功！"), AppTitle());
}

void TGatewayCore::ConnTimerTimer()
{
    if (m_store && !m_store->reopen())
        m_options.prompts->Fail(
            QStringLiteral("数据库连接失败：") + m_store->databasePath(), AppTitle());
}

// ---- Sending --------------------------------------------------------------------------------

int TGatewayCore::btnSendClick(
    const QString &numbers, const QString &text, const QString &signature)
{
    const QString n = TrimText(numbers);
    const QString t = TrimText(text);
    if (n.isEmpty()) {
        m_options.prompts->Inform(QStringLiteral("请选择接收手机！"), AppTitle());
        return 0;
    }
    if (t.isEmpty()) {
        m_options.prompts->Inform(QStringLiteral("请录入短信内容！"), AppTitle());
        return 0;
    }
    return SendToRecipients(n, t + signature);
}

int TGatewayCore::SendToRecipients(const QString &numbers, const QString &text)
{
    if (!m_scheduler || m_closed)
        return 0;
    return m_scheduler->Submit({ numbers, text });
}

std::optional<qint64> TGatewayCore::EnqueueMessage(const QString &number, const QString &text)
{
    if (!m_queue || m_closed)
        return std::nullopt;
    return m_queue->EnqueueMessage(number, text);
}

void TGatewayCore::SetAutoPlay(bool on)
{
    m_settings.AutoPlay = on;
    if (m_incoming)
        m_incoming->SetAutoPlay(on);
}

bool TGatewayCore::AnswerEnabled() const
{
    return m_incoming && m_incoming->AnswerEnabled();
}

void TGatewayCore::SendOKSMS(QObject *, const QString &mSendID, const QString &mSMSC,
    const QString &mPhoneID, const QString &mInfo, const QDateTime &mGTime)
{
    const QString time = StoreText::DateTimeText(mGTime);
    Q_EMIT LogSent(time + QStringLiteral("  发给") + u'\n' + mPhoneID + QStringLiteral("的短信：")
        + u'\n' + mInfo);
    bool isNumber = false;
    const qint64 reference = TrimText(mSendID).toLongLong(&isNumber);
    if (isNumber) {
        StoreSql::InsertSentPart(*m_store, reference, mSMSC, mPhoneID, mInfo, mGTime);
    } else {
        // The reference goes in bare, as a number: one that is not a number cannot be stored.
        m_store->reportFailure(
            StoreText::ShowStatement(QStringLiteral("INSERT INTO SM_TO_SP_RC (MS_ID,TP_CS,TP_DA,"
                                                    "TP_UD,TP_DT) VALUES(")
                    + mSendID + QStringLiteral(",?,?,?,?)"),
                { mSMSC, mPhoneID, mInfo, time }),
            QStringLiteral("the message reference is not a number"));
    }
    Q_EMIT PartConfirmed();
}

void TGatewayCore::ErrMonitor(QObject *, const QString &RevString)
{
    const QString text = QString(RevString).remove(u'\n');
    if (text.isEmpty())
        return;
    Q_EMIT LogError(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + u' ' + text
        + counters(m_modem));
    if (!m_modem)
        return;
    m_modem->CmdState = TSMSPDUproc::csIdle;
    Q_EMIT SendFailure(text);
    m_modem->PartsTotal = 0;
    m_modem->PartsSent = 0;
    m_modem->QueueMsgID = 0;
}

void TGatewayCore::SndMonitor(QObject *, const QString &RevString)
{
    const QString text = QString(RevString).remove(u'\n');
    if (!text.isEmpty())
        Q_EMIT LogSent(text + counters(m_modem));
}

void TGatewayCore::RevMonitor(QObject *, const QString &RevString)
{
    const QString text = QString(RevString).remove(u'\n');
    if (!text.isEmpty())
        Q_EMIT LogTraffic(text);
}

// ---- Lists ----------------------------------------------------------------------------------

void TGatewayCore::RegisterView(TDataSet which, TStoreView *view)
{
    m_views.insert(which, view);
}

void TGatewayCore::openView(TDataSet which)
{
    if (TStoreView *v = View(which); v && !v->isOpen() && v->open())
        Q_EMIT ListReloaded(which);
}

void TGatewayCore::refreshView(TDataSet which)
{
    if (TStoreView *v = View(which); v && m_store->RefreshDataSet(*v))
        Q_EMIT ListReloaded(which);
}

void TGatewayCore::closeView(TDataSet which)
{
    if (TStoreView *v = View(which); v && v->isOpen())
        v->close();
}

void TGatewayCore::PageShown(int page, bool broughtToFront)
{
    QList<TDataSet> open;
    switch (page) {
    case pgNewOrders:
        open = { ADODataSet5 };
        break;
    case pgOldOrders:
        open = { ADODataSet6 };
        break;
    case pgOutbox:
        open = { ADODataSet4 };
        break;
    case pgInbox:
        open = { ADODataSet1 };
        break;
    case pgGroups:
        open = { ADODataSet2 };
        break;
    case pgContacts:
        open = { ADODataSet3, ADODataSet2 };
        break;
    default:
        return; // the send, settings and signature pages leave the lists alone
    }
    for (TDataSet v : open) {
        if (broughtToFront && View(v) && View(v)->isOpen())
            refreshView(v);
        else
            openView(v);
    }
    for (TDataSet v :
        { ADODataSet1, ADODataSet2, ADODataSet3, ADODataSet4, ADODataSet5, ADODataSet6 }) {
        if (!open.contains(v))
            closeView(v);
    }
}

void TGatewayCore::ExportTexts(const QStringList &texts)
{
    if (texts.isEmpty()) {
        m_options.prompts->Inform(QStringLiteral("请选择需要导出的短信！"), AppTitle());
        return;
    }
    const QString path = m_options.appDir + QStringLiteral("exportfile/")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"))
        + QStringLiteral(".txt");
    QFile file(path);
    QByteArray body;
    for (const QString &t : texts)
        body += TrimText(t).toUtf8() + "\r\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(body) != body.size()
        || !file.flush()) {
        m_options.prompts->Fail(
            QDir::toNativeSeparators(path) + u'\n' + file.errorString(), AppTitle());
        return;
    }
    file.close();
    m_options.prompts->OpenDocument(path);
}

void TGatewayCore::DeleteMessages(TDataSet list, const QStringList &ids)
{
    if (ids.isEmpty()) {
        m_options.prompts->Inform(QStringLiteral("请选择需要删除的短信！"), AppTitle());
        return;
    }
    if (!m_options.prompts->Confirm(QStringLiteral("所选短信将被删除，是否确定？")))
        return;
    QList<qint64> keys;
    for (const QString &id : ids) {
        bool ok = false;
        const qint64 key = id.toLongLong(&ok);
        if (ok) // the keys come from the list's own key column
            keys.append(key);
    }
    if (list == ADODataSet1)
        StoreSql::DeleteReceived(*m_store, keys);
    else
        StoreSql::DeleteSentRecords(*m_store, keys);
    m_options.prompts->Inform(QStringLiteral("所选短信已经删除！"), AppTitle());
    refreshView(list);
}

// ---- Signal strength ------------------------------------------------------------------------

void TGatewayCore::RequestSignal()
{
    Q_EMIT SignalValue(0);
    m_csqTimer->start();
}

// ---- Shutdown -------------------------------------------------------------------------------

bool TGatewayCore::FormCloseQuery()
{
    return m_options.prompts->Confirm(QStringLiteral("是否真的退出系统？"));
}

void TGatewayCore::FormClose(const TGatewaySettings &fromControls)
{
    if (m_closed)
        return;
    m_closed = true;
    if (!TConfigFile(ConfigPath()).SaveOptions(fromControls))
        qWarning("Lumetra: the options could not be written to %s", qPrintable(ConfigPath()));
    if (m_queue)
        m_queue->Stop();
    ReleaseModem();
    if (m_sendTimer->isActive())
        m_sendTimer->stop();
    m_csqTimer->stop();
    if (m_store) {
        // CloseStore: the lists in their order, then ADOConnection, then ADOConnection1.
        for (TDataSet v :
            { ADODataSet4, ADODataSet5, ADODataSet6, ADODataSet1, ADODataSet2, ADODataSet3 })
            closeView(v);
        m_store->close();
    }
}

void TGatewayCore::ReleaseModem()
{
    // Nothing waits on the modem: what was not handed over is dropped, and the scheduler stops
    // looking at a modem that is going away.
    if (m_scheduler)
        m_scheduler->Cancel();
    if (!m_modem)
        return;
    TSMSPDUproc *modem = m_modem;
    m_modem = nullptr;
    modem->CmdState = TSMSPDUproc::csIdle;
    if (modem->Active())
        modem->setActive(false);
    delete modem;
}

} // namespace Gateway
