#pragma once
// The script value (the classic Variant) and the objects scripts talk to.
//
// A Value is 16 bytes: a subtype tag and one machine word. Strings, arrays and objects are
// reference counted without atomics (an engine and its objects live on one thread). Arrays have
// value semantics as in the language, implemented copy-on-write.

#include "vbscript/error.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vbs {

class Array;
class Object;
class Value;

// Subtypes. VarType numbers them differently (see varType); this order puts the kinds that own
// memory last so that copying and destroying test one comparison.
enum class Type : uint8_t {
    Empty,
    Null,
    Integer,
    Long,
    Single,
    Double,
    Currency,
    Date,
    Error,
    Boolean,
    Byte,
    Ref, // engine-internal: a by-reference argument pointing at a variable
    String,
    Object,
    Array,
    ElemRef,  // engine-internal: a by-reference array element, keeping its array alive and locked
    Iterator, // engine-internal: the state of a For Each loop
};

// What a member access asks of an object.
enum class Invoke : uint8_t {
    Get,  // property read or method call whose result is used
    Call, // method call as a statement (result ignored)
    Let,  // property assignment; the value is the last argument
    Set,  // object assignment (Set); the value is the last argument
};

namespace detail {
struct StrRep {
    uint32_t refs;
    std::u16string text;
};
struct ElemBox;
class Iter {
public:
    virtual ~Iter() = default;
    virtual bool next(Value& out) = 0;
};
} // namespace detail

// Longest string a script may build; longer ones fail with "Out of string space" before the
// memory is taken (the system would rather kill the process than refuse a huge allocation).
constexpr size_t kMaxStringLength = size_t(1) << 24;

// What script values may take on this thread. The defaults hold outside a run; an engine puts its
// own limits in place while its scripts run (EngineLimits) and restores the previous ones after.
struct ValueLimits {
    size_t maxStringLength = kMaxStringLength; // characters; longer: "Out of string space"
    size_t maxArrayElements = size_t(1) << 24; // elements of one array; more: "Out of memory"
    size_t maxBytes = 0; // of all strings and arrays alive on the thread; 0: no limit
};

namespace detail {
struct ValueBudget {
    ValueLimits limits;
    size_t live = 0; // bytes of the strings and arrays alive on this thread
};
extern constinit thread_local ValueBudget valueBudget;
// Counts `bytes` more alive; "Out of memory" (nothing counted) when over the byte limit.
void chargeBytes(size_t bytes);
inline void creditBytes(size_t bytes) noexcept {
    valueBudget.live -= bytes;
}
// What a string of n characters and an array of n elements count.
constexpr size_t stringBytes(size_t n) {
    return 32 + 2 * n;
}
constexpr size_t arrayBytes(size_t n) {
    return 64 + 16 * n;
}
} // namespace detail

// The limits in force on this thread, and their replacement (returns the previous ones).
inline const ValueLimits& valueLimits() {
    return detail::valueBudget.limits;
}
ValueLimits setValueLimits(const ValueLimits& limits);
// Bytes of the strings and arrays alive on this thread, as counted against maxBytes.
inline size_t liveValueBytes() {
    return detail::valueBudget.live;
}
// The longest string allowed now.
inline size_t maxStringLength() {
    return detail::valueBudget.limits.maxStringLength;
}

class Value {
public:
    Value() noexcept : type_(Type::Empty) { u_.bits = 0; }
    [[gnu::always_inline]] Value(const Value& other) : type_(other.type_), u_(other.u_) {
        if (type_ >= Type::String) retainSlow();
    }
    Value(Value&& other) noexcept : type_(other.type_), u_(other.u_) { other.type_ = Type::Empty; }
    [[gnu::always_inline]] Value& operator=(const Value& other) {
        if (other.type_ >= Type::String) {
            Value copy(other);
            return *this = std::move(copy);
        }
        Type oldType = type_;
        Payload oldPayload = u_;
        type_ = other.type_;
        u_ = other.u_;
        if (oldType >= Type::String) {
            Value old;
            old.type_ = oldType;
            old.u_ = oldPayload;
        }
        return *this;
    }
    [[gnu::always_inline]] Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            Type oldType = type_;
            Payload oldPayload = u_;
            type_ = other.type_;
            u_ = other.u_;
            other.type_ = Type::Empty;
            if (oldType >= Type::String) {
                Value old; // releases what this value held, after taking the new one
                old.type_ = oldType;
                old.u_ = oldPayload;
            }
        }
        return *this;
    }
    [[gnu::always_inline]] ~Value() {
        if (type_ >= Type::String) releaseSlow();
    }
    void swap(Value& other) noexcept {
        std::swap(type_, other.type_);
        std::swap(u_, other.u_);
    }
    void clear() noexcept {
        if (type_ >= Type::String) releaseSlow();
        type_ = Type::Empty;
    }
    // Replaces a value known to hold an object reference (Nothing included), the release inline:
    // for the interpreter's member fast paths, where the object leaves the stack.
    inline void replaceObject(Value&& v) noexcept;
    // Replace the value by a number in place. Assigning a factory's result instead goes through
    // a temporary that the compiler often keeps in memory, which the interpreter's fast paths pay.
    [[gnu::always_inline]] void setInteger(int16_t v) { setBits(Type::Integer, uint16_t(v)); }
    [[gnu::always_inline]] void setLong(int32_t v) { setBits(Type::Long, uint32_t(v)); }
    [[gnu::always_inline]] void setDouble(double v) {
        uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        setBits(Type::Double, b);
    }

    // Factories.
    static Value null() { return make(Type::Null); }
    // The payload is written as one 64-bit word: writing a narrow member over a cleared word
    // makes the next full read of the value wait for two stores to merge.
    static Value integer(int16_t v) { return withBits(Type::Integer, uint16_t(v)); }
    static Value lng(int32_t v) { return withBits(Type::Long, uint32_t(v)); }
    static Value single(float v) {
        uint32_t b;
        std::memcpy(&b, &v, sizeof b);
        return withBits(Type::Single, b);
    }
    static Value dbl(double v) {
        uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        return withBits(Type::Double, b);
    }
    // Currency: the amount times 10000.
    static Value currency(int64_t scaled) { return withBits(Type::Currency, uint64_t(scaled)); }
    // Dates: days since 30 December 1899, the time of day as the fraction.
    static Value date(double v) {
        uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        return withBits(Type::Date, b);
    }
    static Value boolean(bool v) { return withBits(Type::Boolean, v ? 1 : 0); }
    static Value byte(uint8_t v) { return withBits(Type::Byte, v); }
    static Value error(int32_t code) { return withBits(Type::Error, uint32_t(code)); }
    static Value string(std::u16string text);
    static Value string(std::u16string_view text) { return string(std::u16string(text)); }
    static Value string(const char16_t* text) { return string(std::u16string(text)); }
    static Value fromUtf8(std::string_view text);
    // a & b, within maxStringLength().
    static Value concat(std::u16string_view a, std::u16string_view b);
    // The string's text when this value is its only holder, so it may change in place.
    std::u16string* uniqueString() {
        return type_ == Type::String && u_.str->refs == 1 ? &u_.str->text : nullptr;
    }
    // True when both hold the same string (not merely equal text).
    bool sameString(const Value& other) const {
        return type_ == Type::String && other.type_ == Type::String && u_.str == other.u_.str;
    }
    // An object reference; a null pointer is Nothing.
    static Value object(Object* object);
    static Value nothing() { return object(nullptr); }
    // Takes over one reference of `array`.
    static Value array(Array* array);

    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isNull() const { return type_ == Type::Null; }
    bool isString() const { return type_ == Type::String; }
    bool isObject() const { return type_ == Type::Object; }
    bool isNothing() const { return type_ == Type::Object && u_.obj == nullptr; }
    bool isArray() const { return type_ == Type::Array; }
    bool isNumeric() const; // Integer, Long, Single, Double, Currency, Date, Boolean, Byte

    // Raw payloads; only valid for the matching subtype.
    int16_t integerValue() const { return u_.i16; }
    int32_t longValue() const { return u_.i32; }
    float singleValue() const { return u_.f32; }
    double doubleValue() const { return u_.f64; }
    int64_t currencyValue() const { return u_.i64; }
    double dateValue() const { return u_.f64; }
    bool booleanValue() const { return u_.b; }
    uint8_t byteValue() const { return u_.u8; }
    int32_t errorValue() const { return u_.i32; }
    const std::u16string& stringValue() const { return u_.str->text; }
    Object* objectValue() const { return u_.obj; }
    Array* arrayValue() const { return u_.arr; }
    // The array, first unshared from other holders so that it can be changed.
    Array* mutableArray();

    // Engine-internal references.
    static Value ref(Value* target) {
        Value r = make(Type::Ref);
        r.u_.ref = target;
        return r;
    }
    static Value elementRef(Array* array, Value* element);
    static Value iterator(detail::Iter* iter) {
        Value r = make(Type::Iterator);
        r.u_.iter = iter;
        return r;
    }
    bool isRef() const { return type_ == Type::Ref || type_ == Type::ElemRef; }
    Value* refTarget() const;
    detail::Iter* iteratorValue() const { return u_.iter; }
    // The value itself, or what a reference points at.
    const Value& deref() const {
        return type_ == Type::Ref ? *u_.ref : type_ == Type::ElemRef ? *refTarget() : *this;
    }
    Value& deref() {
        return type_ == Type::Ref ? *u_.ref : type_ == Type::ElemRef ? *refTarget() : *this;
    }

private:
    static Value make(Type t) {
        Value r;
        r.type_ = t;
        return r;
    }
    [[gnu::always_inline]] void setBits(Type t, uint64_t bits) noexcept {
        Type oldType = type_;
        Payload oldPayload = u_;
        type_ = t;
        u_.bits = bits;
        if (oldType >= Type::String) {
            Value old; // releases what this value held
            old.type_ = oldType;
            old.u_ = oldPayload;
        }
    }
    static Value withBits(Type t, uint64_t bits) {
        Value r;
        r.type_ = t;
        r.u_.bits = bits;
        return r;
    }
    void retainSlow();
    void releaseSlow() noexcept;

    Type type_;
    union Payload {
        uint64_t bits;
        int16_t i16;
        int32_t i32;
        int64_t i64;
        float f32;
        double f64;
        bool b;
        uint8_t u8;
        detail::StrRep* str;
        Object* obj;
        Array* arr;
        Value* ref;
        detail::ElemBox* box;
        detail::Iter* iter;
    } u_;
};

static_assert(sizeof(Value) == 16);

// A Variant array: any number of dimensions, each with a lower bound and a count. Elements are
// stored with the first index varying fastest, so ReDim Preserve of the last dimension keeps
// every element in place.
class Array {
public:
    struct Bound {
        int32_t lower = 0;
        int32_t count = 0;
    };
    // Most elements one array may hold (ValueLimits::maxArrayElements by default); larger
    // requests fail with "Out of memory".
    static constexpr size_t kMaxElements = size_t(1) << 24;

    // A new array with one reference. No bounds: a dynamic array not yet dimensioned.
    static Array* create(std::vector<Bound> bounds = {});
    static Array* fromValues(std::vector<Value> values); // one dimension, from 0

    const std::vector<Bound>& bounds() const { return bounds_; }
    size_t dimensions() const { return bounds_.size(); }
    size_t size() const { return data_.size(); }
    Value* data() { return data_.data(); }
    const Value* data() const { return data_.data(); }
    std::vector<Value>& elements() { return data_; }

    // The element at the given subscripts; "Subscript out of range" when outside.
    Value& at(std::span<const int32_t> subscripts);
    // Changes the bounds; with `preserve` only the last dimension may change and elements stay.
    void redim(std::vector<Bound> bounds, bool preserve);
    void erase(); // fixed arrays clear their elements, dynamic ones lose their bounds
    Array* clone() const;

    bool fixed() const { return fixed_; }
    void setFixed(bool fixed) { fixed_ = fixed; }
    bool locked() const { return locks_ > 0; }
    void lock() { ++locks_; }
    void unlock() { --locks_; }

    void addRef() { ++refs_; }
    void release() {
        if (--refs_ == 0) delete this;
    }
    uint32_t refCount() const { return refs_; }
    uint32_t lockCount() const { return locks_; }

private:
    Array() = default;
    ~Array();
    static size_t checkedSize(const std::vector<Bound>& bounds);
    void resize(size_t n);

    uint32_t refs_ = 1;
    uint32_t locks_ = 0;
    bool fixed_ = false;
    std::vector<Bound> bounds_;
    std::vector<Value> data_;
};

// Walks a collection for For Each.
class Enumerator {
public:
    virtual ~Enumerator() = default;
    // The next element, or false at the end.
    virtual bool next(Value& out) = 0;
};

// Anything a script can hold as an object: host objects and instances of script classes.
// Members are reached by name (ASCII case-insensitive) through an id; id 0 is the default
// member. Hosts derive from this class; errors are reported by throwing ScriptError.
class Object {
public:
    static constexpr int kNoMember = -1;
    static constexpr int kDefaultMember = 0;

    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    void addRef() noexcept { ++refs_; }
    void release() noexcept {
        if (--refs_ == 0) finalRelease();
    }
    uint32_t refCount() const { return refs_; }

    // The id of a member, or kNoMember.
    virtual int memberId(std::string_view name) = 0;
    // Objects sharing this key give every name the same id, so a call site may cache the id.
    // Null: do not cache.
    virtual const void* memberTable() const { return nullptr; }
    // Reads a property or calls a method (Get, Call) or assigns a property (Let, Set: the value is
    // the last argument). Arguments are plain values. A member that takes no arguments may fail a
    // Get with arguments with WrongArgumentCount: the engine then reads it without them and
    // applies them to its value (obj.Items(1)).
    virtual Value invoke(int id, Invoke kind, std::span<Value> args) = 0;
    // For Each: the elements, or null when the object is not a collection.
    virtual std::unique_ptr<Enumerator> enumerate() { return nullptr; }
    // Two objects are the same for `Is` when their identities are equal.
    virtual const void* identity() const { return this; }
    // What TypeName reports.
    virtual std::string typeName() const { return "Object"; }

    bool isScriptObject() const { return scriptObject_; }

protected:
    // The last reference went away.
    virtual void finalRelease() noexcept { delete this; }
    bool scriptObject_ = false;

private:
    uint32_t refs_ = 0;
};

inline void Value::replaceObject(Value&& v) noexcept {
    Object* o = u_.obj;
    type_ = v.type_;
    u_ = v.u_;
    v.type_ = Type::Empty;
    if (o) o->release();
}

// Indexes an array or calls an object's default member with `args`: what `value(args)` means.
Value applyArguments(const Value& value, std::span<Value> args);

// VarType of a value.
int varType(const Value& v);
// TypeName of a value.
std::string typeName(const Value& v);

} // namespace vbs
