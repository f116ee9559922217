#pragma once
// A timer that only fires when a test says so.

#include "Timer.h"

#include <QList>
#include <QPointer>

class TManualTimer final : public ITimer
{
    Q_OBJECT
public:
    using ITimer::ITimer;
    void setInterval(int ms) override { m_interval = ms; }
    int interval() const override { return m_interval; }
    void setSingleShot(bool singleShot) override { m_singleShot = singleShot; }
    void start() override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    bool isSingleShot() const { return m_singleShot; }

    // One tick, only while running (as a real timer would).
    bool fire();

private:
    int m_interval = 0;
    bool m_singleShot = false;
    bool m_active = false;
};

// Keeps every timer it made, so a test can find them by interval.
class TManualTimers
{
public:
    TTimerFactory factory();
    // The timer of that interval made as the n-th of its kind (0 = first); null when none.
    TManualTimer *byInterval(int ms, int n = 0) const;
    // Fires every running timer of that interval `ticks` times.
    void advance(int ms, int ticks = 1) const;

private:
    QList<QPointer<TManualTimer>> m_timers;
};
