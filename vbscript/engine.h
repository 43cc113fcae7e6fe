#pragma once
// The script engine as a host uses it: add objects and code, run procedures, evaluate
// expressions, list the procedures, limit the running time. Every failure throws ScriptError
// (number, description, line and column) and is also kept as the last error.
//
// One engine belongs to one thread. Script Class instances are Objects like the host's own, so
// the host can hold and call them.

#include "vbscript/error.h"
#include "vbscript/value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vbs {

class Runtime;
class CompileCache;

struct ProcedureInfo {
    std::string name;
    int argumentCount = 0;
    bool hasReturnValue = false; // a Function rather than a Sub
};

struct ErrorInfo {
    int number = 0;
    std::u16string description;
    std::u16string source;
    int line = 0;           // 1-based; 0 when unknown
    int column = 0;         // 1-based; 0 when unknown
    std::u16string message; // the description with the name involved, as reports show it
};

// Services the engine leaves to its host. The defaults do without a user: MsgBox answers OK,
// InputBox returns its default text, the others fail as they would without the component.
class HostServices {
public:
    virtual ~HostServices() = default;
    // Returns the button pressed (vbOK = 1, vbCancel = 2, vbYes = 6, ...).
    virtual int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title);
    // Empty when cancelled.
    virtual Value inputBox(const std::u16string& prompt, const std::u16string& title,
                           const std::u16string& defaultText);
    virtual Value createObject(const std::u16string& progId, const std::u16string& server);
    virtual Value getObject(const std::u16string& path, const std::u16string& progId);
    virtual Value loadPicture(const std::u16string& path);
};

// Bounds on what scripts may use besides time (setTimeout); hosts running untrusted or generated
// code set them. Zero means no limit.
struct EngineLimits {
    // Loop iterations and calls of one run (from the host's call into the engine to its return);
    // then the run stops with the time-out error, which no handler can trap.
    uint64_t maxSteps = 0;
    // Script calls nested in one another; deeper: "Out of stack space" (28). The thread's stack
    // is checked whatever this says.
    uint32_t maxCallDepth = 0;
    // Longest string, largest array and the bytes of all strings and arrays alive on the thread,
    // in force while this engine's scripts run (value.h).
    ValueLimits values;
};

class Engine {
public:
    static constexpr int kNoTimeout = -1;

    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Forgets every added name and all added code. Fails while a script of this engine runs.
    void reset();
    // `name` becomes a global name for `object`; with `addMembers` the object's members become
    // global names too, and with `beforeBuiltins` they also replace built-in functions of the
    // same name (a host's own CreateObject). Fails when the name is taken or reserved.
    void addObject(std::string_view name, Object* object, bool addMembers = false,
                   bool beforeBuiltins = false);
    // Compiles the text, makes its procedures, classes and variables global names and runs its
    // script-level statements. A syntax error adds nothing.
    void addCode(std::u16string_view code);
    // Runs a procedure of the added code with the given arguments (passed by value).
    Value run(std::string_view procedure, std::span<const Value> args = {});
    Value eval(std::u16string_view expression);
    // Runs statements at script level, as ExecuteGlobal does.
    void executeStatement(std::u16string_view code);

    // Milliseconds a script may run; kNoTimeout for no limit.
    int timeout() const;
    void setTimeout(int milliseconds);
    const EngineLimits& limits() const;
    void setLimits(const EngineLimits& limits);
    // The procedures (Sub and Function) of the added code, in code order.
    std::vector<ProcedureInfo> procedures() const;
    bool isRunning() const;
    const ErrorInfo& lastError() const { return lastError_; }
    void clearError() { lastError_ = ErrorInfo(); }

    // Services such as MsgBox and CreateObject; not owned. Null: the defaults.
    void setHost(HostServices* host);
    // The time source of the time-out (milliseconds). Tests and hosts with a virtual clock
    // replace it.
    void setClock(std::function<int64_t()> nowMs);
    // Compiled code is kept by source text and reused when the same text is added again (the
    // host adds the same procedures before every run). Engines may share one cache.
    void setCompileCache(std::shared_ptr<CompileCache> cache);
    std::shared_ptr<CompileCache> compileCache() const { return cache_; }
    // Whether the compiler fuses instructions (on by default). Off, code runs the plain
    // instruction sequence, slower but the same in effect; tests use it to check the shortcuts.
    void setFusing(bool on);
    bool fusing() const;
    // Stops the running script at its next check, with the time-out error.
    void interrupt();

private:
    template <class F> auto guarded(F&& body) -> decltype(body());
    void record(const ScriptError& e);

    std::unique_ptr<Runtime> rt_;
    std::shared_ptr<CompileCache> cache_;
    ErrorInfo lastError_;
};

// A new RegExp object, as `New RegExp` and CreateObject("VBScript.RegExp") make it; hosts with a
// CreateObject of their own forward that ProgID here.
Value createRegExp();

// Compiled units by their source text, shared by engines on one thread.
class CompileCache {
public:
    explicit CompileCache(size_t maxSourceChars = size_t(1) << 24);
    ~CompileCache();
    size_t entries() const;
    size_t hits() const { return hits_; }
    size_t misses() const { return misses_; }
    void clear();

private:
    friend class Engine;
    friend class Runtime;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    size_t hits_ = 0;
    size_t misses_ = 0;
};

} // namespace vbs
