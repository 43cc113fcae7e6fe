#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {
QString lastLine() {
    return EventLog::instance().lines().value(EventLog::instance().lines().size() - 1);
}

} // namespace

TEST(Dialogs, AutomatedBoxesTakeQueuedAnswersElseTheDefaultButton) {
    auto& dialogs = DialogService::instance();
    dialogs.setAutomated(true);
    EXPECT_EQ(dialogs.msgBox("Line 1\r\nLine 2", mb::OKOnly | mb::Critical, "Error"), mb::OK);
    EXPECT_EQ(lastLine(), "msgbox Error|Line 1\\nLine 2|OK");
    EXPECT_EQ(dialogs.msgBox("Quit?", mb::YesNo | mb::DefaultButton2, "Game"), mb::No);
    EXPECT_EQ(lastLine(), "msgbox Game|Quit?|No");
    dialogs.queueAnswer("yes");
    EXPECT_EQ(dialogs.msgBox("Quit?", mb::YesNo | mb::DefaultButton2, "Game"), mb::Yes);
    dialogs.queueAnswer("Retry");
    EXPECT_EQ(dialogs.msgBox("Again?", mb::RetryCancel, "T"), mb::Retry);
    EXPECT_EQ(lastLine(), "msgbox T|Again?|Retry");

    EXPECT_EQ(dialogs.inputBox("Name?", "T", "Bob").value(), "Bob");
    EXPECT_EQ(lastLine(), "inputbox T|Name?|Bob");
    dialogs.queueInput(QString("Alice"));
    dialogs.queueInput(std::nullopt);
    EXPECT_EQ(dialogs.inputBox("Name?", "T").value(), "Alice");
    EXPECT_FALSE(dialogs.inputBox("Name?", "T").has_value());
    EXPECT_EQ(lastLine(), "inputbox T|Name?|");
}

TEST(Dialogs, ButtonSetsAndResults) {
    EXPECT_EQ(DialogService::buttonCaptions(mb::YesNoCancel), (QStringList{"Yes", "No", "Cancel"}));
    EXPECT_EQ(DialogService::buttonCaptions(mb::AbortRetryIgnore | mb::Exclamation).size(), 3);
    EXPECT_EQ(DialogService::resultForCaption("Ignore"), mb::Ignore);
    EXPECT_EQ(DialogService::captionForResult(mb::No), "No");
    EXPECT_EQ(DialogService::resultForCaption("Maybe"), 0);
}
