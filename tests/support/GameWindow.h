#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "tests/support/WindowImage.h"
#include "tests/support/XWindowProbe.h"

// The real game on the X display as a player meets it: started in a folder, its window
// found by its title, looked at and typed into from outside (probe), ended. Nothing
// measures time: every wait polls and gives up after `patience`, and a call that fails
// says why in `trouble`. The game is killed and reaped when the object goes.
class GameWindow {
public:
    // Pictures of failed waits go to shots/<label>.png when shots names a folder.
    explicit GameWindow(std::chrono::seconds patience, std::string shots = "");
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // Starts command (argv[0] as given) in folder, its standard error into errorFile
    // when one is named, and waits for its window titled title. A window left by a game
    // killed before is not taken for this one.
    bool start(const std::string& command, const std::string& title, const std::string& folder,
               const std::string& errorFile = "");
    // Polls until condition holds; false at the deadline or once the game has ended.
    bool waitUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds pause = std::chrono::milliseconds(20));
    // Grabs pictures of the game's window, or of the one titled shown, until one passes
    // test, into `picture`. Held still, the game stalls while a picture is taken and
    // tested.
    bool waitFor(const std::string& label, const std::function<bool(const WindowImage&)>& test,
                 bool holdStill = false, const std::string& shown = "");
    // Types Escape: true once the game has ended with status 0.
    bool endWithEscape();
    int processId() const { return pid; }

    XWindowProbe probe;
    unsigned long window = 0;
    WindowImage picture;
    std::string trouble;

private:
    bool hasEnded();
    void stop();

    const std::chrono::seconds patience;
    const std::string shots;
    int pid = -1;
    bool reaped = false;
    int status = 0;
};
