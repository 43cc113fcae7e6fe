#pragma once
// Text helpers of the engine: script strings are UTF-16 (like the classic BSTR), identifiers are
// UTF-8 and compare without regard to ASCII case.

#include <cstdint>
#include <string>
#include <string_view>

namespace vbs {

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// ASCII case folding: identifiers of the language are matched this way.
char foldAscii(char c);
std::string foldCase(std::string_view name);
bool equalsNoCase(std::string_view a, std::string_view b);

// The classic ANSI code page (Windows-1252) that Chr and Asc use.
char16_t fromCp1252(uint8_t byte);
// -1 when the character has no Windows-1252 byte.
int toCp1252(char16_t c);

// Both take any string-like key, so maps keyed by std::string are searched without a copy.
struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        return equalsNoCase(a, b);
    }
};

} // namespace vbs
