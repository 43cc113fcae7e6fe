#pragma once
// The engine's run-time state and the interpreter: global cells and linked units, frames on a
// value stack, the dispatch loop, calls, objects of script classes, Err, and the time-out.
// Implemented along those seams: scope.cpp (global scope, value stack), objects.cpp (script
// objects, GetRef, Err), calls.cpp (entering frames, error recovery, limits), interpreter.cpp
// (the dispatch loop) and link.cpp (linking, Execute and Eval).

#include "vbscript/builtins.h"
#include "vbscript/code.h"
#include "vbscript/compiler.h"
#include "vbscript/engine.h"

#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace vbs {

class Runtime;
struct GlobalScope;
struct LinkedUnit;

// One global name of an engine. Compiled code reaches it through its unit's cell table, so
// names declared or added after the code was linked are still found.
struct GlobalCell {
    enum class Kind : uint8_t {
        Undeclared,
        Variable,
        Const,
        Procedure,
        Builtin,
        Class,
        Item,  // added by the host with AddObject
        Alias, // a member of an object added with its members
    };
    Kind kind = Kind::Undeclared;
    bool builtinConst = false;
    uint32_t generation = 0; // Undeclared: the member sources already searched
    std::string name;
    Value value; // Variable, Const, Item; Alias: the object
    const Function* fn = nullptr;
    LinkedUnit* unit = nullptr;          // Procedure, Class
    const Builtin* builtin = nullptr;    // a built-in function of this name
    const Value* builtinValue = nullptr; // a built-in constant of this name
    const ClassInfo* cls = nullptr;
    int member = 0; // Alias
};

struct LinkedUnit {
    std::shared_ptr<const CompiledUnit> code;
    std::vector<GlobalCell*> cells;
    GlobalScope* scope = nullptr;
    uint32_t baseLine = 1; // the line of the unit's first token in the text it came from
    bool optionExplicit = false;
    bool dynamic = false; // from Execute: errors are placed at the Execute statement
};

class ScriptObject;

struct GlobalScope : std::enable_shared_from_this<GlobalScope> {
    std::unordered_map<std::string, std::unique_ptr<GlobalCell>, NoCaseHash, NoCaseEqual> cells;
    std::vector<std::unique_ptr<LinkedUnit>> units;
    std::vector<Value> memberSources;  // objects added with their members, in order
    std::vector<Value> builtinShadows; // those whose members replace built-in functions
    uint32_t generation = 1;
    Runtime* runtime = nullptr; // null once the engine is gone
    std::vector<ProcedureInfo> procedures;
    std::unordered_set<ScriptObject*> instances; // live objects of the scope's classes

    GlobalCell* cell(std::string_view name);
    // A built-in function's cell becomes the member of the same name of an object added to
    // replace built-ins, if one has it.
    void shadow(GlobalCell& c);
    // Drops every value and empties the objects still alive, so that reference cycles between
    // script objects (which counting alone never frees) end with the engine or its Reset.
    void clear();
    // After clear(), when nothing else holds the scope: every name back to what it was before
    // anything was declared or added, keeping the table, so that a host adding much the same
    // names after every reset needs no new cells. False when the table has grown too big to keep.
    bool recycle();
};

// An instance of a script Class.
class ScriptObject : public Object {
public:
    ScriptObject(const ClassInfo* cls, LinkedUnit* unit, std::shared_ptr<GlobalScope> scope);
    ~ScriptObject() override;

    int memberId(std::string_view name) override;
    const void* memberTable() const override { return cls_; }
    Value invoke(int id, Invoke kind, std::span<Value> args) override;
    std::string typeName() const override { return cls_->name; }

    const ClassInfo* cls() const { return cls_; }
    LinkedUnit* unit() const { return unit_; }
    // Runs Class_Terminate once.
    void terminate() noexcept;
    std::vector<Value>& fields() { return fields_; }

protected:
    void finalRelease() noexcept override;

private:
    const ClassInfo* cls_;
    LinkedUnit* unit_;
    std::shared_ptr<GlobalScope> scope_;
    std::vector<Value> fields_;
    bool terminated_ = false;
};

// Variables that Execute declared inside a procedure.
using DynamicNames =
    std::unordered_map<std::string, std::unique_ptr<Value>, NoCaseHash, NoCaseEqual>;

struct Frame {
    const Function* fn = nullptr;
    LinkedUnit* unit = nullptr;
    Value* locals = nullptr;
    Value* stack = nullptr; // operand stack base
    ScriptObject* me = nullptr;
    Frame* caller = nullptr;
    Frame* scopeFrame = nullptr; // Execute and Eval code: the procedure whose names it uses
    bool resumeNext = false;
    const Instr* ip = nullptr; // the instruction running, to place errors
    std::unique_ptr<DynamicNames> dynamic;
};

// Frames live in chunks that never move, so references into them stay valid during calls.
class ValueStack {
public:
    struct Mark {
        size_t chunk;
        size_t top;
    };
    Value* push(size_t n, Mark& mark) {
        mark = {current_, top_};
        if (!chunks_.empty() && top_ + n <= chunks_[current_].second) {
            Value* p = chunks_[current_].first.get() + top_;
            top_ += n;
            return p;
        }
        return pushChunk(n, mark);
    }
    void pop(Value* base, size_t n, const Mark& mark);

private:
    Value* pushChunk(size_t n, Mark& mark); // the current chunk is full: the next one
    static constexpr size_t kChunk = 1 << 15;
    static constexpr size_t kMaxChunks = 512;
    std::vector<std::pair<std::unique_ptr<Value[]>, size_t>> chunks_;
    size_t current_ = 0;
    size_t top_ = 0;
};

struct ErrState {
    int number = 0;
    std::u16string description;
    std::u16string source;
};

class Runtime {
public:
    Runtime();
    ~Runtime();

    // ---- Host side --------------------------------------------------------------------
    std::shared_ptr<GlobalScope> scope;
    HostServices* host = nullptr;
    HostServices defaultHost;
    std::function<int64_t()> clock;
    int timeoutMs = -1;
    EngineLimits limits;
    ErrState err;
    uint32_t rndSeed = 0x50000; // the classic generator's state
    float lastRnd = 0;
    CompileOptions compileOptions; // also for Execute, ExecuteGlobal and Eval

    HostServices& services() { return host ? *host : defaultHost; }

    // Links compiled units into the scope; `baseLines` are their first lines in the source.
    // Procedures and classes stay in the scope; script-level statements are only needed until
    // they have run, so the caller owns them.
    struct Linked {
        std::vector<LinkedUnit*> order;
        std::vector<std::unique_ptr<LinkedUnit>> transient;
    };
    Linked link(const std::vector<std::shared_ptr<const CompiledUnit>>& units,
                const std::vector<uint32_t>& baseLines, bool dynamic = false);
    // Runs a unit's script-level statements (nothing for other units). The script-level code of
    // one text is cut up by its declarations but is one body: `resumeNext` carries the On Error
    // state from one piece to the next.
    void runMain(LinkedUnit* unit, Frame* scopeFrame = nullptr, bool* resumeNext = nullptr);

    // Entering and leaving script execution from the host: the outermost entry starts the
    // time-out and measures the stack.
    class Entry {
    public:
        explicit Entry(Runtime& rt);
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        Runtime& rt_;
        ValueLimits outer_; // the value limits in force before the outermost entry
    };
    int running() const { return entered_; }
    void interrupt() { interrupted_ = true; }

    // ---- Calls ------------------------------------------------------------------------
    Value call(const Function* fn, LinkedUnit* unit, ScriptObject* me, Value* args, int argc,
               Frame* caller);
    Value invokeMember(ScriptObject* obj, int member, Invoke kind, Value* args, int argc,
                       bool inside);
    Value newInstance(const ClassInfo* cls, LinkedUnit* unit);
    Value callBuiltin(const Builtin* b, Value* args, int argc, Frame* frame);
    Value errObject();
    Frame* currentFrame() const { return current_; }

    // Execute, ExecuteGlobal and Eval.
    void execute(std::u16string_view code, Frame* frame, bool global);
    Value eval(std::u16string_view code, Frame* frame);

    // The position of an error in a frame: absolute line and column.
    void locate(ScriptError& e, const Frame& f, uint32_t pc) const;
    void setErr(const ScriptError& e);
    void clearErr() { err = ErrState(); }

    // Called every so often from loops and calls.
    void tick() {
        if (--budget_ <= 0) checkTime();
    }

private:
    friend class Interpreter;
    void checkTime();
    void checkStack();
    // One script call deeper (a FrameGuard leaves it); "Out of stack space" past the limit.
    void enterDepth() {
        if (depth_ >= maxDepth_) [[unlikely]]
            tooDeep();
        ++depth_;
    }
    [[noreturn, gnu::noinline]] static void tooDeep();
    // Both return the end of the operand stack at Return.
    [[gnu::always_inline]] inline Value* runFrame(Frame& f);
    // On Error Resume Next after `e`, placed at `pc`: Err is set, the frame's stack emptied, and
    // the run goes on after the statement that failed, at the instruction returned. Out of the
    // way of runFrame, which is inlined into every call.
    [[gnu::noinline]] const Instr* resumeAfter(Frame& f, const ScriptError& e, uint32_t pc);
    // A failure of the C++ library (memory, string size) as the script error `number`.
    [[gnu::noinline]] const Instr* libraryFailure(Frame& f, int number);
    [[gnu::noinline]] Value* execute(Frame& f, const Instr* ip, Value* sp);
    // call() of a procedure named by a global, for the dispatch loop: few enough parameters to
    // pass all in registers, since one passed on the stack makes the loop keep a frame pointer,
    // a register its own state needs.
    Value callProcedure(const GlobalCell* c, Value* args, int argc, Frame* caller);
    [[gnu::always_inline]] inline Value enter(const Function* fn, LinkedUnit* unit,
                                              ScriptObject* me, Value* args, int argc,
                                              Frame* caller);
    Value runExpression(LinkedUnit& lu, Frame* scopeFrame, bool local);
    struct FrameGuard;
    void bindOuter(Frame& f, Frame* scopeFrame);

    ValueStack stack_;
    Frame* current_ = nullptr;
    int entered_ = 0;
    int budget_ = 1024;      // steps until the next check
    uint64_t stepsLeft_ = 0; // with a step limit: steps not yet handed to budget_
    uint32_t depth_ = 0;     // script calls nested
    uint32_t maxDepth_ = UINT32_MAX;
    int64_t deadline_ = 0;
    bool interrupted_ = false;
    uintptr_t stackBase_ = 0;
    size_t stackLimit_ = 0;
    Value err_;
};

} // namespace vbs
