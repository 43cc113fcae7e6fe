// The inventory in whole games: items picked up from hotspots, actions and scripts, the strip and
// its slide, items dragged onto hotspots and onto each other.

#include "e2e_harness.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace e2e;
using tv::ActionRecord;
using tv::RecordValue;

namespace {

constexpr quint32 kGrey = 0x808080; // the frames' colour (the same in either byte order)
const QString kGreyPixel = "808080";
const QString kStripPixel = "202830"; // the strip's own colour
const QString kButtonInk = "C8A870";  // the built-in button's border

ActionRecord givesItem(const QString& item) {
    ActionRecord a;
    a.PickUpItem = true;
    a.ItemName = item;
    return a;
}

// The action's own code: its procedure call, stored with a vertical bar for each double quote.
ActionRecord withCode(ActionRecord a, const QString& code) {
    a.CallProcedure = true;
    a.ProcedureCall = RecordValue::ofString(QString(code).replace('"', '|'));
    return a;
}

QString screenshot(const TestProject& p, const QString& name) {
    return QFileInfo(p.root()).dir().filePath(name);
}

// The rows of column x, from the top, that show the strip's colour without a break.
int stripRowsShown(const QImage& shot, int x) {
    int y = 0;
    while (y < shot.height() && (shot.pixel(x, y) & 0xFFFFFF) == 0x202830)
        ++y;
    return y;
}

} // namespace

TEST(Inventory, PickUpsActionsAndScriptsAddItemsInOrderAndTheStripPopsUp) {
    TestProject p; // 320 x 200: seven columns of icons
    p.writeFrame("Start", colourFrame(kGrey));
    p.writeHotspots("Start", {hotspotAt(1, 0, 120, 40, 40), hotspotAt(2, 50, 120, 40, 40),
                              hotspotAt(3, 100, 120, 40, 40), hotspotAt(4, 150, 120, 40, 40)});
    p.writeActions("Start", {noAction(), noAction(), noAction(), givesItem("rope")});
    // Hotspot 2's record gives nothing: its flag is not 1.
    p.writePickUps("Start", {pickUp(1, "key"), pickUp(2, ""), pickUp(3, "coin")});
    p.addItem("key", 0xFF0000);
    p.addItem("coin", 0xFFFF00);
    p.addItem("rope", 0x00FF00);
    p.addItem("gem", 0x0000FF);
    const RunResult r = p.play(
        // No item, no button.
        "expect pixel 0 0 " + kGreyPixel +
        "\n"
        "click 10 130\n"
        "expect log item add key\n"
        // The strip slid open before the click was done, and the button is there.
        "expect pixel 26 26 FF0000\n"
        "wait 2500\n"
        // Two seconds after the pop-up the strip went up again.
        "expect pixel 26 26 " +
        kGreyPixel +
        "\n"
        "expect pixel 0 0 " +
        kButtonInk +
        "\n"
        "click 60 130\n"
        "click 110 130\n"
        "click 160 130\n"
        "expect pixel 110 26 00FF00\n"
        "exec AddItem \"gem\", True\n"
        "expect items key,coin,rope,gem\n"
        "expect log item add gem\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log.filter("item add").size(), 4) << show(r);
}

TEST(Inventory, ASecondRowOpensWhereTheLayoutSaysAndRemovalsShrinkTheStrip) {
    TestProject p;
    p.writeFrame("Start", colourFrame(kGrey));
    p.addItem("gem", 0x0000FF);
    p.addItem("key", 0xFF0000);
    const RunResult r = p.play(
        "exec For i = 1 To 7 : AddItem \"gem\", True : Next : AddItem \"key\", True\n"
        // Item 7 ends the first row (10 + 42 x 6 pixels); item 8 starts the second; the strip
        // holds two rows (10 + 42 x 2 pixels) and stays hidden above the window.
        "exec MsgBox InventoryItemObject(7).Left & \",\" & InventoryItemObject(8).Left & \",\" & "
        "InventoryItemObject(8).Top & \",\" & InventoryCanvasObject.Height & \",\" & "
        "InventoryCanvasObject.Top\n"
        "expect log |3930,150,780,1410,-1410|\n"
        // Removing item 2 of 8 shifts the later ones one place: the key is seventh, one row.
        "exec InventoryItemObject(2).Tag = \"moved\"\n"
        "exec RemoveItem \"moved\", False\n"
        "expect items gem,gem,gem,gem,gem,gem,key\n"
        "exec MsgBox InventoryItemObject(7).Left & \",\" & InventoryCanvasObject.Height & \",\" "
        "& InventoryItemObject.Count\n"
        "expect log |3930,780,8|\n"
        // Emptied one by one, the strip is one row high again, and the button goes.
        "exec AddItem \"key\", True : RemoveAllItems\n"
        "expect items\n"
        "exec MsgBox InventoryCanvasObject.Height & \",\" & InventoryButtonObject.Visible\n"
        "expect log |780,False|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Inventory, RemoveItemWalksFromTheLastItemAndComparesWithoutCase) {
    TestProject p;
    p.writeFrame("Start", colourFrame(kGrey));
    p.addItem("Key", 0xFF0000);
    p.addItem("coin", 0xFFFF00);
    const RunResult r = p.play("exec AddItem \"Key\", True : AddItem \"coin\", True\n"
                               "exec AddItem \"KEY\", True : AddItem \"coin\", True\n"
                               "exec RemoveItem \"key\", False\n"
                               "expect items Key,coin,coin\n"
                               "expect log item remove KEY\n"
                               "exec AddItem \"key\", True : AddItem \"key\", True\n"
                               "exec RemoveItem \"kEy\", True\n"
                               "expect items coin,coin\n"
                               "exec RemoveItem \"nothing\", True\n"
                               "expect items coin,coin\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Inventory, AnItemDroppedOnAHotspotRunsThatHotspotsItemActionOnly) {
    TestProject p;
    p.writeFrame("Start", colourFrame(kGrey));
    p.writeHotspots("Start", {hotspotAt(1, 200, 100, 60, 80), hotspotAt(2, 60, 100, 60, 80)});
    p.writeActions("Start", {noAction(), noAction()});
    ActionRecord open = setVariable("Door", false, true, false);
    open.Disappear = RecordValue::ofNumber(1); // the key is used up
    p.writeItemActions("Start", {usedOn(1, "Key",
                                        withCode(open, "MsgBox GetClickPositionX() & \",\" & "
                                                       "GetClickPositionY()"))});
    p.writeVariables({"Door"});
    p.addItem("key", 0xFF0000);
    const RunResult r = p.play("exec AddItem \"key\", True\n"
                               // The other hotspot has no action for the key.
                               "drag-item 1 90 140\n"
                               "expect variable Door 0\n"
                               "expect items key\n"
                               // Dragged over the frame, the strip went up.
                               "expect pixel 26 26 " +
                               kGreyPixel +
                               "\n"
                               "drag-item 1 230 140\n"
                               "expect variable Door 1\n"
                               "expect log item remove key\n"
                               "expect items\n"
                               "expect log |230,140|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Inventory, CombinationsRemoveAddAndRunScriptsAndNothingElseCombines) {
    TestProject p;
    p.writeFrame("Start", colourFrame(kGrey));
    p.writeVariables({"Mixed"});
    for (const char* name : {"a", "b", "c", "d", "ab", "e", "f"})
        p.addItem(name, 0x00FF00);
    p.addCombination("a", "b", combination(true, true, "ab"));
    p.addCombination("c", "ab", combination(false, false, {}, "Mixed.Value = 1"));
    p.addCombination("d", "c", combination(true, true));
    // Broken off after the first field: nothing may be taken away.
    p.writeFile("Areas/e_on_f.drg", "1,");
    const RunResult r =
        p.play("exec AddItem \"a\", True : AddItem \"b\", True : AddItem \"c\", True\n"
               "drag-item-onto 1 1\n" // onto itself
               "drag-item-onto 2 3\n" // b on c: no such combination
               "drag-item-onto 2 1\n" // b on a: combinations have a direction
               "expect items a,b,c\n"
               // The dragged item lies before its target: exactly the two combined items go.
               "drag-item-onto 1 2\n"
               "expect items c,ab\n"
               "drag-item-onto 1 2\n"
               "expect variable Mixed 1\n"
               "expect items c,ab\n"
               // The dragged item lies after its target.
               "exec AddItem \"d\", True\n"
               "drag-item-onto 3 1\n"
               "expect items ab\n"
               "exec AddItem \"e\", True : AddItem \"f\", True\n"
               "drag-item-onto 2 3\n"
               "expect items ab,e,f\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(r.log.contains(errorReportLine(" Unable to combine items."))) << show(r);
}

TEST(Inventory, TheStripSlidesOpenInAThirdOfASecondAndClosesWhenThePointerLeaves) {
    TestProject p;
    p.writeFrame("Start", colourFrame(kGrey));
    p.addItem("gem", 0x0000FF);
    const RunResult r = p.play("exec AddItem \"gem\", True\n"
                               "expect pixel 0 0 " +
                               kButtonInk +
                               "\n"
                               "later 100 screenshot s100.png\n"
                               "later 200 screenshot s200.png\n"
                               "move 45 12\n" // onto the button
                               "expect pixel 26 26 0000FF\n"
                               "expect pixel 100 50 " +
                               kStripPixel +
                               "\n"
                               "move 200 150\n" // over the frame
                               "expect pixel 100 50 " +
                               kGreyPixel +
                               "\n"
                               "expect pixel 26 26 " +
                               kGreyPixel +
                               "\n"
                               // Scripts hide and show the button.
                               "exec HideInventoryButton\n"
                               "expect pixel 0 0 " +
                               kGreyPixel +
                               "\n"
                               "move 45 12\n"
                               "expect pixel 26 26 " +
                               kGreyPixel +
                               "\n"
                               "exec ShowInventoryButton\n"
                               "expect pixel 0 0 " +
                               kButtonInk + "\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const QImage at100(screenshot(p, "s100.png")), at200(screenshot(p, "s200.png"));
    ASSERT_FALSE(at100.isNull());
    ASSERT_FALSE(at200.isNull());
    // Part of the way down after 0.1 s, further after 0.2 s, not yet all of its 52 rows.
    const int rows100 = stripRowsShown(at100, 150), rows200 = stripRowsShown(at200, 150);
    EXPECT_GT(rows100, 0);
    EXPECT_LT(rows100, rows200);
    EXPECT_LT(rows200, 52);
}

TEST(Inventory, BrokenItemsAreReportedInTheirOwnWords) {
    TestProject p;
    p.writeFrame("Start", colourFrame(kGrey));
    // A definition whose icon is no picture: the item is carried, without a picture.
    p.writeFile("Areas/cracked.png", "not a picture");
    p.description().items.append(tv::builder::ItemDefinition{"cracked", "cracked.png"});
    const RunResult r = p.play("exec AddItem \"ghost\", True\n"
                               "expect items\n"
                               "exec AddItem \"cracked\", True\n"
                               "expect items cracked\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(r.log.contains(errorReportLine(
        " Unable to pick up the item named 'ghost'. The item may be unavailable, or the icon '' "
        "associated to the item may be corrupt.")))
        << show(r);
    EXPECT_TRUE(r.log.contains(errorReportLine(
        " Unable to pick up the item named 'cracked'. The item may be unavailable, or the icon "
        "'cracked.png' associated to the item may be corrupt.")))
        << show(r);
}

TEST(Inventory, WithoutSlidingOutAPopUpStaysOpenUntilThePointerMovesOverTheFrame) {
    TestProject p;
    p.settings().SlideInventoryOut = false;
    p.writeFrame("Start", colourFrame(kGrey));
    p.addItem("gem", 0x0000FF);
    const RunResult r = p.play("exec AddItem \"gem\", False\n"
                               "wait 2500\n"
                               "expect pixel 26 26 0000FF\n"
                               "later 5 screenshot gone.png\n"
                               "move 200 150\n"
                               "expect pixel 26 26 " +
                               kGreyPixel + "\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    // Hidden at once, not slid: five milliseconds later not a row of it shows.
    const QImage gone(screenshot(p, "gone.png"));
    ASSERT_FALSE(gone.isNull());
    EXPECT_EQ(stripRowsShown(gone, 150), 0);
}

TEST(Inventory, AGameWithoutInventoryShowsItsItemsOnTheFrame) {
    TestProject p;
    p.settings().UseInventory = false;
    p.writeFrame("Start", colourFrame(kGrey));
    p.addItem("gem", 0x0000FF);
    const RunResult r = p.play("exec AddItem \"gem\", False\n"
                               "expect items gem\n"
                               "expect pixel 26 26 0000FF\n"
                               "expect pixel 0 0 " +
                               kGreyPixel +
                               "\n"
                               "move 26 26\n"
                               "expect pixel 100 50 " +
                               kGreyPixel + "\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
