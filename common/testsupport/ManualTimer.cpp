#include "ManualTimer.h"

bool TManualTimer::fire()
{
    if (!m_active)
        return false;
    if (m_singleShot)
        m_active = false;
    Q_EMIT timeout();
    return true;
}

TTimerFactory TManualTimers::factory()
{
    return [this](QObject *parent) -> ITimer * {
        auto *t = new TManualTimer(parent);
        m_timers.append(t);
        return t;
    };
}

TManualTimer *TManualTimers::byInterval(int ms, int n) const
{
    for (const auto &t : m_timers) {
        if (t && t->interval() == ms && n-- == 0)
            return t.data();
    }
    return nullptr;
}

void TManualTimers::advance(int ms, int ticks) const
{
    for (int i = 0; i < ticks; ++i) {
        const auto timers = m_timers; // a tick may create timers
        for (const auto &t : timers) {
            if (t && t->interval() == ms)
                t->fire();
        }
    }
}
