// A command-line host: loads the module by path and asks it about files exactly as a file
// manager does, through the three exported functions only.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/DynamicLibrary.h"

namespace {

using DetectFn = int (*)(char*, int);
using FieldFn = int (*)(int, char*, char*, int);
using ValueFn = int (*)(const char*, int, int, void*, int, int);

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillet-host FILE...\n");
        return 2;
    }
    quillet::platform::DynamicLibrary module;
    if (!module.Load(QUILLET_DEFAULT_MODULE_NAME)) {
        std::fprintf(stderr, "quillet-host: cannot load module: %s\n", module.error().c_str());
        return 3;
    }
    auto field = reinterpret_cast<FieldFn>(module.Find("ContentGetSupportedField"));
    auto value = reinterpret_cast<ValueFn>(module.Find("ContentGetValue"));
    if (field == nullptr || value == nullptr) {
        std::fprintf(stderr, "quillet-host: the module lacks the content plug-in functions\n");
        return 3;
    }
    for (int i = 0;; ++i) {
        char name[256];
        char units[256];
        const int type = field(i, name, units, sizeof name);
        if (type == 0)
            break;
        char buffer[2048];
        const int result = value(argv[1], i, 0, buffer, sizeof buffer, 0);
        std::printf("%s: %d\n", name, result);
    }
    return 0;
}
