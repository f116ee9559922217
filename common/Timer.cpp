#include "Timer.h"

#include <QTimer>

void ITimer::setEnabled(bool on)
{
    if (on && !isActive())
        start();
    else if (!on)
        stop();
}

TQtTimer::TQtTimer(QObject *parent) : ITimer(parent), m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &ITimer::timeout);
}

void TQtTimer::setInterval(int ms) { m_timer->setInterval(ms); }
int TQtTimer::interval() const { return m_timer->interval(); }
void TQtTimer::setSingleShot(bool singleShot) { m_timer->setSingleShot(singleShot); }
void TQtTimer::start() { m_timer->start(); }
void TQtTimer::stop() { m_timer->stop(); }
bool TQtTimer::isActive() const { return m_timer->isActive(); }

TTimerFactory QtTimerFactory()
{
    return [](QObject *parent) -> ITimer * { return new TQtTimer(parent); };
}
