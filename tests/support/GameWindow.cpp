#include "tests/support/GameWindow.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

std::string describe(int status)
{
    return WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                             : "signal " + std::to_string(WTERMSIG(status));
}

} // namespace

GameWindow::GameWindow(std::chrono::seconds patience, std::string shots)
    : patience(patience), shots(std::move(shots))
{
}

GameWindow::~GameWindow()
{
    stop();
}

void GameWindow::stop()
{
    if (pid > 0 && !reaped) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

bool GameWindow::start(const std::string& command, const std::string& title,
                       const std::string& folder, const std::string& errorFile)
{
    stop();
    if (!probe.isOpen() || !probe.hasXTest()) {
        trouble = "no X display with the XTEST extension: run under tools/with-xvfb.sh";
        return false;
    }
    if (!waitUntil([&] { return !probe.findWindow(title); })) {
        trouble = "a window titled " + title + " stays open";
        return false;
    }
    std::string argv0 = command;
    char* argv[] = {argv0.data(), nullptr};
    const std::string path = std::filesystem::absolute(command).string(); // before chdir
    const pid_t parent = getpid();
    reaped = false;
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL); // dies with its starter, even a killed one
        const int error =
            errorFile.empty() ? 2 : open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        // A sanitized game loads the GL driver, whose memory is not the game's to
        // answer for: its leak check is off. Any other sanitizer error still ends it.
        const char* options = getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS",
               (options ? options + std::string(":") : "").append("detect_leaks=0").c_str(), 1);
        if (getppid() == parent && chdir(folder.c_str()) == 0 && dup2(error, 2) == 2)
            execv(path.c_str(), argv);
        _exit(127);
    }
    if (waitUntil([&] { return (window = probe.findWindow(title)) != 0; }))
        return true;
    trouble = trouble.empty() ? "no window titled " + title : trouble;
    return false;
}

bool GameWindow::hasEnded()
{
    if (!reaped && pid > 0 && waitpid(pid, &status, WNOHANG) == pid)
        reaped = true;
    return reaped;
}

bool GameWindow::waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds pause)
{
    const auto deadline = Clock::now() + patience;
    bool held = false;
    while (!(held = condition()) && !hasEnded() && Clock::now() < deadline)
        std::this_thread::sleep_for(pause);
    trouble = held || !reaped ? "" : "the game ended early, " + describe(status);
    return held;
}

bool GameWindow::waitFor(const std::string& label,
                         const std::function<bool(const WindowImage&)>& test, bool holdStill,
                         const std::string& shown)
{
    const bool passed = waitUntil(
        [&] {
            const unsigned long look = shown.empty() ? window : probe.findWindow(shown);
            if (holdStill && !probe.freeze())
                return false;
            const bool seen = look && probe.grab(look, picture) && test(picture);
            if (holdStill)
                probe.thaw();
            return seen;
        },
        std::chrono::milliseconds(0));
    if (!passed && !shots.empty()) {
        std::filesystem::create_directories(shots);
        picture.savePng(shots + "/" + label + ".png");
    }
    return passed;
}

bool GameWindow::endWithEscape()
{
    if (!probe.key("Escape", true)) {
        trouble = "Escape could not be typed";
        return false;
    }
    probe.key("Escape", false); // the process may already be gone
    waitUntil([&] { return hasEnded(); });
    trouble = reaped ? "the game ended with " + describe(status) : "Escape did not end the game";
    return reaped && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
