// The interpreter: the dispatch loop and what its instructions need, global names at run time,
// member calls through their call sites, fast arithmetic and comparisons, For loops.

#include "vbscript/operators.h"
#include "vbscript/runtime_support.h"

#include <climits>
#include <cmath>

namespace vbs {

using namespace rt;

// target(args) = value for an array element or an object's default member.
void rt::storeIndexed(Value& target, Value* args, int argc, Value value, bool isSet) {
    if (target.isArray()) {
        if (isSet)
            requireObject(value);
        else
            letConvert(value);
        Subscripts subs(args, argc);
        Array* a = target.mutableArray();
        a->at(subs) = std::move(value);
        return;
    }
    if (target.isObject()) {
        Value keep = target; // the call may overwrite the variable that holds the object
        Object* o = keep.objectValue();
        if (!o) fail(errc::ObjectVariableNotSet);
        if (!isSet) letConvert(value);
        std::vector<Value> all;
        all.reserve(size_t(argc) + 1);
        for (int i = 0; i < argc; ++i)
            all.push_back(args[i].deref());
        all.push_back(std::move(value));
        o->invoke(Object::kDefaultMember, isSet ? Invoke::Set : Invoke::Let, all);
        return;
    }
    fail(errc::TypeMismatch);
}

// target(args). Only written parentheses lead here, so an object with no arguments calls its
// default member (a GetRef called as h()).
Value rt::loadIndexed(const Value& target, Value* args, int argc) {
    derefArgs(args, argc);
    const Value& t = target.deref();
    if (argc == 0 && t.isObject() && t.objectValue()) {
        Value keep = t; // the call may overwrite the variable that holds the object
        return keep.objectValue()->invoke(Object::kDefaultMember, Invoke::Get, {});
    }
    return applyArguments(t, std::span<Value>(args, size_t(argc)));
}

namespace {

class ArrayIter : public detail::Iter {
public:
    explicit ArrayIter(Value array) : array_(std::move(array)) {}
    bool next(Value& out) override {
        Array* a = array_.arrayValue();
        if (i_ >= a->size()) return false;
        out = a->data()[i_++];
        return true;
    }

private:
    Value array_;
    size_t i_ = 0;
};

class EnumIter : public detail::Iter {
public:
    explicit EnumIter(std::unique_ptr<Enumerator> e) : e_(std::move(e)) {}
    bool next(Value& out) override { return e_->next(out); }

private:
    std::unique_ptr<Enumerator> e_;
};

// Clears the operand stack down to `base`, its new top.
inline Value* popTo(Value* sp, Value* base) {
    while (sp > base)
        (--sp)->clear();
    return base;
}

} // namespace

// ---- Global names at run time ------------------------------------------------------------

namespace {

bool resolveAlias(GlobalScope& s, GlobalCell* c) {
    if (c->generation == s.generation) return false;
    c->generation = s.generation;
    for (const Value& src : s.memberSources) {
        Object* o = src.objectValue();
        int id = o->memberId(c->name);
        if (id != Object::kNoMember) {
            c->kind = GlobalCell::Kind::Alias;
            c->value = src;
            c->member = id;
            return true;
        }
    }
    return false;
}

} // namespace

class Interpreter {
public:
    // Where an undeclared name lives: an implicit local of the procedure, or (at script level)
    // a new global variable. Null when reading an undeclared name gives Empty.
    static Value* undeclared(Frame& f, GlobalCell* c, uint16_t implicit, bool create) {
        if (f.dynamic) {
            // Declared in this procedure by Execute after it was compiled.
            auto it = f.dynamic->find(c->name);
            if (it != f.dynamic->end()) return it->second.get();
        }
        if (implicit) {
            // Under Option Explicit only ReDim gives an implicit local a value: it declared it.
            Value& local = f.locals[implicit - 1].deref();
            if (!f.unit->optionExplicit || !local.isEmpty()) return &local;
        }
        if (f.unit->optionExplicit) failNamed(errc::VariableUndefined, c->name);
        if (!create) return nullptr;
        c->kind = GlobalCell::Kind::Variable;
        return &c->value;
    }

    static Value load(Runtime& rt, Frame& f, GlobalCell* c, uint16_t implicit) {
        switch (c->kind) {
        case GlobalCell::Kind::Variable:
        case GlobalCell::Kind::Const:
        case GlobalCell::Kind::Item:
            return c->value;
        case GlobalCell::Kind::Procedure:
            return rt.callProcedure(c, nullptr, 0, &f);
        case GlobalCell::Kind::Builtin:
            return rt.callBuiltin(c->builtin, nullptr, 0, &f);
        case GlobalCell::Kind::Alias:
            return c->value.objectValue()->invoke(c->member, Invoke::Get, {});
        case GlobalCell::Kind::Class:
            failNamed(errc::TypeMismatch, c->name);
        case GlobalCell::Kind::Undeclared:
            if (resolveAlias(*rt.scope, c)) return load(rt, f, c, implicit);
            if (Value* v = undeclared(f, c, implicit, false)) return *v;
            return {};
        }
        return {};
    }

    // How a value is assigned: Let converts an object to its default value, Set requires one.
    enum Assign : uint8_t { kLet, kLetRaw, kSet };

    // Six parameters at most here and in the other functions the loop calls: one more would be
    // passed on the stack, which makes the loop keep a frame pointer.
    static void store(Runtime& rt, Frame& f, GlobalCell* c, uint16_t implicit, Value v,
                      Assign how) {
        bool isSet = how == kSet;
        if (isSet)
            requireObject(v);
        else if (how == kLet)
            letConvert(v);
        switch (c->kind) {
        case GlobalCell::Kind::Variable:
            c->value = std::move(v);
            return;
        case GlobalCell::Kind::Undeclared:
            if (resolveAlias(*rt.scope, c))
                return store(rt, f, c, implicit, std::move(v), isSet ? kSet : kLetRaw);
            *undeclared(f, c, implicit, true) = std::move(v);
            return;
        case GlobalCell::Kind::Item: {
            // The host's objects cannot be replaced; assigning a value sets the default member.
            Object* o = c->value.objectValue();
            if (!o || isSet) failNamed(errc::IllegalAssignment, c->name);
            Value arg[1] = {std::move(v)};
            o->invoke(Object::kDefaultMember, isSet ? Invoke::Set : Invoke::Let, arg);
            return;
        }
        case GlobalCell::Kind::Alias: {
            Value arg[1] = {std::move(v)};
            c->value.objectValue()->invoke(c->member, isSet ? Invoke::Set : Invoke::Let, arg);
            return;
        }
        case GlobalCell::Kind::Const:
            if (c->builtinConst) {
                // A script may reuse the name of a built-in constant as its own variable.
                c->kind = GlobalCell::Kind::Variable;
                c->builtinConst = false;
                c->value = std::move(v);
                return;
            }
            [[fallthrough]];
        default:
            failNamed(errc::IllegalAssignment, c->name);
        }
    }

    // The variable a name stands for, or null when it is not a variable.
    static Value* address(Runtime& rt, Frame& f, GlobalCell* c, uint16_t implicit) {
        switch (c->kind) {
        case GlobalCell::Kind::Variable:
            return &c->value;
        case GlobalCell::Kind::Undeclared:
            if (resolveAlias(*rt.scope, c)) return nullptr;
            return undeclared(f, c, implicit, true);
        default:
            return nullptr;
        }
    }

    // The call of a global name: argument count and statement flag in `in.n`, the implicit local
    // in `in.a`. Not cloned, since a clone would take those as two parameters, one too many.
    VBS_NOCLONE static Value call(Runtime& rt, Frame& f, GlobalCell* c, Instr in, Value* args) {
        int argc = in.n & CallFlags::kArgMask;
        bool statement = in.n & CallFlags::kStatement;
        uint16_t implicit = in.a;
        switch (c->kind) {
        case GlobalCell::Kind::Procedure:
            return rt.callProcedure(c, args, argc, &f);
        case GlobalCell::Kind::Builtin:
            return rt.callBuiltin(c->builtin, args, argc, &f);
        case GlobalCell::Kind::Variable:
        case GlobalCell::Kind::Const:
        case GlobalCell::Kind::Item:
            if (argc == 0 && statement) {
                // A lone name holding an object (a GetRef, say) calls its default member.
                if (c->value.isObject() && c->value.objectValue())
                    c->value.objectValue()->invoke(Object::kDefaultMember, Invoke::Call, {});
                return {};
            }
            return loadIndexed(c->value, args, argc);
        case GlobalCell::Kind::Alias:
            derefArgs(args, argc);
            return c->value.objectValue()->invoke(c->member, statement ? Invoke::Call : Invoke::Get,
                                                  std::span<Value>(args, size_t(argc)));
        case GlobalCell::Kind::Class:
            failNamed(errc::TypeMismatch, c->name);
        case GlobalCell::Kind::Undeclared: {
            if (resolveAlias(*rt.scope, c)) return call(rt, f, c, in, args);
            if (implicit) {
                Value& local = f.locals[implicit - 1].deref();
                if (local.isArray() || local.isObject()) return loadIndexed(local, args, argc);
            }
            if (argc == 0 && f.unit->optionExplicit) failNamed(errc::VariableUndefined, c->name);
            failNamed(errc::TypeMismatch, c->name);
        }
        }
        return {};
    }

    static int siteId(const CallSite& site, Object* o) {
        if (o->isScriptObject()) {
            const ClassInfo* cls = static_cast<ScriptObject*>(o)->cls();
            if (cls->serial == site.classSerial) return site.id;
            int m = cls->find(site.name);
            if (m < 0) failNamed(errc::NoSuchMember, site.name);
            const ClassInfo::Member& member = cls->members[size_t(m)];
            site.classSerial = cls->serial;
            site.table = nullptr;
            site.id = m + 1;
            site.field =
                member.kind == ClassInfo::MemberKind::Field && member.isPublic ? member.field : -1;
            return site.id;
        }
        const void* table = o->memberTable();
        if (table && table == site.table) return site.id;
        int id = o->memberId(site.name);
        if (id == Object::kNoMember) failNamed(errc::NoSuchMember, site.name);
        if (table) {
            site.classSerial = 0;
            site.table = table;
            site.id = id;
            site.field = -1;
        }
        return id;
    }

    // The public field `site` names on the script object `v` holds, when the site has found it
    // before on this class; else null, and the general path decides.
    [[gnu::always_inline]] static Value* siteField(const Value& v, const CallSite& site) {
        if (v.type() != Type::Object) return nullptr;
        Object* o = v.objectValue();
        if (!o || !o->isScriptObject() || site.field < 0) return nullptr;
        auto* so = static_cast<ScriptObject*>(o);
        if (so->cls()->serial != site.classSerial) return nullptr;
        return &so->fields()[size_t(site.field)];
    }

    // MemberGetLocal, MemberPutLocal without a field to reach: the general path, with the local's
    // object on the stack.
    [[gnu::noinline]] static Value* memberLocal(Runtime& rt, Frame& f, Instr in, Value* sp) {
        const CallSite& site = f.fn->sites[in.b];
        const Value& local = (in.n & VarFlags::kByRef) ? f.locals[in.a].deref() : f.locals[in.a];
        if (in.op == OpCode::MemberGetLocal) {
            *sp = local;
            Value r = memberGet(rt, f, site, sp, 0);
            *sp = std::move(r);
            return sp + 1;
        }
        Value* base = sp - 1;
        Value value = std::move(*base);
        base[0] = local;
        base[1] = std::move(value);
        memberPut(rt, f, site, base, 0, false);
        return popTo(base + 2, base);
    }

    static Object* target(const Value& v, const CallSite& site) {
        const Value& o = v.deref();
        if (!o.isObject() || !o.objectValue()) failNamed(errc::ObjectRequired, site.name);
        return o.objectValue();
    }

    // obj.name(args), argument count and statement flag in `n`.
    static Value memberGet(Runtime& rt, Frame& f, const CallSite& site, Value* base, uint8_t n) {
        int argc = n & CallFlags::kArgMask;
        bool statement = n & CallFlags::kStatement;
        Object* o = target(*base, site);
        int id = siteId(site, o);
        Invoke kind = statement ? Invoke::Call : Invoke::Get;
        if (o->isScriptObject()) {
            auto* so = static_cast<ScriptObject*>(o);
            return rt.invokeMember(so, id, kind, base + 1, argc, so->cls() == f.fn->cls);
        }
        derefArgs(base + 1, argc);
        if (argc == 0 || kind == Invoke::Call)
            return o->invoke(id, kind, std::span<Value>(base + 1, size_t(argc)));
        try {
            return o->invoke(id, kind, std::span<Value>(base + 1, size_t(argc)));
        } catch (const ScriptError& e) {
            if (e.number() != errc::WrongArgumentCount) throw;
        }
        // obj.Items(1) on a member without parameters: index what it returns.
        Value v = o->invoke(id, Invoke::Get, {});
        return applyArguments(v, std::span<Value>(base + 1, size_t(argc)));
    }

    static void memberPut(Runtime& rt, Frame& f, const CallSite& site, Value* base, int argc,
                          bool isSet) {
        Object* o = target(*base, site);
        int id = siteId(site, o);
        Invoke kind = isSet ? Invoke::Set : Invoke::Let;
        Value& value = base[argc + 1];
        if (value.isRef()) {
            Value v = value.deref();
            value = std::move(v);
        }
        if (o->isScriptObject()) {
            auto* so = static_cast<ScriptObject*>(o);
            rt.invokeMember(so, id, kind, base + 1, argc + 1, so->cls() == f.fn->cls);
            return;
        }
        if (isSet)
            requireObject(value);
        else
            letConvert(value);
        derefArgs(base + 1, argc);
        o->invoke(id, kind, std::span<Value>(base + 1, size_t(argc) + 1));
    }

    // For loops: limit and step evaluated once, as numbers.
    static Value numeric(const Value& v) {
        const Value& x = v.deref();
        switch (x.type()) {
        case Type::Integer:
        case Type::Long:
        case Type::Double:
        case Type::Single:
        case Type::Currency:
        case Type::Byte:
        case Type::Date:
            return x;
        case Type::Boolean:
            return Value::integer(x.booleanValue() ? -1 : 0);
        case Type::Empty:
            return Value::integer(0);
        case Type::Null:
            fail(errc::InvalidUseOfNull);
        default:
            return Value::dbl(toDouble(x));
        }
    }

    static bool isWhole(const Value& v) {
        return v.type() == Type::Integer || v.type() == Type::Long;
    }
    static int32_t whole(const Value& v) {
        return v.type() == Type::Long ? v.longValue() : v.integerValue();
    }

    static bool forContinues(const Value& var, const Value& limit, const Value& step) {
        if (isWhole(var) && isWhole(limit) && isWhole(step))
            return whole(step) >= 0 ? whole(var) <= whole(limit) : whole(var) >= whole(limit);
        double v = toDouble(var), l = toDouble(limit), s = toDouble(step);
        return s >= 0 ? v <= l : v >= l;
    }

    static void forStep(Value& var, const Value& step) {
        if (var.type() == Type::Integer && step.type() == Type::Integer) {
            int32_t r = int32_t(var.integerValue()) + step.integerValue();
            if (r >= -32768 && r <= 32767) {
                var.setInteger(int16_t(r));
                return;
            }
        } else if (var.type() == Type::Long && step.type() <= Type::Long &&
                   step.type() >= Type::Integer) {
            int64_t s = step.type() == Type::Long ? step.longValue() : step.integerValue();
            int64_t r = int64_t(var.longValue()) + s;
            if (r >= INT32_MIN && r <= INT32_MAX) {
                var.setLong(int32_t(r));
                return;
            }
        } else if (var.type() == Type::Double && step.type() == Type::Double) {
            var.setDouble(var.doubleValue() + step.doubleValue());
            return;
        }
        var = opAdd(var, step);
    }

    static std::vector<Array::Bound> bounds(const Value* args, int n) {
        std::vector<Array::Bound> b;
        for (int i = 0; i < n; ++i) {
            int32_t ub = toLong(args[i].deref());
            if (ub < -1) fail(errc::SubscriptOutOfRange);
            b.push_back({0, ub + 1});
        }
        return b;
    }

    // ---- The dispatch loop's rare cases ---------------------------------------------------
    // Instructions that run at most once per statement and are long, kept out of the loop so that
    // it reads as a list of the hot ones. They take what they need by value and return the new
    // stack top, so the loop never hands out the address of its own state. Not marked cold: that
    // made the compiler keep the loop's code pointer on the stack (loop benchmark 1% slower).

    [[gnu::noinline]] static Value* newObject(Runtime& rt, GlobalCell* c, Value* sp) {
        if (c->kind == GlobalCell::Kind::Class)
            *sp = rt.newInstance(c->cls, c->unit);
        else if (equalsNoCase(c->name, "RegExp"))
            *sp = createRegExp();
        else
            failNamed(errc::ClassNotDefined, c->name);
        return sp + 1;
    }

    // IndexAddr: [target, subscripts...] -> a reference to the element (or the call's value).
    [[gnu::noinline]] static Value* indexAddress(Value* sp, int argc) {
        Value* base = sp - argc - 1;
        Value& t = base->deref();
        Value r;
        if (t.isArray()) {
            Subscripts subs(base + 1, argc);
            Array* a = t.mutableArray();
            r = Value::elementRef(a, &a->at(subs));
        } else {
            r = loadIndexed(t, base + 1, argc);
        }
        sp = popTo(sp, base);
        *sp++ = std::move(r);
        return sp;
    }

    // ForEachInit: [collection] -> the iterator, kept in a hidden local.
    [[gnu::noinline]] static Value* forEachStart(Value* sp, Value& iterator) {
        Value c = std::move(sp[-1]);
        const Value& v = c.deref();
        if (v.isArray()) {
            iterator = Value::iterator(new ArrayIter(v));
        } else if (v.isObject() && v.objectValue()) {
            auto e = v.objectValue()->enumerate();
            if (!e) fail(errc::NotACollection);
            iterator = Value::iterator(new EnumIter(std::move(e)));
        } else {
            fail(errc::NotACollection);
        }
        return sp - 1;
    }

    // DimArray: [ref, upper bounds...] with n dimensions (none: a dynamic array, not yet sized).
    [[gnu::noinline]] static Value* dimArray(Value* sp, int n) {
        Value* base = sp - n - 1;
        Array* a = Array::create(bounds(base + 1, n));
        a->setFixed(n > 0);
        base->deref() = Value::array(a);
        return popTo(sp, base);
    }

    // ReDim [Preserve]: [ref, upper bounds...].
    [[gnu::noinline]] static Value* reDim(Value* sp, int n, bool preserve) {
        Value* base = sp - n - 1;
        Value& t = base->deref();
        std::vector<Array::Bound> b = bounds(base + 1, n);
        if (t.isArray()) {
            Array* a = t.arrayValue();
            if (a->fixed() || a->locked()) fail(errc::ArrayLocked);
            t.mutableArray()->redim(std::move(b), preserve);
        } else {
            t = Value::array(Array::create(std::move(b)));
        }
        return popTo(sp, base);
    }

    // Erase: [ref].
    [[gnu::noinline]] static Value* erase(Value* sp) {
        Value& t = sp[-1].deref();
        if (!t.isArray()) fail(errc::TypeMismatch);
        if (t.arrayValue()->locked()) fail(errc::ArrayLocked);
        t.mutableArray()->erase();
        (--sp)->clear();
        return sp;
    }

    [[gnu::noinline]] static void onError(Runtime& rt, Frame& f, uint16_t flags) {
        f.resumeNext = flags & OnErrorFlags::kResumeNext;
        rt.clearErr();
    }

    // t(args) where the one-subscript fast path does not apply.
    [[gnu::noinline]] static Value indexed(const Value& t, Value* args, int argc) {
        if (t.isArray() && argc > 0) return t.arrayValue()->at(Subscripts(args, argc));
        return loadIndexed(t, args, argc);
    }

    // LoadElement's general path, as IndexLoad's, on a copy of the subscript: the call may
    // change the variable.
    [[gnu::noinline]] static Value element(const Value& t, const Value& subscript) {
        Value sub = subscript;
        return indexed(t, &sub, 1);
    }

    // IndexStore, IndexSet: [target, subscripts..., value], left on the stack.
    [[gnu::noinline]] static void indexStore(Value* base, int argc, bool isSet) {
        Value v = std::move(base[argc + 1]);
        if (v.isRef()) {
            Value copy = v.deref();
            v = std::move(copy);
        }
        storeIndexed(base->deref(), base + 1, argc, std::move(v), isSet);
    }

    // AppendTo [ref, read, tail], AppendGlobal [read, tail]: name = name & text. The read copy
    // and the variable still share one string when nothing changed the variable meanwhile: then
    // append in place, which keeps building a string linear.
    [[gnu::noinline]] static Value* append(Runtime& rt, Frame& f, Instr in, Value* sp) {
        bool global = in.op == OpCode::AppendGlobal;
        Value* base = sp - (global ? 2 : 3);
        GlobalCell* c = global ? f.unit->cells[in.b] : nullptr;
        Value* target = nullptr;
        if (!global)
            target = &base->deref();
        else if (c->kind == GlobalCell::Kind::Variable)
            target = &c->value;
        else if (c->kind == GlobalCell::Kind::Undeclared && in.a && !f.unit->optionExplicit)
            target = &f.locals[in.a - 1].deref();
        Value& read = sp[-2];
        Value& tail = sp[-1];
        if (target && target->sameString(read) && tail.isString()) {
            read.clear();
            if (std::u16string* text = target->uniqueString()) {
                const size_t added = tail.stringValue().size();
                if (text->size() + added > maxStringLength()) fail(errc::OutOfStringSpace);
                detail::chargeBytes(2 * added);
                try {
                    text->append(tail.stringValue());
                } catch (...) {
                    detail::creditBytes(2 * added);
                    throw;
                }
                return popTo(sp, base);
            }
            read = *target;
        }
        Value r = opConcat(read, tail);
        if (target)
            *target = std::move(r);
        else
            store(rt, f, c, in.a, std::move(r), kLetRaw);
        return popTo(sp, base);
    }

    // A comparison without a fast path. It may run script code that changes the operands, so it
    // works on copies; `drop`, when given, is the stacked right operand, cleared once copied.
    [[gnu::noinline]] static Value compare(Compare op, const Value& a, const Value& b, Value* drop,
                                           int literals) {
        Value left = a, right = b;
        if (drop) drop->clear();
        return opCompare(op, left, right, literals);
    }

    // Pow, Is and the logical operators, which have no fast paths: a op b.
    [[gnu::noinline]] static Value binary(OpCode op, const Value& a, const Value& b) {
        switch (op) {
        case OpCode::Pow:
            return opPow(a, b);
        case OpCode::And:
            return opAnd(a, b);
        case OpCode::Or:
            return opOr(a, b);
        case OpCode::Xor:
            return opXor(a, b);
        case OpCode::Eqv:
            return opEqv(a, b);
        case OpCode::Imp:
            return opImp(a, b);
        default:
            return Value::boolean(opIs(a, b));
        }
    }

    // ForInit: [start, limit, step] -> [start], limit and step as numbers into the hidden
    // locals `limit` and the one after it.
    [[gnu::noinline]] static Value* forInit(Value* sp, Value* limit) {
        limit[0] = numeric(sp[-2]);
        limit[1] = numeric(sp[-1]);
        sp[-3] = numeric(sp[-3]);
        (--sp)->clear();
        (--sp)->clear();
        return sp;
    }

    // ForStepRef, ForTestRef: a loop variable that is no local; the step follows `limit`.
    [[gnu::noinline]] static bool forRef(Value& var, const Value* limit, bool advance) {
        if (advance) forStep(var, limit[1]);
        return forContinues(var, limit[0], limit[1]);
    }

    // AddrGlobal, ArgGlobal: a reference to the variable; for an argument, else its value.
    [[gnu::noinline]] static Value globalAddress(Runtime& rt, Frame& f, GlobalCell* c, Instr in) {
        if ((in.n & VarFlags::kDeclare) && c->kind == GlobalCell::Kind::Undeclared &&
            !resolveAlias(*rt.scope, c)) {
            // ReDim of an undeclared name declares it: a local in a procedure, else a global.
            if (f.dynamic) {
                auto it = f.dynamic->find(c->name);
                if (it != f.dynamic->end()) return Value::ref(it->second.get());
            }
            if (in.a) return Value::ref(&f.locals[in.a - 1].deref());
            c->kind = GlobalCell::Kind::Variable;
            return Value::ref(&c->value);
        }
        if (Value* p = address(rt, f, c, in.a)) return Value::ref(p);
        if (in.op == OpCode::ArgGlobal) return load(rt, f, c, in.a);
        // Item(1) = x sets through the object, never replaces it.
        if (c->kind == GlobalCell::Kind::Item) return c->value;
        failNamed(errc::IllegalAssignment, c->name);
    }

    // CallGlobal, ArgCallGlobal of anything but a procedure, which the loop calls itself.
    [[gnu::noinline]] VBS_NOCLONE static Value callGlobal(Runtime& rt, Frame& f, GlobalCell* c,
                                                          Instr in, Value* args) {
        int argc = in.n & CallFlags::kArgMask;
        if (in.op == OpCode::ArgCallGlobal && argc > 0) {
            Value* arr = c->kind == GlobalCell::Kind::Variable ? &c->value
                         : c->kind == GlobalCell::Kind::Undeclared && in.a
                             ? &f.locals[in.a - 1].deref()
                             : nullptr;
            if (arr && arr->isArray()) {
                // An element passed as an argument goes by reference.
                Subscripts subs(args, argc);
                Array* a = arr->mutableArray();
                return Value::elementRef(a, &a->at(subs));
            }
        }
        return call(rt, f, c, in, args);
    }
};

namespace {

inline bool fastTruth(const Value& v) {
    if (v.type() == Type::Boolean) return v.booleanValue();
    return isTrue(v);
}

template <class IntOp, class DblOp>
[[gnu::always_inline]] inline bool fastArith(Value& a, const Value& b, IntOp iop, DblOp dop) {
    Type ta = a.type(), tb = b.type();
    if (ta == Type::Integer && tb == Type::Integer) {
        int64_t r = iop(int64_t(a.integerValue()), int64_t(b.integerValue()));
        if (r >= -32768 && r <= 32767)
            a.setInteger(int16_t(r));
        else
            a.setLong(int32_t(r));
        return true;
    }
    if ((ta == Type::Long || ta == Type::Integer) && (tb == Type::Long || tb == Type::Integer)) {
        int64_t x = ta == Type::Long ? a.longValue() : a.integerValue();
        int64_t y = tb == Type::Long ? b.longValue() : b.integerValue();
        int64_t r = iop(x, y);
        if (r >= INT32_MIN && r <= INT32_MAX)
            a.setLong(int32_t(r));
        else
            a.setDouble(double(r));
        return true;
    }
    auto real = [](const Value& v, Type t, double& out) {
        if (t == Type::Double)
            out = v.doubleValue();
        else if (t == Type::Long)
            out = v.longValue();
        else if (t == Type::Integer)
            out = v.integerValue();
        else
            return false;
        return true;
    };
    double x, y;
    if ((ta == Type::Double || tb == Type::Double) && real(a, ta, x) && real(b, tb, y)) {
        double r = dop(x, y);
        if (std::isinf(r) || std::isnan(r)) return false;
        a.setDouble(r);
        return true;
    }
    return false;
}

inline int fastCompare(const Value& a, const Value& b, bool& ok) {
    Type ta = a.type(), tb = b.type();
    ok = true;
    if ((ta == Type::Integer || ta == Type::Long) && (tb == Type::Integer || tb == Type::Long)) {
        int32_t x = ta == Type::Long ? a.longValue() : a.integerValue();
        int32_t y = tb == Type::Long ? b.longValue() : b.integerValue();
        return x < y ? -1 : x > y;
    }
    if (ta == Type::Double && tb == Type::Double)
        return a.doubleValue() < b.doubleValue() ? -1 : a.doubleValue() > b.doubleValue();
    if (ta == Type::String && tb == Type::String) {
        int c = a.stringValue().compare(b.stringValue());
        return c < 0 ? -1 : c > 0;
    }
    ok = false;
    return 0;
}

} // namespace

namespace {

// A jump's target. Going backward it counts down the time budget, as every loop does.
[[gnu::always_inline]] inline const Instr* jumpTo(Runtime& rt, const Instr* code, const Instr* ip,
                                                  uint32_t target) {
    if (code + target < ip) rt.tick();
    return code + target;
}

// Whether a comparison's outcome (negative, zero, positive) satisfies the operator.
[[gnu::always_inline]] inline bool holds(Compare op, int c) {
    switch (op) {
    case Compare::Eq:
        return c == 0;
    case Compare::Ne:
        return c != 0;
    case Compare::Lt:
        return c < 0;
    case Compare::Le:
        return c <= 0;
    case Compare::Gt:
        return c > 0;
    case Compare::Ge:
        return c >= 0;
    }
    return false;
}

// The right operand of a binary operator: on the stack, or carried by the instruction.
[[gnu::always_inline]] inline const Value& rightOperand(const Instr& in, Value* sp, Value* locals,
                                                        const Function* fn) {
    if (!(in.n & OpFlags::kOperandFused)) return sp[-1];
    if (in.n & OpFlags::kOperandLocal)
        return (in.n & OpFlags::kOperandRef) ? locals[in.a].deref() : locals[in.a];
    return fn->consts[in.b];
}

// a = a op b for the arithmetic operators, with fast paths for the common subtypes.
[[gnu::always_inline]] inline void arithmetic(OpCode op, Value& a, const Value& b) {
    switch (op) {
    case OpCode::Add:
        if (fastArith(
                a, b, [](int64_t x, int64_t y) { return x + y; },
                [](double x, double y) { return x + y; }))
            return;
        break;
    case OpCode::Sub:
        if (fastArith(
                a, b, [](int64_t x, int64_t y) { return x - y; },
                [](double x, double y) { return x - y; }))
            return;
        break;
    case OpCode::Mul:
        if (fastArith(
                a, b, [](int64_t x, int64_t y) { return x * y; },
                [](double x, double y) { return x * y; }))
            return;
        break;
    case OpCode::IntDiv:
    case OpCode::Mod: {
        bool isWholeA = a.type() == Type::Integer || a.type() == Type::Long;
        bool isWholeB = b.type() == Type::Integer || b.type() == Type::Long;
        if (isWholeA && isWholeB) {
            int32_t x = a.type() == Type::Long ? a.longValue() : a.integerValue();
            int32_t y = b.type() == Type::Long ? b.longValue() : b.integerValue();
            if (y != 0 && !(y == -1 && x == INT32_MIN)) {
                // 32-bit division: both fit, and it is several times faster than 64-bit.
                int32_t r = op == OpCode::Mod ? x % y : x / y;
                if (a.type() == Type::Integer && b.type() == Type::Integer && r <= 32767)
                    a.setInteger(int16_t(r));
                else
                    a.setLong(int32_t(r));
                return;
            }
        }
        break;
    }
    default:
        break;
    }
    Value right = b; // an operator may run script code (a default property) that changes it
    switch (op) {
    case OpCode::Add:
        a = opAdd(a, right);
        break;
    case OpCode::Sub:
        a = opSub(a, right);
        break;
    case OpCode::Mul:
        a = opMul(a, right);
        break;
    case OpCode::Div:
        a = opDiv(a, right);
        break;
    case OpCode::IntDiv:
        a = opIntDiv(a, right);
        break;
    default:
        a = opMod(a, right);
        break;
    }
}

// An arithmetic instruction, specialised per operator: operands on the stack or carried by the
// instruction, the result pushed or stored into a local.
template <OpCode Op>
[[gnu::always_inline]] inline void arithmeticOp(const Instr& in, Value*& sp, Value* locals,
                                                const Function* fn) {
    const Value& b = rightOperand(in, sp, locals, fn);
    bool stacked = !(in.n & OpFlags::kOperandFused);
    if (in.n & OpFlags::kLeftLocal) {
        Value& local = (in.n & OpFlags::kOperandRef) ? locals[in.a].deref() : locals[in.a];
        if (in.n & OpFlags::kResultToLocal) {
            arithmetic(Op, local, b); // x = x op y, in place
            if (stacked) (--sp)->clear();
        } else if (stacked) {
            Value left = local;
            arithmetic(Op, left, b);
            sp[-1] = std::move(left);
        } else {
            *sp++ = local;
            arithmetic(Op, sp[-1], b);
        }
        return;
    }
    Value& a = stacked ? sp[-2] : sp[-1];
    arithmetic(Op, a, b);
    if (stacked) (--sp)->clear();
    if (in.n & OpFlags::kResultToLocal) {
        locals[in.a] = std::move(sp[-1]);
        --sp;
    }
}

// A shaped arithmetic instruction (code.h): the operands' places are in the opcode, so no flags
// are tested; the arithmetic is arithmeticOp's.
template <OpCode Op, int Shape>
[[gnu::always_inline]] inline void shapedOp(const Instr& in, Value*& sp, Value* locals,
                                            const Function* fn) {
    if constexpr (Shape == 0) { // LK
        *sp = locals[in.a];
        arithmetic(Op, *sp, fn->consts[in.b]);
        ++sp;
    } else if constexpr (Shape == 1) { // SK
        arithmetic(Op, sp[-1], fn->consts[in.b]);
    } else if constexpr (Shape == 2) { // LKL
        arithmetic(Op, locals[in.a], fn->consts[in.b]);
    } else if constexpr (Shape == 3) { // LSL
        arithmetic(Op, locals[in.a], sp[-1]);
        (--sp)->clear();
    } else if constexpr (Shape == 4) { // LS
        Value left = locals[in.a];
        arithmetic(Op, left, sp[-1]);
        sp[-1] = std::move(left);
    } else if constexpr (Shape == 5) { // SKL
        arithmetic(Op, sp[-1], fn->consts[in.b]);
        locals[in.a] = std::move(sp[-1]);
        --sp;
    } else if constexpr (Shape == 6) { // SSL
        arithmetic(Op, sp[-2], sp[-1]);
        (--sp)->clear();
        locals[in.a] = std::move(sp[-1]);
        --sp;
    } else if constexpr (Shape == 7) { // LRK
        *sp = locals[in.a].deref();
        arithmetic(Op, *sp, fn->consts[in.b]);
        ++sp;
    } else { // SS
        arithmetic(Op, sp[-2], sp[-1]);
        (--sp)->clear();
    }
}

} // namespace

// The dispatch loop. It runs until Return; an error leaves it by exception and runFrame resumes
// it where On Error Resume Next continues. Kept apart from those handlers, its own state need not
// survive an exception, which frees the compiler to keep it in registers: only f.ip, stored at
// each instruction, is needed to place an error. Hot cases and fast paths are inline; long or rare
// ones are Interpreter's functions, which take that state by value and return the new stack top.
Value* Runtime::execute(Frame& f, const Instr* ip, Value* sp) {
    const Function* fn = f.fn;
    const Instr* code = fn->code.data();
    Value* locals = f.locals;
    LinkedUnit* unit = f.unit;
    using I = Interpreter;
    for (;;) {
        f.ip = ip;
        const Instr in = *ip++;
        switch (in.op) {
        case OpCode::Nop:
        case OpCode::Data:
            break;
        case OpCode::PushConst:
            *sp++ = fn->consts[in.b];
            break;
        case OpCode::PushInt:
            *sp++ = Value::integer(int16_t(int32_t(in.b)));
            break;
        case OpCode::PushEmpty:
            ++sp;
            break;
        case OpCode::PushNull:
            *sp++ = Value::null();
            break;
        case OpCode::PushNothing:
            *sp++ = Value::nothing();
            break;
        case OpCode::PushTrue:
            *sp++ = Value::boolean(true);
            break;
        case OpCode::PushFalse:
            *sp++ = Value::boolean(false);
            break;
        case OpCode::PushMissing:
            *sp++ = Value::error(kMissingArgument);
            break;
        case OpCode::PushMe:
            *sp++ = Value::object(f.me);
            break;
        case OpCode::Pop:
            (--sp)->clear();
            break;
        case OpCode::Raise:
            fail(int(in.b));

        case OpCode::LoadLocal:
            *sp++ = (in.n & VarFlags::kByRef) ? locals[in.a].deref() : locals[in.a];
            break;
        case OpCode::StoreLocal: {
            Value& t = (in.n & VarFlags::kByRef) ? locals[in.a].deref() : locals[in.a];
            if (in.n & VarFlags::kFromLocal) {
                const Value& from =
                    (in.n & VarFlags::kFromRef) ? locals[in.b].deref() : locals[in.b];
                Value v = from;
                if (v.isObject()) letConvert(v);
                t = std::move(v);
                break;
            }
            Value& v = sp[-1];
            if (!(in.n & VarFlags::kRaw) && v.isObject()) letConvert(v);
            t = std::move(v);
            --sp;
            break;
        }
        case OpCode::SetLocal: {
            Value& t = (in.n & VarFlags::kByRef) ? locals[in.a].deref() : locals[in.a];
            requireObject(sp[-1]);
            t = std::move(sp[-1]);
            --sp;
            break;
        }
        case OpCode::AddrLocal:
            *sp++ =
                Value::ref((in.n & VarFlags::kByRef) ? locals[in.a].refTarget() : &locals[in.a]);
            break;
        case OpCode::ClearLocal:
            locals[in.a].clear();
            break;

        case OpCode::LoadField:
            *sp++ = f.me->fields()[in.a];
            break;
        case OpCode::StoreField: {
            Value& v = sp[-1];
            if (!(in.n & VarFlags::kRaw) && v.isObject()) letConvert(v);
            f.me->fields()[in.a] = std::move(v);
            --sp;
            break;
        }
        case OpCode::SetField:
            requireObject(sp[-1]);
            f.me->fields()[in.a] = std::move(sp[-1]);
            --sp;
            break;
        case OpCode::AddrField:
            *sp++ = Value::ref(&f.me->fields()[in.a]);
            break;

        case OpCode::LoadGlobal: {
            GlobalCell* c = unit->cells[in.b];
            if (c->kind == GlobalCell::Kind::Variable)
                *sp = c->value;
            else
                *sp = I::load(*this, f, c, in.a);
            ++sp;
            break;
        }
        case OpCode::StoreGlobal:
        case OpCode::SetGlobal: {
            GlobalCell* c = unit->cells[in.b];
            bool isSet = in.op == OpCode::SetGlobal;
            Value& v = sp[-1];
            if (c->kind == GlobalCell::Kind::Variable && !isSet && !v.isObject()) {
                c->value = std::move(v);
            } else {
                I::store(*this, f, c, in.a, std::move(v),
                         isSet                     ? I::kSet
                         : (in.n & VarFlags::kRaw) ? I::kLetRaw
                                                   : I::kLet);
            }
            --sp;
            break;
        }
        case OpCode::AddrGlobal:
        case OpCode::ArgGlobal:
            *sp = I::globalAddress(*this, f, unit->cells[in.b], in);
            ++sp;
            break;
        case OpCode::CallGlobal:
        case OpCode::ArgCallGlobal: {
            int argc = in.n & CallFlags::kArgMask;
            Value* args = sp - argc;
            GlobalCell* c = unit->cells[in.b];
            Value r = c->kind == GlobalCell::Kind::Procedure ? callProcedure(c, args, argc, &f)
                                                             : I::callGlobal(*this, f, c, in, args);
            sp = popTo(sp, args);
            if (!(in.n & CallFlags::kStatement)) *sp++ = std::move(r);
            break;
        }
        case OpCode::NewObject:
            sp = I::newObject(*this, unit->cells[in.b], sp);
            break;

        case OpCode::IndexLoad:
        case OpCode::CallValue: {
            int argc = in.n;
            Value* base = sp - argc - 1;
            const Value& t = base->deref();
            Value r;
            Value* e;
            if (t.isArray() && argc == 1 && (e = element1(t.arrayValue(), base[1].deref())))
                r = *e;
            else
                r = I::indexed(t, base + 1, argc);
            sp = popTo(sp, base);
            *sp++ = std::move(r);
            break;
        }
        case OpCode::IndexStore:
        case OpCode::IndexSet: {
            int argc = in.n;
            Value* base = sp - argc - 2;
            Value& v = sp[-1];
            Value& target = base->deref();
            Value* e;
            if (argc == 1 && in.op == OpCode::IndexStore && target.isArray() && !v.isRef() &&
                !v.isObject() && (e = element1(target.mutableArray(), base[1].deref())))
                *e = std::move(v);
            else
                I::indexStore(base, argc, in.op == OpCode::IndexSet);
            sp = popTo(sp, base);
            break;
        }
        case OpCode::IndexAddr:
            sp = I::indexAddress(sp, in.n);
            break;
        case OpCode::MemberGet: {
            int argc = in.n & CallFlags::kArgMask;
            bool statement = in.n & CallFlags::kStatement;
            Value* base = sp - argc - 1;
            if (in.n == 0) {
                // obj.field: the field's value takes the object's place.
                if (Value* field = I::siteField(*base, fn->sites[in.b])) {
                    Value v = *field;
                    base->replaceObject(std::move(v));
                    break;
                }
            }
            Value r = I::memberGet(*this, f, fn->sites[in.b], base, in.n);
            while (sp > base)
                (--sp)->clear();
            if (!statement) *sp++ = std::move(r);
            break;
        }
        case OpCode::MemberPut:
        case OpCode::MemberSet: {
            int argc = in.n & CallFlags::kArgMask;
            Value* base = sp - argc - 2;
            if (argc == 0 && in.op == OpCode::MemberPut && !sp[-1].isRef() && !sp[-1].isObject()) {
                // obj.field = value, a value that needs no conversion.
                if (Value* field = I::siteField(*base, fn->sites[in.b])) {
                    *field = std::move(sp[-1]);
                    base->replaceObject(Value());
                    sp = base;
                    break;
                }
            }
            I::memberPut(*this, f, fn->sites[in.b], base, argc, in.op == OpCode::MemberSet);
            while (sp > base)
                (--sp)->clear();
            break;
        }

        case OpCode::Add:
            arithmeticOp<OpCode::Add>(in, sp, locals, fn);
            break;
        case OpCode::Sub:
            arithmeticOp<OpCode::Sub>(in, sp, locals, fn);
            break;
        case OpCode::Mul:
            arithmeticOp<OpCode::Mul>(in, sp, locals, fn);
            break;
        case OpCode::Div:
            arithmeticOp<OpCode::Div>(in, sp, locals, fn);
            break;
        case OpCode::IntDiv:
            arithmeticOp<OpCode::IntDiv>(in, sp, locals, fn);
            break;
        case OpCode::Mod:
            arithmeticOp<OpCode::Mod>(in, sp, locals, fn);
            break;
        case OpCode::AddLK:
            shapedOp<OpCode::Add, 0>(in, sp, locals, fn);
            break;
        case OpCode::SubLK:
            shapedOp<OpCode::Sub, 0>(in, sp, locals, fn);
            break;
        case OpCode::MulLK:
            shapedOp<OpCode::Mul, 0>(in, sp, locals, fn);
            break;
        case OpCode::DivLK:
            shapedOp<OpCode::Div, 0>(in, sp, locals, fn);
            break;
        case OpCode::IntDivLK:
            shapedOp<OpCode::IntDiv, 0>(in, sp, locals, fn);
            break;
        case OpCode::ModLK:
            shapedOp<OpCode::Mod, 0>(in, sp, locals, fn);
            break;
        case OpCode::AddSK:
            shapedOp<OpCode::Add, 1>(in, sp, locals, fn);
            break;
        case OpCode::SubSK:
            shapedOp<OpCode::Sub, 1>(in, sp, locals, fn);
            break;
        case OpCode::MulSK:
            shapedOp<OpCode::Mul, 1>(in, sp, locals, fn);
            break;
        case OpCode::DivSK:
            shapedOp<OpCode::Div, 1>(in, sp, locals, fn);
            break;
        case OpCode::IntDivSK:
            shapedOp<OpCode::IntDiv, 1>(in, sp, locals, fn);
            break;
        case OpCode::ModSK:
            shapedOp<OpCode::Mod, 1>(in, sp, locals, fn);
            break;
        case OpCode::AddLKL:
            shapedOp<OpCode::Add, 2>(in, sp, locals, fn);
            break;
        case OpCode::SubLKL:
            shapedOp<OpCode::Sub, 2>(in, sp, locals, fn);
            break;
        case OpCode::MulLKL:
            shapedOp<OpCode::Mul, 2>(in, sp, locals, fn);
            break;
        case OpCode::DivLKL:
            shapedOp<OpCode::Div, 2>(in, sp, locals, fn);
            break;
        case OpCode::IntDivLKL:
            shapedOp<OpCode::IntDiv, 2>(in, sp, locals, fn);
            break;
        case OpCode::ModLKL:
            shapedOp<OpCode::Mod, 2>(in, sp, locals, fn);
            break;
        case OpCode::AddLSL:
            shapedOp<OpCode::Add, 3>(in, sp, locals, fn);
            break;
        case OpCode::SubLSL:
            shapedOp<OpCode::Sub, 3>(in, sp, locals, fn);
            break;
        case OpCode::MulLSL:
            shapedOp<OpCode::Mul, 3>(in, sp, locals, fn);
            break;
        case OpCode::DivLSL:
            shapedOp<OpCode::Div, 3>(in, sp, locals, fn);
            break;
        case OpCode::IntDivLSL:
            shapedOp<OpCode::IntDiv, 3>(in, sp, locals, fn);
            break;
        case OpCode::ModLSL:
            shapedOp<OpCode::Mod, 3>(in, sp, locals, fn);
            break;
        case OpCode::AddLS:
            shapedOp<OpCode::Add, 4>(in, sp, locals, fn);
            break;
        case OpCode::SubLS:
            shapedOp<OpCode::Sub, 4>(in, sp, locals, fn);
            break;
        case OpCode::MulLS:
            shapedOp<OpCode::Mul, 4>(in, sp, locals, fn);
            break;
        case OpCode::DivLS:
            shapedOp<OpCode::Div, 4>(in, sp, locals, fn);
            break;
        case OpCode::IntDivLS:
            shapedOp<OpCode::IntDiv, 4>(in, sp, locals, fn);
            break;
        case OpCode::ModLS:
            shapedOp<OpCode::Mod, 4>(in, sp, locals, fn);
            break;
        case OpCode::AddSKL:
            shapedOp<OpCode::Add, 5>(in, sp, locals, fn);
            break;
        case OpCode::SubSKL:
            shapedOp<OpCode::Sub, 5>(in, sp, locals, fn);
            break;
        case OpCode::MulSKL:
            shapedOp<OpCode::Mul, 5>(in, sp, locals, fn);
            break;
        case OpCode::DivSKL:
            shapedOp<OpCode::Div, 5>(in, sp, locals, fn);
            break;
        case OpCode::IntDivSKL:
            shapedOp<OpCode::IntDiv, 5>(in, sp, locals, fn);
            break;
        case OpCode::ModSKL:
            shapedOp<OpCode::Mod, 5>(in, sp, locals, fn);
            break;
        case OpCode::AddSSL:
            shapedOp<OpCode::Add, 6>(in, sp, locals, fn);
            break;
        case OpCode::SubSSL:
            shapedOp<OpCode::Sub, 6>(in, sp, locals, fn);
            break;
        case OpCode::MulSSL:
            shapedOp<OpCode::Mul, 6>(in, sp, locals, fn);
            break;
        case OpCode::DivSSL:
            shapedOp<OpCode::Div, 6>(in, sp, locals, fn);
            break;
        case OpCode::IntDivSSL:
            shapedOp<OpCode::IntDiv, 6>(in, sp, locals, fn);
            break;
        case OpCode::ModSSL:
            shapedOp<OpCode::Mod, 6>(in, sp, locals, fn);
            break;
        case OpCode::AddLRK:
            shapedOp<OpCode::Add, 7>(in, sp, locals, fn);
            break;
        case OpCode::SubLRK:
            shapedOp<OpCode::Sub, 7>(in, sp, locals, fn);
            break;
        case OpCode::MulLRK:
            shapedOp<OpCode::Mul, 7>(in, sp, locals, fn);
            break;
        case OpCode::DivLRK:
            shapedOp<OpCode::Div, 7>(in, sp, locals, fn);
            break;
        case OpCode::IntDivLRK:
            shapedOp<OpCode::IntDiv, 7>(in, sp, locals, fn);
            break;
        case OpCode::ModLRK:
            shapedOp<OpCode::Mod, 7>(in, sp, locals, fn);
            break;
        case OpCode::AddSS:
            shapedOp<OpCode::Add, 8>(in, sp, locals, fn);
            break;
        case OpCode::SubSS:
            shapedOp<OpCode::Sub, 8>(in, sp, locals, fn);
            break;
        case OpCode::MulSS:
            shapedOp<OpCode::Mul, 8>(in, sp, locals, fn);
            break;
        case OpCode::DivSS:
            shapedOp<OpCode::Div, 8>(in, sp, locals, fn);
            break;
        case OpCode::IntDivSS:
            shapedOp<OpCode::IntDiv, 8>(in, sp, locals, fn);
            break;
        case OpCode::ModSS:
            shapedOp<OpCode::Mod, 8>(in, sp, locals, fn);
            break;
        case OpCode::Pow:
        case OpCode::And:
        case OpCode::Or:
        case OpCode::Xor:
        case OpCode::Eqv:
        case OpCode::Imp:
        case OpCode::Is:
            sp[-2] = I::binary(in.op, sp[-2], sp[-1]);
            (--sp)->clear();
            break;
        case OpCode::Concat: {
            Value& a = sp[-2];
            Value& b = sp[-1];
            if (a.isString() && b.isString())
                a = Value::concat(a.stringValue(), b.stringValue());
            else
                a = opConcat(a, b);
            (--sp)->clear();
            break;
        }
        case OpCode::AppendTo:
        case OpCode::AppendGlobal:
            sp = I::append(*this, f, in, sp);
            break;
        case OpCode::Neg:
            sp[-1] = opNeg(sp[-1]);
            break;
        case OpCode::Not:
            if (sp[-1].type() == Type::Boolean)
                sp[-1] = Value::boolean(!sp[-1].booleanValue());
            else
                sp[-1] = opNot(sp[-1]);
            break;
        case OpCode::Eq:
        case OpCode::Ne:
        case OpCode::Lt:
        case OpCode::Le:
        case OpCode::Gt:
        case OpCode::Ge: {
            const Value& b = rightOperand(in, sp, locals, fn);
            bool stacked = !(in.n & OpFlags::kOperandFused);
            // Where the result goes; it holds the left operand unless a local does.
            Value* slot = (in.n & OpFlags::kLeftLocal) ? (stacked ? sp - 1 : sp)
                                                       : (stacked ? sp - 2 : sp - 1);
            const Value& a = !(in.n & OpFlags::kLeftLocal)   ? *slot
                             : (in.n & OpFlags::kOperandRef) ? locals[in.a].deref()
                                                             : locals[in.a];
            bool ok;
            int c = fastCompare(a, b, ok);
            auto op = Compare(int(in.op) - int(OpCode::Eq));
            if (ok) {
                bool r = holds(op, c);
                if (stacked) sp[-1].clear();
                slot->clear();
                sp = slot;
                if (in.n & OpFlags::kBranch) {
                    // A condition: test and branch without pushing the Boolean.
                    const Instr jump = *ip++;
                    if (r == (jump.op == OpCode::JumpIfTrue)) ip = jumpTo(*this, code, ip, jump.b);
                    break;
                }
                *sp++ = Value::boolean(r);
            } else {
                *slot = I::compare(op, a, b, stacked ? sp - 1 : nullptr,
                                   in.n & (OpFlags::kLeftLiteral | OpFlags::kRightLiteral));
                sp = slot + 1;
            }
            break;
        }

        case OpCode::Jump:
            ip = jumpTo(*this, code, ip, in.b);
            break;
        case OpCode::JumpIfFalse: {
            bool t = fastTruth(sp[-1]);
            (--sp)->clear();
            if (!t) ip = jumpTo(*this, code, ip, in.b);
            break;
        }
        case OpCode::JumpIfTrue: {
            bool t = fastTruth(sp[-1]);
            (--sp)->clear();
            if (t) ip = jumpTo(*this, code, ip, in.b);
            break;
        }
        case OpCode::ForInit:
            sp = I::forInit(sp, locals + in.a);
            break;
        case OpCode::ForStepLocal:
        case OpCode::ForTestLocal: {
            Value& var = locals[in.a];
            const Value& limit = locals[in.b];
            const Value& step = locals[in.b + 1];
            if (in.op == OpCode::ForStepLocal) {
                tick();
                if (var.type() == Type::Long && step.type() == Type::Integer &&
                    limit.type() == Type::Long) {
                    // The usual counted loop, once past the Integer range.
                    int64_t next = int64_t(var.longValue()) + step.integerValue();
                    if (next >= INT32_MIN && next <= INT32_MAX) {
                        var.setLong(int32_t(next));
                        bool go = step.integerValue() >= 0 ? next <= limit.longValue()
                                                           : next >= limit.longValue();
                        ip = go ? code + ip->b : ip + 1;
                        break;
                    }
                }
                I::forStep(var, step);
            }
            if (I::forContinues(var, limit, step))
                ip = code + ip->b;
            else
                ++ip;
            break;
        }
        case OpCode::ForStepRef:
        case OpCode::ForTestRef: {
            if (in.op == OpCode::ForStepRef) tick();
            bool go = I::forRef(sp[-1].deref(), locals + in.a, in.op == OpCode::ForStepRef);
            (--sp)->clear();
            if (go)
                ip = code + ip->b;
            else
                ++ip;
            break;
        }
        case OpCode::ForEachInit:
            sp = I::forEachStart(sp, locals[in.a]);
            break;
        case OpCode::ForEachNext: {
            tick();
            detail::Iter* it = locals[in.a].iteratorValue();
            Value v;
            if (locals[in.a].type() == Type::Iterator && it->next(v)) {
                *sp++ = std::move(v);
                ++ip;
            } else {
                ip = code + ip->b;
            }
            break;
        }
        case OpCode::DimArray:
            sp = I::dimArray(sp, in.n);
            break;
        case OpCode::ReDim:
            sp = I::reDim(sp, in.n, in.a != 0);
            break;
        case OpCode::Erase:
            sp = I::erase(sp);
            break;
        case OpCode::OnError:
            I::onError(*this, f, in.n);
            break;
        case OpCode::Return:
            return sp;
        case OpCode::MemberGetLocal: {
            const Value& local = (in.n & VarFlags::kByRef) ? locals[in.a].deref() : locals[in.a];
            if (Value* field = I::siteField(local, fn->sites[in.b])) {
                *sp++ = *field;
                break;
            }
            sp = I::memberLocal(*this, f, in, sp);
            break;
        }
        case OpCode::MemberPutLocal: {
            Value& v = sp[-1];
            Value* field;
            if (!v.isRef() && !v.isObject() &&
                (field = I::siteField(locals[in.a], fn->sites[in.b]))) {
                *field = std::move(v);
                --sp;
                break;
            }
            sp = I::memberLocal(*this, f, in, sp);
            break;
        }
        case OpCode::LoadElement: {
            const Value& t = (in.n & ElementFlags::kArrayRef) ? locals[in.a].deref() : locals[in.a];
            const Value& sub =
                (in.n & ElementFlags::kIndexRef) ? locals[in.b].deref() : locals[in.b];
            Value* e;
            if (t.isArray() && (e = element1(t.arrayValue(), sub)))
                *sp = *e;
            else
                *sp = I::element(t, sub);
            ++sp;
            break;
        }
        }
    }
}

} // namespace vbs
