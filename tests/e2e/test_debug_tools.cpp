// The hidden debug menu in whole games: the frame list, the variables' pages, running code that
// is remembered for the next run, and the editor's tools that a finished game does not have.

#include "e2e_harness.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kReveal = "key F5\nkey F9\nkey F3\nkey F7\n";

TestProject debugGame() {
    TestProject p;
    p.writeFrame("Start", colourFrame(0x808080));
    p.writeFrame("Hall", colourFrame(0xFF0000));
    return p;
}

} // namespace

TEST(DebugTools, TheFrameListOpensAnyFrame) {
    TestProject p = debugGame();
    const RunResult r = p.play(kReveal + "menu Hall\n"
                                         "expect frame Hall\n"
                                         "menu Start\n"
                                         "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(DebugTools, TheVariablesShowPageByPage) {
    TestProject p = debugGame();
    QStringList names;
    for (int i = 1; i <= 30; ++i)
        names << QStringLiteral("V%1").arg(i);
    p.writeVariables(names, {"Who"});
    // 25 lines a page: the first ends with V20; the next starts with a line of 52 spaces.
    const RunResult r =
        p.play(kReveal + "exec V20.Value = 2 : V21.Value = 3 : Who.Value = \"Ann\"\n" +
               "menu View variables status...\n"
               "expect log V19 = 0\\nV20 = 2\\n|OK\n"
               "expect log msgbox Variables Status|" +
               QString(52, ' ') + "\\nV21 = 3\\n\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(DebugTools, CodeRunsAndIsOfferedAgainNextTime) {
    TestProject p = debugGame();
    p.writeVariables({"A"});
    const QString box = "inputbox Execute VBScript Code (for advanced users)|Enter the VBScript "
                        "code that you want to execute and then click OK.";
    RunResult r = p.play(kReveal +
                         "input A.Value = 4 : GoToFrame \"Hall\"\n"
                         "menu Execute VBScript code...\n"
                         "expect log " +
                         box +
                         "\n"
                         "expect frame Hall\n"
                         "expect variable A 4\n"
                         // An empty answer runs nothing and keeps the code.
                         "input\n"
                         "menu Execute VBScript code...\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // The next run offers the last code; taking it runs it.
    r = p.play(kReveal + "menu Execute VBScript code...\n"
                         "expect log |A.Value = 4 : GoToFrame \"Hall\"\n"
                         "expect frame Hall\n"
                         "expect variable A 4\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(DebugTools, TheEditorsToolsSayTheyAreNotAvailable) {
    TestProject p = debugGame();
    const RunResult r =
        p.play(kReveal + "menu Edit procedures...\n"
                         "expect log msgbox Not Available|This command is not available in the "
                         "compiled version of the project.|OK\n"
                         "menu Intercept code\n"
                         "exec A = 1\n"
                         "expect log msgbox Not Available|The code interception function is not "
                         "available in the compiled version of the project.|OK\n"
                         "exec A = 2\n"
                         "expect nolog Not Available\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
