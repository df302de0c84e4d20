#pragma once

#include <string>

namespace quillet::host {

// What standard input delivers, copied into a file of its own in the temporary folder, since the
// module reads documents by path. The file is named with the extension its package kind goes by
// (stdin.docx, stdin.xlsx, stdin.pptx), so the module's detection string would choose it as a
// file manager would; it goes, with its folder, when the object goes.
class StandardInputCopy {
  public:
    StandardInputCopy() = default;
    ~StandardInputCopy();
    StandardInputCopy(const StandardInputCopy&) = delete;
    StandardInputCopy& operator=(const StandardInputCopy&) = delete;

    // Reads standard input to its end into the file; false with the reason when it cannot.
    bool Take(std::string& error);
    const std::string& path() const { return path_; }

  private:
    std::string folder_;
    std::string path_;
};

}  // namespace quillet::host
