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
// RunHandlers. The brush panes take, when the bytes are no stored brush,
// a brush built from them record by record (odd opcodes, segments before
// any header, colour numbers beyond the palette, values that are no
// number), and every tool's press, drag and release at points from the
// bytes. With PANES_FUZZ_SEEDS set to a directory, the first run
// writes one seed there per pane, with a new definition of its class.
// PANES_FUZZ_TRACE shows the diagnostics of rejected input.
#include "app/arcpane.h"
#include "app/arrowpane.h"
#include "app/colorcompopane.h"
#include "app/colordef.h"
#include "app/cornerpane.h"
#include "app/def.h"
#include "app/defpane.h"
#include "app/fontpane.h"
#include "app/idefdlg.h"
#include "app/motifdegpane.h"
#include "app/motifhachpane.h"
#include "app/motiftilepane.h"
#include "app/motifunipane.h"
#include "app/patternlistpane.h"
#include "app/patternpane.h"
#include "app/penbasepane.h"
#include "app/penmotifpane.h"
#include "app/pulsarpane.h"
#include "app/polyrpane.h"
#include "app/positionpane.h"
#include "fuzz/harness.h"
#include "ghost/gscontext.h"
#include "ghost/gsview.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/fontman.h"
#include "si/iclasspatch.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <limits>
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

// A context that never starts the interpreter: the font pane's question
// finds no fonts.
ZU_HANDLE(TNoInterpreterContext, GSContext)
class TNoInterpreterContext : public GSContext {
    ZU_CLASS(TNoInterpreterContext, GSContext)
public:
    TNoInterpreterContext() {}
    bool CreateContext(uint32_t, uint32_t, int) override { return false; }
};
ZU_CLASS_END(TNoInterpreterContext)
ZU_IMPLEMENT_CLASS(TNoInterpreterContext, "fuzz/panes_fuzz", ZU_CLASS_PLAIN)

// Builds every GSView as a TNoInterpreterView and every GSContext as a
// TNoInterpreterContext (same sizes, no fields of their own).
ZU_HANDLE(TNoInterpreterPatch, ZuObject)
class TNoInterpreterPatch : public ZuObject, public ZuiClassPatch {
    ZU_CLASS(TNoInterpreterPatch, ZuObject)
public:
    TNoInterpreterPatch() {}
    ConstructFunc FindAlternateConstructor(const ZuRuntime* runtime) override
    {
        if (runtime == GSContextRef::RetRuntime().RetRawObject())
            return
                [](void* memory, unsigned size) { TNoInterpreterContext::Construct(memory, size); };
        if (runtime != GSViewRef::RetRuntime().RetRawObject())
            return nullptr;
        return [](void* memory, unsigned size) { TNoInterpreterView::Construct(memory, size); };
    }
};
ZU_CLASS_END(TNoInterpreterPatch)
ZU_IMPLEMENT_CLASS(TNoInterpreterPatch, "fuzz/panes_fuzz", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TNoInterpreterPatch, ZuiClassPatch)

// The attributes dialog that the special fill, motif pen and pulsar panes
// ask for their group's pulsar, brush and colours: every kind answers the
// definition restored from the input, whatever its class.
ZU_HANDLE(TFuzzDefDlg, ZuObject)
class TFuzzDefDlg : public ZuObject, public IDefDlg {
    ZU_CLASS(TFuzzDefDlg, ZuObject)
public:
    TFuzzDefDlg() {}
    CDefRef RetDefinition(int) override { return def; }
    void EnablePane(int, bool) override {}
    CDefRef def;
};
ZU_CLASS_END(TFuzzDefDlg)
ZU_IMPLEMENT_CLASS(TFuzzDefDlg, "fuzz/panes_fuzz", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TFuzzDefDlg, IDefDlg)

static_assert(sizeof(TNoInterpreterView) == sizeof(GSView), "the patch builds in GSView's place");
static_assert(sizeof(TNoInterpreterContext) == sizeof(GSContext),
              "the patch builds in GSContext's place");

// The gradient pane's gestures: pointer events at chosen points.
ZU_HANDLE(TPaneFuzzEvent, ZuEvent)
class TPaneFuzzEvent : public ZuEvent {
    ZU_CLASS(TPaneFuzzEvent, ZuEvent)
public:
    TPaneFuzzEvent() {}
    void Set(ZuEventType t, double px, double py, bool button)
    {
        type = t;
        x = px;
        y = py;
        buttons = ZuEventButtons();
        if (button)
            buttons.SetBit(ZU_EV_BUTTON_LEFT);
    }
};
ZU_CLASS_END(TPaneFuzzEvent)
ZU_IMPLEMENT_CLASS(TPaneFuzzEvent, "fuzz/panes_fuzz", ZU_CLASS_PLAIN)

// The attributes dialog as the gradient pane reaches it: the companion
// colours of a fill and of a shadow's fill.
ZU_HANDLE(TPaneFuzzDefDlg, ZuObject)
class TPaneFuzzDefDlg : public ZuObject, public IDefDlg {
    ZU_CLASS(TPaneFuzzDefDlg, ZuObject)
public:
    TPaneFuzzDefDlg() {}
    CDefRef RetDefinition(int kind) override
    {
        return kind == 25 || kind == 105 ? colours : CDefRef();
    }
    void EnablePane(int, bool) override {}
    CDefRef colours;
};
ZU_CLASS_END(TPaneFuzzDefDlg)
ZU_IMPLEMENT_CLASS(TPaneFuzzDefDlg, "fuzz/panes_fuzz", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TPaneFuzzDefDlg, IDefDlg)

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
    {"CArcPane", "CArcDef"},
    {"CCornerPane", "CCornerDef"},
    {"CArrowPane", "CArrowDef"},
    {"CFontPane", "CFontDef"},
    {"CMotifDegPane", "CMotifDef"},
    {"CMotifSpecPane", "CMotifDef"},
    {"CPenMotifPane", "CPenDef"},
    {"CPulsarPane", "CPulsarDef"},
    {"CPatternPane", "CPatternDef"},
    {"CPatternListPane", "CPatternDef"},
};
const std::size_t pane_count = sizeof panes / sizeof panes[0];

const char* const def_classes[] = {"CPenDef",   "CPolyRegDef", "CPositionDef",
                                   "CColorDef", "CMotifDef",   "CArrowDef",
                                   "CArcDef",   "CPulsarDef",  "CPatternDef"};
const std::size_t def_count = sizeof def_classes / sizeof def_classes[0];

const int kinds[] = {10, 20, 25, 50, 100, 101, 15, 0, 12, 22, 11, 21, 102};

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

// ---- The brush panes: brushes and gestures from the bytes.

// Bytes after the first twelve, read by the brush panes' steps.
struct BrushBytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    bool More() const { return at < size; }
    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    // A value a brush may hold: plain ones, the opcodes, and the odd.
    double Number()
    {
        static const double odd[] = {10,
                                     20,
                                     21,
                                     0,
                                     0.5,
                                     7,
                                     1e300,
                                     -1e9,
                                     1e9,
                                     2.5,
                                     -0.25,
                                     0.05,
                                     100.0,
                                     -3.0,
                                     std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity()};
        const std::uint8_t b = Byte();
        if (b < sizeof odd / sizeof odd[0])
            return odd[b];
        return (int(b) - 128) / 100.0;
    }
    DPoint Point()
    {
        const double x = Number();
        return DPoint{x, Number()};
    }
} brush_bytes, gesture_bytes;

// The brush replaced by records read from the bytes, each appended whole
// (a record the bytes cut short is filled with zeros); opcodes 10, 20 and
// 21 mostly, and any other value now and then.
void BrushFromBytes(const CPatternDefRef& def)
{
    def->Clear();
    BrushBytes& in = brush_bytes;
    for (int records = 0; in.More() && records < 200; ++records) {
        double record[CPatternDef::MAX_RECORD] = {};
        const std::uint8_t pick = in.Byte();
        record[0] = pick < 200 ? double(pick % 3 == 0 ? 10 : pick % 3 == 1 ? 20 : 21) : in.Number();
        const int n = CPatternDef::RecordLength(record[0]);
        for (int k = 1; k < n; ++k)
            record[k] = in.Number();
        int at = 0;
        def->GetLength(at);
        def->InsertElement(at, record);
    }
}

// Whether the brush's records still tile it up to its end record.
bool BrushTiles(const CPatternDefRef& def)
{
    int length = -1;
    def->GetLength(length);
    double record[CPatternDef::MAX_RECORD];
    int at = 0;
    while (at < length) {
        def->GetElement(at, record);
        at += CPatternDef::RecordLength(record[0]);
    }
    return at == length && def->GetOpcode(length) == 0;
}

void RunBrushPanes(const CDefPaneRef& pane)
{
    const ZuObjectRef none;
    BrushBytes& in = gesture_bytes;
    if (pane->IsKindOf(CPatternListPaneRef::RetRuntime())) {
        CPatternListPaneRef list(pane);
        list->RetList()->Select(int(in.Byte()) - 20);
        list->OnClickList(none, 0);
        list->DrawSample();
        Zuvi_FuzzCheck(BrushTiles(list->RetDef()), "a loaded brush does not tile");
        return;
    }
    if (!pane->IsKindOf(CPatternPaneRef::RetRuntime()))
        return;
    CPatternPaneRef editor(pane);
    const CPatternDefRef& def = editor->RetDef();
    ZuGrailPixmapRef pixmap = ZuNew<ZuGrailPixmap>(Zuvi_app_zone, __LINE__, kFile);
    pixmap->Initialise(32, 200, 200);
    // The overlay drawn for real: guides, the selection's handles, grid.
    auto overlay = [&] {
        pixmap->BeginDraw(0, 0, 199, 199);
        editor->DrawSampleBack(pixmap, 0);
        editor->DrawSampleFront(pixmap, 0);
        pixmap->EndDraw();
    };
    for (int step = 0; in.More() && step < 64; ++step) {
        const std::uint8_t what = in.Byte();
        switch (what % 12) {
        case 0:
            editor->OnClickRadioTool(editor->RetToolButton(what / 12 % CPatternPane::kTools), 0);
            break;
        case 1:
            editor->OnClickRadioMode(editor->RetModeSwitch(what / 12 % CPatternPane::kModes), 0);
            break;
        case 2:
            editor->OnClickRadioColor(editor->RetColorButton(what / 12 % CPatternPane::kColors), 0);
            break;
        case 3:
            editor->OnWidthChange(none, 0);
            break;
        case 4:
            editor->OnClickDelete(none, 0);
            break;
        case 5:
            editor->OnClickFront(none, 0);
            break;
        case 6:
            editor->OnClickBack(none, 0);
            break;
        case 7:
            if (what > 200)
                editor->OnClickFlush(none, 0);
            else
                editor->OnClickGrid(none, 0);
            break;
        case 8:
            editor->OnClickOutline(none, 0);
            break;
        default: {
            // A gesture: press, a drag or two, release; the handles shown
            // while the press holds.
            editor->PressAt(in.Point());
            for (int k = what % 3; k > 0; --k)
                editor->DragTo(in.Point());
            overlay();
            editor->ReleaseAt(in.Point());
            break;
        }
        }
        Zuvi_FuzzCheck(BrushTiles(def), "an edit left records that do not tile the brush");
        const int shape = editor->RetCurrentShape();
        Zuvi_FuzzCheck(shape == -1 || def->GetOpcode(shape) == CPatternDef::OP_SHAPE,
                       "the selection names no shape header");
        Zuvi_FuzzCheck(editor->RetWidth() >= 0.0 && editor->RetWidth() <= 1.0,
                       "width beyond the entry's range");
    }
    editor->DrawSample();
    overlay();
    pixmap->Delete();
}

// The gradient pane on the gradient as read (any kind, a point array of
// any length, odd mesh bits, numbers that are not numbers or are huge),
// then on a kind with odd numbers written into it: presses, drags and
// releases at points taken from the text on both layers and in every
// section, every handler, and the overlay drawn into a pixmap.
void RunGradientPane(const CMotifDegPaneRef& deg, const ZuStringRef& text)
{
    const ZuObjectRef none;
    const CMotifDefRef& d = deg->RetDef();
    if (!d.IsValid())
        return;
    const char* latin = text.IsValid() ? text->AccessLatin() : nullptr;
    unsigned char t[8] = {};
    for (int i = 0; latin != nullptr && i < 8 && latin[i] != 0; ++i)
        t[i] = (unsigned char)latin[i];
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double odd[8] = {nan, inf, -inf, 1e300, -1e300, 9.5, -3.0, 1e9};
    TPaneFuzzDefDlgRef dialog = ZuNew<TPaneFuzzDefDlg>(Zuvi_app_zone, __LINE__, kFile);
    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    colours->SetCount(10);
    dialog->colours = CDefRef(ZuObjectRef(colours));
    CDefPane::SetFallbackDefDlg(dialog);
    TPaneFuzzEventRef event = ZuNew<TPaneFuzzEvent>(Zuvi_app_zone, __LINE__, kFile);
    ZuGrailPixmapRef pixmap = ZuNew<ZuGrailPixmap>(Zuvi_app_zone, __LINE__, kFile);
    pixmap->Initialise(32, 200, 200);
    // Points over the sample (27 .. 188, 4 .. 165) and the strip (169 ..
    // 192), and a few no window holds.
    auto point = [&](int i) {
        const unsigned char b = t[i % 8];
        if (b % 17 == 0)
            return DPoint{odd[(b / 17) % 8], odd[(b / 3) % 8]};
        return DPoint{27.0 + (b * 7 + i * 13) % 161, 4.0 + (b * 5 + i * 29) % 189};
    };
    auto gestures = [&]() {
        const int count = d->CountGradientPoints();
        for (int layer = 0; layer < 2; ++layer) {
            DPoint p = point(layer);
            event->Set(ZU_EVENT_MOTION, p.x, p.y, false);
            deg->SampleEnterNotify(event, layer);
            deg->SampleMotionNotify(event, layer);
            event->Set(ZU_EVENT_PRESS, p.x, p.y, true);
            deg->SampleButtonPress(event, layer);
            for (int i = 0; i < 7; ++i) {
                p = point(layer + i + 1);
                event->Set(ZU_EVENT_MOTION, p.x, p.y, true);
                deg->SampleDragNotify(event, layer);
            }
            event->Set(ZU_EVENT_RELEASE, p.x, p.y, false);
            deg->SampleButtonRelease(event, layer);
            deg->SampleKeyDown(event, layer);
            deg->SampleLeaveNotify(event, layer);
            pixmap->BeginDraw(0, 0, 199, 199);
            deg->DrawSampleBack(pixmap, layer);
            deg->DrawSampleFront(pixmap, layer);
            pixmap->EndDraw();
        }
        Zuvi_FuzzCheck(d->CountGradientPoints() == count, "a gesture resized the gradient");
        Zuvi_FuzzCheck(deg->RetSection() >= 0 && deg->RetSection() < CMotifDegPane::kSections,
                       "section beyond its buttons");
        const int sel = deg->RetSelected();
        for (int i = 0; i < CMotifDegPane::kColors; ++i) {
            const CButtonColorRef& b = deg->RetColorButton(i);
            if (!b.IsValid() || !b->RetParent().IsValid() || !b->RetState().TestBit(ZU_VIEW_IS_ON))
                continue;
            const int k = d->GetGradientType();
            const double v = sel < 0    ? -1.0
                             : k == 233 ? d->GetGradientPoint(4 * sel + 3)
                                        : d->GetGradientPoint(19 * (sel / 5) + 18);
            Zuvi_FuzzCheck(v >= 0.0 && v < 10.0 && int(v) == i,
                           "a colour button on for another colour index");
        }
    };
    auto sections = [&]() {
        for (int s = 0; s < CMotifDegPane::kSections; ++s) {
            deg->OnButtonRadio(deg->RetSectionButton(s), 0);
            gestures();
        }
    };
    // The gradient as read.
    d->SetValue(61);
    deg->Refresh();
    sections();
    // One kind picked by the text (the five, and some that are none), with
    // odd numbers in it.
    {
        const int k = 228 + t[5] % 9;
        d->SetGradientType(k);
        if (k == 233 || k == 234)
            d->SetMeshFlags((unsigned(t[0]) << 8) ^ (unsigned(t[1]) << 14) ^ unsigned(t[2]));
        else
            d->SetMeshFlags(t[2] % 3 == 0 ? 1u : unsigned(t[3]));
        const int count = d->CountGradientPoints();
        for (int j = 0; j + 1 < 8 && count > 0; j += 2)
            d->SetGradientPoint(t[j] % count, odd[t[j + 1] % 8]);
        deg->SetSelected(int(t[4]) - 2);
        deg->Refresh();
        sections();
        for (int i = 0; i < CMotifDegPane::kColors; ++i)
            deg->OnRadioColor(deg->RetColorButton(i), 0);
        for (int i = 0; i < CMotifDegPane::kFields; ++i)
            deg->OnEditParamChange(deg->RetParamEntry(i), 0);
        for (int i = 0; i < CMotifDegPane::kSwitches; ++i)
            deg->OnSwitch(deg->RetSwitch(i), 0);
        for (int i = 0; i < CMotifDegPane::kAdjusts; ++i)
            deg->OnButtonAdjust(deg->RetAdjustButton(i), 0);
        deg->OnEditNbColorChange(none, 0);
        deg->OnEditCoonsXChange(none, 0);
        deg->OnEditCoonsYChange(none, 0);
        Zuvi_FuzzCheck(d->GetColorCount() >= 2 && d->GetColorCount() <= 10,
                       "colour count beyond 2 to 10");
        gestures();
    }
    for (int i = 0; i < CMotifDegPane::kTypes; ++i) {
        deg->OnButtonType(deg->RetTypeButton(i), 0);
        Zuvi_FuzzCheck(d->GetGradientType() == 230 + i, "a type button not taken");
        gestures();
    }
    Zuvi_FuzzCheck(!deg->OnButtonType(none, 0) && !deg->OnButtonType(deg, 0),
                   "a stranger's click changed the kind");
    CDefPane::SetFallbackDefDlg(ZuObjectRef());
    pixmap->Delete();
    dialog->colours = CDefRef();
    dialog->Delete();
}

// The definition restored from the input, for the dialog of the panes
// that read companion definitions.
CDefRef& RestoredDef()
{
    static CDefRef def;
    return def;
}

// The user tags a sender is given: every row, mode, option and tab, the
// edges of the switch, kind button and entry ranges, and tags near them
// that the input's text picks.
std::vector<int> SenderTags(const ZuStringRef& text)
{
    std::vector<int> tags = {-1, 0, 1000};
    for (int t = 99; t <= 107; ++t)
        tags.push_back(t);
    for (int t = 199; t <= 211; ++t)
        tags.push_back(t);
    for (int t : {299, 300, 329, 330, 399, 400, 406, 407, 499, 500, 502, 503})
        tags.push_back(t);
    const char* latin = text.IsValid() ? text->AccessLatin() : nullptr;
    for (int i = 0; latin != nullptr && i + 1 < 8 && latin[i] != 0 && latin[i + 1] != 0; i += 2) {
        const unsigned char a = static_cast<unsigned char>(latin[i]);
        const unsigned char b = static_cast<unsigned char>(latin[i + 1]);
        tags.push_back(100 * (1 + a % 5) + b % 40 - 4);
    }
    return tags;
}

bool Within(double v, double low, double high)
{
    return v >= low && v <= high;
}

// The special fill, motif pen and pulsar panes with their group's
// definitions from the input and every handler called by senders of any
// tag.
void RunMotifPaneHandlers(const CDefPaneRef& pane, const ZuStringRef& text)
{
    TFuzzDefDlgRef dialog = ZuNew<TFuzzDefDlg>(Zuvi_app_zone, __LINE__, kFile);
    dialog->def = RestoredDef();
    CDefPane::SetFallbackDefDlg(dialog);
    pane->Update();
    pane->Refresh();
    pane->RegisterCodes();
    FillEntries(pane, text);
    ZuViewRef sender = ZuNew<ZuView>(Zuvi_app_zone, __LINE__, kFile);
    const std::vector<int> tags = SenderTags(text);
    const ZuObjectRef none;
    if (pane->IsKindOf(CMotifSpecPaneRef::RetRuntime())) {
        CMotifSpecPaneRef spec(pane);
        const CMotifDefRef& d = spec->RetDef();
        for (int tag : tags) {
            sender->SetUserTag(tag);
            spec->OnClickRadio(sender, 0);
            const int row = spec->RetRow();
            Zuvi_FuzzCheck(row >= 0 && row < CMotifSpecPane::kRows, "row beyond the table");
            const SpecialFillRow& r = SpecialFillRows[row];
            FillEntries(pane, text);
            const bool first = spec->OnEdit1Change(sender, 0);
            const bool second = spec->OnEdit2Change(sender, 0);
            spec->OnClickLink(sender, 0);
            if ((first || second) && row == 1)
                Zuvi_FuzzCheck(Within(d->GetOccupiedWidth(), r.minimum, r.maximum),
                               "occupied width beyond the entry's range");
            if (second && row == 2)
                Zuvi_FuzzCheck(Within(d->GetOriginY(), r.minimum, r.maximum),
                               "origin beyond the entry's range");
            Zuvi_FuzzCheck(!(second && row == 6), "a second value written for the variation");
        }
        spec->DrawSample();
        const double zoom = spec->RetSample()->RetZoom();
        Zuvi_FuzzCheck(zoom >= 1.0 && zoom <= 200.0, "sample zoom beyond 1 to 200");
    } else if (pane->IsKindOf(CPenMotifPaneRef::RetRuntime())) {
        CPenMotifPaneRef motif(pane);
        const CPenDefRef& d = motif->RetDef();
        for (int tag : tags) {
            sender->SetUserTag(tag);
            motif->OnClickRadio(sender, 0);
            const int before = d->GetMotifMode();
            const bool toggled = motif->OnClickSwitch(sender, 0);
            const int changed = before ^ d->GetMotifMode();
            Zuvi_FuzzCheck(toggled ? changed == 0 || changed == CPenMotifPane::OptionBit(tag - 200)
                                   : changed == 0,
                           "a switch changed an option bit not its own");
            FillEntries(pane, text);
            if (motif->OnEdit1Change(sender, 0) && motif->RetMode() == 0)
                Zuvi_FuzzCheck(Within(d->GetMotifParam(), 0.0, 100.0),
                               "motif spacing beyond the entry's range");
            motif->OnEdit2Change(sender, 0);
        }
        Zuvi_FuzzCheck(motif->RetMode() >= 0 && motif->RetMode() < CPenMotifPane::kModes,
                       "mode beyond the buttons");
    } else if (pane->IsKindOf(CPulsarPaneRef::RetRuntime())) {
        CPulsarPaneRef pulsar(pane);
        const CPulsarDefRef& d = pulsar->RetDef();
        CPulsarDefRef kept = ZuNew<CPulsarDef>(Zuvi_app_zone, __LINE__, kFile);
        for (int tag : tags) {
            sender->SetUserTag(tag);
            pulsar->OnClickRadio(sender, 0);
            pulsar->OnClickRadioAxis(sender, 0);
            pulsar->OnClickSwitch(sender, 0);
            FillEntries(pane, text);
            Zuvi_FuzzCheck(pulsar->RetTab() >= 0 && pulsar->RetTab() < pulsar->RetTabCount(),
                           "tab beyond the tabs");
            // (A pulsar holding a number that is no number equals nothing.)
            kept->CopyFrom(CDefRef(ZuObjectRef(d)));
            const bool comparable = kept->IsEqualCurrent(CDefRef(ZuObjectRef(d)));
            if (!pulsar->OnClickButton(sender, 0) && comparable)
                Zuvi_FuzzCheck(kept->IsEqualCurrent(CDefRef(ZuObjectRef(d))),
                               "a refused kind button changed the pulsar");
            kept->CopyFrom(CDefRef(ZuObjectRef(d)));
            if (!pulsar->OnEditChange(sender, 0) && comparable)
                Zuvi_FuzzCheck(kept->IsEqualCurrent(CDefRef(ZuObjectRef(d))),
                               "a refused row changed the pulsar");
            pulsar->OnClickInitial(sender, 0);
        }
        for (int r = 0; r < CPulsarPane::kRows; ++r)
            pulsar->OnEditChange(pulsar->RetRowEntry(r), 0);
        pulsar->OnClickBlow(none, 0);
        pulsar->DrawSample();
        Zuvi_FuzzCheck(d->GetAxis() == 0 || pulsar->RetKind() != 12,
                       "a stroke's pulsar changed axis");
    }
    sender->Delete();
    pane->Refresh();
    CDefPane::SetFallbackDefDlg(ZuObjectRef());
    dialog->def = CDefRef();
}

void RunHandlers(const CDefPaneRef& pane, const ZuStringRef& text)
{
    RunBrushPanes(pane);
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
    } else if (pane->IsKindOf(CArcPaneRef::RetRuntime())) {
        CArcPaneRef arc(pane);
        const int shape = arc->RetDef()->GetMode();
        arc->OnClickMode(none, 0);
        arc->OnClickMode(pane, 0);
        Zuvi_FuzzCheck(arc->RetDef()->GetMode() == shape, "a stranger's click changed the shape");
        for (int i = 0; i < CArcPane::kShapes; ++i)
            arc->OnClickMode(arc->RetShapeButton(i), 0);
        if (arc->RetShapeButton(CArcPane::kShapes - 1).IsValid())
            Zuvi_FuzzCheck(arc->RetDef()->GetMode() == 225, "the last shape button not taken");
    } else if (pane->IsKindOf(CCornerPaneRef::RetRuntime())) {
        CCornerPaneRef corner(pane);
        corner->OnEditLengthChange(none, 0);
        const double inset = corner->RetDef()->GetLength();
        Zuvi_FuzzCheck(inset >= 0.0 && inset <= 100.0, "inset beyond the entry's range");
    } else if (pane->IsKindOf(CArrowPaneRef::RetRuntime())) {
        CArrowPaneRef arrow(pane);
        const CArrowDefRef& d = arrow->RetDef();
        const double before[5] = {d->GetParam1(), d->GetParam2(), d->GetParam3(), d->GetParam4(),
                                  d->GetParam5()};
        arrow->OnEditChange(none, 0);
        arrow->OnEditChange(pane, 0);
        const double after[5] = {d->GetParam1(), d->GetParam2(), d->GetParam3(), d->GetParam4(),
                                 d->GetParam5()};
        Zuvi_FuzzCheck(std::memcmp(before, after, sizeof before) == 0,
                       "a stranger's edit changed a dimension");
        for (int i = 0; i < CArrowPane::kRows; ++i)
            arrow->OnEditChange(arrow->RetEntry(i), 0);
        arrow->OnClickRadioExt(none, 0);
        Zuvi_FuzzCheck((d->GetFlags() & 1) != 0, "outwards not set");
        arrow->OnClickRadioInt(none, 0);
        Zuvi_FuzzCheck((d->GetFlags() & 1) == 0, "inwards not set");
        const int shape = d->GetValue();
        if (shape < 67 || shape > 69)
            for (int i = 0; i < CArrowPane::kRows; ++i)
                Zuvi_FuzzCheck(arrow->RetEntry(i)->RetParent().IsInvalid(),
                               "a row shown for a head without dimensions");
    } else if (pane->IsKindOf(CFontPaneRef::RetRuntime())) {
        CFontPaneRef font(pane);
        font->OnEditScale(none, 0);
        font->OnEditWidth(none, 0);
        font->OnEditStretch(none, 0);
        font->OnEditItalic(none, 0);
        font->OnSwitchBold(none, 0);
        font->OnSwitchItalic(none, 0);
        const char* latin = text.IsValid() ? text->AccessLatin() : nullptr;
        font->RetFontList()->Select(latin != nullptr ? int((unsigned char)latin[0]) - 40 : -1);
        font->OnClickList(none, 0);
        const CFontDefRef& d = font->RetDef();
        Zuvi_FuzzCheck(d->GetScale() >= 0.0 && d->GetScale() <= 200.0 && d->GetWidth() >= -1.0 &&
                           d->GetWidth() <= 1.0 && d->GetStretch() >= -1.0 &&
                           d->GetStretch() <= 1.0 && d->GetItalic() >= -1.0 &&
                           d->GetItalic() <= 1.0,
                       "font value beyond the entries' range");
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
    } else if (pane->IsKindOf(CMotifDegPaneRef::RetRuntime())) {
        RunGradientPane(CMotifDegPaneRef(pane), text);
    } else if (pane->IsKindOf(CMotifSpecPaneRef::RetRuntime()) ||
               pane->IsKindOf(CPenMotifPaneRef::RetRuntime()) ||
               pane->IsKindOf(CPulsarPaneRef::RetRuntime())) {
        RunMotifPaneHandlers(pane, text);
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
        bool restored = true;
        try {
            DefAccess::Restore(def, storage);
        } catch (const ZuExcStream&) {
            // Half-read definitions reach the panes too.
            restored = false;
        }
        storage->Stop();
        // The first half of the bytes builds a brush that was not stored,
        // the second drives the brush panes' gestures.
        const std::size_t half = (size - 12) / 2;
        brush_bytes = BrushBytes{data + 12, half, 0};
        gesture_bytes = BrushBytes{data + 12 + half, size - 12 - half, 0};
        if (!restored && def->IsKindOf(CPatternDefRef::RetRuntime()))
            BrushFromBytes(CPatternDefRef(ZuObjectRef(def)));
        RestoredDef() = def;

        CDefPaneRef pane(ZuObjectRef(ZuClassFactory::New(panes[p].pane, nullptr, __LINE__, kFile)));
        pane->SetSize(370, 196);
        pane->Create(kind);
        const bool own = panes[p].def != nullptr && std::strcmp(panes[p].def, def_class) == 0;
        Exercise(pane, def, own, value, ZuStringRef(text));
        // An empty handle is refused as well, and the pane still works.
        Zuvi_FuzzCheck(!pane->SetDef(CDefRef()), "empty definition taken");
        pane->Refresh();
        pane->Delete();
        RestoredDef() = CDefRef();
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
