#include "plugin/FieldTable.h"

namespace quillet {

const char* const DetectionExpression = "EXT=\"DOCX\" | EXT=\"XLSX\" | EXT=\"PPTX\" | EXT=\"PPSX\"";

}  // namespace quillet
