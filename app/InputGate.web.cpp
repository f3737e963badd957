#include "app/InputGate.h"

#include <emscripten.h>

namespace {

// Module.inputGate: dropRepeats; box, the open message box's key handler or null;
// ended, once the game has ended. GLUT's own handlers are taken off the window and put back behind
// the gate.
EM_JS(void, installGate, (), {
    if (Module.inputGate)
        return;
    var gate = Module.inputGate = {dropRepeats : false, box : null};
    var guard = function(type, handler)
    {
        window.removeEventListener(type, handler, true);
        window.addEventListener(
            type,
            function(event) {
                if (gate.ended)
                    return;
                if (gate.box) {
                    if (type == "keydown")
                        gate.box(event);
                    return;
                }
                if (type == "keydown" && event.repeat && gate.dropRepeats) {
                    event.preventDefault();
                    return;
                }
                handler(event);
            },
            true);
    };
    guard("keydown", GLUT.onKeydown);
    guard("keyup", GLUT.onKeyup);
    guard("mousedown", GLUT.onMouseButtonDown);
    guard("mouseup", GLUT.onMouseButtonUp);
    guard("mousemove", GLUT.onMousemove);
});

EM_JS(void, setDropRepeats, (int drop), { Module.inputGate.dropRepeats = drop != 0; });

EM_JS(int, boxOpen, (), { return Module.inputGate && Module.inputGate.box ? 1 : 0; });

} // namespace

void InputGate::install()
{
    installGate();
}

void InputGate::dropRepeatedKeys(bool drop)
{
    installGate();
    setDropRepeats(drop);
}

bool InputGate::held()
{
    return boxOpen() != 0;
}
