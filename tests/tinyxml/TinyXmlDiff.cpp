#include "tinyxml/TinyXmlDiff.h"

#include <pthread.h>

#include <algorithm>

#include <tinyxml.h>

#include "tinyxml/ParseOutcome.h"

namespace quillet::test {
namespace {

// Debian's parser and its tree's destructor recurse per level of nesting, and every level starts
// at a '<': a few KiB of stack for each, under the sanitizers too.
constexpr size_t ShallowTags = 1000;
constexpr size_t StackBytesPerTag = 8 << 10;
constexpr size_t MinimumStackBytes = 64 << 20;

// Whether Debian's tree of a text shows it passes a limit: an element deeper than the bound, or
// one that holds the most attributes allowed and so may have had one more to read (the parse of
// a failing attribute leaves none behind).
bool PassesLimits(const ParseOutcome& debian) {
    return debian.deepestElement > TIXML_MAX_ELEMENT_DEPTH ||
           debian.mostAttributes >= TIXML_MAX_ATTRIBUTES;
}

std::string Compare(const std::string& text, int encoding, bool condense, bool pooled) {
    const ParseOutcome debian = ParseWithDebianTinyXml(text, encoding, condense);
    const ParseOutcome patched = ParseWithPatchedTinyXml(text, encoding, condense, pooled);
    if (debian.description == patched.description) {
        return std::string();
    }
    if (PassesLimits(debian) && patched.error &&
        patched.errorId == TiXmlBase::TIXML_ERROR_PARSING_ELEMENT) {
        return std::string();
    }
    return "encoding " + std::to_string(encoding) + (condense ? ", condensed" : ", kept") +
           (pooled ? ", pooled nodes" : "") + ":\n--- Debian's TinyXML\n" + debian.description +
           "--- patched TinyXML\n" + patched.description;
}

struct Job {
    const std::string* text;
    std::string difference;
};

void* RunJob(void* argument) {
    Job& job = *static_cast<Job*>(argument);
    for (const int encoding : {TIXML_ENCODING_UNKNOWN, TIXML_ENCODING_UTF8}) {
        for (const bool condense : {true, false}) {
            for (const bool pooled : {false, true}) {
                job.difference = Compare(*job.text, encoding, condense, pooled);
                if (!job.difference.empty()) {
                    return nullptr;
                }
            }
        }
    }
    return nullptr;
}

}  // namespace

std::string TinyXmlDifference(const std::string& bytes) {
    // TinyXML parses a C string. Debian's copy could read on past its first NUL (the guards patch
    // stops there), so both are handed the text up to it.
    const std::string text = bytes.substr(0, bytes.find('\0'));
    Job job{&text, std::string()};
    // Few tags nest no deeper than the thread's own stack holds; a thread, and so a stack the
    // sanitizers prepare, costs more than a small text's parses.
    const auto tags = static_cast<size_t>(std::count(text.begin(), text.end(), '<'));
    if (tags < ShallowTags) {
        RunJob(&job);
        return job.difference;
    }
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, std::max(MinimumStackBytes, tags * StackBytesPerTag));
    pthread_t thread;
    if (pthread_create(&thread, &attributes, RunJob, &job) != 0) {
        pthread_attr_destroy(&attributes);
        return "no thread to compare on";
    }
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return job.difference;
}

}  // namespace quillet::test
