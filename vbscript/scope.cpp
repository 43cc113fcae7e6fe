// The global scope of an engine (its cells, the objects of its classes) and the value stack that
// frames live on.

#include "vbscript/runtime_support.h"

namespace vbs {

using namespace rt;

// ---- Global scope ------------------------------------------------------------------------

GlobalCell* GlobalScope::cell(std::string_view name) {
    auto it = cells.find(name);
    if (it != cells.end()) return it->second.get();
    std::string key(name);
    auto c = std::make_unique<GlobalCell>();
    c->name = key;
    if (const Builtin* b = builtins().function(name)) {
        c->kind = GlobalCell::Kind::Builtin;
        c->builtin = b;
        if (!builtinShadows.empty()) shadow(*c);
    } else if (const Value* v = builtins().constant(name)) {
        c->kind = GlobalCell::Kind::Const;
        c->value = *v;
        c->builtinConst = true;
        c->builtinValue = v;
    }
    GlobalCell* raw = c.get();
    cells.emplace(std::move(key), std::move(c));
    return raw;
}

void GlobalScope::shadow(GlobalCell& c) {
    for (const Value& src : builtinShadows) {
        const int id = src.objectValue()->memberId(c.name);
        if (id == Object::kNoMember) continue;
        c.kind = GlobalCell::Kind::Alias;
        c.value = src;
        c.member = id;
        return;
    }
}

bool GlobalScope::recycle() {
    // Names scripts made up by the thousand are not worth keeping.
    constexpr size_t kMostKept = 65536;
    if (cells.size() > kMostKept || !instances.empty()) return false;
    units.clear();
    memberSources.clear();
    builtinShadows.clear();
    procedures.clear();
    generation = 1;
    for (auto& [name, c] : cells) {
        c->value.clear();
        c->generation = 0;
        c->fn = nullptr;
        c->unit = nullptr;
        c->cls = nullptr;
        c->member = 0;
        c->builtinConst = false;
        if (c->builtin) {
            c->kind = GlobalCell::Kind::Builtin;
        } else if (c->builtinValue) {
            c->kind = GlobalCell::Kind::Const;
            c->value = *c->builtinValue;
            c->builtinConst = true;
        } else {
            c->kind = GlobalCell::Kind::Undeclared;
        }
    }
    return true;
}

void GlobalScope::clear() {
    // Script variables first, while the host's objects are still there for Class_Terminate.
    std::vector<Value> values;
    for (auto& [name, c] : cells)
        if (c->kind != GlobalCell::Kind::Item && c->kind != GlobalCell::Kind::Alias)
            values.push_back(std::move(c->value));
    values.clear();
    // Objects still alive are held by cycles: terminate them, then empty them so they go.
    std::vector<ScriptObject*> alive(instances.begin(), instances.end());
    for (ScriptObject* o : alive)
        o->addRef();
    for (ScriptObject* o : alive)
        o->terminate();
    for (ScriptObject* o : alive) {
        std::vector<Value> fields = std::move(o->fields());
        o->fields().assign(fields.size(), Value());
    }
    for (ScriptObject* o : alive)
        o->release();
    for (auto& [name, c] : cells)
        values.push_back(std::move(c->value));
    std::vector<Value> sources = std::move(memberSources);
    std::vector<Value> shadows = std::move(builtinShadows);
}

// ---- Value stack -------------------------------------------------------------------------

Value* ValueStack::pushChunk(size_t n, Mark& mark) {
    mark = {current_, top_};
    size_t next = chunks_.empty() ? 0 : current_ + 1;
    if (next >= kMaxChunks) fail(errc::OutOfStackSpace);
    if (next == chunks_.size() || chunks_[next].second < n) {
        size_t size = std::max(kChunk, n);
        if (next == chunks_.size())
            chunks_.emplace_back(std::make_unique<Value[]>(size), size);
        else
            chunks_[next] = {std::make_unique<Value[]>(size), size};
    }
    current_ = next;
    top_ = n;
    return chunks_[current_].first.get();
}

void ValueStack::pop(Value* base, size_t n, const Mark& mark) {
    for (size_t i = 0; i < n; ++i)
        base[i].clear();
    current_ = mark.chunk;
    top_ = mark.top;
}

} // namespace vbs
