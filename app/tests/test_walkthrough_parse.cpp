#include "app/walkthrough.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {
std::vector<WalkCommand> parseOk(const QString& text) {
    WalkParseError error{0, {}};
    auto commands = parseWalkthrough(text, error);
    EXPECT_TRUE(commands) << error.line << ": " << error.message.toStdString();
    return commands.value_or(std::vector<WalkCommand>{});
}

WalkParseError parseBad(const QString& text) {
    WalkParseError error{0, {}};
    EXPECT_FALSE(parseWalkthrough(text, error));
    return error;
}
} // namespace

TEST(Walkthrough, CommandsCommentsAndFreeTexts) {
    const auto c = parseOk("# a comment\r\n"
                           "\n"
                           "wait 500\n"
                           "click 10 20 right\n"
                           "key F5 ctrl shift\n"
                           "answer Yes\n"
                           "input   two  words \n"
                           "input\n"
                           "expect log msgbox Error|  A program link is broken.\n"
                           "expect frame Great Hall\n"
                           "expect pixel 0 0 ff00AA\n"
                           "expect items\n"
                           "quit\n");
    ASSERT_EQ(c.size(), 11u);
    EXPECT_EQ(c[0].name, "wait");
    EXPECT_EQ(c[0].line, 3);
    EXPECT_EQ(c[1].args, (QStringList{"10", "20", "right"}));
    EXPECT_EQ(c[3].args[0], "Yes");
    EXPECT_EQ(c[4].rest, "two  words") << "inner spaces are kept";
    EXPECT_TRUE(c[5].args.isEmpty());
    EXPECT_EQ(c[6].name, "expect log");
    EXPECT_EQ(c[6].rest, "msgbox Error|  A program link is broken.");
    EXPECT_EQ(c[7].rest, "Great Hall");
    EXPECT_EQ(c[8].name, "expect pixel");
    EXPECT_EQ(c[9].name, "expect items");
}

TEST(Walkthrough, LaterInputsAndPixelTolerances) {
    const auto c = parseOk("later 1500 click 10 20\n"
                           "later 0 key Escape shift\n"
                           "later 250 screenshot shots/a b.png\n"
                           "expect pixel 3 4 00FF00 6\n"
                           "click 1 2\n");
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c[0].name, "click");
    EXPECT_EQ(c[0].laterMs, 1500);
    EXPECT_EQ(c[0].args, (QStringList{"10", "20"}));
    EXPECT_EQ(c[1].args, (QStringList{"Escape", "shift"}));
    EXPECT_EQ(c[2].rest, "shots/a b.png");
    EXPECT_EQ(c[3].args.size(), 4);
    EXPECT_EQ(c[4].laterMs, -1) << "commands run now unless they say later";

    EXPECT_EQ(parseBad("later soon click 1 1").message,
              "later needs milliseconds and a click, move, key or screenshot");
    EXPECT_EQ(parseBad("later 5 expect frame A").line, 1) << "expectations hold now or never";
    EXPECT_EQ(parseBad("later 5 click 1").message, "wrong number of arguments for click");
    EXPECT_EQ(parseBad("expect pixel 1 1 000000 some").message,
              "expect pixel takes a tolerance from 0 to 255 after the colour");
}

TEST(Walkthrough, MalformedLinesNameTheirLine) {
    EXPECT_EQ(parseBad("wait 1\njump 3\n").line, 2);
    EXPECT_EQ(parseBad("wait soon").message, "wait needs milliseconds");
    EXPECT_EQ(parseBad("click 10").message, "wrong number of arguments for click");
    EXPECT_EQ(parseBad("click 10 10 middle").message, "click takes only `right` after X Y");
    EXPECT_EQ(parseBad("key Tab").message, "unknown key Tab");
    EXPECT_EQ(parseBad("key A meta").message, "unknown key modifier meta");
    EXPECT_EQ(parseBad("answer Maybe").message, "unknown button Maybe");
    EXPECT_EQ(parseBad("expect pixel 1 1 red").message, "expect pixel needs a colour RRGGBB");
    EXPECT_EQ(parseBad("expect").message, "expect needs what to expect");
    EXPECT_EQ(parseBad("expect weather sunny").message, "unknown command: expect weather");
    EXPECT_EQ(parseBad("quit now").message, "wrong number of arguments for quit");
}
