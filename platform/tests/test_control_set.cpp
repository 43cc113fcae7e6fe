#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/tests/qt_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

Picture solid(QSize size, QRgb color) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return Picture(image);
}

class ControlSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        form_ = std::make_unique<Form>("Game");
        form_->setInnerSize(300 * 15, 200 * 15);
        box_ = new PictureBox(form_.get(), "PictureBox");
        box_->Move(0, 0, 300 * 15, 200 * 15);
        templ_ = new ImageBox(box_, "Area");
        templ_->setVisible(false);
        area_ = std::make_unique<ControlSet<ImageBox>>(templ_);
    }

    QPoint inWindow(Control& c, QPoint local) const {
        return c.widget()->mapTo(form_->widget(), local);
    }

    std::unique_ptr<Form> form_;
    PictureBox* box_ = nullptr;
    ImageBox* templ_ = nullptr;
    std::unique_ptr<ControlSet<ImageBox>> area_;
};

TEST_F(ControlSetTest, LoadCopiesTheTemplateButStartsHidden) {
    templ_->setVisible(true);
    templ_->setStretch(true);
    templ_->setPicture(solid({8, 8}, 0xFFFF0000));
    templ_->Move(150, 300, 450, 600);
    templ_->setTag("tag");
    templ_->setToolTipText("tip");
    templ_->setMousePointer(99);
    templ_->setMouseIcon(solid({16, 16}, 0xFF00FF00));
    templ_->setDragIcon(solid({4, 4}, 0xFF0000FF));
    templ_->setWhatsThisHelpId(7);
    templ_->setEnabled(false);

    area_->Load(1);
    ImageBox& e = (*area_)(1);
    EXPECT_NE(&e, templ_);
    EXPECT_EQ(e.name(), QStringLiteral("Area"));
    EXPECT_EQ(e.index(), 1);
    EXPECT_EQ(templ_->index(), 0);
    EXPECT_FALSE(e.isVisible());
    EXPECT_EQ(e.container(), box_);
    EXPECT_TRUE(e.stretch());
    EXPECT_EQ(e.picture(), templ_->picture());
    EXPECT_EQ(e.widget()->geometry(), QRect(10, 20, 30, 40));
    EXPECT_EQ(e.tag(), QStringLiteral("tag"));
    EXPECT_EQ(e.toolTipText(), QStringLiteral("tip"));
    EXPECT_EQ(e.mousePointer(), 99);
    EXPECT_EQ(e.mouseIcon(), templ_->mouseIcon());
    EXPECT_EQ(e.widget()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(e.dragIcon(), templ_->dragIcon());
    EXPECT_EQ(e.whatsThisHelpId(), 7);
    EXPECT_FALSE(e.isEnabled());
}

TEST_F(ControlSetTest, LabelElementsCopyFontsColoursAndCaption) {
    auto* text = new Label(box_, "Text");
    text->setVisible(false);
    text->setFontName("Times New Roman");
    text->setFontSize(14);
    text->setFontItalic(true);
    text->setBackStyle(0);
    text->setForeColor(0x00FF00);
    text->setAutoSize(true);
    text->setCaption("template");
    ControlSet<Label> texts(text);
    texts.Load(1);
    Label& e = texts(1);
    EXPECT_EQ(e.fontName(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(e.fontSize(), 14);
    EXPECT_TRUE(e.fontItalic());
    EXPECT_EQ(e.backStyle(), 0);
    EXPECT_EQ(e.foreColor(), 0x00FF00u);
    EXPECT_TRUE(e.autoSize());
    EXPECT_EQ(e.caption(), QStringLiteral("template"));
    EXPECT_EQ(e.widget()->size(), text->widget()->size());
    // The element sizes itself to its own caption from then on.
    e.setCaption("a much longer caption than the template's");
    EXPECT_GT(e.widget()->width(), text->widget()->width());
}

TEST_F(ControlSetTest, ClassicErrors) {
    area_->Load(2);
    EXPECT_EQ(errorOf([&] { area_->Load(2); }), err::ObjectAlreadyLoaded);
    EXPECT_EQ(errorOf([&] { area_->Load(0); }), err::ObjectAlreadyLoaded);
    EXPECT_EQ(errorOf([&] { area_->Load(-1); }), err::ControlArrayElementDoesNotExist);
    EXPECT_EQ(errorOf([&] { area_->Unload(0); }), 362);
    EXPECT_EQ(errorOf([&] { area_->Unload(1); }), err::ControlArrayElementDoesNotExist);
    EXPECT_EQ(errorOf([&] { area_->at(1); }), err::ControlArrayElementDoesNotExist);
    EXPECT_EQ(errorOf([&] { area_->Item(5); }), err::ControlArrayElementDoesNotExist);
    EXPECT_EQ(area_->find(1), nullptr);
    area_->Unload(2);
    EXPECT_EQ(errorOf([&] { area_->Unload(2); }), err::ControlArrayElementDoesNotExist);
}

TEST_F(ControlSetTest, BoundsCountAndIterationInIndexOrder) {
    for (int i : {3, 1, 5})
        area_->Load(i);
    EXPECT_EQ(area_->count(), 4);
    EXPECT_EQ(area_->lbound(), 0);
    EXPECT_EQ(area_->ubound(), 5);
    EXPECT_TRUE(area_->exists(3));
    EXPECT_FALSE(area_->exists(2));
    std::vector<int> seen;
    for (ImageBox& e : *area_)
        seen.push_back(e.index());
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 3, 5}));

    // Unloading from the top down, as the frame reset does.
    for (int i = area_->ubound(); i >= 1; --i)
        if (area_->exists(i)) area_->Unload(i);
    EXPECT_EQ(area_->count(), 1);
    EXPECT_EQ(area_->ubound(), 0);
    EXPECT_EQ(box_->controls().size(), 1);

    // Late-bound access.
    EXPECT_EQ(area_->property("Count").toInt(), 1);
    QObject* item = nullptr;
    EXPECT_TRUE(QMetaObject::invokeMethod(area_.get(), "Item", Q_RETURN_ARG(QObject*, item),
                                          Q_ARG(int, 0)));
    EXPECT_EQ(item, templ_);
    EXPECT_TRUE(QMetaObject::invokeMethod(area_.get(), "Load", Q_ARG(int, 4)));
    EXPECT_TRUE(area_->exists(4));
}

TEST_F(ControlSetTest, EventsOfElementsLoadedLaterCarryTheirIndex) {
    test::SignalSpy downs(area_.get(), &ControlSetBase::MouseDown);
    test::SignalSpy clicks(area_.get(), &ControlSetBase::Click);
    form_->Show();
    for (int i = 1; i <= 2; ++i) {
        area_->Load(i);
        ImageBox& e = area_->at(i);
        e.setStretch(true);
        e.Move(i * 50 * 15, 0, 30 * 15, 30 * 15);
        e.setVisible(true);
    }
    test::mouse(form_->widget(), QEvent::MouseButtonPress, inWindow(area_->at(2), {4, 6}),
                Qt::RightButton);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs[0][0].toInt(), 2);
    EXPECT_EQ(downs[0][1].toInt(), 2);
    EXPECT_DOUBLE_EQ(downs[0][3].toDouble(), 60);
    EXPECT_DOUBLE_EQ(downs[0][4].toDouble(), 90);
    test::click(form_->widget(), inWindow(area_->at(1), {1, 1}));
    EXPECT_EQ(downs.last()[0].toInt(), 1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 1);

    // An unloaded element's index can be loaded again; the new one reports it too.
    area_->Unload(2);
    area_->Load(2);
    area_->at(2).setStretch(true);
    area_->at(2).Move(200 * 15, 0, 30 * 15, 30 * 15);
    area_->at(2).setVisible(true);
    test::mouse(form_->widget(), QEvent::MouseButtonPress, inWindow(area_->at(2), {1, 1}));
    EXPECT_EQ(downs.count(), 3);
    EXPECT_EQ(downs.last()[0].toInt(), 2);
}

TEST_F(ControlSetTest, ConnectEachReachesPresentAndFutureElements) {
    area_->Load(1);
    std::vector<int> hooked;
    area_->connectEach([&](ImageBox& e, int index) {
        EXPECT_EQ(e.index(), index);
        hooked.push_back(index);
    });
    EXPECT_EQ(hooked, (std::vector<int>{0, 1}));
    test::SignalSpy loaded(area_.get(), &ControlSetBase::Loaded);
    area_->Load(7);
    EXPECT_EQ(hooked, (std::vector<int>{0, 1, 7}));
    EXPECT_EQ(loaded.count(), 1);
}

TEST_F(ControlSetTest, AnElementMayUnloadTheWholeSetFromItsOwnEvent) {
    // A click on a hotspot opens another frame, which unloads every hotspot, the clicked one too,
    // and loads the new ones under the same indices.
    form_->Show();
    for (int i = 1; i <= 3; ++i) {
        area_->Load(i);
        area_->at(i).setStretch(true);
        area_->at(i).Move(i * 50 * 15, 0, 30 * 15, 30 * 15);
        area_->at(i).setVisible(true);
    }
    QPointer<ImageBox> clicked = area_->find(2);
    int handled = 0;
    QObject::connect(area_.get(), &ControlSetBase::MouseDown, [&](int index) {
        ++handled;
        EXPECT_EQ(index, 2);
        for (int i = area_->ubound(); i >= 1; --i)
            area_->Unload(i);
        area_->Load(1);
        area_->Load(2);
    });
    test::click(form_->widget(), inWindow(*clicked, {2, 2}));
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(area_->ubound(), 2);
    EXPECT_NE(area_->find(2), clicked.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(clicked.isNull());
    EXPECT_EQ(box_->controls().size(), 3);
}

TEST_F(ControlSetTest, NewElementsLieAboveOlderOnes) {
    form_->Show();
    for (int i = 1; i <= 2; ++i) {
        area_->Load(i);
        area_->at(i).setStretch(true);
        area_->at(i).Move(0, 0, 30 * 15, 30 * 15);
        area_->at(i).setVisible(true);
    }
    const QPoint at = inWindow(area_->at(1), {5, 5});
    EXPECT_EQ(form_->widget()->childAt(at), area_->at(2).widget());
    area_->at(1).ZOrder(0);
    EXPECT_EQ(form_->widget()->childAt(at), area_->at(1).widget());
}

TEST_F(ControlSetTest, TheSetFreesWhatItLoadedButNotTheTemplate) {
    area_->Load(1);
    QPointer<ImageBox> element = area_->find(1);
    area_.reset();
    EXPECT_TRUE(element.isNull());
    EXPECT_EQ(box_->controls(), QList<Control*>{templ_});
    // A set whose elements went with their container survives that.
    ControlSet<ImageBox> again(templ_);
    again.Load(1);
    delete box_;
    EXPECT_FALSE(again.exists(1));
    EXPECT_EQ(again.count(), 0);
    EXPECT_EQ(errorOf([&] { again.Load(2); }), err::ControlArrayElementDoesNotExist);
}

} // namespace
} // namespace tv
