#include "vbscript/lexer.h"

#include "vbscript/convert.h"
#include "vbscript/text.h"

#include <cmath>
#include <unordered_map>

namespace vbs {

namespace {

struct KeywordEntry {
    const char* name;
    Tok kind;
};

constexpr KeywordEntry kKeywords[] = {
    {"and", Tok::And},
    {"byref", Tok::ByRef},
    {"byval", Tok::ByVal},
    {"call", Tok::Call},
    {"case", Tok::Case},
    {"class", Tok::Class},
    {"const", Tok::Const},
    {"dim", Tok::Dim},
    {"do", Tok::Do},
    {"each", Tok::Each},
    {"else", Tok::Else},
    {"elseif", Tok::ElseIf},
    {"empty", Tok::Empty},
    {"end", Tok::End_},
    {"eqv", Tok::Eqv},
    {"erase", Tok::Erase},
    {"exit", Tok::Exit},
    {"false", Tok::False},
    {"for", Tok::For},
    {"function", Tok::Function},
    {"goto", Tok::GoTo},
    {"if", Tok::If},
    {"imp", Tok::Imp},
    {"in", Tok::In},
    {"is", Tok::Is},
    {"let", Tok::Let},
    {"loop", Tok::Loop},
    {"me", Tok::Me},
    {"mod", Tok::Mod},
    {"new", Tok::New},
    {"next", Tok::Next},
    {"not", Tok::Not},
    {"nothing", Tok::Nothing},
    {"null", Tok::Null},
    {"on", Tok::On},
    {"option", Tok::Option},
    {"or", Tok::Or},
    {"private", Tok::Private},
    {"property", Tok::Property},
    {"public", Tok::Public},
    {"redim", Tok::ReDim},
    {"select", Tok::Select},
    {"set", Tok::Set},
    {"step", Tok::Step},
    {"stop", Tok::Stop},
    {"sub", Tok::Sub},
    {"then", Tok::Then},
    {"to", Tok::To},
    {"true", Tok::True},
    {"until", Tok::Until},
    {"wend", Tok::Wend},
    {"while", Tok::While},
    {"with", Tok::With},
    {"xor", Tok::Xor},
};

const std::unordered_map<std::string, Tok>& keywordTable() {
    static const std::unordered_map<std::string, Tok> table = [] {
        std::unordered_map<std::string, Tok> t;
        for (const auto& k : kKeywords)
            t.emplace(k.name, k.kind);
        return t;
    }();
    return table;
}

bool isLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c < 0x2000);
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isIdentChar(char16_t c) {
    return isLetter(c) || isDigit(c) || c == u'_';
}

class Lexer {
public:
    explicit Lexer(std::u16string_view text) : s_(text) {}

    std::vector<Token> run() {
        while (true) {
            bool space = skipBlanks();
            if (pos_ >= s_.size()) {
                push(Tok::End, pos_, 0, space);
                break;
            }
            char16_t c = s_[pos_];
            size_t start = pos_;
            if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && pos_ + 1 < s_.size() && s_[pos_ + 1] == u'\n') ++pos_;
                ++pos_;
                push(Tok::Newline, start, pos_ - start, space);
                newLine();
                continue;
            }
            if (c == u'\'') {
                skipToLineEnd();
                continue;
            }
            if (c == u'"') {
                lexString(space);
                continue;
            }
            if (c == u'#') {
                lexDate(space);
                continue;
            }
            if (isDigit(c) ||
                (c == u'.' && pos_ + 1 < s_.size() && isDigit(s_[pos_ + 1]) && !afterOperand())) {
                lexNumber(space);
                continue;
            }
            if (c == u'&' && pos_ + 1 < s_.size() &&
                (s_[pos_ + 1] == u'h' || s_[pos_ + 1] == u'H' || s_[pos_ + 1] == u'o' ||
                 s_[pos_ + 1] == u'O')) {
                if (pos_ + 2 < s_.size() && isRadixDigit(s_[pos_ + 2], s_[pos_ + 1])) {
                    lexRadix(space);
                    continue;
                }
            }
            if (isLetter(c)) {
                lexWord(space);
                continue;
            }
            if (c == u'[') {
                size_t end = pos_ + 1;
                while (end < s_.size() && s_[end] != u']' && s_[end] != u'\n' && s_[end] != u'\r')
                    ++end;
                if (end >= s_.size() || s_[end] != u']') fail(errc::ExpectedRBracket, start);
                Token& t = push(Tok::Identifier, start, end + 1 - start, space);
                t.text = toUtf8(s_.substr(start + 1, end - start - 1));
                pos_ = end + 1;
                continue;
            }
            ++pos_;
            switch (c) {
            case u':':
                push(Tok::Colon, start, 1, space);
                break;
            case u'(':
                push(Tok::LParen, start, 1, space);
                break;
            case u')':
                push(Tok::RParen, start, 1, space);
                break;
            case u',':
                push(Tok::Comma, start, 1, space);
                break;
            case u'.':
                push(Tok::Dot, start, 1, space);
                break;
            case u'+':
                push(Tok::Plus, start, 1, space);
                break;
            case u'-':
                push(Tok::Minus, start, 1, space);
                break;
            case u'*':
                push(Tok::Star, start, 1, space);
                break;
            case u'/':
                push(Tok::Slash, start, 1, space);
                break;
            case u'\\':
                push(Tok::Backslash, start, 1, space);
                break;
            case u'^':
                push(Tok::Caret, start, 1, space);
                break;
            case u'&':
                push(Tok::Amp, start, 1, space);
                break;
            case u'=':
                push(Tok::Eq, start, 1, space);
                break;
            case u'<':
                if (pos_ < s_.size() && s_[pos_] == u'>') {
                    ++pos_;
                    push(Tok::Ne, start, 2, space);
                } else if (pos_ < s_.size() && s_[pos_] == u'=') {
                    ++pos_;
                    push(Tok::Le, start, 2, space);
                } else {
                    push(Tok::Lt, start, 1, space);
                }
                break;
            case u'>':
                if (pos_ < s_.size() && s_[pos_] == u'=') {
                    ++pos_;
                    push(Tok::Ge, start, 2, space);
                } else {
                    push(Tok::Gt, start, 1, space);
                }
                break;
            default:
                fail(errc::InvalidCharacter, start);
            }
        }
        return std::move(tokens_);
    }

private:
    [[noreturn]] void fail(int number, size_t at) {
        ScriptError e(number);
        e.setPosition(int(line_), int(at - lineStart_ + 1));
        throw e;
    }

    Token& push(Tok kind, size_t start, size_t length, bool space) {
        Token t;
        t.kind = kind;
        t.spaceBefore = space;
        t.line = line_;
        t.column = uint32_t(start - lineStart_ + 1);
        t.offset = uint32_t(start);
        t.length = uint32_t(length);
        tokens_.push_back(std::move(t));
        return tokens_.back();
    }

    void newLine() {
        ++line_;
        lineStart_ = pos_;
    }

    // Skips blanks and line continuations; true when anything was skipped.
    bool skipBlanks() {
        bool any = false;
        while (pos_ < s_.size()) {
            char16_t c = s_[pos_];
            if (c == u' ' || c == u'\t' || c == 0xA0 || c == 0xFEFF) {
                ++pos_;
                any = true;
                continue;
            }
            if (c == u'_' && continuationAt(pos_)) {
                ++pos_;
                while (pos_ < s_.size() && (s_[pos_] == u' ' || s_[pos_] == u'\t'))
                    ++pos_;
                if (pos_ < s_.size() && s_[pos_] == u'\r') ++pos_;
                if (pos_ < s_.size() && s_[pos_] == u'\n') ++pos_;
                newLine();
                any = true;
                continue;
            }
            break;
        }
        return any;
    }

    bool continuationAt(size_t p) const {
        size_t q = p + 1;
        while (q < s_.size() && (s_[q] == u' ' || s_[q] == u'\t'))
            ++q;
        return q >= s_.size() || s_[q] == u'\r' || s_[q] == u'\n';
    }

    void skipToLineEnd() {
        while (pos_ < s_.size() && s_[pos_] != u'\r' && s_[pos_] != u'\n')
            ++pos_;
    }

    bool afterOperand() const {
        if (tokens_.empty()) return false;
        Tok k = tokens_.back().kind;
        return (k == Tok::Identifier || k == Tok::RParen || k == Tok::Literal) &&
               pos_ == tokens_.back().offset + tokens_.back().length;
    }

    bool afterDot() const { return !tokens_.empty() && tokens_.back().kind == Tok::Dot; }

    void lexString(bool space) {
        size_t start = pos_++;
        std::u16string text;
        while (true) {
            if (pos_ >= s_.size() || s_[pos_] == u'\r' || s_[pos_] == u'\n')
                fail(errc::UnterminatedString, start);
            char16_t c = s_[pos_++];
            if (c == u'"') {
                if (pos_ < s_.size() && s_[pos_] == u'"') {
                    text += u'"';
                    ++pos_;
                    continue;
                }
                break;
            }
            text += c;
        }
        Token& t = push(Tok::Literal, start, pos_ - start, space);
        t.value = Value::string(std::move(text));
    }

    void lexDate(bool space) {
        size_t start = pos_++;
        size_t end = pos_;
        while (end < s_.size() && s_[end] != u'#' && s_[end] != u'\r' && s_[end] != u'\n')
            ++end;
        if (end >= s_.size() || s_[end] != u'#') fail(errc::SyntaxError, start);
        double d;
        if (!parseDate(s_.substr(pos_, end - pos_), d)) fail(errc::SyntaxError, start);
        pos_ = end + 1;
        Token& t = push(Tok::Literal, start, pos_ - start, space);
        t.value = Value::date(d);
    }

    static bool isRadixDigit(char16_t c, char16_t radix) {
        if (radix == u'o' || radix == u'O') return c >= u'0' && c <= u'7';
        return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    }

    void lexRadix(bool space) {
        size_t start = pos_;
        char16_t radix = s_[pos_ + 1];
        int base = (radix == u'o' || radix == u'O') ? 8 : 16;
        pos_ += 2;
        uint64_t n = 0;
        while (pos_ < s_.size() && isRadixDigit(s_[pos_], radix)) {
            char16_t c = s_[pos_++];
            int d = isDigit(c) ? c - u'0' : (c | 0x20) - u'a' + 10;
            n = n * uint64_t(base) + uint64_t(d);
            if (n > 0xFFFFFFFFull) fail(errc::InvalidNumber, start);
        }
        bool longSuffix = pos_ < s_.size() && s_[pos_] == u'&';
        if (longSuffix) ++pos_;
        Token& t = push(Tok::Literal, start, pos_ - start, space);
        // Up to 16 digits' worth without the suffix is 16 bits (so &HFFFF is -1); else 32 bits.
        // The subtype follows the value, suffix or not: &HFFFFFFFF& is -1, an Integer.
        int32_t v = !longSuffix && n <= 0xFFFF ? int16_t(uint16_t(n)) : int32_t(uint32_t(n));
        if (v >= -32768 && v <= 32767)
            t.value = Value::integer(int16_t(v));
        else
            t.value = Value::lng(v);
    }

    void lexNumber(bool space) {
        size_t start = pos_;
        bool isFloat = false;
        while (pos_ < s_.size() && isDigit(s_[pos_]))
            ++pos_;
        if (pos_ < s_.size() && s_[pos_] == u'.' &&
            !(pos_ + 1 < s_.size() && isLetter(s_[pos_ + 1]) && s_[pos_ + 1] != u'e' &&
              s_[pos_ + 1] != u'E')) {
            isFloat = true;
            ++pos_;
            while (pos_ < s_.size() && isDigit(s_[pos_]))
                ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == u'e' || s_[pos_] == u'E')) {
            size_t q = pos_ + 1;
            if (q < s_.size() && (s_[q] == u'+' || s_[q] == u'-')) ++q;
            if (q < s_.size() && isDigit(s_[q])) {
                isFloat = true;
                pos_ = q;
                while (pos_ < s_.size() && isDigit(s_[pos_]))
                    ++pos_;
            }
        }
        std::string digits = toUtf8(s_.substr(start, pos_ - start));
        double d = std::strtod(digits.c_str(), nullptr);
        if (std::isinf(d)) fail(errc::InvalidNumber, start);
        Token& t = push(Tok::Literal, start, pos_ - start, space);
        if (!isFloat && d <= 32767)
            t.value = Value::integer(int16_t(d));
        else if (!isFloat && d <= 2147483647.0)
            t.value = Value::lng(int32_t(d));
        else
            t.value = Value::dbl(d);
    }

    void lexWord(bool space) {
        size_t start = pos_;
        while (pos_ < s_.size() && isIdentChar(s_[pos_]))
            ++pos_;
        std::string name = toUtf8(s_.substr(start, pos_ - start));
        if (!afterDot()) {
            std::string folded = foldCase(name);
            if (folded == "rem") {
                skipToLineEnd();
                return;
            }
            auto it = keywordTable().find(folded);
            if (it != keywordTable().end()) {
                Token& t = push(it->second, start, pos_ - start, space);
                t.text = std::move(name);
                return;
            }
        }
        Token& t = push(Tok::Identifier, start, pos_ - start, space);
        t.text = std::move(name);
    }

    std::u16string_view s_;
    size_t pos_ = 0;
    uint32_t line_ = 1;
    size_t lineStart_ = 0;
    std::vector<Token> tokens_;
};

} // namespace

std::vector<Token> tokenize(std::u16string_view text) {
    return Lexer(text).run();
}

bool isKeyword(std::string_view name) {
    std::string folded = foldCase(name);
    return folded == "rem" || keywordTable().count(folded) > 0;
}

const char* tokenName(Tok kind) {
    switch (kind) {
    case Tok::End:
        return "end of script";
    case Tok::Newline:
        return "end of line";
    case Tok::Identifier:
        return "identifier";
    case Tok::Literal:
        return "literal";
    default:
        break;
    }
    for (const auto& k : kKeywords)
        if (k.kind == kind) return k.name;
    return "symbol";
}

} // namespace vbs
