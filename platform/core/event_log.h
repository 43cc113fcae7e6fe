#pragma once
// The event log of automated runs: one event a line ("frame Hall", "msgbox Title|Text|OK", ...).
// Line breaks inside texts are written as \n so that every event stays on one line.

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace tv {

class EventLog {
public:
    static EventLog& instance();

    // "-" writes to standard output; empty closes the log (lines are still kept in memory).
    bool open(const QString& target);
    void write(const QString& line);

    // Every line written so far; automation reads it for its expectations.
    const QStringList& lines() const { return lines_; }

    static QString escape(const QString& text);

private:
    EventLog() = default;
    std::unique_ptr<QFile> file_;
    QStringList lines_;
};

} // namespace tv
