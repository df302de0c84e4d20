#pragma once

#include <memory>

#include "platform/File.h"
#include "platform/FilePath.h"

namespace quillet::platform {

// Where the module's files come from: the system's, or, in a test, files that fail on purpose.
class Env {
  public:
    virtual ~Env() = default;
    // Opens the file for reading only, shared with writers, so that a document an office program
    // holds open can still be read; null when it cannot be opened.
    virtual std::unique_ptr<File> OpenFile(const FilePath& path) = 0;
};

// The system's files.
Env& SystemEnv();

// The Env every request opens its file through: SystemEnv(). Defined in a source file of its
// own, so that a test binary linking the module's code can define another.
Env& DefaultEnv();

}  // namespace quillet::platform
