#pragma once
// The gateway core: owns the modem (Modem), the store with its two connections, the lists of
// the pages, the timers ConnTimer, SendTimer and CSQTimer and the outgoing scheduler, and
// carries out start-up, set-up, sending, the message lists and shutdown. The main window and
// the headless mode only show what it reports (the four logs, the state) and forward actions.

#include "CommTransport.h"
#include "GatewaySettings.h"
#include "TSMSPDUproc.h"
#include "TStoreView.h"
#include "Timer.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>

namespace Gateway {

class IUserPrompts;
class ISoundPlayer;
class TIncomingHandler;
class TOutgoingQueue;
class TOutgoingScheduler;

class TGatewayCore final : public QObject {
    Q_OBJECT
public:
    struct TOptions {
        QString appDir; // with a trailing separator
        QString extraPort; // --port: added to the list, chosen for this run
        QString databasePath = QStringLiteral("SMS.db"); // relative to the current folder
        TTimerFactory timers; // the core's and the modem's timers
        TCommFactory comms; // the modem's transports
        IUserPrompts *prompts = nullptr; // required
        ISoundPlayer *sounds = nullptr; // null: played through QSoundEffect
    };

    // The lists, by the numbers the pages know them by.
    enum TDataSet {
        ADODataSet1 = 1,
        ADODataSet2,
        ADODataSet3,
        ADODataSet4,
        ADODataSet5,
        ADODataSet6
    };
    // Pages in order; the list opened for a page follows from its position.
    enum TPage {
        pgNewOrders,
        pgOldOrders,
        pgSend,
        pgOutbox,
        pgInbox,
        pgGroups,
        pgContacts,
        pgSettings,
        pgSignature,
        pgHelp
    };

    static constexpr int ConnInterval = 300000;
    static constexpr int SendInterval = 3000;
    static constexpr int CSQInterval = 3000;
    static QString AppTitle() { return QStringLiteral("Lumetra"); }

    explicit TGatewayCore(TOptions options, QObject *parent = nullptr);
    ~TGatewayCore() override;

    // Window creation: the modem, the port list, the store and its start-up lists, the
    // settings. False when the store could not be opened (reported; the settings then keep the
    // built-in values of the controls, with AutoInit on).
    bool FormCreate();

    // ---- Settings and set-up -------------------------------------------------------------
    QStringList Ports() const { return m_ports; }
    // The settings as read at creation, and as last applied or saved since.
    const TGatewaySettings &Settings() const { return m_settings; }
    QString ConfigPath() const;
    // The set-up "初始化" with the settings as the controls hold them. Returns whether the
    // modem settings were applied; SetUpChanged tells the window what to show.
    bool btnSetClick(const TGatewaySettings &fromControls);
    bool SetUpDone() const { return m_setUpDone; }
    // Signature save: writes regName and says "保存成功！".
    void SaveSignature(const QString &signature);

    // ---- Sending --------------------------------------------------------------------------
    // The send of a typed message; returns the scheduler's message number, 0 when nothing was
    // started (a prompt told why).
    int btnSendClick(const QString &numbers, const QString &text, const QString &signature);
    // Cuts the text into parts and sends every part to every number, one part at a time.
    int SendToRecipients(const QString &numbers, const QString &text);
    TOutgoingScheduler *Scheduler() const { return m_scheduler; }

    // ---- Outgoing queue and incoming messages -----------------------------------------------
    // Appends one row to SM_TO_SP; its MS_ID, or nothing after a reported failure.
    std::optional<qint64> EnqueueMessage(const QString &number, const QString &text);
    TOutgoingQueue *Queue() const { return m_queue; }
    TIncomingHandler *Incoming() const { return m_incoming; }
    // cbAutoPlay as the operator sets it.
    void SetAutoPlay(bool on);
    // btnATA: enabled while a call rings.
    bool AnswerEnabled() const;

    // ---- Lists ----------------------------------------------------------------------------
    TStoreView *View(TDataSet which) const { return m_views.value(which); }
    // Lists made by other parts of the window (contacts, orders) join the page switching.
    void RegisterView(TDataSet which, TStoreView *view);
    // The page switch: opens the list of the page in front, closes the others. A list page
    // brought to the front from another page is read afresh; one already in front is not.
    void PageShown(int page, bool broughtToFront);
    // Export of inbox texts (N6Click); the texts of the selected rows, in selection order.
    void ExportTexts(const QStringList &texts);
    // Deletion of the selected rows of the inbox (N8Click) or the outbox (N9Click).
    void DeleteMessages(TDataSet list, const QStringList &ids);

    // ---- Signal strength ----------------------------------------------------------------------
    // The double-click on "信号强度：": shows 0, and asks the modem when CSQTimer ticks.
    void RequestSignal();

    // ---- Shutdown ---------------------------------------------------------------------------
    bool FormCloseQuery();
    // Saves the options, releases the modem, stops the timers, closes the store.
    void FormClose(const TGatewaySettings &fromControls);

    // ---- Handlers of the modem's events (connected by the set-up) ---------------------------
    void SendOKSMS(QObject *Sender, const QString &mSendID, const QString &mSMSC,
        const QString &mPhoneID, const QString &mInfo, const QDateTime &mGTime);
    void ErrMonitor(QObject *Sender, const QString &RevString);
    void SndMonitor(QObject *Sender, const QString &RevString);
    void RevMonitor(QObject *Sender, const QString &RevString);

    TSMSPDUproc *Modem() const { return m_modem; }
    TMessageStore *Store() const { return m_store.get(); }
    ITimer *ConnTimer() const { return m_connTimer; }
    ITimer *SendTimer() const { return m_sendTimer; }
    ITimer *CSQTimer() const { return m_csqTimer; }

Q_SIGNALS:
    // The four logs of the send page; a text may hold several lines.
    void LogError(const QString &text); // memErrMonitor
    void LogSent(const QString &text); // memSndMonitor
    void LogTraffic(const QString &text); // memRevMonitor
    void LogReceived(const QString &text); // memRecSMS
    // After every set-up: whether it completed (send enabled, light green) and whether the
    // settings group stays locked.
    void SetUpChanged(bool applied, bool groupLocked);
    void SignalValue(int value);
    // A list was opened or reloaded by the core (the grids refresh their footers).
    void ListReloaded(int which);
    void LinkState(bool ready);
    // Progress of a send, and its end.
    void SendProgress(int confirmed, int failed, int total);
    void SendFinished(int confirmed, int failed, int total);
    // The last part of a message has been handed to the modem.
    void SendHandedOver(int job);
    // One part recorded in SM_TO_SP_RC; one failure report handled (before the counters are
    // reset). The outgoing queue's bookkeeping hangs off these.
    void PartConfirmed();
    void SendFailure(const QString &text);
    // btnATA is to be enabled (a call rings) or disabled.
    void AnswerEnabledChanged(bool enabled);

private:
    bool ApplyModemSettings(const TGatewaySettings &s);
    bool SaveDeviceSettings(const TGatewaySettings &s);
    void ConnTimerTimer();
    void ReleaseModem();
    void openView(TDataSet which);
    void closeView(TDataSet which);
    void refreshView(TDataSet which);
    ITimer *makeTimer(int interval, bool singleShot);

    TOptions m_options;
    TGatewaySettings m_settings;
    int m_fileCom = 0; // COM as the file said: kept when the port came from --port
    QStringList m_ports;
    QPointer<TSMSPDUproc> m_modem;
    std::unique_ptr<TMessageStore> m_store;
    QMap<int, QPointer<TStoreView>> m_views;
    TOutgoingScheduler *m_scheduler = nullptr;
    TOutgoingQueue *m_queue = nullptr;
    TIncomingHandler *m_incoming = nullptr;
    std::unique_ptr<ISoundPlayer> m_ownSounds;
    ITimer *m_connTimer = nullptr;
    ITimer *m_sendTimer = nullptr;
    ITimer *m_csqTimer = nullptr;
    bool m_eventsConnected = false;
    bool m_setUpDone = false;
    bool m_closed = false;
};

} // namespace Gateway
