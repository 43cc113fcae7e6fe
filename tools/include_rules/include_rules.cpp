#include "tools/include_rules/include_rules.h"

#include <fstream>
#include <sstream>

namespace tv::include_rules {

namespace {
std::string trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> out;
    std::string t = trim(row);
    if (t.size() < 2 || t.front() != '|' || t.back() != '|') return out;
    std::stringstream in(t.substr(1, t.size() - 2));
    std::string cell;
    while (std::getline(in, cell, '|'))
        out.push_back(trim(cell));
    return out;
}

// What a cell names in backticks: folders (written with a trailing slash, kept without it) and
// libraries.
struct Named {
    std::vector<std::string> folders;
    std::vector<std::string> libraries;
};

Named named(const std::string& cell) {
    Named out;
    for (size_t open = cell.find('`'); open != std::string::npos; open = cell.find('`', open)) {
        const size_t close = cell.find('`', open + 1);
        if (close == std::string::npos) break;
        std::string f = cell.substr(open + 1, close - open - 1);
        open = close + 1;
        if (f.empty()) continue;
        if (f.back() != '/') {
            out.libraries.push_back(f);
            continue;
        }
        while (!f.empty() && f.back() == '/')
            f.pop_back();
        out.folders.push_back(f);
    }
    return out;
}

// The name an #include line names and whether it was in angle brackets; nothing for other lines.
// (Read by hand: std::regex draws false warnings from some compilers under the sanitizers.)
struct Include {
    std::string name;
    bool angle = false;
};

std::optional<Include> includeOf(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return std::nullopt;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return std::nullopt;
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || (line[i] != '"' && line[i] != '<')) return std::nullopt;
    const char close = line[i] == '"' ? '"' : '>';
    const size_t end = line.find(close, i + 1);
    if (end == std::string::npos) return std::nullopt;
    return Include{line.substr(i + 1, end - i - 1), close == '>'};
}

bool isSource(const std::filesystem::path& p) {
    const std::string ext = p.extension().string();
    return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc";
}
} // namespace

std::optional<std::string> Rules::folderOf(const std::string& path) const {
    std::optional<std::string> best;
    for (const auto& [folder, _] : allowed) {
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/' && (!best || folder.size() > best->size()))
            best = folder;
    }
    return best;
}

Rules parseRules(const std::string& markdown, std::string& error) {
    Rules rules;
    std::istringstream in(markdown);
    std::string line;
    bool inLayout = false, inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("## ", 0) == 0) {
            if (inTable) break;
            inLayout = line.find("Layout") != std::string::npos;
            continue;
        }
        if (!inLayout) continue;
        const std::vector<std::string> row = cells(line);
        if (!inTable) {
            inTable = row.size() >= 2 && row.front() == "folder" && row.back() == "may include";
            continue;
        }
        if (row.empty()) break;
        if (row.front().find("---") != std::string::npos) continue;
        const Named self = named(row.front());
        if (self.folders.size() != 1 || !self.libraries.empty()) {
            error = "a row of the layout table names no single folder: " + trim(line);
            return {};
        }
        const Named may = named(row.back());
        rules.allowed[self.folders[0]].insert(may.folders.begin(), may.folders.end());
        rules.libraries[self.folders[0]].insert(may.libraries.begin(), may.libraries.end());
    }
    if (rules.allowed.empty()) error = "no layout table (folder | ... | may include) found";
    return rules;
}

void Libraries::addFolder(const std::string& library, const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file()) headers_[entry.path().filename().string()] = library;
    addPrefix(library, library + "/");
}

void Libraries::addPrefix(const std::string& library, const std::string& prefix) {
    prefixes_.emplace_back(prefix, library);
}

std::optional<std::string> Libraries::libraryOf(const std::string& header) const {
    for (const auto& [prefix, library] : prefixes_)
        if (header.compare(0, prefix.size(), prefix) == 0) return library;
    const auto it = headers_.find(header);
    if (it != headers_.end()) return it->second;
    return std::nullopt;
}

std::vector<Violation> checkFile(const Rules& rules, const Libraries& libraries,
                                 const std::string& file, const std::string& text) {
    std::vector<Violation> out;
    const std::optional<std::string> own = rules.folderOf(file);
    if (!own) {
        out.push_back({file, 0, "its folder is not in the layout table"});
        return out;
    }
    const std::set<std::string>& may = rules.allowed.at(*own);
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::optional<Include> include = includeOf(line);
        if (!include) continue;
        const std::string& target = include->name;
        if (include->angle) {
            const std::optional<std::string> library = libraries.libraryOf(target);
            if (library && !rules.libraries.at(*own).count(*library))
                out.push_back({file, number,
                               "includes <" + target + ">: " + *own + "/ may not use " + *library});
            continue;
        }
        // A name without a folder is the file's neighbour (or a generated file beside it).
        if (target.find('/') == std::string::npos) continue;
        const std::optional<std::string> folder = rules.folderOf(target);
        if (!folder) {
            out.push_back(
                {file, number, "includes \"" + target + "\" from no folder of the table"});
        } else if (*folder != *own && !may.count(*folder)) {
            out.push_back(
                {file, number,
                 "includes \"" + target + "\": " + *own + "/ may not include " + *folder + "/"});
        }
    }
    return out;
}

std::vector<Violation> checkTree(const Rules& rules, const Libraries& libraries,
                                 const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::vector<Violation> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = it->path().filename().string();
        if (it->is_directory()) {
            if (name.rfind("build", 0) == 0 || name.rfind(".", 0) == 0)
                it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file() || !isSource(it->path())) continue;
        std::ifstream file(it->path(), std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        const std::string relative = fs::relative(it->path(), root).generic_string();
        for (Violation& v : checkFile(rules, libraries, relative, text.str()))
            out.push_back(std::move(v));
    }
    return out;
}

} // namespace tv::include_rules
