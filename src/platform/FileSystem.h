#pragma once

namespace quillet::platform {

// True when the operating system finds a directory entry for the path (a file, a directory or
// anything else): the host's own notion of "the file exists".
bool FileExists(const char* path);

}  // namespace quillet::platform
