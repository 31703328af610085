// Puts the attribute panes to work on definitions restored from arbitrary
// bytes, as documents and sample files hand them over: the pane of the
// chosen class is made and built, given the definition (of its own class
// or not), and every operation, handler and sample hook runs on it, with
// its entries holding text from the input. The samples have no interpreter
// behind them. Whatever the bytes, the pane must keep its promises: a
// definition of another class is refused and the pane's own is kept, the
// code list never holds more than ten kinds, and nothing crashes.
//
// Input: byte 0 picks the pane, byte 1 the definition class, byte 2 the
// value handed to SetValue, byte 3 the pane's attribute kind, bytes 4 to 11
// the text put into every entry, the rest the definition's record.
//
// A new pane joins by adding a row to `panes` and its handlers to
// RunHandlers. With PANES_FUZZ_SEEDS set to a directory, the first run
// writes one seed there per pane, with a new definition of its class.
// PANES_FUZZ_TRACE shows the diagnostics of rejected input.
#include "app/colorcompopane.h"
#include "app/colordef.h"
#include "app/def.h"
#include "app/defpane.h"
#include "app/motifhachpane.h"
#include "app/motifunipane.h"
#include "app/penbasepane.h"
#include "app/polyrpane.h"
#include "app/positionpane.h"
#include "fuzz/harness.h"
#include "ghost/gsview.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/fontman.h"
#include "si/iclasspatch.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// A view of a sample that never starts the interpreter: it makes no
// context, so the sample's port sends nowhere.
ZU_HANDLE(TNoInterpreterView, GSView)
class TNoInterpreterView : public GSView {
    ZU_CLASS(TNoInterpreterView, GSView)
public:
    TNoInterpreterView() {}
    bool Initialise(uint32_t, uint32_t, GSViewType) override { return false; }
};
ZU_CLASS_END(TNoInterpreterView)
ZU_IMPLEMENT_CLASS(TNoInterpreterView, "fuzz/panes_fuzz", ZU_CLASS_PLAIN)

// Builds every GSView as a TNoInterpreterView (same size, no fields of its
// own).
ZU_HANDLE(TNoInterpreterPatch, ZuObject)
class TNoInterpreterPatch : public ZuObject, public ZuiClassPatch {
    ZU_CLASS(TNoInterpreterPatch, ZuObject)
public:
    TNoInterpreterPatch() {}
    ConstructFunc FindAlternateConstructor(const ZuRuntime* runtime) override
    {
        if (runtime != GSViewRef::RetRuntime().RetRawObject())
            return nullptr;
        return [](void* memory, unsigned size) { TNoInterpreterView::Construct(memory, size); };
    }
};
ZU_CLASS_END(TNoInterpreterPatch)
ZU_IMPLEMENT_CLASS(TNoInterpreterPatch, "fuzz/panes_fuzz", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TNoInterpreterPatch, ZuiClassPatch)

static_assert(sizeof(TNoInterpreterView) == sizeof(GSView), "the patch builds in GSView's place");

namespace {

const char* const kFile = "fuzz/panes_fuzz";

// The panes, with the definition class each takes (null: the plain pane
// takes none).
const struct {
    const char* pane;
    const char* def;
} panes[] = {
    {"CDefPane", nullptr},
    {"CPenBasePane", "CPenDef"},
    {"CPolyRegPane", "CPolyRegDef"},
    {"CPositionPane", "CPositionDef"},
    {"CColorCompoPane", "CColorDef"},
    {"CMotifUniPane", "CMotifDef"},
    {"CMotifHachPane", "CMotifDef"},
};
const std::size_t pane_count = sizeof panes / sizeof panes[0];

const char* const def_classes[] = {"CPenDef",   "CPolyRegDef", "CPositionDef",
                                   "CColorDef", "CMotifDef",   "CArrowDef"};
const std::size_t def_count = sizeof def_classes / sizeof def_classes[0];

const int kinds[] = {10, 20, 25, 50, 100, 101, 15, 0};

struct DefAccess : CDef {
    static void Store(const CDefRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DefAccess::StoreInstance))(s);
    }
    static void Restore(const CDefRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DefAccess::RestoreInstance))(s);
    }
};

CDefRef NewDef(const char* name)
{
    return CDefRef(ZuObjectRef(ZuClassFactory::New(name, nullptr, __LINE__, kFile)));
}

void WriteSeeds(const ZuFuzzStorageRef& storage, const char* dir)
{
    for (std::size_t p = 0; p < pane_count; ++p) {
        const char* def = panes[p].def != nullptr ? panes[p].def : "CColorDef";
        std::size_t d = 0;
        while (d < def_count && std::strcmp(def_classes[d], def) != 0)
            ++d;
        storage->StartWriting();
        DefAccess::Store(NewDef(def), storage);
        std::vector<std::uint8_t> bytes = storage->Written();
        storage->Stop();
        const std::uint8_t head[12] = {std::uint8_t(p),
                                       std::uint8_t(d),
                                       59,
                                       std::uint8_t(p),
                                       '1',
                                       '2',
                                       '.',
                                       '5',
                                       ' ',
                                       ' ',
                                       ' ',
                                       ' '};
        bytes.insert(bytes.begin(), head, head + sizeof head);
        Zuvi_FuzzWriteSeed(dir, panes[p].pane, bytes);
    }
}

// Every numeric entry of the tree gets the text.
void FillEntries(const ZuViewRef& view, const ZuStringRef& text)
{
    if (view->IsKindOf(CTextLineArrowRef::RetRuntime()))
        CTextLineArrowRef(view)->SetText(text);
    ZuViewRef child;
    bool more = view->GetFirstChild(child);
    while (more && child.IsValid()) {
        FillEntries(child, text);
        ZuViewRef next;
        more = child->GetNextSibling(next);
        child = next;
    }
}

void RunHandlers(const CDefPaneRef& pane, const ZuStringRef& text)
{
    const ZuObjectRef none;
    if (pane->IsKindOf(CPenBasePaneRef::RetRuntime())) {
        CPenBasePaneRef pen(pane);
        pen->OnPenEditWidthChange(none, 0);
        pen->OnPenEditLimitChange(none, 0);
        pen->OnClickRadioExt1(none, 0);
        pen->OnClickRadioExt2(none, 0);
        pen->OnClickRadioExt3(none, 0);
        pen->OnClickRadioJoin2(none, 0);
        pen->OnClickRadioJoin3(none, 0);
        pen->OnClickRadioJoin1(none, 0);
        pen->OnClickRadioDash5(none, 0);
        pen->OnPenDashChange1(none, 0);
        pen->OnPenDashChange2(none, 0);
        pen->OnPenDashChange3(none, 0);
        pen->OnPenDashChange4(none, 0);
        pen->OnPenHoleChange1(none, 0);
        pen->OnPenHoleChange2(none, 0);
        pen->OnPenHoleChange3(none, 0);
        pen->OnPenHoleChange4(none, 0);
        pen->OnClickRadioDash4(none, 0);
        pen->OnClickRadioDash3(none, 0);
        pen->OnClickRadioDash2(none, 0);
        pen->OnClickRadioDash1(none, 0);
    } else if (pane->IsKindOf(CPolyRegPaneRef::RetRuntime())) {
        CPolyRegPaneRef poly(pane);
        poly->OnEditNbSideChange(none, 0);
        poly->OnEditFactorChange(none, 0);
        Zuvi_FuzzCheck(poly->RetDef()->GetSides() >= 3 && poly->RetDef()->GetSides() <= 50,
                       "sides out of range");
    } else if (pane->IsKindOf(CColorCompoPaneRef::RetRuntime())) {
        CColorCompoPaneRef colour(pane);
        for (int n = 0; n < CColorCompoPane::kRows; ++n)
            colour->RetEntry(n)->SetText(text);
        colour->OnValueChanged1(none, 0);
        colour->OnValueChanged2(none, 0);
        colour->OnValueChanged3(none, 0);
        colour->OnValueChanged4(none, 0);
        colour->OnValueChanged5(none, 0);
        colour->RetSlider(1)->SetPositionX(0.3);
        colour->OnChangeSlider1(none, 0);
        colour->OnChangeSlider2(none, 0);
        colour->OnChangeSlider5(none, 0);
        colour->OnTransparency(none, 0);
        colour->RetHueBar()->SetPositionY(0.6);
        colour->OnChangePane1(none, 0);
        colour->RetField()->SetPositionX(0.2);
        colour->OnChangePane2(none, 0);
        colour->OnClickStyle1(none, 0);
        colour->OnClickStyle2(none, 0);
        colour->OnClickStyle3(none, 0);
        colour->OnClickStyle4(none, 0);
        colour->OnClickStyle5(none, 0);
        colour->OnClickStyle6(none, 0);
        for (int n = 0; n < 5; ++n) {
            double v = 0;
            colour->RetDef()->GetComponent(n, v);
            Zuvi_FuzzCheck(!(v < 0) && !(v > 1), "colour component beyond 0 to 1");
        }
    } else if (pane->IsKindOf(CMotifHachPaneRef::RetRuntime())) {
        CMotifHachPaneRef hatch(pane);
        const double before[3] = {hatch->RetDef()->GetHatchThickness(1),
                                  hatch->RetDef()->GetHatchSpacing(2),
                                  hatch->RetDef()->GetHatchAngle(3)};
        hatch->OnEditThickChange(none, 0);
        hatch->OnEditSpaceChange(none, 0);
        hatch->OnEditAngleChange(none, 0);
        hatch->DrawSample();
        const CMotifDefRef& d = hatch->RetDef();
        Zuvi_FuzzCheck(d->GetHatchAngle(0) >= 0.0 && d->GetHatchAngle(0) <= 3.1415926535 &&
                           d->GetHatchSpacing(0) >= 0.0 && d->GetHatchSpacing(0) <= 100.0,
                       "hatching beyond the entries' range");
        // Sets the pane does not edit stay as they were, bit for bit (not a
        // number included).
        const double after[3] = {d->GetHatchThickness(1), d->GetHatchSpacing(2),
                                 d->GetHatchAngle(3)};
        Zuvi_FuzzCheck(std::memcmp(before, after, sizeof before) == 0,
                       "a hatching set other than 0 changed");
    } else if (pane->IsKindOf(CPositionPaneRef::RetRuntime())) {
        CPositionPaneRef position(pane);
        position->OnEditPositionXChange(none, 0);
        position->OnEditPositionYChange(none, 0);
        position->OnEditIncludeChange(none, 0);
        position->OnClickLink(none, 0);
        position->OnEditPositionYChange(none, 0);
        const CPositionDefRef& d = position->RetDef();
        Zuvi_FuzzCheck(d->GetOffsetX() >= 0.0 && d->GetOffsetX() <= 100.0 &&
                           d->GetOffsetY() >= 0.0 && d->GetOffsetY() <= 100.0,
                       "offset beyond the entries' range");
    }
}

void Exercise(const CDefPaneRef& pane, const CDefRef& def, bool own_class, int value,
              const ZuStringRef& text)
{
    const bool taken = pane->SetDef(def);
    Zuvi_FuzzCheck(taken == own_class,
                   own_class ? "own definition refused" : "definition of another class taken");
    pane->SetValue(value);
    (void)pane->GetValue();
    (void)pane->IsColorPane();
    pane->UpdateDlgEnable();
    pane->Refresh();
    pane->RegisterCodes();
    pane->Update();
    pane->NotifyChange(true, value & 1);
    FillEntries(pane, text);
    RunHandlers(pane, text);
    pane->Refresh();
    const ZuGrailPortRef no_port;
    const ZuEventRef no_event;
    pane->DrawSampleBack(no_port, value);
    pane->DrawSampleFront(no_port, value);
    pane->SampleKeyDown(no_event, value);
    pane->SampleMotionNotify(no_event, value);
    pane->SampleButtonPress(no_event, value);
    pane->SampleButtonRelease(no_event, value);
    pane->SampleDragNotify(no_event, value);
    pane->SampleEnterNotify(no_event, value);
    pane->SampleLeaveNotify(no_event, value);
    for (int k = 0; k < 12; ++k)
        pane->AddCode(1000 + value + k);
    int* list = nullptr;
    int count = -1;
    pane->GetCodes(&list, &count);
    Zuvi_FuzzCheck(count >= 0 && count <= CDefPane::kMaxCodes, "code list beyond its ten kinds");
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            Zuvi_FuzzCheck(list[i] != list[j], "a kind listed twice");
    pane->ClearCodes();
}

struct Runtime : ZuviFuzzStorageRuntime {
    Runtime()
    {
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
        ZuClassFactory::InsertPatch(patch);
    }
    ~Runtime()
    {
        ZuClassFactory::RemovePatch(patch);
        ZuLookMan::Kill();
        ZuFontMan::KillSystemFontMan();
    }
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, kFile);
    TNoInterpreterPatchRef patch = ZuNew<TNoInterpreterPatch>(Zuvi_app_zone, __LINE__, kFile);
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Runtime& runtime =
        Zuvi_FuzzRuntime<Runtime>("panes_fuzz", "PANES_FUZZ_TRACE", "PANES_FUZZ_SEEDS", WriteSeeds);
    const ZuFuzzStorageRef& storage = runtime.storage;
    if (size < 12)
        return 0;
    {
        const std::size_t p = data[0] % pane_count;
        const char* def_class = def_classes[data[1] % def_count];
        const int value = data[2];
        const int kind = kinds[data[3] % (sizeof kinds / sizeof kinds[0])];
        char text[9];
        for (int i = 0; i < 8; ++i)
            text[i] = data[4 + i] != 0 ? char(data[4 + i]) : ' ';
        text[8] = 0;

        CDefRef def = NewDef(def_class);
        storage->StartReading(data + 12, size - 12);
        try {
            DefAccess::Restore(def, storage);
        } catch (const ZuExcStream&) {
            // Half-read definitions reach the panes too.
        }
        storage->Stop();

        CDefPaneRef pane(ZuObjectRef(ZuClassFactory::New(panes[p].pane, nullptr, __LINE__, kFile)));
        pane->SetSize(370, 196);
        pane->Create(kind);
        const bool own = panes[p].def != nullptr && std::strcmp(panes[p].def, def_class) == 0;
        Exercise(pane, def, own, value, ZuStringRef(text));
        // An empty handle is refused as well, and the pane still works.
        Zuvi_FuzzCheck(!pane->SetDef(CDefRef()), "empty definition taken");
        pane->Refresh();
        pane->Delete();
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
