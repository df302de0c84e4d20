#include "tinyxml/TinyXmlDiff.h"

#include <pthread.h>

#include <tinyxml.h>

#include "tinyxml/ParseOutcome.h"

namespace quillet::test {
namespace {

// Debian's parser and its tree's destructor recurse per level: 100000 levels take far more than
// a thread's usual 8 MiB under the sanitizers.
constexpr size_t StackBytes = size_t{1} << 30;

// Whether Debian's tree of a text shows it passes a limit: an element deeper than the bound, or
// one that holds the most attributes allowed and so may have had one more to read (the parse of
// a failing attribute leaves none behind).
bool PassesLimits(const ParseOutcome& debian) {
    return debian.deepestElement > TIXML_MAX_ELEMENT_DEPTH ||
           debian.mostAttributes >= TIXML_MAX_ATTRIBUTES;
}

std::string Compare(const std::string& text, int encoding, bool condense) {
    const ParseOutcome debian = ParseWithDebianTinyXml(text, encoding, condense);
    const ParseOutcome patched = ParseWithPatchedTinyXml(text, encoding, condense);
    if (debian.description == patched.description) {
        return std::string();
    }
    if (PassesLimits(debian) && patched.error &&
        patched.errorId == TiXmlBase::TIXML_ERROR_PARSING_ELEMENT) {
        return std::string();
    }
    return "encoding " + std::to_string(encoding) + (condense ? ", condensed" : ", kept") +
           ":\n--- Debian's TinyXML\n" + debian.description + "--- patched TinyXML\n" +
           patched.description;
}

struct Job {
    const std::string* text;
    std::string difference;
};

void* RunJob(void* argument) {
    Job& job = *static_cast<Job*>(argument);
    for (const int encoding : {TIXML_ENCODING_UNKNOWN, TIXML_ENCODING_UTF8}) {
        for (const bool condense : {true, false}) {
            job.difference = Compare(*job.text, encoding, condense);
            if (!job.difference.empty()) {
                return nullptr;
            }
        }
    }
    return nullptr;
}

}  // namespace

std::string TinyXmlDifference(const std::string& text) {
    Job job{&text, std::string()};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, StackBytes);
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
