#include "widgets/DimmingLayer.h"

#include <QEvent>
#include <QPainter>

namespace {
constexpr QColor dimmingColor(0, 0, 0, 90);
}

DimmingLayer::DimmingLayer(QWidget *covered)
    : QWidget(covered)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(covered->rect());
    covered->installEventFilter(this);
    hide();
}

void DimmingLayer::hold()
{
    if (m_holds++ == 0) {
        setGeometry(parentWidget()->rect());
        raise();
        show();
    }
}

void DimmingLayer::release()
{
    if (m_holds > 0 && --m_holds == 0)
        hide();
}

bool DimmingLayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void DimmingLayer::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), dimmingColor);
}
