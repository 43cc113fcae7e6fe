#pragma once
// The registry of built-in functions and constants. Each part of the library contributes a table
// (see registerCoreBuiltins); names are looked up without regard to case when code is linked.

#include "vbscript/text.h"
#include "vbscript/value.h"

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vbs {

class Runtime;
struct Frame;

// What a built-in may reach besides its arguments: the engine, and the frame of the calling
// code (Eval and Execute work in the caller's scope).
struct CallContext {
    Runtime& runtime;
    Frame* frame;
};

// Arguments are plain values (references already followed).
using BuiltinFn = Value (*)(CallContext& ctx, std::span<Value> args);

struct Builtin {
    const char* name;
    int8_t minArgs;
    int8_t maxArgs;
    BuiltinFn fn;
};

struct BuiltinConstant {
    const char* name;
    Value value;
};

class BuiltinRegistry {
public:
    void add(std::span<const Builtin> table);
    void add(std::span<const BuiltinConstant> table);
    const Builtin* function(std::string_view name) const;
    const Value* constant(std::string_view name) const;

private:
    std::unordered_map<std::string, Builtin, NoCaseHash, NoCaseEqual> functions_;
    std::unordered_map<std::string, Value, NoCaseHash, NoCaseEqual> constants_;
};

const BuiltinRegistry& builtins();

// The tables of each part of the library.
void registerCoreBuiltins(BuiltinRegistry& registry);
void registerLibraryBuiltins(BuiltinRegistry& registry);

} // namespace vbs
