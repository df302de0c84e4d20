// The property records filled from whole packages.
#include <gtest/gtest.h>

#include "ArchiveFixture.h"
#include "props/AppProperties.h"
#include "props/CoreProperties.h"
#include "props/PropertyRecords.h"
#include "support/PackageBuilder.h"
#include "support/TempFile.h"

namespace quillet {
namespace {

using test::PackageBuilder;
using test::TempFile;

const char* const CoreXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<cp:coreProperties xmlns:cp=\"c\" xmlns:dc=\"d\" xmlns:dcterms=\"t\">"
    "<cp:category>Cat</cp:category><cp:contentStatus>Draft</cp:contentStatus>"
    "<cp:contentType>Type</cp:contentType>"
    "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-04-26T19:52:25Z</dcterms:created>"
    "<dc:creator>Ann</dc:creator><dc:description>Desc</dc:description>"
    "<dc:identifier>ID-1</dc:identifier><cp:keywords>k1 k2</cp:keywords>"
    "<dc:language>en-GB</dc:language><cp:lastModifiedBy>Bob</cp:lastModifiedBy>"
    "<cp:lastPrinted>2013-04-27T10:00:00Z</cp:lastPrinted>"
    "<dcterms:modified>2013-04-28T11:00:00Z</dcterms:modified><cp:revision>7</cp:revision>"
    "<dc:subject>Subj</dc:subject><dc:title>Caf\xC3\xA9 &amp; more</dc:title>"
    "<cp:version>1.2</cp:version></cp:coreProperties>";

// Both records of the file's bytes, read as a request reads them.
PropertyRecords LoadRecords(const std::string& bytes) {
    const TempFile file(bytes);
    const auto archive = OpenArchiveFile(file.path().c_str());
    PropertyRecords records;
    records.Load(archive.get());
    return records;
}

CoreProperties LoadCore(const PackageBuilder& package) {
    return LoadRecords(package.Build()).core;
}

AppProperties LoadApp(const PackageBuilder& package) {
    return LoadRecords(package.Build()).app;
}

TEST(CorePropertiesLoad, ReadsAllSixteenProperties) {
    PackageBuilder package;
    package.AddDeflated("docProps/core.xml", CoreXml);
    const CoreProperties core = LoadCore(package);
    EXPECT_EQ(core.category, "Cat");
    EXPECT_EQ(core.contentStatus, "Draft");
    EXPECT_EQ(core.contentType, "Type");
    EXPECT_EQ(core.created, "2013-04-26T19:52:25Z");
    EXPECT_EQ(core.creator, "Ann");
    EXPECT_EQ(core.description, "Desc");
    EXPECT_EQ(core.identifier, "ID-1");
    EXPECT_EQ(core.keywords, "k1 k2");
    EXPECT_EQ(core.language, "en-GB");
    EXPECT_EQ(core.lastModifiedBy, "Bob");
    EXPECT_EQ(core.lastPrinted, "2013-04-27T10:00:00Z");
    EXPECT_EQ(core.modified, "2013-04-28T11:00:00Z");
    EXPECT_EQ(core.revision, "7");
    EXPECT_EQ(core.subject, "Subj");
    EXPECT_EQ(core.title.substr(core.title.size() - 7), " & more");
    EXPECT_EQ(core.version, "1.2");
}

TEST(CorePropertiesLoad, FindsTheMemberInAnyLetterCaseAndTakesTheFirst) {
    PackageBuilder capitals;
    capitals.AddStored("DOCPROPS/CORE.XML", CoreXml);
    EXPECT_EQ(LoadCore(capitals).creator, "Ann");

    PackageBuilder twice;
    twice.AddStored("docprops/Core.xml",
                    "<cp:coreProperties><dc:creator>First</dc:creator></cp:coreProperties>");
    twice.AddStored("docProps/core.xml", CoreXml);
    EXPECT_EQ(LoadCore(twice).creator, "First");
}

TEST(CorePropertiesLoad, UnreadablePartsLeaveEverythingEmpty) {
    PackageBuilder empty;
    empty.AddStored("docProps/core.xml", "");
    PackageBuilder missing;
    missing.AddStored("docProps/app.xml", "<Properties/>");
    PackageBuilder utf16;
    utf16.AddStored("docProps/core.xml", std::string("\xFF\xFE<\0c\0p\0:\0", 10));
    for (const PackageBuilder* package : {&empty, &missing, &utf16}) {
        const CoreProperties core = LoadCore(*package);
        EXPECT_EQ(core.creator, "");
        EXPECT_EQ(core.created, "");
        EXPECT_EQ(core.title, "");
    }
    const PropertyRecords text = LoadRecords("just text");
    EXPECT_FALSE(text.opened);
    EXPECT_EQ(text.core.creator, "");
    EXPECT_EQ(text.app.pages, -1);
}

std::string AppXml(const std::string& children) {
    return "<?xml version=\"1.0\"?><Properties xmlns:vt=\"v\">" + children + "</Properties>";
}

TEST(AppPropertiesLoad, ReadsCountsTextsAndFlags) {
    PackageBuilder package;
    package.AddDeflated(
        "docProps/app.xml",
        AppXml("<Template>Normal.dotm</Template><TotalTime>125</TotalTime><Pages>12</Pages>"
               "<Words>3456</Words><Characters>19700</Characters><Application>Word</Application>"
               "<DocSecurity>0</DocSecurity><Lines> 40 </Lines><Paragraphs>x</Paragraphs>"
               "<ScaleCrop>true</ScaleCrop><SharedDoc>\n true \n</SharedDoc>"
               "<LinksUpToDate>True</LinksUpToDate><HyperlinksChanged>1</HyperlinksChanged>"
               "<DigSig><blob/></DigSig><DigSigExt>sig</DigSigExt>"
               "<Company>R&amp;D</Company><AppVersion>16.0000</AppVersion>"
               "<CharactersWithSpaces>23000</CharactersWithSpaces>"));
    const AppProperties app = LoadApp(package);
    EXPECT_EQ(app.templateName, "Normal.dotm");
    EXPECT_EQ(app.totalTime, 125);
    EXPECT_EQ(app.pages, 12);
    EXPECT_EQ(app.words, 3456);
    EXPECT_EQ(app.characters, 19700);
    EXPECT_EQ(app.charactersWithSpaces, 23000);
    EXPECT_EQ(app.lines, 40);
    EXPECT_EQ(app.paragraphs, -1);
    EXPECT_EQ(app.docSecurity, 0);
    EXPECT_EQ(app.slides, -1);
    EXPECT_EQ(app.application, "Word");
    EXPECT_EQ(app.appVersion, "16.0000");
    EXPECT_EQ(app.company, "R&D");
    EXPECT_EQ(app.scaleCrop, "Scale");
    EXPECT_TRUE(app.sharedDoc);
    EXPECT_FALSE(app.linksUpToDate);
    EXPECT_FALSE(app.hyperlinksChanged);
    EXPECT_FALSE(app.digSig);
    EXPECT_TRUE(app.digSigExt);
    EXPECT_EQ(app.sheets, -1);
}

TEST(AppPropertiesLoad, ScaleCropIsCropUnlessTrueAndEmptyWithoutThePart) {
    PackageBuilder isFalse;
    isFalse.AddStored("docProps/app.xml", AppXml("<ScaleCrop>false</ScaleCrop>"));
    EXPECT_EQ(LoadApp(isFalse).scaleCrop, "Crop");
    PackageBuilder absent;
    absent.AddStored("docProps/app.xml", AppXml("<Pages>1</Pages>"));
    EXPECT_EQ(LoadApp(absent).scaleCrop, "Crop");
    PackageBuilder broken;
    broken.AddStored("docProps/app.xml", "<Properties><Pages>1</Properties>");
    EXPECT_EQ(LoadApp(broken).scaleCrop, "Crop");
    PackageBuilder emptyPart;
    emptyPart.AddStored("docProps/app.xml", "");
    EXPECT_EQ(LoadApp(emptyPart).scaleCrop, "Crop");
    PackageBuilder noPart;
    noPart.AddStored("docProps/core.xml", CoreXml);
    EXPECT_EQ(LoadApp(noPart).scaleCrop, "");
}

TEST(AppPropertiesLoad, SheetsOnlyForWorkbooks) {
    const std::string app = AppXml(
        "<TitlesOfParts><vt:vector size=\"3\" baseType=\"lpstr\"><vt:lpstr>A</vt:lpstr>"
        "<vt:lpstr>B</vt:lpstr><vt:lpstr>C</vt:lpstr></vt:vector></TitlesOfParts>");
    PackageBuilder workbook;
    workbook.AddStored("docProps/app.xml", app).AddStored("XL/Workbook.xml", "<workbook/>");
    EXPECT_EQ(LoadApp(workbook).sheets, 3);
    PackageBuilder document;
    document.AddStored("docProps/app.xml", app).AddStored("word/document.xml", "<w:document/>");
    EXPECT_EQ(LoadApp(document).sheets, -1);
}

TEST(AppPropertiesLoad, AnyRootNameButExactElementNames) {
    PackageBuilder other;
    other.AddStored("docProps/APP.xml", "<Stats><Pages>4</Pages><words>9</words></Stats>");
    const AppProperties app = LoadApp(other);
    EXPECT_EQ(app.pages, 4);
    EXPECT_EQ(app.words, -1);
}

}  // namespace
}  // namespace quillet
