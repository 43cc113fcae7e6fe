// check-includes ROOT [--library NAME=FOLDER]... [--prefix NAME=PREFIX]...: fails (exit 1) on
// every #include that the README's layout table does not allow, naming the file, the line and the
// rule; 2 when the table cannot be read. --library says that the headers in FOLDER (a Qt module's
// include folder) belong to the guarded library NAME, --prefix that headers named PREFIX... do.

#include "tools/include_rules/include_rules.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
    tv::include_rules::Libraries libraries;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        const auto equals = value.find('=');
        if ((option != "--library" && option != "--prefix") || equals == std::string::npos) {
            std::fprintf(stderr, "usage: check-includes ROOT [--library NAME=FOLDER]... "
                                 "[--prefix NAME=PREFIX]...\n");
            return 2;
        }
        if (option == "--library")
            libraries.addFolder(value.substr(0, equals), value.substr(equals + 1));
        else
            libraries.addPrefix(value.substr(0, equals), value.substr(equals + 1));
        ++i;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: check-includes ROOT [--library NAME=FOLDER]... "
                             "[--prefix NAME=PREFIX]...\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    std::ifstream readme(root / "README.md");
    std::stringstream text;
    text << readme.rdbuf();
    std::string error;
    const auto rules = tv::include_rules::parseRules(text.str(), error);
    if (!error.empty()) {
        std::fprintf(stderr, "check-includes: %s/README.md: %s\n", argv[1], error.c_str());
        return 2;
    }
    const auto violations = tv::include_rules::checkTree(rules, libraries, root);
    for (const auto& v : violations)
        std::fprintf(stderr, "%s:%d: %s\n", v.file.c_str(), v.line, v.message.c_str());
    if (!violations.empty()) {
        std::fprintf(stderr, "check-includes: %zu include(s) against the layout table\n",
                     violations.size());
        return 1;
    }
    std::printf("check-includes: every include keeps to the layout table\n");
    return 0;
}
