#include "support/SoundPackage.h"

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
