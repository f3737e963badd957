// The page around the game: the canvas fitted to the window, the help, the full-screen
// button, the touch controls, and the end of the game with its "Play again".
// Everything the game hears from here passes the input gate (app/InputGate.web.cpp),
// as the keyboard and the mouse do, so it is held while a message box is open and
// stops when the game ends.
(function() {
    var canvas = document.getElementById("canvas");
    var byId = function(id) { return document.getElementById(id); };

    // The drawing buffer is the canvas's size on the page times the device pixel ratio,
    // at most 2: sharp on a phone, and no more pixels than a phone can fill.
    function bufferSize()
    {
        var ratio = Math.min(window.devicePixelRatio || 1, 2);
        return [Math.max(1, Math.round(canvas.clientWidth * ratio)),
                Math.max(1, Math.round(canvas.clientHeight * ratio))];
    }

    // The game's reshape callback hears of each new size, so the picture keeps its
    // 60-degree vertical view at the new shape. The game calls it once as it starts
    // (app/MainLoop.web.cpp), after GLUT has given the canvas the window's size.
    function fit(starting)
    {
        var size = bufferSize();
        var same = canvas.width == size[0] && canvas.height == size[1];
        if (same && starting !== true)
            return;
        // Setting a size, even the same one, makes the drawing buffer anew.
        if (!same) {
            canvas.width = size[0];
            canvas.height = size[1];
        }
        if (Module.inputGate && !Module.inputGate.ended)
            Browser.updateResizeListeners();
    }
    Module.fitCanvas = function() { fit(true); };
    fit();
    window.addEventListener("resize", fit);
    if (window.ResizeObserver)
        new ResizeObserver(fit).observe(canvas);

    // The help shows at the start and goes at "Got it" or when the run has begun for a
    // while; "?" brings it back.
    var help = byId("help"), helpOpen = byId("help-open");
    function showHelp(shown)
    {
        help.hidden = !shown;
        helpOpen.hidden = shown;
    }
    byId("help-close").onclick = function() { showHelp(false); canvas.focus(); };
    helpOpen.onclick = function() { showHelp(true); };
    setTimeout(function() { showHelp(false); }, 12000);

    var root = document.documentElement;
    var fullscreen = byId("fullscreen");
    if (root.requestFullscreen && document.fullscreenEnabled) {
        fullscreen.hidden = false;
        fullscreen.onclick = function()
        {
            if (document.fullscreenElement)
                document.exitFullscreen();
            else
                root.requestFullscreen().catch(function() {});
            canvas.focus();
        };
    }

    // Arrow keys, Space and the page keys scroll nothing while the game has the keys.
    window.addEventListener("keydown", function(event) {
        if (event.target.tagName != "BUTTON" &&
            [ " ", "ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "PageUp", "PageDown",
              "Home", "End" ].indexOf(event.key) >= 0)
            event.preventDefault();
    });

    // The game's keys, sent as the keyboard sends them.
    function sendKey(letter, down)
    {
        if (!Module.inputGate)
            return;
        var code = letter.toUpperCase().charCodeAt(0);
        Module.inputGate.handlers[down ? "keydown" : "keyup"]({
            key : letter, keyCode : code, repeat : false, preventDefault : function() {}
        });
    }

    // A touch screen shows the controls from its first touch on, or from the start
    // where the main pointer is coarse.
    function useTouch() { document.body.classList.add("touch"); }
    if (window.matchMedia && window.matchMedia("(pointer: coarse)").matches)
        useTouch();
    window.addEventListener("touchstart", useTouch, {capture : true, passive : true});

    // Each control acts as its key while a finger (or the mouse) holds it: lifting the
    // finger, sliding it off, a cancelled touch or the page losing the focus lets go.
    var controls = [];
    [[ "steer-left", "a" ], [ "steer-right", "d" ], [ "brake", "b" ]].forEach(function(pair) {
        var button = byId(pair[0]), letter = pair[1], pointers = new Set();
        function update()
        {
            var held = pointers.size > 0;
            if (held == button.classList.contains("held"))
                return;
            button.classList.toggle("held", held);
            sendKey(letter, held);
        }
        function release(event)
        {
            pointers.delete(event.pointerId);
            update();
        }
        button.addEventListener("pointerdown", function(event) {
            event.preventDefault();
            // A finger's pointer belongs to where it went down unless let go: released,
            // sliding off the control is seen.
            if (button.hasPointerCapture(event.pointerId))
                button.releasePointerCapture(event.pointerId);
            pointers.add(event.pointerId);
            update();
        });
        ["pointerup", "pointercancel", "pointerleave"].forEach(function(type) {
            button.addEventListener(type, release);
        });
        button.addEventListener("touchcancel", function() { pointers.clear(); update(); });
        button.addEventListener("contextmenu", function(event) { event.preventDefault(); });
        controls.push(function() { pointers.clear(); update(); });
    });
    function releaseAll() { controls.forEach(function(letGo) { letGo(); }); }
    window.addEventListener("blur", releaseAll);
    document.addEventListener("visibilitychange", function() {
        if (document.hidden)
            releaseAll();
    });

    // Fingers on the canvas are the mouse: one finger drags with the left button (the
    // eye in x and y), two with the right (the eye in z), at their midpoint.
    var dragButton = -1;
    function mouse(type, button, x, y)
    {
        if (!Module.inputGate)
            return;
        Module.inputGate.handlers[type]({
            type : type, button : button, pageX : x + window.scrollX, pageY : y + window.scrollY,
            target : canvas, preventDefault : function() {}
        });
    }
    function onTouches(event)
    {
        event.preventDefault();
        var touches = event.touches, count = Math.min(touches.length, 2);
        var x = 0, y = 0;
        for (var i = 0; i < count; i++) {
            x += touches[i].clientX / count;
            y += touches[i].clientY / count;
        }
        var button = count == 0 ? -1 : count == 1 ? 0 : 2;
        if (button != dragButton) {
            if (dragButton >= 0)
                mouse("mouseup", dragButton, x, y);
            dragButton = button;
            if (button >= 0)
                mouse("mousedown", button, x, y);
        } else if (button >= 0) {
            mouse("mousemove", button, x, y);
        }
    }
    ["touchstart", "touchmove", "touchend", "touchcancel"].forEach(function(type) {
        canvas.addEventListener(type, onTouches, {passive : false});
    });

    // The end of the game (Escape): the page says so and offers a new game, which is
    // the page loaded again; the keys come back to the page.
    Module.showEnd = function(text)
    {
        releaseAll();
        byId("status").textContent = text;
        byId("ended").hidden = false;
        var again = byId("play-again");
        again.onclick = function() { location.reload(); };
        again.focus();
    };
})();
