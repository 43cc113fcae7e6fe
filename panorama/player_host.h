#pragma once
// The player's clock, loop, timers, message boxes and paths, reached by name through the host
// object it publishes on the application. A library loaded by another program finds no host and
// falls back on Qt's own (real time, QMessageBox, the path as given).

#include <QObject>
#include <QString>

namespace tv::pano {

namespace host {

double now();
void doEvents();
void sleep(double ms);
// A timer owned by parent: properties Interval and Enabled, signal Timer().
QObject* newTimer(QObject* parent);
int msgBox(const QString& prompt, int buttons, const QString& title);
QString localPath(const QString& path);

} // namespace host

// The classic MsgBox flags the control uses.
inline constexpr int kCriticalIcon = 16;

// The stand-in timer when no player hosts the library.
class QtTimer : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Interval READ interval WRITE setInterval)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)

public:
    explicit QtTimer(QObject* parent);
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

signals:
    void Timer();

protected:
    void timerEvent(QTimerEvent*) override;

private:
    void restart();
    int interval_ = 0;
    bool enabled_ = false;
    int id_ = 0;
};

} // namespace tv::pano
