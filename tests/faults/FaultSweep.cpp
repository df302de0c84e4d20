#include "faults/FaultSweep.h"

#include <quillet/content_plugin.h>

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

namespace quillet::test {
namespace {

constexpr int PropertyBytes = 512;
constexpr int PieceBytes = 1024;
constexpr int MostPieces = 100000;
constexpr uint64_t MostPoints = 10'000'000;

int CallValue(const std::string& path, int field, int unit, char* buffer, int size) {
    return ContentGetValue(path.c_str(), field, unit, buffer, size, 0);
}

// Holds the injector while the test writes down what a call answered.
class Holding {
  public:
    explicit Holding(const Injector* injector) : injector_(injector) {
        if (injector_ != nullptr) {
            injector_->hold(true);
        }
    }
    ~Holding() {
        if (injector_ != nullptr) {
            injector_->hold(false);
        }
    }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;

  private:
    const Injector* injector_;
};

Reply AskTransfer(const std::string& path, int field, const Injector* injector) {
    Reply reply;
    {
        const Holding holding(injector);
        reply.codes.reserve(16);
        reply.bytes.reserve(1 << 16);
    }
    char piece[PieceBytes];
    for (int unit = 0; unit < MostPieces; ++unit) {
        std::memset(piece, 0, sizeof piece);
        const int code = CallValue(path, field, unit, piece, PieceBytes);
        const Holding holding(injector);
        reply.codes.push_back(code);
        if (code != QUILLET_FIELD_FULL_TEXT) {
            break;
        }
        reply.bytes.append(piece, strnlen(piece, sizeof piece));
    }
    const int end = CallValue(path, field, QUILLET_FULL_TEXT_END, piece, PieceBytes);
    const Holding holding(injector);
    reply.codes.push_back(end);
    return reply;
}

int TypeOf(int field) {
    char name[64];
    char units[64];
    return ContentGetSupportedField(field, name, units, sizeof name);
}

bool AllowedCode(int code, int type) {
    return code == type || code == QUILLET_FIELD_EMPTY || code == QUILLET_FILE_ERROR;
}

}  // namespace

Reply Ask(const std::string& path, int field, const Injector* injector) {
    if (field == TitlesField || field == ContentField) {
        return AskTransfer(path, field, injector);
    }
    Reply reply;
    {
        const Holding holding(injector);
        reply.bytes.assign(PropertyBytes, '\0');
        reply.codes.reserve(1);
    }
    reply.codes.push_back(CallValue(path, field, 0, reply.bytes.data(), PropertyBytes));
    return reply;
}

std::string InvalidCodes(const Reply& reply, int field) {
    const int type = TypeOf(field);
    for (size_t i = 0; i < reply.codes.size(); ++i) {
        if (!AllowedCode(reply.codes[i], type)) {
            return "call " + std::to_string(i) + " answered " + std::to_string(reply.codes[i]);
        }
    }
    if (reply.codes.size() >= static_cast<size_t>(MostPieces)) {
        return "the transfer never ended";
    }
    return std::string();
}

void Touch(const std::string& path) {
    // A modification time never given before: the clock's own may repeat within its granularity.
    static long touches = 0;
    ++touches;
    const timespec time{1600000000 + touches / 1000000000, touches % 1000000000};
    const timespec times[2] = {time, time};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

SweepResult Sweep(const std::string& path, int field, uint64_t first, uint64_t stride,
                  const Injector& injector) {
    SweepResult result;
    Touch(path);
    const Reply normal = Ask(path, field);
    const std::string where = path + " field " + std::to_string(field);
    for (uint64_t point = first; point < MostPoints; point += stride) {
        Touch(path);
        injector.arm(point);
        const Reply faulted = Ask(path, field, &injector);
        const bool reached = injector.disarm();
        if (const std::string invalid = InvalidCodes(faulted, field); !invalid.empty()) {
            result.problems += where + ", fault " + std::to_string(point) + ": " + invalid + "\n";
        }
        if (!(Ask(path, field) == normal)) {
            result.problems += where + ", fault " + std::to_string(point) +
                               ": the next request answered otherwise than normally\n";
        }
        if (!reached) {
            return result;
        }
        ++result.pointsReached;
        if (result.problems.size() > 2000) {
            return result;
        }
    }
    result.problems += where + ": never ran without meeting the fault\n";
    return result;
}

}  // namespace quillet::test
