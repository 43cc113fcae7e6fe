#pragma once
// What the player offers component libraries beyond creating their controls: its clock, its
// loop and its timers (the application's property "tvComponentHost"), and conversions of its
// pictures to Qt's images and cursors. A component knows these only through Qt, by name; the
// component interface header describes them for library authors.

#include <QObject>

namespace tv {

class ComponentHost : public QObject {
    Q_OBJECT

public:
    // Publishes the host on the application and registers the picture conversions; idempotent.
    static void publish();

    // The player's clock, in milliseconds.
    Q_INVOKABLE double now() const;
    // The classic DoEvents.
    Q_INVOKABLE void doEvents();
    // Lets time pass while processing events (instant under virtual time).
    Q_INVOKABLE void wait(double ms);
    // Lets time pass without processing anything.
    Q_INVOKABLE void sleep(double ms);
    // A timer of the player's loop, owned by `parent`: properties Interval (ms) and Enabled,
    // signal Timer().
    Q_INVOKABLE QObject* newTimer(QObject* parent);
    // The classic MsgBox through the player's message service (logged, answered by
    // walkthroughs); returns the button chosen.
    Q_INVOKABLE int msgBox(const QString& prompt, int buttons, const QString& title);
    // A path as a game's script writes it (Windows separators, any case, drive letters) on this
    // file system.
    Q_INVOKABLE QString localPath(const QString& path) const;

private:
    ComponentHost() = default;
};

} // namespace tv
