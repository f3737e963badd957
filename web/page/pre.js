// Before main runs, the page fetches the track texture from its own folder into the
// program's working folder, where the game opens it as on the desktop. So the
// texture can be swapped on the server. A file the server does not give is left out,
// and the loader reports it as missing; a broken one is written as it came, and the
// loader reports what is wrong with it.
Module["preRun"] = [].concat(Module["preRun"] || [], function() {
    addRunDependency("surface.bmp");
    fetch("surface.bmp", {cache: "no-cache"})
        .then(function(response) { return response.ok ? response.arrayBuffer() : null; })
        .then(function(bytes) {
            if (bytes)
                FS.writeFile("surface.bmp", new Uint8Array(bytes));
        })
        .catch(function() {})
        .then(function() { removeRunDependency("surface.bmp"); });
});

// exit() ends the game (Escape). The runtime stays alive for the animation frames and
// would only unwind the call, so the end is made here: nothing runs any more, the
// window's input no longer reaches the game, and the page is told (Module.onExit).
Module["quit"] = function(status, toThrow) {
    ABORT = true;
    if (Module["inputGate"])
        Module["inputGate"].ended = true;
    if (Module["onExit"])
        Module["onExit"](status);
    throw toThrow;
};
