#pragma once

// The real game, started the way a user would: argv[0] as given, in a chosen
// working folder, its standard error into errorFile when one is named. Killed and
// reaped when the object goes, whatever the test did.

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

class GameProcess {
public:
    GameProcess(const std::string& path, std::string argv0, const std::string& folder,
                const std::string& errorFile = "")
    {
        char* argv[] = {argv0.data(), nullptr};
        const pid_t parent = getpid();
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL); // dies with the test, even a killed one
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
    }
    ~GameProcess()
    {
        if (pid > 0 && !reaped) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t id() const { return pid; }

    // True, with the wait status, once the process has ended.
    bool hasEnded(int& status)
    {
        if (!reaped && pid > 0 && waitpid(pid, &endStatus, WNOHANG) == pid)
            reaped = true;
        status = endStatus;
        return reaped;
    }

    // Polls until the process ends; false if it still runs after `patience`.
    bool waitForExit(std::chrono::seconds patience, int& status)
    {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!hasEnded(status) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return reaped;
    }

    // How a process ended, for messages.
    static std::string describe(int status)
    {
        return WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                 : "signal " + std::to_string(WTERMSIG(status));
    }

private:
    pid_t pid = -1;
    bool reaped = false;
    int endStatus = 0;
};
