#include "plugin/ActiveBuilds.h"

#include <algorithm>

namespace quillet {

ActiveBuilds::Registration::Registration(ActiveBuilds& builds, std::string name)
    : builds_(builds), name_(std::move(name)) {
    const std::lock_guard<std::mutex> lock(builds_.mutex_);
    builds_.builds_.push_back(this);
}

ActiveBuilds::Registration::~Registration() {
    const std::lock_guard<std::mutex> lock(builds_.mutex_);
    auto& list = builds_.builds_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void ActiveBuilds::Stop(std::string_view name) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (Registration* build : builds_) {
        if (build->name_ == name) {
            build->signal_.Request();
        }
    }
}

}  // namespace quillet
