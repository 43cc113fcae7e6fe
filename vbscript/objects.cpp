// The objects the runtime makes: instances of script classes, GetRef's procedure references and
// the Err object.

#include "vbscript/runtime_support.h"

namespace vbs {

using namespace rt;

// ---- Script objects ----------------------------------------------------------------------

ScriptObject::ScriptObject(const ClassInfo* cls, LinkedUnit* unit,
                           std::shared_ptr<GlobalScope> scope)
    : cls_(cls), unit_(unit), scope_(std::move(scope)) {
    scriptObject_ = true;
    fields_.resize(cls->fields.size());
    scope_->instances.insert(this);
}

ScriptObject::~ScriptObject() {
    scope_->instances.erase(this);
}

int ScriptObject::memberId(std::string_view name) {
    int m = cls_->find(name);
    if (m < 0 || !cls_->members[size_t(m)].isPublic) return kNoMember;
    return m + 1;
}

Value ScriptObject::invoke(int id, Invoke kind, std::span<Value> args) {
    Runtime* rt = scope_->runtime;
    if (!rt) fail(errc::ObjectRequired);
    Runtime::Entry entry(*rt);
    return rt->invokeMember(this, id, kind, args.data(), int(args.size()), false);
}

void ScriptObject::terminate() noexcept {
    Runtime* rt = scope_->runtime;
    if (terminated_ || !cls_->terminate || !rt) return;
    terminated_ = true;
    addRef(); // alive while Class_Terminate runs; it may even keep itself
    try {
        Runtime::Entry entry(*rt);
        rt->call(cls_->terminate, unit_, this, nullptr, 0, rt->currentFrame());
    } catch (...) {
        // An error in Class_Terminate has nowhere to go.
    }
    release();
}

void ScriptObject::finalRelease() noexcept {
    if (!terminated_ && cls_->terminate && scope_->runtime) {
        terminate(); // releases again at the end: deleted then, unless kept
        return;
    }
    delete this;
}

// A procedure reference made by GetRef: calling its default member calls the procedure.
class ProcRef : public Object {
public:
    ProcRef(const Function* fn, LinkedUnit* unit, std::shared_ptr<GlobalScope> scope)
        : fn_(fn), unit_(unit), scope_(std::move(scope)) {}
    int memberId(std::string_view) override { return kNoMember; }
    Value invoke(int id, Invoke kind, std::span<Value> args) override {
        if (id != kDefaultMember || kind == Invoke::Let || kind == Invoke::Set)
            fail(errc::NoSuchMember);
        Runtime* rt = scope_->runtime;
        if (!rt) fail(errc::ObjectRequired);
        Runtime::Entry entry(*rt);
        return rt->call(fn_, unit_, nullptr, args.data(), int(args.size()), rt->currentFrame());
    }

private:
    const Function* fn_;
    LinkedUnit* unit_;
    std::shared_ptr<GlobalScope> scope_;
};

Value makeProcRef(Runtime& rt, std::string_view name) {
    auto it = rt.scope->cells.find(std::string(name));
    if (it == rt.scope->cells.end() || it->second->kind != GlobalCell::Kind::Procedure)
        fail(errc::InvalidCall);
    GlobalCell* c = it->second.get();
    return Value::object(new ProcRef(c->fn, c->unit, rt.scope));
}

// ---- Err -----------------------------------------------------------------------------------

namespace {

// The Err object.
class ErrObject : public Object {
public:
    explicit ErrObject(Runtime& rt) : rt_(rt) {}
    int memberId(std::string_view name) override {
        static const char* names[] = {"number",      "description", "source", "helpfile",
                                      "helpcontext", "raise",       "clear"};
        for (int i = 0; i < 7; ++i)
            if (equalsNoCase(name, names[i])) return i + 1;
        return kNoMember;
    }
    const void* memberTable() const override { return &kTable; }
    std::string typeName() const override { return "ErrObject"; }
    Value invoke(int id, Invoke kind, std::span<Value> args) override {
        ErrState& e = rt_.err;
        bool put = kind == Invoke::Let || kind == Invoke::Set;
        switch (id) {
        case 0:
        case 1:
            if (put) {
                e.number = toLong(args.back());
                return {};
            }
            return Value::lng(e.number);
        case 2:
            if (put) {
                e.description = toString(args.back());
                return {};
            }
            return Value::string(e.description);
        case 3:
            if (put) {
                e.source = toString(args.back());
                return {};
            }
            return Value::string(e.source);
        case 4:
            return put ? Value() : Value::string(u"");
        case 5:
            return put ? Value() : Value::lng(0);
        case 6: {
            if (args.empty()) fail(errc::ArgumentNotOptional);
            int number = toLong(args[0]);
            std::u16string source, description;
            if (args.size() > 1 && !args[1].isEmpty() && args[1].type() != Type::Error)
                source = toString(args[1]);
            if (args.size() > 2 && !args[2].isEmpty() && args[2].type() != Type::Error)
                description = toString(args[2]);
            throw ScriptError(number, description, source);
        }
        case 7:
            rt_.clearErr();
            return {};
        default:
            fail(errc::NoSuchMember);
        }
    }

private:
    static constexpr int kTable = 0;
    Runtime& rt_;
};

} // namespace

Value rt::makeErrObject(Runtime& rt) {
    return Value::object(new ErrObject(rt));
}

} // namespace vbs
