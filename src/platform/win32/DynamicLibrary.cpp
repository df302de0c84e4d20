#include "platform/DynamicLibrary.h"

#include "platform/win32/WindowsApi.h"

#include <string>

namespace quillet::platform {
namespace {

HMODULE AsModule(void* handle) {
    return static_cast<HMODULE>(handle);
}

// The system's text for an error code, without the line break it ends with.
std::string DescribeError(DWORD code) {
    char text[512] = {};
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         0, text, static_cast<DWORD>(sizeof text), nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = "unknown error";
    }
    return message + " (error " + std::to_string(code) + ")";
}

}  // namespace

DynamicLibrary::~DynamicLibrary() {
    if (handle_ != nullptr)
        ::FreeLibrary(AsModule(handle_));
}

bool DynamicLibrary::Load(const std::string& path) {
    if (handle_ != nullptr) {
        ::FreeLibrary(AsModule(handle_));
    }
    handle_ = ::LoadLibraryA(path.c_str());
    if (handle_ == nullptr) {
        error_ = DescribeError(::GetLastError());
        return false;
    }
    error_.clear();
    return true;
}

void* DynamicLibrary::Find(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(::GetProcAddress(AsModule(handle_), name));
}

}  // namespace quillet::platform
