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

Value Value::string(std::u16string text) {
    if (text.size() > kMaxStringLength) throw ScriptError(errc::OutOfStringSpace);
    Value r = make(Type::String);
    r.u_.str = new detail::StrRep{1, std::move(text)};
    return r;
}

Value Value::concat(std::u16string_view a, std::u16string_view b) {
    if (a.size() + b.size() > kMaxStringLength) throw ScriptError(errc::OutOfStringSpace);
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
        if (--u_.str->refs == 0) delete u_.str;
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
    for (const Bound& b : bounds) {
        if (b.count < 0) throw ScriptError(errc::SubscriptOutOfRange);
        total *= size_t(b.count);
        if (total > kMaxElements) throw ScriptError(errc::OutOfMemory);
    }
    return total;
}

Array* Array::create(std::vector<Bound> bounds) {
    size_t n = checkedSize(bounds);
    auto* a = new Array;
    try {
        a->data_.resize(n);
    } catch (const std::bad_alloc&) {
        delete a;
        throw ScriptError(errc::OutOfMemory);
    }
    a->bounds_ = std::move(bounds);
    return a;
}

Array* Array::fromValues(std::vector<Value> values) {
    auto* a = new Array;
    a->bounds_ = {Bound{0, int32_t(values.size())}};
    a->data_ = std::move(values);
    return a;
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
        try {
            data_.resize(n);
        } catch (const std::bad_alloc&) {
            throw ScriptError(errc::OutOfMemory);
        }
    } else {
        std::vector<Value> fresh;
        try {
            fresh.resize(n);
        } catch (const std::bad_alloc&) {
            throw ScriptError(errc::OutOfMemory);
        }
        data_.swap(fresh);
    }
    bounds_ = std::move(bounds);
}

void Array::erase() {
    if (fixed_) {
        for (Value& v : data_)
            v.clear();
    } else {
        bounds_.clear();
        std::vector<Value>().swap(data_);
    }
}

Array* Array::clone() const {
    auto* a = new Array;
    a->bounds_ = bounds_;
    try {
        a->data_ = data_;
    } catch (const std::bad_alloc&) {
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
