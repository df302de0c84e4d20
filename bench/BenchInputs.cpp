#include "BenchInputs.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "support/PackageBuilder.h"

namespace quillet::bench {
namespace {

constexpr const char* XmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

// Deterministic filler words, so every run measures the same bytes.
class Words {
  public:
    const char* Next() {
        static const char* const vocabulary[] = {
            "quarterly", "revenue", "the",     "of",      "and",    "forecast", "région",
            "market",    "share",   "growth",  "a",       "to",     "in",       "customer",
            "product",   "review",  "annual",  "budget",  "export", "naïve",    "total",
            "margin",    "for",     "with",    "segment", "north",  "south",    "Zürich",
            "report",    "summary", "outlook", "risk",    "we",     "expect",   "strong"};
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return vocabulary[(state_ >> 33) % (sizeof vocabulary / sizeof vocabulary[0])];
    }
    std::string Sentence(int count) {
        std::string sentence;
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                sentence += ' ';
            sentence += Next();
        }
        return sentence;
    }

  private:
    uint64_t state_ = 0x5DEECE66Du;
};

std::string CoreXml(const std::string& title) {
    return std::string(XmlDeclaration) +
           "<cp:coreProperties "
           "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
           "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
           "<dc:title>" +
           title +
           "</dc:title><dc:subject>Results of the quarter</dc:subject>"
           "<dc:creator>Zoë Müller</dc:creator><cp:keywords>finance, quarterly, "
           "région</cp:keywords>"
           "<dc:description>Figures and comments for the board.</dc:description>"
           "<cp:lastModifiedBy>Ada Lovelace</cp:lastModifiedBy><cp:revision>17</cp:revision>"
           "<cp:lastPrinted>2023-03-30T08:15:00Z</cp:lastPrinted>"
           "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2023-01-09T10:00:00Z</dcterms:created>"
           "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">2023-04-02T16:42:11Z</dcterms:modified>"
           "<cp:category>Reports</cp:category><cp:contentStatus>Final</cp:contentStatus>"
           "<dc:language>en-GB</dc:language><dc:identifier>Q1-2023</dc:identifier>"
           "<cp:version>1.4</cp:version><cp:contentType>Report</cp:contentType>"
           "</cp:coreProperties>";
}

std::string TitlesVector(const std::vector<std::string>& titles) {
    std::string vector = "<TitlesOfParts><vt:vector size=\"" + std::to_string(titles.size()) +
                         "\" baseType=\"lpstr\">";
    for (const std::string& title : titles) {
        vector += "<vt:lpstr>" + title + "</vt:lpstr>";
    }
    return vector + "</vt:vector></TitlesOfParts>";
}

std::string AppXml(const std::string& application, const std::string& counts,
                   const std::string& headingPairs, const std::vector<std::string>& titles) {
    return std::string(XmlDeclaration) +
           "<Properties "
           "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
           "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
           "<Template>Normal.dotm</Template><TotalTime>135</TotalTime>" +
           counts + "<Application>" + application +
           "</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>"
           "<HeadingPairs><vt:vector size=\"2\" baseType=\"variant\"><vt:variant><vt:lpstr>" +
           headingPairs + "</vt:lpstr></vt:variant><vt:variant><vt:i4>" +
           std::to_string(titles.size()) + "</vt:i4></vt:variant></vt:vector></HeadingPairs>" +
           TitlesVector(titles) +
           "<Manager>Grace Hopper</Manager><Company>Quillet &amp; Söhne</Company>"
           "<LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
           "<HyperlinkBase>https://example.org/</HyperlinkBase>"
           "<HyperlinksChanged>false</HyperlinksChanged><AppVersion>16.0000</AppVersion>"
           "</Properties>";
}

std::string ContentTypes(const std::string& overrides) {
    return std::string(XmlDeclaration) +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>" +
           overrides +
           "<Override PartName=\"/docProps/core.xml\" "
           "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
           "<Override PartName=\"/docProps/app.xml\" "
           "ContentType=\"application/"
           "vnd.openxmlformats-officedocument.extended-properties+xml\"/></Types>";
}

std::string PackageRels(const std::string& mainPart) {
    const std::string base = "http://schemas.openxmlformats.org/";
    return std::string(XmlDeclaration) + "<Relationships xmlns=\"" + base +
           "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + base +
           "officeDocument/2006/relationships/officeDocument\" Target=\"" + mainPart +
           "\"/><Relationship Id=\"rId2\" Type=\"" + base +
           "package/2006/relationships/metadata/core-properties\" "
           "Target=\"docProps/core.xml\"/><Relationship Id=\"rId3\" Type=\"" +
           base +
           "officeDocument/2006/relationships/extended-properties\" "
           "Target=\"docProps/app.xml\"/></Relationships>";
}

// Collects the members of one package, deflating each once.
class Package {
  public:
    enum class Role { Other, Property, Content };

    void Add(const std::string& name, std::string text, Role role = Role::Other) {
        GeneratedPart part{name, std::move(text), std::string()};
        part.deflated = test::Deflate(part.text);
        test::MemberOptions member;
        member.name = part.name;
        member.data = part.text;
        member.method = 8;
        member.rawData = part.deflated;
        builder_.Add(std::move(member));
        if (role == Role::Property) {
            input_.propertyParts.push_back(std::move(part));
        } else if (role == Role::Content) {
            input_.contentXmlSize += part.text.size();
            input_.contentParts.push_back(std::move(part));
        }
    }

    BenchInput Write(const std::string& directory, const std::string& label,
                     const std::string& extension, size_t copies) {
        const std::string bytes = builder_.Build();
        input_.label = label;
        input_.packageSize = bytes.size();
        std::string stem = label;
        for (char& c : stem) {
            if (c == ' ')
                c = '-';
        }
        for (size_t i = 0; i < copies; ++i) {
            const std::string path = directory + "/" + stem + "-" + std::to_string(i) + extension;
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!out.good()) {
                throw std::runtime_error("cannot write " + path);
            }
            input_.copies.push_back(path);
        }
        return std::move(input_);
    }

  private:
    test::PackageBuilder builder_;
    BenchInput input_;
};

std::string WordParagraph(Words& words, int index) {
    std::string paragraph = "<w:p><w:pPr><w:spacing w:after=\"120\"/></w:pPr>";
    if (index % 7 == 0) {
        paragraph += "<w:r><w:rPr><w:b/></w:rPr><w:t>" + words.Sentence(3) + "</w:t></w:r>";
    }
    paragraph += "<w:r><w:rPr><w:lang w:val=\"en-GB\"/></w:rPr><w:t xml:space=\"preserve\">" +
                 words.Sentence(14) + " </w:t></w:r><w:r><w:t>" + words.Sentence(9) +
                 ".</w:t></w:r></w:p>";
    return paragraph;
}

constexpr const char* BodyStart =
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>";
constexpr const char* BodyEnd =
    "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" "
    "w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\"/></w:sectPr></w:body></w:document>";

BenchInput WriteDocument(const std::string& directory, const std::string& label, std::string body,
                         size_t copies) {
    const size_t pages = body.size() / 9000 + 1;
    const std::string counts = "<Pages>" + std::to_string(pages) + "</Pages><Words>" +
                               std::to_string(body.size() / 40) + "</Words><Characters>" +
                               std::to_string(body.size() / 5) + "</Characters><Lines>" +
                               std::to_string(pages * 40) + "</Lines><Paragraphs>" +
                               std::to_string(pages * 12) + "</Paragraphs><CharactersWithSpaces>" +
                               std::to_string(body.size() / 4) + "</CharactersWithSpaces>";

    Package package;
    const std::string wordType =
        "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
    package.Add("[Content_Types].xml",
                ContentTypes("<Override PartName=\"/word/document.xml\" ContentType=\"" + wordType +
                             "\"/>"));
    package.Add("_rels/.rels", PackageRels("word/document.xml"));
    package.Add("docProps/core.xml", CoreXml("Quarterly report"), Package::Role::Property);
    package.Add("docProps/app.xml",
                AppXml("Microsoft Office Word", counts, "Title", {"Quarterly report"}),
                Package::Role::Property);
    package.Add("word/document.xml", std::move(body), Package::Role::Content);
    package.Add("word/styles.xml",
                std::string(XmlDeclaration) +
                    "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
                    "main\"><w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
                    "<w:name w:val=\"Normal\"/></w:style></w:styles>");
    return package.Write(directory, label, ".docx", copies);
}

BenchInput MakeDocument(const std::string& directory, const std::string& label,
                        size_t minimumBodySize, size_t copies) {
    Words words;
    std::string body;
    body.reserve(minimumBodySize + 4096);
    body += XmlDeclaration;
    body += BodyStart;
    for (int i = 0; body.size() < minimumBodySize; ++i) {
        body += WordParagraph(words, i);
    }
    body += BodyEnd;
    return WriteDocument(directory, label, std::move(body), copies);
}

// One word in one run in each paragraph: the most elements per byte of text a body holds, and
// so the most tree per byte of XML.
BenchInput MakeOneWordDocument(const std::string& directory, const std::string& label,
                               int paragraphs) {
    Words words;
    std::string body;
    body.reserve(static_cast<size_t>(paragraphs) * 60);
    body += XmlDeclaration;
    body += BodyStart;
    // A short cycle of words: the part deflates as far as deflate goes, so a small file stands
    // for a large part, as it does for the tree a hostile file asks for.
    std::vector<std::string> cycle;
    for (int i = 0; i < 35; ++i) {
        cycle.push_back("<w:p><w:pPr/><w:r><w:rPr/><w:t>" + std::string(words.Next()) +
                        "</w:t></w:r></w:p>");
    }
    for (int i = 0; i < paragraphs; ++i) {
        body += cycle[static_cast<size_t>(i) % cycle.size()];
    }
    body += BodyEnd;
    return WriteDocument(directory, label, std::move(body), 1);
}

std::string ColumnName(int column) {
    return std::string(1, static_cast<char>('A' + column));
}

std::string SheetXml(Words& words, int sharedCount, int rows, size_t minimumSize) {
    std::string sheet;
    sheet.reserve(minimumSize + 4096);
    sheet += XmlDeclaration;
    sheet +=
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<dimension ref=\"A1:H" +
        std::to_string(rows) + "\"/><sheetData>";
    uint32_t value = 12345;
    for (int row = 1; row <= rows || sheet.size() < minimumSize; ++row) {
        const std::string r = std::to_string(row);
        sheet += "<row r=\"" + r + "\" spans=\"1:8\">";
        for (int column = 0; column < 8; ++column) {
            const std::string ref = ColumnName(column) + r;
            value = value * 1103515245u + 12345u;
            if (column == 0 || column == 3) {
                sheet += "<c r=\"" + ref + "\" t=\"s\"><v>" +
                         std::to_string((value >> 8) % static_cast<uint32_t>(sharedCount)) +
                         "</v></c>";
            } else if (column == 7 && row % 5 == 0) {
                sheet +=
                    "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + words.Next() + "</t></is></c>";
            } else {
                sheet += "<c r=\"" + ref + "\" s=\"1\"><v>" +
                         std::to_string((value >> 10) % 100000) + "." +
                         std::to_string((value >> 4) % 100) + "</v></c>";
            }
        }
        sheet += "</row>";
    }
    return sheet +
           "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" "
           "bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

std::string SharedStringsXml(Words& words, int sharedCount) {
    std::string shared = std::string(XmlDeclaration) +
                         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                         "main\" count=\"" +
                         std::to_string(sharedCount * 3) + "\" uniqueCount=\"" +
                         std::to_string(sharedCount) + "\">";
    for (int i = 0; i < sharedCount; ++i) {
        shared += "<si><t>" + words.Sentence(1 + i % 4) + "</t></si>";
    }
    return shared + "</sst>";
}

BenchInput WriteWorkbook(const std::string& directory, const std::string& label, std::string shared,
                         std::vector<std::string> sheetParts, size_t copies) {
    const int sheets = static_cast<int>(sheetParts.size());
    std::vector<std::string> titles;
    std::string sheetList;
    std::string sheetRels;
    for (int i = 1; i <= sheets; ++i) {
        const std::string n = std::to_string(i);
        titles.push_back("Sheet" + n);
        sheetList += "<sheet name=\"Sheet" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        sheetRels += "<Relationship Id=\"rId" + n +
                     "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                     "relationships/worksheet\" Target=\"worksheets/sheet" +
                     n + ".xml\"/>";
    }

    Package package;
    package.Add("[Content_Types].xml",
                ContentTypes("<Override PartName=\"/xl/workbook.xml\" "
                             "ContentType=\"application/"
                             "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"));
    package.Add("_rels/.rels", PackageRels("xl/workbook.xml"));
    package.Add("docProps/core.xml", CoreXml("Sales figures"), Package::Role::Property);
    package.Add("docProps/app.xml", AppXml("Microsoft Excel", "", "Worksheets", titles),
                Package::Role::Property);
    package.Add("xl/workbook.xml",
                std::string(XmlDeclaration) +
                    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships\"><sheets>" +
                    sheetList + "</sheets></workbook>");
    package.Add("xl/_rels/workbook.xml.rels",
                std::string(XmlDeclaration) +
                    "<Relationships "
                    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                    sheetRels + "</Relationships>");
    package.Add("xl/styles.xml",
                std::string(XmlDeclaration) +
                    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                    "main\"><numFmts count=\"0\"/></styleSheet>");
    package.Add("xl/sharedStrings.xml", std::move(shared), Package::Role::Content);
    for (int i = 1; i <= sheets; ++i) {
        package.Add("xl/worksheets/sheet" + std::to_string(i) + ".xml",
                    std::move(sheetParts[static_cast<size_t>(i - 1)]), Package::Role::Content);
    }
    return package.Write(directory, label, ".xlsx", copies);
}

BenchInput MakeWorkbook(const std::string& directory, const std::string& label, int sheets,
                        int rows, size_t minimumSheetSize, int sharedCount, size_t copies) {
    Words words;
    std::string shared = SharedStringsXml(words, sharedCount);
    std::vector<std::string> sheetParts;
    for (int i = 1; i <= sheets; ++i) {
        sheetParts.push_back(SheetXml(words, sharedCount, rows, minimumSheetSize));
    }
    return WriteWorkbook(directory, label, std::move(shared), std::move(sheetParts), copies);
}

// Rows of five small numbers: the most cells per byte of text a sheet holds, and so the most
// tree per byte of XML. The rows repeat in a short cycle (without row numbers, which the reader
// does not look at), so that the part deflates as far as deflate goes.
BenchInput MakeNumberSheetWorkbook(const std::string& directory, const std::string& label,
                                   int rows) {
    Words words;
    std::string sheet;
    sheet.reserve(static_cast<size_t>(rows) * 140);
    sheet += XmlDeclaration;
    sheet +=
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<dimension ref=\"A1:E" +
        std::to_string(rows) + "\"/><sheetData>";
    std::vector<std::string> cycle;
    uint32_t value = 12345;
    for (int row = 0; row < 20; ++row) {
        std::string cells = "<row spans=\"1:5\">";
        for (int column = 0; column < 5; ++column) {
            value = value * 1103515245u + 12345u;
            cells += "<c t=\"n\"><v>" + std::to_string((value >> 16) % 100) + "</v></c>";
        }
        cycle.push_back(cells + "</row>");
    }
    for (int row = 0; row < rows; ++row) {
        sheet += cycle[static_cast<size_t>(row) % cycle.size()];
    }
    sheet += "</sheetData></worksheet>";
    std::vector<std::string> sheetParts;
    sheetParts.push_back(std::move(sheet));
    return WriteWorkbook(directory, label, SharedStringsXml(words, 1), std::move(sheetParts), 1);
}

std::string SlideXml(Words& words, int number) {
    const auto shape = [&](int id, const std::string& name, int paragraphs) {
        std::string sp = "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" +
                         name +
                         "\"/><p:cNvSpPr><a:spLocks noGrp=\"1\"/></p:cNvSpPr><p:nvPr><p:ph "
                         "type=\"body\" idx=\"1\"/></p:nvPr></p:nvSpPr><p:spPr/><p:txBody>"
                         "<a:bodyPr/><a:lstStyle/>";
        for (int i = 0; i < paragraphs; ++i) {
            sp += "<a:p><a:r><a:rPr lang=\"en-GB\" dirty=\"0\"/><a:t>" + words.Sentence(8) +
                  "</a:t></a:r><a:endParaRPr lang=\"en-GB\"/></a:p>";
        }
        return sp + "</p:txBody></p:sp>";
    };
    return std::string(XmlDeclaration) +
           "<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
           "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><p:cSld>"
           "<p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/>"
           "</p:nvGrpSpPr><p:grpSpPr/>" +
           shape(2, "Title " + std::to_string(number), 1) + shape(3, "Content", 4) +
           "</p:spTree></p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sld>";
}

BenchInput MakePresentation(const std::string& directory, const std::string& label, int slides,
                            size_t copies) {
    Words words;
    std::vector<std::string> titles{"Office Theme"};
    std::string slideList;
    for (int i = 1; i <= slides; ++i) {
        titles.push_back("Slide " + std::to_string(i));
        slideList += "<p:sldId id=\"" + std::to_string(255 + i) + "\" r:id=\"rId" +
                     std::to_string(i + 1) + "\"/>";
    }
    const std::string counts =
        "<PresentationFormat>On-screen Show (16:9)</PresentationFormat>"
        "<Words>" +
        std::to_string(slides * 40) + "</Words><Paragraphs>" + std::to_string(slides * 5) +
        "</Paragraphs><Slides>" + std::to_string(slides) +
        "</Slides><Notes>0</Notes><HiddenSlides>0</HiddenSlides>"
        "<MMClips>0</MMClips>";

    Package package;
    package.Add("[Content_Types].xml",
                ContentTypes("<Override PartName=\"/ppt/presentation.xml\" "
                             "ContentType=\"application/"
                             "vnd.openxmlformats-officedocument.presentationml.presentation."
                             "main+xml\"/>"));
    package.Add("_rels/.rels", PackageRels("ppt/presentation.xml"));
    package.Add("docProps/core.xml", CoreXml("Strategy 2024"), Package::Role::Property);
    package.Add("docProps/app.xml",
                AppXml("Microsoft Office PowerPoint", counts, "Slide Titles", titles),
                Package::Role::Property);
    package.Add("ppt/presentation.xml",
                std::string(XmlDeclaration) +
                    "<p:presentation "
                    "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships\"><p:sldIdLst>" +
                    slideList + "</p:sldIdLst></p:presentation>");
    package.Add("ppt/slideLayouts/slideLayout1.xml",
                std::string(XmlDeclaration) +
                    "<p:sldLayout "
                    "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"/>");
    for (int i = 1; i <= slides; ++i) {
        const std::string n = std::to_string(i);
        package.Add("ppt/slides/slide" + n + ".xml", SlideXml(words, i), Package::Role::Content);
        package.Add("ppt/slides/_rels/slide" + n + ".xml.rels",
                    std::string(XmlDeclaration) +
                        "<Relationships "
                        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                        "officeDocument/2006/relationships/slideLayout\" "
                        "Target=\"../slideLayouts/slideLayout1.xml\"/></Relationships>");
    }
    return package.Write(directory, label, ".pptx", copies);
}

}  // namespace

std::vector<BenchInput> GenerateInputs(const std::string& directory, size_t copies) {
    std::vector<BenchInput> inputs;
    inputs.push_back(MakeDocument(directory, "document", 40 * 1024, copies));
    inputs.push_back(MakeWorkbook(directory, "workbook", 3, 150, 0, 120, copies));
    inputs.push_back(MakePresentation(directory, "presentation", 12, copies));
    inputs.push_back(
        MakeDocument(directory, "large document", 5 * 1024 * 1024 + 256 * 1024, copies));
    inputs.push_back(
        MakeWorkbook(directory, "large workbook", 1, 1, 21 * 1024 * 1024, 4000, copies));
    inputs.push_back(MakePresentation(directory, "large presentation", 500, copies));
    return inputs;
}

std::vector<BenchInput> GenerateLargestInputs(const std::string& directory) {
    std::vector<BenchInput> inputs;
    inputs.push_back(MakeNumberSheetWorkbook(directory, "60 MB sheet", 472000));
    inputs.push_back(MakeOneWordDocument(directory, "60 MB body", 1100000));
    for (BenchInput& input : inputs) {
        // Only the files are measured: the parts' names stay, their bytes need not.
        for (GeneratedPart& part : input.contentParts) {
            part.text = std::string();
            part.deflated = std::string();
        }
    }
    return inputs;
}

}  // namespace quillet::bench
