#pragma once
// Timers behind an interface, so that tests fire them by hand instead of sleeping.

#include <QObject>
#include <functional>

class QTimer;

class ITimer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setSingleShot(bool singleShot) = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Delphi-style switch: true starts a stopped timer (a running one keeps its phase).
    void setEnabled(bool on);

Q_SIGNALS:
    void timeout();
};

class TQtTimer final : public ITimer
{
    Q_OBJECT
public:
    explicit TQtTimer(QObject *parent = nullptr);
    void setInterval(int ms) override;
    int interval() const override;
    void setSingleShot(bool singleShot) override;
    void start() override;
    void stop() override;
    bool isActive() const override;

private:
    QTimer *m_timer;
};

// Makes the timers of a component; the default makes QTimer-backed ones.
using TTimerFactory = std::function<ITimer *(QObject *parent)>;
TTimerFactory QtTimerFactory();
