#include "vbscript/value.h"

#include "vbscript/convert.h"
#include "vbscript/text.h"

#include <new>

namespace vbs {

namespace detail {
struct ElemBox {
    Array* array;
    Value* element;
};
} // namespace detail

constinit thread_local detail::ValueBudget detail::valueBudget;

void detail::chargeBytes(size_t bytes) {
    ValueBudget& b = valueBudget;
    if (b.limits.maxBytes && (bytes > b.limits.maxBytes || b.live > b.limits.maxBytes - bytes))
        throw ScriptError(errc::OutOfMemory);
    b.live += bytes;
}

ValueLimits setValueLimits(const ValueLimits& limits) {
    ValueLimits old = detail::valueBudget.limits;
    detail::valueBudget.limits = limits;
    return old;
}

Value Value::string(std::u16string text) {
    const size_t n = text.size();
    if (n > maxStringLength()) throw ScriptError(errc::OutOfStringSpace);
    detail::chargeBytes(detail::stringBytes(n));
    Value r = make(Type::String);
    try {
        r.u_.str = new detail::StrRep{1, std::move(text)};
    } catch (...) {
        detail::creditBytes(detail::stringBytes(n));
        throw;
    }
    return r;
}

Value Value::concat(std::u16string_view a, std::u16string_view b) {
    if (a.size() + b.size() > maxStringLength()) throw ScriptError(errc::OutOfStringSpace);
    std::u16string s;
    s.reserve(a.size() + b.size());
    s.append(a);
    s.append(b);
    return string(std::move(s));
}

Value Value::fromUtf8(std::string_view text) {
    return string(vbs::fromUtf8(text));
}

Value Value::object(Object* object) {
    Value r = make(Type::Object);
    r.u_.obj = object;
    if (object) object->addRef();
    return r;
}

Value Value::array(Array* array) {
    Value r = make(Type::Array);
    r.u_.arr = array;
    return r;
}

Value Value::elementRef(Array* array, Value* element) {
    Value r = make(Type::ElemRef);
    array->addRef();
    array->lock();
    r.u_.box = new detail::ElemBox{array, element};
    return r;
}

Value* Value::refTarget() const {
    return type_ == Type::Ref ? u_.ref : u_.box->element;
}

bool Value::isNumeric() const {
    switch (type_) {
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
    case Type::Currency:
    case Type::Date:
    case Type::Boolean:
    case Type::Byte:
        return true;
    default:
        return false;
    }
}

Array* Value::mutableArray() {
    Array* a = u_.arr;
    // Element references hold a reference and a lock each; only other holders force a copy.
    if (a->refCount() > a->lockCount() + 1) {
        Array* copy = a->clone();
        a->release();
        u_.arr = copy;
        return copy;
    }
    return a;
}

void Value::retainSlow() {
    switch (type_) {
    case Type::String:
        ++u_.str->refs;
        break;
    case Type::Object:
        if (u_.obj) u_.obj->addRef();
        break;
    case Type::Array:
        // Fixed and locked arrays are copied at once: the copy must not share their storage.
        if (u_.arr->fixed() || u_.arr->locked())
            u_.arr = u_.arr->clone();
        else
            u_.arr->addRef();
        break;
    case Type::ElemRef:
        u_.box->array->addRef();
        u_.box->array->lock();
        u_.box = new detail::ElemBox(*u_.box);
        break;
    case Type::Iterator:
        type_ = Type::Empty; // loop state is never shared
        break;
    default:
        break;
    }
}

void Value::releaseSlow() noexcept {
    switch (type_) {
    case Type::String:
        if (--u_.str->refs == 0) {
            detail::creditBytes(detail::stringBytes(u_.str->text.size()));
            delete u_.str;
        }
        break;
    case Type::Object:
        if (u_.obj) u_.obj->release();
        break;
    case Type::Array:
        u_.arr->release();
        break;
    case Type::ElemRef:
        u_.box->array->unlock();
        u_.box->array->release();
        delete u_.box;
        break;
    case Type::Iterator:
        delete u_.iter;
        break;
    default:
        break;
    }
    type_ = Type::Empty;
}

size_t Array::checkedSize(const std::vector<Bound>& bounds) {
    if (bounds.empty()) return 0;
    size_t total = 1;
    const size_t most = std::min(kMaxElements, valueLimits().maxArrayElements);
    for (const Bound& b : bounds) {
        if (b.count < 0) throw ScriptError(errc::SubscriptOutOfRange);
        total *= size_t(b.count);
        if (total > most) throw ScriptError(errc::OutOfMemory);
    }
    return total;
}

// Every change of an array's element count goes through the byte count: charged before the
// memory is taken, given back when it goes.
Array::~Array() {
    detail::creditBytes(detail::arrayBytes(data_.size()));
}

Array* Array::create(std::vector<Bound> bounds) {
    size_t n = checkedSize(bounds);
    detail::chargeBytes(detail::arrayBytes(0));
    auto* a = new Array; // counted as empty from here on
    try {
        a->resize(n);
    } catch (...) {
        delete a;
        throw;
    }
    a->bounds_ = std::move(bounds);
    return a;
}

Array* Array::fromValues(std::vector<Value> values) {
    detail::chargeBytes(detail::arrayBytes(values.size()));
    auto* a = new Array;
    a->bounds_ = {Bound{0, int32_t(values.size())}};
    a->data_ = std::move(values);
    return a;
}

// data_ to n elements, the new ones Empty; "Out of memory" when over a limit.
void Array::resize(size_t n) {
    const size_t old = data_.size();
    if (n > old) detail::chargeBytes(16 * (n - old));
    try {
        data_.resize(n);
    } catch (const std::bad_alloc&) {
        if (n > old) detail::creditBytes(16 * (n - old));
        throw ScriptError(errc::OutOfMemory);
    }
    if (n < old) detail::creditBytes(16 * (old - n));
}

Value& Array::at(std::span<const int32_t> subscripts) {
    if (subscripts.size() != bounds_.size() || bounds_.empty())
        throw ScriptError(errc::SubscriptOutOfRange);
    size_t offset = 0;
    size_t stride = 1;
    for (size_t i = 0; i < subscripts.size(); ++i) {
        int64_t k = int64_t(subscripts[i]) - bounds_[i].lower;
        if (k < 0 || k >= bounds_[i].count) throw ScriptError(errc::SubscriptOutOfRange);
        offset += size_t(k) * stride;
        stride *= size_t(bounds_[i].count);
    }
    return data_[offset];
}

void Array::redim(std::vector<Bound> bounds, bool preserve) {
    size_t n = checkedSize(bounds);
    if (preserve && !bounds_.empty()) {
        if (bounds.size() != bounds_.size()) throw ScriptError(errc::SubscriptOutOfRange);
        for (size_t i = 0; i + 1 < bounds.size(); ++i)
            if (bounds[i].count != bounds_[i].count || bounds[i].lower != bounds_[i].lower)
                throw ScriptError(errc::SubscriptOutOfRange);
        // Elements dropped from the end may run Class_Terminate, which may read this array:
        // take them out first, so that bounds and elements agree while they go.
        std::vector<Value> dropped;
        if (n < data_.size()) {
            dropped.assign(std::make_move_iterator(data_.begin() + std::ptrdiff_t(n)),
                           std::make_move_iterator(data_.end()));
        }
        resize(n);
        bounds_ = std::move(bounds);
        return;
    }
    detail::chargeBytes(16 * n);
    std::vector<Value> fresh;
    try {
        fresh.resize(n);
    } catch (const std::bad_alloc&) {
        detail::creditBytes(16 * n);
        throw ScriptError(errc::OutOfMemory);
    }
    // The old elements go after the new ones and their bounds are in place (see above).
    data_.swap(fresh);
    detail::creditBytes(16 * fresh.size());
    bounds_ = std::move(bounds);
}

void Array::erase() {
    if (fixed_) {
        // Clearing may run Class_Terminate: by copy-and-clear each element is Empty before its
        // old value goes.
        for (size_t i = 0; i < data_.size(); ++i) {
            Value old = std::move(data_[i]);
        }
    } else {
        bounds_.clear();
        std::vector<Value> old;
        old.swap(data_);
        detail::creditBytes(16 * old.size());
    }
}

Array* Array::clone() const {
    detail::chargeBytes(detail::arrayBytes(data_.size()));
    auto* a = new Array;
    a->bounds_ = bounds_;
    try {
        a->data_ = data_;
    } catch (const std::bad_alloc&) {
        detail::creditBytes(16 * data_.size()); // the empty array's share goes with it
        delete a;
        throw ScriptError(errc::OutOfMemory);
    }
    return a;
}

Value applyArguments(const Value& value, std::span<Value> args) {
    const Value& v = value.deref();
    if (v.isArray()) {
        if (args.empty()) return v;
        int32_t subs[8];
        std::vector<int32_t> many;
        int32_t* p = subs;
        if (args.size() > 8) {
            many.resize(args.size());
            p = many.data();
        }
        for (size_t i = 0; i < args.size(); ++i)
            p[i] = toLong(args[i].deref());
        return v.arrayValue()->at(std::span<const int32_t>(p, args.size()));
    }
    if (v.isObject()) {
        if (!v.objectValue()) throw ScriptError(errc::ObjectVariableNotSet);
        if (args.empty()) return v;
        Value keep = v; // the call may overwrite the variable that holds the object
        return keep.objectValue()->invoke(Object::kDefaultMember, Invoke::Get, args);
    }
    if (args.empty()) return v;
    throw ScriptError(errc::TypeMismatch);
}

int varType(const Value& v) {
    switch (v.deref().type()) {
    case Type::Empty:
        return 0;
    case Type::Null:
        return 1;
    case Type::Integer:
        return 2;
    case Type::Long:
        return 3;
    case Type::Single:
        return 4;
    case Type::Double:
        return 5;
    case Type::Currency:
        return 6;
    case Type::Date:
        return 7;
    case Type::String:
        return 8;
    case Type::Object:
        return 9;
    case Type::Error:
        return 10;
    case Type::Boolean:
        return 11;
    case Type::Byte:
        return 17;
    case Type::Array:
        return 8204;
    default:
        return 0;
    }
}

std::string typeName(const Value& value) {
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Empty:
        return "Empty";
    case Type::Null:
        return "Null";
    case Type::Integer:
        return "Integer";
    case Type::Long:
        return "Long";
    case Type::Single:
        return "Single";
    case Type::Double:
        return "Double";
    case Type::Currency:
        return "Currency";
    case Type::Date:
        return "Date";
    case Type::String:
        return "String";
    case Type::Object:
        return v.objectValue() ? v.objectValue()->typeName() : "Nothing";
    case Type::Error:
        return "Error";
    case Type::Boolean:
        return "Boolean";
    case Type::Byte:
        return "Byte";
    case Type::Array:
        return "Variant()";
    default:
        return "Empty";
    }
}

} // namespace vbs
