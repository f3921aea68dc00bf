// Runs a callback with a widget's new size each time the widget is resized: for
// children placed by hand that must keep to an edge (a line along the top, a logo at
// the right end). Owned by the widget.
#pragma once

#include <QEvent>
#include <QObject>
#include <QSize>
#include <QWidget>
#include <functional>
#include <utility>

class ResizeFollower final : public QObject {
public:
    ResizeFollower(QWidget* widget, std::function<void(QSize)> onResize)
        : QObject(widget), onResize_(std::move(onResize))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            onResize_(static_cast<QWidget*>(watched)->size());
        return false;
    }

private:
    std::function<void(QSize)> onResize_;
};
