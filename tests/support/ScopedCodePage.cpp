#include "support/ScopedCodePage.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quillet::test {

ScopedCodePage::ScopedCodePage(const std::string& charset) {
#ifdef _WIN32
    active_ = (charset == "CP1252" && GetACP() == 1252) || (charset == "UTF-8" && GetACP() == 65001);
#else
    previous_ = std::setlocale(LC_CTYPE, nullptr);
    if (charset == "ANSI_X3.4-1968") {
        active_ = std::setlocale(LC_CTYPE, "C") != nullptr;
        return;
    }
    if (charset == "UTF-8") {
        active_ = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
        return;
    }
    // glibc looks for locales in LOCPATH when it is set: the made ones stay in one folder.
    const std::string folder = (std::filesystem::temp_directory_path() / "quillet-locales").string();
    const std::string name = "C." + charset;
    if (!std::filesystem::exists(folder + "/" + name)) {
        // Made aside and renamed into place, so that test processes running at once never see
        // half a locale.
        const std::string aside = folder + "/" + name + "." + std::to_string(getpid());
        const std::string make = "mkdir -p '" + folder + "' && localedef -i C -f " + charset +
                                 " '" + aside + "' >/dev/null 2>&1 && { mv -T '" + aside + "' '" +
                                 folder + "/" + name + "' 2>/dev/null || rm -rf '" + aside + "'; }";
        if (std::system(make.c_str()) != 0 || !std::filesystem::exists(folder + "/" + name)) {
            return;
        }
    }
    setenv("LOCPATH", folder.c_str(), 1);
    active_ = std::setlocale(LC_CTYPE, name.c_str()) != nullptr;
#endif
}

ScopedCodePage::~ScopedCodePage() {
#ifndef _WIN32
    std::setlocale(LC_CTYPE, previous_.c_str());
    unsetenv("LOCPATH");
#endif
}

}  // namespace quillet::test
