#include "vbscript/compiler.h"

#include "vbscript/convert.h"
#include "vbscript/operators.h"

#include <algorithm>
#include <atomic>
#include <unordered_set>

namespace vbs {

using namespace ast;

const StmtInfo* Function::statementAt(uint32_t pc) const {
    // Statements are recorded in order of their first instruction and never overlap.
    auto it = std::upper_bound(stmts.begin(), stmts.end(), pc,
                               [](uint32_t p, const StmtInfo& s) { return p < s.begin; });
    while (it != stmts.begin()) {
        --it;
        if (pc >= it->begin && pc < it->end) return &*it;
        if (pc >= it->end) break;
    }
    return nullptr;
}

uint64_t newClassSerial() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

const LocalInfo* Function::local(std::string_view name) const {
    for (const LocalInfo& l : locals)
        if (equalsNoCase(l.name, name)) return &l;
    return nullptr;
}

namespace {

[[noreturn]] void compileError(int number, uint32_t line, uint32_t column) {
    ScriptError e(number);
    e.setPosition(int(line), int(column));
    throw e;
}

using NameSet = std::unordered_set<std::string, NoCaseHash, NoCaseEqual>;

class UnitBuilder {
public:
    UnitBuilder(uint32_t firstLine, const CompileOptions& options)
        : firstLine_(firstLine), options_(options) {
        unit_ = std::make_shared<CompiledUnit>();
    }

    uint32_t global(std::string_view name) {
        auto it = index_.find(std::string(name));
        if (it != index_.end()) return it->second;
        auto i = uint32_t(unit_->globals.size());
        unit_->globals.emplace_back(name);
        index_.emplace(std::string(name), i);
        return i;
    }

    Function* newFunction() {
        unit_->functions.push_back(std::make_unique<Function>());
        return unit_->functions.back().get();
    }

    uint32_t rel(uint32_t line) const { return line - firstLine_; }
    bool fuse() const { return options_.fuse; }
    CompiledUnit& unit() { return *unit_; }
    std::shared_ptr<CompiledUnit> take() { return std::move(unit_); }

private:
    uint32_t firstLine_;
    CompileOptions options_;
    std::shared_ptr<CompiledUnit> unit_;
    std::unordered_map<std::string, uint32_t, NoCaseHash, NoCaseEqual> index_;
};

enum class Mode { Procedure, Main, Dynamic };

struct ClassConsts {
    std::unordered_map<std::string, Value, NoCaseHash, NoCaseEqual> values;
};

class FunctionCompiler {
public:
    FunctionCompiler(UnitBuilder& unit, Function& fn, const ClassInfo* cls,
                     const ClassConsts* classConsts, Mode mode)
        : u_(unit), fn_(fn), cls_(cls), classConsts_(classConsts), mode_(mode) {
        fn_.cls = cls;
    }

    void compileProcedure(const Proc& proc) {
        fn_.name = proc.name;
        fn_.kind = proc.kind;
        fn_.isPublic = proc.isPublic;
        fn_.isDefault = proc.isDefault;
        fn_.line = u_.rel(proc.line);
        fn_.column = proc.column;
        fn_.params = uint16_t(proc.params.size());
        if (proc.kind == ProcKind::Function || proc.kind == ProcKind::PropertyGet) {
            Sym s{Sym::Return, 0, false, {}};
            scope_.emplace(proc.name, s);
            fn_.locals.push_back({proc.name, 0, LocalKind::Return, false});
        }
        for (const Param& p : proc.params) {
            uint16_t slot = fn_.slots++;
            fn_.byRef.push_back(p.byRef ? 1 : 0);
            if (scope_.count(p.name) && scope_.at(p.name).kind != Sym::Return)
                compileError(errc::NameRedefined, p.line, p.column);
            scope_[p.name] = Sym{Sym::Local, slot, p.byRef, {}};
            fn_.locals.push_back({p.name, slot, LocalKind::Param, p.byRef});
        }
        declare(proc.body);
        prologue();
        block(proc.body);
        emit(OpCode::Return, 0);
        shortcutReturns();
    }

    // A jump to a Return returns at once (If ... Else at the end of a procedure); arithmetic of
    // the usual shapes becomes the shaped instructions.
    void shortcutReturns() {
        if (!u_.fuse()) return;
        for (Instr& in : fn_.code) {
            if (in.op == OpCode::Jump && in.b < fn_.code.size() &&
                fn_.code[in.b].op == OpCode::Return) {
                in.op = OpCode::Return;
                in.b = 0;
            }
            in = shapedForm(in);
        }
    }

    void compileMain(const Block& body, const OuterScope* outer) {
        fn_.isMain = true;
        fn_.name = "";
        if (outer) {
            for (const std::string& name : outer->names) {
                if (scope_.count(name)) continue;
                uint16_t slot = fn_.slots++;
                scope_[name] = Sym{Sym::Local, slot, true, {}};
                fn_.locals.push_back({name, slot, LocalKind::Outer, true});
            }
        }
        declare(body);
        prologue();
        block(body);
        emit(OpCode::Return, 0);
        shortcutReturns();
    }

    void compileExpression(const Expr& e, const OuterScope* outer) {
        fn_.isMain = true;
        if (outer) {
            for (const std::string& name : outer->names) {
                uint16_t slot = fn_.slots++;
                scope_[name] = Sym{Sym::Local, slot, true, {}};
                fn_.locals.push_back({name, slot, LocalKind::Outer, true});
            }
        }
        uint32_t at = beginStmt(e.line, e.column);
        expr(e);
        emit(OpCode::StoreLocal, -1, VarFlags::kRaw, 0);
        endStmt(at);
        emit(OpCode::Return, 0);
    }

private:
    struct Sym {
        enum Kind { Local, Const, Return } kind;
        uint16_t slot;
        bool byRef;
        Value value;
    };

    struct Resolved {
        enum Kind { Local, Const, Field, Member, Global } kind;
        uint16_t slot = 0;
        bool byRef = false;
        uint32_t index = 0;
        uint16_t implicit = 0; // implicit local slot + 1
        Value value;
    };

    enum class LoopKind { For, Do, While };
    struct Loop {
        LoopKind kind;
        std::vector<size_t> exits;
    };

    // ---- Declarations ----------------------------------------------------------------

    void declare(const Block& body) {
        for (const StmtPtr& s : body)
            declareStmt(*s);
        if (mode_ == Mode::Procedure || mode_ == Mode::Dynamic) {
            for (const std::string& name : assigned_) {
                if (scope_.count(name)) continue;
                if (cls_ && cls_->find(name) >= 0) continue;
                if (classConsts_ && classConsts_->values.count(name)) continue;
                uint16_t slot = fn_.slots++;
                implicit_[name] = slot;
                fn_.locals.push_back({name, slot, LocalKind::Implicit, mode_ == Mode::Dynamic});
            }
        }
    }

    void noteAssigned(const std::string& name) { assigned_.insert(name); }

    void noteAssignedExpr(const Expr* e) {
        if (e && e->kind == ExprKind::Name) noteAssigned(e->name);
    }

    void declareLocal(const Decl& d) {
        auto it = scope_.find(d.name);
        if (it != scope_.end()) {
            if (mode_ == Mode::Dynamic && it->second.kind == Sym::Local)
                return; // Execute may re-declare a name of its caller
            compileError(errc::NameRedefined, d.line, d.column);
        }
        uint16_t slot = fn_.slots++;
        bool byRef = mode_ == Mode::Dynamic;
        scope_[d.name] = Sym{Sym::Local, slot, byRef, {}};
        fn_.locals.push_back({d.name, slot, LocalKind::Local, byRef});
        if (d.isArray) arrays_.push_back(&d);
    }

    Value constValue(const Expr& e) {
        if (e.kind == ExprKind::Literal) return e.value;
        if (e.kind == ExprKind::Paren && e.left) return constValue(*e.left);
        if (e.kind == ExprKind::Unary && e.left && (e.op == Op::Neg || e.op == Op::Plus)) {
            Value v = constValue(*e.left);
            return e.op == Op::Neg ? opNeg(v) : v;
        }
        compileError(errc::ExpectedLiteral, e.line, e.column);
    }

    std::vector<int32_t> constBounds(const Decl& d) {
        std::vector<int32_t> bounds;
        for (const ExprPtr& b : d.bounds) {
            Value v = constValue(*b);
            if (!v.isNumeric() || v.type() == Type::Boolean)
                compileError(errc::ExpectedIntegerConstant, b->line, b->column);
            bounds.push_back(toLong(v));
        }
        return bounds;
    }

    void declareStmt(const Stmt& s) {
        if (s.kind == StmtKind::OnError) hasOnError_ = true;
        switch (s.kind) {
        case StmtKind::Dim:
            for (const Decl& d : s.decls) {
                if (mode_ == Mode::Main) {
                    if (declaredGlobals_.count(d.name))
                        compileError(errc::NameRedefined, d.line, d.column);
                    declaredGlobals_.insert(d.name);
                    CompiledUnit::Decl g;
                    g.global = u_.global(d.name);
                    g.kind = d.isArray ? CompiledUnit::Decl::Kind::Array
                                       : CompiledUnit::Decl::Kind::Variable;
                    g.isPublic = d.isPublic;
                    g.bounds = constBounds(d);
                    g.line = u_.rel(d.line);
                    g.column = d.column;
                    u_.unit().decls.push_back(std::move(g));
                } else {
                    constBounds(d);
                    declareLocal(d);
                }
            }
            break;
        case StmtKind::Const:
            for (const Decl& d : s.decls) {
                Value v = constValue(*d.value);
                if (mode_ == Mode::Main) {
                    if (declaredGlobals_.count(d.name))
                        compileError(errc::NameRedefined, d.line, d.column);
                    declaredGlobals_.insert(d.name);
                    CompiledUnit::Decl g;
                    g.global = u_.global(d.name);
                    g.kind = CompiledUnit::Decl::Kind::Const;
                    g.isPublic = d.isPublic;
                    g.value = v;
                    g.line = u_.rel(d.line);
                    g.column = d.column;
                    u_.unit().decls.push_back(std::move(g));
                } else {
                    if (scope_.count(d.name)) compileError(errc::NameRedefined, d.line, d.column);
                    scope_[d.name] = Sym{Sym::Const, 0, false, v};
                }
            }
            break;
        case StmtKind::ReDim:
            for (const Decl& d : s.decls)
                noteAssigned(d.name);
            break;
        case StmtKind::Assign:
        case StmtKind::Set:
            noteAssignedExpr(s.target.get());
            break;
        case StmtKind::Call:
            for (const ExprPtr& a : s.args)
                noteAssignedExpr(a.get());
            if (s.target && s.target->kind == ExprKind::Call)
                for (const ExprPtr& a : s.target->args)
                    noteAssignedExpr(a.get());
            break;
        case StmtKind::For:
        case StmtKind::ForEach:
            noteAssigned(s.var);
            break;
        default:
            break;
        }
        for (const Block& b : s.blocks)
            for (const StmtPtr& c : b)
                declareStmt(*c);
        for (const StmtPtr& c : s.elseBlock)
            declareStmt(*c);
        for (const Case& c : s.cases)
            for (const StmtPtr& st : c.body)
                declareStmt(*st);
        for (const StmtPtr& c : s.body)
            declareStmt(*c);
    }

    // Fixed and dynamic arrays declared with Dim exist from the start of the procedure.
    void prologue() {
        for (const Decl* d : arrays_) {
            const Sym& sym = scope_.at(d->name);
            emit(OpCode::AddrLocal, 1, sym.byRef ? VarFlags::kByRef : 0, sym.slot);
            std::vector<int32_t> bounds = constBounds(*d);
            for (int32_t b : bounds)
                pushInt(b);
            emit(OpCode::DimArray, -1 - int(bounds.size()), uint8_t(bounds.size()));
        }
    }

    // ---- Emission ---------------------------------------------------------------------

    size_t emit(OpCode op, int delta, uint8_t n = 0, uint16_t a = 0, uint32_t b = 0) {
        if ((op == OpCode::JumpIfFalse || op == OpCode::JumpIfTrue) && u_.fuse() &&
            !fn_.code.empty() && isComparison(fn_.code.back().op))
            fn_.code.back().n |= OpFlags::kBranch;
        fn_.code.push_back(Instr{op, n, a, b});
        depth_ += delta;
        if (depth_ > int(fn_.maxStack)) fn_.maxStack = uint16_t(depth_);
        return fn_.code.size() - 1;
    }

    uint32_t here() const { return uint32_t(fn_.code.size()); }
    void patch(size_t at, uint32_t target) { fn_.code[at].b = target; }

    uint16_t hidden() {
        uint16_t slot = fn_.slots++;
        fn_.locals.push_back({"", slot, LocalKind::Hidden, false});
        return slot;
    }

    uint32_t constant(Value v) {
        fn_.consts.push_back(std::move(v));
        return uint32_t(fn_.consts.size() - 1);
    }

    uint32_t site(const std::string& name) {
        fn_.sites.push_back(CallSite{name});
        return uint32_t(fn_.sites.size() - 1);
    }

    void pushInt(int32_t v) {
        if (v >= -32768 && v <= 32767)
            emit(OpCode::PushInt, 1, 0, 0, uint32_t(v));
        else
            emit(OpCode::PushConst, 1, 0, 0, constant(Value::lng(v)));
    }

    void pushValue(const Value& v) {
        switch (v.type()) {
        case Type::Empty:
            emit(OpCode::PushEmpty, 1);
            return;
        case Type::Null:
            emit(OpCode::PushNull, 1);
            return;
        case Type::Boolean:
            emit(v.booleanValue() ? OpCode::PushTrue : OpCode::PushFalse, 1);
            return;
        case Type::Integer:
            emit(OpCode::PushInt, 1, 0, 0, uint32_t(int32_t(v.integerValue())));
            return;
        case Type::Object:
            if (!v.objectValue()) {
                emit(OpCode::PushNothing, 1);
                return;
            }
            break;
        default:
            break;
        }
        emit(OpCode::PushConst, 1, 0, 0, constant(v));
    }

    uint32_t beginStmt(uint32_t line, uint32_t column) {
        fn_.stmts.push_back(StmtInfo{here(), here(), u_.rel(line), column});
        return uint32_t(fn_.stmts.size() - 1);
    }

    void endStmt(uint32_t index) {
        fn_.stmts[index].end = here();
        if (fn_.stmts[index].end == fn_.stmts[index].begin)
            fn_.stmts.erase(fn_.stmts.begin() + index);
    }

    // ---- Names -----------------------------------------------------------------------

    Resolved resolve(const std::string& name, bool call) {
        Resolved r;
        auto it = scope_.find(name);
        if (it != scope_.end() && !(call && it->second.kind == Sym::Return)) {
            const Sym& s = it->second;
            if (s.kind == Sym::Const) {
                r.kind = Resolved::Const;
                r.value = s.value;
            } else {
                r.kind = Resolved::Local;
                r.slot = s.slot;
                r.byRef = s.byRef;
            }
            return r;
        }
        if (cls_) {
            int m = cls_->find(name);
            if (m >= 0) {
                const ClassInfo::Member& member = cls_->members[size_t(m)];
                if (member.kind == ClassInfo::MemberKind::Field) {
                    r.kind = Resolved::Field;
                    r.slot = uint16_t(member.field);
                } else {
                    r.kind = Resolved::Member;
                }
                return r;
            }
        }
        if (classConsts_) {
            auto c = classConsts_->values.find(name);
            if (c != classConsts_->values.end()) {
                r.kind = Resolved::Const;
                r.value = c->second;
                return r;
            }
        }
        r.kind = Resolved::Global;
        r.index = u_.global(name);
        auto imp = implicit_.find(name);
        if (imp != implicit_.end()) r.implicit = uint16_t(imp->second + 1);
        return r;
    }

    void requireMe(uint32_t line, uint32_t column) {
        if (!cls_) compileError(errc::InvalidUseOfMe, line, column);
    }

    // ---- Expressions -----------------------------------------------------------------

    static bool isHardLiteral(const Expr& e) { return e.kind == ExprKind::Literal && e.hard; }

    void expr(const Expr& e) {
        switch (e.kind) {
        case ExprKind::Literal:
            pushValue(e.value);
            return;
        case ExprKind::Missing:
            emit(OpCode::PushMissing, 1);
            return;
        case ExprKind::Me:
            requireMe(e.line, e.column);
            emit(OpCode::PushMe, 1);
            return;
        case ExprKind::Paren:
            expr(*e.left);
            return;
        case ExprKind::New:
            emit(OpCode::NewObject, 1, 0, 0, u_.global(e.name));
            return;
        case ExprKind::Name:
            loadName(e);
            return;
        case ExprKind::Member: {
            const size_t objectStart = fn_.code.size();
            object(e);
            if (u_.fuse() && fn_.code.size() == objectStart + 1 &&
                fn_.code.back().op == OpCode::LoadLocal) {
                // local.name: one instruction, which reaches a field without the object's count.
                Instr& load = fn_.code.back();
                load = Instr{OpCode::MemberGetLocal, uint8_t(load.n & VarFlags::kByRef), load.a,
                             site(e.name)};
                return;
            }
            emit(OpCode::MemberGet, 0, 0, 0, site(e.name));
            return;
        }
        case ExprKind::Call:
            call(e, false);
            return;
        case ExprKind::Unary:
            expr(*e.left);
            if (e.op == Op::Neg)
                emit(OpCode::Neg, 0);
            else if (e.op == Op::Not)
                emit(OpCode::Not, 0);
            return;
        case ExprKind::Binary:
            binary(e);
            return;
        }
    }

    void binary(const Expr& e) {
        size_t leftStart = fn_.code.size();
        expr(*e.left);
        size_t rightStart = fn_.code.size();
        expr(*e.right);
        uint8_t literals = uint8_t((isHardLiteral(*e.left) ? OpFlags::kLeftLiteral : 0) |
                                   (isHardLiteral(*e.right) ? OpFlags::kRightLiteral : 0));
        OpCode op;
        switch (e.op) {
        case Op::Add:
            op = OpCode::Add;
            break;
        case Op::Sub:
            op = OpCode::Sub;
            break;
        case Op::Mul:
            op = OpCode::Mul;
            break;
        case Op::Div:
            op = OpCode::Div;
            break;
        case Op::IntDiv:
            op = OpCode::IntDiv;
            break;
        case Op::Mod:
            op = OpCode::Mod;
            break;
        case Op::Pow:
            op = OpCode::Pow;
            break;
        case Op::Concat:
            op = OpCode::Concat;
            break;
        case Op::And:
            op = OpCode::And;
            break;
        case Op::Or:
            op = OpCode::Or;
            break;
        case Op::Xor:
            op = OpCode::Xor;
            break;
        case Op::Eqv:
            op = OpCode::Eqv;
            break;
        case Op::Imp:
            op = OpCode::Imp;
            break;
        case Op::Eq:
            op = OpCode::Eq;
            break;
        case Op::Ne:
            op = OpCode::Ne;
            break;
        case Op::Lt:
            op = OpCode::Lt;
            break;
        case Op::Le:
            op = OpCode::Le;
            break;
        case Op::Gt:
            op = OpCode::Gt;
            break;
        case Op::Ge:
            op = OpCode::Ge;
            break;
        case Op::Is:
            op = OpCode::Is;
            break;
        default:
            op = OpCode::Nop;
            break;
        }
        if (u_.fuse() && fusable(op) && fn_.code.size() == rightStart + 1) {
            // The right operand alone in one instruction: the operator takes it over.
            Instr last = fn_.code.back();
            uint8_t from = 0;
            if (last.op == OpCode::LoadLocal) {
                from = uint8_t(OpFlags::kOperandLocal |
                               ((last.n & VarFlags::kByRef) ? OpFlags::kOperandRef : 0));
            } else if (last.op == OpCode::PushInt) {
                from =
                    OpFlags::kOperandConst; // the integer joins the constants: one way to read them
                last.b = constant(Value::integer(int16_t(int32_t(last.b))));
            } else if (last.op == OpCode::PushConst) {
                from = OpFlags::kOperandConst;
            }
            if (from) {
                fn_.code.pop_back();
                --depth_;
                uint8_t flags = uint8_t(literals | from);
                uint16_t slot = last.a;
                int delta = 0;
                const Instr& left = fn_.code.back();
                if (!(from & OpFlags::kOperandLocal) && rightStart == leftStart + 1 &&
                    left.op == OpCode::LoadLocal) {
                    // A local on the left too: the operator reads both itself.
                    slot = left.a;
                    flags = uint8_t((flags & ~(OpFlags::kLeftLiteral)) | OpFlags::kLeftLocal |
                                    ((left.n & VarFlags::kByRef) ? OpFlags::kOperandRef : 0));
                    fn_.code.pop_back();
                    --depth_;
                    delta = 1;
                }
                emit(op, delta, flags, slot, last.b);
                return;
            }
        }
        if (u_.fuse() && fusable(op) && rightStart == leftStart + 1 &&
            readsNoLocalsBack(rightStart)) {
            const Instr left = fn_.code[leftStart];
            if (left.op == OpCode::LoadLocal && !(left.n & VarFlags::kByRef)) {
                // A local on the left of a computed right operand: read when the operator runs,
                // which is the same value since nothing in between can change the local. Not so
                // a by-reference one: an object's default property, read by the arithmetic on
                // the right, may assign the variable it stands for.
                fn_.code.erase(fn_.code.begin() + std::ptrdiff_t(leftStart));
                --depth_;
                emit(op, 0,
                     uint8_t((literals & ~OpFlags::kLeftLiteral) | OpFlags::kLeftLocal |
                             ((left.n & VarFlags::kByRef) ? OpFlags::kOperandRef : 0)),
                     left.a);
                return;
            }
        }
        emit(op, -1, literals);
    }

    // True when the code from `from` on only computes: no calls (Eval, or a procedure given a
    // local by reference, could change a local) and no jumps.
    bool readsNoLocalsBack(size_t from, bool allowMemberReads = false) const {
        for (size_t i = from; i < fn_.code.size(); ++i) {
            switch (fn_.code[i].op) {
            case OpCode::LoadLocal:
            case OpCode::PushConst:
            case OpCode::PushInt:
            case OpCode::PushEmpty:
            case OpCode::PushNull:
            case OpCode::PushTrue:
            case OpCode::PushFalse:
            case OpCode::Add:
            case OpCode::Sub:
            case OpCode::Mul:
            case OpCode::Div:
            case OpCode::IntDiv:
            case OpCode::Mod:
            case OpCode::Neg:
                break;
            case OpCode::MemberGetLocal:
                // Runs a Property Get at most, without arguments: it cannot reach the locals.
                if (!allowMemberReads) return false;
                break;
            default:
                return false;
            }
        }
        return true;
    }

    static bool isComparison(OpCode op) { return op >= OpCode::Eq && op <= OpCode::Ge; }

    static bool fusable(OpCode op) {
        switch (op) {
        case OpCode::Add:
        case OpCode::Sub:
        case OpCode::Mul:
        case OpCode::Div:
        case OpCode::IntDiv:
        case OpCode::Mod:
        case OpCode::Eq:
        case OpCode::Ne:
        case OpCode::Lt:
        case OpCode::Le:
        case OpCode::Gt:
        case OpCode::Ge:
            return true;
        default:
            return false;
        }
    }

    // The object a member expression applies to (the With object when none is written).
    void object(const Expr& member) {
        if (member.left) {
            expr(*member.left);
            return;
        }
        if (withSlots_.empty()) {
            emit(OpCode::Raise, 1, 0, 0, errc::InvalidReference);
            return;
        }
        emit(OpCode::LoadLocal, 1, 0, withSlots_.back());
    }

    void loadName(const Expr& e) {
        Resolved r = resolve(e.name, false);
        switch (r.kind) {
        case Resolved::Local:
            emit(OpCode::LoadLocal, 1, r.byRef ? VarFlags::kByRef : 0, r.slot);
            return;
        case Resolved::Const:
            pushValue(r.value);
            return;
        case Resolved::Field:
            emit(OpCode::LoadField, 1, 0, r.slot);
            return;
        case Resolved::Member:
            emit(OpCode::PushMe, 1);
            emit(OpCode::MemberGet, 0, 0, 0, site(e.name));
            return;
        case Resolved::Global:
            emit(OpCode::LoadGlobal, 1, 0, r.implicit, r.index);
            return;
        }
    }

    // Pushes an argument: variables and array elements by reference, anything else by value.
    void arg(const Expr& e) {
        if (e.kind == ExprKind::Name) {
            Resolved r = resolve(e.name, false);
            switch (r.kind) {
            case Resolved::Local:
                emit(OpCode::AddrLocal, 1, r.byRef ? VarFlags::kByRef : 0, r.slot);
                return;
            case Resolved::Field:
                emit(OpCode::AddrField, 1, 0, r.slot);
                return;
            case Resolved::Global:
                emit(OpCode::ArgGlobal, 1, 0, r.implicit, r.index);
                return;
            default:
                loadName(e);
                return;
            }
        }
        if (e.kind == ExprKind::Call && e.left->kind == ExprKind::Name) {
            Resolved r = resolve(e.left->name, true);
            if (r.kind == Resolved::Local || r.kind == Resolved::Field) {
                addr(r);
                int n = args(e.args, false);
                emit(OpCode::IndexAddr, -n, uint8_t(n));
                return;
            }
            if (r.kind == Resolved::Global) {
                int n = args(e.args, true);
                emit(OpCode::ArgCallGlobal, 1 - n, uint8_t(n), r.implicit, r.index);
                return;
            }
        }
        expr(e);
    }

    int args(const std::vector<ExprPtr>& list, bool byRef) {
        if (list.size() > CallFlags::kArgMask)
            compileError(errc::SyntaxError, list.back()->line, list.back()->column);
        for (const ExprPtr& a : list) {
            if (byRef)
                arg(*a);
            else
                expr(*a);
        }
        return int(list.size());
    }

    void addr(const Resolved& r) {
        if (r.kind == Resolved::Local)
            emit(OpCode::AddrLocal, 1, r.byRef ? VarFlags::kByRef : 0, r.slot);
        else if (r.kind == Resolved::Field)
            emit(OpCode::AddrField, 1, 0, r.slot);
        else
            emit(OpCode::AddrGlobal, 1, 0, r.implicit, r.index);
    }

    // target(args): an element, a call or a default member. `statement`: the result is dropped.
    void call(const Expr& e, bool statement) {
        const Expr& target = *e.left;
        uint8_t flag = statement ? CallFlags::kStatement : 0;
        int push = statement ? 0 : 1;
        if (target.kind == ExprKind::Name) {
            Resolved r = resolve(target.name, true);
            switch (r.kind) {
            case Resolved::Local:
            case Resolved::Field: {
                if (u_.fuse() && r.kind == Resolved::Local && !statement && e.args.size() == 1 &&
                    e.args[0]->kind == ExprKind::Name) {
                    Resolved sub = resolve(e.args[0]->name, false);
                    if (sub.kind == Resolved::Local) {
                        // a(i) with both in locals, the usual array read: one instruction.
                        emit(OpCode::LoadElement, 1,
                             uint8_t((r.byRef ? ElementFlags::kArrayRef : 0) |
                                     (sub.byRef ? ElementFlags::kIndexRef : 0)),
                             r.slot, sub.slot);
                        return;
                    }
                }
                addr(r);
                int n = args(e.args, false);
                emit(OpCode::IndexLoad, -n, uint8_t(n));
                if (statement) emit(OpCode::Pop, -1);
                return;
            }
            case Resolved::Member: {
                emit(OpCode::PushMe, 1);
                int n = args(e.args, true);
                emit(OpCode::MemberGet, push - 1 - n, uint8_t(n | flag), 0, site(target.name));
                return;
            }
            case Resolved::Global: {
                int n = args(e.args, true);
                emit(OpCode::CallGlobal, push - n, uint8_t(n | flag), r.implicit, r.index);
                return;
            }
            case Resolved::Const:
                break;
            }
        }
        if (target.kind == ExprKind::Member) {
            object(target);
            int n = args(e.args, true);
            emit(OpCode::MemberGet, push - 1 - n, uint8_t(n | flag), 0, site(target.name));
            return;
        }
        expr(target);
        int n = args(e.args, false);
        emit(OpCode::CallValue, -n, uint8_t(n));
        if (statement) emit(OpCode::Pop, -1);
    }

    // ---- Statements ------------------------------------------------------------------

    void block(const Block& b) {
        for (const StmtPtr& s : b)
            stmt(*s);
    }

    void stmt(const Stmt& s) {
        switch (s.kind) {
        case StmtKind::Assign:
        case StmtKind::Set: {
            uint32_t at = beginStmt(s.line, s.column);
            store(*s.target, *s.value, s.kind == StmtKind::Set);
            endStmt(at);
            return;
        }
        case StmtKind::Call: {
            uint32_t at = beginStmt(s.line, s.column);
            callStatement(s);
            endStmt(at);
            return;
        }
        case StmtKind::Dim:
        case StmtKind::Const:
        case StmtKind::Stop:
        case StmtKind::OptionExplicit:
        case StmtKind::Declaration:
            return;
        case StmtKind::ReDim: {
            uint32_t at = beginStmt(s.line, s.column);
            for (const Decl& d : s.decls) {
                Resolved r = resolve(d.name, false);
                if (r.kind == Resolved::Const || r.kind == Resolved::Member) {
                    emit(OpCode::Raise, 0, 0, 0, errc::IllegalAssignment);
                    continue;
                }
                // ReDim declares the name it sizes, even under Option Explicit.
                if (r.kind == Resolved::Global)
                    emit(OpCode::AddrGlobal, 1, VarFlags::kDeclare, r.implicit, r.index);
                else
                    addr(r);
                for (const ExprPtr& b : d.bounds)
                    expr(*b);
                emit(OpCode::ReDim, -1 - int(d.bounds.size()), uint8_t(d.bounds.size()),
                     s.preserve ? 1 : 0);
            }
            endStmt(at);
            return;
        }
        case StmtKind::Erase: {
            uint32_t at = beginStmt(s.line, s.column);
            for (const ExprPtr& e : s.args) {
                Resolved r = resolve(e->name, false);
                if (r.kind == Resolved::Const || r.kind == Resolved::Member) {
                    emit(OpCode::Raise, 0, 0, 0, errc::IllegalAssignment);
                    continue;
                }
                addr(r);
                emit(OpCode::Erase, -1);
            }
            endStmt(at);
            return;
        }
        case StmtKind::If:
            ifStatement(s);
            return;
        case StmtKind::Select:
            selectStatement(s);
            return;
        case StmtKind::For:
            forStatement(s);
            return;
        case StmtKind::ForEach:
            forEachStatement(s);
            return;
        case StmtKind::Do:
        case StmtKind::While:
            doStatement(s);
            return;
        case StmtKind::Exit: {
            uint32_t at = beginStmt(s.line, s.column);
            if (s.exitKind == ExitKind::Do || s.exitKind == ExitKind::For) {
                LoopKind kind = s.exitKind == ExitKind::Do ? LoopKind::Do : LoopKind::For;
                for (auto it = loops_.rbegin(); it != loops_.rend(); ++it) {
                    if (it->kind == kind) {
                        it->exits.push_back(emit(OpCode::Jump, 0));
                        break;
                    }
                }
            } else {
                emit(OpCode::Return, 0);
            }
            endStmt(at);
            return;
        }
        case StmtKind::With: {
            uint32_t at = beginStmt(s.line, s.column);
            uint16_t slot = hidden();
            expr(*s.value);
            emit(OpCode::StoreLocal, -1, VarFlags::kRaw, slot);
            endStmt(at);
            withSlots_.push_back(slot);
            block(s.body);
            withSlots_.pop_back();
            emit(OpCode::ClearLocal, 0, 0, slot);
            return;
        }
        case StmtKind::OnError: {
            uint32_t at = beginStmt(s.line, s.column);
            emit(OpCode::OnError, 0, s.resumeNext ? OnErrorFlags::kResumeNext : 0);
            endStmt(at);
            return;
        }
        }
    }

    void store(const Expr& target, const Expr& value, bool isSet) {
        switch (target.kind) {
        case ExprKind::Name: {
            Resolved r = resolve(target.name, false);
            if (u_.fuse() && !isSet && value.kind == ExprKind::Binary && value.op == Op::Concat &&
                value.left->kind == ExprKind::Name && equalsNoCase(value.left->name, target.name)) {
                // s = s & x: strings built piece by piece append in place.
                if (r.kind == Resolved::Local || r.kind == Resolved::Field) {
                    addr(r);
                    expr(*value.left);
                    expr(*value.right);
                    emit(OpCode::AppendTo, -3);
                    return;
                }
                if (r.kind == Resolved::Global) {
                    expr(*value.left);
                    expr(*value.right);
                    emit(OpCode::AppendGlobal, -2, 0, r.implicit, r.index);
                    return;
                }
            }
            switch (r.kind) {
            case Resolved::Local:
                expr(value);
                if (isSet)
                    emit(OpCode::SetLocal, -1, r.byRef ? VarFlags::kByRef : 0, r.slot);
                else
                    storeVariable(r, false);
                return;
            case Resolved::Const:
                expr(value);
                emit(OpCode::Pop, -1);
                emit(OpCode::Raise, 0, 0, 0, errc::IllegalAssignment);
                return;
            case Resolved::Field:
                expr(value);
                emit(isSet ? OpCode::SetField : OpCode::StoreField, -1, 0, r.slot);
                return;
            case Resolved::Member:
                emit(OpCode::PushMe, 1);
                expr(value);
                emit(isSet ? OpCode::MemberSet : OpCode::MemberPut, -2, 0, 0, site(target.name));
                return;
            case Resolved::Global:
                expr(value);
                emit(isSet ? OpCode::SetGlobal : OpCode::StoreGlobal, -1, 0, r.implicit, r.index);
                return;
            }
            return;
        }
        case ExprKind::Member: {
            const size_t objectStart = fn_.code.size();
            object(target);
            const Instr load = fn_.code.back();
            expr(value);
            if (u_.fuse() && !isSet && fn_.code.size() > objectStart + 1 &&
                load.op == OpCode::LoadLocal && !(load.n & VarFlags::kByRef) &&
                fn_.code[objectStart].op == OpCode::LoadLocal &&
                readsNoLocalsBack(objectStart + 1, true)) {
                // local.name = value, where nothing in the value can change the local (no calls;
                // a property read without arguments cannot reach it): the store reads the local
                // itself, and reaches a field without the object's count.
                fn_.code.erase(fn_.code.begin() + std::ptrdiff_t(objectStart));
                --depth_;
                emit(OpCode::MemberPutLocal, -1, 0, load.a, site(target.name));
                return;
            }
            emit(isSet ? OpCode::MemberSet : OpCode::MemberPut, -2, 0, 0, site(target.name));
            return;
        }
        case ExprKind::Call: {
            const Expr& t = *target.left;
            if (t.kind == ExprKind::Name) {
                Resolved r = resolve(t.name, true);
                if (r.kind == Resolved::Member) {
                    emit(OpCode::PushMe, 1);
                    int n = args(target.args, false);
                    expr(value);
                    emit(isSet ? OpCode::MemberSet : OpCode::MemberPut, -2 - n, uint8_t(n), 0,
                         site(t.name));
                    return;
                }
                if (r.kind == Resolved::Const) {
                    emit(OpCode::Raise, 0, 0, 0, errc::IllegalAssignment);
                    return;
                }
                addr(r);
            } else if (t.kind == ExprKind::Member) {
                object(t);
                int n = args(target.args, false);
                expr(value);
                emit(isSet ? OpCode::MemberSet : OpCode::MemberPut, -2 - n, uint8_t(n), 0,
                     site(t.name));
                return;
            } else {
                expr(t);
            }
            int n = args(target.args, false);
            expr(value);
            emit(isSet ? OpCode::IndexSet : OpCode::IndexStore, -2 - n, uint8_t(n));
            return;
        }
        case ExprKind::Me:
            requireMe(target.line, target.column);
            [[fallthrough]];
        default:
            expr(value);
            emit(OpCode::Pop, -1);
            emit(OpCode::Raise, 0, 0, 0, errc::IllegalAssignment);
            return;
        }
    }

    void callStatement(const Stmt& s) {
        const Expr& target = *s.target;
        if (s.hasArgs) {
            // Foo a, b: the target is a name or a member.
            if (target.kind == ExprKind::Name) {
                Resolved r = resolve(target.name, true);
                if (r.kind == Resolved::Global) {
                    int n = args(s.args, true);
                    emit(OpCode::CallGlobal, -n, uint8_t(n | CallFlags::kStatement), r.implicit,
                         r.index);
                    return;
                }
                if (r.kind == Resolved::Member) {
                    emit(OpCode::PushMe, 1);
                    int n = args(s.args, true);
                    emit(OpCode::MemberGet, -1 - n, uint8_t(n | CallFlags::kStatement), 0,
                         site(target.name));
                    return;
                }
                if (r.kind == Resolved::Local || r.kind == Resolved::Field) {
                    addr(r);
                    int n = args(s.args, false);
                    emit(OpCode::IndexLoad, -n, uint8_t(n));
                    emit(OpCode::Pop, -1);
                    return;
                }
                expr(target);
                emit(OpCode::Pop, -1);
                return;
            }
            if (target.kind == ExprKind::Member) {
                object(target);
                int n = args(s.args, true);
                emit(OpCode::MemberGet, -1 - n, uint8_t(n | CallFlags::kStatement), 0,
                     site(target.name));
                return;
            }
            expr(target);
            int n = args(s.args, false);
            emit(OpCode::CallValue, -n, uint8_t(n));
            emit(OpCode::Pop, -1);
            return;
        }
        switch (target.kind) {
        case ExprKind::Call:
            call(target, true);
            return;
        case ExprKind::Name: {
            Resolved r = resolve(target.name, true);
            if (r.kind == Resolved::Global) {
                emit(OpCode::CallGlobal, 0, CallFlags::kStatement, r.implicit, r.index);
                return;
            }
            if (r.kind == Resolved::Member) {
                emit(OpCode::PushMe, 1);
                emit(OpCode::MemberGet, -1, CallFlags::kStatement, 0, site(target.name));
                return;
            }
            if (r.kind == Resolved::Local || r.kind == Resolved::Field) {
                // A variable alone as a statement calls the object it holds.
                addr(r);
                emit(OpCode::IndexLoad, 0, 0);
                emit(OpCode::Pop, -1);
                return;
            }
            expr(target);
            emit(OpCode::Pop, -1);
            return;
        }
        case ExprKind::Member:
            object(target);
            emit(OpCode::MemberGet, -1, CallFlags::kStatement, 0, site(target.name));
            return;
        default:
            expr(target);
            emit(OpCode::Pop, -1);
            return;
        }
    }

    void ifStatement(const Stmt& s) {
        std::vector<size_t> ends;
        for (size_t i = 0; i < s.conds.size(); ++i) {
            uint32_t line = i == 0 ? s.line : s.branchLines[i - 1];
            uint32_t column = i == 0 ? s.column : s.branchColumns[i - 1];
            uint32_t at = beginStmt(line, column);
            expr(*s.conds[i]);
            size_t skip = emit(OpCode::JumpIfFalse, -1);
            endStmt(at);
            block(s.blocks[i]);
            if (i + 1 < s.conds.size() || s.hasElse) ends.push_back(emit(OpCode::Jump, 0));
            patch(skip, here());
        }
        if (s.hasElse) block(s.elseBlock);
        for (size_t e : ends)
            patch(e, here());
    }

    void selectStatement(const Stmt& s) {
        uint32_t at = beginStmt(s.line, s.column);
        uint16_t slot = hidden();
        expr(*s.value);
        emit(OpCode::StoreLocal, -1, VarFlags::kRaw, slot);
        endStmt(at);
        uint8_t left = isHardLiteral(*s.value) ? OpFlags::kLeftLiteral : 0;
        std::vector<size_t> ends;
        for (const Case& c : s.cases) {
            uint32_t cat = beginStmt(c.line, c.column);
            std::vector<size_t> hits;
            for (const ExprPtr& v : c.values) {
                emit(OpCode::LoadLocal, 1, 0, slot);
                expr(*v);
                emit(OpCode::Eq, -1,
                     uint8_t(left | (isHardLiteral(*v) ? OpFlags::kRightLiteral : 0)));
                hits.push_back(emit(OpCode::JumpIfTrue, -1));
            }
            size_t next = emit(OpCode::Jump, 0);
            endStmt(cat);
            for (size_t h : hits)
                patch(h, here());
            block(c.body);
            ends.push_back(emit(OpCode::Jump, 0));
            patch(next, here());
        }
        if (s.hasElse) block(s.elseBlock);
        for (size_t e : ends)
            patch(e, here());
        emit(OpCode::ClearLocal, 0, 0, slot);
    }

    // The loop variable of For and For Each: a local, a field or a global.
    Resolved loopVariable(const Stmt& s) {
        Resolved r = resolve(s.var, false);
        if (r.kind == Resolved::Const || r.kind == Resolved::Member)
            compileError(errc::InvalidForVariable, s.varLine, s.varColumn);
        return r;
    }

    void storeVariable(const Resolved& r, bool raw) {
        uint8_t flags = uint8_t(raw ? VarFlags::kRaw : 0);
        if (u_.fuse() && r.kind == Resolved::Local && !r.byRef && !raw && !fn_.code.empty()) {
            // The value just computed by arithmetic (never an object) goes into the local
            // without passing through the stack.
            Instr& last = fn_.code.back();
            bool arithmetic = last.op == OpCode::Add || last.op == OpCode::Sub ||
                              last.op == OpCode::Mul || last.op == OpCode::Div ||
                              last.op == OpCode::IntDiv || last.op == OpCode::Mod;
            if (arithmetic && !(last.n & (OpFlags::kOperandLocal | OpFlags::kResultToLocal)) &&
                (!(last.n & OpFlags::kLeftLocal) || last.a == r.slot)) {
                last.n = uint8_t(last.n | OpFlags::kResultToLocal);
                last.a = r.slot;
                --depth_;
                return;
            }
        }
        if (u_.fuse() && r.kind == Resolved::Local && !raw && !fn_.code.empty() &&
            fn_.code.back().op == OpCode::LoadLocal) {
            // x = y between locals: the store reads y itself.
            Instr load = fn_.code.back();
            fn_.code.pop_back();
            --depth_;
            emit(OpCode::StoreLocal, 0,
                 uint8_t((r.byRef ? VarFlags::kByRef : 0) | VarFlags::kFromLocal |
                         ((load.n & VarFlags::kByRef) ? VarFlags::kFromRef : 0)),
                 r.slot, load.a);
            return;
        }
        if (r.kind == Resolved::Local)
            emit(OpCode::StoreLocal, -1, uint8_t(flags | (r.byRef ? VarFlags::kByRef : 0)), r.slot);
        else if (r.kind == Resolved::Field)
            emit(OpCode::StoreField, -1, flags, r.slot);
        else
            emit(OpCode::StoreGlobal, -1, flags, r.implicit, r.index);
    }

    void forStatement(const Stmt& s) {
        Resolved var = loopVariable(s);
        uint32_t at = beginStmt(s.line, s.column);
        uint16_t limits = hidden();
        hidden(); // the step
        expr(*s.from);
        expr(*s.to);
        if (s.step)
            expr(*s.step);
        else
            pushInt(1);
        emit(OpCode::ForInit, -2, 0, limits);
        storeVariable(var, false);
        size_t toTest = emit(OpCode::Jump, 0);
        endStmt(at);
        uint32_t body = here();
        loops_.push_back(Loop{LoopKind::For, {}});
        block(s.body);
        bool local = u_.fuse() && var.kind == Resolved::Local && !var.byRef;
        uint32_t nat = beginStmt(s.endLine, s.endColumn);
        if (local) {
            emit(OpCode::ForStepLocal, 0, 0, var.slot, limits);
        } else {
            addr(var);
            emit(OpCode::ForStepRef, -1, 0, limits);
        }
        emit(OpCode::Data, 0, 0, 0, body);
        endStmt(nat);
        size_t toExit = emit(OpCode::Jump, 0);
        patch(toTest, here());
        uint32_t tat = beginStmt(s.line, s.column);
        if (local) {
            emit(OpCode::ForTestLocal, 0, 0, var.slot, limits);
        } else {
            addr(var);
            emit(OpCode::ForTestRef, -1, 0, limits);
        }
        emit(OpCode::Data, 0, 0, 0, body);
        endStmt(tat);
        patch(toExit, here());
        for (size_t e : loops_.back().exits)
            patch(e, here());
        loops_.pop_back();
    }

    void forEachStatement(const Stmt& s) {
        Resolved var = loopVariable(s);
        uint32_t at = beginStmt(s.line, s.column);
        uint16_t iter = hidden();
        expr(*s.value);
        emit(OpCode::ForEachInit, -1, 0, iter);
        uint32_t top = here();
        size_t next = emit(OpCode::ForEachNext, 1, 0, iter);
        emit(OpCode::Data, 0);
        storeVariable(var, true);
        endStmt(at);
        (void)next;
        loops_.push_back(Loop{LoopKind::For, {}});
        block(s.body);
        emit(OpCode::Jump, 0, 0, 0, top);
        // ForEachNext jumps past its Data when the collection is exhausted.
        fn_.code[next + 1].b = here();
        for (size_t e : loops_.back().exits)
            patch(e, here());
        loops_.pop_back();
        emit(OpCode::ClearLocal, 0, 0, iter);
    }

    void doStatement(const Stmt& s) {
        // Do While c / Do Until c: test first; Loop While c / Loop Until c: test last.
        bool jumpOutIfTrue = s.kind == StmtKind::Do && s.until;
        if (u_.fuse() && s.cond && !s.testAtEnd && mode_ == Mode::Procedure && !hasOnError_) {
            // The test at the bottom, entered by a jump: one jump fewer each time round. Only
            // where no error can resume after the test, which continues into the body.
            size_t entry = emit(OpCode::Jump, 0);
            uint32_t body = here();
            loops_.push_back(Loop{s.kind == StmtKind::Do ? LoopKind::Do : LoopKind::While, {}});
            block(s.body);
            patch(entry, here());
            uint32_t at = beginStmt(s.line, s.column);
            expr(*s.cond);
            emit(jumpOutIfTrue ? OpCode::JumpIfFalse : OpCode::JumpIfTrue, -1, 0, 0, body);
            endStmt(at);
            for (size_t e : loops_.back().exits)
                patch(e, here());
            loops_.pop_back();
            return;
        }
        uint32_t top = here();
        size_t exitJump = SIZE_MAX;
        if (s.cond && !s.testAtEnd) {
            uint32_t at = beginStmt(s.line, s.column);
            expr(*s.cond);
            exitJump = emit(jumpOutIfTrue ? OpCode::JumpIfTrue : OpCode::JumpIfFalse, -1);
            endStmt(at);
        }
        loops_.push_back(Loop{s.kind == StmtKind::Do ? LoopKind::Do : LoopKind::While, {}});
        block(s.body);
        if (s.cond && s.testAtEnd) {
            uint32_t at = beginStmt(s.endLine, s.endColumn);
            expr(*s.cond);
            emit(s.until ? OpCode::JumpIfFalse : OpCode::JumpIfTrue, -1, 0, 0, top);
            endStmt(at);
        } else {
            emit(OpCode::Jump, 0, 0, 0, top);
        }
        if (exitJump != SIZE_MAX) patch(exitJump, here());
        for (size_t e : loops_.back().exits)
            patch(e, here());
        loops_.pop_back();
    }

    UnitBuilder& u_;
    Function& fn_;
    const ClassInfo* cls_;
    const ClassConsts* classConsts_;
    Mode mode_;
    std::unordered_map<std::string, Sym, NoCaseHash, NoCaseEqual> scope_;
    std::unordered_map<std::string, uint16_t, NoCaseHash, NoCaseEqual> implicit_;
    NameSet assigned_;
    NameSet declaredGlobals_;
    std::vector<const Decl*> arrays_;
    std::vector<uint16_t> withSlots_;
    std::vector<Loop> loops_;
    int depth_ = 0;
    bool hasOnError_ = false; // the body has an On Error statement
};

void compileClass(UnitBuilder& u, const ClassDecl& decl) {
    auto info = std::make_unique<ClassInfo>();
    info->name = decl.name;
    ClassConsts consts;
    auto addMember = [&](ClassInfo::Member m, uint32_t line, uint32_t column) {
        if (info->byName.count(m.name)) compileError(errc::NameRedefined, line, column);
        info->byName.emplace(m.name, int(info->members.size()));
        info->members.push_back(std::move(m));
    };
    for (const Decl& d : decl.fields) {
        ClassInfo::Field f;
        f.name = d.name;
        f.isPublic = d.isPublic;
        f.isArray = d.isArray;
        for (const ExprPtr& b : d.bounds) {
            if (b->kind != ExprKind::Literal || !b->value.isNumeric())
                compileError(errc::ExpectedIntegerConstant, b->line, b->column);
            f.bounds.push_back(toLong(b->value));
        }
        ClassInfo::Member m;
        m.name = d.name;
        m.kind = ClassInfo::MemberKind::Field;
        m.isPublic = d.isPublic;
        m.field = int(info->fields.size());
        info->fields.push_back(std::move(f));
        addMember(std::move(m), d.line, d.column);
    }
    for (const Decl& d : decl.consts) {
        if (d.value->kind != ExprKind::Literal && d.value->kind != ExprKind::Unary)
            compileError(errc::ExpectedLiteral, d.value->line, d.value->column);
        Value v = d.value->kind == ExprKind::Literal ? d.value->value : opNeg(d.value->left->value);
        consts.values.emplace(d.name, v);
    }
    // Members first, so that method bodies resolve every name of the class.
    std::vector<std::pair<const Proc*, Function*>> bodies;
    for (const auto& p : decl.procs) {
        Function* fn = u.newFunction();
        bodies.emplace_back(p.get(), fn);
        int existing = info->find(p->name);
        bool isProperty = p->kind >= ProcKind::PropertyGet;
        if (existing >= 0) {
            ClassInfo::Member& m = info->members[size_t(existing)];
            if (!isProperty || m.kind != ClassInfo::MemberKind::Property)
                compileError(errc::NameRedefined, p->line, p->column);
            const Function*& slot = p->kind == ProcKind::PropertyGet   ? m.get
                                    : p->kind == ProcKind::PropertyLet ? m.let
                                                                       : m.set;
            if (slot) compileError(errc::NameRedefined, p->line, p->column);
            slot = fn;
            if (p->isPublic) m.isPublic = true;
        } else {
            ClassInfo::Member m;
            m.name = p->name;
            m.isPublic = p->isPublic;
            if (isProperty) {
                m.kind = ClassInfo::MemberKind::Property;
                (p->kind == ProcKind::PropertyGet   ? m.get
                 : p->kind == ProcKind::PropertyLet ? m.let
                                                    : m.set) = fn;
            } else {
                m.kind = ClassInfo::MemberKind::Method;
                m.method = fn;
            }
            addMember(std::move(m), p->line, p->column);
        }
        if (p->isDefault) info->defaultMember = info->find(p->name);
        if (equalsNoCase(p->name, "class_initialize") && p->kind == ProcKind::Sub)
            info->initialize = fn;
        if (equalsNoCase(p->name, "class_terminate") && p->kind == ProcKind::Sub)
            info->terminate = fn;
    }
    for (auto& [proc, fn] : bodies) {
        FunctionCompiler fc(u, *fn, info.get(), &consts, Mode::Procedure);
        fc.compileProcedure(*proc);
    }
    u.unit().nameIndex = u.global(decl.name);
    u.unit().nameLine = u.rel(decl.line);
    u.unit().nameColumn = decl.column;
    u.unit().cls = std::move(info);
}

uint32_t spanLines(const std::vector<Token>& tokens, const UnitSpan& span) {
    if (span.end <= span.begin) return 0;
    return tokens[span.end - 1].line - tokens[span.begin].line + 1;
}

} // namespace

std::shared_ptr<CompiledUnit> compileUnit(const std::vector<Token>& tokens, const UnitSpan& span,
                                          const CompileOptions& options) {
    UnitBuilder u(tokens[span.begin].line, options);
    Parser parser(tokens, span.begin, span.end);
    switch (span.kind) {
    case UnitSpan::Kind::Code: {
        u.unit().kind = CompiledUnit::Kind::Code;
        bool explicitNames = false;
        Block body = parser.parseCode(explicitNames);
        Function* fn = u.newFunction();
        FunctionCompiler fc(u, *fn, nullptr, nullptr, Mode::Main);
        fc.compileMain(body, nullptr);
        u.unit().main = fn;
        u.unit().optionExplicit = explicitNames;
        break;
    }
    case UnitSpan::Kind::Procedure: {
        u.unit().kind = CompiledUnit::Kind::Procedure;
        auto proc = parser.parseProcedure();
        Function* fn = u.newFunction();
        FunctionCompiler fc(u, *fn, nullptr, nullptr, Mode::Procedure);
        fc.compileProcedure(*proc);
        u.unit().proc = fn;
        u.unit().nameIndex = u.global(proc->name);
        u.unit().nameLine = u.rel(proc->line);
        u.unit().nameColumn = proc->column;
        break;
    }
    case UnitSpan::Kind::Class: {
        u.unit().kind = CompiledUnit::Kind::Class;
        auto decl = parser.parseClass();
        compileClass(u, *decl);
        break;
    }
    }
    u.unit().lines = spanLines(tokens, span);
    return u.take();
}

std::shared_ptr<CompiledUnit> compileDynamic(const std::vector<Token>& tokens, const UnitSpan& span,
                                             const OuterScope* outer,
                                             const CompileOptions& options) {
    if (!outer || span.kind != UnitSpan::Kind::Code) return compileUnit(tokens, span, options);
    UnitBuilder u(tokens[span.begin].line, options);
    Parser parser(tokens, span.begin, span.end);
    u.unit().kind = CompiledUnit::Kind::Code;
    bool explicitNames = false;
    Block body = parser.parseCode(explicitNames);
    Function* fn = u.newFunction();
    FunctionCompiler fc(u, *fn, outer->cls, nullptr, Mode::Dynamic);
    fc.compileMain(body, outer);
    u.unit().main = fn;
    u.unit().lines = spanLines(tokens, span);
    return u.take();
}

std::shared_ptr<CompiledUnit> compileExpression(const std::vector<Token>& tokens,
                                                const OuterScope* outer,
                                                const CompileOptions& options) {
    UnitBuilder u(tokens.front().line, options);
    Parser parser(tokens, 0, tokens.size() - 1);
    ExprPtr e = parser.parseExpressionOnly();
    u.unit().kind = CompiledUnit::Kind::Code;
    Function* fn = u.newFunction();
    FunctionCompiler fc(u, *fn, outer ? outer->cls : nullptr, nullptr,
                        outer ? Mode::Dynamic : Mode::Main);
    fc.compileExpression(*e, outer);
    u.unit().main = fn;
    u.unit().lines = 1;
    return u.take();
}

} // namespace vbs
