#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>

// Where this user's local sockets may live, as the environment tells at start.
struct SocketPlaces {
    // $XDG_RUNTIME_DIR; empty when it is not set.
    std::filesystem::path RuntimeDir;
    // Holds the private folder "vimo-<uid>" for when the runtime folder cannot
    // be used.
    std::filesystem::path SharedTemp = "/tmp";
};

// The folder for a user's local sockets, or why there is none.
struct SocketFolder {
    std::filesystem::path Path;  // empty when none can be used
    std::string Problem;         // why none can, for a notice
};

// A folder no other user can enter, so that none can take a socket's name
// in it or answer in its place: the runtime folder when it is set, absolute,
// a folder of `user`'s with mode 0700; else "<SharedTemp>/vimo-<uid>", made
// with mode 0700 when missing, and used only when it is, not through a link,
// a folder of `user`'s with mode 0700.
//
// A socket's path must fit the system's address (106 bytes with Qt's
// spare one): a runtime folder too long for a name of `nameLength` bytes is
// passed over for the private folder, and where that one is too long as
// well, there is none.
SocketFolder ChooseSocketFolder(const SocketPlaces& places, uid_t user, std::size_t nameLength);
