#include "components/components.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(PluginActions, BracketedActionsBecomeCallsOfTheirPlugin) {
    Components c;
    c.plugins = {{"Pano", "PanoHotspot", "PanoFrame"}, {"Fog", "FogOn", "FogFrame"}};
    EXPECT_EQ(c.ExpandPluginActions("{Pano}room1.jpg}90", true),
              "PanoHotspot \"room1.jpg\",\"90\"");
    EXPECT_EQ(c.ExpandPluginActions("ignored{Pano}a{Fog}", false),
              "PanoFrame \"a\"\r\nFogFrame \"\"")
        << "a closing brace leaves one empty argument";
    EXPECT_EQ(c.ExpandPluginActions("{Fog", false), "FogFrame ");
    // Characters 164 and 165 stand for the braces.
    EXPECT_EQ(c.ExpandPluginActions(QString(QChar(164)) + "Fog" + QChar(165) + "x", true),
              "FogOn \"x\"");
}

TEST(PluginActions, UnknownPluginsAndPlainTextGiveNothing) {
    Components c;
    c.plugins = {{"Pano", "A", "B"}, {"Pano", "Last", "LastFrame"}};
    EXPECT_EQ(c.ExpandPluginActions("MsgBox \"hello\"", true), "");
    EXPECT_EQ(c.ExpandPluginActions("{pano}x", true), "") << "names match exactly";
    EXPECT_EQ(c.ExpandPluginActions("{Nope}x{Pano}y", true), "Last \"y\"")
        << "the last record of a name wins; unknown ones add no line";
}
