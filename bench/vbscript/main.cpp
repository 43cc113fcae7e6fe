// vbsbench DIR [RUNS]: runs each benchmark of DIR on the script engine (in process, a fresh engine
// per run) and its Lua twin on lua5.4 (a process per run), checks that both computed the same
// result, and prints the median processor times (compiling included, start-up of lua5.4 not)
// and their ratio.

#include "vbscript/convert.h"
#include "vbscript/engine.h"
#include "vbscript/text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

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

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Processor time of this thread: other work on a shared machine counts less than in wall time.
double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

std::string runScript(const std::u16string& code, double& elapsed) {
    double start = cpuSeconds();
    vbs::Engine engine;
    engine.setTimeout(vbs::Engine::kNoTimeout);
    vbs::Value host = vbs::Value::object(new Counter);
    engine.addObject("Host", host.objectValue());
    engine.addCode(code);
    std::string result = vbs::toUtf8(vbs::toString(engine.eval(u"result")));
    elapsed = cpuSeconds() - start;
    return result;
}

// Runs the script in lua5.4, which reports the processor time the script took (os.clock) on the
// last line of its output, after the script's own result.
std::string runLua(const std::string& path, double& elapsed) {
    std::string command = "lua5.4 -e \"local t = os.clock(); dofile('" + path +
                          "'); print(string.format('%.6f', os.clock() - t))\"";
    FILE* p = popen(command.c_str(), "r");
    if (!p) return "(lua5.4 did not start)";
    std::string out;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    int status = pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    size_t cut = out.rfind('\n');
    if (status != 0 || cut == std::string::npos) return "(lua5.4 failed: " + out + ")";
    elapsed = std::atof(out.c_str() + cut + 1);
    return out.substr(0, cut);
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
    std::printf("processor time, median of %d runs\n", runs);
    std::printf("%-10s %12s %12s %12s  %s\n", "benchmark", "ours (s)", "lua5.4 (s)", "ours/lua",
                "result");
    bool ok = true;
    for (const char* name : names) {
        std::u16string code = vbs::fromUtf8(readFile(dir + "/" + name + ".vbs"));
        std::vector<double> ours, lua;
        std::string ourResult, luaResult;
        try {
            // Turn about, so that both see the same load on a shared machine.
            for (int r = 0; r < runs; ++r) {
                double t = 0;
                ourResult = runScript(code, t);
                ours.push_back(t);
                luaResult = runLua(dir + "/" + name + ".lua", t);
                lua.push_back(t);
            }
        } catch (const vbs::ScriptError& e) {
            std::printf("%-10s script error: %s\n", name, vbs::toUtf8(e.message()).c_str());
            ok = false;
            continue;
        }
        double a = median(ours), b = std::max(median(lua), 1e-6);
        bool same = ourResult == luaResult;
        ok = ok && same;
        std::printf("%-10s %12.3f %12.3f %11.2fx  %s\n", name, a, b, a / b,
                    same ? ourResult.c_str() : (ourResult + " != " + luaResult).c_str());
    }
    return ok ? 0 : 1;
}
