// The script engine running whatever compiles: the text is added as code (its script-level
// statements run), then each of its first procedures runs, then the engine is reset and the
// text added again. Tight engine limits (steps, call depth, string, array and memory sizes) keep
// every input short and small, so that anything but a script error is a finding: a crash, a
// sanitizer report, a leak, a hang. Bytes are taken as Latin-1, as fuzz_vbscript does.

#include "vbscript/engine.h"
#include "vbscript/error.h"
#include "vbscript/text.h"
#include "vbscript/value.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

// What scripts written for vbsrun expect of WScript: every member exists and returns Empty,
// except Arguments, which returns the object itself (so WScript.Arguments(0) and .Count work).
class Sink : public vbs::Object {
public:
    int memberId(std::string_view name) override {
        return vbs::equalsNoCase(name, "Arguments") ? 2 : 1;
    }
    vbs::Value invoke(int id, vbs::Invoke kind, std::span<vbs::Value>) override {
        if (id == 2 && kind != vbs::Invoke::Let && kind != vbs::Invoke::Set)
            return vbs::Value::object(this);
        return {};
    }
};

// Every failure of the engine is a ScriptError; anything else escaping is a finding.
template <class F> void attempt(F&& f) {
    try {
        f();
    } catch (const vbs::ScriptError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384) return -1; // longer texts add compile time, not new behaviour
    std::u16string text(size, u'\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = char16_t(data[i]);

    vbs::EngineLimits limits;
    limits.maxSteps = 20000;
    limits.maxCallDepth = 200;
    limits.values.maxStringLength = 4096;
    limits.values.maxArrayElements = 4096;
    limits.values.maxBytes = size_t(8) << 20;
    // The built-in constants' strings are made once, when code first looks up a name; not
    // counted below.
    static const bool warmedUp = [] {
        vbs::Engine first;
        first.addCode(u"x = 1");
        return true;
    }();
    (void)warmedUp;
    const size_t liveBefore = vbs::liveValueBytes();
    {
        vbs::Engine engine;
        engine.setLimits(limits);
        // A net under the step limit: work that takes no steps (one huge Replace, say) still
        // ends. Long enough never to decide an input that ends by itself.
        engine.setTimeout(5000);
        vbs::Value sink = vbs::Value::object(new Sink);
        engine.addObject("WScript", sink.objectValue());
        for (int round = 0; round < 2; ++round) {
            attempt([&] { engine.addCode(text); });
            std::vector<vbs::ProcedureInfo> procs = engine.procedures();
            if (procs.size() > 8) procs.resize(8);
            for (const vbs::ProcedureInfo& p : procs) {
                std::vector<vbs::Value> args(size_t(p.argumentCount), vbs::Value::integer(2));
                attempt([&] { (void)engine.run(p.name, args); });
            }
            attempt([&] { engine.reset(); });
            attempt([&] { engine.addObject("WScript", sink.objectValue()); });
        }
    }
    // Whatever the script made is gone with the engine.
    if (vbs::liveValueBytes() != liveBefore) __builtin_trap();
    return 0;
}
