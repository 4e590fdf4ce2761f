#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "system/AutostartEntry.h"

// The entry that starts the program with the user's desktop session. It holds
// the absolute path of the program's executable; start-up takes the program's
// working folder from it.
class AutostartStore {
  public:
    virtual ~AutostartStore() = default;
    // The program path of a present entry; nullopt when there is none or it
    // cannot be read or understood.
    virtual std::optional<std::string> ReadProgramPath() const = 0;
    // Replaces the entry with one for `programPath`. Throws Exception
    // ("Cannot create file %s") when it cannot be written.
    virtual void Write(const std::string& programPath) = 0;
    // Removes the entry if there is one. Throws Exception when it exists and
    // cannot be removed.
    virtual void Remove() = 0;
};

// The Desktop Application Autostart file "Vimo.desktop" (see AutostartEntry.h,
// which reads and writes it).
class DesktopAutostartStore final : public AutostartStore {
  public:
    explicit DesktopAutostartStore(std::filesystem::path file) : file_(std::move(file)) {}

    std::optional<std::string> ReadProgramPath() const override;
    void Write(const std::string& programPath) override;
    void Remove() override;

    const std::filesystem::path& File() const { return file_; }

  private:
    std::filesystem::path file_;
};
