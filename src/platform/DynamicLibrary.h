#pragma once

#include <string>

namespace quillet::platform {

// A module loaded by path, as a host loads a plug-in: dlopen on POSIX, LoadLibraryA on Windows.
class DynamicLibrary {
  public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads the module; on failure answers false and keeps the system's reason in error().
    bool Load(const std::string& path);
    // The address of an exported function, or null.
    void* Find(const char* name) const;
    const std::string& error() const { return error_; }
    bool loaded() const { return handle_ != nullptr; }

  private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace quillet::platform
