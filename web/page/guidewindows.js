"use strict";
// The guidance windows: modeless; closing the usage window hands the focus to the paper list.

function setUpGuideWindows() {
    const byId = (id) => document.getElementById(id);
    const usage = byId("usage-window");
    const example = byId("example-window");
    byId("usage-button").addEventListener("click", () => {
        if (!usage.open) {
            usage.show();
        }
        byId("example-button").focus();
    });
    byId("example-button").addEventListener("click", () => {
        if (!example.open) {
            example.show();
        }
        byId("example-close").focus();
    });
    byId("usage-close").addEventListener("click", () => {
        usage.close();
        byId("paper").focus();
    });
    byId("example-close").addEventListener("click", () => example.close());
}
