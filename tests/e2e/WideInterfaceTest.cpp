// ContentGetValueW as a Unicode host calls it: UTF-16 names, UTF-16 texts with every character
// of the document, and every other answer as ContentGetValue gives it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/WindowsApi.h"
#endif

#include "support/PackageBuilder.h"
#include "support/PluginModule.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

constexpr int CreatorField = 4;
constexpr int TitleField = 14;
constexpr int PagesField = 32;
constexpr int TitlesField = 43;
constexpr int ContentField = 44;

// A document whose title, author, titles of parts and body are `text`.
std::string DocumentOf(const std::string& utf8) {
    PackageBuilder builder;
    builder.AddDeflated("docProps/core.xml",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties><dc:title>" +
                            utf8 + "</dc:title><dc:creator>" + utf8 +
                            "</dc:creator></cp:coreProperties>");
    builder.AddDeflated("docProps/app.xml",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Properties><Pages>3</Pages>"
                        "<TitlesOfParts><vt:vector size=\"1\"><vt:lpstr>" +
                            utf8 + "</vt:lpstr></vt:vector></TitlesOfParts></Properties>");
    builder.AddDeflated("word/document.xml",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document><w:body><w:p><w:r>"
                        "<w:t>" +
                            utf8 + "</w:t></w:r></w:p></w:body></w:document>");
    return builder.Build();
}

// What ContentGetValue answers for a text: the host's ANSI form of it (the test runs in a UTF-8
// locale on Linux; on Windows the system converts into the process code page, best fit allowed).
std::string AnsiOf(const std::u16string& text, const std::string& utf8) {
#ifdef _WIN32
    (void)utf8;
    const std::wstring wide(text.begin(), text.end());
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return std::string(bytes.data());
#else
    (void)text;
    return utf8;
#endif
}

// A file with a name in any script, made and removed through the system's own Unicode calls.
class UnicodeNamedFile {
  public:
    UnicodeNamedFile(const std::u16string& name, const std::string& utf8Name,
                     const std::string& bytes) {
        const std::string directory = std::filesystem::temp_directory_path().string();
#ifdef _WIN32
        (void)utf8Name;
        path_ = Widen(directory) + u"\\" + name;
        const std::wstring wide(path_.begin(), path_.end());
        FILE* file = ::_wfopen(wide.c_str(), L"wb");
#else
        (void)name;
        path_ = Widen(directory) + u"/" + name;
        utf8Path_ = directory + "/" + utf8Name;
        FILE* file = std::fopen(utf8Path_.c_str(), "wb");
#endif
        EXPECT_NE(file, nullptr);
        if (file == nullptr) {
            return;
        }
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }
    ~UnicodeNamedFile() {
#ifdef _WIN32
        const std::wstring wide(path_.begin(), path_.end());
        ::_wremove(wide.c_str());
#else
        std::remove(utf8Path_.c_str());
#endif
    }
    UnicodeNamedFile(const UnicodeNamedFile&) = delete;
    UnicodeNamedFile& operator=(const UnicodeNamedFile&) = delete;

    const std::u16string& path() const {
        return path_;
    }

  private:
    std::u16string path_;
    std::string utf8Path_;
};

struct ScriptCase {
    const char* name;
    std::u16string utf16;
    std::string utf8;
};

const std::vector<ScriptCase>& Scripts() {
    static const std::vector<ScriptCase> cases = {
        {"Russian", u"Отчёт о продажах", u8"Отчёт о продажах"},
        {"Greek", u"Αναφορά πωλήσεων", u8"Αναφορά πωλήσεων"},
        {"Chinese", u"销售报告", u8"销售报告"},
        {"LatinAndEmoji", u"Résumé – naïve 😀", u8"Résumé – naïve 😀"},
        {"Mixed", u"Q3: Отчёт, 销售, Ωμέγα 😀🎉 ok", u8"Q3: Отчёт, 销售, Ωμέγα 😀🎉 ok"},
    };
    return cases;
}

TEST(WideInterface, EveryScriptArrivesWholeWhileTheAnsiAnswersStayAsTheyWere) {
    const PluginModule& module = PluginModule::Get();
    for (const ScriptCase& script : Scripts()) {
        SCOPED_TRACE(script.name);
        const TempFile file(DocumentOf(script.utf8));
        const std::u16string wideName = Widen(file.path());
        EXPECT_EQ(module.TextW(wideName, TitleField), script.utf16);
        EXPECT_EQ(module.TextW(wideName, CreatorField), script.utf16);
        EXPECT_EQ(module.FullTextW(wideName, ContentField), script.utf16 + u"\t\n");
        EXPECT_EQ(module.FullTextW(wideName, TitlesField), u" " + script.utf16);

        const std::string ansi = AnsiOf(script.utf16, script.utf8);
        EXPECT_EQ(module.Text(file.path(), TitleField), ansi);
        EXPECT_EQ(module.Text(file.path(), CreatorField), ansi);
        EXPECT_EQ(module.FullText(file.path(), ContentField), ansi + "\t\n");
        EXPECT_EQ(module.FullText(file.path(), TitlesField), " " + ansi);
    }
}

TEST(WideInterface, FilesNamedInAnyScriptOpen) {
    const PluginModule& module = PluginModule::Get();
    const std::string document = DocumentOf(u8"Отчёт");
    const std::vector<std::pair<std::u16string, std::string>> names = {
        {u"Отчёт.docx", u8"Отчёт.docx"},
        {u"销售报告.docx", u8"销售报告.docx"},
        {u"Résumé 😀.docx", u8"Résumé 😀.docx"},
    };
    for (const auto& [name, utf8Name] : names) {
        const UnicodeNamedFile file(name, utf8Name, document);
        EXPECT_EQ(module.TextW(file.path(), TitleField), u"Отчёт");
        EXPECT_EQ(module.FullTextW(file.path(), ContentField), u"Отчёт\t\n");
        const PluginModule::Answer pages = module.ValueW(file.path(), PagesField, 0, 4);
        EXPECT_EQ(pages.result, 1);
        EXPECT_EQ(pages.bytes[0], 3);
    }
}

TEST(WideInterface, NamesThatAreNotUtf16AndMissingFilesAnswerFileError) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(DocumentOf("Plain"));
    const std::u16string existing = Widen(file.path());
    ASSERT_EQ(module.TextW(existing, TitleField), u"Plain");
    const std::u16string high(1, char16_t(0xD800));
    const std::u16string low(1, char16_t(0xDC00));
    for (const std::u16string& name :
         {existing + high, existing + low, high + existing, existing.substr(0, 3) + low + high,
          Widen(MissingPath()), std::u16string()}) {
        for (const int field : {TitleField, PagesField, ContentField, 46}) {
            EXPECT_EQ(module.ValueW(name, field).result, -2) << field;
        }
    }
    EXPECT_EQ(module.ValueW(existing, 46).result, -1);
    EXPECT_EQ(module.ValueW(existing, -5).result, -1);
}

// A surrogate pair falls on every piece boundary: the pieces carry one unit less there, and
// still join into the whole text.
TEST(WideInterface, PiecesNeverSplitASurrogatePair) {
    const PluginModule& module = PluginModule::Get();
    std::u16string emoji;
    std::string emojiUtf8;
    for (int i = 0; i < 12; ++i) {
        emoji += u"😀";
        emojiUtf8 += u8"😀";
    }
    for (const std::string lead : {"", "a", "ab", "abc"}) {
        const TempFile file(DocumentOf(lead + emojiUtf8 + "z" + emojiUtf8));
        const std::u16string whole = Widen(lead) + emoji + u"z" + emoji + u"\t\n";
        for (int size = 6; size <= 22; ++size) {
            SCOPED_TRACE("lead " + lead + ", buffer " + std::to_string(size));
            EXPECT_EQ(module.FullTextW(Widen(file.path()), ContentField, size), whole);
        }
    }
}

TEST(WideInterface, StringFieldsInBuffersOfZeroToFiveBytes) {
    const PluginModule& module = PluginModule::Get();
    const TempFile plain(DocumentOf("Ab"));
    const TempFile pair(DocumentOf(u8"😀b"));
    struct Case {
        int size;
        std::u16string plain;  // empty: nothing written at all
        std::u16string pair;
        bool written;
    };
    const Case cases[] = {
        {0, u"", u"", false}, {1, u"", u"", false}, {2, u"", u"", true},
        {3, u"", u"", true},  {4, u"A", u"", true}, {5, u"A", u"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        for (const auto& [file, expected] :
             {std::pair<const TempFile*, std::u16string>{&plain, c.plain}, {&pair, c.pair}}) {
            const PluginModule::Answer answer =
                module.ValueW(Widen(file->path()), TitleField, 0, c.size);
            EXPECT_EQ(answer.result, 11);
            if (!c.written) {
                for (const unsigned char byte : answer.bytes) {
                    EXPECT_EQ(byte, 0xCC);
                }
                continue;
            }
            EXPECT_EQ(UnitsIn(answer.bytes), expected);
            const size_t used = (expected.size() + 1) * 2;
            for (size_t i = used; i < answer.bytes.size(); ++i) {
                EXPECT_EQ(answer.bytes[i], 0xCC) << "byte " << i;
            }
        }
    }
}

TEST(WideInterface, FullTextsInBuffersOfZeroToFiveBytes) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(DocumentOf("Ab"));
    const std::u16string name = Widen(file.path());
    for (int size = 0; size <= 5; ++size) {
        SCOPED_TRACE(size);
        const PluginModule::Answer first = module.ValueW(name, ContentField, 0, size);
        EXPECT_EQ(first.result, 12);
        if (size >= 2) {
            EXPECT_EQ(UnitsIn(first.bytes), size >= 4 ? u"A" : u"");
        } else {
            for (const unsigned char byte : first.bytes) {
                EXPECT_EQ(byte, 0xCC);
            }
        }
        // A next call needs room for one unit and its terminator.
        for (int nextSize = 0; nextSize < 4; ++nextSize) {
            EXPECT_EQ(module.ValueW(name, ContentField, 1, nextSize).result, -3);
        }
        const PluginModule::Answer next = module.ValueW(name, ContentField, 1, 6);
        EXPECT_EQ(next.result, 12);
        EXPECT_EQ(UnitsIn(next.bytes), size >= 4 ? u"b\t" : u"Ab");
        EXPECT_EQ(module.ValueW(name, ContentField, -1, size).result, 12);
    }
    // A pair a piece of one unit cannot carry ends the transfer there.
    const TempFile pair(DocumentOf(u8"a😀"));
    const std::u16string pairName = Widen(pair.path());
    EXPECT_EQ(UnitsIn(module.ValueW(pairName, ContentField, 0, 4).bytes), u"a");
    EXPECT_EQ(module.ValueW(pairName, ContentField, 1, 4).result, -3);
    EXPECT_EQ(UnitsIn(module.ValueW(pairName, ContentField, 1, 6).bytes), u"😀");
    EXPECT_EQ(module.ValueW(pairName, ContentField, -1, 6).result, 12);
}

// Numbers, flags, times and dates come in the same forms through both entry points, whatever
// the buffer.
TEST(WideInterface, FixedSizeFormsAreThoseOfTheAnsiEntryPoint) {
    const PluginModule& module = PluginModule::Get();
    const std::string path = QUILLET_TEST_DATA_DIR "/lo_writer.docx";
    for (int field = 0; field <= 42; ++field) {
        int type = 0;
        {
            char name[64];
            char units[64];
            type = module.field(field, name, units, sizeof name);
        }
        if (type == 8) {
            continue;
        }
        for (const int size : {0, 3, 4, 5, 6, 7, 8, 64}) {
            const PluginModule::Answer ansi = module.Value(path, field, 0, size);
            const PluginModule::Answer wide = module.ValueW(Widen(path), field, 0, size);
            EXPECT_EQ(wide.result, ansi.result) << "field " << field << ", size " << size;
            EXPECT_EQ(wide.bytes, ansi.bytes) << "field " << field << ", size " << size;
        }
    }
}

// Text that is not UTF-8 gives one U+FFFD for each maximal ill-formed subsequence.
TEST(WideInterface, IllFormedUtf8BecomesReplacementCharacters) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(
        DocumentOf("a\xE2\x82"
                   "b\xC0\xAF"
                   "c\xF0\x9F\x98"
                   "dd"));
    EXPECT_EQ(module.TextW(Widen(file.path()), TitleField), u"a\uFFFDb\uFFFD\uFFFDc\uFFFDdd");
    EXPECT_EQ(module.FullTextW(Widen(file.path()), ContentField),
              u"a\uFFFDb\uFFFD\uFFFDc\uFFFDdd\t\n");
}

}  // namespace
}  // namespace quillet::test
