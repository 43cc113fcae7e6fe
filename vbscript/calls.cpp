// Calls: entering script code from the host, frames for procedures, methods, properties and
// script-level code, the recovery of On Error Resume Next around the dispatch loop, built-in
// calls, and the time-out and stack checks.

#include "vbscript/runtime_support.h"

#include <chrono>
#include <climits>
#include <pthread.h>

namespace vbs {

using namespace rt;

namespace {

uintptr_t stackAddress() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

size_t usableStack(uintptr_t here) {
    // Asking for the main thread's stack reads /proc/self/maps, far too slow for every run: the
    // bounds are asked once per thread.
    struct Bounds {
        bool known = false;
        uintptr_t low = 0;
        size_t size = 0;
    };
    thread_local Bounds bounds;
    if (!bounds.known) {
        bounds.known = true;
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            void* addr = nullptr;
            if (pthread_attr_getstack(&attr, &addr, &bounds.size) != 0) bounds.size = 0;
            bounds.low = reinterpret_cast<uintptr_t>(addr);
            pthread_attr_destroy(&attr);
        }
    }
    size_t available = size_t(1) << 20;
    if (bounds.size && here > bounds.low && here - bounds.low < bounds.size + 4096)
        available = here - bounds.low;
    // Keep room for the host's callbacks and the runtime's own calls between checks.
    size_t margin = std::min(available / 4, size_t(512) << 10);
    return available - margin;
}

} // namespace

// ---- Runtime -----------------------------------------------------------------------------

Runtime::Runtime() {
    scope = std::make_shared<GlobalScope>();
    scope->runtime = this;
    clock = [] {
        return int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count());
    };
    err_ = makeErrObject(*this);
}

Runtime::~Runtime() {
    scope->clear();
    scope->runtime = nullptr;
    Value e = std::move(err_);
}

Runtime::Entry::Entry(Runtime& rt) : rt_(rt) {
    if (rt.entered_++ == 0) {
        rt.interrupted_ = false;
        rt.stackBase_ = stackAddress();
        rt.stackLimit_ = usableStack(rt.stackBase_);
        rt.deadline_ = rt.timeoutMs >= 0 ? rt.clock() + rt.timeoutMs : INT64_MAX;
        rt.stepsLeft_ = rt.limits.maxSteps;
        rt.budget_ = rt.limits.maxSteps ? 0 : 1024; // a step limit hands out its first steps
        rt.maxDepth_ = rt.limits.maxCallDepth ? rt.limits.maxCallDepth : UINT32_MAX;
        outer_ = setValueLimits(rt.limits.values);
    }
}

Runtime::Entry::~Entry() {
    if (--rt_.entered_ == 0) setValueLimits(outer_);
}

void Runtime::checkTime() {
    bool outOfSteps = false;
    if (limits.maxSteps) {
        const uint64_t chunk = std::min<uint64_t>(1024, stepsLeft_);
        outOfSteps = chunk == 0;
        stepsLeft_ -= chunk;
        budget_ = int(chunk);
    } else {
        budget_ = 1024;
    }
    if (outOfSteps || interrupted_ || (deadline_ != INT64_MAX && clock() > deadline_)) {
        interrupted_ = true; // every frame on the way out stops too
        ScriptError e(errc::ScriptTimedOut);
        e.setFatal();
        throw e;
    }
}

void Runtime::tooDeep() {
    fail(errc::OutOfStackSpace);
}

void Runtime::checkStack() {
    uintptr_t here = stackAddress();
    if (stackBase_ > here && stackBase_ - here > stackLimit_) fail(errc::OutOfStackSpace);
}

Value Runtime::errObject() {
    return err_;
}

void Runtime::setErr(const ScriptError& e) {
    err.number = e.number();
    err.description = e.description();
    err.source = e.source();
}

void Runtime::locate(ScriptError& e, const Frame& f, uint32_t pc) const {
    if (f.scopeFrame || !f.unit || f.unit->dynamic)
        return; // code given to Execute or Eval: the statement that ran it is the place
    const StmtInfo* st = f.fn->statementAt(pc);
    if (st)
        e.setPosition(int(f.unit->baseLine + st->line), int(st->column));
    else
        e.setPosition(int(f.unit->baseLine + f.fn->line), int(f.fn->column));
}

Value Runtime::callBuiltin(const Builtin* b, Value* args, int argc, Frame* frame) {
    if (argc < b->minArgs || argc > b->maxArgs) failNamed(errc::WrongArgumentCount, b->name);
    derefArgs(args, argc);
    CallContext ctx{*this, frame};
    return b->fn(ctx, std::span<Value>(args, size_t(argc)));
}

// Leaves a frame, however it ends: the caller's frame becomes current again and the frame's
// values go.
struct Runtime::FrameGuard {
    Runtime& rt;
    Value* base;
    size_t n;
    ValueStack::Mark mark;
    Frame* previous;
    size_t slots;
    Value* top = nullptr; // after a normal return: the operand stack's end
    ~FrameGuard() {
        rt.current_ = previous;
        --rt.depth_;
        if (top) {
            // Only the locals and what the stack still holds need clearing; an error may have
            // left anything anywhere.
            for (Value* p = base; p < base + slots; ++p)
                p->clear();
            for (Value* p = base + slots; p < top; ++p)
                p->clear();
            rt.stack_.pop(base, 0, mark);
        } else {
            rt.stack_.pop(base, n, mark);
        }
    }
};

inline Value Runtime::enter(const Function* fn, LinkedUnit* unit, ScriptObject* me, Value* args,
                            int argc, Frame* caller) {
    if (argc != fn->params) failNamed(errc::WrongArgumentCount, fn->name);
    tick();
    checkStack();
    size_t n = size_t(fn->slots) + fn->maxStack;
    ValueStack::Mark mark;
    Value* base = stack_.push(n, mark);
    Frame f;
    f.fn = fn;
    f.unit = unit;
    f.locals = base;
    f.stack = base + fn->slots;
    f.me = me;
    f.caller = caller;
    enterDepth();
    FrameGuard guard{*this, base, n, mark, current_, fn->slots};
    for (int i = 0; i < argc; ++i) {
        Value& a = args[i];
        Value& p = base[1 + i];
        if (fn->byRef[size_t(i)]) {
            if (a.type() == Type::Ref)
                p = Value::ref(a.refTarget());
            else if (a.type() == Type::ElemRef)
                p = a;
            else
                p = Value::ref(&a); // a temporary of the caller: changes are simply lost
        } else {
            p = a.deref();
        }
    }
    current_ = &f;
    Value* top = runFrame(f);
    Value result = std::move(base[0]);
    guard.top = top;
    return result;
}

Value Runtime::call(const Function* fn, LinkedUnit* unit, ScriptObject* me, Value* args, int argc,
                    Frame* caller) {
    return enter(fn, unit, me, args, argc, caller);
}

Value Runtime::callProcedure(const GlobalCell* c, Value* args, int argc, Frame* caller) {
    return enter(c->fn, c->unit, nullptr, args, argc, caller);
}

Value Runtime::invokeMember(ScriptObject* obj, int id, Invoke kind, Value* args, int argc,
                            bool inside) {
    const ClassInfo* cls = obj->cls();
    if (id == Object::kDefaultMember) {
        if (cls->defaultMember < 0) failNamed(errc::NoSuchMember, cls->name);
        id = cls->defaultMember + 1;
    }
    if (id < 1 || size_t(id) > cls->members.size()) fail(errc::NoSuchMember);
    const ClassInfo::Member& m = cls->members[size_t(id - 1)];
    if (!m.isPublic && !inside) failNamed(errc::NoSuchMember, m.name);
    bool put = kind == Invoke::Let || kind == Invoke::Set;
    switch (m.kind) {
    case ClassInfo::MemberKind::Field: {
        Value& field = obj->fields()[size_t(m.field)];
        if (!put) {
            if (argc == 0) return field;
            return loadIndexed(field, args, argc);
        }
        Value value = args[argc - 1].deref();
        if (argc > 1) {
            storeIndexed(field, args, argc - 1, std::move(value), kind == Invoke::Set);
            return {};
        }
        if (kind == Invoke::Set)
            requireObject(value);
        else
            letConvert(value);
        field = std::move(value);
        return {};
    }
    case ClassInfo::MemberKind::Method:
        if (put) failNamed(errc::WrongArgumentCount, m.name);
        return call(m.method, obj->unit(), obj, args, argc, current_);
    case ClassInfo::MemberKind::Property: {
        const Function* p = kind == Invoke::Let ? m.let : kind == Invoke::Set ? m.set : m.get;
        if (!p) failNamed(errc::WrongArgumentCount, m.name);
        if (put) {
            Value& last = args[argc - 1];
            Value value = last.deref();
            if (kind == Invoke::Let)
                letConvert(value);
            else
                requireObject(value);
            last = std::move(value);
        } else if (argc > 0 && p->params == 0) {
            // obj.Items(1): the arguments apply to what the property returns.
            Value v = call(p, obj->unit(), obj, nullptr, 0, current_);
            return loadIndexed(v, args, argc);
        }
        return call(p, obj->unit(), obj, args, argc, current_);
    }
    }
    return {};
}

Value Runtime::newInstance(const ClassInfo* cls, LinkedUnit* unit) {
    auto* o = new ScriptObject(cls, unit, unit->scope->shared_from_this());
    Value v = Value::object(o);
    for (size_t i = 0; i < cls->fields.size(); ++i) {
        const ClassInfo::Field& fd = cls->fields[i];
        if (!fd.isArray) continue;
        std::vector<Array::Bound> bounds;
        for (int32_t ub : fd.bounds)
            bounds.push_back({0, ub + 1});
        Array* a = Array::create(std::move(bounds));
        a->setFixed(!fd.bounds.empty());
        o->fields()[i] = Value::array(a);
    }
    if (cls->initialize) call(cls->initialize, unit, o, nullptr, 0, current_);
    return v;
}

inline Value* Runtime::runFrame(Frame& f) {
    const Instr* code = f.fn->code.data();
    const Instr* ip = code;
    Value* sp = f.stack;
    for (;;) {
        try {
            return execute(f, ip, sp);
        } catch (ScriptError& e) {
            const uint32_t pc = uint32_t(f.ip - code);
            if (!e.hasPosition()) locate(e, f, pc);
            if (!f.resumeNext || e.fatal()) throw;
            ip = resumeAfter(f, e, pc);
        } catch (const std::bad_alloc&) {
            ip = libraryFailure(f, errc::OutOfMemory);
        } catch (const std::length_error&) {
            ip = libraryFailure(f, errc::OutOfStringSpace);
        }
        sp = f.stack;
    }
}

const Instr* Runtime::resumeAfter(Frame& f, const ScriptError& e, uint32_t pc) {
    setErr(e);
    for (Value* p = f.stack; p < f.stack + f.fn->maxStack; ++p)
        p->clear();
    const StmtInfo* st = f.fn->statementAt(pc);
    return f.fn->code.data() + (st ? st->end : pc + 1);
}

const Instr* Runtime::libraryFailure(Frame& f, int number) {
    ScriptError e(number);
    const uint32_t pc = uint32_t(f.ip - f.fn->code.data());
    locate(e, f, pc);
    if (!f.resumeNext) throw e;
    return resumeAfter(f, e, pc);
}

void Runtime::runMain(LinkedUnit* unit, Frame* scopeFrame, bool* resumeNext) {
    const Function* main = unit->code->main;
    if (!main) return;
    tick();
    checkStack();
    size_t n = size_t(main->slots) + main->maxStack;
    ValueStack::Mark mark;
    Value* base = stack_.push(n, mark);
    Frame f;
    f.fn = main;
    f.unit = unit;
    f.locals = base;
    f.stack = base + main->slots;
    f.caller = current_;
    enterDepth();
    FrameGuard guard{*this, base, n, mark, current_, 0};
    if (scopeFrame) {
        f.scopeFrame = scopeFrame;
        f.me = scopeFrame->me;
        bindOuter(f, scopeFrame);
    }
    if (resumeNext) f.resumeNext = *resumeNext;
    current_ = &f;
    runFrame(f);
    if (resumeNext) *resumeNext = f.resumeNext;
}

// Eval's expression, in a frame of its own: in the scope of `sf` with `local`.
Value Runtime::runExpression(LinkedUnit& lu, Frame* sf, bool local) {
    const Function* main = lu.code->main;
    tick();
    checkStack();
    size_t n = size_t(main->slots) + main->maxStack;
    ValueStack::Mark mark;
    Value* base = stack_.push(n, mark);
    Frame f;
    f.fn = main;
    f.unit = &lu;
    f.locals = base;
    f.stack = base + main->slots;
    f.caller = current_;
    f.scopeFrame = sf ? sf : nullptr;
    enterDepth();
    FrameGuard guard{*this, base, n, mark, current_, 0};
    if (local) {
        f.me = sf->me;
        bindOuter(f, sf);
    }
    current_ = &f;
    Value* top = runFrame(f);
    Value result = std::move(base[0]);
    guard.top = top;
    return result;
}

} // namespace vbs
