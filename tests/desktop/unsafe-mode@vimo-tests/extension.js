// Only ever installed into the private home of a test session.
function init() {}

function enable() {
    global.context.unsafe_mode = true;
}

function disable() {
    global.context.unsafe_mode = false;
}
