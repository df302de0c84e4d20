#pragma once

#include <string>

namespace quillet::test {

// The host's ANSI code page for as long as this lives. On Linux it is the character set of the
// LC_CTYPE locale: a locale of the named character set is made with localedef in the temporary
// folder the first time, and switched to. On Windows the system's code page is what it is: the
// page is active only when it is the one named.
class ScopedCodePage {
  public:
    // `charset` as glibc names it: "CP1252", "ANSI_X3.4-1968" (ASCII), "UTF-8", "EUC-JP".
    explicit ScopedCodePage(const std::string& charset);
    ~ScopedCodePage();
    ScopedCodePage(const ScopedCodePage&) = delete;
    ScopedCodePage& operator=(const ScopedCodePage&) = delete;

    // False when the character set cannot be had here: the test skips what needs it.
    bool active() const { return active_; }

  private:
    std::string previous_;
    bool active_ = false;
};

}  // namespace quillet::test
