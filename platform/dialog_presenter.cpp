#include "platform/dialog_presenter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tv {

int QtDialogPresenter::msgBox(const QString& text, int flags, const QString& title) {
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
    const QStringList captions = DialogService::buttonCaptions(flags);
    QList<QPushButton*> pushButtons;
    for (const QString& caption : captions) {
        const int result = DialogService::resultForCaption(caption);
        const auto role = (result == mb::Cancel || result == mb::No) ? QMessageBox::RejectRole
                                                                     : QMessageBox::AcceptRole;
        pushButtons.append(box.addButton(caption, role));
    }
    const int defaultIndex = DialogService::defaultButtonIndex(flags);
    box.setDefaultButton(pushButtons[defaultIndex]);
    box.exec();
    const int clicked = pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    // Closing the box without a button counts as Cancel where there is one, else the default.
    if (clicked < 0) {
        return captions.contains("Cancel")
                   ? mb::Cancel
                   : DialogService::resultForCaption(captions[defaultIndex]);
    }
    return DialogService::resultForCaption(captions[clicked]);
}

std::optional<QString> QtDialogPresenter::inputBox(const QString& prompt, const QString& title,
                                                   const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

} // namespace tv
