// vbsbench DIR [RUNS]: runs each benchmark of DIR on the script engine and its Lua twin on lua5.4,
// each as a process of its own (vbsbench --run FILE for ours), checks that both computed the same
// result, and prints the median processor times of the whole processes (start-up, reading and
// compiling included) and their ratio.

#include "vbscript/convert.h"
#include "vbscript/engine.h"
#include "vbscript/text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
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

// vbsbench --run FILE: the child that runs one benchmark and prints its result.
int runChild(const char* path) {
    try {
        vbs::Engine engine;
        engine.setTimeout(vbs::Engine::kNoTimeout);
        vbs::Value host = vbs::Value::object(new Counter);
        engine.addObject("Host", host.objectValue());
        engine.addCode(vbs::fromUtf8(readFile(path)));
        std::printf("%s\n", vbs::toUtf8(vbs::toString(engine.eval(u"result"))).c_str());
        return 0;
    } catch (const vbs::ScriptError& e) {
        std::printf("script error: %s\n", vbs::toUtf8(e.message()).c_str());
        return 1;
    }
}

// Runs argv as a child process and returns what it printed, its processor time (user and system,
// from its start) in `elapsed`. Processor time rather than wall time: other work on a shared
// machine counts less.
std::string runProcess(std::vector<std::string> argv, double& elapsed) {
    int fds[2];
    if (pipe(fds) != 0) return "(no pipe)";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    close(fds[0]);
    if (failed) return "(" + argv[0] + " did not start)";
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    elapsed = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "(" + argv[0] + " failed: " + out + ")";
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--run") return runChild(argv[2]);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vbsbench DIR [RUNS]\n");
        return 2;
    }
    std::string self = "/proc/self/exe";
    char exe[4096];
    ssize_t len = readlink(self.c_str(), exe, sizeof exe - 1);
    if (len > 0) self.assign(exe, size_t(len));
    std::string dir = argv[1];
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const char* names[] = {"fib",  "loop",    "strings", "sort",
                           "host", "modloop", "bigsort", "members"};
    std::printf("processor time of the whole process, median of %d runs\n", runs);
    std::printf("%-10s %12s %12s %12s  %s\n", "benchmark", "ours (s)", "lua5.4 (s)", "ours/lua",
                "result");
    bool ok = true;
    for (const char* name : names) {
        std::vector<double> ours, lua;
        std::string ourResult, luaResult;
        // Turn about, so that both see the same load on a shared machine.
        for (int r = 0; r < runs; ++r) {
            double t = 0;
            ourResult = runProcess({self, "--run", dir + "/" + name + ".vbs"}, t);
            ours.push_back(t);
            luaResult = runProcess({"lua5.4", dir + "/" + name + ".lua"}, t);
            lua.push_back(t);
        }
        double a = median(ours), b = std::max(median(lua), 1e-6);
        bool same = ourResult == luaResult;
        ok = ok && same;
        std::printf("%-10s %12.3f %12.3f %11.2fx  %s\n", name, a, b, a / b,
                    same ? ourResult.c_str() : (ourResult + " != " + luaResult).c_str());
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
