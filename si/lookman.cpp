#include "si/lookman.h"

#include <type_traits>

#include "si/classfactory.h"
#include "si/dataslot.h"
#include "si/error.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/typedef.h"
#include "si/typeinfo.h"

namespace {

const char* const kFile = "si/lookman";

struct DefaultColor {
    ZuLookColor color;
    const char* name;
    unsigned char r, g, b, t;
};

// The built-in look colours, ended by a row without name.
const DefaultColor kDefaultColors[] = {
    {ZU_COLOR_WHITE, "White", 255, 255, 255, 0},
    {ZU_COLOR_LGRAY, "LightGray", 192, 192, 192, 0},
    {ZU_COLOR_DGRAY, "DarkGray", 128, 128, 128, 0},
    {ZU_COLOR_BLACK, "Black", 0, 0, 0, 0},
    {ZU_COLOR_BACKGROUND, "Background", 192, 192, 192, 0},
    {ZU_COLOR_WIDGET_BACK, "WidgetBack", 128, 128, 128, 0},
    {ZU_COLOR_WIDGET_FORE, "WidgetFore", 192, 192, 192, 0},
    {ZU_COLOR_TRANSPARENT, "Transparent", 0, 0, 0, 255},
    {ZU_COLOR_PSY_DANGER, "PsyDanger", 255, 0, 0, 0},
    {ZU_COLOR_PSY_WARNING, "PsyWarning", 192, 128, 0, 0},
    {ZU_COLOR_PSY_SAFE, "PsySafe", 0, 192, 0, 0},
    {ZU_COLOR_VIEW_NORMAL, "ViewNormal", 0, 0, 0, 0},
    {ZU_COLOR_VIEW_DIM, "ViewDim", 176, 176, 176, 0},
    {ZU_COLOR_VIEW_ACTIVE, "ViewActive", 224, 224, 224, 0},
    {ZU_COLOR_VIEW_DRAGGING, "ViewDragging", 224, 224, 224, 0},
    {ZU_COLOR_VIEW_DROPPING, "ViewDropping", 192, 255, 192, 128},
    {ZU_COLOR_VIEW_CURSOR, "ViewCursor", 0, 0, 0, 0},
    {ZU_COLOR_VIEW_HILITE, "ViewHilite", 255, 255, 255, 0},
    {ZU_COLOR_VIEW_CONNECT, "ViewConnect", 0, 0, 0, 0},
    {ZU_COLOR_VIEW_DROP_POS, "ViewDropPos", 0, 128, 0, 64},
    {ZU_COLOR_HILITE_CLICKED, "HiliteClicked", 255, 255, 255, 0},
    {ZU_COLOR_HILITE_SELECT, "HiliteSelect", 128, 128, 128, 0},
    {ZU_COLOR_HILITE_ACTIVE, "HiliteActive", 224, 224, 224, 0},
    {ZU_COLOR_HILITE_HOT, "HiliteHot", 224, 224, 224, 0},
    {ZU_COLOR_HILITE_ON, "HiliteOn", 255, 255, 255, 0},
    {ZU_COLOR_HILITE_SELDIM, "HiliteSelDim", 224, 224, 224, 0},
    {ZU_COLOR_UI_SELECT, "UISelect", 192, 0, 0, 0},
    {ZU_COLOR_UI_SEL_ACTIVE, "UISelActive", 255, 0, 0, 0},
    {ZU_COLOR_TOOLTIP_BACK, "ToolTipBack", 255, 255, 192, 0},
    {ZU_COLOR_TOOLTIP_FRAME, "ToolTipFrame", 0, 0, 0, 0},
    {ZU_COLOR_TOOLTIP_TEXT, "ToolTipText", 0, 0, 0, 0},
    {ZU_COLOR_TEXTLINE_BACK, "TextLineBack", 255, 255, 255, 0},
    {ZU_COLOR_TEXTLINE_TEXT, "TextLineText", 0, 0, 0, 0},
    {ZU_COLOR_NONE, nullptr, 0, 0, 0, 0},
};

// The word a colour pixel caches, read and written without refreshing it
// (a refresh would ask the look manager again). A colour pixel is a
// standard-layout record whose first field is its word.
static_assert(std::is_standard_layout<ZuColorPixel>::value,
              "the word is reached as the first field");

unsigned int& WordOf(ZuColorPixel& pixel)
{
    return *reinterpret_cast<unsigned int*>(&pixel);
}

unsigned int WordOf(const ZuColorPixel& pixel)
{
    return *reinterpret_cast<const unsigned int*>(&pixel);
}

// What colour pixels ask of the current look manager; an empty handle is
// the fatal error of resolving it.
bool HookCompactRGB(ZuLookColor color, unsigned int& pixel)
{
    return ZuLookMan::Current()->GetColorCompactRGB(color, pixel);
}

bool HookName(ZuLookColor color, ZuAtomRef& name)
{
    return ZuLookMan::Current()->GetColorName(color, name);
}

ZuLookColor HookFind(const ZuAtomRef& name)
{
    return ZuLookMan::Current()->FindColor(name);
}

const Zuvi_LookColorHooks kHooks = {&HookCompactRGB, &HookName, &HookFind};

// The application when it is a data slot: the managers publish in it.
bool HasDataSlot()
{
    const ZuObjectRef& app = Zuvi_RetApplication();
    return app.IsValid() && app->IsKindOf(ZuDataSlotRef::RetRuntime());
}

void Publish(const char* field, const ZuObjectRef& object)
{
    if (HasDataSlot())
        ZuDataSlotRef(Zuvi_RetApplication())->InsertField(ZuAtomRef(field), object);
}

// The start-up's step: the system look manager, after the font manager,
// then the normal pointer; shut-down lets it go before the font manager.
void StartLookMan()
{
    ZuLookMan::Initialise();
    ZuLookMan::Current()->SelectCursor(ZuAtomRef("Zuvi_CursorNormal"));
}

struct StartSteps {
    StartSteps() { Zuvi_SetStartStep("look manager", &StartLookMan, &ZuLookMan::Kill); }
} start_steps;

} // namespace

const Zuvi_EnumName ZuLookColor_names[] = {
    {static_cast<unsigned int>(ZU_COLOR_NONE), "ZU_COLOR_NONE"},
    {static_cast<unsigned int>(ZU_COLOR_ANY), "ZU_COLOR_ANY"},
    {ZU_COLOR_WHITE, "ZU_COLOR_WHITE"},
    {ZU_COLOR_LGRAY, "ZU_COLOR_LGRAY"},
    {ZU_COLOR_DGRAY, "ZU_COLOR_DGRAY"},
    {ZU_COLOR_BLACK, "ZU_COLOR_BLACK"},
    {ZU_COLOR_BACKGROUND, "ZU_COLOR_BACKGROUND"},
    {ZU_COLOR_WIDGET_BACK, "ZU_COLOR_WIDGET_BACK"},
    {ZU_COLOR_WIDGET_FORE, "ZU_COLOR_WIDGET_FORE"},
    {ZU_COLOR_TRANSPARENT, "ZU_COLOR_TRANSPARENT"},
    {ZU_COLOR_PSY_DANGER, "ZU_COLOR_PSY_DANGER"},
    {ZU_COLOR_PSY_WARNING, "ZU_COLOR_PSY_WARNING"},
    {ZU_COLOR_PSY_SAFE, "ZU_COLOR_PSY_SAFE"},
    {ZU_COLOR_VIEW_NORMAL, "ZU_COLOR_VIEW_NORMAL"},
    {ZU_COLOR_VIEW_DIM, "ZU_COLOR_VIEW_DIM"},
    {ZU_COLOR_VIEW_ACTIVE, "ZU_COLOR_VIEW_ACTIVE"},
    {ZU_COLOR_VIEW_DRAGGING, "ZU_COLOR_VIEW_DRAGGING"},
    {ZU_COLOR_VIEW_DROPPING, "ZU_COLOR_VIEW_DROPPING"},
    {ZU_COLOR_VIEW_CURSOR, "ZU_COLOR_VIEW_CURSOR"},
    {ZU_COLOR_VIEW_HILITE, "ZU_COLOR_VIEW_HILITE"},
    {ZU_COLOR_VIEW_CONNECT, "ZU_COLOR_VIEW_CONNECT"},
    {ZU_COLOR_VIEW_DROP_POS, "ZU_COLOR_VIEW_DROP_POS"},
    {ZU_COLOR_HILITE_CLICKED, "ZU_COLOR_HILITE_CLICKED"},
    {ZU_COLOR_HILITE_SELECT, "ZU_COLOR_HILITE_SELECT"},
    {ZU_COLOR_HILITE_ACTIVE, "ZU_COLOR_HILITE_ACTIVE"},
    {ZU_COLOR_HILITE_HOT, "ZU_COLOR_HILITE_HOT"},
    {ZU_COLOR_HILITE_ON, "ZU_COLOR_HILITE_ON"},
    {ZU_COLOR_HILITE_SELDIM, "ZU_COLOR_HILITE_SELDIM"},
    {ZU_COLOR_UI_SELECT, "ZU_COLOR_UI_SELECT"},
    {ZU_COLOR_UI_SEL_ACTIVE, "ZU_COLOR_UI_SEL_ACTIVE"},
    {ZU_COLOR_TOOLTIP_BACK, "ZU_COLOR_TOOLTIP_BACK"},
    {ZU_COLOR_TOOLTIP_FRAME, "ZU_COLOR_TOOLTIP_FRAME"},
    {ZU_COLOR_TOOLTIP_TEXT, "ZU_COLOR_TOOLTIP_TEXT"},
    {ZU_COLOR_TEXTLINE_BACK, "ZU_COLOR_TEXTLINE_BACK"},
    {ZU_COLOR_TEXTLINE_TEXT, "ZU_COLOR_TEXTLINE_TEXT"},
    {ZU_COLOR_MAX, "ZU_COLOR_MAX"},
    {0, nullptr},
};

ZU_ENUM_REGISTER(ZuFlushPriority)
ZU_ENUM_REGISTER(ZuLookColor)
ZU_IMPLEMENT_CLASS(ZuLookMan, kFile, ZU_CLASS_NOT_STORED)

ZuLookManRef ZuLookMan::current;
ZuLookManRef ZuLookMan::sys_lookman;
ZuLookColor ZuLookMan::col_conv[ZuLookMan::kColorSlots];
const char* ZuLookMan::col_name[ZuLookMan::kColorSlots];

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------

ZuLookMan::ZuLookMan()
    : font_antialiasing(false), sys_font_size(12.0), small_font_size(10.0), bold_font_size(12.0),
      effect_3d_width(2.0), press_3d_offset(1.0), widget_frame_size(1.0), auto_start_time(100),
      auto_repeat_time(50), cursor_off_time(500), cursor_on_time(500), tool_tip_delay(200),
      double_click_delay(300), scroll_arrow_pos(ZU_SCROLL_ARROW_NORMAL), hilite_button(false),
      hilite_icon(true), hilite_cell(true), show_active(false), show_dragging(false),
      show_dropping(false)
{
    InitPolicies();
    InitIcons();
    InitCursors();
    InitColors();
    InitFont();
}

ZuLookMan::~ZuLookMan()
{
    // A look manager that goes with its last handle lets its containers go
    // too: a dictionary must be empty when it goes, and the policy tree,
    // which holds itself, only goes with Delete.
    Release();
}

void ZuLookMan::Release()
{
    if (icons.IsValid())
        icons->RemoveAll();
    if (cursors.IsValid())
        cursors->RemoveAll();
    if (policies.IsValid())
        policies->Delete();
    policies = ZuDicTreeNull;
    icons = ZuDictNull;
    cursors = ZuDictNull;
}

void ZuLookMan::Delete()
{
    Release();
    ZuObject::Delete();
}

void ZuLookMan::StoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to store Look Manager", __LINE__, kFile);
}

void ZuLookMan::RestoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to restore Look Manager", __LINE__, kFile);
}

void ZuLookMan::Initialise()
{
    sys_lookman = ZuNew<ZuLookMan>(Zuvi_sys_zone, __LINE__, kFile);
    current = sys_lookman;
    Zuvi_SetLookColorHooks(&kHooks);
}

void ZuLookMan::Kill()
{
    Zuvi_SetLookColorHooks(nullptr);
    current = ZuLookManNull;
    if (sys_lookman.IsValid())
        sys_lookman->Delete();
    sys_lookman = ZuLookManNull;
}

void ZuLookMan::Reset()
{
    current = sys_lookman;
}

void ZuLookMan::Change(const ZuLookManRef& look_man)
{
    current = look_man;
    // Colour pixels follow whichever look manager is current.
    if (current.IsValid())
        Zuvi_SetLookColorHooks(&kHooks);
}

const ZuLookManRef& ZuLookMan::Current()
{
    return current;
}

void ZuLookMan::InsertAdorner(ZuAdorner*) {}

void ZuLookMan::RemoveAdorner(ZuAdorner*) {}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------

void ZuLookMan::InitFont()
{
    const ZuFontManRef& fonts = ZuFontMan::current;
    if (fonts.IsValid()) {
        const ZuStringRef no_style("");
        fonts->CreateFont(sys_font_face, no_style, -sys_font_size, font_antialiasing, sys_font);
        fonts->CreateFont(small_font_face, no_style, -small_font_size, font_antialiasing,
                          small_font);
        fonts->CreateFont(bold_font_face, no_style, -bold_font_size, font_antialiasing, bold_font);
    }
    // A handle to an object being built is only made when the application
    // keeps it: a handle let go here would queue the look manager for
    // deletion before its maker holds it.
    if (HasDataSlot())
        Publish("Look Manager", ZuObjectRef(this));
    Publish("System Font", sys_font);
    Publish("Small Font", small_font);
    Publish("Bold Font", bold_font);
}

// ---------------------------------------------------------------------------
// Look colours
// ---------------------------------------------------------------------------

void ZuLookMan::InitColors()
{
    for (unsigned i = 0; i < kColorSlots; ++i) {
        col_conv[i] = ZU_COLOR_NONE;
        col_name[i] = nullptr;
        default_red[i] = default_green[i] = default_blue[i] = default_transparency[i] = 0;
        pixels[i] = ZuColorPixel(ZU_COLOR_NONE);
    }
    for (const DefaultColor* row = kDefaultColors; row->name != nullptr; ++row) {
        const unsigned v = static_cast<unsigned>(row->color);
        col_conv[v] = row->color;
        col_name[v] = row->name;
        default_red[v] = row->r;
        default_green[v] = row->g;
        default_blue[v] = row->b;
        default_transparency[v] = row->t;
        // The slot's pixel: its word, bound to its own look colour.
        pixels[v] = ZuColorPixel(row->color);
        WordOf(pixels[v]) = ZuColorPixel::MakeCompactRGB(row->r, row->g, row->b, row->t);
    }
}

bool ZuLookMan::IsValidColor(ZuLookColor color) const
{
    const int v = static_cast<int>(color);
    return v >= 0 && v < static_cast<int>(kColorSlots) && col_conv[v] != ZU_COLOR_NONE;
}

bool ZuLookMan::GetColorName(ZuLookColor color, ZuAtomRef& name) const
{
    if (color == ZU_COLOR_ANY) {
        name = ZuAtomRef("*");
        return true;
    }
    if (!IsValidColor(color)) {
        name = ZuAtomNull;
        return false;
    }
    name = ZuAtomRef(col_name[color]);
    return true;
}

bool ZuLookMan::GetColorRGB(ZuLookColor color, unsigned char& r, unsigned char& g, unsigned char& b,
                            unsigned char& t) const
{
    if (!IsValidColor(color))
        return false;
    r = default_red[color];
    g = default_green[color];
    b = default_blue[color];
    t = default_transparency[color];
    return true;
}

bool ZuLookMan::GetColorRGB(ZuLookColor color, unsigned char& r, unsigned char& g,
                            unsigned char& b) const
{
    unsigned char t;
    return GetColorRGB(color, r, g, b, t);
}

bool ZuLookMan::GetColorCompactRGB(ZuLookColor color, unsigned int& pixel) const
{
    if (!IsValidColor(color))
        return false;
    pixel = WordOf(pixels[color]);
    return true;
}

bool ZuLookMan::GetColorPixel(ZuLookColor color, ZuColorPixel& pixel) const
{
    if (!IsValidColor(color))
        return false;
    pixel = pixels[color];
    return true;
}

bool ZuLookMan::GetColorPixel(const ZuAtomRef& name, ZuColorPixel& pixel) const
{
    return GetColorPixel(const_cast<ZuLookMan*>(this)->FindColor(name), pixel);
}

bool ZuLookMan::SetColorCompactRGB(ZuLookColor color, unsigned int pixel)
{
    if (!IsValidColor(color))
        return false;
    WordOf(pixels[color]) = pixel;
    return true;
}

bool ZuLookMan::SetColorRGB(ZuLookColor color, unsigned char r, unsigned char g, unsigned char b,
                            unsigned char t)
{
    return SetColorCompactRGB(color, ZuColorPixel::MakeCompactRGB(r, g, b, t));
}

ZuLookColor ZuLookMan::FindColor(const ZuAtomRef& name)
{
    if (name.IsInvalid())
        return ZU_COLOR_NONE;
    if (name == "*")
        return ZU_COLOR_ANY;
    for (unsigned i = 0; i < kColorSlots; ++i)
        if (col_name[i] != nullptr && name == col_name[i])
            return col_conv[i];
    return ZU_COLOR_NONE;
}

ZuLookColor ZuLookMan::FindNthColor(unsigned n)
{
    for (unsigned i = 0; i < kColorSlots; ++i) {
        if (col_conv[i] == ZU_COLOR_NONE)
            continue;
        if (n == 0)
            return col_conv[i];
        --n;
    }
    return ZU_COLOR_NONE;
}
