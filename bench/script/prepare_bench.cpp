// How long the script host takes to prepare a run (reset the engine, add the library, the code
// with every procedure, every variable and the window's objects) in a large project: 1,000
// variables and 5,000 lines of procedures. The procedures text is the same before every run, so
// its compiled form is reused; the target is well under a millisecond.

#include "data/procedures_file.h"
#include "data/project.h"
#include "data/variables_file.h"
#include "engine/game.h"
#include "platform/application.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A project folder holding only what a game reset reads for its scripts.
void writeProject(const QString& root) {
    tv::Project& p = tv::project();
    p.folders.setRoot(root + "/");
    QDir().mkpath(p.folders.ConfigFolder);
    p.settings.ProjectName = "Bench";
    p.settings.GameTitle = "Bench";
    p.settings.ProjectWidth = 640;
    p.settings.ProjectHeight = 480;

    tv::VariablesFile vars;
    for (int i = 0; i < 500; ++i) {
        vars.integers << QString("Counter%1").arg(i);
        vars.variants << QString("Note%1").arg(i);
    }
    tv::writeVariablesFile(p.folders.ConfigFolder + "Variables", vars);

    // 1,000 procedures of five lines each.
    QStringList lines;
    for (int i = 0; i < 1000; ++i) {
        lines << QString("Sub Step%1(n)").arg(i) << "    Dim t"
              << "    t = n * 2 + Counter1.Value"
              << QString("    If t > %1 Then Note1.Value = \"high\"").arg(i) << "End Sub";
    }
    tv::ProceduresFile procs;
    procs.text = lines.join("\r\n");
    tv::writeProceduresFile(p.folders.ConfigFolder + "Procedures", procs);
}

struct Fixture {
    QTemporaryDir dir;
    bool written = (writeProject(dir.path()), true); // before the game reads the project
    tv::Game game;
    Fixture() {
        game.ResetAll();
        // A preparation that fails would be measured as fast.
        if (!game.scripts.AddCodeToScriptControl(game.scripts.ScriptControl(), "x = 1") ||
            game.scripts.ExecuteVBScript("Step1 1", false))
            qFatal("the benchmark project does not prepare");
    }
};

// Made on first use and gone before the application: windows outliving it cannot be deleted.
std::unique_ptr<Fixture>& fixtureSlot() {
    static std::unique_ptr<Fixture> f;
    return f;
}

Fixture& fixture() {
    if (!fixtureSlot()) fixtureSlot() = std::make_unique<Fixture>();
    return *fixtureSlot();
}

void BM_PrepareRun(benchmark::State& state) {
    tv::Game& game = fixture().game;
    tv::ScriptHost& host = game.scripts;
    for (auto _ : state) {
        const bool ok = host.AddCodeToScriptControl(host.ScriptControl(), "Counter2.Value = 1");
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_PrepareRun)->Unit(benchmark::kMicrosecond);

// The whole run: preparation, then the wrapper procedure calling one of the procedures.
void BM_PrepareAndRun(benchmark::State& state) {
    tv::ScriptHost& host = fixture().game.scripts;
    for (auto _ : state)
        benchmark::DoNotOptimize(host.ExecuteVBScript("Step500 3", false));
}
BENCHMARK(BM_PrepareAndRun)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    tv::Application app(argc, argv, true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixtureSlot().reset();
    return 0;
}
