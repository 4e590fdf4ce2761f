#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Which network interfaces may make the computer online: all of them, or
// only those the user named, and of those, when asked for, only the ones the
// connection manager says are metered. Read by the address lookups and set
// from the plan, both on the UI thread, so nothing is locked.
class CountedInterfaces {
  public:
    // Empty: every interface.
    void SetNames(std::vector<std::string> names) { names_ = std::move(names); }
    const std::vector<std::string>& Names() const { return names_; }
    void SetMeteredOnly(bool meteredOnly) { meteredOnly_ = meteredOnly; }
    bool MeteredOnly() const { return meteredOnly_; }
    // The metered interfaces as last known; none while the connection
    // manager cannot be asked, when the names alone decide.
    void SetMetered(std::optional<std::set<std::string>> metered) { metered_ = std::move(metered); }

    bool Counts(std::string_view interface) const;

  private:
    std::vector<std::string> names_;
    bool meteredOnly_ = false;
    std::optional<std::set<std::string>> metered_;
};
