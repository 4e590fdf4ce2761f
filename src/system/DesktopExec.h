#pragma once

#include <optional>
#include <string>
#include <string_view>

// The Exec= value of a Desktop Entry that runs one program without arguments.
// The path is quoted by the Desktop Entry rules when it holds a blank or a
// reserved character (double quotes around it; backslash before '"', '`',
// '$' and '\'), then escaped as a string value ("\\" for a backslash, "\s",
// "\n", "\t", "\r"), and a literal percent sign is written "%%".
std::string DesktopExecValue(std::string_view programPath);

// Reads the program path back from an Exec= value; nullopt when the value is
// damaged (an unterminated quote, a stray escape, a field code) or empty.
// Arguments after the program are ignored.
std::optional<std::string> ProgramFromDesktopExec(std::string_view execValue);
