#pragma once
// The house rule that folders depend one way: the README's layout table says, for each folder,
// which other folders its files may include; the checker reads every #include "..." line of the
// tree and reports each one the table does not allow.

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tv::include_rules {

// Folder (without the trailing slash, e.g. "platform/core") -> the folders it may include.
// A folder may always include its own files.
struct Rules {
    std::map<std::string, std::set<std::string>> allowed;

    // The folder of the table a path belongs to: the longest folder that is a prefix of it.
    std::optional<std::string> folderOf(const std::string& path) const;
};

// Reads the table that follows the line "## Layout" ... the first Markdown table whose header's
// first column is "folder" and last column "may include". Folders are written in backticks
// (`platform/core/`); "—" or "-" means none. Fails with a message on a text without such a table.
Rules parseRules(const std::string& markdown, std::string& error);

struct Violation {
    std::string file; // relative to the root
    int line = 0;
    std::string message;
};

// Checks one file's text. `file` is its path relative to the root, with forward slashes.
std::vector<Violation> checkFile(const Rules& rules, const std::string& file,
                                 const std::string& text);

// Checks every C++ source and header below `root` (build folders and hidden folders left out).
std::vector<Violation> checkTree(const Rules& rules, const std::filesystem::path& root);

} // namespace tv::include_rules
