#include "app/gralinetext.h"

#include <cstring>

#include "app/graline.h"
#include "app/grapaint.h"
#include "app/graport.h"
#include "app/graprops.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraLineText, "app/gralinetext", ZU_CLASS_PLAIN)

namespace {

const int kLayout[CGraLineText::LAYOUT_WORDS] = {8, 0, 0,  -2, 9,  0, 0, -2, -6, 30,
                                                 0, 0, -2, -3, 78, 0, 0, -2, -1};

// Degrees per radian.
const double kDegrees = 57.29577951471995;

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

DRect Shifted(const DRect& r, const DPoint& by)
{
    return DRect{r.x1 + by.x, r.y1 + by.y, r.x2 + by.x, r.y2 + by.y};
}

} // namespace

CGraLineText::CGraLineText()
    : text_colour(ZuNew<CColorDef>()), font(ZuNew<CFontDef>()), text(ZuNew<ZuString>())
{}

CGraLineText::~CGraLineText() {}

void CGraLineText::Delete()
{
    DeleteDefinitions(text_colour, font);
    text = ZuStringRef(static_cast<ZuString*>(nullptr));
    CGraObject::Delete();
}

void CGraLineText::CopyFrom(const CGraObjectRef& other)
{
    const CGraLineText* o = CGraLineTextRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    text_colour->CopyFrom(o->text_colour);
    CloneInto(font, o->font);
    Ends().CopyFrom(o->Ends());
    SetText(o->text);
    sel_start = o->sel_start;
    sel_end = o->sel_end;
    caret_top = o->caret_top;
    caret_bottom = o->caret_bottom;
    box = o->box;
    saved_size = o->saved_size;
}

LineEnds CGraLineText::Ends() const
{
    // The const operations only read through the view.
    CGraLineText* self = const_cast<CGraLineText*>(this);
    return LineEnds{&self->start,          &self->end,         &self->saved_start, &self->saved_end,
                    &self->start_selected, &self->end_selected};
}

bool CGraLineText::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Ligne de texte");
    return true;
}

int CGraLineText::GetIconId(int variant) const
{
    return IconOfVariant(variant, 26, 36);
}

// ---------------------------------------------------------------- handles and geometry

int CGraLineText::GetHandleCount() const
{
    return 2;
}

int CGraLineText::GetHandleType(int n) const
{
    if (n == 0)
        return 2;
    if (n == 1)
        return 3;
    return 0;
}

DPoint CGraLineText::GetHandlePosition(int n) const
{
    return Ends().Get(n);
}

void CGraLineText::SetHandlePosition(int n, const DPoint& p)
{
    Ends().Set(n, p);
}

void CGraLineText::SelectHandle(int n)
{
    Ends().Select(editing, n);
}

bool CGraLineText::IsHandleSelected(int n) const
{
    return Ends().IsSelected(editing, n);
}

bool CGraLineText::SaveGeometry(const ChangeRecord&)
{
    Ends().Save();
    saved_size = font->GetScale();
    return true;
}

bool CGraLineText::Transform(const ChangeRecord& change, int flags)
{
    if (Ends().Transform(change) && (flags & 2) != 0 && change.kind == 2)
        font->SetScale(saved_size * (Abs(change.c.x) + Abs(change.c.y)) * 0.5);
    return true;
}

bool CGraLineText::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraLineText::SetPoints(const DPoint* points, int n)
{
    if (points == nullptr || n < 2)
        return false;
    start = points[0];
    end = points[1];
    return true;
}

void CGraLineText::PlacePoint(const DPoint& p, int flags)
{
    DPoint q = p;
    ConstrainPoint(flags, 1, q);
    end = q;
}

void CGraLineText::ConstrainPoint(int flags, int which, DPoint& p) const
{
    CGraLine::ConstrainLinePoint(start, end, flags, which, p);
}

bool CGraLineText::HasProperties() const
{
    return true;
}

void CGraLineText::GetPropertyLayout(int, int, int, int, int* out) const
{
    if (out != nullptr)
        std::memcpy(out, kLayout, sizeof kLayout);
}

// ---------------------------------------------------------------- the text and its measures

int CGraLineText::CharacterCount() const
{
    return int(text->CharacterCount());
}

std::string CGraLineText::Bytes() const
{
    const int n = CharacterCount();
    std::string bytes(size_t(n), '\0');
    for (int i = 0; i < n; i++) {
        const unsigned short c = text->RetCharacter(unsigned(i));
        bytes[size_t(i)] = c <= 255 ? char(c) : ZuString::UnicodeToLatin(c);
    }
    return bytes;
}

void CGraLineText::SetText(const ZuStringRef& other)
{
    ZuStringRef fresh = ZuNew<ZuString>();
    if (other.IsValid())
        fresh->SetString(other);
    text = fresh;
}

void CGraLineText::SetSelection(int s, int e)
{
    const int n = CharacterCount();
    sel_start = Clamp(s, 0, n);
    sel_end = Clamp(e, 0, n);
}

double CGraLineText::GetAngle() const
{
    return AngleBetween(start, DPoint{start.x + 100.0, start.y}, end);
}

DPoint CGraLineText::ToFrame(const DPoint& p) const
{
    return RotatePoint(p, start, -GetAngle());
}

DPoint CGraLineText::FromFrame(const DPoint& p) const
{
    return RotatePoint(p, start, GetAngle());
}

void CGraLineText::GetVerticalExtent(CGraPortRef& port, double& ascent, double& descent)
{
    port->SetFont(font);
    DRect r{0.0, 0.0, 0.0, 0.0};
    DPoint advance{0.0, 0.0};
    ascent = port->TextMetrics('E', r, advance) ? r.y2 : 0.0;
    descent = port->TextMetrics('p', r, advance) ? r.y1 : 0.0;
}

int CGraLineText::IndexAtPoint(CGraPortRef& port, const DPoint& p)
{
    port->SetFont(font);
    const DPoint q = ToFrame(p);
    const std::string bytes = Bytes();
    const int n = int(bytes.size());
    DPoint pen = start;
    for (int i = 0; i < n; i++) {
        DRect r;
        DPoint advance;
        if (!port->TextMetrics(static_cast<unsigned char>(bytes[size_t(i)]), r, advance))
            return n;
        if (q.x < pen.x + advance.x * 0.5)
            return i;
        pen.x += advance.x;
        pen.y += advance.y;
    }
    return n;
}

void CGraLineText::GetCaretAt(CGraPortRef& port, int index, DPoint& top, DPoint& bottom)
{
    double ascent = 0.0, descent = 0.0;
    GetVerticalExtent(port, ascent, descent);
    const std::string bytes = Bytes();
    const int n = Clamp(index, 0, int(bytes.size()));
    DPoint pen = start;
    for (int i = 0; i < n; i++) {
        DRect r;
        DPoint advance;
        if (!port->TextMetrics(static_cast<unsigned char>(bytes[size_t(i)]), r, advance))
            break;
        pen.x += advance.x;
        pen.y += advance.y;
    }
    top = FromFrame(DPoint{pen.x, pen.y + ascent});
    bottom = FromFrame(DPoint{pen.x, pen.y + descent});
}

void CGraLineText::UpdateCaret(CGraPortRef& port)
{
    GetCaretAt(port, sel_end, caret_top, caret_bottom);
}

void CGraLineText::GetTextFrame(CGraPortRef& port, bool turned, DPoint out[4])
{
    double a = 0.0, d = 0.0;
    GetVerticalExtent(port, a, d);
    const double m = (a - d) * 0.2;
    const DPoint e = ToFrame(end);
    out[0] = DPoint{start.x - m, start.y + a + m};
    out[1] = DPoint{e.x + m, e.y + a + m};
    out[2] = DPoint{e.x + m, e.y + d - m};
    out[3] = DPoint{start.x - m, start.y + d - m};
    if (turned)
        for (int i = 0; i < 4; i++)
            out[i] = FromFrame(out[i]);
}

// ---------------------------------------------------------------- text editing

bool CGraLineText::HasText() const
{
    return true;
}

bool CGraLineText::ShowCaret(CGraPortRef& port)
{
    UpdateCaret(port);
    return true;
}

bool CGraLineText::TextClick(CGraPortRef& port, const DPoint& p, DPoint& top, DPoint& bottom)
{
    GetCaretAt(port, IndexAtPoint(port, p), top, bottom);
    return true;
}

bool CGraLineText::TextSetCursor(CGraPortRef& port, const DPoint& p)
{
    sel_start = sel_end = IndexAtPoint(port, p);
    UpdateCaret(port);
    return true;
}

bool CGraLineText::TextExtendSelection(CGraPortRef& port, const DPoint& p)
{
    const int index = IndexAtPoint(port, p);
    if (index == sel_end)
        return false;
    sel_end = index;
    UpdateCaret(port);
    return true;
}

bool CGraLineText::TextEndSelection(CGraPortRef& port, const DPoint& p)
{
    sel_end = IndexAtPoint(port, p);
    UpdateCaret(port);
    return true;
}

bool CGraLineText::DeleteSelection()
{
    const int n = CharacterCount();
    const int lo = Clamp(sel_start < sel_end ? sel_start : sel_end, 0, n);
    const int hi = Clamp(sel_start < sel_end ? sel_end : sel_start, 0, n);
    if (lo == hi)
        return false;
    text->DeleteString(unsigned(lo), unsigned(hi - lo));
    sel_start = sel_end = lo;
    return true;
}

bool CGraLineText::TextHandleEvent(CGraPortRef& port, const ZuEventRef& event)
{
    if (event.IsInvalid())
        return false;
    const ZuKey& key = event->RetKey();
    const int n = CharacterCount();
    // An index from outside (a restored or foreign selection) stays in the text.
    sel_start = Clamp(sel_start, 0, n);
    sel_end = Clamp(sel_end, 0, n);
    switch (key.type) {
    case ZU_KEY_CURSOR: {
        int index;
        switch (key.code) {
        case ZU_CURSOR_LEFT:
            index = sel_end > 0 ? sel_end - 1 : 0;
            break;
        case ZU_CURSOR_RIGHT:
            index = sel_end < n ? sel_end + 1 : n;
            break;
        case ZU_CURSOR_HOME:
            index = 0;
            break;
        case ZU_CURSOR_END:
            index = n;
            break;
        default:
            return true;
        }
        sel_end = index;
        if (!key.modifiers.TestBit(ZU_MOD_SHIFT))
            sel_start = index;
        UpdateCaret(port);
        return true;
    }
    case ZU_KEY_BACKSPACE:
        if (!DeleteSelection()) {
            if (sel_end == 0)
                return false;
            text->DeleteString(unsigned(sel_end - 1), 1);
            sel_start = sel_end = sel_end - 1;
        }
        UpdateCaret(port);
        return true;
    case ZU_KEY_DELETE:
        if (!DeleteSelection()) {
            if (sel_end >= n)
                return true;
            text->DeleteString(unsigned(sel_end), 1);
            sel_start = sel_end;
        }
        UpdateCaret(port);
        return true;
    case ZU_KEY_ALPHANUM: {
        // A character outside Latin-1 has no byte of its own: typing it
        // would put another character in its place.
        if (key.value == 0 || key.value > 255)
            return false;
        DeleteSelection();
        const char one[2] = {char(key.value), '\0'};
        const int at = sel_start < sel_end ? sel_start : sel_end;
        text->InsertString(unsigned(at), one, 1);
        SetSelection(at + 1, at + 1);
        UpdateCaret(port);
        return true;
    }
    default:
        return false;
    }
}

bool CGraLineText::TextCommand(CGraPortRef& port, ZuStringRef& out)
{
    const int n = CharacterCount();
    const int lo = Clamp(sel_start < sel_end ? sel_start : sel_end, 0, n);
    const int hi = Clamp(sel_start < sel_end ? sel_end : sel_start, 0, n);
    if (lo == hi)
        return false;
    text->MakeMiddle(unsigned(lo), unsigned(hi - lo), out);
    DeleteSelection();
    UpdateCaret(port);
    return true;
}

bool CGraLineText::TextSetSelection(CGraPortRef&, ZuStringRef& out)
{
    const int n = CharacterCount();
    int lo = Clamp(sel_start < sel_end ? sel_start : sel_end, 0, n);
    int hi = Clamp(sel_start < sel_end ? sel_end : sel_start, 0, n);
    if (lo == hi) {
        lo = 0;
        hi = n;
    }
    text->MakeMiddle(unsigned(lo), unsigned(hi - lo), out);
    return true;
}

bool CGraLineText::TextReplace(CGraPortRef& port, const ZuStringRef& other)
{
    if (other.IsInvalid())
        return false;
    DeleteSelection();
    const int at = Clamp(sel_start, 0, CharacterCount());
    const int added = int(ZuStringRef(other)->CharacterCount());
    text->InsertString(unsigned(at), other);
    SetSelection(at + added, at + added);
    UpdateCaret(port);
    return true;
}

bool CGraLineText::GetCaret(CGraPortRef& port, DPoint& top, DPoint& bottom, bool update)
{
    if (sel_start == -1)
        return false;
    if (update)
        UpdateCaret(port);
    top = caret_top;
    bottom = caret_bottom;
    return true;
}

bool CGraLineText::IsTextEmpty() const
{
    return CharacterCount() == 0;
}

// ---------------------------------------------------------------- definitions and editing

bool CGraLineText::GetDebugText(ZuStringRef& out) const
{
    CGraLine::LineDebugText(start, end, out);
    return true;
}

void CGraLineText::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {100, 101, 105, 120, 125, 126, 127, 0});
}

int CGraLineText::GetEditMode() const
{
    return edit_mode;
}

bool CGraLineText::SetEditMode(int mode)
{
    edit_mode = mode;
    Ends().ClearMarks();
    return true;
}

int CGraLineText::IsEditing() const
{
    return editing;
}

bool CGraLineText::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraLineText::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (kind == TEXT_COLOR) {
        out = text_colour;
        return true;
    }
    if (kind == FONT) {
        out = font;
        return true;
    }
    return CGraObject::GetDefinition(kind, out);
}

bool CGraLineText::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (kind == TEXT_COLOR) {
        if (def.IsInvalid() || !def->IsKindOf(CColorDefRef::RetRuntime()))
            return false;
        CloneInto(text_colour, def);
        return true;
    }
    if (kind == FONT) {
        if (def.IsInvalid() || !def->IsKindOf(CFontDefRef::RetRuntime()))
            return false;
        CloneInto(font, def);
        return true;
    }
    return CGraObject::SetDefinition(kind, def);
}

// ---------------------------------------------------------------- hit tests and drawing

bool CGraLineText::HitTest(CGraPortRef& port, const DPoint& p, double, int)
{
    if (!IsPointInRect(p, box))
        return false;
    port->SetFont(font);
    const DPoint q = ToFrame(p);
    const std::string bytes = Bytes();
    DPoint pen = start;
    for (char c : bytes) {
        DRect r;
        DPoint advance;
        if (!port->TextMetrics(static_cast<unsigned char>(c), r, advance))
            return false;
        if (IsPointInRect(q, Shifted(r, pen)))
            return true;
        pen.x += advance.x;
        pen.y += advance.y;
    }
    return false;
}

bool CGraLineText::TextHitTest(CGraPortRef& port, const DPoint& p)
{
    DPoint frame[4];
    GetTextFrame(port, false, frame);
    const DPoint q = ToFrame(p);
    return IsPointInRect(q, DRect{frame[0].x, frame[0].y, frame[2].x, frame[2].y});
}

bool CGraLineText::Draw(CGraPortRef& port, int flags)
{
    port->SetFont(font);
    const double degrees = GetAngle() * kDegrees;
    if ((flags & 0x40) != 0) {
        DPoint frame[4];
        GetTextFrame(port, true, frame);
        for (int i = 0; i < 4; i++)
            port->DrawLine(frame[i], frame[(i + 1) % 4]);
        return true;
    }
    // The selection's highlight helps on the screen and is no part of the
    // page: a print or an export leaves it out.
    if (edit_mode == 2 && sel_start != sel_end && (flags & DRAW_ON_PAPER) == 0) {
        CColorDefRef yellow = ZuNew<CColorDef>();
        yellow->SetRGB(1.0, 1.0, 0.0);
        port->SetFillColor(yellow);
        DPoint s1, s2, e1, e2;
        GetCaretAt(port, sel_start, s1, s2);
        GetCaretAt(port, sel_end, e1, e2);
        port->BeginPath();
        port->DrawLine(s1, e1);
        port->DrawLine(e1, e2);
        port->DrawLine(e2, s2);
        port->DrawLine(s2, s1);
        port->EndPath(true, false, true);
    }
    if ((flags & 0x02) != 0)
        port->SetPenColor(text_colour);
    if ((flags & (0x08 | 0x10)) != 0)
        port->DrawLine(start, end);
    if (flags != 0) {
        port->SetPenColor(text_colour);
        // The port draws a long text in pieces: every character is shown.
        const std::string bytes = Bytes();
        port->DrawText(start, degrees, bytes.data(), int(bytes.size()));
        return true;
    }
    port->DrawLine(start, end);
    return true;
}

bool CGraLineText::DrawShadow(CGraPortRef& port, int flags)
{
    if (!IsShadowPass(flags) || !HasShadow())
        return true;
    port->SetFont(font);
    const std::string bytes = Bytes();
    PaintShadowPath(port, CPenDefRef(), [&] {
        port->DrawText(start, GetAngle() * kDegrees, bytes.data(), int(bytes.size()));
    });
    return true;
}

bool CGraLineText::UpdateBoundingBox(CGraPortRef& port)
{
    port->SetFont(font);
    DRect all{0.0, 0.0, 0.0, 0.0};
    DPoint pen = start;
    DRect r;
    DPoint advance;
    for (int c : {'E', 'p'})
        if (port->TextMetrics(c, r, advance))
            all = UnionRect(all, Shifted(r, pen));
    for (char c : Bytes()) {
        if (!port->TextMetrics(static_cast<unsigned char>(c), r, advance))
            break;
        all = UnionRect(all, Shifted(r, pen));
        pen.x += advance.x;
        pen.y += advance.y;
    }
    NormaliseRect(all);
    const DPoint corners[4] = {FromFrame(DPoint{all.x1, all.y1}), FromFrame(DPoint{all.x2, all.y2}),
                               FromFrame(DPoint{all.x1, all.y2}),
                               FromFrame(DPoint{all.x2, all.y1})};
    box = DRect{Min(corners[0].x, corners[1].x, corners[2].x, corners[3].x),
                Min(corners[0].y, corners[1].y, corners[2].y, corners[3].y),
                Max(corners[0].x, corners[1].x, corners[2].x, corners[3].x),
                Max(corners[0].y, corners[1].y, corners[2].y, corners[3].y)};
    if (pen.x == start.x && pen.y == start.y)
        pen.x += 10.0;
    end = FromFrame(pen);
    return true;
}

// ---------------------------------------------------------------- storage

void CGraLineText::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << text_colour << font << ZuStorageSync::mark;
    s << start.x << start.y << end.x << end.y << ZuStorageSync::mark;
    s << text << sel_start << sel_end << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
}

void CGraLineText::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> text_colour >> font >> ZuStorageSync::mark;
    s >> start.x >> start.y >> end.x >> end.y >> ZuStorageSync::mark;
    s >> text >> sel_start >> sel_end >> ZuStorageSync::mark;
    s >> box.x1 >> box.y1 >> box.x2 >> box.y2 >> ZuStorageSync::end;
    // A record without its definitions or string still edits and draws.
    if (text_colour.IsInvalid())
        text_colour = ZuNew<CColorDef>();
    if (font.IsInvalid())
        font = ZuNew<CFontDef>();
    if (text.IsInvalid())
        text = ZuNew<ZuString>();
    // The selection indexes the string: it must stay within it.
    SetSelection(sel_start, sel_end);
}
