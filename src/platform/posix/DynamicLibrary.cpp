#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace quillet::platform {

DynamicLibrary::~DynamicLibrary() {
    if (handle_ != nullptr)
        ::dlclose(handle_);
}

bool DynamicLibrary::Load(const std::string& path) {
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = ::dlerror();
        error_ = reason != nullptr ? reason : "unknown error";
        return false;
    }
    return true;
}

void* DynamicLibrary::Find(const char* name) const {
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

}  // namespace quillet::platform
