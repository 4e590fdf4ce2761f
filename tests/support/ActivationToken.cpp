// vimo-activation-token: asks the Wayland compositor of WAYLAND_DISPLAY for
// an xdg-activation token and prints it, as a launcher does before it starts
// a program with XDG_ACTIVATION_TOKEN. The desktop tests hand it to a second
// start, which passes it on to the running copy.
//   vimo-activation-token [APP_ID]
// Exit status 0 with the token on standard output; 1 with the reason on
// standard error.
#include "xdg-activation-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstring>
#include <iostream>
#include <memory>
#include <string>

namespace {

struct Globals {
    xdg_activation_v1* activation = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t /*version*/) {
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
        static_cast<Globals*>(data)->activation = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    }
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemove};

struct Answer {
    bool done = false;
    std::string token;
};

void OnDone(void* data, xdg_activation_token_v1* /*token*/, const char* text) {
    auto* answer = static_cast<Answer*>(data);
    answer->token = text;
    answer->done = true;
}

constexpr xdg_activation_token_v1_listener kTokenListener{OnDone};

int Fail(const std::string& reason) {
    std::cerr << "vimo-activation-token: " << reason << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> display(
        wl_display_connect(nullptr), &wl_display_disconnect);
    if (!display) {
        return Fail("cannot connect to the Wayland display (WAYLAND_DISPLAY)");
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    if (wl_display_roundtrip(display.get()) < 0) {
        return Fail("the compositor closed the connection");
    }
    if (globals.activation == nullptr) {
        return Fail("the compositor offers no xdg_activation_v1");
    }
    xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(globals.activation);
    Answer answer;
    xdg_activation_token_v1_add_listener(request, &kTokenListener, &answer);
    if (argc > 1) {
        xdg_activation_token_v1_set_app_id(request, argv[1]);
    }
    xdg_activation_token_v1_commit(request);
    while (!answer.done) {
        if (wl_display_dispatch(display.get()) < 0) {
            return Fail("the compositor closed the connection before it gave a token");
        }
    }
    xdg_activation_token_v1_destroy(request);
    xdg_activation_v1_destroy(globals.activation);
    wl_registry_destroy(registry);
    std::cout << answer.token << '\n';
    return 0;
}
