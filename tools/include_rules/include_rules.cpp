#include "tools/include_rules/include_rules.h"

#include <fstream>
#include <regex>
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

// The folders named in backticks in a cell, without their trailing slash.
std::vector<std::string> folders(const std::string& cell) {
    std::vector<std::string> out;
    static const std::regex named("`([^`]+)`");
    for (auto it = std::sregex_iterator(cell.begin(), cell.end(), named);
         it != std::sregex_iterator(); ++it) {
        std::string f = (*it)[1];
        while (!f.empty() && f.back() == '/')
            f.pop_back();
        out.push_back(f);
    }
    return out;
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
        const std::vector<std::string> self = folders(row.front());
        if (self.size() != 1) {
            error = "a row of the layout table names no single folder: " + trim(line);
            return {};
        }
        const std::vector<std::string> may = folders(row.back());
        rules.allowed[self[0]].insert(may.begin(), may.end());
    }
    if (rules.allowed.empty()) error = "no layout table (folder | ... | may include) found";
    return rules;
}

std::vector<Violation> checkFile(const Rules& rules, const std::string& file,
                                 const std::string& text) {
    std::vector<Violation> out;
    const std::optional<std::string> own = rules.folderOf(file);
    if (!own) {
        out.push_back({file, 0, "its folder is not in the layout table"});
        return out;
    }
    const std::set<std::string>& may = rules.allowed.at(*own);
    static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::smatch m;
        if (!std::regex_search(line, m, include)) continue;
        const std::string target = m[1];
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

std::vector<Violation> checkTree(const Rules& rules, const std::filesystem::path& root) {
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
        for (Violation& v : checkFile(rules, relative, text.str()))
            out.push_back(std::move(v));
    }
    return out;
}

} // namespace tv::include_rules
