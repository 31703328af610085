// The single-line text entry as a user meets it: positions and scrolling,
// the editing keys, clicks and pointer selection, the pointer shapes, the
// secret mode, the blinking cursor, dragging the selection out, dropping
// strings in, the stored form, and the checker's highlight.
#include <gtest/gtest.h>

#include <string>

#include "si/checker.h"
#include "si/event.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/values.h"
#include "si/textcaption.h"
#include "si/textline.h"
#include "tests/support/controls.h"
#include "tests/support/latinkeys.h"
#include "tests/support/views.h"
#include "w32/cursor.h"
#include "w32/headless.h"
#include "w32/winuser.h"

// An object that carries a string as its "drag_object", like a drag view.
ZU_HANDLE(TDropCarrier, ZuObject)
class TDropCarrier : public ZuObject {
    ZU_CLASS(TDropCarrier, ZuObject)
public:
    TDropCarrier() {}
    void Delete() override
    {
        carried = ZuStringRef();
        ZuObject::Delete();
    }
    ZuStringRef carried;
};
ZU_CLASS_END(TDropCarrier)
ZU_IMPLEMENT_CLASS(TDropCarrier, "textline_test", ZU_CLASS_PLAIN)

static void GetCarried(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(static_cast<TDropCarrier*>(o)->carried));
}
static void DeclareCarrierData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&TDropCarrierRef::RetRuntime(), "drag_object", "Dragged", &ZuString_type, true, false,
         &GetCarried, nullptr},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
static Zuvi_PubDataExport carrier_data(&DeclareCarrierData);

// A checker whose verdict display a test calls directly.
ZU_HANDLE(TChecker, ZuChecker)
class TChecker : public ZuChecker {
    ZU_CLASS(TChecker, ZuChecker)
public:
    TChecker() {}
    bool Hilite(const ZuValidityRecord& r) const { return HiliteSourceError(r); }
};
ZU_CLASS_END(TChecker)
ZU_IMPLEMENT_CLASS(TChecker, "textline_test", ZU_CLASS_PLAIN)

namespace {

std::string Latin(const ZuStringRef& s)
{
    if (s.IsInvalid())
        return "<none>";
    const char* latin = s->AccessLatin();
    return latin != nullptr ? std::string(latin) : std::string();
}

// What a drag out of a line hands over, caught instead of a drag view.
std::string dragged_caption;
std::string dragged_string;
bool CatchDrag(const ZuTextLineRef&, const ZuTextCaptionRef& caption, const ZuStringRef& s)
{
    dragged_caption = Latin(caption->RetText());
    dragged_string = Latin(s);
    return true;
}

class TextLineTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        line = ZuNew<ZuTextLine>(Zuvi_app_zone);
        line->SetBox(ZuRect(10, 10, 109, 29));
        line->SetParent(w);
        ASSERT_TRUE(line->RetFont().IsValid());
        f = ZuLookMan::Current()->RetWidgetFrameSize();
        reports->Watch(line, {"notify_user_text_changed", "notify_auto_text_changed"});
        saved_drag_begin = ZuTextLine::drag_calls.begin;
        ZuTextLine::drag_calls.begin = &CatchDrag;
        dragged_caption.clear();
        dragged_string.clear();
    }
    void TearDown() override
    {
        ZuTextLine::drag_calls.begin = saved_drag_begin;
        line = ZuTextLineRef();
        ControlTest::TearDown();
    }
    bool (*saved_drag_begin)(const ZuTextLineRef&, const ZuTextCaptionRef&,
                             const ZuStringRef&) = nullptr;
    double Width(const char* s) const { return line->RetFont()->ComputeTextWidth(s); }
    // The window x of the text's start (the line is not scrolled).
    double TextX() const { return 10 + f + 2 + line->RetScrollOffset(); }
    void Set(const char* s)
    {
        line->SetText(ZuStringRef(s));
        reports->Clear();
    }
    // Clicks at a window point (press and release).
    void Click(double x, double y)
    {
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    // Gives the line the focus by a click at the end of its text.
    void Focus() { Click(105, 20); }
    std::string Range() const
    {
        return std::to_string(line->RetHiliteBegin()) + "-" + std::to_string(line->RetHiliteEnd()) +
               "@" + std::to_string(line->RetCursorPos());
    }
    // The name of the look's cursor on show; the shown cursor stays.
    static std::string ShownCursor()
    {
        W32_Cursor* c = W32_HeadlessShownCursor();
        ZuLookManRef look = ZuLookMan::Current();
        std::string found = "?";
        for (const char* name : {"Zuvi_CursorIBeam", "Zuvi_CursorNormal"}) {
            look->SelectCursor(ZuAtomRef(name));
            if (W32_HeadlessShownCursor() == c)
                found = name;
        }
        if (found != "?")
            look->SelectCursor(ZuAtomRef(found.c_str()));
        return found;
    }

    ZuTextLineRef line;
    double f = 0;
};

TEST_F(TextLineTest, APressOnACharactersHalvesPutsTheCursorBeforeOrAfterIt)
{
    Set("WiW");
    const double w0 = Width("W"), w1 = Width("i");
    struct Case {
        double x;
        unsigned pos;
    } cases[] = {{TextX() - 5, 0},
                 {TextX() + w0 / 2 - 0.5, 0},
                 {TextX() + w0 / 2 + 0.5, 1},
                 {TextX() + w0 + w1 / 2 + 0.5, 2},
                 {TextX() + 2 * w0 + w1 + 10, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(line->ComputePos(c.x, 20), c.pos) << c.x;
}

TEST_F(TextLineTest, ScrollingKeepsTheCursor16PixelsInsideAndTheEndNoFurtherThan4)
{
    Set("abc");
    EXPECT_EQ(line->RetScrollOffset(), 0);
    line->SetCursorPos(0);
    EXPECT_EQ(line->RetScrollOffset(), 0);

    Set("a long text that cannot fit in the hundred pixels of the line");
    const double available = 100 - 2 * (f + 2);
    // At the end: the text's end 4 pixels short of the right edge.
    EXPECT_DOUBLE_EQ(line->RetScrollOffset(), available - line->RetTextWidth() - 4);
    // Back to the start: the text never goes right of its start.
    line->SetCursorPos(0);
    EXPECT_EQ(line->RetScrollOffset(), 0);
    // Going right past the edge: 16 pixels from the right edge.
    line->SetCursorPos(30);
    EXPECT_DOUBLE_EQ(line->RetCursorX() + line->RetScrollOffset(), available - 16);
    // Going left past the edge: 16 pixels from the left edge.
    line->SetCursorPos(500);
    line->SetCursorPos(20);
    EXPECT_DOUBLE_EQ(line->RetCursorX() + line->RetScrollOffset(), 16);

    // Past the end goes to the end; the same position twice does nothing.
    const unsigned length = line->RetText()->CharacterCount();
    EXPECT_TRUE(line->SetCursorPos(500));
    EXPECT_EQ(line->RetCursorPos(), length);
    const double offset = line->RetScrollOffset();
    EXPECT_TRUE(line->SetCursorPos(length));
    EXPECT_EQ(line->RetCursorPos(), length);
    EXPECT_EQ(line->RetScrollOffset(), offset);
}

TEST_F(TextLineTest, ProgramChangesAndUserChangesAreReportedUnderTheirNames)
{
    line->SetText(ZuStringRef("abc"));
    EXPECT_EQ(reports->log, "notify_auto_text_changed(0) ");
    EXPECT_EQ(line->RetCursorPos(), 3u);
    reports->Clear();
    Focus();
    reports->Clear();
    Tap('D', 0x20);
    EXPECT_EQ(Latin(line->RetText()), "abcd");
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
    reports->Clear();
    line->Clear();
    EXPECT_EQ(Latin(line->RetText()), "");
    EXPECT_EQ(line->RetCursorPos(), 0u);
    EXPECT_EQ(reports->log, "notify_auto_text_changed(0) ");
}

TEST_F(TextLineTest, EditingKeys)
{
    Set("abc");
    Focus();
    // BACKSPACE at 0 without a selection: nothing at all.
    Tap(VK_HOME, 0x47);
    reports->Clear();
    Tap(VK_BACK, 0x0E);
    EXPECT_EQ(Latin(line->RetText()), "abc");
    EXPECT_EQ(reports->log, "");
    // DELETE at the end removes nothing but reports.
    Tap(VK_END, 0x4F);
    Tap(VK_DELETE, 0x53);
    EXPECT_EQ(Latin(line->RetText()), "abc");
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
    Tap(VK_BACK, 0x0E);
    EXPECT_EQ(Latin(line->RetText()), "ab");
    EXPECT_EQ(line->RetCursorPos(), 2u);
    Tap(VK_HOME, 0x47);
    Tap(VK_DELETE, 0x53);
    EXPECT_EQ(Latin(line->RetText()), "b");
    EXPECT_EQ(line->RetCursorPos(), 0u);
}

TEST_F(TextLineTest, ShiftExtendsTheSelectionAndASelectionIsDeletedWhole)
{
    Set("abcdefgh");
    Focus();
    line->SetHiliteRange(0, 0, false);
    line->SetCursorPos(2);
    Key(VK_SHIFT, 0x2A, true);
    for (int i = 0; i < 3; ++i)
        Tap(VK_RIGHT, 0x4D);
    EXPECT_EQ(Range(), "2-5@5");
    Tap(VK_LEFT, 0x4B);
    Key(VK_SHIFT, 0x2A, false);
    EXPECT_EQ(Range(), "2-4@4");
    Tap(VK_BACK, 0x0E);
    EXPECT_EQ(Latin(line->RetText()), "abefgh");
    EXPECT_EQ(Range(), "0-0@2");
    // Typing replaces a selection.
    line->SetHiliteRange(1, 3, false);
    Tap('X', 0x2D);
    EXPECT_EQ(Latin(line->RetText()), "axfgh");
}

TEST_F(TextLineTest, ControlArrowsMoveByWords)
{
    Set("one two  three");
    Focus();
    struct Case {
        unsigned from;
        UINT key;
        unsigned to;
    } cases[] = {
        {6, VK_LEFT, 4},   // inside "two": its start
        {4, VK_LEFT, 0},   // just after a blank: the word before
        {9, VK_LEFT, 4},   // after two blanks: the word before
        {0, VK_RIGHT, 3},  // the blank after "one"
        {3, VK_RIGHT, 7},  // the blank after "two"
        {7, VK_RIGHT, 14}, // no blank after "three": the end
    };
    for (const Case& c : cases) {
        line->SetCursorPos(c.from);
        Key(VK_CONTROL, 0x1D, true);
        Tap(c.key, c.key == VK_LEFT ? 0x4B : 0x4D);
        Key(VK_CONTROL, 0x1D, false);
        EXPECT_EQ(line->RetCursorPos(), c.to) << c.from;
    }
}

TEST_F(TextLineTest, AReadOnlyLineIgnoresEveryKey)
{
    ZuTextLineRef other = ZuNew<ZuTextLine>(Zuvi_app_zone);
    other->SetBox(ZuRect(10, 40, 109, 59));
    other->SetParent(w);
    Set("abc");
    Focus();
    line->SetEditMode(false);
    reports->Clear();
    for (UINT vk : {UINT('Q'), UINT(VK_BACK), UINT(VK_LEFT), UINT(VK_TAB), UINT(VK_RETURN)})
        Tap(vk, 0x10);
    EXPECT_EQ(Latin(line->RetText()), "abc");
    EXPECT_EQ(line->RetCursorPos(), 3u);
    EXPECT_EQ(reports->log, "");
    // TAB did not move the focus to the other line.
    ZuViewRef main;
    ASSERT_TRUE(w->GetMainResponder(main));
    EXPECT_TRUE(main == line);
}

TEST_F(TextLineTest, OnlyOneByteCharactersAreTyped)
{
    Set("ab");
    Focus();
    reports->Clear();
    TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_KEY_DOWN);
    // U+0152 would become 'R' if only its low byte counted.
    e->Key(ZU_KEY_ALPHANUM, 0, 0x152);
    line->KeyDown(e);
    EXPECT_EQ(Latin(line->RetText()), "ab");
    EXPECT_EQ(reports->log, "");
    e->Key(ZU_KEY_ALPHANUM, 0, 0xE9);
    line->KeyDown(e);
    EXPECT_EQ(Latin(line->RetText()), "ab\xE9");
}

TEST_F(TextLineTest, KeysGivingLatinOneCharactersTypeThemAndOthersNothing)
{
    Set("");
    Focus();
    InjectLatinKeys();
    Pump();
    EXPECT_EQ(Latin(line->RetText()), "\xC9t\xE9 \xE0 No\xEBl");
}

TEST_F(TextLineTest, DoubleAndTripleClicksSelectAWordAndAll)
{
    Set("one two  three");
    const double y = 20;
    // A double click in "two" selects it.
    const double in_two = TextX() + Width("one t") + 1;
    Click(in_two, y);
    Click(in_two, y);
    EXPECT_EQ(line->RetHiliteBegin(), 4u);
    EXPECT_EQ(line->RetHiliteEnd(), 7u);
    // A triple click selects all.
    Click(in_two, y);
    EXPECT_EQ(line->RetHiliteBegin(), 0u);
    EXPECT_EQ(line->RetHiliteEnd(), 14u);
    Advance(1000);
    // A double click on the blank between two blanks selects nothing.
    const double between = TextX() + Width("one two ") + 1;
    Click(between, y);
    Click(between, y);
    EXPECT_FALSE(line->IsHilited());
}

TEST_F(TextLineTest, APointerDragSelectsFromThePressPoint)
{
    Set("abcdefgh");
    const double y = 20;
    Mouse(TextX() + Width("ab"), y, MK_LBUTTON);
    Mouse(TextX() + Width("abcde"), y, MK_LBUTTON);
    EXPECT_EQ(line->RetHiliteBegin(), 2u);
    EXPECT_EQ(line->RetHiliteEnd(), 5u);
    Mouse(TextX() + Width("abcde"), y, 0);
    EXPECT_EQ(Range(), "2-5@5");
    // A press inside the selection and a release without motion place the
    // cursor there and clear the selection.
    Advance(1000);
    Click(TextX() + Width("abc"), y);
    EXPECT_EQ(Range(), "0-0@3");
}

TEST_F(TextLineTest, AutomaticScrollingIsAskedOnlyNearTheEdges)
{
    Set("abc");
    double angle = 1, speed = 1;
    // 16 pixels inside both text edges: no scrolling, and no least speed.
    EXPECT_FALSE(line->DetectAutoScroll(10 + f + 2 + 16, 20, angle, speed));
    EXPECT_EQ(speed, 0);
    EXPECT_FALSE(line->DetectAutoScroll(109 - f - 2 - 16, 20, angle, speed));
    EXPECT_TRUE(line->DetectAutoScroll(10 + f + 2 + 15.5, 20, angle, speed));
    EXPECT_DOUBLE_EQ(speed, 0.1);
    EXPECT_EQ(angle, 0);
    EXPECT_TRUE(line->DetectAutoScroll(109 + 10, 20, angle, speed));
    EXPECT_EQ(angle, 180);
}

TEST_F(TextLineTest, ThePointerIsAnIBeamOverTheTextOnEnteringAndPressing)
{
    ZuGrailPixmapRef sheet = NewPixmap(32, 16, 16);
    ASSERT_TRUE(ZuLookMan::Current()->AddUserCursor(ZuAtomRef("Zuvi_CursorIBeam"), sheet,
                                                    ZuRect(0, 0, 15, 15), 1, 1));
    Set("abcdef");
    Mouse(150, 60, 0);
    Mouse(30, 20, 0);
    EXPECT_EQ(ShownCursor(), "Zuvi_CursorIBeam");
    // Plain motion over the line shows the normal pointer.
    Mouse(32, 20, 0);
    EXPECT_EQ(ShownCursor(), "Zuvi_CursorNormal");
    Mouse(32, 20, MK_LBUTTON);
    EXPECT_EQ(ShownCursor(), "Zuvi_CursorIBeam");
    Mouse(32, 20, 0);
    // Over the selection: the normal pointer.
    line->SetFullHilite();
    Mouse(150, 60, 0);
    Mouse(TextX() + 2, 20, 0);
    EXPECT_EQ(ShownCursor(), "Zuvi_CursorNormal");
}

TEST_F(TextLineTest, SecretTextMeasuresAndDrawsAsterisksAndIsNeverDragged)
{
    line->SetSecretMode(true);
    Set("pa ss");
    EXPECT_DOUBLE_EQ(line->RetTextWidth(), 5 * Width("*"));
    // The pixels equal those of a plain line showing five asterisks.
    ZuTextLineRef plain = ZuNew<ZuTextLine>(Zuvi_app_zone);
    plain->SetBox(ZuRect(10, 50, 109, 69));
    plain->SetParent(w);
    plain->SetText(ZuStringRef("*****"));
    w->Display(true);
    for (int x = 10; x < 110; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_EQ(WindowPixel(x, 10 + y), WindowPixel(x, 50 + y)) << x << "," << y;
    line->SetFullHilite();
    line->SetupDelayedDrag(TextX() + 2, 20);
    EXPECT_FALSE(line->IsDragArmed());
}

TEST_F(TextLineTest, TheCursorBlinksOnlyWithFocusAndWithoutSelection)
{
    Set("abc");
    const int on = int(ZuLookMan::Current()->RetCursorOnTime());
    const int off = int(ZuLookMan::Current()->RetCursorOffTime());
    const bool phase = line->RetCursorVisible();
    for (int i = 0; i < 4; ++i) {
        Advance(off);
        EXPECT_EQ(line->RetCursorVisible(), phase);
    }
    Focus();
    EXPECT_TRUE(line->RetCursorVisible());
    Advance(off - 1);
    EXPECT_TRUE(line->RetCursorVisible());
    Advance(1);
    EXPECT_FALSE(line->RetCursorVisible());
    // On screen: the cursor's column, then the line's background.
    const int cx = int(TextX() + line->RetCursorX());
    const unsigned hidden = WindowPixel(cx, 20);
    Advance(on - 1);
    EXPECT_FALSE(line->RetCursorVisible());
    Advance(1);
    EXPECT_TRUE(line->RetCursorVisible());
    const unsigned shown = WindowPixel(cx, 20);
    EXPECT_NE(shown, hidden);
    EXPECT_EQ(hidden, WindowPixel(cx + 3, 20));
    // A selection freezes the phase.
    line->SetFullHilite();
    Advance(off + on + off);
    EXPECT_TRUE(line->RetCursorVisible());

    // Taking the focus back without keeping selects all, cursor at the end.
    line->SetHiliteRange(0, 0, false);
    line->SetCursorPos(1);
    line->BecomeMain(false);
    EXPECT_EQ(Range(), "0-3@3");
}

TEST_F(TextLineTest, DraggingASelectionShowsItsFirstTenCharactersAndCopies)
{
    Set("abcdefghijklmn");
    line->SetHiliteRange(1, 13, false);
    const double x = TextX() + Width("abc");
    Mouse(x, 20, MK_LBUTTON);
    EXPECT_TRUE(line->IsDragArmed());
    EXPECT_EQ(dragged_caption, "");
    Advance(int(ZuLookMan::Current()->RetDoubleClickDelay()));
    EXPECT_EQ(dragged_caption, "bcdefghijk...");
    EXPECT_EQ(dragged_string, "bcdefghijklm");
    Mouse(x, 20, 0);
    EXPECT_EQ(Latin(line->RetText()), "abcdefghijklmn");
    // Ten or fewer characters go without the dots.
    dragged_caption.clear();
    line->SetHiliteRange(0, 10, false);
    line->StartDelayedDrag();
    EXPECT_EQ(dragged_caption, "abcdefghij");
}

class TextLineDropTest : public TextLineTest {
protected:
    ZuObjectRef Carrier(const char* s)
    {
        TDropCarrierRef c(ZuNew<TDropCarrier>(Zuvi_app_zone));
        c->carried = ZuStringRef(s);
        return c;
    }
    void Drop(const ZuObjectRef& c, double x)
    {
        const ZuRect at(x, 15, x, 25);
        EXPECT_TRUE(line->DragAndDrop(at, c, ZU_DDP_DRAGnDROP_ENTER));
        EXPECT_TRUE(line->DragAndDrop(at, c, ZU_DDP_DRAGnDROP_MOTION));
        EXPECT_TRUE(line->DragAndDrop(at, c, ZU_DDP_DRAGnDROP_COMMIT));
    }
};

TEST_F(TextLineDropTest, ADroppedStringGoesInAtTheDropCaretAsAUserChange)
{
    Set("abcd");
    line->ChangeState(ZU_VIEW_OK_DROP, true, false);
    Drop(Carrier("XY"), TextX() + Width("ab"));
    EXPECT_EQ(Latin(line->RetText()), "abXYcd");
    EXPECT_EQ(line->RetCursorPos(), 4u);
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
}

TEST_F(TextLineDropTest, ItsOwnSelectionDroppedOnItselfChangesNothingButIsReported)
{
    Set("abcdef");
    line->ChangeState(ZU_VIEW_OK_DROP, true, false);
    line->SetHiliteRange(1, 4, false);
    line->StartDelayedDrag();
    ASSERT_EQ(dragged_string, "bcd");
    reports->Clear();
    Drop(Carrier("bcd"), TextX() + Width("ab"));
    EXPECT_EQ(Latin(line->RetText()), "abcdef");
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
}

TEST_F(TextLineDropTest, AReadOnlyLineOrOneThatTakesNoDropsLeavesItToTheControl)
{
    Set("abcd");
    line->ChangeState(ZU_VIEW_OK_DROP, false, false);
    Drop(Carrier("XY"), TextX());
    line->ChangeState(ZU_VIEW_OK_DROP, true, false);
    line->SetEditMode(false);
    Drop(Carrier("XY"), TextX());
    EXPECT_EQ(Latin(line->RetText()), "abcd");
    EXPECT_EQ(reports->log, "");
}

// With the drag view the library brings, the selection is carried out
// of the line under the pointer and dropped into another line.
TEST_F(TextLineTest, ASelectionDraggedOutDropsIntoAnotherLine)
{
    ZuTextLine::drag_calls.begin = saved_drag_begin;
    ASSERT_NE(saved_drag_begin, nullptr);
    ZuTextLineRef other(ZuNew<ZuTextLine>(Zuvi_app_zone));
    other->SetBox(ZuRect(10, 50, 109, 69));
    other->SetParent(w);
    other->SetText(ZuStringRef("XY"));
    other->ChangeState(ZU_VIEW_OK_DROP, true, false);
    Set("abcdef");
    line->SetHiliteRange(1, 4, false);
    const double x = TextX() + Width("ab");
    Mouse(x, 20, MK_LBUTTON);
    Advance(int(ZuLookMan::Current()->RetDoubleClickDelay()));
    EXPECT_FALSE(line->IsDragArmed());
    const double end = TextX() + Width("XY") + 6;
    Mouse(end - 2, 60, MK_LBUTTON);
    Mouse(end, 60, MK_LBUTTON);
    Mouse(end, 60, 0);
    EXPECT_EQ(Latin(other->RetText()), "XYbcd");
    EXPECT_EQ(Latin(line->RetText()), "abcdef");
}

TEST_F(TextLineTest, TheStoredFormKeepsPositionsAndModesAndOutOfRangeOnesAreCut)
{
    Set("hello");
    line->SetHiliteRange(1, 3, false);
    line->SetSecretMode(true);
    line->SetFramelessMode(true);
    ZuObjectRef back = StoreAndRestore(line);
    ASSERT_TRUE(back.IsValid() && back->IsKindOf(ZuTextLineRef::RetRuntime()));
    ZuTextLineRef copy(back);
    EXPECT_EQ(Latin(copy->RetText()), "hello");
    EXPECT_EQ(copy->RetCursorPos(), 5u);
    EXPECT_EQ(copy->RetHiliteBegin(), 1u);
    EXPECT_EQ(copy->RetHiliteEnd(), 3u);
    EXPECT_TRUE(copy->RetSecretMode());
    EXPECT_TRUE(copy->RetEditMode());
    // Frameless mode is not stored.
    EXPECT_FALSE(copy->RetFramelessMode());
    copy->Delete();

    // A selection left past the end by SetText: deleting, drawing,
    // dragging and the checker use it cut to the text.
    line->SetSecretMode(false);
    line->SetHiliteRange(3, 9, false);
    line->SetText(ZuStringRef("ab"));
    EXPECT_EQ(line->RetHiliteEnd(), 9u);
    w->Display(true);
    WindowPixel(20, 20);
    line->StartDelayedDrag();
    EXPECT_EQ(dragged_string, "");
    line->SetHiliteRange(1, 9, false);
    Focus();
    line->SetHiliteRange(1, 9, false);
    Tap(VK_BACK, 0x0E);
    EXPECT_EQ(Latin(line->RetText()), "a");
}

TEST_F(TextLineTest, TheCheckerSelectsTheOffendingCharactersOfALine)
{
    Set("abcdefgh");
    TCheckerRef checker = ZuNew<TChecker>(Zuvi_app_zone);
    ASSERT_TRUE(checker->Initialise(line, ZuValidatorRef()));
    struct Probe {
        static bool Hilite(TChecker* c, const ZuValidityRecord& r) { return c->Hilite(r); }
    };
    EXPECT_TRUE(
        Probe::Hilite(checker.Resolve(), ZuValidityRecord(ZU_VALIDITY_FALSE, 2, 3, ZuAtomRef())));
    EXPECT_EQ(line->RetHiliteBegin(), 2u);
    EXPECT_EQ(line->RetHiliteEnd(), 5u);
    // A false verdict without characters leaves the selection.
    Probe::Hilite(checker.Resolve(), ZuValidityRecord(ZU_VALIDITY_FALSE, 0, 0, ZuAtomRef()));
    EXPECT_EQ(line->RetHiliteEnd(), 5u);
    for (ZuValidity v : {ZU_VALIDITY_TRUE, ZU_VALIDITY_UNKNOWN}) {
        line->SetHiliteRange(2, 5, false);
        EXPECT_TRUE(Probe::Hilite(checker.Resolve(), ZuValidityRecord(v, 2, 3, ZuAtomRef())));
        EXPECT_FALSE(line->IsHilited());
    }
    // Any other source is not highlighted.
    TCheckerRef other = ZuNew<TChecker>(Zuvi_app_zone);
    ASSERT_TRUE(other->Initialise(ZuObjectRef(ZuStringRef("x")), ZuValidatorRef()));
    EXPECT_FALSE(
        Probe::Hilite(other.Resolve(), ZuValidityRecord(ZU_VALIDITY_FALSE, 0, 1, ZuAtomRef())));
    checker->Delete();
    other->Delete();
}

} // namespace
