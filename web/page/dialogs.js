"use strict";
// Message boxes: one at a time, modal, an "OK" button or the buttons of a question. Each
// call waits for the box before it and answers with the index of the button pressed (the
// last button, cancel, when the box is closed with Escape).
const Dialogs = (() => {
    const OK = "OK";
    const box = document.getElementById("message");
    const title = document.getElementById("message-title");
    const text = document.getElementById("message-text");
    const buttons = document.getElementById("message-buttons");
    let queue = Promise.resolve();

    // low: the box stands near the window's foot, clear of the cell its message names, which
    // the grid shows in its middle.
    function open(heading, body, captions, warning, low) {
        return new Promise((resolve) => {
            const returnTo = document.activeElement;
            title.textContent = heading;
            text.textContent = body;
            box.classList.toggle("warning", Boolean(warning));
            box.classList.toggle("low", Boolean(low));
            buttons.replaceChildren();
            let answered = false;
            const finish = (index) => {
                if (answered) {
                    return;
                }
                answered = true;
                box.close();
                if (returnTo && returnTo.isConnected && typeof returnTo.focus === "function") {
                    returnTo.focus({ preventScroll: true });
                }
                resolve(index);
            };
            captions.forEach((caption, index) => {
                const button = document.createElement("button");
                button.type = "button";
                button.textContent = caption;
                button.addEventListener("click", () => finish(index));
                buttons.append(button);
            });
            box.oncancel = (event) => {
                event.preventDefault();
                finish(captions.length - 1);
            };
            // Tells a watcher (and a test) that another box took this one's place.
            box.dataset.shown = String(Number(box.dataset.shown || 0) + 1);
            box.showModal();
            buttons.firstElementChild.focus();
        });
    }

    function enqueue(heading, body, captions, warning, low = false) {
        const shown = queue.then(() => open(heading, body, captions, warning, low));
        queue = shown.catch(() => {});
        return shown;
    }

    return {
        // A message of the core ({title, text, warning}) or a title and a text.
        tell(heading, body, warning = false) {
            return enqueue(heading, body, [OK], warning);
        },
        show(message) {
            return enqueue(message.title, message.text, [OK], message.warning,
                           Boolean(message.cell));
        },
        ask(heading, body, captions) {
            return enqueue(heading, body, captions, false);
        },
        isOpen() {
            return box.open;
        },
    };
})();
