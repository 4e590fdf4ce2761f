#pragma once

#include <string>

// A failed system call's errno value in fixed English words, for the
// program's notices: the C library's own texts follow the user's locale.
// Values without words of their own read "error <number>"; 0 reads
// "unknown error".
std::string SystemErrorText(int errorNumber);
