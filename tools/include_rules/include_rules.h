#pragma once
// The house rule that folders depend one way: the README's layout table says, for each folder,
// which other folders its files may include and which of the guarded libraries (Qt Gui and
// Widgets, libmpv, FluidSynth) it may use; the checker reads every #include line of the tree and
// reports each one the table does not allow.

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
    // Folder -> the guarded libraries it may use ("QtGui", "mpv", ...).
    std::map<std::string, std::set<std::string>> libraries;

    // The folder of the table a path belongs to: the longest folder that is a prefix of it.
    std::optional<std::string> folderOf(const std::string& path) const;
};

// Reads the table that follows the line "## Layout" ... the first Markdown table whose header's
// first column is "folder" and last column "may include". Folders are written in backticks with a
// trailing slash (`platform/core/`), guarded libraries in backticks without one (`QtGui`); "—"
// means none. Fails with a message on a text without such a table.
Rules parseRules(const std::string& markdown, std::string& error);

struct Violation {
    std::string file; // relative to the root
    int line = 0;
    std::string message;
};

// Which guarded library a system header (the name in <...>) belongs to.
class Libraries {
public:
    // Every header file in `folder` belongs to `library` (Qt's class headers: <QImage>), as does
    // any name that starts with `library` + "/" (<QtGui/QImage>).
    void addFolder(const std::string& library, const std::filesystem::path& folder);
    // Names starting with `prefix` (e.g. "mpv/") belong to `library`.
    void addPrefix(const std::string& library, const std::string& prefix);
    std::optional<std::string> libraryOf(const std::string& header) const;

private:
    std::map<std::string, std::string> headers_;
    std::vector<std::pair<std::string, std::string>> prefixes_;
};

// Checks one file's text. `file` is its path relative to the root, with forward slashes.
std::vector<Violation> checkFile(const Rules& rules, const Libraries& libraries,
                                 const std::string& file, const std::string& text);

// Checks every C++ source and header below `root` (build folders and hidden folders left out).
std::vector<Violation> checkTree(const Rules& rules, const Libraries& libraries,
                                 const std::filesystem::path& root);

} // namespace tv::include_rules
