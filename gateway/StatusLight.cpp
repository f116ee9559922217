#include "StatusLight.h"

#include <QPainter>

namespace Gateway {

TStatusLight::TStatusLight(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(sizeHint());
    setToolTip(QStringLiteral("工作状态"));
}

void TStatusLight::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void TStatusLight::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_color);
    p.drawEllipse(rect().adjusted(1, 1, -1, -1));
}

} // namespace Gateway
