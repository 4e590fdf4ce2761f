#include "CountedInterfaces.h"

#include <algorithm>

bool CountedInterfaces::Counts(std::string_view interface) const {
    if (!names_.empty() && std::find(names_.begin(), names_.end(), interface) == names_.end()) {
        return false;
    }
    if (meteredOnly_ && metered_ && metered_->find(std::string(interface)) == metered_->end()) {
        return false;
    }
    return true;
}
