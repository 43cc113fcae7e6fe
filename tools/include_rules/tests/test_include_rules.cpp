#include "tools/include_rules/include_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tv::include_rules;

namespace {
const char* kReadme = R"(# A project

## Layout

Some words.

| folder | owns | may include |
|---|---|---|
| `vbscript/` | the engine | — |
| `platform/core/` | files | `vbscript/` |
| `platform/` | windows | `platform/core/`, `vbscript/`, `QtGui`, `mpv` |
| `data/` | project files | `platform/core/` |
| `engine/` | the game | `data/`, `platform/`, `platform/core/` |

## Next section

| folder | owns | may include |
|---|---|---|
| `ignored/` | not part of the layout | `engine/` |
)";

Rules rules() {
    std::string error;
    Rules r = parseRules(kReadme, error);
    EXPECT_EQ(error, "");
    return r;
}

const Libraries none;

void write(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}
} // namespace

TEST(IncludeRules, TheLayoutTableIsReadAndNothingAfterIt) {
    const Rules r = rules();
    ASSERT_EQ(r.allowed.size(), 5u);
    EXPECT_TRUE(r.allowed.at("vbscript").empty());
    EXPECT_EQ(r.allowed.at("platform"), (std::set<std::string>{"platform/core", "vbscript"}));
    EXPECT_FALSE(r.allowed.count("ignored"));
    EXPECT_EQ(r.folderOf("platform/core/records.h"), "platform/core");
    EXPECT_EQ(r.folderOf("platform/controls.h"), "platform");
    EXPECT_EQ(r.folderOf("platformer/x.h"), std::nullopt);

    std::string error;
    parseRules("# No table here\n", error);
    EXPECT_NE(error, "");
    parseRules("## Layout\n| folder | owns | may include |\n|---|---|---|\n| two `a/` `b/` | x | "
               "— |\n",
               error);
    EXPECT_NE(error.find("no single folder"), std::string::npos) << error;
}

TEST(IncludeRules, IncludesAreJudgedByTheMostSpecificFolder) {
    const Rules r = rules();
    EXPECT_TRUE(checkFile(r, none, "data/project.cpp",
                          "#include \"data/project.h\"\n#include \"platform/core/ini.h\"\n"
                          "#include <QString>\n#include \"moc_project.cpp\"\n")
                    .empty());
    // data may reach the platform's core, not its window part.
    const auto v =
        checkFile(r, none, "data/project.cpp",
                  "#include \"data/project.h\"\n\n  #  include \"platform/controls.h\"\n");
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].line, 3);
    EXPECT_EQ(v[0].message, "includes \"platform/controls.h\": data/ may not include platform/");
    // Tests follow their folder's rule.
    EXPECT_EQ(
        checkFile(r, none, "vbscript/tests/t.cpp", "#include \"platform/core/errors.h\"\n").size(),
        1u);
}

TEST(IncludeRules, UnknownFoldersAreReported) {
    const Rules r = rules();
    const auto outside = checkFile(r, none, "newpart/thing.cpp", "#include \"data/project.h\"\n");
    ASSERT_EQ(outside.size(), 1u);
    EXPECT_EQ(outside[0].message, "its folder is not in the layout table");
    const auto target = checkFile(r, none, "engine/game.cpp", "#include \"newpart/thing.h\"\n");
    ASSERT_EQ(target.size(), 1u);
    EXPECT_NE(target[0].message.find("from no folder of the table"), std::string::npos);
}

TEST(IncludeRules, ATreeFailsOnceAForbiddenIncludeIsAdded) {
    const auto root =
        std::filesystem::temp_directory_path() /
        ("include_rules_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(root);
    write(root / "platform/core/errors.h", "#include \"vbscript/error.h\"\n");
    write(root / "engine/game.cpp", "#include \"platform/core/errors.h\"\n#include \"data/x.h\"\n");
    // Build output is not the project's source.
    write(root / "build/platform/core/moc.cpp", "#include \"engine/game.h\"\n");
    write(root / "README.md", "not read by checkTree");
    EXPECT_TRUE(checkTree(rules(), none, root).empty());

    write(root / "platform/core/files.cpp", "#include \"engine/game.h\"\n");
    const auto v = checkTree(rules(), none, root);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].file, "platform/core/files.cpp");
    EXPECT_EQ(v[0].line, 1);
    std::filesystem::remove_all(root);
}

TEST(IncludeRules, GuardedLibrariesOnlyWhereTheTableAllowsThem) {
    const auto root = std::filesystem::temp_directory_path() / "include_rules_qt";
    std::filesystem::remove_all(root);
    write(root / "QtGui/QImage", "");
    write(root / "QtGui/qimage.h", "");
    Libraries libraries;
    libraries.addFolder("QtGui", root / "QtGui");
    libraries.addPrefix("mpv", "mpv/");
    EXPECT_EQ(libraries.libraryOf("QImage"), "QtGui");
    EXPECT_EQ(libraries.libraryOf("QtGui/QImage"), "QtGui");
    EXPECT_EQ(libraries.libraryOf("mpv/client.h"), "mpv");
    EXPECT_EQ(libraries.libraryOf("QString"), std::nullopt);
    std::filesystem::remove_all(root);

    const Rules r = rules();
    const std::string text = "#include <QImage>\n#include <QString>\n#include <mpv/client.h>\n";
    EXPECT_TRUE(checkFile(r, libraries, "platform/picture.cpp", text).empty());
    // The core of the platform is no door to the window system.
    const auto v = checkFile(r, libraries, "platform/core/files.cpp", text);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].line, 1);
    EXPECT_EQ(v[0].message, "includes <QImage>: platform/core/ may not use QtGui");
    EXPECT_EQ(v[1].line, 3);
}
