#include "app/motifdegpane.h"

#include <cmath>
#include <cstdio>

#include "app/commands.h"
#include "app/grarect.h"
#include "app/idefdlg.h"
#include "app/misc.h"
#include "app/pendef.h"
#include "si/boxview.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CMotifDegPane, "app/motifdegpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnButtonType)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnButtonRadio)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnSwitch)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnEditParamChange)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnRadioColor)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnButtonAdjust)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnEditNbColorChange)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnEditCoonsXChange)
ZU_EXPORT_OBSERVER(CMotifDegPane, OnEditCoonsYChange)

namespace {

const char* const kFile = "motifdegpane";

const double kDegreeStep = 0.08726646259722222;

} // namespace

// clang-format off
const CMotifDegPane::Param CMotifDegPane::kParams[] = {
    {230, 0, 0, 0, 1, 13, 0, 6.283185307, kDegreeStep, 8, 2, 0.0,
     "Inclinaison", "Angle par-rapport \xe0 l'horizontale"},
    {230, 0, 1, 1, 2, 12, 0, 1, 0.05, 10, 2, 0.0, "D\xe9part", "D\xe9" "but du d\xe9grad\xe9"},
    {230, 0, 2, 2, 3, 12, 0, 1, 0.05, 10, 2, 0.0, "Arriv\xe9" "e", "Fin du d\xe9grad\xe9"},
    {231, 0, 0, 2, 0, 12, 0, 2, 0.05, 8, 2, 0.0, "Rayon ext\xe9rieur",
     "Rayon ext\xe9rieur de d\xe9part"},
    {231, 0, 1, 0, 1, 12, -1, 1, 0.05, 8, 2, 0.0, "Centre ext\xe9rieur horizontal",
     "Centre du cercle de d\xe9part"},
    {231, 0, 2, 1, 1, 12, -1, 1, 0.05, 8, 2, 0.0, "Centre ext\xe9rieur vertical",
     "Centre du cercle de d\xe9part"},
    {231, 1, 0, 5, 2, 12, 0, 1, 0.05, 10, 2, 0.0, "Rayon int\xe9rieur",
     "Rayon int\xe9rieur d'arriv\xe9" "e"},
    {231, 1, 1, 3, 3, 12, -1, 1, 0.05, 8, 2, 0.0, "Centre int\xe9rieur horizontal",
     "Centre du cercle d'arriv\xe9" "e"},
    {231, 1, 2, 4, 3, 12, -1, 1, 0.05, 8, 2, 0.0, "Centre int\xe9rieur vertical",
     "Centre du cercle d'arriv\xe9" "e"},
    {232, 0, 0, 0, 0, 12, -1, 1, 0.05, 8, 2, 0.0, "Centre horizontal", ""},
    {232, 0, 1, 1, 0, 12, -1, 1, 0.05, 8, 2, 0.0, "Centre vertical", ""},
    {234, 0, 1, -1, 0, 12, 0, 1, 0.1, 10, 2, 0.0, "Port\xe9" "e de la couleur",
     "Distance jusqu'o\xf9 porte la couleur"},
    {234, 1, 1, -1, 0, 12, 0, 1, 0.1, 10, 2, 0.0, "Port\xe9" "e de la couleur",
     "Distance jusqu'o\xf9 porte la couleur"},
    {234, 2, 1, -1, 0, 12, 0, 1, 0.1, 10, 2, 0.0, "Port\xe9" "e de la couleur",
     "Distance jusqu'o\xf9 porte la couleur"},
    {234, 3, 1, -1, 0, 12, 0, 1, 0.1, 10, 2, 0.0, "Port\xe9" "e de la couleur",
     "Distance jusqu'o\xf9 porte la couleur"},
    {234, 4, 1, -1, 0, 12, 0, 1, 0.1, 10, 2, 0.0, "Port\xe9" "e de la couleur",
     "Distance jusqu'o\xf9 porte la couleur"},
    {234, 5, 1, -1, 0, 12, 0, 1, 0.1, 10, 2, 0.0, "Port\xe9" "e de la couleur",
     "Distance jusqu'o\xf9 porte la couleur"},
    {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0, "", ""},
};
// clang-format on

// ---------------------------------------------------------------------------
// Building
// ---------------------------------------------------------------------------
bool CMotifDegPane::Create(int code)
{
    ready = notify = false;
    def = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = code;
    BuildControls(0, 0);
    // Until a definition comes, the controls of no kind show.
    UpdateKind();
    UpdateSections();
    UpdateSwitches();
    UpdateParams();
    UpdateColorButtons();
    ready = notify = true;
    return true;
}

void CMotifDegPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    const ZuObjectRef pane(this);
    const ZuAtomRef clicked = ZuControl::notify_clicked;
    for (int i = 0; i < kTypes; ++i) {
        NewIconButton(type_buttons[i], self, x + 3, y + 4 + 23 * i, 23, 23, 100 + i, 230 + i);
        if (type_buttons[i].IsValid())
            type_buttons[i]->AttachObserver(pane, clicked, ZuAtomRef("OnButtonType"), 0);
    }
    const CDefPaneRef me(pane);
    sample = ZuNew<CPatternDraw>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 27, y + 4, 161, 161, true, 0);
    sample->SetPane(me);
    sample->SetParent(self);
    strip = ZuNew<CPatternDraw>(Zuvi_app_zone, __LINE__, kFile);
    strip->Build(x + 27, y + 169, 161, 23, true, 1);
    strip->SetPane(me);
    strip->SetParent(self);
    frame = NewBoxView(self, x + 192, y + 4, 171, 161);
    if (!frame.IsValid()) {
        frame = ZuNew<ZuView>(Zuvi_app_zone, __LINE__, kFile);
        frame->SetOrigin(x + 192, y + 4);
        frame->SetSize(171, 161);
        frame->SetParent(self);
    }
    frame->SetUserName(ZuAtomRef("deg"));
    for (int i = 0; i < kSections; ++i) {
        NewIconButton(section_buttons[i], frame, x + 196 + 23 * i, y + 8, 23, 23, 200 + i, -1);
        if (section_buttons[i].IsValid())
            section_buttons[i]->AttachObserver(pane, clicked, ZuAtomRef("OnButtonRadio"), 0);
    }
    for (int i = 0; i < kSwitches; ++i) {
        switches[i] = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
        switches[i]->InitAsRadioButton();
        switches[i]->SetOrigin(x + 196 + 32 * i, y + 8);
        switches[i]->SetSize(32, 20);
        switches[i]->SetUserTag(400 + i);
        switches[i]->SetParent(frame);
        switches[i]->AttachObserver(pane, clicked, ZuAtomRef("OnSwitch"), 0);
    }
    for (int i = 0; i < kFields; ++i) {
        // Each caption keeps clear of the ticks that the sliders beside the
        // entries draw one pixel above and below them.
        const int clear = i == 0 ? 0 : 1;
        captions[i] =
            ZuTextTagRef(NewLabel(frame, x + 196, y + 35 + 40 * i + clear, 146, 19 - clear, ""));
        captions[i]->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BOTTOM));
        // 55 wide, so that the slider after the entry's unit button and
        // arrows ends inside the box's frame (57 put its last pixel under it).
        param_entries[i] =
            NewEntry(frame, x + 196, y + 55 + 40 * i, 55, 20, 0, true, 0x62, "OnEditParamChange");
        param_entries[i]->SetUserTag(500 + i);
    }
    for (int r = 0; r < 2; ++r)
        for (int j = 0; j < 5; ++j) {
            CButtonColorRef& b = color_buttons[5 * r + j];
            b = ZuNew<CButtonColor>(Zuvi_app_zone, __LINE__, kFile);
            b->SetPlace(x + 196 + 32 * j, y + 123 + 17 * r, 32, 17);
            b->SetUserTag(300 + 5 * r + j);
            b->SetParent(frame);
            b->AttachObserver(pane, clicked, ZuAtomRef("OnRadioColor"), 0);
        }
    for (int i = 0; i < kAdjusts; ++i) {
        NewIconButton(adjust_buttons[i], self, x + 192 + 22 * i, y + 169, 22, 23, 600 + i, -1);
        if (adjust_buttons[i].IsValid())
            adjust_buttons[i]->AttachObserver(pane, clicked, ZuAtomRef("OnButtonAdjust"), 0);
    }
    count_entry = NewEntry(self, x + 219, y + 170, 34, 20, 10, false, 0x62, "OnEditNbColorChange");
    count_entry->SetMin(2);
    count_entry->SetMax(10);
    count_entry->SetStep(1);
    count_entry->SetToolTip(ZuStringRef("Nombre de couleurs"));
    columns_caption = ZuTextTagRef(NewLabel(self, x + 27, y + 170, 20, 20, "H="));
    columns_caption->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    columns_entry = NewEntry(self, x + 47, y + 170, 20, 20, 10, false, 0x62, "OnEditCoonsXChange");
    columns_entry->SetMin(2);
    columns_entry->SetMax(5);
    columns_entry->SetStep(1);
    columns_entry->SetToolTip(ZuStringRef("Nombre de mailles horizontalement"));
    rows_caption = ZuTextTagRef(NewLabel(self, x + 110, y + 170, 20, 20, "V="));
    rows_caption->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    rows_entry = NewEntry(self, x + 130, y + 170, 20, 20, 10, false, 0x62, "OnEditCoonsYChange");
    rows_entry->SetMin(2);
    rows_entry->SetMax(5);
    rows_entry->SetStep(1);
    rows_entry->SetToolTip(ZuStringRef("Nombre de mailles verticalement"));
    CDefPane::BuildControls(x, y);
}

void CMotifDegPane::Delete()
{
    // Hidden controls have no parent: each is deleted here, shown or not.
    auto drop = [](ZuViewRef view) {
        if (view.IsValid())
            view->Delete();
    };
    for (CButtonRef& b : type_buttons)
        drop(ZuViewRef(b)), b = CButtonRef();
    for (CButtonRef& b : section_buttons)
        drop(ZuViewRef(b)), b = CButtonRef();
    for (ZuSwitchRef& s : switches)
        drop(ZuViewRef(s)), s = ZuSwitchRef();
    for (ZuTextTagRef& t : captions)
        drop(ZuViewRef(t)), t = ZuTextTagRef();
    for (CTextLineArrowRef& e : param_entries)
        drop(ZuViewRef(e)), e = CTextLineArrowRef();
    for (CButtonColorRef& b : color_buttons)
        drop(ZuViewRef(b)), b = CButtonColorRef();
    for (CButtonRef& b : adjust_buttons)
        drop(ZuViewRef(b)), b = CButtonRef();
    for (ZuViewRef v :
         {ZuViewRef(sample), ZuViewRef(strip), ZuViewRef(count_entry), ZuViewRef(columns_caption),
          ZuViewRef(columns_entry), ZuViewRef(rows_caption), ZuViewRef(rows_entry), frame})
        drop(v);
    sample = strip = CPatternDrawRef();
    count_entry = columns_entry = rows_entry = CTextLineArrowRef();
    columns_caption = rows_caption = ZuTextTagRef();
    frame = ZuViewRef();
    def = drawn_def = strip_def = CMotifDefRef();
    drawn_colors = strip_colors = CColorDefRef();
    CDefPane::Delete();
}

bool CMotifDegPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CMotifDegPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CMotifDegPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CMotifDegPane::RegisterCodes()
{
    CColorDefRef colours = Companion();
    if (!colours.IsValid() || !def.IsValid())
        return;
    colours->SetCount(def->GetColorCount());
    colours->SetStyle(2);
    AddCode(kind == 20 ? 25 : 105);
}

void CMotifDegPane::Update()
{
    DrawSample();
    DrawStrip();
    UpdateColorButtons();
}

void CMotifDegPane::Refresh()
{
    notify = false;
    if (sample.IsValid())
        sample->ClearCursorSprite();
    UpdateKind();
    UpdateSections();
    UpdateSwitches();
    DrawSample();
    DrawStrip();
    UpdateParams();
    UpdateColorButtons();
    UpdateCounts();
    notify = true;
}

void CMotifDegPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------
bool CMotifDegPane::ShowIn(const ZuViewRef& view, const ZuViewRef& parent, bool shown)
{
    if (!view.IsValid())
        return false;
    const ZuViewRef& now = view->RetParent();
    if (shown ? now == parent : !now.IsValid())
        return false;
    PutInto(view, shown ? parent : ZuViewRef());
    if (parent.IsValid())
        parent->Display(true);
    return true;
}

int CMotifDegPane::GradientKind() const
{
    return def.IsValid() ? def->GetGradientType() : 0;
}

bool CMotifDegPane::IsMesh() const
{
    const int k = GradientKind();
    return k == CMotifDef::GRADIENT_TRIANGLES || k == CMotifDef::GRADIENT_CURVES;
}

bool CMotifDegPane::IsWholeMeshMode() const
{
    return IsMesh() && section >= 2 && section <= 5;
}

int CMotifDegPane::SectionCount() const
{
    const int k = GradientKind();
    return k == CMotifDef::GRADIENT_RADIAL ? 2 : IsMesh() ? 6 : 0;
}

CColorDefRef CMotifDegPane::Companion() const
{
    if (kind != 20 && kind != 101)
        return CColorDefRef();
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return CColorDefRef();
    CDefRef found = dialog->RetDefinition(kind == 20 ? 25 : 105);
    if (!found.IsValid() || !found->IsKindOf(CColorDefRef::RetRuntime()))
        return CColorDefRef();
    return CColorDefRef(ZuObjectRef(found));
}

int CMotifDegPane::TagOf(const ZuObjectRef& source)
{
    if (!source.IsValid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return -1;
    return ZuViewRef(source)->RetUserTag();
}

int CMotifDegPane::ColorIndexOf(int handle) const
{
    if (handle < 0 || !def.IsValid())
        return -1;
    const int k = GradientKind();
    int entry;
    if (k == CMotifDef::GRADIENT_TRIANGLES)
        entry = 4 * handle + 3;
    else if (k == CMotifDef::GRADIENT_CURVES)
        entry = 19 * (handle / 5) + 18;
    else
        return -1;
    if (entry >= def->CountGradientPoints())
        return -1;
    // A stored index is a whole number 0 .. 9; anything else (a
    // non-number, a huge value from a file) names no colour.
    const double v = def->GetGradientPoint(entry);
    if (!(v >= 0.0 && v < double(kColors)))
        return -1;
    return int(v);
}

bool CMotifDegPane::SetEntryValue(const CTextLineArrowRef& entry, double value)
{
    if (!entry.IsValid())
        return false;
    const bool was = ready;
    ready = false;
    const bool done = entry->SetValue(std::isfinite(value) ? value : 0.0);
    ready = was;
    return done;
}

// ---------------------------------------------------------------------------
// The per-kind parts
// ---------------------------------------------------------------------------
void CMotifDegPane::UpdateKind()
{
    const ZuViewRef self(this);
    const int k = GradientKind();
    for (int i = 0; i < kTypes; ++i)
        SetViewOn(ZuViewRef(type_buttons[i]), k == 230 + i ? 1 : 0);
    const bool ramp = k == CMotifDef::GRADIENT_AXIAL || k == CMotifDef::GRADIENT_RADIAL;
    if (ShowIn(ZuViewRef(strip), self, ramp) && ramp)
        strip->Display();
    if (ShowIn(ZuViewRef(count_entry), self, ramp) && ramp)
        count_entry->DisplayAll();
    const bool mesh = IsMesh();
    ShowIn(ZuViewRef(columns_caption), self, mesh);
    ShowIn(ZuViewRef(rows_caption), self, mesh);
    if (ShowIn(ZuViewRef(columns_entry), self, mesh) && mesh)
        columns_entry->DisplayAll();
    if (ShowIn(ZuViewRef(rows_entry), self, mesh) && mesh)
        rows_entry->DisplayAll();
    struct Face {
        const char* face;
        const char* tip;
    };
    static const Face ramp_faces[kAdjusts] = {{"=", "Couleurs r\xe9guli\xe8res"}};
    static const Face triangle_faces[kAdjusts] = {
        {"=", "Mailles r\xe9guli\xe8res"}, {"/", ""}, {"\\", ""}, {"><", ""}, {"<>", ""}};
    static const Face curve_faces[kAdjusts] = {{"=", "Mailles r\xe9guli\xe8res"},
                                               {"|", "Mailles rectilignes"},
                                               {"o", "Port\xe9"
                                                     "es r\xe9guli\xe8res"}};
    static const Face none[kAdjusts] = {};
    const Face* faces = ramp                                 ? ramp_faces
                        : k == CMotifDef::GRADIENT_TRIANGLES ? triangle_faces
                        : k == CMotifDef::GRADIENT_CURVES    ? curve_faces
                                                             : none;
    for (int i = 0; i < kAdjusts; ++i) {
        const CButtonRef& b = adjust_buttons[i];
        if (!b.IsValid())
            continue;
        const bool shown = faces[i].face != nullptr;
        if (shown) {
            b->SetText(ZuStringRef(faces[i].face), ZuTextStyle::none, true);
            b->SetToolTip(ZuStringRef(faces[i].tip));
        }
        ShowIn(ZuViewRef(b), self, shown);
        if (shown)
            b->Display(true);
    }
}

void CMotifDegPane::UpdateSections()
{
    static const int radial_icons[] = {235, 236};
    static const int mesh_icons[] = {240, 241, 245, 242, 243, 244};
    const int n = SectionCount();
    const int* icons = n == 2 ? radial_icons : mesh_icons;
    if (section > n - 1)
        section = n - 1;
    if (section < 0)
        section = 0;
    for (int i = 0; i < kSections; ++i) {
        const CButtonRef& b = section_buttons[i];
        if (!b.IsValid())
            continue;
        const bool shown = i < n;
        if (shown && section_icons[i] != icons[i]) {
            NewIcon(ZuButtonRef(b), icons[i]);
            section_icons[i] = icons[i];
        }
        ShowIn(ZuViewRef(b), frame, shown);
        if (shown)
            SetViewOn(ZuViewRef(b), i == section ? 1 : 0);
    }
    if (frame.IsValid())
        frame->Display(true);
}

void CMotifDegPane::UpdateSwitches()
{
    for (const ZuSwitchRef& s : switches)
        ShowIn(ZuViewRef(s), frame, false);
    const int k = GradientKind();
    const unsigned word = def.IsValid() ? def->GetMeshFlags() : 0;
    if (k == CMotifDef::GRADIENT_AXIAL || k == CMotifDef::GRADIENT_RADIAL) {
        const ZuSwitchRef& s = switches[2];
        if (!s.IsValid())
            return;
        s->SetSize(100, 20);
        s->InitAsCheckBox();
        s->SetTitle(ZuStringRef("Non lin\xe9"
                                "aire"));
        s->SetToolTip(ZuStringRef("Progression logarithmique"));
        s->SetSwitchState((word & 1) != 0);
        ShowIn(ZuViewRef(s), frame, true);
        s->Display(true);
    } else if (k == CMotifDef::GRADIENT_RECT) {
        static const char* const titles[kSwitches] = {".", "_", "|", "/", "x"};
        static const char* const tips[kSwitches] = {
            "2 couleurs", "3 couleurs (-)", "3 couleurs (|)", "3 couleurs (/)", "5 couleurs"};
        for (int i = 0; i < kSwitches; ++i) {
            const ZuSwitchRef& s = switches[i];
            if (!s.IsValid())
                continue;
            s->SetSize(32, 20);
            s->InitAsRadioButton();
            s->SetTitle(ZuStringRef(titles[i]));
            s->SetToolTip(ZuStringRef(tips[i]));
            s->SetSwitchState(false);
            ShowIn(ZuViewRef(s), frame, true);
        }
        for (int i = 0; i < kSwitches; ++i)
            if (switches[i].IsValid() && word == (2u << i))
                switches[i]->SetSwitchState(true);
        for (const ZuSwitchRef& s : switches)
            if (s.IsValid())
                s->Display(true);
    }
}

void CMotifDegPane::UpdateParams()
{
    for (int i = 0; i < kFields; ++i) {
        if (captions[i].IsValid())
            captions[i]->SetText(ZuStringRef(""));
        ShowIn(ZuViewRef(param_entries[i]), frame, false);
    }
    const int k = GradientKind();
    for (int field = 0; field < kFields; ++field) {
        const Param* row = kParams;
        while (row->kind != -1 &&
               !(row->kind == k && row->section == section && row->field == field))
            ++row;
        const CTextLineArrowRef& e = param_entries[field];
        if (row->kind == -1 || !e.IsValid())
            continue;
        if (captions[field].IsValid())
            captions[field]->SetText(ZuStringRef(row->name));
        const bool was = ready;
        ready = false;
        e->SetUnit(row->unit);
        e->SetMin(row->min);
        e->SetMax(row->max);
        e->SetStep(row->step);
        e->SetSliderGrad(row->grad);
        e->SetSliderSubdiv(row->subdiv);
        e->SetSliderLog(row->exponent);
        e->SetToolTip(ZuStringRef(row->description));
        ready = was;
        SetEntryValue(e, row->point == -1 ? GetColorReach(selected)
                                          : def->GetGradientPoint(row->point));
        ShowIn(ZuViewRef(e), frame, true);
        e->DisplayAll();
    }
    if (frame.IsValid())
        frame->Display(true);
}

void CMotifDegPane::UpdateColorButtons()
{
    CColorDefRef colours = Companion();
    const bool shown = IsMesh() && colours.IsValid();
    const int chosen = shown ? ColorIndexOf(selected) : -1;
    const int kept = shown ? colours->GetIndex() : 0;
    for (int i = 0; i < kColors; ++i) {
        const CButtonColorRef& b = color_buttons[i];
        if (!b.IsValid())
            continue;
        if (shown) {
            colours->SetIndex(i);
            double r = 0, g = 0, bl = 0;
            colours->GetRGB(r, g, bl);
            b->SetBackColor(ZuColorPixel(r, g, bl, 0.0));
            SetViewOn(ZuViewRef(b), i == chosen ? 1 : 0);
        }
        ShowIn(ZuViewRef(b), frame, shown);
        if (shown)
            b->Display(true);
    }
    if (shown)
        colours->SetIndex(kept);
}

void CMotifDegPane::UpdateCounts()
{
    if (!def.IsValid())
        return;
    int columns = 2, rows = 2;
    def->GetMeshSize(columns, rows);
    SetEntryValue(count_entry, def->GetColorCount());
    SetEntryValue(columns_entry, columns);
    SetEntryValue(rows_entry, rows);
}

// ---------------------------------------------------------------------------
// Sample and strip
// ---------------------------------------------------------------------------
void CMotifDegPane::DrawSample()
{
    if (!def.IsValid() || !sample.IsValid() || def->GetValue() != CMotifDef::KIND_GRADIENT)
        return;
    RegisterCodes();
    CColorDefRef colours = Companion();
    if (!colours.IsValid())
        return;
    const CDefRef as_def{ZuObjectRef(def)};
    const CDefRef as_colours{ZuObjectRef(colours)};
    if (drawn_def.IsValid() && drawn_colors.IsValid() && drawn_def->IsEqualCurrent(as_def) &&
        drawn_colors->IsEqualAll(as_colours))
        return;
    if (!sample->Render())
        return;
    sample->SetZoom(1.0);
    CGraPortRef port = sample->RetPort();
    CColorDefRef grey = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    grey->SetGray(0.75);
    port->SetFillColor(grey);
    port->DrawRect(DPoint{-80, -80}, DPoint{80, 80}, 0.0, true, false);
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone, __LINE__, kFile);
    rect->SetDefinition(20, ZuObjectRef(def));
    rect->SetDefinition(25, ZuObjectRef(colours));
    const DPoint corner = {70, 70};
    rect->SetPoints(&corner, 1);
    rect->DragPoint(DPoint{-70, -70}, 0);
    rect->Draw(port, 7);
    if (!drawn_def.IsValid())
        drawn_def = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn_def->CopyFrom(as_def);
    if (!drawn_colors.IsValid())
        drawn_colors = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn_colors->CopyFrom(as_colours);
    if (GradientKind() == CMotifDef::GRADIENT_CURVES)
        DrawCurveEdges();
    sample->Display();
    ++sample_draws;
}

void CMotifDegPane::DrawCurveEdges()
{
    int columns = 2, rows = 2;
    def->GetMeshSize(columns, rows);
    CGraPortRef port = sample->RetPort();
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    pen->SetWidth(1.0);
    CColorDefRef black = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    black->SetRGB(0, 0, 0);
    port->SetPen(pen);
    port->SetPenColor(black);
    auto at = [&](int node, int part) {
        const int e = 19 * node + 2 * part;
        return DPoint{def->GetGradientPoint(e) * 70.5, def->GetGradientPoint(e + 1) * 70.5};
    };
    auto finite = [](const DPoint& p) {
        return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e6 &&
               std::fabs(p.y) < 1e6;
    };
    auto edge = [&](int a, int a_part, int b, int b_part) {
        const DPoint p[4] = {at(a, 0), at(a, a_part), at(b, b_part), at(b, 0)};
        for (const DPoint& q : p)
            if (!finite(q))
                return;
        port->DrawCurve(p[0], p[1], p[2], p[3]);
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int n = r * columns + c;
            if (c + 1 < columns)
                edge(n, 2, n + 1, 1);
            if (r + 1 < rows)
                edge(n, 3, n + columns, 4);
        }
}

void CMotifDegPane::DrawStrip()
{
    const int k = GradientKind();
    if (!def.IsValid() || !strip.IsValid() || def->GetValue() != CMotifDef::KIND_GRADIENT ||
        (k != CMotifDef::GRADIENT_AXIAL && k != CMotifDef::GRADIENT_RADIAL))
        return;
    RegisterCodes();
    CColorDefRef colours = Companion();
    if (!colours.IsValid())
        return;
    const CDefRef as_def{ZuObjectRef(def)};
    const CDefRef as_colours{ZuObjectRef(colours)};
    if (strip_def.IsValid() && strip_colors.IsValid() && strip_def->IsEqualCurrent(as_def) &&
        strip_colors->IsEqualAll(as_colours))
        return;
    if (!strip->Render())
        return;
    strip->SetZoom(1.0);
    CMotifDefRef ramp = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    ramp->SetValue(CMotifDef::KIND_GRADIENT);
    ramp->SetGradientType(CMotifDef::GRADIENT_AXIAL);
    ramp->SetColorCount(def->GetColorCount());
    ramp->SetGradientPoint(0, 0.0);
    ramp->SetGradientPoint(1, 1.0);
    ramp->SetGradientPoint(2, 1.0);
    const int positions = k == CMotifDef::GRADIENT_AXIAL ? 3 : 6;
    const int further = k == CMotifDef::GRADIENT_AXIAL ? 13 : 16;
    for (int i = 0; i < 10; ++i) {
        ramp->SetGradientPoint(3 + i, def->GetGradientPoint(positions + i));
        ramp->SetGradientPoint(13 + i, def->GetGradientPoint(further + i));
    }
    CGraPortRef port = strip->RetPort();
    CColorDefRef grey = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    grey->SetGray(0.75);
    port->SetFillColor(grey);
    port->DrawRect(DPoint{-80, -11}, DPoint{80, 11}, 0.0, true, false);
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone, __LINE__, kFile);
    rect->SetDefinition(20, ZuObjectRef(ramp));
    rect->SetDefinition(25, ZuObjectRef(colours));
    const DPoint corner = {70, 7};
    rect->SetPoints(&corner, 1);
    rect->DragPoint(DPoint{-70, -7}, 0);
    rect->Draw(port, 7);
    strip->Display();
    if (!strip_def.IsValid())
        strip_def = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    strip_def->CopyFrom(as_def);
    if (!strip_colors.IsValid())
        strip_colors = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    strip_colors->CopyFrom(as_colours);
    ++strip_draws;
}

// ---------------------------------------------------------------------------
// Handlers
// ---------------------------------------------------------------------------
bool CMotifDegPane::OnButtonType(const ZuObjectRef& source, unsigned)
{
    const int tag = TagOf(source);
    if (tag < 100 || tag > 104 || !def.IsValid())
        return false;
    def->SetGradientType(230 + (tag - 100));
    selected = -1;
    UpdateKind();
    UpdateSections();
    UpdateSwitches();
    DrawSample();
    DrawStrip();
    UpdateParams();
    UpdateColorButtons();
    UpdateCounts();
    NotifyChange(true, false);
    return true;
}

bool CMotifDegPane::OnButtonRadio(const ZuObjectRef& source, unsigned)
{
    const int tag = TagOf(source);
    if (!ready || tag < 200 || tag > 206)
        return false;
    section = tag - 200;
    selected = -1;
    if (sample.IsValid())
        sample->Display();
    UpdateSections();
    UpdateParams();
    return true;
}

bool CMotifDegPane::OnSwitch(const ZuObjectRef& source, unsigned)
{
    const int tag = TagOf(source);
    if (!ready || tag < 400 || tag > 404 || !def.IsValid())
        return false;
    const int k = GradientKind();
    if (k == CMotifDef::GRADIENT_AXIAL || k == CMotifDef::GRADIENT_RADIAL) {
        def->SetMeshFlags(def->GetMeshFlags() ^ 1u);
        def->ResetGradientPoints();
    } else if (k == CMotifDef::GRADIENT_RECT) {
        static const int counts[kSwitches] = {2, 3, 3, 3, 5};
        def->SetMeshFlags(2u << (tag - 400));
        def->SetColorCount(counts[tag - 400]);
    }
    UpdateSwitches();
    DrawSample();
    DrawStrip();
    NotifyChange(true, false);
    return true;
}

bool CMotifDegPane::OnEditParamChange(const ZuObjectRef& source, unsigned)
{
    const int tag = TagOf(source);
    if (!ready || tag < 500 || tag > 502 || !def.IsValid())
        return false;
    const int field = tag - 500;
    const int k = GradientKind();
    const Param* row = kParams;
    while (row->kind != -1 && !(row->kind == k && row->section == section && row->field == field))
        ++row;
    if (row->kind == -1 || !param_entries[field].IsValid())
        return false;
    const double value = param_entries[field]->GetValue();
    if (row->point == -1) {
        SetColorReach(value);
    } else {
        def->SetGradientPoint(row->point, value);
        selected = row->handle;
    }
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CMotifDegPane::OnRadioColor(const ZuObjectRef& source, unsigned)
{
    const int tag = TagOf(source);
    if (tag < 300 || tag > 309 || !def.IsValid())
        return false;
    const double colour = tag - 300;
    int columns = 2, rows = 2;
    def->GetMeshSize(columns, rows);
    const int nodes = columns * rows;
    const int k = GradientKind();
    if (k == CMotifDef::GRADIENT_TRIANGLES) {
        if (selected < 0)
            for (int p = 0; p < nodes; ++p)
                def->SetGradientPoint(4 * p + 3, colour);
        else
            def->SetGradientPoint(4 * selected + 3, colour);
    } else if (k == CMotifDef::GRADIENT_CURVES) {
        if (selected < 0)
            for (int n = 0; n < nodes; ++n)
                def->SetGradientPoint(19 * n + 18, colour);
        else
            def->SetGradientPoint(19 * (selected / 5) + 18, colour);
    }
    DrawSample();
    UpdateColorButtons();
    NotifyChange(true, false);
    return true;
}

bool CMotifDegPane::OnButtonAdjust(const ZuObjectRef& source, unsigned)
{
    const int tag = TagOf(source);
    if (tag < 600 || tag > 604 || !def.IsValid())
        return false;
    const int i = tag - 600;
    const int k = GradientKind();
    if (k == CMotifDef::GRADIENT_AXIAL || k == CMotifDef::GRADIENT_RADIAL) {
        def->ResetGradientPoints();
    } else if (k == CMotifDef::GRADIENT_TRIANGLES) {
        if (i == 0)
            def->BuildDefaultMesh(1, 0.0);
        else
            def->BuildDefaultMesh(2, double(i - 1));
    } else if (k == CMotifDef::GRADIENT_CURVES) {
        if (i == 0) {
            def->BuildDefaultMesh(1, 0.4);
        } else if (i == 1) {
            def->BuildDefaultMesh(2, 0.4);
            // Straight patches: each tangent 0.4 of the way to the node it
            // points to.
            int columns = 2, rows = 2;
            def->GetMeshSize(columns, rows);
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c) {
                    const int n = r * columns + c;
                    const int toward[5] = {-1, c > 0 ? n - 1 : -1, c + 1 < columns ? n + 1 : -1,
                                           r + 1 < rows ? n + columns : -1,
                                           r > 0 ? n - columns : -1};
                    const double x = def->GetGradientPoint(19 * n);
                    const double y = def->GetGradientPoint(19 * n + 1);
                    for (int t = 1; t <= 4; ++t) {
                        if (toward[t] < 0)
                            continue;
                        const double tx = def->GetGradientPoint(19 * toward[t]);
                        const double ty = def->GetGradientPoint(19 * toward[t] + 1);
                        def->SetGradientPoint(19 * n + 2 * t, x + 0.4 * (tx - x));
                        def->SetGradientPoint(19 * n + 2 * t + 1, y + 0.4 * (ty - y));
                    }
                }
        } else if (i == 2) {
            def->BuildDefaultMesh(3, 0.5);
        }
        selected = -1;
    }
    DrawSample();
    DrawStrip();
    UpdateParams();
    NotifyChange(true, false);
    return true;
}

bool CMotifDegPane::OnEditNbColorChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !count_entry.IsValid())
        return false;
    double v = std::trunc(count_entry->GetValue());
    if (!(v >= CMotifDef::MIN_COLORS))
        v = CMotifDef::MIN_COLORS;
    if (v > CMotifDef::MAX_COLORS)
        v = CMotifDef::MAX_COLORS;
    def->SetColorCount(int(v));
    def->ResetGradientPoints();
    DrawSample();
    DrawStrip();
    NotifyChange(true, false);
    return true;
}

namespace {

// The mesh word with one group of size bits (first bit, 4 bits) set for a
// count of 2 .. 5.
unsigned MeshBits(unsigned word, unsigned first, double count)
{
    double v = std::trunc(count);
    if (!(v >= 2.0))
        v = 2.0;
    if (v > 5.0)
        v = 5.0;
    word &= ~(0xFu << first);
    return word | (1u << (first + unsigned(v) - 2u));
}

} // namespace

bool CMotifDegPane::OnEditCoonsXChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !columns_entry.IsValid())
        return false;
    def->SetMeshFlags(MeshBits(def->GetMeshFlags(), 10, columns_entry->GetValue()));
    selected = -1;
    DrawSample();
    UpdateColorButtons();
    NotifyChange(true, false);
    return true;
}

bool CMotifDegPane::OnEditCoonsYChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !rows_entry.IsValid())
        return false;
    def->SetMeshFlags(MeshBits(def->GetMeshFlags(), 15, rows_entry->GetValue()));
    selected = -1;
    DrawSample();
    UpdateColorButtons();
    NotifyChange(true, false);
    return true;
}
