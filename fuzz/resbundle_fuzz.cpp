// Builds a resource bundle's descriptor table over arbitrary bytes, then
// reads every resolved entry in full and as a string. Whatever the image
// holds, building must end in a table whose entries lie inside the image or
// in one of the two refusals ("BadHeader", "BadBundle"), never in a crash or
// a read outside the image.
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/resbundle.h"
#include "si/resman.h"
#include "si/string.h"
#include "si/maininit.h"
#include "w32/debug.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Reaches the protected table builder of any bundle.
struct ImageReader : ZuResBundle {
    static void Init(ZuResBundle* bundle, const void* image, unsigned size)
    {
        (bundle->*(&ImageReader::InitFromImage))(image, size);
    }
};

int QuietSink(void* context, W32_DebugKind kind, LPCSTR caption, LPCSTR text, UINT type)
{
    if (kind == W32_MESSAGE_BOX)
        return W32_DefaultDebugSink(context, kind, caption, text, type);
    return 0;
}

void StartRuntime()
{
    static bool started = [] {
        W32_SetDebugSink(&QuietSink, nullptr);
        Zuvi_StartServices();
        std::atexit([] { Zuvi_StopServices(); });
        return true;
    }();
    (void)started;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StartRuntime();
    if (size > 1u << 20)
        return 0;
    // An image of exactly the input's size, so that any read past it is seen.
    unsigned char* image = static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
    if (size != 0)
        std::memcpy(image, data, size);
    {
        ZuResBundleRef bundle(ZuNew<ZuResBundle>(Zuvi_app_zone, __LINE__, "fuzz/resbundle_fuzz"));
        try {
            ImageReader::Init(bundle.RetRawObject(), image, unsigned(size));
        } catch (const char*) {}
        volatile unsigned sum = 0;
        for (unsigned i = 0; i < bundle->TotalCount(); ++i) {
            const void* bytes = nullptr;
            unsigned n = 0;
            ZuResType type;
            if (!bundle->LockResource(i, bytes, n, type))
                continue;
            for (unsigned k = 0; k < n; ++k)
                sum += static_cast<const unsigned char*>(bytes)[k];
            ZuStringRef text("");
            text->SetString(bundle->RetResID(i));
            sum += text->CharacterCount();
            for (unsigned k = 0; k < text->CharacterCount(); ++k)
                sum += text->RetCharacter(k);
            bundle->UnlockResource(i);
        }
        bundle->Delete();
    }
    ZuObjectRef::RealiseDeletions();
    std::free(image);
    return 0;
}
