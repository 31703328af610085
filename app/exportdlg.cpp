#include "app/exportdlg.h"

#include <cmath>
#include <cstring>

#include "app/commands.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/key.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/texttag.h"
#include "si/textstyle.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(CExportDlg, "app/exportdlg", ZU_CLASS_NOT_STORED)

ZuAtomRef CExportDlg::notify_button1;
ZuAtomRef CExportDlg::notify_button2;

ZU_EXPORT_NOTIFY(CExportDlg, button1, "notify_button1", &CExportDlg::notify_button1)
ZU_EXPORT_NOTIFY(CExportDlg, button2, "notify_button2", &CExportDlg::notify_button2)
ZU_EXPORT_ACTOR(CExportDlg, OnEditName)
ZU_EXPORT_ACTOR(CExportDlg, OnEditWidthPT)
ZU_EXPORT_ACTOR(CExportDlg, OnEditHeightPT)
ZU_EXPORT_ACTOR(CExportDlg, OnEditWidthMM)
ZU_EXPORT_ACTOR(CExportDlg, OnEditHeightMM)
ZU_EXPORT_ACTOR(CExportDlg, OnEditResol)
ZU_EXPORT_ACTOR(CExportDlg, OnClickList)
ZU_EXPORT_OBSERVER(CExportDlg, OnRadioAA)
ZU_EXPORT_ACTOR(CExportDlg, OnFile)
ZU_EXPORT_ACTOR(CExportDlg, OnClose)
ZU_EXPORT_NOTIFY(CExportDlg, OnEditName, "OnEditName", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnEditWidthPT, "OnEditWidthPT", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnEditHeightPT, "OnEditHeightPT", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnEditWidthMM, "OnEditWidthMM", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnEditHeightMM, "OnEditHeightMM", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnEditResol, "OnEditResol", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnClickList, "OnClickList", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnRadioAA, "OnRadioAA", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnFile, "OnFile", nullptr)
ZU_EXPORT_NOTIFY(CExportDlg, OnClose, "OnClose", nullptr)

// The 16-colour devices write 4 bits a pixel and refuse any other depth.
const ExportFormat ExportFormatTable[] = {
    {1, "gifmono", "gif", "GIF monochrome"},
    {8, "gifgray", "gif", "GIF niveaux de gris"},
    {8, "gif8", "gif", "GIF 256 couleurs"},
    {1, "bmpmono", "bmp", "BMP monochrome"},
    {8, "bmpgray", "bmp", "BMP niveaux de gris"},
    {4, "bmp16", "bmp", "BMP 16 couleurs"},
    {8, "bmp256", "bmp", "BMP 256 couleurs"},
    {24, "bmp16m", "bmp", "BMP 16 milllions"},
    {1, "pngmono", "png", "PNG monochrome"},
    {8, "pnggray", "png", "PNG niveaux de gris"},
    {4, "png16", "png", "PNG 16 couleurs"},
    {8, "png256", "png", "PNG 256 couleurs"},
    {24, "png16m", "png", "PNG 16 milllions"},
    {1, "tifflzw", "tif", "TIFF monochrome (LZW)"},
    {24, "tiff24nc", "tif", "TIFF 16 milllions (NC)"},
    {8, "jpeggray", "jpg", "JPEG niveaux de gris"},
    {24, "jpeg", "jpg", "JPEG 16 milllions"},
    {-1, "", "", ""},
};

const ExportAntiAliasing ExportAntiAliasingTable[3] = {
    {"Non", "Aucun anticr\xe9nelage"},
    {"Oui", "Anticr\xe9nelage \xe0 3 niveaux"},
    {"Super", "Anticr\xe9nelage \xe0 15 niveaux"},
};

const double CExportDlg::kMinPoints = 1.0;
const double CExportDlg::kMaxPoints = 10000.0;

namespace {

const double kMillimetresPerInch = 25.4;
const double kInchesPerMillimetre = 0.03937007874015748;
const int kMinResolution = 1;
const int kMaxResolution = 6000;

ZuKey KeyOfKind(ZuKeyType type)
{
    ZuKey key;
    key.type = type;
    return key;
}

bool IsPositive(double v)
{
    return std::isfinite(v) && v > 0;
}

double ClampPoints(double v)
{
    if (!(v == v))
        return CExportDlg::kMinPoints;
    return v < CExportDlg::kMinPoints   ? CExportDlg::kMinPoints
           : v > CExportDlg::kMaxPoints ? CExportDlg::kMaxPoints
                                        : v;
}

int ClampResolution(int r)
{
    return r < kMinResolution ? kMinResolution : r > kMaxResolution ? kMaxResolution : r;
}

int CountFormats()
{
    int n = 0;
    while (ExportFormatTable[n].bits_per_pixel != -1)
        ++n;
    return n;
}

} // namespace

CExportDlg::CExportDlg()
{
    std::strcpy(device, "gifgray");
    filename = ZuNew<ZuString>(RetMemZone(), __LINE__, ZU_SRC_FILE);
}

bool CExportDlg::Build(int x, int y)
{
    if (window.IsValid())
        return false;
    ZuMemZone* zone = Zuvi_app_zone;
    window = ZuNew<ZuWindow>(zone, __LINE__, ZU_SRC_FILE);
    ZuWinStyle style;
    style.SetBit(0);
    style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
    style.SetBit(ZU_WINSTYLE_TOOL);
    window->SetStyle(style);
    window->SetTitle(ZuStringRef("Exporter"));
    window->SetWindowBox(ZuRect(x, y, x + 355, y + 215));
    user_name = ZuStringRef("export");

    const ZuObjectRef self(this);
    auto tag = [&](double tx, double ty, double dx, double dy, const char* text) {
        ZuTextTagRef t = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
        t->SetOrigin(tx, ty);
        t->SetSize(dx, dy);
        t->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
        t->SetText(ZuStringRef(text));
        t->SetParent(window);
    };
    auto box = [&](int i, double bx, double by, double dx, double dy, const char* title) {
        boxes[i] = NewBoxView(window, bx, by, dx, dy);
        if (boxes[i].IsValid()) {
            boxes[i]->DefineData(ZuAtomRef("title"), ZuValueRef(ZuObjectRef(ZuStringRef(title))));
            boxes[i]->DefineData(ZuAtomRef("enable_title"), ZuValueRef(true));
        }
    };
    auto entry = [&](Entry e, double ex, double ey, int unit, double lo, double hi, const char* tip,
                     const char* handler) {
        CTextLineArrowRef& t = entries[e];
        t = ZuNew<CTextLineArrow>(zone, __LINE__, ZU_SRC_FILE);
        t->SetParent(window);
        t->Build(ex, ey, 57, 20, unit, false, 0x62);
        t->SetMin(lo);
        t->SetMax(hi);
        t->SetStep(10);
        t->SetToolTip(ZuStringRef(tip));
        t->AttachObserver(self, ZuTextLine::notify_user_text_changed, ZuAtomRef(handler), 0);
    };

    tag(6, 6, 344, 24, "Nom de l'image \xe0 exporter :");
    name_field = ZuNew<ZuTextLine>(zone, __LINE__, ZU_SRC_FILE);
    name_field->SetOrigin(6, 30);
    name_field->SetSize(344, 24);
    name_field->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    name_field->SetParent(window);
    name_field->AttachObserver(self, ZuTextLine::notify_user_text_changed, ZuAtomRef("OnEditName"),
                               0);

    box(0, 6, 54, 170, 64, "Dimensions en points");
    tag(12, 72, 70, 20, "Largeur");
    entry(WIDTH_PT, 82, 72, 10, kMinPoints, kMaxPoints, "Largeur de l'image en points",
          "OnEditWidthPT");
    tag(12, 92, 70, 20, "Hauteur");
    entry(HEIGHT_PT, 82, 92, 10, kMinPoints, kMaxPoints, "Hauteur de l'image en points",
          "OnEditHeightPT");

    box(1, 6, 120, 170, 90,
        "Dimensions r\xe9"
        "elles");
    tag(12, 138, 70, 20, "Largeur");
    entry(WIDTH_MM, 82, 138, 0, 1, 1000, "Largeur de l'image en millim\xe8tres", "OnEditWidthMM");
    tag(12, 158, 70, 20, "Hauteur");
    entry(HEIGHT_MM, 82, 158, 0, 1, 1000, "Hauteur de l'image en millim\xe8tres", "OnEditHeightMM");
    tag(12, 184, 70, 20, "R\xe9solution");
    entry(RESOLUTION, 82, 184, 10, kMinResolution, kMaxResolution,
          "R\xe9solution en DPI (points par pouce)", "OnEditResol");

    format_list = ZuNew<CScrollList>(zone, __LINE__, ZU_SRC_FILE);
    format_list->CreateScroller(182, 60, 167, 72);
    format_list->SetParent(window);
    ZuListRef labels = ZuNew<ZuList>(zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; ExportFormatTable[i].bits_per_pixel != -1; ++i)
        labels->PushTail(ZuStringRef(ExportFormatTable[i].label));
    format_list->UpdateScroller(labels);
    format_list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnClickList"), 0);

    box(2, 182, 138, 167, 42, "Anticr\xe9nelage");
    const double switch_x[3] = {188, 236, 284};
    const double switch_dx[3] = {48, 48, 58};
    for (int i = 0; i < 3; ++i) {
        ZuSwitchRef s = ZuNew<ZuSwitch>(zone, __LINE__, ZU_SRC_FILE);
        s->SetRadioButtonMode(true);
        s->SetOrigin(switch_x[i], 156);
        s->SetSize(switch_dx[i], 16);
        s->SetTitle(ZuStringRef(ExportAntiAliasingTable[i].label));
        s->SetToolTip(ZuStringRef(ExportAntiAliasingTable[i].tool_tip));
        s->SetUserTag(100 + i);
        s->SetParent(window);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnRadioAA"), 0);
        switches[i] = s;
    }

    CButtonRef confirm;
    NewIconButton(confirm, window, 184, 186, 80, 24, -1, -1);
    if (confirm.IsValid()) {
        confirm->SetText(ZuStringRef("Exporter"), ZuTextStyle::none, true);
        confirm->SetKeyAlt(KeyOfKind(ZU_KEY_RETURN));
        SetViewOn(confirm, 1);
        confirm->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnFile"), 0);
    }
    CButtonRef cancel;
    NewIconButton(cancel, window, 270, 186, 80, 24, -1, -1);
    if (cancel.IsValid()) {
        cancel->SetText(ZuStringRef("Annuler"), ZuTextStyle::none, true);
        cancel->SetKeyAlt(KeyOfKind(ZU_KEY_ESCAPE));
        cancel->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClose"), 0);
    }

    UpdateWidthPT();
    UpdateHeightPT();
    UpdateWidthMM();
    UpdateHeightMM();
    UpdateResol();
    UpdateFormatList();
    UpdateAntiAliasing();
    UpdateName();
    return true;
}

void CExportDlg::Open(ZuWindowRef parent)
{
    if (window.IsInvalid())
        return;
    name_field->SetFirstActive();
    window->SetMainResponder(name_field, false);
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
    window->SetModalWindowParent(parent);
}

bool CExportDlg::SetSize(const double size[2])
{
    if (size == nullptr || !IsPositive(size[0]) || !IsPositive(size[1]))
        return false;
    ratio = size[0] / size[1];
    double w = size[0], h = size[1];
    // Beyond the bounds both shrink by the same factor, so the image keeps
    // the page's proportions as far as the bounds allow.
    const double larger = w > h ? w : h;
    if (larger > kMaxPoints) {
        w *= kMaxPoints / larger;
        h *= kMaxPoints / larger;
    }
    width = ClampPoints(w);
    height = ClampPoints(h);
    UpdateWidthPT();
    UpdateHeightPT();
    UpdateWidthMM();
    UpdateHeightMM();
    return true;
}

bool CExportDlg::SetRatio(double new_ratio)
{
    ratio = IsPositive(new_ratio) ? new_ratio : 0;
    if (ratio != 0) {
        height = ClampPoints(width / ratio);
        UpdateHeightPT();
        UpdateHeightMM();
    }
    return true;
}

bool CExportDlg::SetSettings(const double size[2], int new_resolution, int new_bits,
                             const char* new_device, int new_anti_aliasing)
{
    if (size == nullptr || new_device == nullptr ||
        std::memchr(new_device, 0, DEVICE_SIZE) == nullptr || new_anti_aliasing < 0 ||
        new_anti_aliasing > 2)
        return false;
    width = ClampPoints(size[0]);
    height = ClampPoints(size[1]);
    resolution = ClampResolution(new_resolution);
    bits_per_pixel = new_bits;
    std::strcpy(device, new_device);
    anti_aliasing = new_anti_aliasing;
    UpdateWidthPT();
    UpdateHeightPT();
    UpdateWidthMM();
    UpdateHeightMM();
    UpdateResol();
    UpdateFormatList();
    UpdateAntiAliasing();
    return true;
}

bool CExportDlg::GetSettings(double size[2], int* out_resolution, int* out_bits, char* out_device,
                             int* out_anti_aliasing) const
{
    if (size != nullptr) {
        size[0] = width;
        size[1] = height;
    }
    if (out_resolution != nullptr)
        *out_resolution = resolution;
    if (out_bits != nullptr)
        *out_bits = bits_per_pixel;
    if (out_device != nullptr) {
        std::strncpy(out_device, device, DEVICE_SIZE - 1);
        out_device[DEVICE_SIZE - 1] = '\0';
    }
    if (out_anti_aliasing != nullptr)
        *out_anti_aliasing = anti_aliasing;
    return true;
}

bool CExportDlg::SetFilename(const ZuStringRef& name)
{
    filename = name.IsValid() ? name : ZuStringRef("");
    UpdateName();
    return true;
}

ZuAtomRef CExportDlg::RetUserName()
{
    return ZuAtomRef(user_name.IsValid() ? user_name : ZuStringRef("export"));
}

void CExportDlg::Delete()
{
    for (ZuSwitchRef& s : switches) {
        if (s.IsValid())
            s->Delete();
        s = ZuSwitchRef();
    }
    if (window.IsValid())
        window->Kill();
    window = ZuWindowRef();
    user_name = ZuStringRef();
    filename = ZuStringRef();
    name_field = ZuTextLineRef();
    for (CTextLineArrowRef& e : entries)
        e = CTextLineArrowRef();
    format_list = CScrollListRef();
    for (ZuViewRef& b : boxes)
        b = ZuViewRef();
    ZuObject::Delete();
}

// ------------------------------------------------------------- refreshing

void CExportDlg::SetEntry(Entry e, double value)
{
    if (entries[e].IsInvalid())
        return;
    updating = false;
    entries[e]->SetValue(value);
    updating = true;
}

void CExportDlg::UpdateWidthPT()
{
    SetEntry(WIDTH_PT, width);
}

void CExportDlg::UpdateHeightPT()
{
    SetEntry(HEIGHT_PT, height);
}

void CExportDlg::UpdateWidthMM()
{
    SetEntry(WIDTH_MM, width * kMillimetresPerInch / resolution);
}

void CExportDlg::UpdateHeightMM()
{
    SetEntry(HEIGHT_MM, height * kMillimetresPerInch / resolution);
}

void CExportDlg::UpdateResol()
{
    SetEntry(RESOLUTION, resolution);
}

void CExportDlg::UpdateName()
{
    ZuStringRef name = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    if (filename.IsValid())
        name->SetString(filename, 0);
    const int row = format_list.IsValid() ? format_list->RetSelected() : -1;
    if (row >= 0 && row < CountFormats()) {
        // Only a dot after the last "/" starts an extension: a dot in a
        // folder's name is part of the folder.
        const unsigned length = name->CharacterCount();
        unsigned dot = length, slash = length;
        const bool has_dot = name->Find(ZuStringRef("."), dot, -1);
        const bool has_slash = name->Find(ZuStringRef("/"), slash, -1);
        if (has_dot && (!has_slash || dot > slash)) {
            ZuStringRef cut;
            name->MakeLeft(dot, cut);
            name = cut;
        }
        name->AppendString(".");
        name->AppendString(ExportFormatTable[row].extension);
        filename = name;
    }
    if (name_field.IsValid()) {
        updating = false;
        name_field->SetText(filename.IsValid() ? filename : ZuStringRef(""));
        name_field->Display(true);
        updating = true;
    }
}

void CExportDlg::UpdateFormatList()
{
    if (format_list.IsInvalid())
        return;
    int found = 0;
    for (int i = 0; ExportFormatTable[i].bits_per_pixel != -1; ++i)
        if (ExportFormatTable[i].bits_per_pixel == bits_per_pixel &&
            std::strcmp(ExportFormatTable[i].device, device) == 0) {
            found = i;
            break;
        }
    format_list->Select(found);
    format_list->Display(true);
}

void CExportDlg::UpdateAntiAliasing()
{
    const bool monochrome = bits_per_pixel == 1;
    if (monochrome)
        anti_aliasing = 0;
    for (int i = 1; i < 3; ++i)
        if (switches[i].IsValid())
            SetViewEnabled(switches[i], !monochrome);
    for (int i = 0; i < 3; ++i)
        if (switches[i].IsValid()) {
            switches[i]->SetSwitchState(i == anti_aliasing);
            switches[i]->Display(true);
        }
}

void CExportDlg::FollowWidth()
{
    if (ratio == 0)
        return;
    height = ClampPoints(width / ratio);
    UpdateHeightPT();
    UpdateHeightMM();
}

void CExportDlg::FollowHeight()
{
    if (ratio == 0)
        return;
    width = ClampPoints(height * ratio);
    UpdateWidthPT();
    UpdateWidthMM();
}

// ------------------------------------------------------------- handlers

bool CExportDlg::OnEditName()
{
    if (!updating || name_field.IsInvalid())
        return false;
    ZuStringRef typed = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    const ZuStringRef text = name_field->RetText();
    if (text.IsValid())
        typed->SetString(text, 0);
    filename = typed;
    return true;
}

bool CExportDlg::OnEditWidthPT()
{
    if (!updating)
        return false;
    width = ClampPoints(entries[WIDTH_PT]->GetValue());
    UpdateWidthMM();
    FollowWidth();
    return true;
}

bool CExportDlg::OnEditHeightPT()
{
    if (!updating)
        return false;
    height = ClampPoints(entries[HEIGHT_PT]->GetValue());
    UpdateHeightMM();
    FollowHeight();
    return true;
}

bool CExportDlg::OnEditWidthMM()
{
    if (!updating)
        return false;
    width = ClampPoints(entries[WIDTH_MM]->GetValue() * resolution * kInchesPerMillimetre);
    UpdateWidthPT();
    FollowWidth();
    return true;
}

bool CExportDlg::OnEditHeightMM()
{
    if (!updating)
        return false;
    height = ClampPoints(entries[HEIGHT_MM]->GetValue() * resolution * kInchesPerMillimetre);
    UpdateHeightPT();
    FollowHeight();
    return true;
}

bool CExportDlg::OnEditResol()
{
    if (!updating)
        return false;
    resolution = ClampResolution(int(entries[RESOLUTION]->GetValue()));
    UpdateWidthMM();
    UpdateHeightMM();
    return true;
}

bool CExportDlg::OnClickList()
{
    if (format_list.IsInvalid())
        return false;
    const int row = format_list->RetSelected();
    if (row < 0 || row >= CountFormats())
        return false;
    bits_per_pixel = ExportFormatTable[row].bits_per_pixel;
    std::strcpy(device, ExportFormatTable[row].device);
    UpdateName();
    UpdateAntiAliasing();
    return true;
}

bool CExportDlg::OnRadioAA(const ZuObjectRef& source, unsigned)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    const int setting = ZuViewRef(source)->RetUserTag() - 100;
    if (setting < 0 || setting > 2)
        return false;
    anti_aliasing = setting;
    // Exactly the chosen switch is on, whatever the switches did by
    // themselves.
    UpdateAntiAliasing();
    return true;
}

bool CExportDlg::OnFile()
{
    UpdateName();
    if (filename.IsInvalid() || filename->CharacterCount() <= 4)
        return false;
    if (window.IsValid())
        window->Close();
    ZuApp::Current()->ReportAsync(ZuObjectRef(this), notify_button1);
    return true;
}

bool CExportDlg::OnClose()
{
    if (window.IsValid())
        window->Close();
    ZuApp::Current()->ReportAsync(ZuObjectRef(this), notify_button2);
    return true;
}
