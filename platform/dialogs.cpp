#include "platform/dialogs.h"

#include "platform/event_log.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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

QString DialogService::captionForResult(int result) {
    static const QStringList names = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    return result > 0 && result < names.size() ? names[result] : QString();
}

int DialogService::msgBox(const QString& text, int flags, const QString& title) {
    const QStringList buttons = buttonCaptions(flags);
    const int defaultIndex = std::min<int>((flags >> 8) & 3, buttons.size() - 1);
    int result = resultForCaption(buttons[defaultIndex]);
    if (automated_) {
        if (!answers_.empty()) {
            const int wanted = resultForCaption(answers_.front());
            answers_.pop_front();
            if (wanted != 0) result = wanted;
        }
    } else {
        result = askUser(text, flags, title);
    }
    EventLog::instance().write(
        QStringLiteral("msgbox %1|%2|%3").arg(title, text, captionForResult(result)));
    return result;
}

int DialogService::askUser(const QString& text, int flags, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    switch (flags & 0x70) {
    case mb::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case mb::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case mb::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case mb::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    const QStringList captions = buttonCaptions(flags);
    QList<QPushButton*> pushButtons;
    for (const QString& caption : captions) {
        const int result = resultForCaption(caption);
        const auto role = (result == mb::Cancel || result == mb::No) ? QMessageBox::RejectRole
                                                                     : QMessageBox::AcceptRole;
        pushButtons.append(box.addButton(caption, role));
    }
    const int defaultIndex = std::min<int>((flags >> 8) & 3, pushButtons.size() - 1);
    box.setDefaultButton(pushButtons[defaultIndex]);
    box.exec();
    const int clicked = pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    // Closing the box without a button counts as Cancel where there is one, else the default.
    if (clicked < 0) {
        return captions.contains("Cancel") ? mb::Cancel : resultForCaption(captions[defaultIndex]);
    }
    return resultForCaption(captions[clicked]);
}

std::optional<QString> DialogService::inputBox(const QString& prompt, const QString& title,
                                               const QString& defaultText) {
    std::optional<QString> answer = defaultText;
    if (automated_) {
        if (!inputs_.empty()) {
            answer = inputs_.front();
            inputs_.pop_front();
        }
    } else {
        bool ok = false;
        const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                                   QLineEdit::Normal, defaultText, &ok);
        answer = ok ? std::optional<QString>(text) : std::nullopt;
    }
    EventLog::instance().write(
        QStringLiteral("inputbox %1|%2|%3").arg(title, prompt, answer.value_or(QString())));
    return answer;
}

} // namespace tv
