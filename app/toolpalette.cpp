#include "app/toolpalette.h"

#include "app/commands.h"
#include "app/graarc.h"
#include "app/graarrow.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/grapolyc.h"
#include "app/grapolyl.h"
#include "app/grapolyr.h"
#include "app/grarect.h"
#include "app/misc.h"
#include "app/pageview.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/rtclass.h"

#include <cstring>

ZU_IMPLEMENT_CLASS(CToolPalette, "app/toolpalette", ZU_CLASS_NOT_STORED)
ZU_EXPORT_ACTOR(CToolPalette, OnCancel)
ZU_EXPORT_ACTOR(CToolPalette, OnClose)
ZU_EXPORT_ACTOR(CToolPalette, OnResize)
ZU_EXPORT_OBSERVER(CToolPalette, OnClicTool)

namespace {
const char* const kSource = "app/toolpalette";
} // namespace

const int32_t CToolPalette::kModeTable[] = {0, 3, 0, 1, 3, 0, -2, -6, -1};
const int32_t CToolPalette::kDrawTable[] = {10, 4,  0, 15, 4,  0,  11, 4, 0,  -2, 12, 4,  0,  13, 4,
                                            0,  14, 4, 0,  -2, 18, 4,  0, 16, 4,  0,  -2, -3, -1};
const int32_t CToolPalette::kSelectTable[] = {6, 4, 0, 7, 4, 0, -2, -1};
const int32_t CToolPalette::kViewTable[] = {3,  4,  0,  4, 4, 0,  5,  4, 0,  -2, -3, 76, 0,  0, 75,
                                            0,  0,  77, 0, 0, -2, 73, 0, 0,  74, 0,  0,  89, 0, 0,
                                            -2, -3, 88, 0, 0, 86, 0,  0, 78, 0,  0,  -2, -3, -1};
const int32_t CToolPalette::kTransformTable[] = {121, 10, 0, -3, 90, 5, 0, 91, 5, 0,
                                                 -2,  92, 5, 0,  95, 5, 0, -2, -1};
const int32_t CToolPalette::kAdjustTable[] = {122, 10, 0, -1};
const int32_t CToolPalette::kRowEndTable[] = {-2, -3, -1};
const int32_t CToolPalette::kBottomTable[] = {-5, -6, 30, 1, 0, 38, 1, 0, -2, -2,
                                              -2, -2, 71, 0, 0, 70, 2, 0, -1};

CToolPalette::CToolPalette()
{
    table[0] = -1;
    for (auto& r : separatorRects)
        r[0] = r[1] = r[2] = r[3] = -1.0;
}

CToolPalette::~CToolPalette() {}

void CToolPalette::Delete()
{
    for (int n = 0; n < kMaxItems; ++n) {
        items[n].prototype = ZuObjectRef();
        buttons[n] = CButtonRef();
        switches[n] = ZuSwitchRef();
        separators[n] = CSeparatorRef();
    }
    if (window.IsValid()) {
        window->DetachObserver(ZuObjectRef(this), ZuWindow::notify_window_closed,
                               ZuAtomRef("OnClose"), 0);
        window->Delete();
        window = ZuWindowRef();
    }
    pageView = CPageViewRef();
    ZuObject::Delete();
}

void CToolPalette::WindowSize(double& w, double& h) const
{
    w = columns * buttonWidth + 2 * margin;
    h = rows * buttonHeight + 2 * margin;
}

bool CToolPalette::Create(int32_t x, int32_t y, bool popup)
{
    if (window.IsInvalid())
        window = ZuNew<ZuWindow>(nullptr, __LINE__, kSource);
    ZuWinStyle style{ZuWinStyleBit(0), ZU_WINSTYLE_TOOL, ZU_WINSTYLE_NO_ACTIVATION};
    if (popup)
        style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
    window->SetStyle(style);
    window->SetTitle(ZuStringRef(""));
    double w, h;
    WindowSize(w, h);
    if (w > 0 && h > 0)
        window->SetWindowBox(ZuRect(x, y, x + w - 1, y + h - 1));
    else
        window->SetWindowBox(ZuRect());
    window->AttachObserver(ZuObjectRef(this), ZuWindow::notify_window_closed, ZuAtomRef("OnClose"),
                           0);
    return true;
}

void CToolPalette::SetTitle(const ZuStringRef& title)
{
    if (window.IsValid())
        window->SetTitle(title);
}

// The palette's place is its window's place on the screen: a window's own
// view box stays at 0, 0.
void CToolPalette::SetOrigin(double x, double y)
{
    if (window.IsValid())
        window->SetWindowOrigin(x, y);
}

void CToolPalette::GetOrigin(double& x, double& y) const
{
    x = y = 0.0;
    if (window.IsValid())
        window->GetWindowOrigin(x, y);
}

void CToolPalette::Show(bool hide)
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

void CToolPalette::SetPlace(const DPoint& origin, const DPoint& size)
{
    columns = size.x;
    rows = size.y;
    double w, h;
    if (columns == 0.0 || rows == 0.0) {
        w = naturalWidth;
        h = naturalHeight;
    } else {
        WindowSize(w, h);
    }
    if (window.IsValid() && w > 0 && h > 0)
        window->SetWindowBox(ZuRect(origin.x, origin.y, origin.x + w - 1, origin.y + h - 1));
}

void CToolPalette::SetPageView(const CPageViewRef& view)
{
    pageView = view;
}

const CPageViewRef& CToolPalette::RetPageView() const
{
    return pageView;
}

void CToolPalette::SetTools(const int32_t* source, size_t count)
{
    // Copy whole entries and directives while both limits leave room for
    // the closing -1.
    int values = 0;
    int entries = 0;
    size_t i = 0;
    while (source != nullptr && i < count && source[i] != -1) {
        if (source[i] >= 0) {
            if (entries >= kMaxItems || values + 3 > kMaxValues - 1 || i + 3 > count)
                break;
            std::memcpy(table + values, source + i, 3 * sizeof(int32_t));
            values += 3;
            i += 3;
            ++entries;
        } else {
            if (values + 1 > kMaxValues - 1)
                break;
            table[values++] = source[i++];
        }
    }
    table[values] = -1;
    Layout();
}

void CToolPalette::NewObject(ZuObjectRef& out, int32_t code)
{
    ZuRuntimeRef runtime;
    switch (code) {
    case 10:
        runtime = CGraLineRef::RetRuntime();
        break;
    case 11:
        runtime = CGraRectRef::RetRuntime();
        break;
    case 12:
        runtime = CGraPolyCurveRef::RetRuntime();
        break;
    case 13:
        runtime = CGraPolyLineRef::RetRuntime();
        break;
    case 14:
        runtime = CGraPolyRegRef::RetRuntime();
        break;
    case 15:
        runtime = CGraArrowRef::RetRuntime();
        break;
    case 16:
        runtime = CGraLineTextRef::RetRuntime();
        break;
    case 18:
        runtime = CGraArcRef::RetRuntime();
        break;
    default:
        out = ZuObjectRef();
        return;
    }
    out = ZuObjectRef(NewGraObject(runtime));
}

void CToolPalette::Layout()
{
    for (int n = 0; n < kMaxItems; ++n) {
        if (buttons[n].IsValid())
            buttons[n]->SetParent(ZuViewRef());
        if (switches[n].IsValid())
            switches[n]->SetParent(ZuViewRef());
        if (separators[n].IsValid())
            separators[n]->SetParent(ZuViewRef());
        items[n].code = -1;
        items[n].prototype = ZuObjectRef();
    }
    double x = margin, y = margin;
    double maxX = 0.0, maxY = 0.0;
    int n = 0;
    for (int i = 0; i < kMaxValues && table[i] != -1;) {
        const int32_t v = table[i];
        if (v < 0) {
            switch (v) {
            case -2:
                x = margin;
                y += buttonHeight;
                break;
            case -3:
                y += gap;
                break;
            case -4:
                x += buttonWidth;
                break;
            case -5:
                x = margin;
                y = (rows - 5) * buttonHeight + margin - 2 * gap;
                break;
            case -6:
                y += gap;
                if (n < kMaxItems)
                    SetSeparator(n, false, y);
                y += gap;
                break;
            case -7:
                x += gap;
                if (n < kMaxItems)
                    SetSeparator(n, true, x);
                x += gap;
                break;
            default:
                break; // an unknown directive is skipped
            }
            ++i;
        } else {
            const int32_t code = v, kind = table[i + 1], state = table[i + 2];
            i += 3;
            if (n >= kMaxItems)
                break;
            Item place;
            if (kind == 10) {
                if (x != margin) {
                    x = margin;
                    y += buttonHeight;
                }
                place.x1 = x, place.y1 = y, place.x2 = x + 3 * buttonWidth, place.y2 = y + 20;
                SetSwitch(n, place, code);
                y += 20;
            } else {
                const int extra = kind == 2                  ? buttonWidth
                                  : (kind == 1 || kind == 3) ? buttonWidth / 2
                                                             : 0;
                place.x1 = x, place.y1 = y, place.x2 = x + extra + buttonWidth,
                place.y2 = y + buttonHeight;
                SetButton(n, place, code);
                x += extra + buttonWidth;
            }
            Item& it = items[n];
            NewObject(it.prototype, code);
            it.code = code;
            it.kind = kind;
            it.state = state;
            ++n;
        }
        if (x > maxX)
            maxX = x;
        if (y > maxY)
            maxY = y;
    }
    naturalWidth = maxX + margin;
    naturalHeight = maxY + margin;
    if (window.IsValid())
        window->Display(true);
    UpdateAll();
}

void CToolPalette::SetButton(int n, const Item& place, int32_t code)
{
    Item& it = items[n];
    const double w = place.x2 - place.x1, h = place.y2 - place.y1;
    if (buttons[n].IsInvalid()) {
        NewIconButton(buttons[n], ZuViewRef(window), place.x1, place.y1, w, h, n + 100, code);
        buttons[n]->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked,
                                   ZuAtomRef("OnClicTool"), 0);
    } else {
        if (place.x1 != it.x1 || place.y1 != it.y1 || place.x2 != it.x2 || place.y2 != it.y2)
            buttons[n]->SetPlace(place.x1, place.y1, w, h);
        if (code != it.controlCode)
            NewIcon(buttons[n], code);
    }
    buttons[n]->SetParent(ZuViewRef(window));
    it.controlCode = code;
    it.x1 = place.x1, it.y1 = place.y1, it.x2 = place.x2, it.y2 = place.y2;
}

void CToolPalette::SetSwitch(int n, const Item& place, int32_t code)
{
    Item& it = items[n];
    if (switches[n].IsInvalid()) {
        switches[n] = ZuNew<ZuSwitch>(nullptr, __LINE__, kSource);
        switches[n]->InitAsCheckBox();
        switches[n]->SetUserTag(n + 100);
        switches[n]->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked,
                                    ZuAtomRef("OnClicTool"), 0);
        it.x1 = it.y1 = it.x2 = it.y2 = -1.0;
    }
    if (place.x1 != it.x1 || place.y1 != it.y1 || place.x2 != it.x2 || place.y2 != it.y2) {
        switches[n]->SetOrigin(place.x1, place.y1);
        switches[n]->SetSize(place.x2 - place.x1, place.y2 - place.y1);
    }
    // "Caption\nTool tip": the part after the first line feed is the tip.
    const char* label = GetIconLabel(code);
    const char* text = label != nullptr ? label : "";
    const char* feed = std::strchr(text, '\n');
    if (feed != nullptr) {
        ZuStringRef caption("");
        caption->AppendString(text, unsigned(feed - text));
        switches[n]->SetTitle(caption);
        switches[n]->SetToolTip(ZuStringRef(feed + 1));
    } else {
        switches[n]->SetTitle(ZuStringRef(text));
    }
    switches[n]->SetParent(ZuViewRef(window));
    it.controlCode = code;
    it.x1 = place.x1, it.y1 = place.y1, it.x2 = place.x2, it.y2 = place.y2;
}

void CToolPalette::SetSeparator(int n, bool vertical, double at)
{
    double ww = 0.0, wh = 0.0;
    if (window.IsValid()) {
        const ZuRect& box = window->RetWindowBox();
        ww = box.DX();
        wh = box.DY();
    }
    double r[4];
    if (vertical)
        r[0] = at - 2, r[1] = 0, r[2] = 4, r[3] = wh;
    else
        r[0] = 0, r[1] = at - 2, r[2] = ww, r[3] = 4;
    if (separators[n].IsInvalid())
        separators[n] = ZuNew<CSeparator>(nullptr, __LINE__, kSource);
    double* old = separatorRects[n];
    if (std::memcmp(old, r, sizeof r) != 0) {
        separators[n]->SetOrigin(r[0], r[1]);
        separators[n]->SetSize(r[2], r[3]);
        std::memcpy(old, r, sizeof r);
    }
    separators[n]->SetStyle(vertical ? CSeparator::VERTICAL : 0u);
    separators[n]->SetParent(ZuViewRef(window));
}

void CToolPalette::UpdateItem(int n)
{
    const Item& it = items[n];
    if (it.code < 0 || window.IsInvalid())
        return;
    ZuViewRef view;
    if (!window->FindUserTag(n + 100, view) || view.IsInvalid())
        return;
    if (it.kind == 10) {
        ZuSwitchRef sw(view);
        if (sw.IsValid() && sw->RetSwitchState() != (it.state == 1)) {
            sw->SetSwitchState(it.state == 1);
            sw->Display(true);
        }
    } else {
        SetViewOn(view, it.state);
    }
}

void CToolPalette::UpdateAll()
{
    for (int n = 0; n < kMaxItems; ++n)
        UpdateItem(n);
}

int32_t CToolPalette::GetCurrentTool(int32_t group) const
{
    for (const Item& it : items)
        if (it.code >= 0 && it.kind == group + 2 && it.state == 1)
            return it.code;
    return -1;
}

ZuObjectRef CToolPalette::GetCurrentToolObject(int32_t group) const
{
    for (const Item& it : items)
        if (it.code >= 0 && it.kind == group + 2 && it.state == 1)
            return it.prototype;
    return ZuObjectRef();
}

void CToolPalette::SetCurrentTool(int32_t group, int32_t code)
{
    for (Item& it : items)
        if (it.code >= 0 && it.kind == group + 2)
            it.state = it.code == code ? 1 : 0;
    UpdateAll();
}

int32_t CToolPalette::GetToolState(int32_t code) const
{
    for (const Item& it : items)
        if (it.code >= 0 && it.code == code)
            return it.state;
    return 0;
}

int32_t CToolPalette::GetToolKind(int32_t code) const
{
    for (const Item& it : items)
        if (it.code >= 0 && it.code == code)
            return it.kind;
    return 0;
}

void CToolPalette::SetToolKind(int32_t code, int32_t kind)
{
    for (Item& it : items)
        if (it.code >= 0 && it.code == code) {
            it.kind = kind;
            return;
        }
}

bool CToolPalette::OnCancel()
{
    if (window.IsValid())
        window->Close();
    return true;
}

bool CToolPalette::OnClose()
{
    if (pageView.IsValid())
        pageView->SetContextPaletteShown(false);
    if (window.IsValid())
        window->Close();
    return true;
}

bool CToolPalette::OnResize()
{
    return true;
}

bool CToolPalette::OnClicTool(const ZuObjectRef& control, unsigned id)
{
    (void)id;
    ZuViewRef view(control);
    if (view.IsInvalid())
        return false;
    const int n = view->RetUserTag() - 100;
    if (n < 0 || n >= kMaxItems || items[n].code < 0)
        return false;
    Item& it = items[n];
    if (it.kind >= 3 && it.kind <= 6) {
        for (int m = 0; m < kMaxItems; ++m)
            if (m != n && items[m].code >= 0 && items[m].kind == it.kind && items[m].state == 1) {
                items[m].state = 0;
                UpdateItem(m);
            }
        it.state = 1;
        UpdateItem(n);
    } else if (it.kind == 10) {
        it.state = it.state == 1 ? 0 : 1;
        UpdateItem(n);
    }
    if (pageView.IsValid())
        pageView->ClickTool(it.code, ZuEvent::Current());
    return true;
}

void CToolPalette::AppendToolTable(int32_t* buffer, int& count, const int32_t* sub)
{
    for (int i = 0; sub[i] != -1 && count < kMaxValues - 1; ++i)
        buffer[count++] = sub[i];
}

void CToolPalette::SetToolEntryOn(int32_t* buffer, int count, int32_t code)
{
    for (int i = 0; i < count;) {
        if (buffer[i] < 0) {
            ++i;
            continue;
        }
        if (i + 2 >= count)
            return;
        if (buffer[i] == code) {
            buffer[i + 2] = 1;
            return;
        }
        i += 3;
    }
}

CButtonRef CToolPalette::RetButton(int n) const
{
    return n >= 0 && n < kMaxItems ? buttons[n] : CButtonRef();
}

ZuSwitchRef CToolPalette::RetSwitch(int n) const
{
    return n >= 0 && n < kMaxItems ? switches[n] : ZuSwitchRef();
}

CSeparatorRef CToolPalette::RetSeparator(int n) const
{
    return n >= 0 && n < kMaxItems ? separators[n] : CSeparatorRef();
}
