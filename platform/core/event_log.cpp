#include "platform/core/event_log.h"

#include <cstdio>

namespace tv {

EventLog& EventLog::instance() {
    static EventLog log;
    return log;
}

bool EventLog::open(const QString& target) {
    file_.reset();
    if (target.isEmpty()) return true;
    auto file = std::make_unique<QFile>();
    bool ok;
    if (target == "-") {
        ok = file->open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        file->setFileName(target);
        ok = file->open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    if (!ok) return false;
    file_ = std::move(file);
    return true;
}

QString EventLog::escape(const QString& text) {
    QString out = text;
    out.replace("\r\n", "\\n");
    out.replace('\r', "\\n");
    out.replace('\n', "\\n");
    return out;
}

void EventLog::write(const QString& line) {
    const QString escaped = escape(line);
    lines_.append(escaped);
    if (file_) {
        file_->write(escaped.toUtf8() + '\n');
        file_->flush();
    }
}

} // namespace tv
