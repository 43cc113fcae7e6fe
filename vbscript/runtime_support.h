#pragma once
// What the parts of the runtime share (scope.cpp, objects.cpp, calls.cpp, interpreter.cpp,
// link.cpp): raising errors, the conversions of assignment and arguments, array subscripts.

#include "vbscript/convert.h"
#include "vbscript/runtime.h"

#include <span>
#include <vector>

// GCC's noclone keeps a function from being cloned with its parameters split apart; clang has no
// such cloning and rejects the attribute.
#if defined(__clang__)
#define VBS_NOCLONE
#else
#define VBS_NOCLONE [[gnu::noclone]]
#endif

namespace vbs::rt {

// DISP_E_PARAMNOTFOUND: what an omitted argument holds.
inline constexpr int32_t kMissingArgument = int32_t(0x80020004u);

[[noreturn]] inline void fail(int number) {
    throw ScriptError(number);
}

[[noreturn]] inline void failNamed(int number, std::string_view name) {
    throw ScriptError::named(number, name);
}

// Follows references in place, so that callees that take plain values get them.
inline void derefArgs(Value* args, int argc) {
    for (int i = 0; i < argc; ++i)
        if (args[i].isRef()) {
            Value v = args[i].deref();
            args[i] = std::move(v);
        }
}

// An object assigned without Set gives its default member's value.
inline void letConvert(Value& v) {
    if (v.isObject()) v = scalarOf(v);
}

inline void requireObject(const Value& v) {
    if (!v.isObject()) fail(errc::ObjectRequired);
}

// Array subscripts, converted once; small counts need no allocation.
class Subscripts {
public:
    Subscripts(const Value* args, int argc) : n_(size_t(argc)) {
        if (n_ > kInline) {
            heap_.resize(n_);
            p_ = heap_.data();
        }
        for (size_t i = 0; i < n_; ++i) {
            const Value& v = args[i].deref();
            p_[i] = v.type() == Type::Integer ? v.integerValue()
                    : v.type() == Type::Long  ? v.longValue()
                                              : toLong(v);
        }
    }
    operator std::span<const int32_t>() const { return {p_, n_}; }

private:
    static constexpr size_t kInline = 4;
    size_t n_;
    int32_t inline_[kInline];
    int32_t* p_ = inline_;
    std::vector<int32_t> heap_;
};

// The element of a one-dimensional array at an Integer or Long subscript; null when the general
// path must decide (other subscripts or dimensions, or out of range, which it reports).
[[gnu::always_inline]] inline Value* element1(Array* a, const Value& subscript) {
    if (a->dimensions() != 1) return nullptr;
    int64_t k;
    if (subscript.type() == Type::Integer)
        k = subscript.integerValue();
    else if (subscript.type() == Type::Long)
        k = subscript.longValue();
    else
        return nullptr;
    const Array::Bound& b = a->bounds()[0];
    k -= b.lower;
    if (k < 0 || k >= b.count) return nullptr;
    return a->data() + k;
}

// target(args) = value for an array element or an object's default member.
void storeIndexed(Value& target, Value* args, int argc, Value value, bool isSet);
// target(args). Only written parentheses lead here, so an object with no arguments calls its
// default member (a GetRef called as h()).
Value loadIndexed(const Value& target, Value* args, int argc);

// The Err object of a runtime.
Value makeErrObject(Runtime& rt);

} // namespace vbs::rt
