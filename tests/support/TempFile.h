#pragma once

#include <string>

namespace quillet::test {

// A file with given bytes in the temporary folder, removed when the object goes.
class TempFile {
  public:
    explicit TempFile(const std::string& bytes, const std::string& suffix = ".docx");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    // Replaces the file's bytes.
    void Rewrite(const std::string& bytes) const;

  private:
    std::string path_;
};

// A path in the temporary folder that names nothing.
std::string MissingPath();

}  // namespace quillet::test
