#include "SystemErrorText.h"

#include <cerrno>

std::string SystemErrorText(int errorNumber) {
    switch (errorNumber) {
        case 0:
            return "unknown error";
        case ENOENT:
            return "the folder is not there";
        case ENOTDIR:
            return "not a folder";
        case EISDIR:
            return "a folder is in the way";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EROFS:
            return "read-only file system";
        case ENOSPC:
        case EDQUOT:
            return "disk full";
        case ENAMETOOLONG:
            return "the name is too long";
        case ELOOP:
            return "too many links";
        case EMFILE:
        case ENFILE:
            return "too many open files";
        case ENOMEM:
        case ENOBUFS:
            return "out of memory";
        case EADDRINUSE:
            return "the name is in use";
        default:
            return "error " + std::to_string(errorNumber);
    }
}
