#include "platform/core/dialogs.h"

#include "platform/core/event_log.h"

#include <cstdio>

namespace tv {

DialogService& DialogService::instance() {
    static DialogService service;
    return service;
}

QStringList DialogService::buttonCaptions(int flags) {
    switch (flags & 7) {
    case mb::OKCancel:
        return {"OK", "Cancel"};
    case mb::AbortRetryIgnore:
        return {"Abort", "Retry", "Ignore"};
    case mb::YesNoCancel:
        return {"Yes", "No", "Cancel"};
    case mb::YesNo:
        return {"Yes", "No"};
    case mb::RetryCancel:
        return {"Retry", "Cancel"};
    default:
        return {"OK"};
    }
}

int DialogService::resultForCaption(const QString& caption) {
    static const QStringList names = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    for (int i = 1; i < names.size(); ++i)
        if (names[i].compare(caption, Qt::CaseInsensitive) == 0) return i;
    return 0;
}

int DialogService::defaultButtonIndex(int flags) {
    return std::min<int>((flags >> 8) & 3, buttonCaptions(flags).size() - 1);
}

QString DialogService::captionForResult(int result) {
    static const QStringList names = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    return result > 0 && result < names.size() ? names[result] : QString();
}

namespace {
// No window system: the box goes to standard error, so that a tool's message is not lost.
void printBox(const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(),
                 QString(text).replace("\r\n", "\n").toLocal8Bit().constData());
}
} // namespace

int DialogService::msgBox(const QString& text, int flags, const QString& title) {
    const QStringList buttons = buttonCaptions(flags);
    int result = resultForCaption(buttons[defaultButtonIndex(flags)]);
    if (automated_) {
        if (!answers_.empty()) {
            const int wanted = resultForCaption(answers_.front());
            answers_.pop_front();
            if (wanted != 0) result = wanted;
        }
    } else if (presenter_) {
        result = presenter_->msgBox(text, flags, title);
    } else {
        printBox(title, text);
    }
    EventLog::instance().write(
        QStringLiteral("msgbox %1|%2|%3").arg(title, text, captionForResult(result)));
    return result;
}

std::optional<QString> DialogService::inputBox(const QString& prompt, const QString& title,
                                               const QString& defaultText) {
    std::optional<QString> answer = defaultText;
    if (automated_) {
        if (!inputs_.empty()) {
            answer = inputs_.front();
            inputs_.pop_front();
        }
    } else if (presenter_) {
        answer = presenter_->inputBox(prompt, title, defaultText);
    } else {
        printBox(title, prompt);
    }
    EventLog::instance().write(
        QStringLiteral("inputbox %1|%2|%3").arg(title, prompt, answer.value_or(QString())));
    return answer;
}

} // namespace tv
