#include "app/MessageDialog.h"

#include <emscripten.h>

#include "app/InputGate.h"

namespace {

// A box over the page, made of the page's own elements: the caption, the text and an
// OK button, dismissed by OK, Enter or Escape. A browser cannot wait inside a call
// for the player, so the box stays open after show returns and the gate holds the
// game's input and its ticks until it is dismissed. Boxes shown meanwhile wait their
// turn behind it.
EM_JS(void, openBox, (const char* captionText, const char* messageText), {
    var caption = UTF8ToString(captionText);
    var message = UTF8ToString(messageText);
    while (message.endsWith(String.fromCharCode(10)))
        message = message.slice(0, -1);
    var gate = Module.inputGate;
    var queue = gate.queue = gate.queue || [];
    queue.push([ caption, message ]);
    if (queue.length > 1)
        return;
    var show = function()
    {
        var shade = document.createElement("div");
        shade.id = "message-dialog";
        shade.style.cssText = "position:fixed;inset:0;display:flex;align-items:center;" +
                              "justify-content:center;background:rgba(0,0,0,0.4);z-index:10";
        var box = document.createElement("div");
        box.setAttribute("role", "alertdialog");
        box.setAttribute("aria-modal", "true");
        box.setAttribute("aria-labelledby", "message-caption");
        box.setAttribute("aria-describedby", "message-text");
        box.style.cssText = "min-width:240px;max-width:80%;background:#ebebeb;color:#000;" +
                            "font:14px sans-serif;border:1px solid #555;" +
                            "box-shadow:0 4px 16px rgba(0,0,0,0.5)";
        var title = document.createElement("div");
        title.id = "message-caption";
        title.textContent = queue[0][0];
        title.style.cssText = "padding:6px 12px;background:#555;color:#fff;font-weight:bold";
        var text = document.createElement("p");
        text.id = "message-text";
        text.textContent = queue[0][1];
        text.style.cssText = "margin:20px;white-space:pre-wrap";
        var ok = document.createElement("button");
        ok.id = "message-ok";
        ok.textContent = "OK";
        ok.style.cssText = "display:block;margin:0 auto 20px;min-width:80px";
        var dismiss = function()
        {
            shade.remove();
            queue.shift();
            if (queue.length)
                show();
            else
                gate.box = null;
        };
        ok.onclick = dismiss;
        gate.box = function(event)
        {
            if (event.key == "Enter" || event.key == "Escape") {
                event.preventDefault();
                dismiss();
            }
        };
        box.append(title, text, ok);
        shade.append(box);
        document.body.append(shade);
        ok.focus();
    };
    show();
});

} // namespace

void showMessageDialog(const char* caption, const char* text)
{
    InputGate::install();
    openBox(caption, text);
}
