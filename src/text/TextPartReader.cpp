#include "text/TextPartReader.h"

#include "text/StandingText.h"
#include "text/StreamedReaders.h"
#include "xml/ElementStream.h"
#include "xml/TextConversion.h"

namespace quillet {

Visit TextPartReader::Open(const TiXmlElement& element, int depth) {
    if (stopped()) {
        return Visit::Stop;
    }
    if (result_ != nullptr && result_->full()) {
        skippedFull_ = depth;  // nothing more fits: its end is no end of a unit read
        return Visit::Skip;
    }
    scope_.Open(element, depth);
    const QualifiedName name = scope_.Element(element.ValueStr());
    openSpaces_.push_back(name.space);
    if (name.space != Namespace::MarkupCompatibility) {
        return OpenNamed(name, element, depth);
    }
    if (name.local == "AlternateContent") {
        alternatives_.emplace_back(depth, false);
        return Visit::Enter;
    }
    const bool firstChoice = name.local == "Choice" && !alternatives_.empty() &&
                             alternatives_.back().first == depth - 1 &&
                             !alternatives_.back().second;
    if (firstChoice) {
        alternatives_.back().second = true;
        return Visit::Enter;
    }
    // Other choices and the fallback hold the same content again.
    const bool alternative = !alternatives_.empty() && alternatives_.back().first == depth - 1;
    return alternative ? Visit::Skip : Visit::Enter;
}

bool TextPartReader::Leaf(const TiXmlNode& node, int depth) {
    if (textDepth_ != 0 && depth == textDepth_ + 1) {
        if (const TiXmlText* text = node.ToText()) {
            textTaken_ = true;
            TakeText(WellFormedView(text->ValueStr(), scratch_));
        }
    }
    return true;
}

bool TextPartReader::Close(const TiXmlElement& element, int depth) {
    if (depth == skippedFull_) {
        skippedFull_ = 0;
    } else if (depth == textDepth_) {
        textDepth_ = 0;
        openSpaces_.pop_back();
        if (!textTaken_) {
            TakeText(" ");
        }
        EndText();
    } else {
        // The namespace its name had when it began; its local name is the same as then.
        const std::string_view qualified = element.ValueStr();
        const size_t colon = PrefixEnd(qualified);
        const QualifiedName name{openSpaces_.back(), colon == std::string_view::npos
                                                         ? qualified
                                                         : qualified.substr(colon + 1)};
        openSpaces_.pop_back();
        if (name.space == Namespace::MarkupCompatibility) {
            if (!alternatives_.empty() && alternatives_.back().first == depth) {
                alternatives_.pop_back();
            }
        } else {
            CloseNamed(name, depth);
        }
    }
    scope_.Close(depth);
    if (depth <= CommitDepth && result_ != nullptr) {
        committed_ = result_->size();
    }
    return true;
}

void AppendReadPart(PartSource& part, TextPartReader& reader, BoundedText& result) {
    reader.StartAt(result.size());
    AppendStandingText(part, reader, result, TextSpace::Kept);
}

}  // namespace quillet
