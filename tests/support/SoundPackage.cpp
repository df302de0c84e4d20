#include "support/SoundPackage.h"

#include <utility>
#include <vector>

namespace quillet::test {

std::map<std::string, std::string> SoundParts(const std::string& marker) {
    std::map<std::string, std::string> parts{
        {"docProps/core.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties xmlns:cp=\"c\" "
         "xmlns:dc=\"d\" xmlns:dcterms=\"t\"><dc:title>Title</dc:title><dc:creator>Creator"
         "</dc:creator><dcterms:modified>2020-01-02T03:04:05Z</dcterms:modified>"
         "</cp:coreProperties>"},
        {"docProps/app.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Properties xmlns:vt=\"v\"><Pages>1</Pages>"
         "<Slides>1</Slides><TotalTime>5</TotalTime><TitlesOfParts><vt:vector size=\"1\" "
         "baseType=\"lpstr\"><vt:lpstr>Sheet1</vt:lpstr></vt:vector></TitlesOfParts>"
         "</Properties>"}};
    if (marker == WordMarker) {
        parts[marker] =
            "<?xml version=\"1.0\"?><w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>Hello</w:t>"
            "</w:r></w:p></w:body></w:document>";
    } else if (marker == WorkbookMarker) {
        parts[marker] =
            "<?xml version=\"1.0\"?><workbook><sheets><sheet name=\"Sheet1\"/></sheets>"
            "</workbook>";
        parts["xl/sharedStrings.xml"] =
            "<?xml version=\"1.0\"?><sst uniqueCount=\"2\"><si><t>Name</t></si><si><t>Value</t>"
            "</si></sst>";
        parts["xl/worksheets/sheet1.xml"] =
            "<?xml version=\"1.0\"?><worksheet><sheetData><row><c t=\"s\"><v>0</v></c><c><v>42</v>"
            "</c><c t=\"inlineStr\"><is><t>X</t></is></c></row></sheetData></worksheet>";
    } else {
        parts[marker] = "<?xml version=\"1.0\"?><p:presentation xmlns:p=\"p\"/>";
        parts["ppt/slides/slide1.xml"] =
            "<?xml version=\"1.0\"?><p:sld xmlns:a=\"a\" xmlns:p=\"p\"><p:cSld><p:spTree><p:sp>"
            "<p:txBody><a:p><a:r><a:t>Hello</a:t></a:r></a:p></p:txBody></p:sp></p:spTree>"
            "</p:cSld></p:sld>";
    }
    return parts;
}

namespace {

const std::string RelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string Relationships(const std::string& entries) {
    return "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           entries + "</Relationships>";
}

std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + RelationshipsNamespace + "/" + type +
           "\" Target=\"" + target + "\"/>";
}

bool Starts(const std::string& text, const char* start) {
    return text.compare(0, std::string(start).size(), start) == 0;
}

}  // namespace

std::string Declared(const std::string& partName, const std::string& text) {
    std::vector<std::pair<std::string, std::string>> declarations{
        {"xmlns:r", RelationshipsNamespace}};
    if (Starts(partName, "word/")) {
        declarations.emplace_back("xmlns:w",
                                  "http://schemas.openxmlformats.org/wordprocessingml/2006/main");
    } else if (Starts(partName, "xl/")) {
        declarations.emplace_back("xmlns",
                                  "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    } else if (Starts(partName, "ppt/")) {
        declarations.emplace_back("xmlns:a",
                                  "http://schemas.openxmlformats.org/drawingml/2006/main");
        declarations.emplace_back("xmlns:p",
                                  "http://schemas.openxmlformats.org/presentationml/2006/main");
    } else {
        return text;
    }
    // The first element: past the XML declaration, processing instructions and DOCTYPEs.
    size_t at = text.find('<');
    while (at != std::string::npos && at + 1 < text.size() &&
           (text[at + 1] == '?' || text[at + 1] == '!')) {
        at = text.find('<', at + 1);
    }
    const size_t nameEnd = at == std::string::npos ? at : text.find_first_of(" \t\r\n/>", at);
    const size_t tagEnd = nameEnd == std::string::npos ? nameEnd : text.find('>', nameEnd);
    if (tagEnd == std::string::npos) {
        return text;
    }
    // A prefix the tag declares already (the sound parts bind theirs to stand-in URIs) is bound
    // anew; the others are added.
    std::string tag = text.substr(at, tagEnd - at);
    for (const auto& [name, uri] : declarations) {
        const size_t value = tag.find(" " + name + "=\"");
        if (value == std::string::npos) {
            tag.insert(nameEnd - at, " " + name + "=\"" + uri + "\"");
        } else {
            const size_t from = value + name.size() + 3;
            tag.replace(from, tag.find('"', from) - from, uri);
        }
    }
    return text.substr(0, at) + tag + text.substr(tagEnd);
}

std::map<std::string, std::string> ReadByText(std::map<std::string, std::string> parts,
                                              const std::string& marker, int listed) {
    for (auto& [name, text] : parts) {
        text = Declared(name, text);
    }
    if (listed == 0) {
        return parts;
    }
    std::string list;
    std::string related;
    for (int i = 1; i <= listed; ++i) {
        const std::string number = std::to_string(i);
        if (marker == WorkbookMarker) {
            list += "<sheet name=\"Sheet" + number + "\" sheetId=\"" + number + "\" r:id=\"rId" +
                    number + "\"/>";
            related +=
                Relationship("rId" + number, "worksheet", "worksheets/sheet" + number + ".xml");
        } else if (marker == PresentationMarker) {
            list += "<p:sldId id=\"" + std::to_string(255 + i) + "\" r:id=\"rId" + number + "\"/>";
            related += Relationship("rId" + number, "slide", "slides/slide" + number + ".xml");
        }
    }
    if (marker == WorkbookMarker) {
        parts[marker] = Declared(marker, "<workbook><sheets>" + list + "</sheets></workbook>");
        parts["xl/_rels/workbook.xml.rels"] =
            Relationships(related + Relationship("rIdS", "sharedStrings", "sharedStrings.xml"));
    } else if (marker == PresentationMarker) {
        parts[marker] = Declared(
            marker, "<p:presentation><p:sldIdLst>" + list + "</p:sldIdLst></p:presentation>");
        parts["ppt/_rels/presentation.xml.rels"] = Relationships(related);
    }
    return parts;
}

PackageBuilder PackageOf(const std::map<std::string, std::string>& parts, bool deflated) {
    PackageBuilder package;
    for (const auto& [name, data] : parts) {
        if (deflated) {
            package.AddDeflated(name, data);
        } else {
            package.AddStored(name, data);
        }
    }
    return package;
}

}  // namespace quillet::test
