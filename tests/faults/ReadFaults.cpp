// The module's default Env for this binary: the system's files, each read of which a test can
// fail, cut short or precede with an action.
#include "faults/ReadFaults.h"

#include <memory>
#include <new>
#include <utility>

#include "platform/Env.h"

namespace quillet::test {
namespace {

// One armed read at a time; the tests calling the module are single-threaded.
struct ArmedRead {
    uint64_t left = 0;  // reads still to go before the armed one; 0 when nothing is armed
    bool cut = false;   // false: only run the action
    ReadFault fault = ReadFault::Fail;
    std::function<void()> beforeRead;
    bool reached = false;
};

ArmedRead& Armed() {
    static ArmedRead armed;
    return armed;
}

// How many of the `length` bytes asked this read may deliver.
size_t ReadLimit(size_t length) {
    auto& armed = Armed();
    if (armed.left == 0 || --armed.left != 0) {
        return length;
    }
    armed.reached = true;
    if (armed.beforeRead) {
        armed.beforeRead();
    }
    if (!armed.cut) {
        return length;
    }
    return armed.fault == ReadFault::Fail ? 0 : length / 2;
}

class FaultyFile final : public platform::File {
  public:
    explicit FaultyFile(std::unique_ptr<platform::File> file) : file_(std::move(file)) {}

    bool seekable() const override { return file_->seekable(); }
    bool ReadStamp(platform::FileStamp& stamp) const override { return file_->ReadStamp(stamp); }
    bool ReadStampNow(platform::FileStamp& stamp) const override {
        return file_->ReadStampNow(stamp);
    }
    bool Size(uint64_t& size) override { return file_->Size(size); }
    size_t ReadAt(uint64_t position, void* buffer, size_t length) override {
        return file_->ReadAt(position, buffer, ReadLimit(length));
    }

  private:
    std::unique_ptr<platform::File> file_;
};

class FaultyFiles final : public platform::Env {
  public:
    std::unique_ptr<platform::File> OpenFile(const platform::FilePath& path) override {
        auto file = platform::SystemEnv().OpenFile(path);
        // As the system's files, without throwing: a failed allocation opens no file.
        return file
                   ? std::unique_ptr<platform::File>(new (std::nothrow) FaultyFile(std::move(file)))
                   : nullptr;
    }
};

}  // namespace

void ArmReadFault(uint64_t number, ReadFault fault, std::function<void()> beforeRead) {
    Armed() = ArmedRead{number, true, fault, std::move(beforeRead), false};
}

void ArmReadAction(uint64_t number, std::function<void()> beforeRead) {
    Armed() = ArmedRead{number, false, ReadFault::Fail, std::move(beforeRead), false};
}

bool DisarmReadFault() {
    const bool reached = Armed().reached;
    Armed() = ArmedRead{};
    return reached;
}

}  // namespace quillet::test

namespace quillet::platform {

Env& DefaultEnv() {
    static test::FaultyFiles env;
    return env;
}

}  // namespace quillet::platform
