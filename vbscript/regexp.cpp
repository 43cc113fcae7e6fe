// The RegExp object and its Matches, Match and SubMatches collections, on PCRE2.
//
// Script strings are UTF-16, so the 16-bit PCRE2 library matches them directly and its offsets
// are the language's character positions. No UTF mode: like the original object, a pattern works
// on code units and a lone surrogate is just another character. Options bring PCRE2 close to the
// JavaScript-style syntax the original accepts: \uXXXX escapes, empty classes, back references to
// groups that did not take part matching nothing, and $ only at the very end without Multiline.

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "vbscript/convert.h"
#include "vbscript/engine.h"
#include "vbscript/text.h"

#include <array>
#include <memory>

namespace vbs {

namespace {

// Backtracking steps one match may take: a pathological pattern fails instead of hanging.
constexpr uint32_t kMatchLimit = 10'000'000;

[[noreturn]] void fail(int number) {
    throw ScriptError(number);
}

// Members by a fixed list of names; ids start at 1, 0 stays the default member.
template <size_t N> int findMember(const std::array<const char*, N>& names, std::string_view name) {
    for (size_t i = 0; i < N; ++i)
        if (equalsNoCase(name, names[i])) return int(i) + 1;
    return Object::kNoMember;
}

void readOnly(Invoke kind, std::span<Value> args) {
    if (kind == Invoke::Let || kind == Invoke::Set) fail(errc::IllegalAssignment);
    if (!args.empty()) fail(errc::WrongArgumentCount);
}

// A list of values with Count, Item (the default) and For Each: Matches and SubMatches.
class ValueList : public Object {
public:
    ValueList(std::vector<Value> items, const char* type) : items_(std::move(items)), type_(type) {}
    int memberId(std::string_view name) override { return findMember(kNames, name); }
    const void* memberTable() const override { return &kNames; }
    std::string typeName() const override { return type_; }
    Value invoke(int id, Invoke kind, std::span<Value> args) override {
        if (kind == Invoke::Let || kind == Invoke::Set) fail(errc::IllegalAssignment);
        switch (id) {
        case 1: // Count
            if (!args.empty()) fail(errc::WrongArgumentCount);
            return Value::lng(int32_t(items_.size()));
        case 0:
        case 2: { // Item
            if (args.size() != 1) fail(errc::WrongArgumentCount);
            int32_t i = toLong(args[0]);
            if (i < 0 || size_t(i) >= items_.size()) fail(errc::InvalidCall);
            return items_[size_t(i)];
        }
        default:
            fail(errc::NoSuchMember);
        }
    }
    std::unique_ptr<Enumerator> enumerate() override {
        struct Each : Enumerator {
            std::vector<Value> items;
            size_t i = 0;
            bool next(Value& out) override {
                if (i >= items.size()) return false;
                out = items[i++];
                return true;
            }
        };
        auto e = std::make_unique<Each>();
        e->items = items_;
        return e;
    }

private:
    static constexpr std::array<const char*, 2> kNames{"Count", "Item"};
    std::vector<Value> items_;
    const char* type_;
};

class MatchObject : public Object {
public:
    MatchObject(std::u16string value, int32_t index, std::vector<Value> groups)
        : value_(std::move(value)), index_(index), groups_(std::move(groups)) {}
    int memberId(std::string_view name) override { return findMember(kNames, name); }
    const void* memberTable() const override { return &kNames; }
    std::string typeName() const override { return "IMatch2"; }
    Value invoke(int id, Invoke kind, std::span<Value> args) override {
        readOnly(kind, args);
        switch (id) {
        case 0:
        case 1:
            return Value::string(value_);
        case 2:
            return Value::lng(index_);
        case 3:
            return Value::lng(int32_t(value_.size()));
        case 4: {
            Object* list = new ValueList(groups_, "ISubMatches");
            return Value::object(list);
        }
        default:
            fail(errc::NoSuchMember);
        }
    }

private:
    static constexpr std::array<const char*, 4> kNames{"Value", "FirstIndex", "Length",
                                                       "SubMatches"};
    std::u16string value_;
    int32_t index_;
    std::vector<Value> groups_;
};

struct CodeDeleter {
    void operator()(pcre2_code* c) const { pcre2_code_free(c); }
};
struct DataDeleter {
    void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
};
struct ContextDeleter {
    void operator()(pcre2_match_context* c) const { pcre2_match_context_free(c); }
};

class RegExpObject : public Object {
public:
    int memberId(std::string_view name) override { return findMember(kNames, name); }
    const void* memberTable() const override { return &kNames; }
    std::string typeName() const override { return "IRegExp2"; }

    Value invoke(int id, Invoke kind, std::span<Value> args) override {
        bool assign = kind == Invoke::Let || kind == Invoke::Set;
        if (id >= 1 && id <= 4) {
            if (assign) {
                if (args.size() != 1) fail(errc::WrongArgumentCount);
                setProperty(id, args[0]);
                return {};
            }
            if (!args.empty()) fail(errc::WrongArgumentCount);
            switch (id) {
            case 1:
                return Value::string(pattern_);
            case 2:
                return Value::boolean(ignoreCase_);
            case 3:
                return Value::boolean(global_);
            default:
                return Value::boolean(multiline_);
            }
        }
        if (assign) fail(errc::IllegalAssignment);
        switch (id) {
        case 5: // Test
            if (args.size() != 1) fail(errc::WrongArgumentCount);
            return Value::boolean(test(toString(args[0])));
        case 6: // Execute
            if (args.size() != 1) fail(errc::WrongArgumentCount);
            return execute(toString(args[0]));
        case 7: // Replace
            if (args.size() != 2) fail(errc::WrongArgumentCount);
            return Value::string(replace(toString(args[0]), toString(args[1])));
        default:
            fail(errc::NoSuchMember);
        }
    }

private:
    struct Span {
        size_t begin;
        size_t end;
    };

    void setProperty(int id, const Value& v) {
        switch (id) {
        case 1:
            pattern_ = toString(v);
            break;
        case 2:
            ignoreCase_ = toBool(v);
            break;
        case 3:
            global_ = toBool(v);
            break;
        default:
            multiline_ = toBool(v);
            break;
        }
        code_.reset();
    }

    void compile() {
        if (code_) return;
        uint32_t options = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;
        std::u16string pattern = pattern_;
        if (ignoreCase_) {
            // Letters beyond ASCII ignore case only with Unicode properties, which would also
            // widen \w, \d and \b; those keep their ASCII meaning, written out.
            options |= PCRE2_CASELESS | PCRE2_UCP;
            pattern = asciiClasses(pattern_);
        }
        options |= multiline_ ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
        pcre2_compile_context* cc = pcre2_compile_context_create(nullptr);
        pcre2_set_newline(cc, PCRE2_NEWLINE_LF);
        int error = 0;
        PCRE2_SIZE offset = 0;
        pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                         pattern.size(), options, &error, &offset, cc);
        pcre2_compile_context_free(cc);
        if (!code) fail(syntaxErrorOf(error));
        code_.reset(code);
        data_.reset(pcre2_match_data_create_from_pattern(code, nullptr));
        if (!context_) {
            context_.reset(pcre2_match_context_create(nullptr));
            pcre2_set_match_limit(context_.get(), kMatchLimit);
        }
        groups_ = 0;
        pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups_);
    }

    // The pattern with \w, \W, \d, \D, \b and \B spelt out in ASCII terms, as the original object
    // means them.
    static std::u16string asciiClasses(const std::u16string& p) {
        const std::u16string word = u"A-Za-z0-9_";
        const std::u16string in = u"[" + word + u"]";
        std::u16string out;
        bool inClass = false;
        for (size_t i = 0; i < p.size(); ++i) {
            char16_t c = p[i];
            if (c == u'\\' && i + 1 < p.size()) {
                char16_t n = p[++i];
                if (inClass && n == u'w') {
                    out += word;
                } else if (inClass && n == u'd') {
                    out += u"0-9";
                } else if (!inClass && (n == u'w' || n == u'W')) {
                    out += (n == u'w' ? u"[" : u"[^") + word + u"]";
                } else if (!inClass && (n == u'd' || n == u'D')) {
                    out += n == u'd' ? u"[0-9]" : u"[^0-9]";
                } else if (!inClass && n == u'b') {
                    out += u"(?:(?<!" + in + u")(?=" + in + u")|(?<=" + in + u")(?!" + in + u"))";
                } else if (!inClass && n == u'B') {
                    out += u"(?:(?<!" + in + u")(?!" + in + u")|(?<=" + in + u")(?=" + in + u"))";
                } else {
                    out += c;
                    out += n;
                }
                continue;
            }
            if (!inClass && c == u'[') {
                inClass = true;
                out += c;
                // A ] straight after [ or [^ closes the class (empty classes are allowed).
                if (i + 1 < p.size() && p[i + 1] == u'^') out += p[++i];
                if (i + 1 < p.size() && p[i + 1] == u']') {
                    out += p[++i];
                    inClass = false;
                }
                continue;
            }
            if (inClass && c == u']') inClass = false;
            out += c;
        }
        return out;
    }

    static int syntaxErrorOf(int pcreError) {
        switch (pcreError) {
        case PCRE2_ERROR_MISSING_SQUARE_BRACKET:
            return 5019;
        case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS:
            return 5020;
        case PCRE2_ERROR_CLASS_RANGE_ORDER:
            return 5021;
        case PCRE2_ERROR_QUANTIFIER_INVALID:
        case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
            return 5018;
        default:
            return 5017;
        }
    }

    // The next match at or after `from`; false when there is none.
    bool find(const std::u16string& subject, size_t from) {
        int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                             subject.size(), from, 0, data_.get(), context_.get());
        if (rc == PCRE2_ERROR_NOMATCH) return false;
        if (rc < 0) fail(errc::OutOfStackSpace); // the match limit: runaway backtracking
        return true;
    }
    Span group(uint32_t i) const {
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data_.get());
        if (ov[2 * i] == PCRE2_UNSET) return {std::u16string::npos, std::u16string::npos};
        return {ov[2 * i], ov[2 * i + 1]};
    }

    // Calls `each` for every match the Global flag asks for. An empty match moves the search one
    // character on, as the original does.
    template <class F> void forEachMatch(const std::u16string& subject, F&& each) {
        compile();
        size_t from = 0;
        while (from <= subject.size() && find(subject, from)) {
            Span whole = group(0);
            each(whole);
            if (!global_) break;
            from = whole.end > whole.begin ? whole.end : whole.end + 1;
        }
    }

    bool test(const std::u16string& subject) {
        compile();
        return find(subject, 0);
    }

    Value execute(const std::u16string& subject) {
        std::vector<Value> matches;
        forEachMatch(subject, [&](Span whole) {
            std::vector<Value> subs;
            for (uint32_t i = 1; i <= groups_; ++i) {
                Span g = group(i);
                subs.push_back(g.begin == std::u16string::npos
                                   ? Value()
                                   : Value::string(subject.substr(g.begin, g.end - g.begin)));
            }
            Object* m = new MatchObject(subject.substr(whole.begin, whole.end - whole.begin),
                                        int32_t(whole.begin), std::move(subs));
            matches.push_back(Value::object(m));
        });
        return Value::object(new ValueList(std::move(matches), "IMatchCollection2"));
    }

    // Appends the replacement text with $ references expanded: $1..$99, $&, $`, $' and $$.
    void expand(std::u16string& out, const std::u16string& with, const std::u16string& subject,
                Span whole) const {
        auto appendSpan = [&](Span s) {
            if (s.begin != std::u16string::npos) out.append(subject, s.begin, s.end - s.begin);
        };
        for (size_t i = 0; i < with.size(); ++i) {
            char16_t c = with[i];
            if (c != u'$' || i + 1 >= with.size()) {
                out += c;
                continue;
            }
            char16_t n = with[i + 1];
            if (n == u'$') {
                out += u'$';
                ++i;
            } else if (n == u'&') {
                appendSpan(whole);
                ++i;
            } else if (n == u'`') {
                out.append(subject, 0, whole.begin);
                ++i;
            } else if (n == u'\'') {
                out.append(subject, whole.end, std::u16string::npos);
                ++i;
            } else if (n >= u'0' && n <= u'9') {
                // Two digits when they name a group, else one; a number naming no group stays.
                uint32_t one = uint32_t(n - u'0');
                uint32_t two = i + 2 < with.size() && with[i + 2] >= u'0' && with[i + 2] <= u'9'
                                   ? one * 10 + uint32_t(with[i + 2] - u'0')
                                   : 0;
                if (two >= 1 && two <= groups_) {
                    appendSpan(group(two));
                    i += 2;
                } else if (one >= 1 && one <= groups_) {
                    appendSpan(group(one));
                    ++i;
                } else {
                    out += c;
                }
            } else {
                out += c;
            }
            if (out.size() > maxStringLength()) fail(errc::OutOfStringSpace);
        }
    }

    std::u16string replace(const std::u16string& subject, const std::u16string& with) {
        std::u16string out;
        size_t done = 0;
        forEachMatch(subject, [&](Span whole) {
            out.append(subject, done, whole.begin - done);
            expand(out, with, subject, whole);
            done = whole.end;
            if (out.size() > maxStringLength()) fail(errc::OutOfStringSpace);
        });
        out.append(subject, done, std::u16string::npos);
        return out;
    }

    static constexpr std::array<const char*, 7> kNames{
        "Pattern", "IgnoreCase", "Global", "Multiline", "Test", "Execute", "Replace"};
    std::u16string pattern_;
    bool ignoreCase_ = false;
    bool global_ = false;
    bool multiline_ = false;
    std::unique_ptr<pcre2_code, CodeDeleter> code_;
    std::unique_ptr<pcre2_match_data, DataDeleter> data_;
    std::unique_ptr<pcre2_match_context, ContextDeleter> context_;
    uint32_t groups_ = 0;
};

} // namespace

Value createRegExp() {
    return Value::object(new RegExpObject);
}

} // namespace vbs
