#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillet::fuzz {

// A reader target: which part of a sound package the input replaces.
struct ReaderTarget {
    const char* name;      // "word_text" for the executable fuzz_word_text
    const char* kind;      // the marker part that makes the package the reader's kind
    const char* partName;  // the part the input stands for
};

// Every reader target, in one table shared by the targets and the seed writer.
const std::vector<ReaderTarget>& ReaderTargets();
const ReaderTarget* FindReaderTarget(const std::string& name);

// A sound package of the target's kind whose part `partName` holds `text` (the workbook target
// puts the text before its first NUL into the shared strings and the rest into sheet 1).
std::string SoundPackageAround(const ReaderTarget& target, const std::string& text);

// The sound package of a kind (named by its marker part) as it is.
std::string SoundPackage(const char* kind, bool deflated);

// The inverse for seeds: the input that gives the parts of a real package.
std::string SeedFromParts(const ReaderTarget& target, const std::string& firstPart,
                          const std::string& secondPart);

// Every member name a reader looks up.
const std::vector<std::string>& ReaderPartNames();

// One file per fuzzing process in memory-backed temporary storage, rewritten for every input and
// removed with the object.
class InputFile {
  public:
    explicit InputFile(const std::string& label);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& Write(const std::string& bytes) const;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Traps when TinyXML's tree of the text, measured without recursion, nests deeper than the
// nesting limit allows: the parser's own guard must hold for every input.
void CheckParsedNesting(const std::string& text);

}  // namespace quillet::fuzz
