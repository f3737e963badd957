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
        }, function() {})
        .then(function() { removeRunDependency("surface.bmp"); });
});
