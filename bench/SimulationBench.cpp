// The simulation alone: whole runs (intro, rolling with no input, and the phase
// that ends the run) ticked without drawing, against the GL double with its
// recording switched off, so the GL calls a tick makes cost next to nothing.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include "input/ControlState.h"
#include "scene/Scene.h"
#include "sim/Simulation.h"
#include "support/GlRecorder.h"

namespace {

// The ticks up to and including the one that starts the next run's intro.
long tickOneRun(Simulation& simulation)
{
    const long limit = 10000000; // far beyond any run; guards against a stuck run
    long ticks = 0;
    do {
        simulation.tick();
        ++ticks;
    } while (!(simulation.isIntro() && simulation.getPhaseTicks() == 0) && ticks < limit);
    return ticks;
}

Simulation* makeSimulation()
{
    glRecorder::setRecording(false);
    // The scene loads its texture from the working directory, as the game does.
    if (chdir(MARBLE_ASSETS_DIR) != 0)
        return nullptr;
    // Built once and kept, like the game's own objects.
    static Scene* scene = new Scene();
    static ControlState* controls = new ControlState();
    static Simulation* simulation = new Simulation(scene, controls);
    return simulation;
}

void WholeRun(benchmark::State& state)
{
    Simulation* simulation = makeSimulation();
    if (!simulation) {
        state.SkipWithError("cannot enter " MARBLE_ASSETS_DIR);
        return;
    }
    long ticks = 0;
    for (auto _ : state)
        ticks += tickOneRun(*simulation);
    state.counters["ticks_per_run"] =
        benchmark::Counter(static_cast<double>(ticks) / static_cast<double>(state.iterations()));
    // Shown in seconds per tick (e.g. "95n" is 95 ns).
    state.counters["time_per_tick"] = benchmark::Counter(
        static_cast<double>(ticks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(WholeRun)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
