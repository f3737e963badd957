#include "app/InputGate.h"

#include <emscripten.h>

namespace {

// Module.inputGate: box, the open message box's key handler or null; ended, once the
// game has ended; handlers[type](event), the way in for the page's own controls
// (touch), which pass the same gate as the window's events. GLUT's own handlers are taken off
// the window and put back behind the gate; its touch handler, which knows one finger
// only and no cancel, is left off: the page handles touch (web/page/controls.js).
// exit() unwinds the game by throwing out of the handler that called it: that is the
// end of the game, not a fault, so it goes no further.
EM_JS(void, installGate, (), {
    if (Module.inputGate)
        return;
    var gate = Module.inputGate = {box : null, handlers : {}};
    var guard = function(type, handler)
    {
        window.removeEventListener(type, handler, true);
        var guarded = function(event)
        {
            if (gate.ended)
                return;
            if (gate.box) {
                if (type == "keydown")
                    gate.box(event);
                return;
            }
            if (type == "keydown" && event.repeat && Module.dropRepeatedKeys) {
                event.preventDefault();
                return;
            }
            try {
                handler(event);
            } catch (e) {
                if (!(e instanceof ExitStatus))
                    throw e;
            }
        };
        gate.handlers[type] = guarded;
        window.addEventListener(type, guarded, true);
    };
    guard("keydown", GLUT.onKeydown);
    guard("keyup", GLUT.onKeyup);
    guard("mousedown", GLUT.onMouseButtonDown);
    guard("mouseup", GLUT.onMouseButtonUp);
    guard("mousemove", GLUT.onMousemove);
    window.removeEventListener("touchstart", GLUT.touchHandler, true);
    window.removeEventListener("touchmove", GLUT.touchHandler, true);
    window.removeEventListener("touchend", GLUT.touchHandler, true);
});

EM_JS(int, boxOpen, (), { return Module.inputGate && Module.inputGate.box ? 1 : 0; });

} // namespace

void InputGate::install()
{
    installGate();
}

bool InputGate::held()
{
    return boxOpen() != 0;
}
