#include "si/menuarchitect.h"

#include "si/classfactory.h"
#include "si/commandfactory.h"
#include "si/icon.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/menusep.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/string.h"
#include "si/text.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(ZuMenuArchitect, "si/menuarchitect", ZU_CLASS_PLAIN)

namespace {

// Room around the icon, after the label, above and below the label's
// line; the submenu arrow's column; a separator's thickness and margin.
const double kIconDx = 7.0;
const double kIconDy = 3.0;
const double kTextAfter = 8.0;
const double kTextDy = 4.0;
const double kArrowDx = 13.0;
const double kSepThickness = 8.0;
const double kSepMargin = 2.0;

// Clicks fall through the parts of an item to its cell, whose
// notifications drive the menu.
void MakePart(const ZuViewRef& part, const ZuProviderViewRef& cell)
{
    part->SetIntoParent(cell);
    part->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    part->ChangeState(ZU_VIEW_NO_UI_INSPECT, false, false);
}

} // namespace

bool ZuMenuArchitect::Initialise(double w, double h, bool vertical)
{
    if (!ZuPicArchitect::Initialise(ZuGrailFontRef()))
        return false;
    width = w;
    height = h;
    is_vertical = vertical;
    return true;
}

bool ZuMenuArchitect::SetWidth(double value)
{
    width = value;
    return true;
}

bool ZuMenuArchitect::SetHeight(double value)
{
    height = value;
    return true;
}

bool ZuMenuArchitect::SetVertical(bool value)
{
    is_vertical = value;
    return true;
}

double ZuMenuArchitect::RetWidth() const
{
    return width;
}

double ZuMenuArchitect::RetHeight() const
{
    return height;
}

bool ZuMenuArchitect::RetVertical() const
{
    return is_vertical;
}

bool ZuMenuArchitect::Contents(const ZuObjectRef& item, ZuAtomRef& icon, ZuStringRef& label,
                               bool& arrow)
{
    ZuObjectRef holder;
    ZuiPictogram* pictogram = GetPictogram(item, holder);
    if (pictogram != nullptr) {
        if (!pictogram->GetIcon(icon))
            icon = ZuAtomRef();
        // An empty text is no label: it takes no room after the icon.
        if (!pictogram->GetText(ZU_TEXTVER_NORMAL, label) || label.IsInvalid() || label->IsEmpty())
            label = ZuStringRef();
    } else if (item.IsValid() && item->IsKindOf(ZuTextRef::RetRuntime())) {
        label = ZuTextRef(item)->RetString();
    } else {
        return false;
    }
    arrow = is_vertical && item->IsKindOf(ZuCommandFactoryRef::RetRuntime()) &&
            ZuCommandFactoryRef(item)->HasChildFactories();
    return true;
}

bool ZuMenuArchitect::GetViewSize(const ZuObjectRef& item, double& w, double& h)
{
    if (item.IsInvalid()) {
        w = is_vertical ? width : kSepThickness;
        h = is_vertical ? kSepThickness : height;
        return true;
    }
    w = width;
    h = height;
    if (w != 0 && h != 0)
        return true;
    ZuAtomRef icon;
    ZuStringRef label;
    bool arrow = false;
    if (!Contents(item, icon, label, arrow))
        return false;
    double cw = height + kIconDx, ch = height + kIconDy;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (icon.IsValid()) {
        if (look.IsValid())
            look->GetBestIconSize(icon, cw, ch);
        cw += kIconDx;
        ch += kIconDy;
    }
    if (label.IsValid()) {
        ZuGrailFontRef font = RetFont();
        if (font.IsInvalid() && look.IsValid())
            font = look->RetSysFont();
        if (font.IsValid()) {
            cw += font->ComputeTextWidth(label) + kTextAfter;
            const double th = font->RetAscent() - font->RetDescent() + kTextDy;
            if (th > ch)
                ch = th;
        } else {
            cw += kTextAfter;
        }
    }
    if (arrow) {
        cw += kArrowDx;
        if (ch < kArrowDx)
            ch = kArrowDx;
    }
    if (w == 0)
        w = cw;
    if (h == 0)
        h = ch;
    return true;
}

bool ZuMenuArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& cell)
{
    if (cell.IsInvalid())
        return false;
    double w = 0, h = 0;
    if (item.IsInvalid()) {
        ZuMenuSepRef sep = ZuNew<ZuMenuSep>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        cell->GetSize(w, h);
        sep->SetMargin(kSepMargin);
        sep->SetSize(w, h);
        sep->SetOrigin(0.0, 0.0);
        sep->SetIntoParent(cell);
        cell->ChangeState(ZU_VIEW_NO_DETECT, true, false);
        return true;
    }
    ZuAtomRef icon;
    ZuStringRef label;
    bool arrow = false;
    if (!Contents(item, icon, label, arrow))
        return false;
    cell->GetSize(w, h);
    double x = height + kIconDx;
    const double a = arrow ? kArrowDx : 0.0;
    if (icon.IsValid()) {
        ZuIconRef view = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        view->Initialise(icon, height + kIconDx, h, true, true);
        view->ResetDefaultSize();
        view->SetOrigin(3.0, 1.0);
        MakePart(view, cell);
        double iw = 0, ih = 0;
        view->GetIconSize(iw, ih);
        x = iw + kIconDx;
    }
    if (label.IsValid()) {
        ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        ZuTextStyle text_style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER);
        tag->SetTextStyle(text_style);
        tag->SetText(label);
        tag->SetFont(RetFont());
        tag->SetColor(RetTextColor());
        tag->SetSize(w - x - a, h);
        tag->SetOrigin(x, 0.0);
        MakePart(tag, cell);
    }
    if (arrow) {
        ZuIconRef view = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        view->Initialise(ZuAtomRef("Zuvi_SubmenuRight"), true);
        view->ResetDefaultSize();
        view->SetOrigin(w - a, 0.0);
        view->SetSize(a, h);
        MakePart(view, cell);
    }
    // A command that cannot run now shows as a disabled item, which the
    // menu does not choose; its label and icon are disabled with it, so
    // that they draw greyed.
    // A cell made again for its item (the provider keeps a cell's own
    // state) follows the command's state of now.
    if (item->IsKindOf(ZuCommandFactoryRef::RetRuntime())) {
        const bool enabled = ZuCommandFactoryRef(item)->RetEnable();
        if (!enabled || !cell->RetState().TestBit(ZU_VIEW_IS_ENABLED))
            cell->ChangeState(ZU_VIEW_IS_ENABLED, enabled, true);
    }
    return true;
}

ZuObjectRef ZuMenuArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuMenuArchitectRef::RetRuntime())) {
        const ZuMenuArchitect* other = static_cast<const ZuMenuArchitect*>(source.Resolve());
        SetHeight(other->height);
        SetWidth(other->width);
        SetVertical(other->is_vertical);
    }
    return ZuPicArchitect::Copy(source);
}

void ZuMenuArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuMenuArchitect height width is_vertical>");
    storage << record << ZuStorageSync::begin;
    storage->StoreReal(height);
    storage->StoreReal(width);
    storage->StoreBool(is_vertical);
    storage << ZuStorageSync::end;
}

void ZuMenuArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    height = storage->RestoreReal(height);
    width = storage->RestoreReal(width);
    is_vertical = storage->RestoreBool(is_vertical);
    storage >> ZuStorageSync::end;
}
