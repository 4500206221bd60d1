#pragma once

#include <QEvent>
#include <QList>
#include <QWidget>

namespace kpx::test {

// A window whose native window tests can destroy and create again, and which
// logs the events that reach its own handling.
class TTestForm : public QWidget
{
public:
    using QWidget::QWidget;
    using QWidget::create;
    using QWidget::destroy;

    QList<QEvent::Type> Received;
    // The one event type that this widget reports as handled.
    QEvent::Type Handles = QEvent::None;

protected:
    bool event(QEvent *event) override
    {
        Received.append(event->type());
        QWidget::event(event);
        return event->type() == Handles;
    }
};

} // namespace kpx::test
