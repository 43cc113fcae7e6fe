// vbsbench DIR [RUNS]: runs each benchmark of DIR on the script engine (in process, a fresh engine
// per run) and its Lua twin on lua5.4 (a process per run, less the start-up of lua5.4 on an empty
// script), checks that both computed the same result, and prints the median times and their
// ratio.

#include "vbscript/convert.h"
#include "vbscript/engine.h"
#include "vbscript/text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The host object of the property benchmark: one integer property, Value.
class Counter : public vbs::Object {
public:
    int memberId(std::string_view name) override {
        return vbs::equalsNoCase(name, "Value") ? 1 : kNoMember;
    }
    const void* memberTable() const override { return &kTable; }
    vbs::Value invoke(int id, vbs::Invoke kind, std::span<vbs::Value> args) override {
        if (id != 1 && id != kDefaultMember) throw vbs::ScriptError(vbs::errc::NoSuchMember);
        if (kind == vbs::Invoke::Let) {
            value_ = vbs::toLong(args.back());
            return {};
        }
        return vbs::Value::lng(value_);
    }

private:
    static constexpr int kTable = 0;
    int32_t value_ = 0;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string runScript(const std::u16string& code, double& elapsed) {
    auto start = Clock::now();
    vbs::Engine engine;
    engine.setTimeout(vbs::Engine::kNoTimeout);
    vbs::Value host = vbs::Value::object(new Counter);
    engine.addObject("Host", host.objectValue());
    engine.addCode(code);
    std::string result = vbs::toUtf8(vbs::toString(engine.eval(u"result")));
    elapsed = seconds(Clock::now() - start);
    return result;
}

std::string runLua(const std::string& path, double& elapsed) {
    auto start = Clock::now();
    std::string command = "lua5.4 '" + path + "'";
    FILE* p = popen(command.c_str(), "r");
    if (!p) return "(lua5.4 did not start)";
    std::string out;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    int status = pclose(p);
    elapsed = seconds(Clock::now() - start);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    if (status != 0) return "(lua5.4 failed: " + out + ")";
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vbsbench DIR [RUNS]\n");
        return 2;
    }
    std::string dir = argv[1];
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const char* names[] = {"fib", "loop", "strings", "sort", "host"};
    // What starting lua5.4 costs, taken off its times: ours run in process.
    std::vector<double> starts;
    std::string empty = dir + "/empty.lua";
    for (int r = 0; r < runs; ++r) {
        double t = 0;
        runLua(empty, t);
        starts.push_back(t);
    }
    double start = median(starts);
    std::printf("lua5.4 start-up %.3f s, taken off its times\n", start);
    std::printf("%-10s %12s %12s %12s  %s\n", "benchmark", "ours (s)", "lua5.4 (s)", "ours/lua",
                "result");
    bool ok = true;
    for (const char* name : names) {
        std::u16string code = vbs::fromUtf8(readFile(dir + "/" + name + ".vbs"));
        std::vector<double> ours, lua;
        std::string ourResult, luaResult;
        try {
            for (int r = 0; r < runs; ++r) {
                double t = 0;
                ourResult = runScript(code, t);
                ours.push_back(t);
            }
        } catch (const vbs::ScriptError& e) {
            std::printf("%-10s script error: %s\n", name, vbs::toUtf8(e.message()).c_str());
            ok = false;
            continue;
        }
        for (int r = 0; r < runs; ++r) {
            double t = 0;
            luaResult = runLua(dir + "/" + name + ".lua", t);
            lua.push_back(t);
        }
        double a = median(ours), b = std::max(median(lua) - start, 1e-6);
        bool same = ourResult == luaResult;
        ok = ok && same;
        std::printf("%-10s %12.3f %12.3f %11.2fx  %s\n", name, a, b, a / b,
                    same ? ourResult.c_str() : (ourResult + " != " + luaResult).c_str());
    }
    return ok ? 0 : 1;
}
