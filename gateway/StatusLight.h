#pragma once
// The round status light of the send page.

#include <QColor>
#include <QWidget>

namespace Gateway {

class TStatusLight final : public QWidget {
    Q_OBJECT
public:
    explicit TStatusLight(QWidget *parent = nullptr);
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    QSize sizeHint() const override { return { 20, 20 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color { 255, 0, 0 };
};

} // namespace Gateway
