// The line of text: keys, selection and cut, copy and paste, the text it
// sends to the port, its measures, box, end point and hits in the real
// interpreter (Helvetica), transforms and its stored record.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/gralinetext.h"
#include "app/misc.h"
#include "si/event.h"
#include "si/except.h"
#include "si/string.h"
#include "tests/app/gratest.h"

// A key event as the event layer fills it.
ZU_HANDLE(TKeyEvent, ZuEvent)
class TKeyEvent : public ZuEvent {
    ZU_CLASS(TKeyEvent, ZuEvent)
public:
    TKeyEvent() {}
    void Set(ZuKeyType type, int code, int value, bool shift)
    {
        key = ZuKey();
        key.type = type;
        key.code = uint8_t(code);
        key.value = uint16_t(value);
        if (shift)
            key.modifiers.SetBit(ZU_MOD_SHIFT);
    }
};
ZU_CLASS_END(TKeyEvent)
ZU_IMPLEMENT_CLASS(TKeyEvent, "tests/app/gralinetext_test", ZU_CLASS_PLAIN)

// A line of text that stores whatever selection it is given.
ZU_HANDLE(CGraLineTextX, CGraLineText)
class CGraLineTextX : public CGraLineText {
    ZU_CLASS(CGraLineTextX, CGraLineText)
public:
    CGraLineTextX() {}
    void ForceSelection(int s, int e)
    {
        sel_start = s;
        sel_end = e;
    }
};
ZU_CLASS_END(CGraLineTextX)
ZU_IMPLEMENT_CLASS(CGraLineTextX, "tests/app/gralinetext_test", ZU_CLASS_PLAIN)

namespace {

class CGraLineTextTest : public GraTest {
protected:
    CGraLineTextRef Text(const char* s, DPoint a = P(10, 20), DPoint b = P(60, 20))
    {
        CGraLineTextRef t = Make<CGraLineTextRef>();
        t->SetHandlePosition(0, a);
        t->SetHandlePosition(1, b);
        t->SetText(ZuStringRef(s));
        return t;
    }
    static CFontDefRef Font(const CGraObjectRef& o)
    {
        ZuObjectRef d;
        o->GetDefinition(120, d);
        return CFontDefRef(d);
    }
    static std::string Chars(const ZuStringRef& text)
    {
        std::string s;
        for (unsigned i = 0; i < text->CharacterCount(); i++)
            s += char(text->RetCharacter(i));
        return s;
    }
    static std::string Chars(const CGraLineTextRef& t) { return Chars(t->RetText()); }
    // The box of a character at the origin and its advance, in the live port.
    DRect Glyph(const CGraLineTextRef& t, int c, DPoint* advance = nullptr)
    {
        port->SetFont(Font(t));
        DRect r{0, 0, 0, 0};
        DPoint a{0, 0};
        EXPECT_TRUE(port->TextMetrics(c, r, a));
        if (advance)
            *advance = a;
        return r;
    }
    bool Key(const CGraLineTextRef& t, ZuKeyType type, int code, int value = 0, bool shift = false)
    {
        TKeyEvent* e = nullptr;
        TKeyEventRef ref = Make<TKeyEventRef>();
        e = ref.CheckAndResolve();
        e->Set(type, code, value, shift);
        return t->TextHandleEvent(port, ZuEventRef(ref));
    }
};

TEST_F(CGraLineTextTest, HandlesAndANewText)
{
    CGraLineTextRef t = Make<CGraLineTextRef>();
    EXPECT_TRUE(t->IsTextEmpty());
    EXPECT_TRUE(t->HasText());
    EXPECT_EQ(2, t->GetHandleType(0));
    EXPECT_EQ(3, t->GetHandleType(1));
    EXPECT_EQ(0, t->GetHandleType(2));
    ZuStringRef name;
    t->GetTypeName(name);
    EXPECT_EQ(0, name->CompareWith("Ligne de texte", true));
    EXPECT_EQ(20.0, Font(t)->GetScale());
    int layout[CGraLineText::LAYOUT_WORDS] = {};
    t->GetPropertyLayout(0, 0, 0, 0, layout);
    EXPECT_EQ(9, layout[4]);
    EXPECT_EQ(-1, layout[18]);
    // The baseline is made horizontal or vertical with flags 2.
    t->SetHandlePosition(0, P(0, 0));
    t->PlacePoint(P(10, 3), 2);
    EXPECT_EQ(0.0, t->GetHandlePosition(1).y);
    t->PlacePoint(P(3, 10), 2);
    EXPECT_EQ(0.0, t->GetHandlePosition(1).x);
}

TEST_F(CGraLineTextTest, KeysMoveTheCaretAndEditTheText)
{
    Live(200, 60, 1.0);
    CGraLineTextRef t = Text("Bonjour");
    // At 0 with no selection: backspace changes nothing, left collapses.
    EXPECT_FALSE(Key(t, ZU_KEY_BACKSPACE, 0));
    EXPECT_EQ("Bonjour", Chars(t));
    t->SetSelection(3, 0);
    EXPECT_TRUE(Key(t, ZU_KEY_CURSOR, ZU_CURSOR_LEFT));
    EXPECT_EQ(0, t->RetSelectionStart());
    EXPECT_EQ(0, t->RetSelectionEnd());

    // Shift+Home from a caret at 5 selects 0 .. 4; a character replaces them.
    t->SetSelection(5, 5);
    EXPECT_TRUE(Key(t, ZU_KEY_CURSOR, ZU_CURSOR_HOME, 0, true));
    EXPECT_EQ(5, t->RetSelectionStart());
    EXPECT_EQ(0, t->RetSelectionEnd());
    EXPECT_TRUE(Key(t, ZU_KEY_ALPHANUM, 0, 'X'));
    EXPECT_EQ("Xur", Chars(t));
    EXPECT_EQ(1, t->RetSelectionStart());
    EXPECT_EQ(1, t->RetSelectionEnd());

    struct Case {
        ZuKeyType type;
        int code;
        int value;
        bool shift;
        bool answer;
        const char* text;
        int start;
        int end;
    } const cases[] = {
        {ZU_KEY_CURSOR, ZU_CURSOR_END, 0, false, true, "Xur", 3, 3},
        {ZU_KEY_CURSOR, ZU_CURSOR_RIGHT, 0, false, true, "Xur", 3, 3}, // not past the end
        {ZU_KEY_CURSOR, ZU_CURSOR_LEFT, 0, true, true, "Xur", 3, 2},
        {ZU_KEY_DELETE, 0, 0, false, true, "Xu", 2, 2}, // the selection
        {ZU_KEY_DELETE, 0, 0, false, true, "Xu", 2, 2}, // nothing after the caret
        {ZU_KEY_BACKSPACE, 0, 0, false, true, "X", 1, 1},
        {ZU_KEY_ALPHANUM, 0, 0xE9, false, true, "X\xe9", 2, 2},    // Latin-1 "é"
        {ZU_KEY_ALPHANUM, 0, 0x20AC, false, false, "X\xe9", 2, 2}, // "€" has no Latin-1 byte
        {ZU_KEY_ALPHANUM, 0, 0, false, false, "X\xe9", 2, 2},
        {ZU_KEY_CURSOR, ZU_CURSOR_UP, 0, false, true, "X\xe9", 2, 2},
        {ZU_KEY_RETURN, 0, 0, false, false, "X\xe9", 2, 2},
        {ZU_KEY_CURSOR, ZU_CURSOR_HOME, 0, false, true, "X\xe9", 0, 0},
        {ZU_KEY_DELETE, 0, 0, false, true, "\xe9", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.answer, Key(t, c.type, c.code, c.value, c.shift)) << c.type << " " << c.code;
        EXPECT_EQ(c.text, Chars(t)) << c.type << " " << c.code;
        EXPECT_EQ(c.start, t->RetSelectionStart()) << c.type << " " << c.code;
        EXPECT_EQ(c.end, t->RetSelectionEnd()) << c.type << " " << c.code;
    }
}

TEST_F(CGraLineTextTest, CutCopyAndPaste)
{
    Live(200, 60, 1.0);
    CGraLineTextRef t = Text("abcdef");
    ZuStringRef out;
    t->SetSelection(2, 2);
    EXPECT_FALSE(t->TextCommand(port, out)); // nothing to cut
    EXPECT_TRUE(t->TextSetSelection(port, out));
    EXPECT_EQ(0, out->CompareWith("abcdef", true)); // copy of the whole text
    t->SetSelection(4, 1);
    EXPECT_TRUE(t->TextSetSelection(port, out));
    EXPECT_EQ(0, out->CompareWith("bcd", true));
    EXPECT_TRUE(t->TextCommand(port, out));
    EXPECT_EQ(0, out->CompareWith("bcd", true));
    EXPECT_EQ("aef", Chars(t));
    EXPECT_EQ(1, t->RetSelectionEnd());
    t->SetSelection(1, 3);
    EXPECT_TRUE(t->TextReplace(port, ZuStringRef("XYZ")));
    EXPECT_EQ("aXYZ", Chars(t));
    EXPECT_EQ(4, t->RetSelectionStart());
    EXPECT_EQ(4, t->RetSelectionEnd());
    // The caret stands after the paste.
    DPoint top, bottom;
    ASSERT_TRUE(t->GetCaret(port, top, bottom, false));
    DPoint a, x, y, z;
    Glyph(t, 'a', &a);
    Glyph(t, 'X', &x);
    Glyph(t, 'Y', &y);
    Glyph(t, 'Z', &z);
    EXPECT_NEAR(10 + a.x + x.x + y.x + z.x, top.x, 1e-6);
    EXPECT_NEAR(top.x, bottom.x, 1e-9);
    EXPECT_GT(top.y, 20.0);
    EXPECT_LT(bottom.y, 20.0);
}

TEST_F(CGraLineTextTest, DrawSendsTheStringWithItsBackslashes)
{
    Record();
    CGraLineTextRef t = Text("a(b");
    ASSERT_TRUE(t->Draw(port, 3)); // font and colour written
    recorder->Clear();
    ASSERT_TRUE(t->Draw(port, 3));
    EXPECT_EQ("10.000000 20.000000 moveto 0.000000 0 8#040 0.000000 0 (a\\(b) awidthshow \n",
              recorder->All());
    struct Case {
        const char* text;
        const char* written;
    } const cases[] = {{"x)y", "(x\\)y)"}, {"\\", "(\\\\)"}, {"()", "(\\(\\))"}};
    for (const Case& c : cases) {
        t->SetText(ZuStringRef(c.text));
        recorder->Clear();
        t->Draw(port, 3);
        EXPECT_NE(std::string::npos, recorder->All().find(std::string(c.written) + " awidthshow"))
            << recorder->All();
    }
    // Flags 0: the baseline only. An empty text writes no string.
    recorder->Clear();
    t->Draw(port, 0);
    EXPECT_EQ(std::string::npos, recorder->All().find("awidthshow"));
    EXPECT_NE(std::string::npos, recorder->All().find("lineto"));
    t->SetText(ZuStringRef(""));
    recorder->Clear();
    t->Draw(port, 3);
    EXPECT_EQ("", recorder->All());
    // Turned: translated and rotated in degrees.
    CGraLineTextRef up = Text("v", P(1, 2), P(1, 12));
    recorder->Clear();
    up->Draw(port, 3);
    EXPECT_NE(std::string::npos,
              recorder->All().find("gsave 1.000000 2.000000 translate 90.000000 rotate 0 0 moveto"))
        << recorder->All();
}

TEST_F(CGraLineTextTest, SelectionHighlightFrameAndShadow)
{
    Live(200, 60, 1.0);
    CGraLineTextRef t = Text("abc");
    GraRecorderRef spy = Make<GraRecorderRef>();
    // Measures come from the interpreter first; then the port writes to a
    // recorder (the measures stay cached).
    t->SetSelection(0, 2);
    DPoint top, bottom;
    ASSERT_TRUE(t->GetCaret(port, top, bottom, true));
    port->SetTarget(spy);
    t->SetEditMode(2);
    ASSERT_TRUE(t->Draw(port, 3));
    std::string all = spy->All();
    const size_t fill = all.find("1.000000 1.000000 0.000000 setrgbcolor");
    const size_t text = all.find("(abc) awidthshow");
    ASSERT_NE(std::string::npos, fill) << all;
    EXPECT_LT(fill, all.find("eofill"));
    EXPECT_LT(all.find("eofill"), text);

    // Flags 0x40: the frame as four lines, no text.
    spy->Clear();
    ASSERT_TRUE(t->Draw(port, 0x40));
    all = spy->All();
    EXPECT_EQ(std::string::npos, all.find("awidthshow"));
    size_t lines = 0;
    for (size_t at = all.find("lineto"); at != std::string::npos; at = all.find("lineto", at + 1))
        lines++;
    EXPECT_EQ(4u, lines);

    // The shadow: with 4, neither 8 nor 16, and a position other than 120.
    CPositionDefRef where = Make<CPositionDefRef>();
    where->SetValue(119);
    t->SetDefinition(100, where);
    t->SetDefinition(105, Make<CColorDefRef>());
    for (int flags : {4, 12, 3}) {
        spy->Clear();
        EXPECT_TRUE(t->DrawShadow(port, flags));
        EXPECT_EQ(flags == 4, spy->All().find("awidthshow") != std::string::npos) << flags;
    }
    CGraTransform back;
    port->GetTransform(back);
    EXPECT_EQ(0.0, back.dx);
}

TEST_F(CGraLineTextTest, AnEmptyTextMeasuresACapitalAndADescender)
{
    Live(200, 100, 2.0);
    CGraLineTextRef t = Text("", P(10, 20), P(40, 20));
    ASSERT_TRUE(t->UpdateBoundingBox(port));
    const DRect e = Glyph(t, 'E');
    const DRect p = Glyph(t, 'p');
    const DRect box = t->GetBoundingBox();
    EXPECT_NEAR(10 + Min(e.x1, p.x1), box.x1, 1e-6);
    EXPECT_NEAR(20 + p.y1, box.y1, 1e-6);
    EXPECT_NEAR(10 + Max(e.x2, p.x2), box.x2, 1e-6);
    EXPECT_NEAR(20 + e.y2, box.y2, 1e-6);
    EXPECT_LT(box.y1, 20.0);
    EXPECT_GT(box.y2, 33.0); // a capital of a size-20 font
    const DPoint end = t->GetHandlePosition(1);
    EXPECT_NEAR(20.0, end.x, 1e-9);
    EXPECT_NEAR(20.0, end.y, 1e-9);
    EXPECT_TRUE(t->IsTextEmpty());

    // Inclined at 45 degrees, the end stays 10.0 away along the baseline.
    CGraLineTextRef d = Text("", P(0, 0), P(5, 5));
    ASSERT_TRUE(d->UpdateBoundingBox(port));
    EXPECT_NEAR(10.0 / std::sqrt(2.0), d->GetHandlePosition(1).x, 1e-6);
    EXPECT_NEAR(10.0 / std::sqrt(2.0), d->GetHandlePosition(1).y, 1e-6);
}

TEST_F(CGraLineTextTest, MeasuresHitsAndCaretOfAText)
{
    Live(300, 100, 2.0);
    CGraLineTextRef t = Text("Hip", P(10, 20), P(11, 20));
    ASSERT_TRUE(t->UpdateBoundingBox(port));
    DPoint h, i, p;
    const DRect hb = Glyph(t, 'H', &h);
    Glyph(t, 'i', &i);
    Glyph(t, 'p', &p);
    EXPECT_NEAR(10 + h.x + i.x + p.x, t->GetHandlePosition(1).x, 1e-6);
    // Inside the H: a hit; between its bars above the crossbar: a miss.
    EXPECT_TRUE(t->HitTest(port, P(10 + (hb.x1 + hb.x2) / 2, 20 + (hb.y1 + hb.y2) / 2), 1, 0));
    EXPECT_FALSE(t->HitTest(port, P(100, 20), 1, 0));
    EXPECT_TRUE(t->TextHitTest(port, P(12, 21)));
    EXPECT_FALSE(t->TextHitTest(port, P(12, 60)));

    // A click at the middle of a character's advance puts the caret after it.
    t->TextSetCursor(port, P(10 + h.x / 2, 25));
    EXPECT_EQ(1, t->RetSelectionEnd());
    t->TextSetCursor(port, P(10 + h.x / 2 - 0.01, 25));
    EXPECT_EQ(0, t->RetSelectionEnd());
    EXPECT_FALSE(t->TextExtendSelection(port, P(10 + h.x / 2 - 0.01, 25)));
    EXPECT_TRUE(t->TextExtendSelection(port, P(200, 25)));
    EXPECT_EQ(3, t->RetSelectionEnd());
    EXPECT_EQ(0, t->RetSelectionStart());
}

TEST_F(CGraLineTextTest, ATurnedTextMeasuresInItsOwnFrame)
{
    Live(200, 200, 2.0);
    // The end straight above the start: the text reads upwards.
    CGraLineTextRef t = Text("Hi", P(50, 10), P(50, 40));
    ASSERT_TRUE(t->UpdateBoundingBox(port));
    DPoint h, i;
    const DRect hb = Glyph(t, 'H', &h);
    Glyph(t, 'i', &i);
    const DRect e = Glyph(t, 'E');
    const DRect p = Glyph(t, 'p');
    const DRect box = t->GetBoundingBox();
    // Upright: across the baseline the box spans the descender to the
    // capital, along it the advances.
    EXPECT_NEAR(50 - e.y2, box.x1, 1e-6);
    EXPECT_NEAR(50 - p.y1, box.x2, 1e-6);
    EXPECT_LE(box.y1, 10 + hb.x1 + 1e-6);
    EXPECT_NEAR(50.0, t->GetHandlePosition(1).x, 1e-6);
    EXPECT_NEAR(10 + h.x + i.x, t->GetHandlePosition(1).y, 1e-6);
    // A point inside the turned H hits; its unturned place does not.
    EXPECT_TRUE(t->HitTest(port, P(50 - (hb.y1 + hb.y2) / 2, 10 + (hb.x1 + hb.x2) / 2), 1, 0));
    EXPECT_FALSE(t->HitTest(port, P(50 + (hb.x1 + hb.x2) / 2, 10 + (hb.y1 + hb.y2) / 2), 1, 0));
    EXPECT_TRUE(t->TextHitTest(port, P(45, 12)));
    EXPECT_FALSE(t->TextHitTest(port, P(60, 12)));
    // The caret is horizontal on the page.
    DPoint top, bottom;
    t->SetSelection(1, 1);
    ASSERT_TRUE(t->GetCaret(port, top, bottom, true));
    EXPECT_NEAR(top.y, bottom.y, 1e-9);
    EXPECT_NEAR(10 + h.x, top.y, 1e-6);
    EXPECT_LT(top.x, bottom.x);
}

TEST_F(CGraLineTextTest, ALongLineIsDrawnWhole)
{
    const int w = 420, h = 40;
    Live(w, h, 1.0);
    const std::string chars(150, 'n');
    CGraLineTextRef t = Text(chars.c_str(), P(4, 10), P(5, 10));
    Font(t)->SetScale(4.0);
    ASSERT_TRUE(t->UpdateBoundingBox(port));
    ASSERT_TRUE(t->Draw(port, 3));
    display->ReadBack();
    const unsigned char* pixels = display->RetBuffer();
    ASSERT_NE(nullptr, pixels);
    const size_t row = display->RetRowBytes();
    int left = w, right = -1;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const unsigned char* px = pixels + size_t(y) * row + size_t(x) * 3;
            if (px[0] < 128 && px[1] < 128 && px[2] < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    const DRect box = t->GetBoundingBox();
    EXPECT_GT(box.x2 - box.x1, 300.0);
    EXPECT_NEAR(box.x1, left, 1.5);
    EXPECT_NEAR(box.x2, right + 1, 1.5);
}

TEST_F(CGraLineTextTest, TransformScalesTheFontWithTheMeanFactor)
{
    CGraLineTextRef t = Text("x", P(1, 1), P(3, 1));
    Font(t)->SetScale(8.0);
    ChangeRecord scale = {};
    scale.kind = 2;
    scale.a = P(0, 0);
    scale.c = P(2, 0.5);
    t->SaveGeometry(scale);
    EXPECT_TRUE(t->Transform(scale, 2));
    EXPECT_NEAR(10.0, Font(t)->GetScale(), 1e-12);
    EXPECT_NEAR(2.0, t->GetHandlePosition(0).x, 1e-12);
    EXPECT_NEAR(6.0, t->GetHandlePosition(1).x, 1e-12);
    // Without flags 2, or with a selected end, the size is left alone.
    Font(t)->SetScale(9.0);
    EXPECT_TRUE(t->Transform(scale, 0));
    EXPECT_EQ(9.0, Font(t)->GetScale());
    t->SelectHandle(1);
    EXPECT_TRUE(t->Transform(scale, 2));
    EXPECT_EQ(9.0, Font(t)->GetScale());
    EXPECT_NEAR(6.0, t->GetHandlePosition(1).x, 1e-12) << "a selected end stays";
    EXPECT_NEAR(2.0, t->GetHandlePosition(0).x, 1e-12);
}

TEST_F(CGraLineTextTest, AStoredTextHoldingAZeroKeepsEveryCharacter)
{
    // A document may hold "Bonjour", a zero and "monde" (no key types a
    // zero, but a stored string carries any byte): the text is counted,
    // never cut at the zero.
    const std::string hello("Bonjour\0monde", 13);
    CGraLineTextRef made = Text("Bonjour_monde");
    made->RetText()->SetCharacter(7, 0);
    CGraLineTextRef t(RoundTrip(made));
    ASSERT_TRUE(t.IsValid());
    EXPECT_EQ(hello, Chars(t));

    Live(300, 60, 1.0);
    struct Case {
        ZuKeyType type;
        int code;
        int value;
        bool shift;
        std::string text;
        int start;
        int end;
    } const cases[] = {
        {ZU_KEY_CURSOR, ZU_CURSOR_END, 0, false, hello, 13, 13},
        {ZU_KEY_ALPHANUM, 0, 'x', false, std::string("Bonjour\0mondex", 14), 14, 14},
        {ZU_KEY_BACKSPACE, 0, 0, false, hello, 13, 13},
        {ZU_KEY_CURSOR, ZU_CURSOR_LEFT, 0, false, hello, 12, 12},
        {ZU_KEY_ALPHANUM, 0, 'y', false, std::string("Bonjour\0mondye", 14), 13, 13},
    };
    for (const Case& c : cases) {
        Key(t, c.type, c.code, c.value, c.shift);
        EXPECT_EQ(c.text, Chars(t)) << c.type << " " << c.code;
        EXPECT_EQ(c.start, t->RetSelectionStart()) << c.type << " " << c.code;
        EXPECT_EQ(c.end, t->RetSelectionEnd()) << c.type << " " << c.code;
    }
    // Cut across the zero and paste back: nothing lost.
    t->SetSelection(5, 10);
    ZuStringRef cut;
    ASSERT_TRUE(t->TextCommand(port, cut));
    EXPECT_EQ(std::string("ur\0mo", 5), Chars(cut));
    EXPECT_EQ("Bonjondye", Chars(t));
    ASSERT_TRUE(t->TextReplace(port, cut));
    EXPECT_EQ(std::string("Bonjour\0mondye", 14), Chars(t));
    EXPECT_EQ(10, t->RetSelectionStart());
    EXPECT_EQ(10, t->RetSelectionEnd());

    // Stored again, the whole text and its selection come back.
    CGraLineTextRef back(RoundTrip(t));
    EXPECT_EQ(std::string("Bonjour\0mondye", 14), Chars(back));
    EXPECT_EQ(10, back->RetSelectionEnd());

    // The PostScript string carries the zero as it is (any byte is allowed
    // in a string literal but the parentheses and the backslash).
    Record();
    ASSERT_TRUE(back->Draw(port, 3));
    EXPECT_NE(std::string::npos,
              recorder->All().find(std::string("(Bonjour\0mondye) awidthshow", 27)))
        << recorder->All();
}

TEST_F(CGraLineTextTest, StoredRecordCopyAndClampedSelection)
{
    CGraLineTextRef t = Text("caf\xe9", P(1.5, 2), P(30, 4));
    Font(t)->SetScale(12.0);
    ZuObjectRef colour;
    t->GetDefinition(125, colour);
    CColorDefRef(colour)->SetRGB(0.0, 0.0, 1.0);
    t->SetSelection(1, 3);
    t->SetEditMode(2);
    Record();
    recorder->answers.clear();
    for (int round = 0; round < 2; round++) {
        CGraLineTextRef back = CGraLineTextRef(StoredOrCopied(t, round));
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ("caf\xe9", Chars(back));
        EXPECT_FALSE(back->RetText() == t->RetText());
        EXPECT_EQ(1, back->RetSelectionStart());
        EXPECT_EQ(3, back->RetSelectionEnd());
        EXPECT_EQ(2, back->GetEditMode());
        EXPECT_EQ(12.0, Font(back)->GetScale());
        EXPECT_FALSE(Font(back) == Font(t));
        EXPECT_EQ(1.5, back->GetHandlePosition(0).x);
        EXPECT_EQ(4.0, back->GetHandlePosition(1).y);
        ZuObjectRef c;
        back->GetDefinition(125, c);
        EXPECT_TRUE(CColorDefRef(c)->IsEqualCurrent(CColorDefRef(colour)));
    }

    // A stored selection beyond the text comes back within it, and cutting
    // it stays inside the string.
    CGraLineTextXRef wide = Make<CGraLineTextXRef>();
    wide->SetText(ZuStringRef("abc"));
    wide->ForceSelection(-7, 1000);
    CGraLineTextRef back(RoundTrip(wide));
    EXPECT_EQ(0, back->RetSelectionStart());
    EXPECT_EQ(3, back->RetSelectionEnd());
    Live(100, 40, 1.0);
    ZuStringRef cut;
    EXPECT_TRUE(back->TextCommand(port, cut));
    EXPECT_EQ(0, cut->CompareWith("abc", true));
    EXPECT_TRUE(back->IsTextEmpty());

    // Cut anywhere: the stream error.
    const std::vector<unsigned char> whole = Stored(t);
    for (size_t n = 0; n < whole.size(); n++) {
        const std::vector<unsigned char> part(whole.begin(), whole.begin() + long(n));
        EXPECT_THROW(Restored(part), ZuExcStream) << n;
    }
}

} // namespace
