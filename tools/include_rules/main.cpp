// check-includes ROOT: fails (exit 1) on every #include that the README's layout table does not
// allow, naming the file, the line and the rule; 2 when the table cannot be read.

#include "tools/include_rules/include_rules.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: check-includes ROOT\n");
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
    const auto violations = tv::include_rules::checkTree(rules, root);
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
