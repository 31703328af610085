#include "app/pagedlg.h"

#include <cstdio>

#include "app/commands.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CPageDlg, "app/pagedlg", ZU_CLASS_NOT_STORED)
ZU_EXPORT_ACTOR(CPageDlg, OnResize)
ZU_EXPORT_ACTOR(CPageDlg, OnClose)
ZU_EXPORT_OBSERVER(CPageDlg, OnClicPage)
ZU_EXPORT_OBSERVER(CPageDlg, OnClicCorner)
ZU_EXPORT_NOTIFY(CPageDlg, OnResize, "OnResize", nullptr)
ZU_EXPORT_NOTIFY(CPageDlg, OnClose, "OnClose", nullptr)
ZU_EXPORT_NOTIFY(CPageDlg, OnClicPage, "OnClicPage", nullptr)
ZU_EXPORT_NOTIFY(CPageDlg, OnClicCorner, "OnClicCorner", nullptr)

namespace {

const char kSource[] = "pagedlg";

// The pictures, interned once for the whole run.
const ZuAtomRef& LockPicture()
{
    static const ZuAtomRef atom("lumbra_Lock");
    return atom;
}
const ZuAtomRef& LeftPicture()
{
    static const ZuAtomRef atom("lumbra_ArrowLeft");
    return atom;
}
const ZuAtomRef& RightPicture()
{
    static const ZuAtomRef atom("lumbra_ArrowRight");
    return atom;
}
const ZuAtomRef& ShownCorner()
{
    static const ZuAtomRef atom("lumbra_HandleNormPV");
    return atom;
}
const ZuAtomRef& HiddenCorner()
{
    static const ZuAtomRef atom("lumbra_HandleNormPR");
    return atom;
}

bool IsPicture(int index)
{
    return index == 0 || index == 3 || index == 4;
}

int UserTagOf(const ZuObjectRef& sender)
{
    if (sender.IsInvalid() || !sender->IsKindOf(ZuViewRef::RetRuntime()))
        return 0;
    return ZuViewRef(sender)->RetUserTag();
}

} // namespace

CPageDlg::CPageDlg() {}

void CPageDlg::Delete()
{
    for (int i = 0; i < SLOTS; ++i) {
        buttons[i] = CButtonRef();
        corners[i] = ZuIconRef();
        pictures[i] = ZuIconRef();
    }
    if (window.IsValid()) {
        window->DetachObserver(ZuObjectRef(this), ZuWindow::notify_size_changed,
                               ZuAtomRef("OnResize"), 0);
        window->DetachObserver(ZuObjectRef(this), ZuWindow::notify_window_closed,
                               ZuAtomRef("OnClose"), 0);
        window->Delete();
        window = ZuWindowRef();
    }
    page_view = CPageViewRef();
    ZuObject::Delete();
}

bool CPageDlg::Create(bool as_layers)
{
    layers = as_layers;
    if (window.IsInvalid())
        window = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, kSource);
    ZuWinStyle style{ZuWinStyleBit(0), ZU_WINSTYLE_SIZABLE, ZU_WINSTYLE_CLOSE_BUTTON,
                     ZU_WINSTYLE_TOOL};
    window->SetStyle(style);
    window->SetTitle(ZuStringRef(""));
    const int w = 9 * button_width + gap + 2 * margin;
    const int h = button_height + 2 * margin;
    window->SetWindowBox(ZuRect(200, 600, 200 + w - 1, 600 + h - 1));
    UpdateButtons();
    window->AttachObserver(ZuObjectRef(this), ZuWindow::notify_size_changed, ZuAtomRef("OnResize"),
                           0);
    window->AttachObserver(ZuObjectRef(this), ZuWindow::notify_window_closed, ZuAtomRef("OnClose"),
                           0);
    return true;
}

void CPageDlg::SetTitle(const ZuStringRef& title)
{
    if (window.IsValid())
        window->SetTitle(title);
}

void CPageDlg::Hide(bool hide)
{
    if (window.IsInvalid())
        return;
    if (hide) {
        window->Hide();
        return;
    }
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
}

bool CPageDlg::IsVisible() const
{
    return window.IsValid() && window->IsVisible();
}

void CPageDlg::SetPlace(const DPoint& origin, const DPoint& size)
{
    if (window.IsInvalid())
        return;
    const double w = size.x + 2 * margin, h = size.y + 2 * margin;
    window->SetWindowBox(ZuRect(origin.x, origin.y, origin.x + w - 1, origin.y + h - 1));
}

ZuViewRef CPageDlg::RetControl(int index) const
{
    if (index < 0 || index >= SLOTS)
        return ZuViewRef();
    if (IsPicture(index))
        return pictures[index];
    return buttons[index];
}

ZuIconRef CPageDlg::RetCorner(int index) const
{
    return index >= 0 && index < SLOTS ? corners[index] : ZuIconRef();
}

void CPageDlg::ClampIndexes()
{
    if (count < 1)
        count = 1;
    if (current < 0)
        current = 0;
    if (current > count - 1)
        current = count - 1;
}

void CPageDlg::UpdateFirst()
{
    // A grid larger than the choice slots shows only its first slots: the
    // window of choices is centred on what is shown, so the current one
    // stays among them however large the palette is.
    int cells = int(columns * rows);
    if (cells > SLOTS - FIRST_CHOICE)
        cells = SLOTS - FIRST_CHOICE;
    first = current + (cells + 1) / 2;
    if (first > count)
        first = count;
    first -= cells;
    if (first < 0)
        first = 0;
}

void CPageDlg::UpdateButtons()
{
    if (window.IsInvalid())
        return;
    ClampIndexes();
    for (int i = 0; i < SLOTS; ++i) {
        if (buttons[i].IsValid())
            buttons[i]->SetParent(ZuViewRef());
        if (pictures[i].IsValid())
            pictures[i]->SetParent(ZuViewRef());
        if (corners[i].IsValid())
            corners[i]->SetParent(ZuViewRef());
    }

    double W = 0, H = 0;
    window->GetSize(W, H);
    const int m = margin, g = gap, bw = button_width, bh = button_height;
    const int w = int(W) - 2 * m, h = int(H) - 2 * m;
    bool navigation = false, vertical = false, below = false;
    if (w / bw > 2 && h / bh > 1) {
        below = true;
        rows = h / bh - 1;
        const int c = (w - g) / bw;
        if (count + 1 <= c * rows) {
            columns = count < c - 1 ? count : c - 1;
        } else {
            columns = c - 3;
            navigation = true;
        }
    } else if (w / bw > 2) {
        rows = 1;
        const int c = (w - g) / bw;
        if (c < count + 4) {
            columns = c - 6;
            navigation = true;
        } else {
            columns = count;
        }
    } else {
        vertical = true;
        below = true;
        columns = 1;
        const int r = (h - g) / bh;
        if (r < count + 4) {
            rows = r - 6;
            navigation = true;
        } else {
            rows = count;
        }
    }
    if (columns < 1)
        columns = 1;
    if (rows < 1)
        rows = 1;
    UpdateFirst();

    const ZuStringRef none;
    // The extent of what is placed, for the tools' fitting test.
    double right = 0, bottom = 0;
    auto extend = [&](double x, double y, double dx) {
        if (x + dx > right)
            right = x + dx;
        if (y + bh > bottom)
            bottom = y + bh;
    };

    MakeButton(0, m, m, true, none, "Fen\xeatre permanante", -1);
    extend(m, m, bw);
    if (navigation) {
        const double x1 = vertical ? m : m + g + bw, y1 = vertical ? m + bh + g : m;
        MakeButton(1, x1, y1, current > 0, none,
                   layers ? "Calque pr\xe9"
                            "c\xe9"
                            "dent"
                          : "Page pr\xe9"
                            "c\xe9"
                            "dente",
                   157);
        extend(x1, y1, bw);
        const double x2 = vertical ? m : (columns + 2) * bw + g + m;
        const double y2 = vertical ? (rows + 2) * bh + g + m : m;
        MakeButton(2, x2, y2, current < count - 1, none,
                   layers ? "Calque suivant" : "Page suivante", 158);
        extend(x2, y2, bw);
    }

    const double row_x = vertical ? m : navigation ? m + 2 * bw + g : m + g + bw;
    double y = vertical ? (navigation ? m + 2 * bh + g : m + bh + g) : m;
    int index = FIRST_CHOICE;
    for (int r = 0; r < int(rows) && index < SLOTS && first + index - FIRST_CHOICE < count; ++r) {
        double x = row_x;
        for (int c = 0; c < int(columns) && index < SLOTS; ++c) {
            const int k = index - FIRST_CHOICE;
            if (first + k >= count)
                break;
            char text[16];
            if (layers)
                std::snprintf(text, sizeof text, "%c", char('A' + (first + k) % 256));
            else
                std::snprintf(text, sizeof text, "%d", first + k + 1);
            MakeButton(index, x, y, true, ZuStringRef(text), layers ? "Choix calque" : "Choix page",
                       -1);
            extend(x, y, bw);
            if (layers && first + k != current)
                MakeCorner(index, x, y);
            x += bw;
            ++index;
        }
        y += bh;
    }

    // The tools, where they fit beside or below what is placed.
    double tx, ty;
    bool fits;
    if (below) {
        tx = m;
        ty = h - bh + m - (vertical ? 2 * bh : 0);
        fits = ty >= bottom;
    } else {
        tx = w - 3 * bw + m;
        ty = m;
        fits = tx >= right;
    }
    if (fits) {
        MakeButton(3, tx, ty, current > 0, none, "D\xe9place avant", -1);
        MakeButton(4, tx + bw / 2, ty, current < count - 1, none, "D\xe9place apr\xe8s", -1);
        if (vertical)
            ty += bh;
        else
            tx += bw;
        MakeButton(5, tx, ty, true, none,
                   layers ? "Cr\xe9"
                            "er nouveau calque"
                          : "Cr\xe9"
                            "er nouvelle page",
                   207);
        if (vertical)
            ty += bh;
        else
            tx += bw;
        MakeButton(6, tx, ty, count >= 2, none,
                   layers ? "Supprimer le calque" : "Supprimer la page", 208);
    }

    window->Display(true);
    UpdateOnStates();
}

void CPageDlg::MakeButton(int index, double x, double y, bool enabled, const ZuStringRef& text,
                          const char* tool_tip, int icon)
{
    const double dx = (index == 3 || index == 4) ? button_width / 2 : button_width;
    const double dy = button_height;
    ZuControlRef control;
    if (IsPicture(index)) {
        ZuIconRef& p = pictures[index];
        if (p.IsInvalid()) {
            p = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, kSource);
            p->Initialise(index == 0   ? LockPicture()
                          : index == 3 ? LeftPicture()
                                       : RightPicture(),
                          true);
            p->SetUserTag(index + 1);
            p->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClicPage"),
                              0);
        }
        p->SetOrigin(x, y);
        p->SetSize(dx, dy);
        if (index != 0)
            p->ChangeState(ZU_VIEW_IS_ENABLED, enabled, false);
        control = p;
    } else {
        CButtonRef& b = buttons[index];
        if (b.IsInvalid()) {
            if (icon != -1) {
                NewIconButton(b, window, x, y, dx, dy, index + 1, icon);
            } else {
                b = ZuNew<CButton>(Zuvi_app_zone, __LINE__, kSource);
                b->SetParent(window);
                b->SetPlace(x, y, dx, dy);
                b->SetUserTag(index + 1);
            }
            b->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClicPage"),
                              0);
        }
        b->SetOrigin(x, y);
        b->SetSize(dx, dy);
        SetViewEnabled(b, enabled);
        if (icon == -1 && text.IsValid())
            b->SetText(text, ZuTextStyle::none, true);
        control = b;
    }
    control->SetParent(window);
    control->SetToolTip(ZuStringRef(tool_tip));
}

bool CPageDlg::IsLayerShown(int layer) const
{
    if (page_view.IsInvalid())
        return true;
    const CSelectObjectRef selection = page_view->RetSelectObject();
    return selection.IsInvalid() || selection->IsLayerVisible(layer);
}

void CPageDlg::MakeCorner(int index, double x, double y)
{
    ZuIconRef& c = corners[index];
    if (c.IsInvalid()) {
        c = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, kSource);
        c->SetUserTag(index + 1);
        c->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClicCorner"),
                          0);
    }
    c->Initialise(IsLayerShown(first + index - FIRST_CHOICE) ? ShownCorner() : HiddenCorner(),
                  true);
    c->SetOrigin(x, y);
    c->SetSize(6, 6);
    c->SetParent(window);
    c->SetToolTip(ZuStringRef("Visibilit\xe9 du calque"));
}

void CPageDlg::UpdateOnStates()
{
    for (int i = 0; i < SLOTS; ++i)
        SetButtonOn(i, (i == 0 && permanent) ||
                           (i >= FIRST_CHOICE && i - FIRST_CHOICE == current - first));
}

void CPageDlg::SetButtonOn(int index, bool on)
{
    if (window.IsInvalid())
        return;
    ZuViewRef found;
    if (!window->FindUserTag(index + 1, found) || found.IsInvalid())
        return;
    if (found->RetState().TestBit(ZU_VIEW_IS_ON) == on)
        return;
    found->ChangeState(ZU_VIEW_IS_ON, on, false);
    found->Display(true);
}

void CPageDlg::Close()
{
    if (window.IsValid())
        window->Close();
    if (page_view.IsValid()) {
        if (layers)
            page_view->RefreshLayersDlg();
        else
            page_view->RefreshPagesDlg();
    }
}

bool CPageDlg::OnResize()
{
    UpdateButtons();
    return true;
}

bool CPageDlg::OnClose()
{
    Close();
    return true;
}

void CPageDlg::AfterRequest()
{
    UpdateButtons();
    if (!permanent)
        Close();
}

bool CPageDlg::OnClicPage(const ZuObjectRef& sender, unsigned)
{
    const int index = UserTagOf(sender) - 1;
    if (index < 0 || index >= SLOTS || page_view.IsInvalid())
        return false;
    ClampIndexes();
    const ZuEventRef& event = ZuEvent::Current();
    CPageView& view = *page_view.operator->();
    auto go = [&](int to) {
        if (layers)
            view.GoToLayer(to, event);
        else
            view.GoToPage(to, event);
    };
    switch (index) {
    case 0:
        permanent = !permanent;
        UpdateOnStates();
        return true;
    case 1:
        if (current <= 0)
            return false;
        --current;
        go(current);
        break;
    case 2:
        if (current >= count - 1)
            return false;
        ++current;
        go(current);
        break;
    case 3:
        if (current <= 0)
            return false;
        if (layers)
            view.MoveLayer(current, event, -1);
        else
            view.MovePage(current, event, -1);
        --current;
        break;
    case 4:
        if (current >= count - 1)
            return false;
        if (layers)
            view.MoveLayer(current, event, 1);
        else
            view.MovePage(current, event, 1);
        ++current;
        break;
    case 5:
        if (layers)
            view.NewLayer(current, event);
        else
            view.NewPage(current, event);
        ++current;
        ++count;
        break;
    case 6:
        if (count <= 1)
            return false;
        if (layers)
            view.DeleteLayer(current, event);
        else
            view.DeletePage(current, event);
        --count;
        if (current > count - 1)
            current = count - 1;
        break;
    default: {
        const int to = first + index - FIRST_CHOICE;
        // A choice past the count was never shown.
        if (index < FIRST_CHOICE || to < 0 || to >= count)
            return false;
        current = to;
        go(current);
        break;
    }
    }
    AfterRequest();
    return true;
}

bool CPageDlg::OnClicCorner(const ZuObjectRef& sender, unsigned)
{
    const int index = UserTagOf(sender) - 1;
    if (!layers || index < FIRST_CHOICE || index >= SLOTS || page_view.IsInvalid())
        return false;
    ClampIndexes();
    const int layer = first + index - FIRST_CHOICE;
    if (layer == current || layer < 0 || layer >= count)
        return false;
    page_view->SwapLayerVisibility(layer, ZuEvent::Current());
    AfterRequest();
    return true;
}
