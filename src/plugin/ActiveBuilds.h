#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "text/StopSignal.h"

namespace quillet {

// The full texts being built now, each under the name of its file, so that a host's stop for a
// file reaches the builds of that file and no other.
class ActiveBuilds {
  public:
    // Lists one build for as long as it lives; its signal is set by a stop for its file.
    class Registration {
      public:
        Registration(ActiveBuilds& builds, std::string name);
        ~Registration();
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

        const StopSignal& signal() const { return signal_; }

      private:
        friend class ActiveBuilds;

        ActiveBuilds& builds_;
        std::string name_;
        StopSignal signal_;
    };

    // Asks every build of the named file to stop; changes nothing when none is built.
    void Stop(std::string_view name);

  private:
    std::mutex mutex_;
    std::vector<Registration*> builds_;
};

}  // namespace quillet
