#include "NetErrors.h"

EStackInitializationFailed::EStackInitializationFailed()
    : EStackError("Winsock Initialization Error.") {}

EListError::EListError(int index)
    : Exception("List index out of bounds (" + std::to_string(index) + ")") {}
