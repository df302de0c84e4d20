#include "package/PartText.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "package/MemberSource.h"

namespace quillet {
namespace {

// Read a piece at a time, so a part that a filter refuses early costs what was read of it.
constexpr size_t PieceSize = 64 * 1024;
// Room kept behind the text for the NULs TinyXML's reading needs (see ParseXmlPart).
constexpr size_t TailRoom = 8;

// Takes from the budget, when it ends, what of `size` the reading did not take.
class WholeSizePaid {
  public:
    WholeSizePaid(RequestBudget& budget, uint64_t size)
        : budget_(budget), size_(size), leftBefore_(budget.inflatedLeft()) {}
    ~WholeSizePaid() { budget_.TakeInflated(size_ - (leftBefore_ - budget_.inflatedLeft())); }
    WholeSizePaid(const WholeSizePaid&) = delete;
    WholeSizePaid& operator=(const WholeSizePaid&) = delete;

  private:
    RequestBudget& budget_;
    const uint64_t size_;
    const uint64_t leftBefore_;
};

}  // namespace

std::optional<std::string> ReadPartText(ZipArchive& archive, const char* partName,
                                        const PartFilter& keep) {
    MemberSource member(archive, partName);
    // No bigger than the data can fill, so a tiny member that claims gigabytes costs nothing.
    const auto size =
        static_cast<size_t>(std::min<uint64_t>(member.declaredSize(), member.DeliverableSize()));
    // An empty member reads as nothing at all: it counts as unreadable, like one that fails.
    if (!member.status().ok() || member.declaredSize() > MaxPartSize || size == 0 ||
        size > archive.budget().inflatedLeft()) {
        return std::nullopt;
    }
    const WholeSizePaid paid(archive.budget(), size);
    try {
        std::string text;
        // Reserved, not written: memory is taken as the data fills it.
        text.reserve(size + TailRoom);
        for (size_t left = size; left > 0;) {
            const size_t piece = std::min(left, PieceSize);
            const size_t start = text.size();
            text.resize(start + piece);
            const size_t read = member.Read(&text[start], piece);
            if (!member.status().ok()) {
                return std::nullopt;  // unreadable, or cut by the request's bounds
            }
            const size_t filled = strnlen(&text[start], read);
            text.resize(start + filled);
            if (keep && !keep(std::string_view(text).substr(start))) {
                return std::nullopt;
            }
            if (filled < piece) {
                break;  // a NUL byte, or the end of what the data holds
            }
            left -= piece;
        }
        // The piece that crossed the bound of inflation was the last: the part is refused all the
        // same.
        if (archive.budget().inflationExcessive()) {
            return std::nullopt;
        }
        return text;
    } catch (const std::bad_alloc&) {
        archive.NoteShortOfMemory();
        return std::nullopt;
    }
}

}  // namespace quillet
