#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "plan/PlanSettings.h"

// Writing "Vimo.toml" from the settings panel. The panel shows every key the
// reader knows, and the reader refuses any other, so what a save keeps of the
// file beyond `shown` is its form: a key left at what its absence means
// stays as written ("connection_fee = 0", "alerts = [80, 100]" beside a
// limit), and so does a UTF-8 byte-order mark at its start. Tables of keys
// the panel does not know would be kept whole. The comments do not survive:
// toml++ drops them when it reads the file.

// The text of the plan file `existing` with every key the panel shows set
// from `shown`: a value absent in `shown` removes its key, and a table left
// with nothing in it is removed, except [plan], whose presence is a setting
// itself. A [budget] without a limit whose alerts are none, or a [counting]
// with nothing set, says nothing and is left out.
//
// The text is written by toml++'s formatter, with the prices per minute and
// per megabyte as the decimals they are ("1.5", never "1.5000000000000001")
// and whole numbers as integers. It reads back to `shown`; that is checked.
//
// Throws EPlanFileError with the reader's text when `existing` does not read
// as a plan file, rather than replace a file a person has yet to mend (an
// empty text is a file with nothing set), and std::invalid_argument when
// `shown` holds a value the file cannot hold.
std::string PlanTextWith(std::string_view existing, const PlanSettings& shown);

// The text of "Vimo.toml" in `folder`, empty when there is no such file; of
// a file longer than kPlanFileMostBytes only so much and one byte more, which
// the reader then refuses. Any other failure throws EInOutError with the
// run-time's text.
std::string ReadPlanText(const std::filesystem::path& folder);

// Replaces "Vimo.toml" in `folder` with `text` atomically (temporary file,
// flush, rename, folder flush): a crash leaves the old file or the new one.
// A symbolic link named "Vimo.toml" is kept, and the file it points to is
// replaced. Throws EPlanFileError, writing nothing, when `text` is no plan
// file the program would read, and EInOutError when a file step fails, the
// old file then left as it was.
void WritePlanFile(const std::filesystem::path& folder, std::string_view text);
