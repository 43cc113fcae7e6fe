// The host interface of the engine: adding objects and code, running, evaluating, time-outs,
// the procedure list, errors with their places, host objects and script objects.

#include "vbscript/convert.h"
#include "vbscript/engine.h"
#include "vbscript/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

namespace {

using vbs::Engine;
using vbs::Invoke;
using vbs::Object;
using vbs::ScriptError;
using vbs::Value;

std::string text(const Value& v) {
    return vbs::toUtf8(vbs::toString(v));
}

// A host object with members made of lambdas.
class HostObject : public Object {
public:
    using Member = std::function<Value(Invoke, std::span<Value>)>;

    void add(const std::string& name, Member m) {
        names_.push_back(name);
        members_.push_back(std::move(m));
    }
    void setDefault(Member m) { default_ = std::move(m); }
    void setItems(std::vector<Value> items) { items_ = std::move(items); }

    int memberId(std::string_view name) override {
        for (size_t i = 0; i < names_.size(); ++i)
            if (vbs::equalsNoCase(names_[i], name)) return int(i) + 1;
        return kNoMember;
    }
    const void* memberTable() const override { return this; }
    Value invoke(int id, Invoke kind, std::span<Value> args) override {
        if (id == kDefaultMember) {
            if (!default_) throw ScriptError(vbs::errc::NoSuchMember);
            return default_(kind, args);
        }
        return members_.at(size_t(id - 1))(kind, args);
    }
    std::unique_ptr<vbs::Enumerator> enumerate() override {
        if (items_.empty()) return nullptr;
        struct Each : vbs::Enumerator {
            std::vector<Value> items;
            size_t i = 0;
            bool next(Value& out) override {
                if (i >= items.size()) return false;
                out = items[i++];
                return true;
            }
        };
        auto e = std::make_unique<Each>();
        e->items = items_;
        return e;
    }

private:
    std::vector<std::string> names_;
    std::vector<Member> members_;
    Member default_;
    std::vector<Value> items_;
};

// Keeps a host object alive for the length of a test.
struct Held {
    HostObject* object = new HostObject;
    Value value = Value::object(object);
};

// A clock that moves on by `step` milliseconds at every reading.
struct SteppingClock {
    int64_t now = 0;
    int64_t step = 10;
    std::function<int64_t()> fn() {
        return [this] { return now += step; };
    }
};

int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const ScriptError& e) {
        return e.number();
    }
    return 0;
}

// ---- AddObject ---------------------------------------------------------------------------

TEST(EngineAddObject, TakenOrReservedNamesFail) {
    Engine engine;
    Held a, b;
    engine.addObject("Thing", a.object, false);
    EXPECT_EQ(errorNumber([&] { engine.addObject("thing", b.object, false); }), 457);
    EXPECT_EQ(engine.lastError().number, 457);
    EXPECT_NE(engine.lastError().message.find(u"thing"), std::u16string::npos);
    for (const char* reserved : {"Dim", "If", "Err", "Me", "Nothing", "", "1abc", "a b"})
        EXPECT_EQ(errorNumber([&] { engine.addObject(reserved, b.object, false); }), 5) << reserved;
    // Names the code declared are taken too; names of built-in functions are not.
    engine.addCode(u"Dim declared\nSub Proc : End Sub\nClass K : End Class");
    for (const char* taken : {"declared", "Proc", "K"})
        EXPECT_EQ(errorNumber([&] { engine.addObject(taken, b.object, false); }), 457) << taken;
    EXPECT_NO_THROW(engine.addObject("Left", b.object, false));
    EXPECT_EQ(text(engine.eval(u"TypeName(Left)")), "Object");
}

TEST(EngineAddObject, NamesAddedAfterTheCodeAreFound) {
    // The player adds its objects after the code that uses them.
    Engine engine;
    engine.addCode(u"Function Read() : Read = Late.Value & Late : End Function");
    Held late;
    late.object->add("Value", [](Invoke, std::span<Value>) { return Value::fromUtf8("v"); });
    late.object->setDefault([](Invoke, std::span<Value>) { return Value::fromUtf8("d"); });
    engine.addObject("Late", late.object, false);
    EXPECT_EQ(text(engine.run("Read")), "vd");
}

TEST(EngineAddObject, MembersBecomeGlobalNames) {
    Engine engine;
    Held library;
    std::vector<std::string> calls;
    int counter = 7;
    library.object->add("GoToFrame", [&](Invoke kind, std::span<Value> args) {
        calls.push_back(text(args[0]) + (kind == Invoke::Call ? " (statement)" : ""));
        return Value::boolean(true);
    });
    library.object->add("Counter", [&](Invoke kind, std::span<Value> args) {
        if (kind == Invoke::Let) counter = vbs::toLong(args.back());
        return Value::lng(counter);
    });
    engine.addObject("Action", library.object, true);
    engine.addCode(u"Sub Main()\n GoToFrame \"Hall\"\n x = GoToFrame(\"Cellar\")\n"
                   u" Action.GoToFrame \"Attic\"\n Counter = Counter + 1\nEnd Sub");
    engine.run("Main");
    EXPECT_EQ(calls, (std::vector<std::string>{"Hall (statement)", "Cellar", "Attic (statement)"}));
    EXPECT_EQ(counter, 8);
    // Script variables of the same name win over the members.
    engine.addCode(u"Dim Counter : Counter = 100");
    engine.run("Main");
    EXPECT_EQ(counter, 8);
}

TEST(EngineAddObject, MembersReplaceBuiltInFunctionsOnlyWhenAsked) {
    for (bool before : {false, true}) {
        Engine engine;
        Held library;
        library.object->add("CreateObject",
                            [](Invoke, std::span<Value>) { return Value::string(u"refused"); });
        engine.addObject("Action", library.object, true, before);
        engine.addCode(u"Function Make()\n On Error Resume Next\n Make = createobject(\"x.y\")\n"
                       u" If Err.Number <> 0 Then Make = \"error \" & Err.Number\nEnd Function");
        EXPECT_EQ(text(engine.run("Make")), before ? "refused" : "error 429");
    }
}

// ---- AddCode and syntax errors -----------------------------------------------------------

TEST(EngineAddCode, SyntaxErrorGivesLineAndColumnAndAddsNothing) {
    Engine engine;
    try {
        engine.addCode(u"Sub Good()\nEnd Sub\nSub Bad()\n  x = (1 +\nEnd Sub");
        FAIL() << "no syntax error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.number(), 1023);
        EXPECT_EQ(vbs::toUtf8(e.description()), "Expected expression");
        EXPECT_EQ(e.line(), 4);
        EXPECT_EQ(e.column(), 11);
    }
    EXPECT_EQ(engine.lastError().line, 4);
    EXPECT_EQ(engine.lastError().column, 11);
    EXPECT_TRUE(engine.procedures().empty());
    EXPECT_EQ(errorNumber([&] { engine.run("Good"); }), 35);

    struct Case {
        const char* code;
        int number, line, column;
    };
    const Case cases[] = {
        {"x = 1\ny = \"open", 1033, 2, 5},
        {"If x Then\n y = 1\n", 1014, 3, 1},
        {"For i = 1 To 2\nLoop", 1020, 2, 1},
        {"x = 1 2", 1025, 1, 7},
        {"Sub A(x, x)\nEnd Sub", 1041, 1, 10},
        {"Class C\n Public Default x\nEnd Class", 1056, 2, 2},
        {"Sub S : Exit Function : End Sub", 1039, 1, 9},
        {"Foo(1, 2)", 1044, 1, 1},
        {"x = #13/45/2000#", 1002, 1, 5},
        {"x = 1 $ 2", 1032, 1, 7},
        {"Sub A : End Sub\n\nSub A : End Sub", 1041, 3, 1},
        {"Dim B\nFunction B() : End Function", 1041, 2, 1},
        {"Class C : End Class\nConst C = 1", 1041, 2, 7},
    };
    for (const Case& c : cases) {
        try {
            engine.addCode(vbs::fromUtf8(c.code));
            ADD_FAILURE() << "accepted: " << c.code;
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.number(), c.number) << c.code;
            EXPECT_EQ(e.line(), c.line) << c.code;
            EXPECT_EQ(e.column(), c.column) << c.code;
        }
    }
}

TEST(EngineAddCode, ScriptLevelStatementsRunAndRuntimeErrorsArePlaced) {
    Engine engine;
    engine.addCode(u"Dim total\ntotal = 40 + 2");
    EXPECT_EQ(vbs::toLong(engine.eval(u"total")), 42);
    try {
        engine.addCode(u"' comment\n\nSub Later()\nEnd Sub\n  total = 1 / 0");
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.number(), 11);
        EXPECT_EQ(e.line(), 5);
        EXPECT_EQ(e.column(), 3);
    }
    // Procedures of the text stay added even though its statements failed.
    EXPECT_NO_THROW(engine.run("Later"));
}

// ---- Run, Eval, Procedures ---------------------------------------------------------------

TEST(EngineRun, ArgumentsResultsAndMissingProcedures) {
    Engine engine;
    engine.addCode(u"Function Add(a, b) : Add = a + b : End Function\n"
                   u"Sub Bump(n) : n = n + 1 : End Sub\n"
                   u"Function Fails() : Fails = CLng(\"x\") : End Function");
    Value args[] = {Value::lng(2), Value::fromUtf8("3")};
    Value r = engine.run("add", args);
    EXPECT_EQ(r.type(), vbs::Type::Double);
    EXPECT_EQ(vbs::toDouble(r), 5);
    Value one[] = {Value::integer(1)};
    EXPECT_NO_THROW(engine.run("Bump", one)); // by reference to a copy: harmless
    EXPECT_EQ(vbs::toLong(one[0]), 1);

    EXPECT_EQ(errorNumber([&] { engine.run("Missing"); }), 35);
    EXPECT_EQ(vbs::toUtf8(engine.lastError().message), "Sub or Function not defined: 'Missing'");
    EXPECT_EQ(errorNumber([&] { engine.run("Add"); }), 450);
    try {
        engine.run("Fails");
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_EQ(e.line(), 3);
    }
    EXPECT_EQ(engine.lastError().number, 13);
    EXPECT_EQ(vbs::toUtf8(engine.lastError().source), "Microsoft VBScript runtime error");
}

TEST(EngineRun, EvalAndExecuteStatementWorkAtScriptLevel) {
    Engine engine;
    engine.executeStatement(u"Dim v : v = 6 * 7");
    EXPECT_EQ(vbs::toLong(engine.eval(u"v")), 42);
    EXPECT_EQ(text(engine.eval(u"v & \"!\"")), "42!");
    EXPECT_TRUE(engine.eval(u"IsEmpty(nothingHere)").booleanValue());
    EXPECT_EQ(errorNumber([&] { engine.eval(u"1 +"); }), 1023);
}

TEST(EngineProcedures, ListInCodeOrderWithArgumentCounts) {
    Engine engine;
    engine.addCode(u"Sub Zeta(a, b) : End Sub\nClass C\n Sub Method() : End Sub\nEnd Class\n"
                   u"Function Alpha() : End Function");
    engine.addCode(u"Sub Mid3(x, y, z)\nEnd Sub");
    std::vector<vbs::ProcedureInfo> procs = engine.procedures();
    ASSERT_EQ(procs.size(), 3u);
    EXPECT_EQ(procs[0].name, "Zeta");
    EXPECT_EQ(procs[0].argumentCount, 2);
    EXPECT_FALSE(procs[0].hasReturnValue);
    EXPECT_EQ(procs[1].name, "Alpha");
    EXPECT_EQ(procs[1].argumentCount, 0);
    EXPECT_TRUE(procs[1].hasReturnValue);
    EXPECT_EQ(procs[2].name, "Mid3");
    EXPECT_EQ(procs[2].argumentCount, 3);
    engine.reset();
    EXPECT_TRUE(engine.procedures().empty());
}

// ---- Reset -------------------------------------------------------------------------------

TEST(EngineReset, EveryNameIsAsNewAfterManyResets) {
    Engine engine;
    Held library;
    library.object->add("Len", [](Invoke, std::span<Value>) { return Value::lng(-1); });
    for (int round = 0; round < 3; ++round) {
        // Built-in names come back whatever the last round made of them.
        EXPECT_EQ(text(engine.eval(u"Len(\"abc\") & vbTab & IsEmpty(vbCrLf) & TypeName(Total)")),
                  "3\tFalseEmpty");
        EXPECT_THROW(engine.run("Sum"), ScriptError);
        engine.addObject("Lib", library.object, true, true);
        engine.addCode(
            u"Dim Total\nConst vbTab = 7\nFunction Sum(a, b)\n Sum = a + b\nEnd Function\n"
            u"Total = Sum(2, 3) + Len(\"x\")");
        EXPECT_EQ(vbs::toLong(engine.eval(u"Total")), 4);
        EXPECT_EQ(vbs::toLong(engine.eval(u"vbTab")), 7);
        engine.reset();
    }
}

TEST(EngineReset, ForgetsNamesAndCode) {
    Engine engine;
    Held obj;
    engine.addObject("Obj", obj.object, false);
    engine.addCode(u"Dim kept : kept = 1\nSub P : End Sub");
    engine.reset();
    EXPECT_EQ(errorNumber([&] { engine.run("P"); }), 35);
    EXPECT_TRUE(engine.eval(u"IsEmpty(kept)").booleanValue());
    EXPECT_NO_THROW(engine.addObject("Obj", obj.object, false));
}

TEST(EngineReset, EndsScriptObjectsEvenInReferenceCycles) {
    Engine engine;
    Held host;
    std::vector<std::string> log;
    host.object->add("Log", [&](Invoke, std::span<Value> args) {
        log.push_back(text(args[0]));
        return Value();
    });
    engine.addObject("Host", host.object, false);
    engine.addCode(u"Class Node\n Public Other, Name\n"
                   u" Sub Class_Terminate : Host.Log Name : End Sub\nEnd Class\n"
                   u"Dim kept\nSub Make\n Set a = New Node : a.Name = \"a\"\n"
                   u" Set b = New Node : b.Name = \"b\"\n Set a.Other = b : Set b.Other = a\n"
                   u" Set kept = New Node : kept.Name = \"kept\"\nEnd Sub");
    engine.run("Make");
    EXPECT_TRUE(log.empty()); // the cycle keeps a and b alive
    engine.reset();
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "kept"}));
}

TEST(EngineReset, FailsWhileAScriptRuns) {
    Engine engine;
    Held host;
    int resetError = 0;
    bool runningInside = false;
    host.object->add("TryReset", [&](Invoke, std::span<Value>) {
        runningInside = engine.isRunning();
        resetError = errorNumber([&] { engine.reset(); });
        return Value();
    });
    engine.addObject("Host", host.object, false);
    engine.addCode(u"Dim survived\nSub Main : Host.TryReset : survived = \"yes\" : End Sub");
    engine.run("Main");
    EXPECT_TRUE(runningInside);
    EXPECT_NE(resetError, 0);
    EXPECT_FALSE(engine.isRunning());
    EXPECT_EQ(text(engine.eval(u"survived")), "yes");
    EXPECT_NO_THROW(engine.reset());
}

// ---- Time-out ----------------------------------------------------------------------------

TEST(EngineTimeout, StopsEndlessScriptsAndCannotBeTrapped) {
    Engine engine;
    SteppingClock clock;
    engine.setClock(clock.fn());
    EXPECT_EQ(engine.timeout(), Engine::kNoTimeout);
    engine.setTimeout(1000);
    engine.addCode(u"Sub Spin()\n On Error Resume Next\n Do\n x = x + 1\n Loop\nEnd Sub\n"
                   u"Sub Recurse() : Call Recurse2() : End Sub\n"
                   u"Sub Recurse2() : Do : Loop : End Sub\n"
                   u"Function Quick() : Quick = 5 : End Function");
    EXPECT_EQ(errorNumber([&] { engine.run("Spin"); }), vbs::errc::ScriptTimedOut);
    EXPECT_GE(clock.now, 1000);
    EXPECT_EQ(errorNumber([&] { engine.run("Recurse"); }), vbs::errc::ScriptTimedOut);
    // The engine stays usable, and each run gets a fresh time-out.
    EXPECT_EQ(vbs::toLong(engine.run("Quick")), 5);
}

TEST(EngineTimeout, NoTimeoutLetsLongScriptsFinish) {
    Engine engine;
    SteppingClock clock;
    clock.step = 1000000;
    engine.setClock(clock.fn());
    engine.setTimeout(Engine::kNoTimeout);
    engine.addCode(u"Function Long() : For i = 1 To 200000 : n = n + 1 : Next : Long = n : "
                   u"End Function");
    EXPECT_EQ(vbs::toLong(engine.run("Long")), 200000);
    engine.setTimeout(5);
    EXPECT_EQ(errorNumber([&] { engine.run("Long"); }), vbs::errc::ScriptTimedOut);
}

TEST(EngineTimeout, InterruptStopsTheRunningScript) {
    Engine engine;
    Held host;
    host.object->add("Stop", [&](Invoke, std::span<Value>) {
        engine.interrupt();
        return Value();
    });
    engine.addObject("Host", host.object, false);
    engine.addCode(u"Sub Main : Host.Stop : Do : Loop : End Sub");
    EXPECT_EQ(errorNumber([&] { engine.run("Main"); }), vbs::errc::ScriptTimedOut);
}

// ---- Robustness --------------------------------------------------------------------------

TEST(EngineLimits, RunawayRecursionAndHugeAllocationsAreScriptErrors) {
    Engine engine;
    engine.addCode(u"Function Down(n) : Down = Down(n + 1) : End Function\n"
                   u"Sub Huge() : ReDim a(2000000000) : End Sub\n"
                   u"Sub Grow() : s = \"x\" : Do : s = s & s : Loop : End Sub\n"
                   u"Function Trapped()\n On Error Resume Next\n x = Down(1)\n"
                   u" Trapped = Err.Number\nEnd Function");
    EXPECT_EQ(errorNumber([&] { engine.run("Down", std::vector<Value>{Value::integer(1)}); }),
              vbs::errc::OutOfStackSpace);
    EXPECT_EQ(errorNumber([&] { engine.run("Huge"); }), vbs::errc::OutOfMemory);
    int grow = errorNumber([&] { engine.run("Grow"); });
    EXPECT_TRUE(grow == vbs::errc::OutOfMemory || grow == vbs::errc::OutOfStringSpace) << grow;
    EXPECT_EQ(vbs::toLong(engine.run("Trapped")), vbs::errc::OutOfStackSpace);
}

TEST(EngineLimits, AStepLimitEndsEndlessScriptsTheSameWayEveryRun) {
    Engine engine;
    engine.setTimeout(Engine::kNoTimeout);
    vbs::EngineLimits limits;
    limits.maxSteps = 5000;
    engine.setLimits(limits);
    engine.addCode(u"Sub Spin()\n On Error Resume Next\n Do\n n = n + 1\n Loop\nEnd Sub\n"
                   u"Function Count(k) : For i = 1 To k : Next : Count = k : End Function\n"
                   u"Function Calls(k) : If k > 0 Then Calls = Calls(k - 1) + 1 Else Calls = 0\n"
                   u"End Function\nDim n");
    EXPECT_EQ(errorNumber([&] { engine.run("Spin"); }), vbs::errc::ScriptTimedOut);
    const int32_t first = vbs::toLong(engine.eval(u"n"));
    // The handler did not trap it, and the next run stops at the same count: steps, not time.
    EXPECT_GT(first, 3000);
    EXPECT_LE(first, 5000);
    engine.executeStatement(u"n = 0");
    EXPECT_EQ(errorNumber([&] { engine.run("Spin"); }), vbs::errc::ScriptTimedOut);
    EXPECT_EQ(vbs::toLong(engine.eval(u"n")), first);
    // Each run has the whole budget; calls count as loops do.
    const Value k[] = {Value::lng(4000)};
    EXPECT_EQ(vbs::toLong(engine.run("Count", k)), 4000);
    EXPECT_EQ(vbs::toLong(engine.run("Count", k)), 4000);
    const Value many[] = {Value::lng(6000)};
    EXPECT_EQ(errorNumber([&] { engine.run("Count", many); }), vbs::errc::ScriptTimedOut);
    // Recursion spends the budget too; kept shallow, so that no build's stack guard comes first
    // (frames are far larger under the sanitizers).
    limits.maxSteps = 200;
    engine.setLimits(limits);
    const Value deep[] = {Value::lng(300)};
    EXPECT_EQ(errorNumber([&] { engine.run("Calls", deep); }), vbs::errc::ScriptTimedOut);
    limits.maxSteps = 0;
    engine.setLimits(limits);
    EXPECT_EQ(vbs::toLong(engine.run("Count", many)), 6000);
}

TEST(EngineLimits, CallDepthLimitIsOutOfStackSpaceAndCanBeTrapped) {
    Engine engine;
    vbs::EngineLimits limits;
    limits.maxCallDepth = 50;
    engine.setLimits(limits);
    engine.addCode(u"Function Depth(k) : If k = 0 Then Depth = 0 Else Depth = 1 + Depth(k - 1)\n"
                   u"End Function\n"
                   u"Function Trapped()\n On Error Resume Next\n x = Depth(100)\n"
                   u" Trapped = Err.Number & \" \" & Depth(10)\nEnd Function");
    // Depth(49) is 50 calls, one inside the other.
    EXPECT_EQ(vbs::toLong(engine.run("Depth", std::vector<Value>{Value::integer(49)})), 49);
    EXPECT_EQ(errorNumber([&] { engine.run("Depth", std::vector<Value>{Value::integer(50)}); }),
              vbs::errc::OutOfStackSpace);
    EXPECT_EQ(text(engine.run("Trapped")), "28 10");
    // Failed calls left no depth behind.
    EXPECT_EQ(vbs::toLong(engine.run("Depth", std::vector<Value>{Value::integer(49)})), 49);
}

TEST(EngineLimits, ValueLimitsHoldWhileTheEnginesScriptsRunAndBytesAreGivenBack) {
    // What the library keeps for the whole process (made on first use) is not counted against
    // an engine: one run first, so that it exists before the count is taken.
    {
        Engine warm;
        warm.addCode(u"Function Try(code)\n On Error Resume Next\n Execute code\n"
                     u" Try = Err.Number\nEnd Function");
        const Value arg[] = {Value::string(std::u16string_view(u"s = String(3, \"x\") & 1 / 0"))};
        warm.run("Try", arg);
    }
    const size_t before = vbs::liveValueBytes();
    const vbs::ValueLimits outside = vbs::valueLimits();
    {
        Engine engine;
        vbs::EngineLimits limits;
        limits.values.maxStringLength = 1000;
        limits.values.maxArrayElements = 100;
        limits.values.maxBytes = 64 * 1024;
        engine.setLimits(limits);
        engine.addCode(u"Function Try(code)\n On Error Resume Next\n Execute code\n"
                       u" Try = Err.Number\nEnd Function\nDim keep(), s");
        auto attempt = [&](const char16_t* code) {
            const Value arg[] = {Value::string(std::u16string_view(code))};
            return vbs::toLong(engine.run("Try", arg));
        };
        EXPECT_EQ(attempt(u"s = String(1000, \"x\")"), 0);
        EXPECT_EQ(attempt(u"s = String(1001, \"x\")"), vbs::errc::OutOfStringSpace);
        EXPECT_EQ(attempt(u"s = s & \"y\""), vbs::errc::OutOfStringSpace);
        EXPECT_EQ(attempt(u"ReDim a(99)"), 0);
        EXPECT_EQ(attempt(u"ReDim a(100)"), vbs::errc::OutOfMemory);
        EXPECT_EQ(attempt(u"ReDim a(9, 9)"), 0);
        EXPECT_EQ(attempt(u"ReDim a(10, 9)"), vbs::errc::OutOfMemory);
        // Many values each within the limits, together over the byte limit; then giving them
        // up makes room again.
        EXPECT_EQ(attempt(u"ReDim keep(99) : For i = 0 To 99 : keep(i) = Space(900) : Next"),
                  vbs::errc::OutOfMemory);
        EXPECT_EQ(attempt(u"Erase keep : ReDim keep(99) : For i = 0 To 20 : keep(i) = Space(900) :"
                          u" Next"),
                  0);
        EXPECT_EQ(attempt(u"ReDim Preserve keep(99) : keep = Empty : s = Space(1000) : "
                          u"ReDim keep(50)"),
                  0);
        // Outside a run the thread's own limits are back.
        EXPECT_EQ(vbs::valueLimits().maxStringLength, outside.maxStringLength);
        EXPECT_EQ(vbs::valueLimits().maxBytes, outside.maxBytes);
        EXPECT_GT(vbs::liveValueBytes(), before);
    }
    // Every string and array of the engine is gone, and counted as gone.
    EXPECT_EQ(vbs::liveValueBytes(), before);
}

// ---- Host objects and script objects -----------------------------------------------------

TEST(EngineObjects, HostObjectsFromScripts) {
    Engine engine;
    Held coll, other;
    coll.object->setItems({Value::integer(1), Value::fromUtf8("two"), Value::integer(3)});
    coll.object->setDefault([&](Invoke, std::span<Value> args) {
        return args.empty() ? Value::fromUtf8("whole") : Value::lng(vbs::toLong(args[0]) * 100);
    });
    coll.object->add("Fail", [](Invoke, std::span<Value>) -> Value {
        throw ScriptError(1234, u"host failure", u"HostSource");
    });
    coll.object->add("Self", [&](Invoke, std::span<Value>) { return coll.value; });
    engine.addObject("Coll", coll.object, false);
    engine.addObject("Other", other.object, false);
    engine.addCode(u"Function Walk()\n For Each x In Coll : Walk = Walk & x & \",\" : Next\n"
                   u"End Function\n"
                   u"Function Trap()\n On Error Resume Next\n Coll.Fail\n"
                   u" Trap = Err.Number & \" \" & Err.Description & \" \" & Err.Source\n"
                   u"End Function");
    EXPECT_EQ(text(engine.run("Walk")), "1,two,3,");
    EXPECT_EQ(text(engine.eval(u"Coll(4)")), "400");
    EXPECT_EQ(text(engine.eval(u"Coll & \"\"")), "whole");
    EXPECT_TRUE(engine.eval(u"Coll.Self Is Coll").booleanValue());
    EXPECT_FALSE(engine.eval(u"Coll Is Other").booleanValue());
    EXPECT_EQ(text(engine.run("Trap")), "1234 host failure HostSource");
    EXPECT_EQ(errorNumber([&] { engine.eval(u"Coll.NoSuchMember"); }), 438);
    EXPECT_EQ(vbs::toUtf8(engine.lastError().message),
              "Object doesn't support this property or method: 'NoSuchMember'");
    EXPECT_EQ(errorNumber([&] { engine.eval(u"Other.Fail"); }), 438);
}

TEST(EngineObjects, ScriptClassInstancesServeTheHost) {
    auto engine = std::make_unique<Engine>();
    engine->addCode(u"Dim log\nClass Greeter\n Public Name\n Private Hidden\n"
                    u" Public Default Function Greet(who) : Greet = \"hi \" & who : End Function\n"
                    u" Sub Class_Terminate : log = log & \"bye \" & Name : End Sub\n"
                    u"End Class\nFunction Make() : Set Make = New Greeter : End Function");
    Value g = engine->run("Make");
    ASSERT_TRUE(g.isObject());
    Object* o = g.objectValue();
    EXPECT_EQ(o->typeName(), "Greeter");
    int name = o->memberId("NAME");
    ASSERT_NE(name, Object::kNoMember);
    EXPECT_EQ(o->memberId("Hidden"), Object::kNoMember);
    Value setName[] = {Value::fromUtf8("Ann")};
    o->invoke(name, Invoke::Let, setName);
    Value who[] = {Value::fromUtf8("Bob")};
    EXPECT_EQ(text(o->invoke(Object::kDefaultMember, Invoke::Get, who)), "hi Bob");
    EXPECT_EQ(text(o->invoke(name, Invoke::Get, {})), "Ann");
    g.clear(); // the last reference: Class_Terminate runs
    EXPECT_EQ(text(engine->eval(u"log")), "bye Ann");

    // An object that outlives its engine fails cleanly instead of crashing.
    Value survivor = engine->run("Make");
    engine.reset();
    EXPECT_EQ(errorNumber([&] { survivor.objectValue()->invoke(1, Invoke::Get, {}); }), 424);
}

// ---- Host services -----------------------------------------------------------------------

struct RecordingHost : vbs::HostServices {
    std::vector<std::string> log;
    int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        log.push_back("msgbox " + vbs::toUtf8(prompt) + " " + std::to_string(buttons) + " " +
                      vbs::toUtf8(title));
        return 6;
    }
    Value inputBox(const std::u16string& prompt, const std::u16string&,
                   const std::u16string& def) override {
        log.push_back("input " + vbs::toUtf8(prompt) + " " + vbs::toUtf8(def));
        return Value::fromUtf8("typed");
    }
    Value createObject(const std::u16string& progId, const std::u16string&) override {
        log.push_back("create " + vbs::toUtf8(progId));
        return Value::nothing();
    }
    Value loadPicture(const std::u16string& path) override {
        log.push_back("picture " + vbs::toUtf8(path));
        return Value::nothing();
    }
};

TEST(EngineHost, CallbacksReachTheHost) {
    Engine engine;
    EXPECT_EQ(errorNumber([&] { engine.eval(u"CreateObject(\"Some.Thing\")"); }), 429);
    EXPECT_EQ(vbs::toLong(engine.eval(u"MsgBox(\"unattended\")")), 1);
    RecordingHost host;
    engine.setHost(&host);
    EXPECT_EQ(vbs::toLong(engine.eval(u"MsgBox(\"Sure?\", vbYesNo, \"Ask\")")), 6);
    EXPECT_EQ(text(engine.eval(u"InputBox(\"Name?\", \"T\", \"def\")")), "typed");
    engine.executeStatement(u"Set o = CreateObject(\"TNPanoramaControl.MainControl_ID7\")");
    engine.executeStatement(u"Set p = LoadPicture(\"a.bmp\")");
    EXPECT_EQ(host.log, (std::vector<std::string>{"msgbox Sure? 4 Ask", "input Name? def",
                                                  "create TNPanoramaControl.MainControl_ID7",
                                                  "picture a.bmp"}));
}

TEST(EngineRegExp, HostsForwardTheProgIdAndTheEngineNeverAsksThem) {
    // A host with a CreateObject of its own hands "VBScript.RegExp" to createRegExp.
    Engine engine;
    RecordingHost host;
    engine.setHost(&host);
    Value re = vbs::createRegExp();
    engine.addObject("Pattern", re.objectValue());
    engine.executeStatement(u"Pattern.Pattern = \"(\\d+)-(\\d+)\" : Pattern.Global = True");
    EXPECT_EQ(text(engine.eval(u"Pattern.Replace(\"1-2 30-40\", \"$2-$1\")")), "2-1 40-30");
    EXPECT_EQ(text(engine.eval(u"TypeName(CreateObject(\"vbscript.regexp\"))")), "IRegExp2");
    EXPECT_TRUE(host.log.empty());
    // Each object has its own settings.
    EXPECT_EQ(text(engine.eval(u"CreateObject(\"VBScript.RegExp\").Global")), "False");
}

TEST(EngineRegExp, MatchesOutliveTheirRegExpAndTheEngine) {
    Value matches;
    {
        Engine engine;
        engine.executeStatement(u"Set r = New RegExp : r.Pattern = \"a(.)\" : r.Global = True : "
                                u"Set m = r.Execute(\"ab ac ad\") : Set r = Nothing");
        matches = engine.eval(u"m");
    }
    ASSERT_TRUE(matches.isObject());
    Object* m = matches.objectValue();
    Value count = m->invoke(m->memberId("Count"), Invoke::Get, {});
    EXPECT_EQ(vbs::toLong(count), 3);
    Value index[1] = {Value::lng(2)};
    Value last = m->invoke(Object::kDefaultMember, Invoke::Get, index);
    EXPECT_EQ(text(last), "ad");
}

TEST(EngineRegExp, RunawayBacktrackingEndsInAnError) {
    Engine engine;
    engine.executeStatement(u"Set r = New RegExp : r.Pattern = \"^(a|a?)+$\"");
    EXPECT_NE(errorNumber([&] { engine.eval(u"r.Test(String(40, \"a\") & \"!\")"); }), 0);
    // The engine is still usable afterwards.
    EXPECT_EQ(text(engine.eval(u"r.Test(\"aaa\")")), "True");
}

// ---- Compiled code reuse -----------------------------------------------------------------

TEST(EngineCache, IdenticalTextIsNotCompiledAgain) {
    const std::u16string procedures = u"Function Twice(x)\n Twice = x * 2\nEnd Function\n"
                                      u"Sub Unused()\nEnd Sub\n";
    auto wrap = [&](const char* startup) {
        return u"Sub Procedure_that_is_going_to_be_executed\r\n\r\n" + vbs::fromUtf8(startup) +
               u"\r\n\r\nEnd Sub\r\n\r\n" + procedures;
    };
    auto cache = std::make_shared<vbs::CompileCache>();
    Engine a, b;
    a.setCompileCache(cache);
    b.setCompileCache(cache);
    a.addCode(wrap("result = Twice(1)"));
    size_t misses = cache->misses();
    EXPECT_EQ(misses, 3u);
    // Another run with other start-up code: only the wrapper is new.
    a.reset();
    a.addCode(wrap("result = Twice(2)"));
    EXPECT_EQ(cache->misses(), misses + 1);
    // The same text in a second engine shares everything, and still runs correctly there.
    b.addCode(wrap("result = Twice(2)"));
    EXPECT_EQ(cache->misses(), misses + 1);
    b.executeStatement(u"Dim result");
    b.executeStatement(u"Procedure_that_is_going_to_be_executed");
    EXPECT_EQ(vbs::toLong(b.eval(u"result")), 4);
    EXPECT_TRUE(a.eval(u"IsEmpty(result)").booleanValue());
    // Errors are still reported at the right line of the new text.
    a.reset();
    try {
        a.addCode(u"\n\n\n" + procedures + u"x = Twice(\"q\")");
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_EQ(e.line(), 5);
    }
}

TEST(EngineCache, CodeCompiledWithAndWithoutFusingIsKeptApart) {
    // Units compiled one way must not be reused for an engine compiling the other way, neither
    // by their text nor as the unchanged end of the last text.
    const std::u16string procedures = u"Function Step3(n)\n Dim i, s\n s = 0\n"
                                      u" For i = 1 To n\n s = s + i * 3\n Next\n"
                                      u" Step3 = s\nEnd Function\n";
    auto cache = std::make_shared<vbs::CompileCache>();
    Engine fused, plain;
    fused.setCompileCache(cache);
    plain.setCompileCache(cache);
    plain.setFusing(false);
    EXPECT_TRUE(fused.fusing());
    EXPECT_FALSE(plain.fusing());
    fused.addCode(u"x = 1\n" + procedures);
    size_t misses = cache->misses();
    plain.addCode(u"x = 2\n" + procedures);
    EXPECT_EQ(cache->misses(), 2 * misses);
    plain.addCode(u"x = 2\n" + procedures);
    EXPECT_EQ(cache->misses(), 2 * misses);
    EXPECT_EQ(vbs::toLong(fused.run("Step3", std::vector<Value>{Value::integer(10)})), 165);
    EXPECT_EQ(vbs::toLong(plain.run("Step3", std::vector<Value>{Value::integer(10)})), 165);
    // Execute and Eval compile as their engine does.
    EXPECT_EQ(vbs::toLong(plain.eval(u"Step3(4) + x")), 32);
}

TEST(EngineCache, CallSitesTellANewClassFromAFreedOneAtTheSameAddress) {
    // `reader` keeps its compiled GetWanted, whose call site remembers the class it last read
    // from. `maker` defines a class, hands out an instance, and is reset with its cache
    // cleared, which frees the class; the next one is often made at the same address, with
    // Wanted elsewhere. The call site must look it up again.
    Engine reader, maker;
    reader.addCode(u"Function GetWanted(o)\n GetWanted = o.Wanted\nEnd Function\n");
    const char16_t* layouts[] = {u"Public Wanted, P1, P2", u"Public P1, Wanted, P2",
                                 u"Public P1, P2, Wanted"};
    for (int i = 0; i < 30; ++i) {
        maker.reset();
        maker.compileCache()->clear();
        maker.addCode(u"Class K\n" + std::u16string(layouts[i % 3]) +
                      u"\nEnd Class\n"
                      u"Set o = New K\no.Wanted = " +
                      vbs::fromUtf8(std::to_string(i)) + u"\n");
        Value o = maker.eval(u"o");
        maker.executeStatement(u"Set o = Nothing");
        EXPECT_EQ(text(reader.run("GetWanted", std::vector<Value>{o})), std::to_string(i));
    }
}

TEST(EngineCache, ATextThatChangesOnlyAtItsStartBehavesAsIfCutAfresh) {
    const std::u16string procedures = u"Sub A()\n x = 1\nEnd Sub\n"
                                      u"Sub B()\n y = CLng(\"bad\")\nEnd Sub\n";
    // What the text does in an engine that has seen nothing before.
    auto fresh = [](const std::u16string& code) {
        Engine engine;
        engine.setCompileCache(std::make_shared<vbs::CompileCache>());
        try {
            engine.addCode(code);
            engine.run("B");
        } catch (const ScriptError& e) {
            return std::make_tuple(e.number(), e.line(), e.column());
        }
        return std::make_tuple(0, 0, 0);
    };
    auto cache = std::make_shared<vbs::CompileCache>();
    Engine engine;
    engine.setCompileCache(cache);
    engine.addCode(u"Sub W\nEnd Sub\n" + procedures);
    const std::u16string starts[] = {
        u"\n\n\n",             // more lines before the same procedures
        u"Sub W\n",            // a wrapper without its End Sub swallows what follows
        u"x = 1 _\n",          // a continuation joins the next line
        u"Sub W\nEnd Sub\n",   // the text seen before
        u"Sub W : End Sub\n"}; // another first line
    for (const std::u16string& start : starts) {
        const std::u16string code = start + procedures;
        std::tuple<int, int, int> got{0, 0, 0};
        engine.reset();
        try {
            engine.addCode(code);
            engine.run("B");
        } catch (const ScriptError& e) {
            got = std::make_tuple(e.number(), e.line(), e.column());
        }
        EXPECT_EQ(got, fresh(code)) << vbs::toUtf8(start);
    }
    // The procedures were compiled once.
    EXPECT_EQ(cache->misses(), 1u + 2u + 1u);
}

TEST(EngineCache, DeclarationsInsideBlocksAreNoPlaceToReuseFrom) {
    // B sits inside an If: the code around it is one unit, so a new start must not be joined to
    // the units compiled after B last time.
    const std::u16string tail = u"Dim r\nIf n > 0 Then\nSub B()\n r = \"B\" & n\nEnd Sub\nEnd If\n"
                                u"Sub C()\n r = r & \"C\"\nEnd Sub\n";
    auto outcome = [](Engine& engine, const std::u16string& code) {
        try {
            engine.addCode(code);
            engine.run("B");
            engine.run("C");
            return vbs::toUtf8(vbs::toString(engine.eval(u"r")));
        } catch (const ScriptError& e) {
            return "error " + std::to_string(e.number()) + " at " + std::to_string(e.line());
        }
    };
    auto cache = std::make_shared<vbs::CompileCache>();
    Engine engine;
    engine.setCompileCache(cache);
    engine.addCode(u"n = 1\n" + tail);
    const std::u16string starts[] = {u"n = 2\n", u"If True Then\n", u"n = 3 : If n Then\n",
                                     u"\n\nn = 4\n", u"Sub W\n"};
    for (const std::u16string& start : starts) {
        engine.reset();
        Engine fresh;
        fresh.setCompileCache(std::make_shared<vbs::CompileCache>());
        EXPECT_EQ(outcome(engine, start + tail), outcome(fresh, start + tail))
            << vbs::toUtf8(start);
    }
    engine.reset();
    EXPECT_EQ(outcome(engine, u"n = 5\n" + tail), "B5C");
}

// ---- Re-entrancy and odd hosts -----------------------------------------------------------

TEST(EngineHostCalls, ForeignExceptionsPassThroughAndLeaveTheEngineUsable) {
    struct Stop {};
    Engine engine;
    Held host;
    host.object->add("Quit", [](Invoke, std::span<Value>) -> Value { throw Stop{}; });
    engine.addObject("Host", host.object, false);
    engine.addCode(u"Sub Deep(n)\n On Error Resume Next\n If n = 0 Then Host.Quit\n"
                   u" Deep n - 1\nEnd Sub\nFunction Fine() : Fine = 1 : End Function");
    bool stopped = false;
    try {
        engine.run("Deep", std::vector<Value>{Value::integer(5)});
    } catch (const Stop&) {
        stopped = true; // not an error the script could trap
    }
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(engine.isRunning());
    EXPECT_EQ(vbs::toLong(engine.run("Fine")), 1);
    EXPECT_NO_THROW(engine.reset());
}

TEST(EngineHostCalls, HostsCanCallBackIntoScriptObjectsAndRunNested) {
    Engine engine;
    Held host;
    host.object->add("Visit", [&](Invoke, std::span<Value> args) {
        Object* o = args[0].objectValue();
        Value add[] = {Value::integer(5)};
        o->invoke(o->memberId("Add"), Invoke::Call, add);
        // A nested run of the same engine while the outer one waits.
        return engine.run("Total");
    });
    engine.addObject("Host", host.object, false);
    engine.addCode(u"Dim sum\nClass Acc\n Sub Add(n) : sum = sum + n : End Sub\nEnd Class\n"
                   u"Function Total() : Total = sum : End Function\n"
                   u"Function Main() : Set a = New Acc : a.Add 1 : Main = Host.Visit(a) : "
                   u"End Function");
    EXPECT_EQ(vbs::toLong(engine.run("Main")), 6);
}

TEST(EngineHostCalls, TimeSpentInTheHostCountsTowardsTheTimeout) {
    Engine engine;
    int64_t now = 0;
    engine.setClock([&] { return now; });
    engine.setTimeout(100);
    Held host;
    host.object->add("Wait", [&](Invoke, std::span<Value>) {
        now += 60;
        return Value();
    });
    engine.addObject("Host", host.object, false);
    engine.addCode(u"Sub Twice : Host.Wait : Host.Wait : For i = 1 To 5000 : Next : End Sub\n"
                   u"Sub Once : Host.Wait : For i = 1 To 5000 : Next : End Sub");
    EXPECT_NO_THROW(engine.run("Once"));
    EXPECT_EQ(errorNumber([&] { engine.run("Twice"); }), vbs::errc::ScriptTimedOut);
}

TEST(EngineHostCalls, AssigningToAnAddedObjectSetsItsDefaultMember) {
    Engine engine;
    Held label;
    std::string caption = "old";
    label.object->setDefault([&](Invoke kind, std::span<Value> args) {
        if (kind == Invoke::Let) caption = text(args.back());
        return Value::fromUtf8(caption);
    });
    engine.addObject("Label1", label.object, false);
    engine.executeStatement(u"Label1 = \"new \" & Label1");
    EXPECT_EQ(caption, "new old");
    EXPECT_EQ(errorNumber([&] { engine.executeStatement(u"Set Label1 = Nothing"); }), 501);
    // Passed by reference, the object itself stays the host's.
    engine.executeStatement(u"Sub Clobber(v) : v = 5 : End Sub");
    engine.executeStatement(u"Clobber Label1");
    EXPECT_TRUE(engine.eval(u"IsObject(Label1)").booleanValue());
    engine.executeStatement(u"Label1(\"ignored\") = \"indexed\"");
    EXPECT_EQ(caption, "indexed");
}

// ---- Several texts -----------------------------------------------------------------------

TEST(EngineTexts, OptionExplicitBelongsToItsText) {
    Engine engine;
    engine.addCode(u"Option Explicit\nDim a\nSub UsesUndeclared : b = 1 : End Sub");
    EXPECT_NO_THROW(engine.addCode(u"c = 2\nSub Loose : d = 3 : End Sub"));
    EXPECT_NO_THROW(engine.run("Loose"));
    EXPECT_EQ(errorNumber([&] { engine.run("UsesUndeclared"); }), 500);
    EXPECT_EQ(vbs::toUtf8(engine.lastError().message), "Variable is undefined: 'b'");
    EXPECT_EQ(engine.lastError().line, 3);
}

TEST(EngineTexts, LaterDefinitionsReplaceEarlierOnes) {
    Engine engine;
    engine.addCode(u"Function Version() : Version = 1 : End Function");
    engine.addCode(u"Function Version() : Version = 2 : End Function");
    EXPECT_EQ(vbs::toLong(engine.run("Version")), 2);
    // Code added earlier that calls it gets the new one too.
    engine.reset();
    engine.addCode(u"Function Caller() : Caller = Version() : End Function");
    engine.addCode(u"Function Version() : Version = 3 : End Function");
    EXPECT_EQ(vbs::toLong(engine.run("Caller")), 3);
}

TEST(EngineTexts, CachedUnitsReportTheirOwnLines) {
    auto cache = std::make_shared<vbs::CompileCache>();
    const std::u16string proc = u"Sub Boom()\n  x = 1\n  y = CLng(\"bad\")\nEnd Sub\n";
    for (int blank : {0, 3, 10}) {
        Engine engine;
        engine.setCompileCache(cache);
        engine.addCode(std::u16string(size_t(blank), u'\n') + proc);
        try {
            engine.run("Boom");
            FAIL();
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.line(), blank + 3);
            EXPECT_EQ(e.column(), 3);
        }
    }
    EXPECT_EQ(cache->misses(), 1u);
    EXPECT_EQ(cache->hits(), 2u);
    // The same text starting at another column is another unit.
    Engine engine;
    engine.setCompileCache(cache);
    engine.addCode(u"x = 0 : " + proc);
    EXPECT_EQ(cache->misses(), 3u);
}

} // namespace
