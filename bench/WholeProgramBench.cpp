// Whole-program frame benchmark: starts the real game and a bare GLUT program
// (bench/BareGlut.cpp, the floor) with the swap probe preloaded
// (bench/SwapProbe.cpp) and compares
//   - start-up: time from exec to the first completed glutSwapBuffers, and
//   - steady frame time over a range of frames (by default 450 to 1400: with no
//     input the game is then rolling, after its 400-tick intro).
// Needs an X display; `make bench` runs it under Xvfb with Mesa's llvmpipe.
//
// Usage: marble_frame_bench [--startup-runs N] [--from FRAME] [--to FRAME]

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Launch {
    bool ok = false;
    long long start = 0;          // CLOCK_MONOTONIC ns, taken in the child just before exec
    std::vector<long long> swaps; // CLOCK_MONOTONIC ns of each completed swap
    std::vector<long long> costs; // ns of work in each frame, its sleep left out
    std::string renderer;
};

struct Figures {
    std::vector<double> startupMs;
    double frameMeanMs = 0.0;
    double frameMedianMs = 0.0;
    std::string renderer;
};

long long nowNanoseconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Runs exe in its own directory (the game reads surface.bmp from there) until
// the probe has seen `frames` swaps and ended it, or kills it after timeoutSeconds.
Launch launch(const std::string& exe, long frames, const std::string& probe,
              const std::string& logPath, int timeoutSeconds)
{
    Launch result;
    int startPipe[2];
    if (pipe2(startPipe, O_CLOEXEC) != 0)
        return result;

    const pid_t child = fork();
    if (child < 0)
        return result;
    if (child == 0) {
        close(startPipe[0]);
        if (chdir(directoryOf(exe).c_str()) != 0)
            _exit(127);
        const std::string errPath = logPath + ".stderr";
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0)
            dup2(err, STDERR_FILENO);
        setenv("LD_PRELOAD", probe.c_str(), 1);
        setenv("MARBLE_SWAP_LOG", logPath.c_str(), 1);
        setenv("MARBLE_SWAP_FRAMES", std::to_string(frames).c_str(), 1);
        char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
        const long long start = nowNanoseconds();
        if (write(startPipe[1], &start, sizeof start) != sizeof start)
            _exit(127);
        execv(exe.c_str(), argv);
        _exit(127);
    }

    close(startPipe[1]);
    const bool gotStart = read(startPipe[0], &result.start, sizeof result.start) ==
                          static_cast<ssize_t>(sizeof result.start);
    close(startPipe[0]);

    int status = 0;
    const long long deadline = nowNanoseconds() + timeoutSeconds * 1000000000LL;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (nowNanoseconds() > deadline) {
            std::fprintf(stderr, "%s: no %ld frames within %d s, killed\n", exe.c_str(), frames,
                         timeoutSeconds);
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return result;
        }
        usleep(10000);
    }
    if (!gotStart || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: ended abnormally (see %s.stderr)\n", exe.c_str(),
                     logPath.c_str());
        return result;
    }

    std::ifstream log(logPath);
    std::string word;
    log >> word;
    std::getline(log, result.renderer);
    if (!result.renderer.empty() && result.renderer[0] == ' ')
        result.renderer.erase(0, 1);
    long long t, cost;
    while (log >> t >> cost) {
        result.swaps.push_back(t);
        result.costs.push_back(cost);
    }
    result.ok = word == "renderer" && static_cast<long>(result.swaps.size()) == frames;
    return result;
}

double startupMs(const Launch& l)
{
    return (l.swaps.front() - l.start) / 1e6;
}

std::string cpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

std::string loadAverage()
{
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five;
    loadavg >> one >> five;
    return one + " (1 min), " + five + " (5 min)";
}

void printRow(const char* what, double game, double bare, const char* note)
{
    std::printf("%-38s %9.2f ms %9.2f ms %9.2f   %s\n", what, game, bare,
                bare > 0.0 ? game / bare : 0.0, note);
}

} // namespace

int main(int argc, char** argv)
{
    int startupRuns = 5;
    long from = 450;
    long to = 1400;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--startup-runs") == 0)
            startupRuns = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--from") == 0)
            from = std::atol(argv[i + 1]);
        else if (std::strcmp(argv[i], "--to") == 0)
            to = std::atol(argv[i + 1]);
    }
    if (startupRuns < 1 || from < 2 || to <= from || (argc - 1) % 2 != 0) {
        std::fprintf(stderr, "usage: %s [--startup-runs N] [--from FRAME] [--to FRAME]\n", argv[0]);
        return 2;
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(
            stderr,
            "%s: needs an X display (run it with make bench, or under tools/with-xvfb.sh)\n",
            argv[0]);
        return 2;
    }

    char scratch[] = "/tmp/marble-bench-XXXXXX";
    if (!mkdtemp(scratch)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string logPath = std::string(scratch) + "/swaps.log";
    const std::string programs[2] = {MARBLE_EXE, BARE_GLUT_EXE};
    Figures figures[2];

    std::printf("marble whole-program benchmark\n");
    std::printf("machine: %ld cores, %s; load average %s\n", sysconf(_SC_NPROCESSORS_ONLN),
                cpuModel().c_str(), loadAverage().c_str());

    // Start-up runs alternate between the two programs, so a change in the
    // machine's load hits both alike.
    for (int run = 0; run < startupRuns; ++run) {
        for (int p = 0; p < 2; ++p) {
            const Launch l = launch(programs[p], 1, SWAP_PROBE_LIB, logPath, 60);
            if (!l.ok)
                return 1;
            figures[p].startupMs.push_back(startupMs(l));
        }
    }

    for (int p = 0; p < 2; ++p) {
        const Launch l = launch(programs[p], to, SWAP_PROBE_LIB, logPath, 600);
        if (!l.ok)
            return 1;
        figures[p].startupMs.push_back(startupMs(l));
        figures[p].renderer = l.renderer;
        // Frame n is swap n (1-based): the frames from+1 .. to. The game sleeps until
        // a tick is due, so a frame's time is its work, not the time between swaps.
        std::vector<double> costs;
        double total = 0;
        for (long n = from + 1; n <= to; ++n) {
            costs.push_back(l.costs[n - 1] / 1e6);
            total += costs.back();
        }
        figures[p].frameMeanMs = total / (to - from);
        figures[p].frameMedianMs = median(costs);
    }
    std::remove(logPath.c_str());
    std::remove((logPath + ".stderr").c_str());
    rmdir(scratch);

    std::printf("renderer: %s (game), %s (bare)\n\n", figures[0].renderer.c_str(),
                figures[1].renderer.c_str());
    std::printf("%-38s %12s %12s %10s\n", "", "game", "bare", "game/bare");
    char note[64];
    std::snprintf(note, sizeof note, "median of %d runs", startupRuns + 1);
    printRow("start-up: exec to first swap", median(figures[0].startupMs),
             median(figures[1].startupMs), note);
    const std::string frames =
        "frame time, frames " + std::to_string(from) + "-" + std::to_string(to);
    printRow((frames + ": mean").c_str(), figures[0].frameMeanMs, figures[1].frameMeanMs, "");
    printRow((frames + ": median").c_str(), figures[0].frameMedianMs, figures[1].frameMedianMs, "");
    return 0;
}
