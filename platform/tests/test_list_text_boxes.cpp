// The list and text boxes of the player's own dialogs.

#include "platform/control_inputs.h"
#include "platform/core/errors.h"
#include "platform/tests/qt_app.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

class BoxesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        form_ = std::make_unique<Form>("frmTest");
        form_->setInnerSize(300 * 15, 200 * 15);
        list_ = new ListBox(form_.get(), "List1");
        list_->Move(10 * 15, 10 * 15, 150 * 15, 120 * 15);
        text_ = new TextBox(form_.get(), "Text1");
        text_->Move(10 * 15, 150 * 15, 150 * 15, 24 * 15);
        form_->Show();
        QApplication::processEvents();
    }

    int errorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const VbError& e) {
            return e.number();
        }
        return 0;
    }

    std::unique_ptr<Form> form_;
    ListBox* list_ = nullptr;
    TextBox* text_ = nullptr;
};

TEST_F(BoxesTest, AListKeepsItsEntriesWhereTheyWereAddedAndRefusesPlacesItHasNot) {
    list_->AddItem("b");
    list_->AddItem("c");
    list_->AddItem("a", 0);
    list_->AddItem("d", 3);
    ASSERT_EQ(list_->listCount(), 4);
    EXPECT_EQ(list_->List(0), "a");
    EXPECT_EQ(list_->List(3), "d");
    EXPECT_EQ(list_->listIndex(), -1) << "nothing is chosen until someone chooses";
    EXPECT_EQ(list_->text(), "");

    EXPECT_EQ(errorOf([&] { list_->AddItem("x", 5); }), err::InvalidCall);
    EXPECT_EQ(errorOf([&] { (void)list_->List(4); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { list_->setListIndex(4); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { list_->RemoveItem(-1); }), err::InvalidCall);

    list_->RemoveItem(1);
    EXPECT_EQ(list_->List(1), "c");
    list_->Clear();
    EXPECT_EQ(list_->listCount(), 0);
}

TEST_F(BoxesTest, ChoosingAnEntryRaisesClickAndADoubleClickRaisesDblClick) {
    for (const char* name : {"Morning", "Noon", "Night"})
        list_->AddItem(name);
    int clicks = 0, doubles = 0;
    QObject::connect(list_, &ListBox::Click, [&] { ++clicks; });
    QObject::connect(list_, &ListBox::DblClick, [&] { ++doubles; });
    list_->setListIndex(2);
    EXPECT_EQ(list_->text(), "Night");
    EXPECT_EQ(clicks, 1) << "a choice made by code is a click too";

    auto* view = static_cast<QListWidget*>(list_->inner());
    const QPoint second = view->visualItemRect(view->item(1)).center();
    test::click(view->viewport(), second);
    EXPECT_EQ(list_->listIndex(), 1);
    EXPECT_EQ(clicks, 2);
    test::mouse(view->viewport(), QEvent::MouseButtonDblClick, second);
    EXPECT_EQ(doubles, 1);
    list_->setListIndex(-1);
    EXPECT_EQ(list_->text(), "");
}

TEST_F(BoxesTest, TypingAfterSetFocusReplacesTheText) {
    int changes = 0;
    QObject::connect(text_, &TextBox::Change, [&] { ++changes; });
    text_->setText("old name");
    EXPECT_EQ(changes, 1);
    text_->SetFocus();
    auto* field = static_cast<QLineEdit*>(text_->inner());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_N, Qt::NoModifier, "n");
    QApplication::sendEvent(field, &press);
    EXPECT_EQ(text_->text(), "n");
    EXPECT_EQ(changes, 2);
}

} // namespace
} // namespace tv
