#include "package/MemberDescription.h"

#include "package/ZipFormat.h"
#include "platform/CalendarTime.h"

namespace quillet::zip {
namespace {

constexpr uint32_t AttributeReadOnly = 0x01;
constexpr uint32_t AttributeHidden = 0x02;
constexpr uint32_t AttributeSystem = 0x04;
constexpr uint32_t AttributeDirectory = 0x10;
constexpr uint32_t AttributeArchive = 0x20;
constexpr uint32_t AttributeNormal = 0x80;

constexpr uint32_t UnixDirectory = 0x40000000;
constexpr uint32_t UnixOwnerWrite = 0x00800000;

// Extended timestamp flags, in the order their times follow the flags byte.
constexpr unsigned TimestampModification = 0x01;
constexpr unsigned TimestampAccess = 0x02;
constexpr unsigned TimestampCreation = 0x04;

// A Unix time as the FILETIME of that UTC moment; false for a time before 1970.
bool UnixTimeToFileTime(uint32_t stored, platform::FileTime& fileTime) {
    const auto seconds = static_cast<int32_t>(stored);
    if (seconds < 0) {
        return false;
    }
    return platform::SystemTimeToFileTime(platform::UnixTimeToCalendar(seconds), fileTime);
}

}  // namespace

uint32_t MapExternalAttributes(uint32_t externalAttributes) {
    uint32_t attributes = AttributeNormal;
    if ((externalAttributes & UnixDirectory) != 0 ||
        (externalAttributes & AttributeDirectory) != 0) {
        attributes = AttributeNormal | AttributeDirectory;
    }
    if ((externalAttributes & AttributeArchive) != 0) {
        attributes |= AttributeArchive;
    }
    if ((externalAttributes & AttributeHidden) != 0) {
        attributes |= AttributeHidden;
    }
    if ((externalAttributes & UnixOwnerWrite) == 0 ||
        (externalAttributes & AttributeReadOnly) != 0) {
        attributes |= AttributeReadOnly;
    }
    if ((externalAttributes & AttributeSystem) != 0) {
        attributes |= AttributeSystem;
    }
    return attributes;
}

void SetDosTimes(uint32_t dosDateTime, ZipEntry& entry) {
    platform::FileTime time = 0;
    if (!platform::DosDateTimeToFileTime(static_cast<uint16_t>(dosDateTime >> 16),
                                         static_cast<uint16_t>(dosDateTime & 0xFFFF), time)) {
        time = 0;
    }
    entry.accessTime = time;
    entry.creationTime = time;
    entry.modificationTime = time;
}

void ApplyExtendedTimestamp(const unsigned char* extra, size_t length, ZipEntry& entry) {
    if (length <= 4) {
        return;
    }
    size_t position = 0;
    while (position + 4 < length) {
        const size_t blockEnd = position + 4 + Read16(extra + position + 2);
        if (extra[position] != 'U' || extra[position + 1] != 'T') {
            position = blockEnd;
            continue;
        }
        const unsigned flags = extra[position + 4];
        platform::FileTime* const targets[] = {&entry.modificationTime, &entry.accessTime,
                                               &entry.creationTime};
        const unsigned bits[] = {TimestampModification, TimestampAccess, TimestampCreation};
        size_t timePosition = position + 5;
        for (size_t i = 0; i < 3; ++i) {
            if ((flags & bits[i]) == 0) {
                continue;
            }
            if (timePosition + 4 > blockEnd || timePosition + 4 > length) {
                break;
            }
            platform::FileTime time = 0;
            if (UnixTimeToFileTime(Read32(extra + timePosition), time)) {
                *targets[i] = time;
            }
            timePosition += 4;
        }
        return;
    }
}

}  // namespace quillet::zip
