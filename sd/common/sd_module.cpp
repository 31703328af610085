#include "sd/common/sd_module.h"

#include "sd/common/sd_filename.h"
#include "si/classfactory.h"
#include "si/string.h"
#include "w32/module.h"

namespace {

// Loads nest: a module's initialisers may load further modules. Only the
// outermost load brings the class factory up to date, and repeats until no
// load happened meanwhile.
unsigned nesting = 0;
bool loaded = false;

} // namespace

Zuvi_Module::Zuvi_Module() : module(nullptr) {}

Zuvi_Module::~Zuvi_Module() {}

bool Zuvi_Module::Load(const ZuStringRef& path)
{
    if (module != nullptr)
        return false;
    char text[ZUVI_PATH_MAX];
    char os[ZUVI_PATH_MAX];
    if (path.IsInvalid() || !path->GetStringCopy(text, sizeof text) ||
        !Zuvi_ConvertToOSName(text, os) || os[0] == '\0')
        return false;
    ++nesting;
    try {
        module = LoadLibraryA(os);
    } catch (...) {
        module = nullptr;
    }
    if (module != nullptr)
        loaded = true;
    if (nesting == 1) {
        while (loaded) {
            loaded = false;
            ZuClassFactory::Initialise();
        }
    }
    --nesting;
    return module != nullptr;
}
