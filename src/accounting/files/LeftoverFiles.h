#pragma once

#include <filesystem>

// A run killed between writing a replacement data file and renaming it over
// the old one leaves the temporary file behind ("Table.dat.tmp.<pid>.<n>",
// see TemporaryFileName). Removes those of the program's data files in
// `folder` whose writing process is gone; a file being written by a running
// process stays. Failures are ignored: the files are only clutter.
void RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder);
