// Opens a dialog whose interface file holds arbitrary bytes. Whatever the
// file holds, the interaction must end with the dialog's one window, read or
// stand-in, and never stop the program; deleting the dialog afterwards
// leaves the chain of dialogs empty.
#include "fuzz/harness.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/archive.h"
#include "si/classfactory.h"
#include "si/dialog.h"
#include "si/dockview.h"
#include "si/fileread.h"
#include "si/filewrite.h"
#include "si/fontman.h"
#include "si/gridview.h"
#include "si/image.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/window.h"
#include "w32/module.h"
#include "w32/winuser.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string& FilePath()
{
    static const std::string path = Zuvi_FuzzScratch("dialog_fuzz", "Fuzz.oui");
    return path;
}

} // namespace

// A dialog whose interface file is the run's scratch file.
ZU_HANDLE(ZuFuzzDialog, ZuDialog)
class ZuFuzzDialog : public ZuDialog {
    ZU_CLASS(ZuFuzzDialog, ZuDialog)
public:
    ZuFuzzDialog() {}
    bool GetFileName(ZuStringRef& out) const override
    {
        out = ZuStringRef(FilePath().c_str());
        return true;
    }
};
ZU_CLASS_END(ZuFuzzDialog)
ZU_IMPLEMENT_CLASS(ZuFuzzDialog, "fuzz/dialog_fuzz", ZU_CLASS_PLAIN)

namespace {

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(static_cast<std::uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}

// The bytes of an interface file holding the root, with the application
// written as a reference to the field "Application".
std::vector<std::uint8_t> InterfaceBytes(const ZuObjectRef& root)
{
    ZuDataSlotRef names = ZuNew<ZuDataSlot>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz");
    names->InsertField(ZuAtomRef("Application"), ZuObjectRef(ZuApp::Current()));
    ZuFileWriteRef out(ZuNew<ZuFileWrite>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz"));
    out->Open(ZuStringRef(FilePath().c_str()), false);
    ZuArchiveRef archive(ZuNew<ZuArchive>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz"));
    archive->SetDataSlot(names);
    archive->SetOutput(out);
    ZuStorageRef(archive) << root;
    archive->Reset();
    out->Close();
    archive->Delete();
    out->Delete();
    names->Delete();
    return ReadFile(FilePath());
}

template <class C>
typename C::Zuvi_Handle Add(const ZuViewRef& parent, double x1, double y1, double x2, double y2)
{
    typename C::Zuvi_Handle c = ZuNew<C>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz");
    c->SetBox(ZuRect(x1, y1, x2, y2));
    c->SetParent(parent);
    return c;
}

void WriteSeeds(const ZuFuzzStorageRef&, const char* dir)
{
    ZuWindowRef plain = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz");
    plain->InitGeom(10, 10, 120, 80, ZuStringRef("Plain"));
    Zuvi_FuzzWriteSeed(dir, "plain", InterfaceBytes(plain));

    ZuWindowRef panels = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz");
    panels->InitGeom(20, 30, 200, 150, ZuStringRef("Panels"));
    ZuGridViewRef grid = Add<ZuGridView>(panels, 0, 0, 99, 99);
    grid->SetGridPitch(5, 7);
    ZuDockViewRef dock = Add<ZuDockView>(grid, 10, 10, 80, 40);
    dock->SetStripe(ZU_DOCK_STRIPE_BUMP);
    Add<ZuImage>(panels, 100, 0, 150, 50)->SetTiledImage(true);
    Zuvi_FuzzWriteSeed(dir, "panels", InterfaceBytes(panels));
    Zuvi_FuzzWriteSeed(dir, "not-a-window", InterfaceBytes(ZuObjectRef(grid)));

    plain->Delete();
    panels->Delete();
    ZuObjectRef::RealiseDeletions();
}

// Windows need the window class and an application; views read the look.
struct Runtime : ZuviFuzzStorageRuntime {
    Runtime()
    {
        WNDCLASSEXA wc;
        if (!GetClassInfoExA(nullptr, Zuvi_GrWindowRec::RetClassName(), &wc))
            Zuvi_GrWindowRec::GlobalInit(GetModuleHandleA(nullptr));
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
        ZuApp::Initialise(app);
    }
    // The application stays to the end: at exit the library's handles of
    // it are gone already, and its zone goes with the services.
    ~Runtime()
    {
        ZuLookMan::Kill();
        ZuFontMan::KillSystemFontMan();
    }
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz");
    ZuAppRef app = ZuNew<ZuApp>(nullptr, __LINE__, "fuzz/dialog_fuzz");
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Windows live on the in-memory screen, whatever the machine has.
    setenv("ZUVI_BACKEND", "headless", 1);
    Zuvi_FuzzRuntime<Runtime>("dialog_fuzz", "DIALOG_FUZZ_TRACE", "DIALOG_FUZZ_SEEDS", WriteSeeds);
    if (!WriteFile(FilePath(), data, size))
        return 0;
    ZuFuzzDialogRef dialog = ZuNew<ZuFuzzDialog>(Zuvi_app_zone, __LINE__, "fuzz/dialog_fuzz");
    Zuvi_FuzzCheck(dialog->Interaction(ZuAtomRef("Fuzz")), "Interaction answers true");
    ZuWindowRef window;
    Zuvi_FuzzCheck(dialog->GetWindow(window) && window->IsKindOf(ZuWindowRef::RetRuntime()),
                   "the dialog ends with a window");
    Zuvi_FuzzCheck(dialog->IsFallbackWindow() ? window->IsVisible() : !window->IsVisible(),
                   "a read window is hidden, the stand-in shown");
    window = ZuWindowRef();
    dialog->Delete();
    Zuvi_FuzzCheck(!dialog->GetWindow(window), "no window after Delete");
    Zuvi_FuzzCheck(ZuDialog::head.IsInvalid() && ZuDialog::tail.IsInvalid(),
                   "the chain is empty after Delete");
    dialog = ZuFuzzDialogRef();
    ZuObjectRef::RealiseDeletions();
    return 0;
}
