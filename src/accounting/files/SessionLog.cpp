#include "files/SessionLog.h"

#include "core/Codec1251.h"
#include "core/DataFiles.h"
#include "core/MoneyTexts.h"
#include "files/FileIO.h"

namespace {

constexpr std::size_t kAddressWidth = 15;

// Blanks after the duration text: the widths that occur below 100 hours all
// pad the field to 14 characters.
std::string BlanksAfterDuration(std::size_t length) {
    switch (length) {
        case 6:
            return std::string(8, ' ');
        case 7:
            return std::string(7, ' ');
        case 11:
            return std::string(3, ' ');
        case 12:
            return std::string(2, ' ');
        case 13:
            return std::string(1, ' ');
        default:
            return std::string(2, ' ');
    }
}

// Length in characters of a UTF-8 text.
std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

std::string FirstLine(const std::string& bytes) {
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}

}  // namespace

std::string SessionLine(const std::string& sessionHead, uint32_t minutes, TDateTime tickTime,
                        const std::string& osName, const std::string& sessionIP) {
    const std::string duration = MinToTimeStr(minutes);
    return sessionHead + ClockText(AddMinutes(tickTime, 1)) + TSessionLog::kTimeLabel + duration +
           BlanksAfterDuration(CharacterCount(duration)) + osName + "   " + sessionIP;
}

TSessionLog::TSessionLog(std::filesystem::path folder, const Clock& clock, std::string osName)
    : folder_(std::move(folder)), clock_(clock), osName_(std::move(osName)) {}

std::string TSessionLog::ReadFirstLineOfBegTime() const {
    return FirstLine(ReadWholeFile(folder_ / datafiles::kBegTime));
}

bool TSessionLog::HistoryEndsWith(const std::string& line) const {
    const std::string record = line + "\r\n";
    const std::filesystem::path history = folder_ / datafiles::kStatic;
    if (!FileExists(history))
        return false;
    const std::string tail = ReadTail(history, record.size() + 1);
    return tail.size() >= record.size() &&
           tail.compare(tail.size() - record.size(), record.size(), record) == 0 &&
           (tail.size() == record.size() || tail[tail.size() - record.size() - 1] == '\n');
}

bool TSessionLog::HistoryEndsMidLine() const {
    const std::filesystem::path history = folder_ / datafiles::kStatic;
    if (!FileExists(history))
        return false;
    const std::string last = ReadTail(history, 1);
    return !last.empty() && last.back() != '\n';
}

void TSessionLog::AppendToHistoryOnce(const std::string& line) {
    if (!HistoryEndsWith(line)) {
        // A history whose last line lost its line end (edited by hand) gets
        // one first; the new line would otherwise run on from it and be lost
        // to the reports, which find lines by their start.
        const std::string lineEnd = HistoryEndsMidLine() ? "\r\n" : "";
        AppendDurably(folder_ / datafiles::kStatic, lineEnd + line + "\r\n", true);
    }
}

void TSessionLog::CarryOverLeftOverLine() {
    const std::filesystem::path begTime = folder_ / datafiles::kBegTime;
    if (!FileExists(begTime)) {
        carryOverPending_ = false;
        return;
    }
    carryOverPending_ = true;
    const std::string line = ReadFirstLineOfBegTime();
    // A run that stopped right after closing the session normally has the
    // plain line in the history already.
    if (line.empty() || !HistoryEndsWith(line)) {
        AppendToHistoryOnce(line + ToCp1251(kCrashMarker));
    }
    DeleteFileIgnoringResult(begTime);
    carryOverPending_ = false;
}

void TSessionLog::SaveFirstDTime(const std::string& currentAddress) {
    // The new session's start is fixed first, so a failing carry-over that
    // is retried at the next tick still gives this session its own head.
    const TDateTime now = clock_.Now();
    sessionHead_ = "[" + DateText(now) + "] " + ClockText(now) + "-";
    sessionIP_ = currentAddress.substr(0, kAddressWidth);
    sessionIP_.resize(kAddressWidth, ' ');
    CarryOverLeftOverLine();
}

void TSessionLog::SaveNewTimeToFile(uint32_t minutes) {
    latestLine_ = SessionLine(sessionHead_, minutes, clock_.Now(), osName_, sessionIP_);
    lineBehind_ = true;
    if (carryOverPending_) {
        CarryOverLeftOverLine();
    }
    ReplaceFileAtomically(folder_ / datafiles::kBegTime, ToCp1251(latestLine_) + "\r\n");
    lineBehind_ = false;
}

void TSessionLog::CloseSession() {
    // A left-over line still waiting in "BegTime.txt" goes first, or
    // deleting the file below would lose it.
    if (carryOverPending_) {
        CarryOverLeftOverLine();
    }
    // While the file lags behind (a full disk), its line would record fewer
    // minutes and an earlier end than the session had.
    const std::string line = lineBehind_ ? ToCp1251(latestLine_) : ReadFirstLineOfBegTime();
    AppendToHistoryOnce(line);
    DeleteFileIgnoringResult(folder_ / datafiles::kBegTime);
    latestLine_.clear();
    lineBehind_ = false;
}
