#pragma once
// Message boxes and input boxes as real windows, for the dialog service.

#include "platform/core/dialogs.h"

namespace tv {

class QtDialogPresenter : public DialogPresenter {
public:
    int msgBox(const QString& text, int flags, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
};

} // namespace tv
