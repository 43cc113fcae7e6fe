#include "data/reports.h"

#include "data/ui_texts.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"

namespace tv {

void standardErrorReport(const QString& detail) {
    const UiTexts& t = uiTexts();
    DialogService::instance().msgBox(t[30] + "\r\n\r\n" + t[31] + detail, mb::Critical, t[29]);
}

void standardErrorReport(const QString& detail, const VbError& error) {
    standardErrorReport(detail + errorText(error));
}

namespace {
QString& title() {
    static QString t;
    return t;
}
} // namespace

void setGameTitle(const QString& t) {
    title() = t;
}
const QString& gameTitle() {
    return title();
}

} // namespace tv
