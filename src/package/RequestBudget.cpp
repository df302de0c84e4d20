#include "package/RequestBudget.h"

namespace quillet {

bool RequestBudget::TakeInflated(uint64_t bytes) {
    if (bytes > inflatedLeft()) {
        return false;
    }
    inflatedTaken_ += bytes;
    return true;
}

}  // namespace quillet
