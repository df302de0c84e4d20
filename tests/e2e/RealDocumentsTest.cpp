// Real documents saved by office software, read through the module's exports as a host does.
// The expectations are what each producing program was told to write (tests/data/README.md).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/HostText.h"
#include "support/PluginModule.h"

namespace quillet::test {
namespace {

struct RealDocument {
    const char* file;
    std::map<std::string, std::string> core;  // core properties as told
    std::map<std::string, std::string> app;   // extended properties as the program wrote them
    std::vector<std::string> texts;           // body, cell and slide texts as told
};

const RealDocument Documents[] = {
    {"lo_writer.docx",
     {{"Category", "Test Category"},
      {"ContentStatus", "Draft Status"},
      {"ContentType", "Test Content Type"},
      {"Created", "2021-03-04T05:06:07Z"},
      {"Creator", "Ada Writer"},
      {"Description",
       "Writer description: caf\xC3"
       "\xA9"
       " comments"},
      {"Identifier", "QUILLET-ID-42"},
      {"Keywords", "quillet docx libreoffice"},
      {"Language", "fr-FR"},
      {"LastModifiedBy", "Bob Modifier"},
      {"LastPrinted", "2023-01-02T03:04:05Z"},
      {"Modified", "2022-08-09T10:11:12Z"},
      {"Revision", "7"},
      {"Subject", "Writer Subject & Testing"},
      {"Title", "Quillet Writer Title"},
      {"Version", "1.5"}},
     {{"Application", "LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2"},
      {"AppVersion", "15.0000"},
      {"Template", ""},
      {"TotalTime", "62"},
      {"Pages", "1"},
      {"Words", "35"},
      {"Characters", "187"},
      {"CharactersWithSpaces", "213"},
      {"Paragraphs", "11"},
      {"Manager", "Dana Manager"},
      {"Company", "Quillet Testing Co"}},
     {"Quillet Heading", "Hello plain ASCII words. BoldRun follows.",
      "Caf\xC3"
      "\xA9"
      " au lait for R&D.",
      "Multiple   inner spaces here.", "Visit LinkText now.", "CellText A1", "CellText B1",
      "CellText A2", "CellText B2", "Tab\tseparated and line\nbreak.", "Last paragraph."}},
    {"lo_calc.xlsx",
     {{"Category", "Calc Category"},
      {"ContentStatus", "Final"},
      {"Created", "2020-01-02T03:04:05Z"},
      {"Creator", "Ada Calc"},
      {"Description",
       "Calc description with R&D and caf\xC3"
       "\xA9"
       ""},
      {"Keywords", "quillet xlsx"},
      {"Language", "de-DE"},
      {"LastModifiedBy", "Bob Calc"},
      {"Modified", "2020-06-07T08:09:10Z"},
      {"Revision", "3"},
      {"Subject", "Calc Subject"},
      {"Title", "Quillet Calc Title"}},
     {{"Application", "LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2"},
      {"AppVersion", "15.0000"},
      {"Template", ""},
      {"TotalTime", "5"},
      {"Company", "Quillet Calc Co"}},
     {"Item", "Amount", "Note",
      "Caf\xC3"
      "\xA9"
      "",
      "R&D", "Tea", "Multiple   inner spaces", "Total",
      "Caf\xC3"
      "\xA9"
      "",
      "SecondSheetText", "Third sheet note"}},
    {"lo_impress.pptx",
     {{"Category", "Impress Category"},
      {"ContentStatus", "Reviewed"},
      {"Created", "2019-11-12T13:14:15Z"},
      {"Creator", "Ada Impress"},
      {"Description", "Impress description with R&D"},
      {"Keywords", "quillet pptx slides"},
      {"Language", "es-ES"},
      {"LastModifiedBy", "Bob Impress"},
      {"Modified", "2019-12-13T14:15:16Z"},
      {"Revision", "12"},
      {"Subject", "Impress Subject"},
      {"Title", "Quillet Impress Title"}},
     {{"Application", "LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2"},
      {"AppVersion", "15.0000"},
      {"Template", ""},
      {"TotalTime", "0"},
      {"Company", "Quillet Impress Co"}},
     {"First Slide Title", "Welcome to Quillet",
      "Caf\xC3"
      "\xA9"
      " and R&D",
      "Second Slide Title", "Multiple   inner spaces", "Plain ASCII body text", "Third Slide Title",
      "Thank you, se\xC3"
      "\xB1"
      "or"}},
    {"python_docx.docx",
     {{"Category", "PyDocx Category"},
      {"ContentStatus", "Draft"},
      {"Created", "2021-03-04T05:06:07Z"},
      {"Creator", "Ada PyDocx"},
      {"Description",
       "PyDocx comments with caf\xC3"
       "\xA9"
       " & R&D"},
      {"Identifier", "urn:quillet:pydocx:1"},
      {"Keywords", "quillet; python-docx; test"},
      {"Language", "en-GB"},
      {"LastModifiedBy", "Bob PyDocx"},
      {"LastPrinted", "2021-04-05T06:07:08Z"},
      {"Modified", "2021-05-06T07:08:09Z"},
      {"Revision", "4"},
      {"Subject", "PyDocx Subject"},
      {"Title", "PyDocx Title"},
      {"Version", "2.0"}},
     {{"Application", "Microsoft Macintosh Word"},
      {"AppVersion", "14.0000"},
      {"Template", "Normal.dotm"},
      {"TotalTime", "0"},
      {"Pages", "1"},
      {"Words", "0"},
      {"Characters", "0"},
      {"CharactersWithSpaces", "0"},
      {"Lines", "0"},
      {"Paragraphs", "0"},
      {"DocSecurity", "0"},
      {"Manager", ""},
      {"Company", ""},
      {"HyperlinkBase", ""}},
     {"PyDocx Heading", "First paragraph: plain ASCII words. Second run in bold.",
      "Caf\xC3"
      "\xA9"
      ", na\xC3"
      "\xAF"
      "ve & R&D with Multiple   inner spaces.",
      "See PyDocx link for more.", "CellText R1C1", "CellText R1C2", "CellText R2C1",
      "CellText R2C2", "Closing paragraph."}},
    {"openpyxl.xlsx",
     {{"Category", "Openpyxl Category"},
      {"ContentStatus", "Final"},
      {"Created", "2018-07-08T09:10:11Z"},
      {"Creator", "Ada Openpyxl"},
      {"Description",
       "Openpyxl description: caf\xC3"
       "\xA9"
       " & R&D"},
      {"Identifier", "urn:quillet:openpyxl:1"},
      {"Keywords", "quillet, openpyxl, xlsx"},
      {"Language", "it-IT"},
      {"LastModifiedBy", "Bob Openpyxl"},
      {"LastPrinted", "2018-09-10T11:12:13Z"},
      {"Modified", "2018-08-09T10:11:12Z"},
      {"Revision", "9"},
      {"Subject", "Openpyxl Subject"},
      {"Title", "Openpyxl Title"},
      {"Version", "3.1"}},
     {{"Application", "Microsoft Excel"}, {"AppVersion", "3.0"}},
     {"Name", "Value",
      "Caf\xC3"
      "\xA9"
      "",
      "Caf\xC3"
      "\xA9"
      "",
      "R&D", "Multiple   inner spaces", "Sum", "OpenpyxlSecondSheet"}},
    {"pptxgenjs.pptx",
     {{"Created", "2026-12-07T23:45:32Z"},
      {"Creator", "Ada PptxGenJS"},
      {"LastModifiedBy", "Ada PptxGenJS"},
      {"Modified", "2026-12-07T23:45:32Z"},
      {"Revision", "5"},
      {"Subject", "PptxGenJS Subject"},
      {"Title", "PptxGenJS Title"}},
     {{"Application", "Microsoft Office PowerPoint"},
      {"AppVersion", "16.0000"},
      {"TotalTime", "0"},
      {"Words", "0"},
      {"Paragraphs", "0"},
      {"Slides", "3"},
      {"Notes", "3"},
      {"HiddenSlides", "0"},
      {"MMClips", "0"},
      {"PresentationFormat", "On-screen Show (16:9)"},
      {"Company", "Quillet Slides Co"}},
     {"Gen Slide One",
      "Body with R&D and caf\xC3"
      "\xA9"
      "",
      "Gen Slide Two", "Multiple   inner spaces", "Gen Slide Three", "Plain ASCII closing words"}},
};

std::string DataPath(const char* file) {
    return std::string(QUILLET_TEST_DATA_DIR) + "/" + file;
}

// The element an application field reads, where its name differs from the field's.
std::string AppSource(const std::string& field) {
    if (field == "DocSecurityLevel")
        return "DocSecurity";
    if (field == "TotalTimeMin")
        return "TotalTime";
    if (field == "DigitalSig")
        return "DigSig";
    if (field == "DigitalSigExt")
        return "DigSigExt";
    return field;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

class RealDocuments : public ::testing::TestWithParam<RealDocument> {};

TEST_P(RealDocuments, AnswerEveryPropertyFieldAsTheProgramWroteIt) {
    const RealDocument& document = GetParam();
    const PluginModule& module = PluginModule::Get();
    const std::string path = DataPath(document.file);
    for (int index = 0; index <= 42; ++index) {
        char nameBuffer[64];
        char units[64];
        const int type = module.field(index, nameBuffer, units, sizeof nameBuffer);
        const std::string name = nameBuffer;
        SCOPED_TRACE(name);
        const auto& source = index <= 15 ? document.core : document.app;
        const auto told = source.find(index <= 15 ? name : AppSource(name));
        const bool given = told != source.end();
        const PluginModule::Answer answer = module.Value(path, index, 0, 512);
        switch (type) {
            case 8: {
                ASSERT_EQ(answer.result, 8);
                const std::string text(reinterpret_cast<const char*>(answer.bytes.data()));
                const std::string expected =
                    given ? told->second : (name == "ScaleCrop" ? "Crop" : "");
                EXPECT_EQ(text, ExpectedAnsi(expected));
                break;
            }
            case 10: {
                if (!given) {
                    EXPECT_EQ(answer.result, -3);
                    break;
                }
                ASSERT_EQ(answer.result, 10);
                uint64_t fileTime = 0;
                std::memcpy(&fileTime, answer.bytes.data(), sizeof fileTime);
                EXPECT_EQ(FileTimeToIso(fileTime), told->second);
                break;
            }
            case 1: {
                if (!given) {
                    EXPECT_EQ(answer.result, -3);
                    break;
                }
                ASSERT_EQ(answer.result, 1);
                int32_t count = 0;
                std::memcpy(&count, answer.bytes.data(), sizeof count);
                EXPECT_EQ(count, std::stoi(told->second));
                break;
            }
            case 5: {
                ASSERT_EQ(answer.result, given ? 5 : -3);
                if (!given)
                    break;
                uint16_t words[3];
                std::memcpy(words, answer.bytes.data(), sizeof words);
                const int minutes = std::stoi(told->second);
                EXPECT_EQ(words[0], minutes / 60);
                EXPECT_EQ(words[1], minutes % 60);
                EXPECT_EQ(words[2], 0);
                break;
            }
            case 6: {
                ASSERT_EQ(answer.result, 6);
                int32_t flag = -1;
                std::memcpy(&flag, answer.bytes.data(), sizeof flag);
                EXPECT_EQ(flag, given && told->second == "true" ? 1 : 0);
                break;
            }
            default:
                ADD_FAILURE() << "unexpected type " << type;
        }
    }
}

TEST_P(RealDocuments, ContentHoldsTheToldTextsWhateverTheBufferSize) {
    const RealDocument& document = GetParam();
    const PluginModule& module = PluginModule::Get();
    const std::string path = DataPath(document.file);
    const std::string whole = module.FullText(path, 44, 1 << 20);
    const bool isWord = std::string(document.file).find(".docx") != std::string::npos;
    for (const std::string& text : document.texts) {
        // Text in tables and hyperlinks lies deeper than a document's text is taken from.
        const bool deep = isWord && (text.find("CellText") != std::string::npos ||
                                     text.find("link") != std::string::npos ||
                                     text.find("Link") != std::string::npos);
        for (const std::string& word : Words(text)) {
            SCOPED_TRACE(word);
            const bool found = whole.find(ExpectedAnsi(word)) != std::string::npos;
            if (!deep) {
                EXPECT_TRUE(found);
            }
        }
        if (deep) {
            EXPECT_EQ(whole.find("CellText"), std::string::npos);
        }
    }
    EXPECT_EQ(whole.find("&amp;"), std::string::npos);
    for (const int size : {2, 3, 64, 1024, 2048, 8192}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(module.FullText(path, 44, size), whole);
    }
}

TEST_P(RealDocuments, TitlesPageLikeContent) {
    const PluginModule& module = PluginModule::Get();
    const std::string path = DataPath(GetParam().file);
    const std::string whole = module.FullText(path, 43, 1 << 16);
    EXPECT_TRUE(whole.empty() || whole[0] == ' ');
    for (const int size : {2, 7, 2048}) {
        EXPECT_EQ(module.FullText(path, 43, size), whole);
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, RealDocuments, ::testing::ValuesIn(Documents),
                         [](const ::testing::TestParamInfo<RealDocument>& parameter) {
                             std::string name = parameter.param.file;
                             for (char& c : name) {
                                 if (c == '.' || c == '-')
                                     c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace quillet::test
