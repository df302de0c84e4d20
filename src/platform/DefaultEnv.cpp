#include "platform/Env.h"

namespace quillet::platform {

Env& DefaultEnv() {
    return SystemEnv();
}

}  // namespace quillet::platform
