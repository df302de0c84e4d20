#include "package/RequestBudget.h"

namespace quillet {

bool RequestBudget::TakeInflated(uint64_t bytes) {
    if (bytes > inflatedLeft()) {
        return false;
    }
    inflatedTaken_ += bytes;
    return true;
}

void RequestBudget::CountInflation(uint64_t consumed, uint64_t delivered) {
    consumed_ += consumed;
    delivered_ += delivered;
}

bool RequestBudget::TakeNodes(uint64_t count) {
    if (count > nodesLeft()) {
        nodesTaken_ = MaxNodes;  // spent: nothing more is parsed for the request
        return false;
    }
    nodesTaken_ += count;
    return true;
}

}  // namespace quillet
