// Linking compiled units into an engine's global scope, and the code that Execute,
// ExecuteGlobal and Eval compile when they run.

#include "vbscript/compiler.h"
#include "vbscript/runtime_support.h"

namespace vbs {

using namespace rt;

// ---- Linking and dynamic code ------------------------------------------------------------

Runtime::Linked Runtime::link(const std::vector<std::shared_ptr<const CompiledUnit>>& units,
                              const std::vector<uint32_t>& baseLines, bool dynamic) {
    GlobalScope& s = *scope;
    bool optionExplicit = false;
    for (const auto& u : units)
        optionExplicit = optionExplicit || u->optionExplicit;
    Linked result;
    for (size_t k = 0; k < units.size(); ++k) {
        const auto& u = units[k];
        auto lu = std::make_unique<LinkedUnit>();
        lu->code = u;
        lu->scope = &s;
        lu->baseLine = baseLines[k];
        lu->optionExplicit = optionExplicit;
        lu->dynamic = dynamic;
        lu->cells.reserve(u->globals.size());
        for (const std::string& name : u->globals)
            lu->cells.push_back(s.cell(name));
        switch (u->kind) {
        case CompiledUnit::Kind::Procedure: {
            GlobalCell* c = lu->cells[u->nameIndex];
            c->kind = GlobalCell::Kind::Procedure;
            c->builtinConst = false;
            c->value.clear();
            c->fn = u->proc;
            c->unit = lu.get();
            ProcedureInfo info;
            info.name = u->proc->name;
            info.argumentCount = u->proc->params;
            info.hasReturnValue = u->proc->kind == ast::ProcKind::Function;
            s.procedures.push_back(std::move(info));
            break;
        }
        case CompiledUnit::Kind::Class: {
            GlobalCell* c = lu->cells[u->nameIndex];
            c->kind = GlobalCell::Kind::Class;
            c->builtinConst = false;
            c->value.clear();
            c->cls = u->cls.get();
            c->unit = lu.get();
            break;
        }
        case CompiledUnit::Kind::Code:
            for (const CompiledUnit::Decl& d : u->decls) {
                GlobalCell* c = lu->cells[d.global];
                if (c->kind == GlobalCell::Kind::Item) continue;
                switch (d.kind) {
                case CompiledUnit::Decl::Kind::Variable:
                    if (c->kind != GlobalCell::Kind::Variable) {
                        c->kind = GlobalCell::Kind::Variable;
                        c->value.clear();
                    }
                    break;
                case CompiledUnit::Decl::Kind::Array: {
                    std::vector<Array::Bound> b;
                    for (int32_t ub : d.bounds)
                        b.push_back({0, ub + 1});
                    Array* a = Array::create(std::move(b));
                    a->setFixed(!d.bounds.empty());
                    c->kind = GlobalCell::Kind::Variable;
                    c->value = Value::array(a);
                    break;
                }
                case CompiledUnit::Decl::Kind::Const:
                    c->kind = GlobalCell::Kind::Const;
                    c->value = d.value;
                    break;
                }
                c->builtinConst = false;
            }
            break;
        }
        result.order.push_back(lu.get());
        if (u->kind == CompiledUnit::Kind::Code)
            result.transient.push_back(std::move(lu));
        else
            s.units.push_back(std::move(lu));
    }
    return result;
}

namespace {

Value* frameVariable(Frame* sf, const std::string& name) {
    if (const LocalInfo* l = sf->fn->local(name)) {
        if (l->kind != LocalKind::Hidden) {
            Value& v = sf->locals[l->slot];
            return v.isRef() ? v.refTarget() : &v;
        }
    }
    if (!sf->dynamic) sf->dynamic = std::make_unique<DynamicNames>();
    auto it = sf->dynamic->find(name);
    if (it == sf->dynamic->end()) it = sf->dynamic->emplace(name, std::make_unique<Value>()).first;
    return it->second.get();
}

OuterScope outerScope(Frame* sf) {
    OuterScope o;
    o.cls = sf->fn->cls;
    for (const LocalInfo& l : sf->fn->locals)
        if (l.kind != LocalKind::Hidden && !l.name.empty()) o.names.push_back(l.name);
    if (sf->dynamic)
        for (const auto& [name, v] : *sf->dynamic)
            o.names.push_back(name);
    return o;
}

} // namespace

void Runtime::bindOuter(Frame& f, Frame* sf) {
    for (const LocalInfo& l : f.fn->locals) {
        if (!l.byRef || l.kind == LocalKind::Hidden || l.kind == LocalKind::Param) continue;
        f.locals[l.slot] = Value::ref(frameVariable(sf, l.name));
    }
}

void Runtime::execute(std::u16string_view code, Frame* frame, bool global) {
    Frame* sf = frame ? (frame->scopeFrame ? frame->scopeFrame : frame) : nullptr;
    bool local = !global && sf && !sf->fn->isMain;
    std::vector<Token> tokens = tokenize(code);
    std::vector<UnitSpan> spans = splitUnits(tokens);
    OuterScope outer;
    if (local) outer = outerScope(sf);
    std::vector<std::shared_ptr<const CompiledUnit>> units;
    std::vector<uint32_t> lines;
    for (const UnitSpan& span : spans) {
        units.push_back(compileDynamic(tokens, span, local ? &outer : nullptr, compileOptions));
        lines.push_back(tokens[span.begin].line);
    }
    Linked linked = link(units, lines, true);
    bool resumeNext = false;
    for (LinkedUnit* lu : linked.order)
        runMain(lu, local ? sf : nullptr, &resumeNext);
}

Value Runtime::eval(std::u16string_view code, Frame* frame) {
    Frame* sf = frame ? (frame->scopeFrame ? frame->scopeFrame : frame) : nullptr;
    bool local = sf && !sf->fn->isMain;
    std::vector<Token> tokens = tokenize(code);
    OuterScope outer;
    if (local) outer = outerScope(sf);
    std::shared_ptr<const CompiledUnit> unit =
        compileExpression(tokens, local ? &outer : nullptr, compileOptions);
    LinkedUnit lu;
    lu.code = unit;
    lu.scope = scope.get();
    for (const std::string& name : unit->globals)
        lu.cells.push_back(scope->cell(name));
    return runExpression(lu, sf, local);
}

} // namespace vbs
