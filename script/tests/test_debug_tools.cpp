#include "script/debug_tools.h"
#include "script/variables.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(DebugTools, AProjectWithoutVariablesShowsOnePageWithBothEmptySections) {
    GameVariables none;
    const QStringList lines = DebugTools::variablesLines(none);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines[0].startsWith("This window allows you"));
    EXPECT_EQ(lines[3],
              QString(26, '-') + " INTEGER VARIABLES: " + QString(26, '-') + QString(13, ' '));
    EXPECT_EQ(lines[6],
              QString(26, '-') + " VARIANT VARIABLES: " + QString(26, '-') + QString(13, ' '));
    const QStringList pages = DebugTools::variablesPages(lines);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0], lines.join("\r\n") + "\r\n\r\n");
}

TEST(DebugTools, PagesBreakAfterEvery25LinesButNotAfterTheLast) {
    GameVariables vars;
    for (int i = 1; i <= 30; ++i)
        vars.Variables.Add(QStringLiteral("V%1").arg(i), i);
    vars.VariablesVariant.Add("Who", QVariant(QStringLiteral("Ann")));
    vars.VariablesVariant.Add("Brave", QVariant(true));
    vars.VariablesVariant.Add("Nothing", QVariant());
    const QStringList lines = DebugTools::variablesLines(vars);
    ASSERT_EQ(lines.size(), 30 + 3 + 8);
    EXPECT_EQ(lines[5], "V1 = 1");
    EXPECT_EQ(lines[38], "Who = Ann");
    EXPECT_EQ(lines[39], "Brave = True");
    EXPECT_EQ(lines[40], "Nothing = ");

    const QStringList pages = DebugTools::variablesPages(lines);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].endsWith("V20 = 20\r\n"));
    EXPECT_TRUE(pages[1].startsWith(QString(52, ' ') + "\r\nV21 = 21\r\n"));
    EXPECT_TRUE(pages[1].endsWith("Nothing = \r\n\r\n"));

    // Exactly 25 lines: one page, no empty one after it.
    EXPECT_EQ(DebugTools::variablesPages(lines.mid(0, 25)).size(), 1);
    EXPECT_EQ(DebugTools::variablesPages(lines.mid(0, 26)).size(), 2);
}
