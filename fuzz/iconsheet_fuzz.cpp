// Parses arbitrary texts as the "IconRecord" chunks of a sheet, with and
// without a prefix. Whatever the text holds, the parser must file only
// named records and never read outside the text; the records are removed
// again after each input.
//
// With ICONSHEET_FUZZ_SEEDS naming a folder, the first run writes there the
// record texts of the sheets the build draws (the library's and the
// program's), as seeds.
#include "fuzz/harness.h"
#include "fuzz/quietsink.h"
#include "si/dict.h"
#include "si/loadpng.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/lookman.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

ZuGrailPixmapRef* sheet = nullptr;

// The "IconRecord" texts of the build's sheets, one seed a sheet.
void WriteSeeds(const char* dir)
{
    for (const char* sheet : {"zu_icons", "zu_cursors", "zu_handles", "lumbra_icons",
                              "lumbra_cursors", "lumbra_generic"}) {
        const std::string path = std::string(ZUVI_FUZZ_SHEETS_DIR) + "/" + sheet + ".png";
        ZuDictRef texts(ZuNew<ZuDict>(Zuvi_app_zone));
        texts->SetCompKeyUsingIsEqual(false);
        Zuvi::LoadPNG(ZuStringRef(path.c_str()), Zuvi_sys_zone, texts);
        ZuObjectRef text;
        for (unsigned n = 0; texts->GetFromKey(ZuAtomRef("IconRecord"), text, n); ++n) {
            const char* latin = ZuStringRef(text)->AccessLatin();
            const std::vector<std::uint8_t> bytes(latin, latin + std::strlen(latin));
            Zuvi_FuzzWriteSeed(dir, std::string(sheet) + "-" + std::to_string(n), bytes);
        }
        texts->RemoveAll();
    }
}

void StartRuntime()
{
    static bool started = [] {
        Zuvi_FuzzQuietUnless("ICONSHEET_FUZZ_TRACE");
        // No library sheets: the dictionaries start empty.
        setenv("ZUVI_DIR", "/nonexistent-iconsheet-fuzz", 1);
        Zuvi_StartServices();
        ZuFontManRef font_man(ZuNew<ZuFontMan>(Zuvi_app_zone));
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
        sheet = new ZuGrailPixmapRef(ZuNew<ZuGrailPixmap>(Zuvi_app_zone));
        (*sheet)->Initialise(32, 64, 64);
        if (const char* dir = std::getenv("ICONSHEET_FUZZ_SEEDS"))
            WriteSeeds(dir);
        std::atexit([] {
            delete sheet;
            ZuLookMan::Kill();
            ZuFontMan::KillSystemFontMan();
            Zuvi_StopServices();
        });
        return true;
    }();
    (void)started;
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StartRuntime();
    if (size > 1u << 16)
        return 0;
    // Bytes 0 would end the string early: they stand for ':' here, so that
    // the fuzzer reaches field ends cheaply.
    std::string text(reinterpret_cast<const char*>(data), size);
    for (char& c : text)
        if (c == '\0')
            c = ':';
    const ZuLookManRef& look = ZuLookMan::Current();
    look->ParseIconRecords(ZuStringRef(text.c_str()), *sheet, ZuStringNull);
    look->ParseIconRecords(ZuStringRef(text.c_str()), *sheet, ZuStringRef("Zuvi_"));
    while (look->RetIconCount() != 0) {
        const ZuAtomRef name = look->FindNthIcon(0);
        Check(name.IsValid());
        ZuIconRecordRef record;
        Check(look->GetIconRecord(name, record, 0));
        double w, h;
        record->GetSize(w, h);
        const unsigned before = look->RetIconCount();
        look->RemoveUserIcon(name);
        Check(look->RetIconCount() < before);
    }
    while (look->RetCursorCount() != 0) {
        const ZuAtomRef name = look->FindNthCursor(0);
        Check(name.IsValid());
        const unsigned before = look->RetCursorCount();
        look->RemoveUserCursor(name);
        Check(look->RetCursorCount() < before);
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
