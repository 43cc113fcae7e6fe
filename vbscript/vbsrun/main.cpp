// vbsrun [--no-fuse] [--dump] FILE.vbs [ARGS]: runs a script file on the engine with a console
// host object, WScript. MsgBox prints to standard output; an unhandled error prints
// FILE(LINE, COLUMN) DESCRIPTION to standard error and exits with 1; WScript.Quit ends the run
// with its code. --no-fuse compiles without fused instructions (the tests compare both ways);
// --dump prints the compiled code instead of running it.

#include "vbscript/compiler.h"
#include "vbscript/convert.h"
#include "vbscript/dump.h"
#include "vbscript/engine.h"
#include "vbscript/text.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string_view>
#include <thread>

namespace {

using vbs::Invoke;
using vbs::Object;
using vbs::ScriptError;
using vbs::Value;

struct QuitRequest {
    int code;
};

void write(std::FILE* out, const std::u16string& text) {
    std::string bytes = vbs::toUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

// Script files are ANSI (Windows-1252), UTF-8 or UTF-16 with a byte order mark.
std::u16string decode(const std::string& bytes) {
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) {
        std::u16string out;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out += char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8));
        return out;
    }
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFE && uint8_t(bytes[1]) == 0xFF) {
        std::u16string out;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out += char16_t((uint8_t(bytes[i]) << 8) | uint8_t(bytes[i + 1]));
        return out;
    }
    std::string_view view(bytes);
    if (view.size() >= 3 && uint8_t(view[0]) == 0xEF && uint8_t(view[1]) == 0xBB &&
        uint8_t(view[2]) == 0xBF)
        return vbs::fromUtf8(view.substr(3));
    std::u16string utf8 = vbs::fromUtf8(view);
    if (utf8.find(u'\uFFFD') == std::u16string::npos) return utf8;
    std::u16string out;
    for (char c : bytes)
        out += vbs::fromCp1252(uint8_t(c));
    return out;
}

// A small base for the console objects: members by a fixed list of names.
class ConsoleObject : public Object {
public:
    explicit ConsoleObject(std::vector<const char*> names) : names_(std::move(names)) {}
    int memberId(std::string_view name) override {
        for (size_t i = 0; i < names_.size(); ++i)
            if (vbs::equalsNoCase(name, names_[i])) return int(i) + 1;
        return kNoMember;
    }
    const void* memberTable() const override { return &names_; }

private:
    std::vector<const char*> names_;
};

class TextStream : public ConsoleObject {
public:
    explicit TextStream(std::FILE* out)
        : ConsoleObject({"Write", "WriteLine", "WriteBlankLines", "Close"}), out_(out) {}
    std::string typeName() const override { return "TextStream"; }
    Value invoke(int id, Invoke, std::span<Value> args) override {
        switch (id) {
        case 1:
            if (args.size() != 1) throw ScriptError(vbs::errc::WrongArgumentCount);
            write(out_, vbs::toString(args[0]));
            return {};
        case 2:
            if (args.size() > 1) throw ScriptError(vbs::errc::WrongArgumentCount);
            if (!args.empty()) write(out_, vbs::toString(args[0]));
            write(out_, u"\n");
            return {};
        case 3: {
            int n = args.empty() ? 1 : vbs::toLong(args[0]);
            for (int i = 0; i < n; ++i)
                write(out_, u"\n");
            return {};
        }
        case 4:
            return {};
        default:
            throw ScriptError(vbs::errc::NoSuchMember);
        }
    }

private:
    std::FILE* out_;
};

class ArgumentList : public ConsoleObject {
public:
    explicit ArgumentList(std::vector<std::u16string> args)
        : ConsoleObject({"Item", "Count", "Length"}), args_(std::move(args)) {}
    std::string typeName() const override { return "Arguments"; }
    Value invoke(int id, Invoke, std::span<Value> args) override {
        switch (id) {
        case 0:
        case 1: {
            if (args.size() != 1) throw ScriptError(vbs::errc::WrongArgumentCount);
            int i = vbs::toLong(args[0]);
            if (i < 0 || size_t(i) >= args_.size())
                throw ScriptError(vbs::errc::SubscriptOutOfRange);
            return Value::string(args_[size_t(i)]);
        }
        case 2:
        case 3:
            return Value::lng(int32_t(args_.size()));
        default:
            throw ScriptError(vbs::errc::NoSuchMember);
        }
    }
    std::unique_ptr<vbs::Enumerator> enumerate() override {
        struct Each : vbs::Enumerator {
            const std::vector<std::u16string>& list;
            size_t i = 0;
            explicit Each(const std::vector<std::u16string>& l) : list(l) {}
            bool next(Value& out) override {
                if (i >= list.size()) return false;
                out = Value::string(list[i++]);
                return true;
            }
        };
        return std::make_unique<Each>(args_);
    }

private:
    std::vector<std::u16string> args_;
};

class WScript : public ConsoleObject {
public:
    WScript(std::u16string path, std::vector<std::u16string> args)
        : ConsoleObject({"Echo", "Quit", "Arguments", "StdOut", "StdErr", "Sleep", "ScriptName",
                         "ScriptFullName", "Name", "Version", "Interactive"}),
          path_(std::move(path)) {
        arguments_ = Value::object(new ArgumentList(std::move(args)));
        stdout_ = Value::object(new TextStream(stdout));
        stderr_ = Value::object(new TextStream(stderr));
    }
    std::string typeName() const override { return "Object"; }
    Value invoke(int id, Invoke, std::span<Value> args) override {
        switch (id) {
        case 1: {
            std::u16string line;
            for (size_t i = 0; i < args.size(); ++i) {
                if (i) line += u' ';
                if (!args[i].isNull())
                    line += vbs::toString(args[i]);
                else
                    line += u"Null";
            }
            write(stdout, line + u"\n");
            return {};
        }
        case 2:
            std::fflush(stdout);
            throw QuitRequest{args.empty() ? 0 : vbs::toLong(args[0])};
        case 3:
            if (!args.empty()) throw ScriptError(vbs::errc::WrongArgumentCount);
            return arguments_;
        case 4:
            return stdout_;
        case 5:
            return stderr_;
        case 6:
            if (args.size() != 1) throw ScriptError(vbs::errc::WrongArgumentCount);
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(vbs::toLong(args[0])));
            return {};
        case 7: {
            size_t slash = path_.find_last_of(u"/\\");
            return Value::string(slash == std::u16string::npos ? path_ : path_.substr(slash + 1));
        }
        case 8:
            return Value::string(path_);
        case 9:
            return Value::string(u"Windows Script Host");
        case 10:
            return Value::string(u"5.8");
        case 11:
            return Value::boolean(false);
        default:
            throw ScriptError(vbs::errc::NoSuchMember);
        }
    }

private:
    std::u16string path_;
    Value arguments_;
    Value stdout_;
    Value stderr_;
};

class ConsoleHost : public vbs::HostServices {
public:
    int msgBox(const std::u16string& prompt, int, const std::u16string&) override {
        write(stdout, prompt + u"\n");
        return 1;
    }
    Value inputBox(const std::u16string& prompt, const std::u16string&,
                   const std::u16string& defaultText) override {
        write(stdout, prompt + u"\n");
        std::fflush(stdout);
        std::string line;
        if (!std::getline(std::cin, line)) return Value::string(defaultText);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return Value::fromUtf8(line);
    }
};

// Compiles each unit of the text as the engine does and prints it.
int dumpCode(const char* path, const std::u16string& text, bool fuse) {
    try {
        std::vector<vbs::Token> tokens = vbs::tokenize(text);
        vbs::CompileOptions options;
        options.fuse = fuse;
        for (const vbs::UnitSpan& span : vbs::splitUnits(tokens)) {
            auto unit = vbs::compileUnit(tokens, span, options);
            std::string listing = vbs::dumpUnit(*unit, tokens[span.begin].line);
            std::fwrite(listing.data(), 1, listing.size(), stdout);
            std::fputc('\n', stdout);
        }
    } catch (const ScriptError& e) {
        std::fflush(stdout);
        std::string message = vbs::toUtf8(e.message());
        std::fprintf(stderr, "%s(%d, %d) %s\n", path, e.line(), e.column(), message.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bool fuse = true;
    bool dump = false;
    int first = 1;
    for (; first < argc && std::string_view(argv[first]).starts_with("--"); ++first) {
        std::string_view option(argv[first]);
        if (option == "--no-fuse") {
            fuse = false;
        } else if (option == "--dump") {
            dump = true;
        } else {
            std::fprintf(stderr, "vbsrun: unknown option %s\n", argv[first]);
            return 2;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: vbsrun [--no-fuse] [--dump] FILE.vbs [ARGS]\n");
        return 2;
    }
    const char* path = argv[first];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "vbsrun: cannot read %s\n", path);
        return 2;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::u16string> args;
    for (int i = first + 1; i < argc; ++i)
        args.push_back(vbs::fromUtf8(argv[i]));

    if (dump) return dumpCode(path, decode(bytes), fuse);

    vbs::Engine engine;
    engine.setFusing(fuse);
    ConsoleHost host;
    engine.setHost(&host);
    Value wscript = Value::object(new WScript(vbs::fromUtf8(path), std::move(args)));
    int code = 0;
    try {
        engine.addObject("WScript", wscript.objectValue(), false);
        engine.addCode(decode(bytes));
    } catch (const QuitRequest& q) {
        code = q.code;
    } catch (const ScriptError& e) {
        std::fflush(stdout);
        std::string message = vbs::toUtf8(e.message());
        std::fprintf(stderr, "%s(%d, %d) %s\n", path, e.line(), e.column(), message.c_str());
        code = 1;
    }
    std::fflush(stdout);
    return code;
}
