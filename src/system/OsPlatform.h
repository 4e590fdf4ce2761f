#pragma once

#include <optional>
#include <string>

// The system families the program tells apart. The two Windows families
// decide the label written into session lines and which autostart byte of
// the settings applies; Linux uses the NT-family byte.
enum class OsFamily { WindowsNT, Windows9x, Linux };

// What Check_OS derives from the family.
struct OsIdentity {
    bool IsNT = false;
    std::string OSName;  // always 9 characters: it is a fixed-width column
};
OsIdentity IdentifyOs(OsFamily family);

// The process-level services of the operating system that the program uses.
class OsPlatform {
  public:
    virtual ~OsPlatform() = default;
    virtual OsFamily Family() const = 0;
    // The absolute path of the running executable, if the system tells it.
    virtual std::optional<std::string> ExecutablePath() const = 0;
};

class LinuxPlatform final : public OsPlatform {
  public:
    OsFamily Family() const override { return OsFamily::Linux; }
    std::optional<std::string> ExecutablePath() const override;
};
