#pragma once
// The classic Timer control: fires its Timer event every Interval milliseconds while Enabled.
// Scheduled by the platform loop against the one Clock, not by a QTimer of its own.

#include "platform/event_loop.h"

#include <QObject>
#include <QString>

namespace tv {

class TimerControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(int Interval READ interval WRITE setInterval)
    Q_PROPERTY(QString Tag READ tag WRITE setTag)
    Q_PROPERTY(QString Name READ objectName)
    Q_PROPERTY(int Index READ index)
public:
    // The classic control takes intervals from 0 to 65,535 ms.
    static constexpr int kMaxInterval = 65535;

    explicit TimerControl(const QString& name = {}, QObject* parent = nullptr, int index = -1);
    ~TimerControl() override;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int interval() const { return interval_; }
    // Out of range: "Invalid property value" (380), the interval unchanged.
    void setInterval(qint64 ms);
    const QString& tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    int index() const { return index_; }

    // Copies the design-time properties of a template element (for indexed timer sets).
    void copyFrom(const TimerControl& other);

signals:
    void Timer();

private:
    void reschedule();
    void fire();

    bool enabled_ = false;
    int interval_ = 0;
    QString tag_;
    int index_;
    EventLoop::DeadlineId pending_ = 0;
    bool firing_ = false;
};

} // namespace tv
