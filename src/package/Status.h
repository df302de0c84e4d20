#pragma once

#include <cstdint>

namespace quillet {

// What an operation of the package or the XML layer came to: a code, and where it helps a short
// message (a static text) that tests and diagnostics can show.
class Status {
  public:
    enum class Code : uint8_t {
        Ok,
        NotFound,     // no member of that name
        Unreadable,   // the member is missing, damaged or cannot be read as the package claims
        Cut,          // a bound of the request came first: what was read before it stands
        NotParsed,    // the text is not XML that TinyXML takes
        Abandoned,    // the reader wanted no more of it
    };

    constexpr Status() = default;
    static constexpr Status Ok() { return Status(); }
    static constexpr Status NotFound(const char* message = "") {
        return Status(Code::NotFound, message);
    }
    static constexpr Status Unreadable(const char* message = "") {
        return Status(Code::Unreadable, message);
    }
    static constexpr Status Cut(const char* message = "") { return Status(Code::Cut, message); }
    static constexpr Status NotParsed(const char* message = "") {
        return Status(Code::NotParsed, message);
    }
    static constexpr Status Abandoned(const char* message = "") {
        return Status(Code::Abandoned, message);
    }

    constexpr bool ok() const { return code_ == Code::Ok; }
    constexpr Code code() const { return code_; }
    constexpr const char* message() const { return message_; }
    constexpr bool operator==(Code code) const { return code_ == code; }
    constexpr bool operator!=(Code code) const { return code_ != code; }

  private:
    constexpr Status(Code code, const char* message) : code_(code), message_(message) {}

    Code code_ = Code::Ok;
    const char* message_ = "";
};

}  // namespace quillet
