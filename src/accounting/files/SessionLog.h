#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/Clock.h"

// The one-line record of a connection session. While a session lasts its
// line is rewritten in "BegTime.txt" at every online tick; when it ends the
// line moves to the end of the history "Static.txt". A line left in
// "BegTime.txt" by a run that ended during its session is carried into the
// history, with the crash marker after it, when the next session opens.
// Both files are Windows-1251 text with CR LF line ends. Every file step
// throws EInOutError.
class TSessionLog {
  public:
    // The texts the lines are made of, in UTF-8.
    static constexpr const char* kTimeLabel = "   время = ";
    static constexpr const char* kCrashMarker = "   Аварийное завершение !";

    // `osName` is the nine-character system label written into every line.
    TSessionLog(std::filesystem::path folder, const Clock& clock, std::string osName);

    // Opens a session: carries over a left-over line, then fixes the start
    // date, start time and address.
    void SaveFirstDTime(const std::string& currentAddress);
    // Rewrites "BegTime.txt" with the session's line after `minutes` ticks.
    // The line is kept in memory first, so a failed write loses nothing.
    void SaveNewTimeToFile(uint32_t minutes);
    // Moves the session's line to the end of "Static.txt": the one in memory
    // when "BegTime.txt" could not be given it, else the file's.
    void CloseSession();
    // The latest session line could not be written to "BegTime.txt".
    bool LineBehind() const { return lineBehind_; }

    const std::string& SessionHead() const { return sessionHead_; }
    const std::string& SessionIP() const { return sessionIP_; }
    const std::string& OSName() const { return osName_; }

  private:
    void CarryOverLeftOverLine();
    // Appends `line` (with CR LF) unless the history already ends with it,
    // which happens when a run stopped between the append and the deletion
    // of "BegTime.txt".
    void AppendToHistoryOnce(const std::string& line);
    bool HistoryEndsWith(const std::string& line) const;
    // The history's last byte is not a line feed.
    bool HistoryEndsMidLine() const;
    std::string ReadFirstLineOfBegTime() const;

    std::filesystem::path folder_;
    const Clock& clock_;
    std::string osName_;
    std::string sessionHead_;
    std::string sessionIP_;
    // True while a left-over line could not be carried over; "BegTime.txt"
    // is then not rewritten, so the old line is never lost.
    bool carryOverPending_ = false;
    // The line of the session's latest minute (UTF-8), and whether
    // "BegTime.txt" still holds an older one.
    std::string latestLine_;
    bool lineBehind_ = false;
};

// The session line (UTF-8) for a session whose head and address are fixed,
// after `minutes` ticks, the latest tick at `tickTime`.
std::string SessionLine(const std::string& sessionHead, uint32_t minutes, TDateTime tickTime,
                        const std::string& osName, const std::string& sessionIP);
