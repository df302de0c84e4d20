#include "plugin/FieldTable.h"

namespace quillet {

// The four extensions hosts have always been given come first, so a host with a short buffer
// still sees them; the macro-enabled, template and show forms of the same three kinds follow.
const char* const DetectionExpression =
    "EXT=\"DOCX\" | EXT=\"XLSX\" | EXT=\"PPTX\" | EXT=\"PPSX\" | EXT=\"DOCM\" | EXT=\"DOTX\" | "
    "EXT=\"DOTM\" | EXT=\"XLSM\" | EXT=\"XLTX\" | EXT=\"XLTM\" | EXT=\"PPTM\" | EXT=\"POTX\" | "
    "EXT=\"POTM\" | EXT=\"PPSM\"";

}  // namespace quillet
