#include "app/graport.h"

#include "app/colordef.h"
#include "app/pendef.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "tests/support/debugcapture.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

// A context that keeps what it is sent and answers what the test gives it:
// the port's text and its reading of answers, without the interpreter.
ZU_HANDLE(RecordingContext, GSContext)
class RecordingContext : public GSContext {
    ZU_CLASS(RecordingContext, GSContext)
public:
    RecordingContext() {}

    bool ExecuteText(char const* text, int n) override
    {
        sends.push_back(std::string(text, n > 0 ? size_t(n) : std::strlen(text)));
        output += answer;
        answer.clear();
        return runs;
    }
    int GetOutputLength() override { return int(output.size()); }
    bool ReadOutput(char* out, int size) override
    {
        if (size < int(output.size()))
            return false;
        std::memcpy(out, output.data(), output.size());
        if (size > int(output.size()))
            out[output.size()] = '\0';
        output.clear();
        return true;
    }
    bool ClearOutput() override
    {
        output.clear();
        return true;
    }

    // Everything sent, in one text.
    std::string All() const
    {
        std::string all;
        for (std::string const& s : sends)
            all += s;
        return all;
    }

    std::vector<std::string> sends;
    std::string output;
    std::string answer; // what the next text prints
    bool runs = true;   // what ExecuteText answers
};
ZU_CLASS_END(RecordingContext)
ZU_IMPLEMENT_CLASS(RecordingContext, "tests/app/graport_test", ZU_CLASS_PLAIN)

// The port with its collection modes switched by hand, for the appending
// side of the drawing operations.
ZU_HANDLE(CollectingPort, CGraPort)
class CollectingPort : public CGraPort {
    ZU_CLASS(CollectingPort, CGraPort)
public:
    CollectingPort() {}
    void Collect()
    {
        pathMode = true;
        pathOpen = false;
        lastX = lastY = 0.0;
    }
    void Paint() { pathMode = false; }
    void Emit(char const* token) { Put(token); }
    CGraPathRef const& RetPath() const { return path; }
};
ZU_CLASS_END(CollectingPort)
ZU_IMPLEMENT_CLASS(CollectingPort, "tests/app/graport_test", ZU_CLASS_PLAIN)

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

std::string Buffer(CGraPortRef const& port)
{
    return std::string(port->RetBuffer(), size_t(port->RetLength()));
}

size_t Count(std::string const& text, std::string const& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

// One value answer of "printobject": header and one 8-byte object.
std::string Sequence(unsigned char type, uint32_t value)
{
    unsigned char s[12] = {129, 1, 12, 0, type, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 4; i++)
        s[8 + i] = static_cast<unsigned char>(value >> (8 * i));
    return std::string(reinterpret_cast<char*>(s), 12);
}

std::string RealAnswer(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return Sequence(2, bits);
}

// One string answer: header, the string object, its bytes.
std::string Name(std::string const& name, int step_bias = 0, int length_bias = 0)
{
    size_t total = 12 + name.size();
    unsigned char s[12] = {129, 1, static_cast<unsigned char>(total + step_bias), 0, 5, 0,
                           static_cast<unsigned char>(name.size() + length_bias), 0, 8, 0, 0, 0};
    return std::string(reinterpret_cast<char*>(s), 12) + name;
}

class CGraPortTest : public ZuviRuntimeTest {
protected:
    // A port writing into a recording context.
    struct Recorded {
        CGraPortRef port;
        RecordingContextRef context;
    };
    Recorded Record()
    {
        Recorded r{Make<CGraPortRef>(), Make<RecordingContextRef>()};
        r.port->SetTarget(r.context);
        return r;
    }

    static CGraPort::AnswerKind Read(CGraPortRef const& port, std::string const& answer)
    {
        return port->ReadAnswer(reinterpret_cast<unsigned char const*>(answer.data()), int(answer.size()));
    }

    static GSContextRef Display(uint32_t w, uint32_t h)
    {
        GSContextRef c = Make<GSContextRef>();
        EXPECT_TRUE(c->CreateContext(w, h, GS_VIEW_RGB24));
        return c;
    }

    static CColorDefRef Rgb(double r, double g, double b)
    {
        CColorDefRef c = Make<CColorDefRef>();
        c->SetRGB(r, g, b);
        return c;
    }
};

DPoint P(double x, double y)
{
    return DPoint{x, y};
}

} // namespace

// ---- Buffer and appenders

TEST_F(CGraPortTest, AppendersWriteTheirTokens)
{
    struct Case {
        char const* what;
        std::function<bool(CGraPortRef const&)> add;
        std::string text;
    } const cases[] = {
        {"real", [](CGraPortRef const& p) { return p->AddReal(1.5); }, "1.500000 "},
        {"negative real", [](CGraPortRef const& p) { return p->AddReal(-0.25); }, "-0.250000 "},
        {"rounded real", [](CGraPortRef const& p) { return p->AddReal(2.0000004); }, "2.000000 "},
        {"int", [](CGraPortRef const& p) { return p->AddInt(-3); }, "-3 "},
        {"operator", [](CGraPortRef const& p) { return p->AddOperator("showpage"); }, "showpage "},
        {"token", [](CGraPortRef const& p) { return p->AddToken("/DeviceGray"); }, "/DeviceGray "},
        {"text", [](CGraPortRef const& p) { return p->AddText("["); }, "["},
        {"string", [](CGraPortRef const& p) { return p->AddString("a(b", 3); }, "(a\\(b) "},
        {"string escapes", [](CGraPortRef const& p) { return p->AddString("x)\\\xe9", 4); },
         "(x\\)\\\\\xe9) "},
        {"bytes with a zero", [](CGraPortRef const& p) { return p->AddBytes("a\0b", 3); },
         std::string("a\0b", 3)},
    };
    for (Case const& c : cases) {
        CGraPortRef port = Make<CGraPortRef>();
        EXPECT_TRUE(c.add(port)) << c.what;
        EXPECT_EQ(Buffer(port), c.text) << c.what;
    }
}

TEST_F(CGraPortTest, NumbersIgnoreTheProcessLocale)
{
    std::string previous = std::setlocale(LC_ALL, nullptr);
    char const* const names[] = {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"};
    bool comma = false;
    for (char const* name : names)
        if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
            comma = true;
            break;
        }
    if (!comma) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no French locale installed";
    }
    CGraPortRef port = Make<CGraPortRef>();
    port->AddReal(1.5);
    port->AddInt(-1234567);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(Buffer(port), "1.500000 -1234567 ");
}

TEST_F(CGraPortTest, AppendsStopShortOfTenThousandBytes)
{
    CGraPortRef port = Make<CGraPortRef>();
    std::string fill(9994, ' ');
    ASSERT_TRUE(port->AddText(fill.c_str()));
    EXPECT_FALSE(port->AddToken("abcde")); // 9,994 + 5 + 1 reaches 10,000
    EXPECT_EQ(port->RetLength(), 9994);
    EXPECT_TRUE(port->AddToken("abcd"));
    EXPECT_EQ(port->RetLength(), 9999);
    EXPECT_EQ(Buffer(port).substr(9994), "abcd ");
    // Nothing more fits, in any form.
    EXPECT_FALSE(port->AddText("x"));
    EXPECT_FALSE(port->AddBytes("x", 1));
    EXPECT_TRUE(port->AddBytes("", 0));
    EXPECT_FALSE(port->AddString("", 0));
    EXPECT_FALSE(port->AddReal(1.0));
    EXPECT_FALSE(port->AddInt(1));
    EXPECT_EQ(port->RetLength(), 9999);

    // A string counts its escapes: "(", six escaped bytes, ")" and a space.
    CGraPortRef other = Make<CGraPortRef>();
    std::string most(10000 - 15, ' ');
    ASSERT_TRUE(other->AddText(most.c_str()));
    EXPECT_FALSE(other->AddString("((()))", 6));
    EXPECT_TRUE(other->AddString("((())", 5));
    EXPECT_EQ(other->RetLength(), 9998);
}

TEST_F(CGraPortTest, NumbersOfAnySizeAreWrittenWholeOrRefused)
{
    CGraPortRef port = Make<CGraPortRef>();
    ASSERT_TRUE(port->AddReal(1e300));
    std::string text = Buffer(port);
    EXPECT_EQ(text.size(), 301u + 8u); // 301 digits, ".000000" and the space
    EXPECT_EQ(text.substr(0, 4), "1000");
    EXPECT_EQ(text.substr(text.size() - 8), ".000000 ");
    EXPECT_TRUE(port->AddReal(-1.7976931348623157e308));
    EXPECT_TRUE(port->AddInt(-2147483647 - 1));
    EXPECT_EQ(Buffer(port).substr(Buffer(port).size() - 12), "-2147483648 ");

    // Near the end a long number is refused whole.
    CGraPortRef full = Make<CGraPortRef>();
    std::string fill(9800, ' ');
    full->AddText(fill.c_str());
    EXPECT_FALSE(full->AddReal(1e300));
    EXPECT_EQ(full->RetLength(), 9800);
}

TEST_F(CGraPortTest, HandlesAreEqualWhenTheyReachTheSamePort)
{
    CGraPortRef a = Make<CGraPortRef>();
    CGraPortRef b = Make<CGraPortRef>();
    CGraPortRef a2 = a;
    CGraPortRef empty;
    EXPECT_TRUE(a == a2);
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(a == empty);
    EXPECT_TRUE(empty == CGraPortRef());
}

// ---- Sending

TEST_F(CGraPortTest, EmptySendsAndSendsWithoutTarget)
{
    Recorded r = Record();
    r.context->output = "kept";
    EXPECT_TRUE(r.port->Flush());
    EXPECT_TRUE(r.context->sends.empty());
    EXPECT_EQ(r.context->output, "kept"); // not even cleared

    CGraPortRef lone = Make<CGraPortRef>();
    EXPECT_TRUE(lone->AddToken("1 pop"));
    EXPECT_TRUE(lone->Flush());
    EXPECT_EQ(lone->RetLength(), 0);
}

TEST_F(CGraPortTest, SendAddsLineFeedAndReadsTheAnswer)
{
    Recorded r = Record();
    r.port->AddToken("x");
    r.context->answer = RealAnswer(2.5f) + Sequence(4, 1);
    EXPECT_TRUE(r.port->Flush());
    ASSERT_EQ(r.context->sends.size(), 1u);
    EXPECT_EQ(r.context->sends[0], "x \n");
    EXPECT_EQ(r.port->RetResultCount(), 2);
    EXPECT_EQ(r.port->RetResult(0), 2.5);
    EXPECT_EQ(r.port->RetResult(1), 1.0);
    EXPECT_EQ(r.port->RetLength(), 0);

    // Zero bytes inside the text go too: it is sent with its length.
    r.port->AddBytes("(a\0b)", 5);
    EXPECT_TRUE(r.port->Flush());
    EXPECT_EQ(r.context->sends.back(), std::string("(a\0b)\n", 6));

    // No answer: no results.
    r.port->AddToken("y");
    EXPECT_TRUE(r.port->Flush());
    EXPECT_EQ(r.port->RetResultCount(), 0);
}

TEST_F(CGraPortTest, ErrorReportsAreTracedAndTheStackCleared)
{
    struct Case {
        char const* what;
        std::string answer;
        bool runs;
    } const cases[] = {
        {"text report", "Unrecoverable error: undefined in foo\n", false},
        {"binary report", std::string("\x81\x01\x1c\x00\x09\x00\x02\x00", 8) + std::string(20, 'x'), true},
        {"values, then a failure", RealAnswer(1.0f), false},
        {"failure without a word", "", false},
    };
    for (Case const& c : cases) {
        DebugCapture capture;
        Recorded r = Record();
        r.port->AddToken("3 0 printobject");
        r.context->answer = RealAnswer(3.0f);
        ASSERT_TRUE(r.port->Flush());
        ASSERT_EQ(r.port->RetResultCount(), 1);
        r.port->AddToken("1 2 foo");
        r.context->answer = c.answer;
        r.context->runs = c.runs;
        EXPECT_FALSE(r.port->Flush()) << c.what;
        ASSERT_EQ(r.context->sends.size(), 3u) << c.what;
        EXPECT_EQ(r.context->sends[2], "clear\n") << c.what;
        EXPECT_NE(capture.DebugText().find("Error=1 2 foo "), std::string::npos) << c.what;
        // The earlier answer is not taken for this send's.
        EXPECT_EQ(r.port->RetResultCount(), 0) << c.what;
    }

    // The trace keeps to what the debug output takes.
    DebugCapture capture;
    Recorded r = Record();
    std::string big(5000, 'a');
    r.port->AddToken(big.c_str());
    r.context->answer = std::string(5000, 'e');
    EXPECT_FALSE(r.port->Flush());
    EXPECT_NE(capture.DebugText().find("Error=aaa"), std::string::npos);
}

TEST_F(CGraPortTest, ReaderTakesValueSequences)
{
    CGraPortRef port = Make<CGraPortRef>();
    std::string four = RealAnswer(1.5f) + RealAnswer(-2.0f) + Sequence(4, 1) + Sequence(4, 0);
    ASSERT_EQ(four.size(), 48u);
    EXPECT_EQ(Read(port, four), CGraPort::ANSWER_VALUES);
    EXPECT_EQ(port->RetResultCount(), 4);
    EXPECT_EQ(port->RetResult(0), 1.5);
    EXPECT_EQ(port->RetResult(1), -2.0);
    EXPECT_EQ(port->RetResult(2), 1.0);
    EXPECT_EQ(port->RetResult(3), 0.0);

    // 50 bytes: not whole sequences; the previous results stay.
    EXPECT_EQ(Read(port, RealAnswer(9.0f) + RealAnswer(9.0f) + RealAnswer(9.0f) + RealAnswer(9.0f) + "zz"), CGraPort::ANSWER_VALUES);
    EXPECT_EQ(port->RetResultCount(), 4);
    EXPECT_EQ(port->RetResult(0), 1.5);

    // An integer or a name reads as 0.0.
    EXPECT_EQ(Read(port, Sequence(1, 7) + Sequence(3, 7)), CGraPort::ANSWER_VALUES);
    EXPECT_EQ(port->RetResultCount(), 2);
    EXPECT_EQ(port->RetResult(0), 0.0);
    EXPECT_EQ(port->RetResult(1), 0.0);

    // More than ten: the first ten.
    std::string many;
    for (int i = 0; i < 25; i++)
        many += RealAnswer(float(i));
    EXPECT_EQ(Read(port, many), CGraPort::ANSWER_VALUES);
    EXPECT_EQ(port->RetResultCount(), CGraPort::MAX_RESULTS);
    EXPECT_EQ(port->RetResult(9), 9.0);
    EXPECT_EQ(port->RetResult(10), 0.0);
}

TEST_F(CGraPortTest, ReaderTellsTheOtherAnswers)
{
    struct Case {
        char const* what;
        std::string answer;
        CGraPort::AnswerKind kind;
    } const cases[] = {
        {"nothing", "", CGraPort::ANSWER_EMPTY},
        {"dictionary end", ">>\n", CGraPort::ANSWER_IGNORED},
        {"one '>'", ">", CGraPort::ANSWER_ERROR},
        {"text", "Error: /undefined in foo", CGraPort::ANSWER_ERROR},
        {"binary array", std::string("\x81\x01\x1c\x00\x09\x00\x02\x00", 8), CGraPort::ANSWER_ERROR},
        {"executable array", std::string("\x81\x01\x1c\x00\x89\x00\x02\x00", 8), CGraPort::ANSWER_ERROR},
        {"one byte of a sequence", "\x81", CGraPort::ANSWER_VALUES},
    };
    for (Case const& c : cases) {
        CGraPortRef port = Make<CGraPortRef>();
        EXPECT_EQ(Read(port, c.answer), c.kind) << c.what;
    }
}

TEST_F(CGraPortTest, ReaderListsFontNamesAndStopsAtBadOnes)
{
    auto names = [](CGraPortRef const& port) {
        std::vector<std::string> out;
        ZuListRef list = port->RetFontNames();
        ZuObjectRef item;
        for (unsigned i = 0; list.IsValid() && list->Get(i, item); i++)
            out.push_back(ZuStringRef(item)->AccessLatin());
        return out;
    };
    typedef std::vector<std::string> Names;
    struct Case {
        char const* what;
        std::string answer;
        Names expected;
    } const cases[] = {
        {"sorted", Name("Times-Roman") + Name("Courier") + Name("Helvetica"),
         Names{"Courier", "Helvetica", "Times-Roman"}},
        {"a 99-byte name", Name(std::string(99, 'n')), Names{std::string(99, 'n')}},
        {"a name of 100 bytes ends the list", Name("A") + Name(std::string(100, 'n')) + Name("B"),
         Names{"A"}},
        {"a zero step ends the list", Name("A") + Name("B", -13) + Name("C"), Names{"A", "B"}},
        {"a name running past the answer", Name("A") + Name("Bold", 0, 40), Names{"A"}},
        {"a cut header", Name("A") + std::string("\x81\x01\x10", 3), Names{"A"}},
        {"another object between", Name("A") + RealAnswer(1.0f) + Name("B"), Names{"A", "B"}},
    };
    for (Case const& c : cases) {
        CGraPortRef port = Make<CGraPortRef>();
        EXPECT_EQ(Read(port, c.answer), CGraPort::ANSWER_FONT_NAMES) << c.what;
        EXPECT_EQ(names(port), c.expected) << c.what;
    }
}

TEST_F(CGraPortTest, OperationsLongerThanTheBufferGoInPieces)
{
    Recorded r = Record();
    r.port->InitGraphics();
    std::string fill(9980, ' ');
    ASSERT_TRUE(r.port->AddText(fill.c_str()));
    ASSERT_TRUE(r.port->DrawLine(P(1, 2), P(3, 4)));
    ASSERT_EQ(r.context->sends.size(), 2u);
    EXPECT_EQ(r.context->sends[0].size(), 13u + 9980u); // "initgraphics " and the fill
    EXPECT_EQ(r.context->sends[1].back(), '\n');
    std::string all = r.context->All();
    EXPECT_NE(all.find("1.000000 2.000000 moveto 3.000000 4.000000 lineto stroke \n"), std::string::npos);
    EXPECT_EQ(Count(all, "setlinewidth"), 1u);

    // A failed piece fails the send.
    ASSERT_TRUE(r.port->AddText(fill.c_str()));
    r.context->runs = false;
    DebugCapture capture;
    EXPECT_FALSE(r.port->DrawLine(P(1, 2), P(5, 6)));
}

// ---- Graphics state

#define EXPECT_ONCE_BEFORE(text, what, before)                                          \
    do {                                                                                \
        EXPECT_EQ(Count(text, what), 1u) << what;                                       \
        EXPECT_LT(text.find(what), text.find(before)) << what;                          \
    } while (0)

TEST_F(CGraPortTest, StateIsWrittenOnceAndOnlyWhenItChanges)
{
    Recorded r = Record();
    r.port->SetPenColor(Rgb(1, 0, 0));
    r.port->InitGraphics();
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(10, 0)));
    ASSERT_TRUE(r.port->DrawLine(P(0, 5), P(10, 5)));
    ASSERT_EQ(r.context->sends.size(), 2u);
    std::string const& first = r.context->sends[0];
    EXPECT_EQ(first.substr(0, 13), "initgraphics ");
    for (char const* what : {"initmatrix", "setlinewidth", "setlinecap", "setlinejoin",
                             "setmiterlimit", "setdash", "/DeviceGray setcolorspace",
                             "1.000000 0.000000 0.000000 setrgbcolor"})
        EXPECT_ONCE_BEFORE(first, what, "moveto");
    EXPECT_EQ(r.context->sends[1], "0.000000 5.000000 moveto 10.000000 5.000000 lineto stroke \n");

    // Other definitions with the same values write nothing.
    r.port->SetPenColor(Rgb(1, 0, 0));
    r.port->SetPen(Make<CPenDefRef>());
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    EXPECT_EQ(r.context->sends.back(), "0.000000 0.000000 moveto 1.000000 1.000000 lineto stroke \n");

    // Another colour model writes the colour again.
    CColorDefRef grey = Make<CColorDefRef>();
    grey->SetValue(CColorDef::MODEL_GRAY);
    grey->SetGray(0.5);
    r.port->SetPenColor(grey);
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    EXPECT_EQ(r.context->sends.back().substr(0, 19), "0.500000 setgray 0.");

    // After InitGraphics all of it again.
    r.port->InitGraphics();
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    for (char const* what : {"initmatrix", "setlinewidth", "setdash", "setcolorspace", "setgray"})
        EXPECT_EQ(Count(r.context->sends.back(), what), 1u) << what;
}

TEST_F(CGraPortTest, ColourModelsWriteTheirOperators)
{
    struct Case {
        int model;
        char const* text;
    } const cases[] = {
        {CColorDef::MODEL_RGB, "0.000000 0.000000 1.000000 setrgbcolor "},
        {CColorDef::MODEL_HSB, "0.666667 1.000000 1.000000 sethsbcolor "},
        {CColorDef::MODEL_CMYK, "1.000000 1.000000 0.000000 0.000000 setcmykcolor "},
        {CColorDef::MODEL_GRAY, "0.110000 setgray "},
    };
    for (Case const& c : cases) {
        Recorded r = Record();
        CColorDefRef blue = Make<CColorDefRef>();
        blue->SetValue(c.model);
        blue->SetRGB(0, 0, 1);
        r.port->SetPenColor(blue);
        r.port->DrawLine(P(0, 0), P(1, 1));
        EXPECT_NE(r.context->All().find(c.text), std::string::npos) << c.model;
    }
}

TEST_F(CGraPortTest, InvisibleColoursPaintNothing)
{
    Recorded r = Record();
    CColorDefRef clear = Rgb(1, 0, 0);
    clear->SetTransparency(1.0);
    r.port->SetPenColor(clear);
    r.port->SetFillColor(clear);
    EXPECT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    EXPECT_TRUE(r.port->DrawRect(P(0, 0), P(1, 1), 0.0, true, true));
    std::string all = r.context->All();
    EXPECT_EQ(all.find("stroke"), std::string::npos);
    EXPECT_EQ(all.find("rectfill"), std::string::npos);
    EXPECT_EQ(all.find("setrgbcolor"), std::string::npos);
}

TEST_F(CGraPortTest, DashesAndMiterLimit)
{
    struct Pair {
        double dash;
        double gap;
    };
    struct Case {
        char const* what;
        std::vector<Pair> pairs;
        double offset;
        char const* text;
    } const cases[] = {
        {"one pair", {{3, 2}}, 0.0, "[3.000000 2.000000 ] 0.000000 setdash "},
        {"a pair out of use in between", {{3, 2}, {0, 0}, {4, 1}}, 1.5,
         "[3.000000 2.000000 0.000000 0.000000 4.000000 1.000000 ] 1.500000 setdash "},
        {"a dash without a gap", {{3, 0}}, 0.0, "[] 0 setdash "},
        {"the last pair", {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {1, 1}}, 0.0,
         "[0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 "
         "1.000000 1.000000 ] 0.000000 setdash "},
    };
    for (Case const& c : cases) {
        Recorded r = Record();
        CPenDefRef pen = Make<CPenDefRef>();
        for (size_t i = 0; i < c.pairs.size(); i++) {
            pen->SetDash(int(i), c.pairs[i].dash);
            pen->SetGap(int(i), c.pairs[i].gap);
        }
        pen->SetDashOffset(c.offset);
        r.port->SetPen(pen);
        r.port->DrawLine(P(0, 0), P(1, 1));
        EXPECT_NE(r.context->All().find(c.text), std::string::npos) << c.what << ": " << r.context->All();
        EXPECT_EQ(Count(r.context->All(), "setdash"), 1u) << c.what;
    }

    // Only the limit of a round-join pen changes: nothing is written for it.
    Recorded r = Record();
    CPenDefRef round = Make<CPenDefRef>();
    round->SetJoin(1);
    r.port->SetPen(round);
    r.port->DrawLine(P(0, 0), P(1, 1));
    round->SetMiterLimit(3.0);
    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(r.context->sends.back(), "0.000000 0.000000 moveto 1.000000 1.000000 lineto stroke \n");
    // Back to a miter join: the join and the new limit.
    round->SetJoin(0);
    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(r.context->sends.back().substr(0, 44), "0 setlinejoin 3.000000 setmiterlimit 0.00000");

    // Width, cap and join each by themselves.
    round->SetWidth(0.5);
    round->SetCap(2);
    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(r.context->sends.back().substr(0, 34), "0.500000 setlinewidth 2 setlinecap");
}

TEST_F(CGraPortTest, TransformIsWrittenWhenItChanges)
{
    Recorded r = Record();
    CGraTransform t;
    r.port->InitTransform(t);
    EXPECT_EQ(t.dx, 0.0);
    EXPECT_EQ(t.dy, 0.0);
    EXPECT_EQ(t.scale, 1.0);
    EXPECT_EQ(t.angle, 0.0);
    t = CGraTransform{10, 20, 2, 30};
    EXPECT_TRUE(r.port->SetTransform(t));
    CGraTransform back;
    r.port->GetTransform(back);
    EXPECT_EQ(back.dx, 10.0);
    EXPECT_EQ(back.angle, 30.0);
    EXPECT_TRUE(r.context->sends.empty()); // nothing written yet

    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(r.context->sends.back().find(
                  "initmatrix 2.000000 2.000000 scale 10.000000 20.000000 translate 30.000000 rotate "
                  "0.000000 setlinewidth "),
              0u);
    r.port->SetTransform(CGraTransform{10, 20, 2, 30});
    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(Count(r.context->sends.back(), "initmatrix"), 0u);
    r.port->SetTransform(CGraTransform{10, 20, 2, 31});
    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(Count(r.context->sends.back(), "initmatrix"), 1u);
    // InitTransform writes the matrix again at the next painting.
    r.port->InitTransform(t);
    r.port->SetTransform(CGraTransform{10, 20, 2, 31});
    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(Count(r.context->sends.back(), "initmatrix"), 1u);
}

// ---- Drawing

TEST_F(CGraPortTest, RectanglesFillAndStroke)
{
    Recorded r = Record();
    r.port->SetFillColor(Rgb(1, 0, 0));
    r.port->SetPenColor(Rgb(0, 0, 1));
    r.port->InitGraphics();
    r.port->Flush();
    EXPECT_TRUE(r.port->DrawRect(P(10, 20), P(40, 40), 0.0, true, true));
    std::string const plain = r.context->sends.back();
    EXPECT_NE(plain.find("1.000000 0.000000 0.000000 setrgbcolor 10.000000 20.000000 30.000000 20.000000 rectfill "),
              std::string::npos);
    EXPECT_NE(plain.find("0.000000 0.000000 1.000000 setrgbcolor 10.000000 20.000000 30.000000 20.000000 "
                         "rectstroke \n"),
              std::string::npos);
    EXPECT_LT(plain.find("setlinewidth"), plain.find("rectstroke"));

    // Turned: about the centre, inside gsave ... grestore.
    EXPECT_TRUE(r.port->DrawRect(P(10, 20), P(40, 40), 30.0, true, false));
    EXPECT_EQ(r.context->sends.back(),
              "gsave 25.000000 30.000000 translate 30.000000 rotate 1.000000 0.000000 0.000000 setrgbcolor "
              "-15.000000 -10.000000 30.000000 20.000000 rectfill grestore \n");

    // Nothing to draw: nothing written, nothing sent.
    size_t sends = r.context->sends.size();
    EXPECT_TRUE(r.port->DrawRect(P(5, 5), P(5, 5), 0.0, true, true));
    EXPECT_TRUE(r.port->DrawRect(P(5, 5), P(8, 8), 0.0, false, false));
    EXPECT_EQ(r.context->sends.size(), sends);
    EXPECT_EQ(r.port->RetLength(), 0);
}

TEST_F(CGraPortTest, StateSetInsideATurnedRectangleIsWrittenAgainAfterIt)
{
    // "grestore" drops the colour and pen set between "gsave" and it.
    Recorded r = Record();
    CColorDefRef red = Rgb(1, 0, 0);
    r.port->SetFillColor(red);
    r.port->SetPenColor(red);
    r.port->InitGraphics();
    r.port->DrawRect(P(0, 0), P(10, 10), 45.0, true, true);
    r.port->DrawLine(P(0, 0), P(10, 10));
    std::string const& line = r.context->sends.back();
    EXPECT_NE(line.find("1.000000 0.000000 0.000000 setrgbcolor"), std::string::npos) << line;
    EXPECT_NE(line.find("setlinewidth"), std::string::npos) << line;
    EXPECT_NE(line.find("/DeviceGray setcolorspace"), std::string::npos) << line;
}

TEST_F(CGraPortTest, PaintingShapes)
{
    struct Case {
        char const* what;
        std::function<bool(CGraPortRef const&)> draw;
        std::string text;
    } const cases[] = {
        {"circle", [](CGraPortRef const& p) { return p->DrawCircle(P(5, 6), 2); },
         "7.000000 6.000000 moveto 5.000000 6.000000 2.000000 0 360 arc stroke \n"},
        {"curve", [](CGraPortRef const& p) { return p->DrawCurve(P(0, 1), P(2, 3), P(4, 5), P(6, 7)); },
         "0.000000 1.000000 moveto 2.000000 3.000000 4.000000 5.000000 6.000000 7.000000 curveto stroke \n"},
        {"round corner", [](CGraPortRef const& p) { return p->DrawRoundCorner(P(0, 0), P(10, 0), P(10, 10), 3); },
         "0.000000 0.000000 moveto 10.000000 0.000000 10.000000 10.000000 3.000000 arct "
         "10.000000 10.000000 lineto stroke \n"},
    };
    for (Case const& c : cases) {
        Recorded r = Record();
        r.port->DrawLine(P(0, 0), P(0, 0)); // the state goes first
        EXPECT_TRUE(c.draw(r.port)) << c.what;
        EXPECT_EQ(r.context->sends.back(), c.text) << c.what;
    }
    // An arc paints nothing by itself.
    Recorded r = Record();
    EXPECT_TRUE(r.port->DrawEllipseArc(P(0, 0), P(5, 5), 0, 90, 0, 223));
    EXPECT_TRUE(r.context->sends.empty());
}

TEST_F(CGraPortTest, CollectingAppendsSegments)
{
    CollectingPort* raw = nullptr;
    CollectingPortRef port = Make<CollectingPortRef>();
    raw = port.CheckAndResolve();
    RecordingContextRef context = Make<RecordingContextRef>();
    port->SetTarget(context);
    port->DrawLine(P(0, 0), P(0, 0)); // the state goes first
    raw->Collect();
    EXPECT_TRUE(port->DrawLine(P(1, 1), P(2, 2)));
    EXPECT_TRUE(port->DrawLine(P(2, 2), P(3, 1)));  // goes on from the last point
    EXPECT_TRUE(port->DrawCurve(P(3, 1), P(4, 0), P(5, 0), P(6, 1)));
    EXPECT_TRUE(port->DrawRoundCorner(P(6, 1), P(8, 1), P(8, 3), 1));
    EXPECT_TRUE(port->DrawCircle(P(0, 0), 4));      // starts anew
    EXPECT_TRUE(port->DrawRect(P(0, 0), P(2, 3), 30.0, true, true));
    EXPECT_TRUE(port->DrawLine(P(0, 0), P(1, 0)));  // goes on from the rectangle's corner
    std::vector<std::string> const expected = {
        "1.000000 1.000000 moveto 2.000000 2.000000 lineto \n",
        "3.000000 1.000000 lineto \n",
        "4.000000 0.000000 5.000000 0.000000 6.000000 1.000000 curveto \n",
        "8.000000 1.000000 8.000000 3.000000 1.000000 arct 8.000000 3.000000 lineto \n",
        "4.000000 0.000000 moveto 0.000000 0.000000 4.000000 0 360 arc \n",
        "0.000000 0.000000 moveto 2.000000 0.000000 lineto 2.000000 3.000000 lineto "
        "0.000000 3.000000 lineto 0.000000 0.000000 lineto closepath \n",
        "1.000000 0.000000 lineto \n",
    };
    ASSERT_EQ(context->sends.size(), 1 + expected.size());
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_EQ(context->sends[i + 1], expected[i]) << i;
}

TEST_F(CGraPortTest, CollectingEllipticArcs)
{
    struct Case {
        char const* what;
        DPoint radii;
        double a1, a2;
        int kind;
        std::string text; // empty: nothing appended
    } const cases[] = {
        {"open", {4, 2}, 0, 90, 223,
         "10.000000 20.000000 translate 15.000000 rotate 1 0.500000 scale 4.000000 0.000000 moveto "
         "0 0 4.000000 0.000000 90.000000 arc 1 2.000000 scale -15.000000 rotate -10.000000 -20.000000 "
         "translate 0.000000 4.000000 moveto \n"},
        {"pie", {4, 2}, 0, 90, 225,
         "10.000000 20.000000 translate 15.000000 rotate 1 0.500000 scale 0 0 moveto "
         "0 0 4.000000 0.000000 90.000000 arc 1 2.000000 scale -15.000000 rotate -10.000000 -20.000000 "
         "translate \n"},
        {"whole", {4, 4}, 30, 30, 222,
         "10.000000 20.000000 translate 15.000000 rotate 1 1.000000 scale 4.000000 0.000000 moveto "
         "0 0 4.000000 0.000000 360.000000 arc 1 1.000000 scale -15.000000 rotate -10.000000 -20.000000 "
         "translate \n"},
        {"flat", {4, 0}, 0, 90, 224, ""},
        {"no width", {0, 4}, 0, 90, 224, ""},
        {"equal angles", {4, 2}, 45, 45, 224, ""},
    };
    for (Case const& c : cases) {
        CollectingPortRef port = Make<CollectingPortRef>();
        RecordingContextRef context = Make<RecordingContextRef>();
        port->SetTarget(context);
        port.CheckAndResolve()->Collect();
        EXPECT_TRUE(port->DrawEllipseArc(P(10, 20), c.radii, c.a1, c.a2, 15, c.kind)) << c.what;
        if (c.text.empty()) {
            EXPECT_TRUE(context->sends.empty()) << c.what;
        } else {
            ASSERT_EQ(context->sends.size(), 1u) << c.what;
            EXPECT_EQ(context->sends[0], c.text) << c.what;
        }
    }
}

TEST_F(CGraPortTest, FancyPensRecordTheirSegments)
{
    CollectingPortRef port = Make<CollectingPortRef>();
    CollectingPort* raw = port.CheckAndResolve();
    CPenDefRef plain = Make<CPenDefRef>();
    port->SetPen(plain);
    port->DrawLine(P(0, 0), P(10, 0));
    EXPECT_TRUE(raw->RetPath().IsInvalid());

    CPenDefRef fancy = Make<CPenDefRef>();
    fancy->SetValue(CPenDef::KIND_FANCY);
    port->SetPen(fancy);
    // Painting at once: each drawing starts the path anew.
    EXPECT_TRUE(port->DrawLine(P(0, 0), P(10, 0)));
    ASSERT_TRUE(raw->RetPath().IsValid());
    EXPECT_EQ(raw->RetPath()->RetCount(), 5);
    EXPECT_TRUE(port->DrawCurve(P(0, 0), P(1, 1), P(2, 1), P(3, 0)));
    EXPECT_EQ(raw->RetPath()->RetCount(), 9);
    EXPECT_EQ(raw->RetPath()->RetNumber(0), 2.0);

    // Collecting: the segments add up.
    raw->Collect();
    raw->RetPath()->Clear();
    EXPECT_TRUE(port->DrawLine(P(0, 0), P(10, 0)));
    EXPECT_TRUE(port->DrawRoundCorner(P(10, 0), P(20, 0), P(20, 10), 2));
    EXPECT_TRUE(port->DrawEllipseArc(P(0, 0), P(5, 5), 0, 90, 0, 223));
    EXPECT_TRUE(port->DrawCircle(P(0, 0), 3)); // circles are not recorded
    EXPECT_EQ(raw->RetPath()->RetCount(), 5 + 9 + 4 * 9);
}

// ---- Page

TEST_F(CGraPortTest, PageOperations)
{
    Recorded r = Record();
    r.port->InitGraphics();
    EXPECT_TRUE(r.context->sends.empty()); // waits for the next send
    EXPECT_TRUE(r.port->ErasePage());
    EXPECT_TRUE(r.port->ShowPage());
    ASSERT_EQ(r.context->sends.size(), 2u);
    EXPECT_EQ(r.context->sends[0], "initgraphics erasepage \n");
    EXPECT_EQ(r.context->sends[1], "showpage \n");
}

TEST_F(CGraPortTest, HalftoneScreens)
{
    struct Case {
        char const* what;
        CGraScreen screen;
        bool ok;
        std::string text;
    } const cases[] = {
        {"default screen", {150, 0.5, 0, false, false}, true, "150.000000 .sethiresscreen \n"},
        {"round dot, negative, shifted", {60, 0.785398163375, 1, true, true}, true,
         "60.000000 45.000000 { 180 mul cos exch 180 mul cos add 2 div } bind setscreen "
         "{ 1 exch sub } bind settransfer -50.000000 -50.000000 translate \n"},
        {"line", {60, 0, 7, false, false}, true, "60.000000 0.000000 { exch pop } bind setscreen \n"},
        {"spot 9", {60, 0, 9, false, false}, false, ""},
        {"spot -1", {60, 0, -1, false, false}, false, ""},
    };
    for (Case const& c : cases) {
        Recorded r = Record();
        EXPECT_EQ(r.port->SetScreen(c.screen), c.ok) << c.what;
        EXPECT_EQ(r.context->All(), c.text) << c.what;
    }
}

// ---- Against the interpreter

TEST_F(CGraPortTest, AnswersOfTheInterpreter)
{
    GSContextRef context = Display(40, 40);
    CGraPortRef port = Make<CGraPortRef>();
    port->SetTarget(context);
    ASSERT_TRUE(port->InitBinaryMode());

    port->AddToken("1.5 0 printobject -2.25 0 printobject 100.0 0 printobject 0.125 0 printobject flush");
    ASSERT_TRUE(port->Flush());
    ASSERT_EQ(port->RetResultCount(), 4);
    EXPECT_EQ(port->RetResult(0), 1.5);
    EXPECT_EQ(port->RetResult(1), -2.25);
    EXPECT_EQ(port->RetResult(2), 100.0);
    EXPECT_EQ(port->RetResult(3), 0.125);

    port->AddToken("newpath 0 0 moveto 10 0 lineto 10 10 lineto closepath 5 2 ineofill 0 printobject flush newpath");
    ASSERT_TRUE(port->Flush());
    ASSERT_EQ(port->RetResultCount(), 1);
    EXPECT_EQ(port->RetResult(0), 1.0);

    {
        DebugCapture capture;
        port->AddToken("1 2 3 nosuchoperator");
        EXPECT_FALSE(port->Flush());
        EXPECT_NE(capture.DebugText().find("Error=1 2 3 nosuchoperator"), std::string::npos);
        EXPECT_NE(capture.DebugText().find("undefined"), std::string::npos);
    }
    // The stack was cleared and the next send works.
    port->AddToken("count 0 eq 0 printobject flush");
    ASSERT_TRUE(port->Flush());
    ASSERT_EQ(port->RetResultCount(), 1);
    EXPECT_EQ(port->RetResult(0), 1.0);

    port->AddToken("(>>\n) print flush");
    EXPECT_TRUE(port->Flush());

    // A whole buffer of 9,999 bytes is sent whole.
    std::string tail = "7.5 0 printobject flush";
    port->AddText(std::string(9999 - tail.size() - 1, ' ').c_str());
    ASSERT_TRUE(port->AddToken(tail.c_str()));
    ASSERT_EQ(port->RetLength(), 9999);
    ASSERT_TRUE(port->Flush());
    ASSERT_EQ(port->RetResultCount(), 1);
    EXPECT_EQ(port->RetResult(0), 7.5);
}

TEST_F(CGraPortTest, PiecesReachTheInterpreterAndAnswersComeAfterTheLast)
{
    GSContextRef context = Display(40, 40);
    CollectingPortRef port = Make<CollectingPortRef>();
    port->SetTarget(context);
    ASSERT_TRUE(port->InitBinaryMode());
    CollectingPort* raw = port.CheckAndResolve();
    raw->Emit("1.0 0 printobject");
    for (int i = 0; i < 3000; i++)
        raw->Emit("1 pop");
    raw->Emit("2.0 0 printobject flush");
    ASSERT_TRUE(port->Flush());
    ASSERT_EQ(port->RetResultCount(), 2);
    EXPECT_EQ(port->RetResult(0), 1.0);
    EXPECT_EQ(port->RetResult(1), 2.0);
}

namespace {

// Renders hand-written PostScript with the gs program into a 24-bit image,
// top row first; empty when it could not.
std::vector<unsigned char> RenderWithGs(std::string const& postscript, int w, int h)
{
    ScratchDir dir;
    std::string const ps = dir.Path() + "/reference.ps";
    std::string const ppm = dir.Path() + "/reference.ppm";
    {
        std::ofstream out(ps);
        out << postscript;
    }
    std::string command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r72 -g" + std::to_string(w) + "x" +
                          std::to_string(h) + " -sOutputFile=" + ppm + " " + ps + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    std::ifstream in(ppm, std::ios::binary);
    // "P6", width, height and 255, with comment lines between.
    std::string fields[4];
    for (int i = 0; i < 4 && in;) {
        in >> fields[i];
        if (fields[i][0] == '#')
            std::getline(in, fields[i]);
        else
            i++;
    }
    in.get();
    std::string const& magic = fields[0];
    int const pw = std::atoi(fields[1].c_str());
    int const ph = std::atoi(fields[2].c_str());
    if (magic != "P6" || pw != w || ph != h)
        return {};
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    return in ? rgb : std::vector<unsigned char>();
}

} // namespace

TEST_F(CGraPortTest, PixelsEqualThoseOfTheBareInterpreter)
{
    int const w = 64, h = 48;
    GSContextRef context = Display(w, h);
    CGraPortRef port = Make<CGraPortRef>();
    port->SetTarget(context);
    ASSERT_TRUE(port->InitBinaryMode());
    port->InitGraphics();
    ASSERT_TRUE(port->ErasePage());
    port->SetFillColor(Rgb(1, 0, 0));
    port->SetPenColor(Rgb(0, 0, 0));
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(3.0);
    port->SetPen(pen);
    ASSERT_TRUE(port->DrawRect(P(8, 6), P(40, 30), 0.0, true, false));
    ASSERT_TRUE(port->DrawLine(P(4, 40), P(60, 10)));
    context->ReadBack();

    std::vector<unsigned char> expected = RenderWithGs(
        "1 0 0 setrgbcolor 8 6 32 24 rectfill 0 setgray 3 setlinewidth 0 setlinecap 0 setlinejoin "
        "4 40 moveto 60 10 lineto stroke showpage\n",
        w, h);
    ASSERT_FALSE(expected.empty()) << "the gs program did not render";
    unsigned char const* got = context->RetBuffer();
    ASSERT_NE(got, nullptr);
    size_t red = 0, black = 0, differ = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            unsigned char const* g = got + (size_t(y) * w + x) * 3; // BGR
            unsigned char const* e = expected.data() + (size_t(y) * w + x) * 3; // RGB
            if (g[2] != e[0] || g[1] != e[1] || g[0] != e[2])
                differ++;
            red += e[0] == 255 && e[1] == 0 && e[2] == 0;
            black += e[0] == 0 && e[1] == 0 && e[2] == 0;
        }
    EXPECT_EQ(differ, 0u);
    EXPECT_GT(red, 500u);
    EXPECT_GT(black, 100u);
}
