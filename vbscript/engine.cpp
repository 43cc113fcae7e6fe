#include "vbscript/engine.h"

#include "vbscript/compiler.h"
#include "vbscript/runtime.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace vbs {

// ---- Host services -----------------------------------------------------------------------

int HostServices::msgBox(const std::u16string&, int, const std::u16string&) {
    return 1;
}

Value HostServices::inputBox(const std::u16string&, const std::u16string&,
                             const std::u16string& defaultText) {
    return Value::string(defaultText);
}

Value HostServices::createObject(const std::u16string&, const std::u16string&) {
    throw ScriptError(errc::CannotCreateObject);
}

Value HostServices::getObject(const std::u16string&, const std::u16string&) {
    throw ScriptError(errc::CannotCreateObject);
}

Value HostServices::loadPicture(const std::u16string&) {
    throw ScriptError(errc::InvalidPicture);
}

// ---- Compile cache -----------------------------------------------------------------------

struct CompileCache::Impl {
    size_t maxChars;
    size_t chars = 0;
    std::unordered_map<std::u16string, std::shared_ptr<const CompiledUnit>> units;

    // The last text added and how it was cut. A host that wraps changing code around the same
    // procedures adds texts that differ only at their start: from the first declaration in the
    // unchanged end on, the units are taken as they are, without cutting the text again.
    struct LastUnit {
        size_t lineStart;   // offset of the line the unit starts on
        uint32_t firstLine; // line of its first token
        bool declaration;
        std::shared_ptr<const CompiledUnit> unit;
    };
    std::u16string lastText;
    bool lastFuse = true; // how its units were compiled
    std::vector<LastUnit> lastUnits;
};

CompileCache::CompileCache(size_t maxSourceChars) : impl_(std::make_unique<Impl>()) {
    impl_->maxChars = maxSourceChars;
}

CompileCache::~CompileCache() = default;

size_t CompileCache::entries() const {
    return impl_->units.size();
}

void CompileCache::clear() {
    impl_->units.clear();
    impl_->chars = 0;
    impl_->lastText.clear();
    impl_->lastUnits.clear();
}

namespace {

struct Module {
    std::vector<std::shared_ptr<const CompiledUnit>> units;
    std::vector<uint32_t> baseLines;
};

} // namespace

namespace {

// Everything one text declares at script level is declared at once: a name may be declared only
// once ("Name redefined").
void checkNames(const std::vector<std::shared_ptr<const CompiledUnit>>& units,
                const std::vector<uint32_t>& baseLines) {
    // Views of the units' own names: the units outlive the check.
    std::unordered_set<std::string_view, NoCaseHash, NoCaseEqual> names;
    names.reserve(units.size());
    auto declare = [&](std::string_view name, uint32_t line, uint32_t column) {
        if (!names.insert(name).second) {
            ScriptError e(errc::NameRedefined);
            e.setPosition(int(line), int(column));
            throw e;
        }
    };
    for (size_t i = 0; i < units.size(); ++i) {
        const CompiledUnit& u = *units[i];
        if (u.kind == CompiledUnit::Kind::Code) {
            for (const CompiledUnit::Decl& d : u.decls)
                declare(u.globals[d.global], baseLines[i] + d.line, d.column);
        } else {
            declare(u.globals[u.nameIndex], baseLines[i] + u.nameLine, u.nameColumn);
        }
    }
}

} // namespace

// ---- Engine ------------------------------------------------------------------------------

Engine::Engine() : rt_(std::make_unique<Runtime>()), cache_(std::make_shared<CompileCache>()) {}

Engine::~Engine() = default;

void Engine::record(const ScriptError& e) {
    lastError_.number = e.number();
    lastError_.description = e.description();
    lastError_.source = e.source();
    lastError_.line = e.line();
    lastError_.column = e.column();
    lastError_.message = e.message();
}

template <class F> auto Engine::guarded(F&& body) -> decltype(body()) {
    try {
        return body();
    } catch (ScriptError& e) {
        record(e);
        throw;
    } catch (const std::bad_alloc&) {
        ScriptError e(errc::OutOfMemory);
        record(e);
        throw e;
    }
}

void Engine::reset() {
    guarded([&] {
        if (rt_->running())
            throw ScriptError(errc::InvalidCall,
                              u"The script engine cannot be reset while a script is running");
        std::shared_ptr<GlobalScope> old = rt_->scope;
        rt_->scope = std::make_shared<GlobalScope>();
        rt_->scope->runtime = rt_.get();
        rt_->clearErr();
        {
            Runtime::Entry entry(*rt_); // Class_Terminate may run while the old names go
            old->clear();
        }
        // A host rebuilds much the same names after every reset. When nothing outlived the
        // reset (no script object, nothing Class_Terminate declared), the old table is reused.
        if (old.use_count() == 1 && rt_->scope->cells.empty() && old->recycle())
            rt_->scope = std::move(old);
        else
            rt_->scope->cells.reserve(old->cells.size());
    });
}

void Engine::addObject(std::string_view name, Object* object, bool addMembers,
                       bool beforeBuiltins) {
    guarded([&] {
        bool valid = !name.empty() &&
                     ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z'));
        for (char c : name)
            valid = valid && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              (c >= '0' && c <= '9') || c == '_');
        GlobalScope& s = *rt_->scope;
        // A name that has a cell is no keyword: keywords never get one.
        const auto known = s.cells.find(name);
        if (!valid || (known == s.cells.end() && isKeyword(name)) || equalsNoCase(name, "err") ||
            equalsNoCase(name, "me"))
            throw ScriptError::named(errc::InvalidCall, name);
        GlobalCell* c = known != s.cells.end() ? known->second.get() : s.cell(name);
        const bool free = c->kind == GlobalCell::Kind::Undeclared ||
                          c->kind == GlobalCell::Kind::Builtin || c->builtinConst;
        if (!free) throw ScriptError::named(457, name);
        c->kind = GlobalCell::Kind::Item;
        c->builtinConst = false;
        c->value = Value::object(object);
        if (addMembers && object) {
            s.memberSources.push_back(Value::object(object));
            ++s.generation;
            if (beforeBuiltins) {
                s.builtinShadows.push_back(Value::object(object));
                for (auto& [cellName, cell] : s.cells)
                    if (cell->kind == GlobalCell::Kind::Builtin) s.shadow(*cell);
            }
        }
    });
}

void Engine::addCode(std::u16string_view code) {
    guarded([&] {
        Module module;
        CompileCache::Impl& cache = *cache_->impl_;
        std::vector<CompileCache::Impl::LastUnit> cut;
        // The first declaration of the last text whose whole line lies in the end that `code`
        // shares with it, if any.
        const bool fuse = rt_->compileOptions.fuse;
        auto reusableFrom = [&]() -> std::optional<size_t> {
            const std::u16string& last = cache.lastText;
            if (cache.lastUnits.empty() || cache.lastFuse != fuse) return std::nullopt;
            size_t shared = 0;
            const size_t most = std::min(last.size(), code.size());
            while (shared < most &&
                   last[last.size() - 1 - shared] == code[code.size() - 1 - shared])
                ++shared;
            for (size_t k = 0; k < cache.lastUnits.size(); ++k) {
                const auto& u = cache.lastUnits[k];
                if (u.declaration && u.lineStart >= last.size() - shared) return k;
            }
            return std::nullopt;
        };
        // Compiles (or finds) the units of `text`, the start of `code`.
        auto compileText = [&](std::u16string_view text, const std::vector<Token>& tokens,
                               const std::vector<UnitSpan>& spans) {
            for (const UnitSpan& span : spans) {
                const Token& first = tokens[span.begin];
                const Token& last = tokens[span.end - 1];
                // The text of the unit, keyed with how it was compiled and its first column:
                // columns in the compiled code are absolute, lines relative to the unit.
                std::u16string key{char16_t(fuse ? u'F' : u'P'), char16_t(first.column)};
                key.append(text.substr(first.offset, last.offset + last.length - first.offset));
                auto it = cache.units.find(key);
                std::shared_ptr<const CompiledUnit> unit;
                if (it != cache.units.end()) {
                    unit = it->second;
                    ++cache_->hits_;
                } else {
                    unit = compileUnit(tokens, span, rt_->compileOptions);
                    ++cache_->misses_;
                    if (cache.chars + key.size() > cache.maxChars) {
                        cache.units.clear();
                        cache.chars = 0;
                    }
                    cache.chars += key.size();
                    cache.units.emplace(std::move(key), unit);
                }
                module.units.push_back(unit);
                module.baseLines.push_back(first.line);
                // A nested declaration is no place to cut the text: the code around it is one unit.
                cut.push_back({first.offset - (first.column - 1u), first.line,
                               span.kind != UnitSpan::Kind::Code && !span.nested, std::move(unit)});
            }
        };

        bool reused = false;
        if (std::optional<size_t> k = reusableFrom()) {
            const auto& from = cache.lastUnits[*k];
            const size_t tail = cache.lastText.size() - from.lineStart;
            const std::u16string_view head = code.substr(0, code.size() - tail);
            std::vector<Token> tokens = tokenize(head);
            bool unterminated = false;
            std::vector<UnitSpan> spans = splitUnits(tokens, &unterminated);
            // The start must end with a whole line (not a continuation) outside any
            // declaration, or the rest of the text would be cut differently.
            const bool clean =
                head.empty() || (tokens.size() >= 2 &&
                                 tokens[tokens.size() - 2].kind == Tok::Newline && !unterminated);
            if (clean) {
                compileText(head, tokens, spans);
                const uint32_t line = tokens.back().line;
                const std::ptrdiff_t shift =
                    std::ptrdiff_t(head.size()) - std::ptrdiff_t(from.lineStart);
                for (size_t j = *k; j < cache.lastUnits.size(); ++j) {
                    const auto& u = cache.lastUnits[j];
                    const uint32_t firstLine = line + (u.firstLine - from.firstLine);
                    module.units.push_back(u.unit);
                    module.baseLines.push_back(firstLine);
                    cut.push_back({size_t(std::ptrdiff_t(u.lineStart) + shift), firstLine,
                                   u.declaration, u.unit});
                }
                cache_->hits_ += cache.lastUnits.size() - *k;
                reused = true;
            } else {
                module = {};
                cut.clear();
            }
        }
        if (!reused) {
            std::vector<Token> tokens = tokenize(code);
            std::vector<UnitSpan> spans = splitUnits(tokens);
            compileText(code, tokens, spans);
        }
        cache.lastText.assign(code);
        cache.lastFuse = fuse;
        cache.lastUnits = std::move(cut);

        checkNames(module.units, module.baseLines);
        Runtime::Entry entry(*rt_);
        Runtime::Linked linked = rt_->link(module.units, module.baseLines);
        bool resumeNext = false;
        for (LinkedUnit* lu : linked.order)
            rt_->runMain(lu, nullptr, &resumeNext);
    });
}

Value Engine::run(std::string_view procedure, std::span<const Value> args) {
    return guarded([&] {
        GlobalScope& s = *rt_->scope;
        auto it = s.cells.find(std::string(procedure));
        if (it == s.cells.end() || it->second->kind != GlobalCell::Kind::Procedure)
            throw ScriptError::named(errc::ProcedureNotDefined, procedure);
        GlobalCell* c = it->second.get();
        std::vector<Value> values(args.begin(), args.end());
        Runtime::Entry entry(*rt_);
        return rt_->call(c->fn, c->unit, nullptr, values.data(), int(values.size()),
                         rt_->currentFrame());
    });
}

Value Engine::eval(std::u16string_view expression) {
    return guarded([&] {
        Runtime::Entry entry(*rt_);
        return rt_->eval(expression, nullptr);
    });
}

void Engine::executeStatement(std::u16string_view code) {
    guarded([&] {
        Runtime::Entry entry(*rt_);
        rt_->execute(code, nullptr, true);
    });
}

int Engine::timeout() const {
    return rt_->timeoutMs;
}

const EngineLimits& Engine::limits() const {
    return rt_->limits;
}

void Engine::setLimits(const EngineLimits& limits) {
    rt_->limits = limits;
}

void Engine::setTimeout(int milliseconds) {
    rt_->timeoutMs = milliseconds < 0 ? kNoTimeout : milliseconds;
}

std::vector<ProcedureInfo> Engine::procedures() const {
    return rt_->scope->procedures;
}

bool Engine::isRunning() const {
    return rt_->running() > 0;
}

void Engine::setHost(HostServices* host) {
    rt_->host = host;
}

void Engine::setClock(std::function<int64_t()> nowMs) {
    rt_->clock = std::move(nowMs);
}

void Engine::setFusing(bool on) {
    rt_->compileOptions.fuse = on;
}

bool Engine::fusing() const {
    return rt_->compileOptions.fuse;
}

void Engine::setCompileCache(std::shared_ptr<CompileCache> cache) {
    cache_ = cache ? std::move(cache) : std::make_shared<CompileCache>();
}

void Engine::interrupt() {
    rt_->interrupt();
}

} // namespace vbs
