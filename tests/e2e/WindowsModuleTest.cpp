// What a Windows host and the system itself see of the built module.
#ifdef _WIN32

#include "platform/win32/WindowsApi.h"

#include <winver.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/PluginModule.h"

namespace quillet::test {
namespace {

// The module's version resource, read the way a file's properties dialog reads it.
class VersionResource {
  public:
    explicit VersionResource(const char* path) {
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
        if (size == 0) {
            return;
        }
        data_.resize(size);
        if (!::GetFileVersionInfoA(path, 0, size, data_.data())) {
            data_.clear();
        }
    }
    bool present() const { return !data_.empty(); }

    const VS_FIXEDFILEINFO* Fixed() const {
        void* value = nullptr;
        UINT length = 0;
        if (!present() || !::VerQueryValueA(data_.data(), "\\", &value, &length) ||
            length < sizeof(VS_FIXEDFILEINFO)) {
            return nullptr;
        }
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }

    // A string of the U.S. English, Unicode table, or "<missing>".
    std::string String(const std::string& name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::string query = "\\StringFileInfo\\040904B0\\" + name;
        if (!present() || !::VerQueryValueA(data_.data(), query.c_str(), &value, &length)) {
            return "<missing>";
        }
        return std::string(static_cast<const char*>(value));
    }

  private:
    std::vector<unsigned char> data_;
};

TEST(WindowsModule, CarriesItsVersionResource) {
    const VersionResource resource(QUILLET_MODULE_PATH);
    ASSERT_TRUE(resource.present()) << "no version resource in " << QUILLET_MODULE_PATH;
    const VS_FIXEDFILEINFO* fixed = resource.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x0000'0000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x0003'0001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x0000'0000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x0003'0001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    EXPECT_EQ(resource.String("FileVersion"), "0.0.3.1");
    EXPECT_EQ(resource.String("ProductVersion"), "0.0.3.1");
    EXPECT_EQ(resource.String("InternalName"), "Quillet");
    EXPECT_EQ(resource.String("OriginalFilename"), "Quillet.wdx64");
    EXPECT_EQ(resource.String("ProductName"), "Quillet wdx plugin");
    EXPECT_EQ(resource.String("FileDescription"),
              "Content plugin for viewing Quillet files properties.");
}

// A file created through the ANSI file API, as a Windows host names it; removed when it goes.
class AnsiFile {
  public:
    explicit AnsiFile(const std::string& name) {
        char directory[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathA(sizeof directory, directory);
        path_ = std::string(directory, length) + name;
        const HANDLE handle = ::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            const char bytes[] = "no package";
            DWORD written = 0;
            created_ = ::WriteFile(handle, bytes, sizeof bytes - 1, &written, nullptr) != 0;
            ::CloseHandle(handle);
        }
    }
    ~AnsiFile() { ::DeleteFileA(path_.c_str()); }
    AnsiFile(const AnsiFile&) = delete;
    AnsiFile& operator=(const AnsiFile&) = delete;

    const std::string& path() const { return path_; }
    bool created() const { return created_; }

  private:
    std::string path_;
    bool created_ = false;
};

TEST(WindowsModule, TakesFileNamesInTheAnsiCodePage) {
    ASSERT_EQ(::GetACP(), 1252u) << "the names below are spelt in code page 1252";
    const PluginModule& module = PluginModule::Get();
    // "Bericht-März.docx" in 1252: one byte for the umlaut, as a host passes it.
    const AnsiFile file("quillet-Bericht-M\xE4rz.docx");
    ASSERT_TRUE(file.created()) << file.path();
    EXPECT_EQ(module.Text(file.path(), 14), "");
    EXPECT_EQ(module.Value(file.path(), 32).result, -3);
    // The same name spelt in UTF-8 names another file, which does not exist.
    std::string utf8 = file.path();
    utf8.replace(utf8.find('\xE4'), 1, "\xC3\xA4");
    EXPECT_EQ(module.Value(utf8, 14).result, -2);
}

}  // namespace
}  // namespace quillet::test

#endif  // _WIN32
