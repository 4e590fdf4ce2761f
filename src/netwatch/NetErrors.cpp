#include "NetErrors.h"

EStackInitializationFailed::EStackInitializationFailed()
    : EStackError("Winsock Initialization Error.") {}

EStackCanNotLoadWinsock::EStackCanNotLoadWinsock(const std::string& library)
    : ENetException(library + " could not be loaded.") {}

EListError::EListError(int index)
    : Exception("List index out of bounds (" + std::to_string(index) + ")") {}
