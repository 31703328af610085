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
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

// Listing the interpreter's fonts makes the font configuration library
// that it calls keep a block to the end of the process: not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

// A context that keeps what it is sent and answers what the test gives it:
// the port's text and its reading of answers, without the interpreter.
ZU_HANDLE(RecordingContext, GSContext)
class RecordingContext : public GSContext {
    ZU_CLASS(RecordingContext, GSContext)
public:
    RecordingContext() {}

    bool ExecuteText(const char* text, int n) override
    {
        sends.push_back(std::string(text, n > 0 ? size_t(n) : std::strlen(text)));
        if (answer.empty() && !answers.empty()) {
            answer = answers.front();
            answers.erase(answers.begin());
        }
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
        for (const std::string& s : sends)
            all += s;
        return all;
    }

    std::vector<std::string> sends;
    std::string output;
    std::string answer; // what the next text prints
    // What the texts after it print, one each.
    std::vector<std::string> answers;
    bool runs = true; // what ExecuteText answers
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
    void Emit(const char* token) { Put(token); }
    void EmitReal(double value) { PutReal(value); }
    const CGraPathRef& RetPath() const { return path; }
};
ZU_CLASS_END(CollectingPort)
ZU_IMPLEMENT_CLASS(CollectingPort, "tests/app/graport_test", ZU_CLASS_PLAIN)

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

std::string Buffer(const CGraPortRef& port)
{
    return std::string(port->RetBuffer(), size_t(port->RetLength()));
}

size_t Count(const std::string& text, const std::string& what)
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
std::string Name(const std::string& name, int step_bias = 0, int length_bias = 0)
{
    size_t total = 12 + name.size();
    unsigned char s[12] = {129,
                           1,
                           static_cast<unsigned char>(total + step_bias),
                           0,
                           5,
                           0,
                           static_cast<unsigned char>(name.size() + length_bias),
                           0,
                           8,
                           0,
                           0,
                           0};
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

    static CGraPort::AnswerKind Read(const CGraPortRef& port, const std::string& answer)
    {
        return port->ReadAnswer(reinterpret_cast<const unsigned char*>(answer.data()),
                                int(answer.size()));
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
        const char* what;
        std::function<bool(const CGraPortRef&)> add;
        std::string text;
    } const cases[] = {
        {"real", [](const CGraPortRef& p) { return p->AddReal(1.5); }, "1.500000 "},
        {"negative real", [](const CGraPortRef& p) { return p->AddReal(-0.25); }, "-0.250000 "},
        {"rounded real", [](const CGraPortRef& p) { return p->AddReal(2.0000004); }, "2.000000 "},
        {"int", [](const CGraPortRef& p) { return p->AddInt(-3); }, "-3 "},
        {"operator", [](const CGraPortRef& p) { return p->AddOperator("showpage"); }, "showpage "},
        {"token", [](const CGraPortRef& p) { return p->AddToken("/DeviceGray"); }, "/DeviceGray "},
        {"text", [](const CGraPortRef& p) { return p->AddText("["); }, "["},
        {"string", [](const CGraPortRef& p) { return p->AddString("a(b", 3); }, "(a\\(b) "},
        {"string escapes", [](const CGraPortRef& p) { return p->AddString("x)\\\xe9", 4); },
         "(x\\)\\\\\xe9) "},
        {"bytes with a zero", [](const CGraPortRef& p) { return p->AddBytes("a\0b", 3); },
         std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        CGraPortRef port = Make<CGraPortRef>();
        EXPECT_TRUE(c.add(port)) << c.what;
        EXPECT_EQ(Buffer(port), c.text) << c.what;
    }
}

TEST_F(CGraPortTest, NumbersIgnoreTheProcessLocale)
{
    std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* const names[] = {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"};
    bool comma = false;
    for (const char* name : names)
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
        const char* what;
        std::string answer;
        bool runs;
    } const cases[] = {
        {"text report", "Unrecoverable error: undefined in foo\n", false},
        {"binary report", std::string("\x81\x01\x1c\x00\x09\x00\x02\x00", 8) + std::string(20, 'x'),
         true},
        {"values, then a failure", RealAnswer(1.0f), false},
        {"failure without a word", "", false},
    };
    for (const Case& c : cases) {
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
    EXPECT_EQ(Read(port, RealAnswer(9.0f) + RealAnswer(9.0f) + RealAnswer(9.0f) + RealAnswer(9.0f) +
                             "zz"),
              CGraPort::ANSWER_VALUES);
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
        const char* what;
        std::string answer;
        CGraPort::AnswerKind kind;
    } const cases[] = {
        {"nothing", "", CGraPort::ANSWER_EMPTY},
        {"dictionary end", ">>\n", CGraPort::ANSWER_IGNORED},
        {"one '>'", ">", CGraPort::ANSWER_ERROR},
        {"text", "Error: /undefined in foo", CGraPort::ANSWER_ERROR},
        {"binary array", std::string("\x81\x01\x1c\x00\x09\x00\x02\x00", 8),
         CGraPort::ANSWER_ERROR},
        {"executable array", std::string("\x81\x01\x1c\x00\x89\x00\x02\x00", 8),
         CGraPort::ANSWER_ERROR},
        {"one byte of a sequence", "\x81", CGraPort::ANSWER_VALUES},
    };
    for (const Case& c : cases) {
        CGraPortRef port = Make<CGraPortRef>();
        EXPECT_EQ(Read(port, c.answer), c.kind) << c.what;
    }
}

TEST_F(CGraPortTest, ReaderListsFontNamesAndStopsAtBadOnes)
{
    auto names = [](const CGraPortRef& port) {
        std::vector<std::string> out;
        ZuListRef list = port->RetFontNames();
        ZuObjectRef item;
        for (unsigned i = 0; list.IsValid() && list->Get(i, item); i++)
            out.push_back(ZuStringRef(item)->AccessLatin());
        return out;
    };
    typedef std::vector<std::string> Names;
    struct Case {
        const char* what;
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
    for (const Case& c : cases) {
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
    EXPECT_NE(all.find("1.000000 2.000000 moveto 3.000000 4.000000 lineto stroke \n"),
              std::string::npos);
    EXPECT_EQ(Count(all, "setlinewidth"), 1u);

    // A failed piece fails the send.
    ASSERT_TRUE(r.port->AddText(fill.c_str()));
    r.context->runs = false;
    DebugCapture capture;
    EXPECT_FALSE(r.port->DrawLine(P(1, 2), P(5, 6)));
}

// ---- Graphics state

#define EXPECT_ONCE_BEFORE(text, what, before)                 \
    do {                                                       \
        EXPECT_EQ(Count(text, what), 1u) << what;              \
        EXPECT_LT(text.find(what), text.find(before)) << what; \
    } while (0)

TEST_F(CGraPortTest, StateIsWrittenOnceAndOnlyWhenItChanges)
{
    Recorded r = Record();
    r.port->SetPenColor(Rgb(1, 0, 0));
    r.port->InitGraphics();
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(10, 0)));
    ASSERT_TRUE(r.port->DrawLine(P(0, 5), P(10, 5)));
    ASSERT_EQ(r.context->sends.size(), 2u);
    const std::string& first = r.context->sends[0];
    EXPECT_EQ(first.substr(0, 13), "initgraphics ");
    for (const char* what :
         {"initmatrix", "setlinewidth", "setlinecap", "setlinejoin", "setmiterlimit", "setdash",
          "/DeviceGray setcolorspace", "1.000000 0.000000 0.000000 setrgbcolor"})
        EXPECT_ONCE_BEFORE(first, what, "moveto");
    EXPECT_EQ(r.context->sends[1], "0.000000 5.000000 moveto 10.000000 5.000000 lineto stroke \n");

    // Other definitions with the same values write nothing.
    r.port->SetPenColor(Rgb(1, 0, 0));
    r.port->SetPen(Make<CPenDefRef>());
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    EXPECT_EQ(r.context->sends.back(),
              "0.000000 0.000000 moveto 1.000000 1.000000 lineto stroke \n");

    // The same definition changed in place writes its new values, and
    // the same values again nothing.
    CColorDefRef changing = Rgb(1, 0, 0);
    r.port->SetPenColor(changing);
    changing->SetRGB(0, 1, 0);
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    EXPECT_EQ(r.context->sends.back().rfind("0.000000 1.000000 0.000000 setrgbcolor 0.", 0), 0u);
    changing->SetTransparency(0.5);
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    EXPECT_EQ(r.context->sends.back().rfind("0.000000 1.000000 0.000000 setrgbcolor 0.", 0), 0u);
    ASSERT_TRUE(r.port->DrawLine(P(0, 0), P(1, 1)));
    EXPECT_EQ(r.context->sends.back(),
              "0.000000 0.000000 moveto 1.000000 1.000000 lineto stroke \n");

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
    for (const char* what : {"initmatrix", "setlinewidth", "setdash", "setcolorspace", "setgray"})
        EXPECT_EQ(Count(r.context->sends.back(), what), 1u) << what;
}

TEST_F(CGraPortTest, ColourModelsWriteTheirOperators)
{
    struct Case {
        int model;
        const char* text;
    } const cases[] = {
        {CColorDef::MODEL_RGB, "0.000000 0.000000 1.000000 setrgbcolor "},
        {CColorDef::MODEL_HSB, "0.666667 1.000000 1.000000 sethsbcolor "},
        {CColorDef::MODEL_CMYK, "1.000000 1.000000 0.000000 0.000000 setcmykcolor "},
        {CColorDef::MODEL_GRAY, "0.110000 setgray "},
    };
    for (const Case& c : cases) {
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
        const char* what;
        std::vector<Pair> pairs;
        double offset;
        const char* text;
    } const cases[] = {
        {"one pair", {{3, 2}}, 0.0, "[3.000000 2.000000 ] 0.000000 setdash "},
        {"a pair out of use in between",
         {{3, 2}, {0, 0}, {4, 1}},
         1.5,
         "[3.000000 2.000000 0.000000 0.000000 4.000000 1.000000 ] 1.500000 setdash "},
        {"a dash without a gap", {{3, 0}}, 0.0, "[] 0 setdash "},
        {"the last pair",
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {1, 1}},
         0.0,
         "[0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 "
         "1.000000 1.000000 ] 0.000000 setdash "},
    };
    for (const Case& c : cases) {
        Recorded r = Record();
        CPenDefRef pen = Make<CPenDefRef>();
        for (size_t i = 0; i < c.pairs.size(); i++) {
            pen->SetDash(int(i), c.pairs[i].dash);
            pen->SetGap(int(i), c.pairs[i].gap);
        }
        pen->SetDashOffset(c.offset);
        r.port->SetPen(pen);
        r.port->DrawLine(P(0, 0), P(1, 1));
        EXPECT_NE(r.context->All().find(c.text), std::string::npos)
            << c.what << ": " << r.context->All();
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
    EXPECT_EQ(r.context->sends.back(),
              "0.000000 0.000000 moveto 1.000000 1.000000 lineto stroke \n");
    // Back to a miter join: the join and the new limit.
    round->SetJoin(0);
    r.port->DrawLine(P(0, 0), P(1, 1));
    EXPECT_EQ(r.context->sends.back().substr(0, 44),
              "0 setlinejoin 3.000000 setmiterlimit 0.00000");

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
    EXPECT_EQ(
        r.context->sends.back().find(
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
    EXPECT_NE(plain.find("1.000000 0.000000 0.000000 setrgbcolor 10.000000 20.000000 30.000000 "
                         "20.000000 rectfill "),
              std::string::npos);
    EXPECT_NE(
        plain.find("0.000000 0.000000 1.000000 setrgbcolor 10.000000 20.000000 30.000000 20.000000 "
                   "rectstroke \n"),
        std::string::npos);
    EXPECT_LT(plain.find("setlinewidth"), plain.find("rectstroke"));

    // Turned: about the centre, inside gsave ... grestore.
    EXPECT_TRUE(r.port->DrawRect(P(10, 20), P(40, 40), 30.0, true, false));
    EXPECT_EQ(r.context->sends.back(),
              "gsave 25.000000 30.000000 translate 30.000000 rotate 1.000000 0.000000 0.000000 "
              "setrgbcolor "
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
    const std::string& line = r.context->sends.back();
    EXPECT_NE(line.find("1.000000 0.000000 0.000000 setrgbcolor"), std::string::npos) << line;
    EXPECT_NE(line.find("setlinewidth"), std::string::npos) << line;
    EXPECT_NE(line.find("/DeviceGray setcolorspace"), std::string::npos) << line;
}

TEST_F(CGraPortTest, PaintingShapes)
{
    struct Case {
        const char* what;
        std::function<bool(const CGraPortRef&)> draw;
        std::string text;
    } const cases[] = {
        {"circle", [](const CGraPortRef& p) { return p->DrawCircle(P(5, 6), 2); },
         "7.000000 6.000000 moveto 5.000000 6.000000 2.000000 0 360 arc stroke \n"},
        {"curve",
         [](const CGraPortRef& p) { return p->DrawCurve(P(0, 1), P(2, 3), P(4, 5), P(6, 7)); },
         "0.000000 1.000000 moveto 2.000000 3.000000 4.000000 5.000000 6.000000 7.000000 curveto "
         "stroke \n"},
        {"round corner",
         [](const CGraPortRef& p) { return p->DrawRoundCorner(P(0, 0), P(10, 0), P(10, 10), 3); },
         "0.000000 0.000000 moveto 10.000000 0.000000 10.000000 10.000000 3.000000 arct "
         "10.000000 10.000000 lineto stroke \n"},
    };
    for (const Case& c : cases) {
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
    EXPECT_TRUE(port->DrawLine(P(2, 2), P(3, 1))); // goes on from the last point
    EXPECT_TRUE(port->DrawCurve(P(3, 1), P(4, 0), P(5, 0), P(6, 1)));
    EXPECT_TRUE(port->DrawRoundCorner(P(6, 1), P(8, 1), P(8, 3), 1));
    EXPECT_TRUE(port->DrawCircle(P(0, 0), 4)); // starts anew
    EXPECT_TRUE(port->DrawRect(P(0, 0), P(2, 3), 30.0, true, true));
    EXPECT_TRUE(port->DrawLine(P(0, 0), P(1, 0))); // goes on from the rectangle's corner
    const std::vector<std::string> expected = {
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
        const char* what;
        DPoint radii;
        double a1, a2;
        int kind;
        std::string text; // empty: nothing appended
    } const cases[] = {
        {"open",
         {4, 2},
         0,
         90,
         223,
         "10.000000 20.000000 translate 15.000000 rotate 1 0.500000 scale 4.000000 0.000000 moveto "
         "0 0 4.000000 0.000000 90.000000 arc 1 2.000000 scale -15.000000 rotate -10.000000 "
         "-20.000000 "
         "translate 0.000000 4.000000 moveto \n"},
        {"pie",
         {4, 2},
         0,
         90,
         225,
         "10.000000 20.000000 translate 15.000000 rotate 1 0.500000 scale 0 0 moveto "
         "0 0 4.000000 0.000000 90.000000 arc 1 2.000000 scale -15.000000 rotate -10.000000 "
         "-20.000000 "
         "translate \n"},
        {"whole",
         {4, 4},
         30,
         30,
         222,
         "10.000000 20.000000 translate 15.000000 rotate 1 1.000000 scale 4.000000 0.000000 moveto "
         "0 0 4.000000 0.000000 360.000000 arc 1 1.000000 scale -15.000000 rotate -10.000000 "
         "-20.000000 "
         "translate \n"},
        {"flat", {4, 0}, 0, 90, 224, ""},
        {"no width", {0, 4}, 0, 90, 224, ""},
        {"equal angles", {4, 2}, 45, 45, 224, ""},
    };
    for (const Case& c : cases) {
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
        const char* what;
        CGraScreen screen;
        bool ok;
        std::string text;
    } const cases[] = {
        {"default screen", {150, 0.5, 0, false, false}, true, "150.000000 .sethiresscreen \n"},
        {"round dot, negative, shifted",
         {60, 0.785398163375, 1, true, true},
         true,
         "60.000000 45.000000 { 180 mul cos exch 180 mul cos add 2 div } bind setscreen "
         "{ 1 exch sub } bind settransfer -50.000000 -50.000000 translate \n"},
        {"line",
         {60, 0, 7, false, false},
         true,
         "60.000000 0.000000 { exch pop } bind setscreen \n"},
        {"spot 9", {60, 0, 9, false, false}, false, ""},
        {"spot -1", {60, 0, -1, false, false}, false, ""},
    };
    for (const Case& c : cases) {
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

    port->AddToken(
        "1.5 0 printobject -2.25 0 printobject 100.0 0 printobject 0.125 0 printobject flush");
    ASSERT_TRUE(port->Flush());
    ASSERT_EQ(port->RetResultCount(), 4);
    EXPECT_EQ(port->RetResult(0), 1.5);
    EXPECT_EQ(port->RetResult(1), -2.25);
    EXPECT_EQ(port->RetResult(2), 100.0);
    EXPECT_EQ(port->RetResult(3), 0.125);

    port->AddToken("newpath 0 0 moveto 10 0 lineto 10 10 lineto closepath 5 2 ineofill 0 "
                   "printobject flush newpath");
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
std::vector<unsigned char> RenderWithGs(const std::string& postscript, int w, int h)
{
    ScratchDir dir;
    std::string const ps = dir.Path() + "/reference.ps";
    std::string const ppm = dir.Path() + "/reference.ppm";
    {
        std::ofstream out(ps);
        out << postscript;
    }
    std::string command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r72 -g" +
                          std::to_string(w) + "x" + std::to_string(h) + " -sOutputFile=" + ppm +
                          " " + ps + " >/dev/null 2>&1";
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
    const std::string& magic = fields[0];
    const int pw = std::atoi(fields[1].c_str());
    const int ph = std::atoi(fields[2].c_str());
    if (magic != "P6" || pw != w || ph != h)
        return {};
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    return in ? rgb : std::vector<unsigned char>();
}

} // namespace

TEST_F(CGraPortTest, PixelsEqualThoseOfTheBareInterpreter)
{
    const int w = 64, h = 48;
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
    const unsigned char* got = context->RetBuffer();
    ASSERT_NE(got, nullptr);
    size_t red = 0, black = 0, differ = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const unsigned char* g = got + (size_t(y) * w + x) * 3;             // BGR
            const unsigned char* e = expected.data() + (size_t(y) * w + x) * 3; // RGB
            if (g[2] != e[0] || g[1] != e[1] || g[0] != e[2])
                differ++;
            red += e[0] == 255 && e[1] == 0 && e[2] == 0;
            black += e[0] == 0 && e[1] == 0 && e[2] == 0;
        }
    EXPECT_EQ(differ, 0u);
    EXPECT_GT(red, 500u);
    EXPECT_GT(black, 100u);
}

// ---- Collection modes, fills, text and brushes

namespace {

// The answer of "pathbbox" and four "printobject": ury first.
std::string BoxAnswer(float llx, float lly, float urx, float ury)
{
    return RealAnswer(ury) + RealAnswer(urx) + RealAnswer(lly) + RealAnswer(llx);
}

// A square outline drawn with four lines.
void Square(const CGraPortRef& port, double x1, double y1, double x2, double y2)
{
    port->DrawLine(P(x1, y1), P(x2, y1));
    port->DrawLine(P(x2, y1), P(x2, y2));
    port->DrawLine(P(x2, y2), P(x1, y2));
    port->DrawLine(P(x1, y2), P(x1, y1));
}

// The points of every "x y op" in the text.
std::vector<DPoint> PointsBefore(const std::string& text, const std::string& op)
{
    std::vector<DPoint> out;
    std::string const key = " " + op + " ";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        size_t begin = at;
        for (int spaces = 0; begin > 0; begin--)
            if (text[begin - 1] == ' ' && ++spaces == 2)
                break;
        // begin is at the start of "x".
        char* end = nullptr;
        const double x = std::strtod(text.c_str() + begin, &end);
        const double y = std::strtod(end, nullptr);
        out.push_back(P(x, y));
    }
    return out;
}

// A brush of one shape through the points (the first is its start), in
// colours c0 (initial) and c1 (final).
CPatternDefRef ShapeBrush(const std::vector<DPoint>& points, int flags, int c0 = 0, int c1 = 0,
                          double width = 0.1)
{
    CPatternDefRef brush = Make<CPatternDefRef>();
    brush->Clear();
    int used = 0;
    double header[12] = {10, double(flags), double(c0),  double(c1),  width,      width, 0,
                         0,  points[0].x,   points[0].y, points[0].x, points[0].y};
    brush->InsertElement(used, header);
    for (size_t i = 1; i < points.size(); i++) {
        brush->GetLength(used);
        double point[5] = {20, points[i].x, points[i].y, points[i].x, points[i].y};
        brush->InsertElement(used, point);
    }
    return brush;
}

// The unit square about the origin, closed.
std::vector<DPoint> UnitSquare()
{
    return {P(-0.5, -0.5), P(0.5, -0.5), P(0.5, 0.5), P(-0.5, 0.5), P(-0.5, -0.5)};
}

} // namespace

class CGraPortLiveTest : public CGraPortTest {
protected:
    // A port drawing into a white display context of w x h pixels.
    void Start(uint32_t width, uint32_t height)
    {
        w = int(width);
        h = int(height);
        context = Display(width, height);
        port = Make<CGraPortRef>();
        port->SetTarget(context);
        ASSERT_TRUE(port->InitBinaryMode());
        port->InitGraphics();
        ASSERT_TRUE(port->ErasePage());
    }
    // The pixel at user (x, y) of a port at scale 1, as {r, g, b}.
    std::vector<int> Pixel(int x, int y)
    {
        context->ReadBack();
        const unsigned char* row =
            context->RetBuffer() + size_t(h - 1 - y) * context->RetRowBytes();
        const unsigned char* p = row + 3 * x;
        return {p[2], p[1], p[0]};
    }
    bool Dark(int x, int y)
    {
        std::vector<int> p = Pixel(x, y);
        return p[0] + p[1] + p[2] < 3 * 128;
    }
    bool White(int x, int y) { return Pixel(x, y) == std::vector<int>{255, 255, 255}; }

    // The handles let go before the runtime stops.
    void TearDown() override
    {
        port = CGraPortRef();
        context = GSContextRef();
        CGraPortTest::TearDown();
    }

    GSContextRef context;
    CGraPortRef port;
    int w = 0;
    int h = 0;
};

TEST_F(CGraPortTest, EndPathFillsAndStrokesTheCollectedPath)
{
    Recorded r = Record();
    r.port->SetFillColor(Rgb(1, 0, 0));
    r.port->SetPenColor(Rgb(0, 0, 1));
    // The colour is written by a first fill.
    r.port->BeginPath();
    Square(r.port, 0, 0, 10, 10);
    EXPECT_TRUE(r.port->EndPath(true, false, true));
    EXPECT_NE(r.context->sends.back().find("1.000000 0.000000 0.000000 setrgbcolor"),
              std::string::npos);
    r.port->BeginPath();
    Square(r.port, 0, 0, 10, 10);
    const size_t before = r.context->sends.size();
    EXPECT_TRUE(r.port->EndPath(true, false, true));
    ASSERT_EQ(r.context->sends.size(), before + 1);
    EXPECT_EQ(r.context->sends.back(), "closepath gsave eofill grestore newpath \n");
    // The four lines meet: one subpath.
    std::string const all = r.context->All();
    EXPECT_EQ(Count(all, "moveto"), 2u);

    // Fill and stroke: the stroke colour after the fill.
    r.port->BeginPath();
    Square(r.port, 0, 0, 10, 10);
    EXPECT_TRUE(r.port->EndPath(true, true, false));
    std::string const both = r.context->sends.back();
    EXPECT_EQ(both.substr(0, 22), "gsave eofill grestore ") << both;
    EXPECT_EQ(both.substr(both.size() - 55),
              "0.000000 0.000000 1.000000 setrgbcolor stroke newpath \n");

    // Out of path mode: false, nothing written.
    const size_t sends = r.context->sends.size();
    EXPECT_FALSE(r.port->EndPath(true, true, true));
    r.port->BeginHitTest();
    r.port->DrawLine(P(0, 0), P(5, 5));
    EXPECT_FALSE(r.port->EndPath(true, true, true));
    EXPECT_EQ(r.context->sends.size(), sends + 1); // the line only
    EXPECT_EQ(r.port->RetLength(), 0);
}

TEST_F(CGraPortTest, DeferredDrawingsGoWithTheNextSendThatReadsAnswers)
{
    // The same drawings written at once and deferred: the same text, line
    // feeds included, the deferred one in a single send at Flush.
    Recorded now = Record();
    Recorded later = Record();
    later.port->SetDeferred(true);
    for (const Recorded* r : {&now, &later}) {
        EXPECT_TRUE(r->port->DrawLine(P(0, 0), P(1, 2)));
        EXPECT_TRUE(r->port->DrawRect(P(0, 0), P(3, 4), 0.0, false, true));
        EXPECT_TRUE(r->port->DrawCircle(P(5, 5), 2.0));
    }
    EXPECT_EQ(now.context->sends.size(), 3u);
    EXPECT_TRUE(later.context->sends.empty());
    later.port->SetDeferred(false);
    EXPECT_TRUE(later.context->sends.empty()); // turning it off sends nothing
    EXPECT_TRUE(later.port->Flush());
    ASSERT_EQ(later.context->sends.size(), 1u);
    EXPECT_EQ(later.context->sends[0], now.context->All());

    // A hit test sends the kept drawings before its question, and reads
    // the answer of the whole.
    Recorded hit = Record();
    hit.port->SetDeferred(true);
    hit.port->DrawLine(P(0, 0), P(1, 0));
    hit.port->BeginHitTest();
    Square(hit.port, 0, 0, 10, 10);
    hit.context->answer = Sequence(4, 1);
    EXPECT_TRUE(hit.port->EndHitTest(P(5, 5), 1.0, true, false, true));
    ASSERT_GE(hit.context->sends.size(), 1u);
    const std::string& first = hit.context->sends[0];
    EXPECT_LT(first.find("lineto"), first.find("ineofill"));

    // A deferred drawing the interpreter refuses answers true; Flush tells.
    Recorded failing = Record();
    failing.port->SetDeferred(true);
    failing.context->runs = false;
    EXPECT_TRUE(failing.port->DrawLine(P(0, 0), P(1, 1)));
    failing.port->SetDeferred(false);
    EXPECT_FALSE(failing.port->Flush());
}

TEST_F(CGraPortTest, NumbersRoundAsTheCLibraryDoes)
{
    // Close to a half in the sixth decimal, a sign on a zero, the largest
    // numbers of the short way and beyond it: the text of "%f".
    const double values[] = {0.0,           -0.0,           0.0000005,       -0.0000005,
                             0.0000015,     0.0000025,      -0.0000001,      0.1234565,
                             2.675,         1.0000005,      999999.9999995,  1099511.627775,
                             1099511.62778, 1099511.627776, 1234567.8901235, 0.1,
                             -3.14159265,   255.0 / 256.0,  1.0 / 3.0,       -2.0 / 3.0};
    for (double v : values) {
        CGraPortRef port = Make<CGraPortRef>();
        ASSERT_TRUE(port->AddReal(v));
        char expected[64];
        std::snprintf(expected, sizeof expected, "%f ", v);
        EXPECT_EQ(Buffer(port), expected) << v;
    }
}

TEST_F(CGraPortTest, NumbersDrawnAreWrittenAsAppended)
{
    // The drawings write their numbers in place; each must read as the
    // appender's "%f" text: zeros and signs, whole numbers of every width,
    // halves and the rounding edge of the sixth decimal, the largest
    // numbers of the short way and beyond, tiny numbers, and those that
    // are no numbers, which are written as the conversion writes them.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        const char* text; // "%f" when empty
    };
    const Case cases[] = {
        {0.0, ""},
        {-0.0, ""},
        {1.0, ""},
        {-7.0, ""},
        {10.0, ""},
        {99.0, ""},
        {100.0, ""},
        {12345.0, ""},
        {999999.0, ""},
        {1000000.0, ""},
        {1099511.0, ""},
        {1099512.0, ""},
        {0.5, ""},
        {-2.5, ""},
        {0.0000005, ""},
        {-0.0000005, ""},
        {0.0000015, ""},
        {0.0000025, ""},
        {0.1234565, ""},
        {2.675, ""},
        {1.0000005, ""},
        {999999.9999995, ""},
        {9.9999995, ""},
        {99.99999949, ""},
        {1099511.627775, ""},
        {1099511.627776, ""},
        {1e7, ""},
        {-1e15, ""},
        {1e300, ""},
        {1e-7, ""},
        {-4.9999999e-7, ""},
        {5e-324, ""},
        {255.0 / 256.0, ""},
        {1.0 / 3.0, ""},
        {-2.0 / 3.0, ""},
        {inf, "inf"},
        {-inf, "-inf"},
        {nan, "nan"},
        {-nan, "-nan"},
    };
    for (const Case& c : cases) {
        char expected[400];
        if (*c.text)
            std::snprintf(expected, sizeof expected, "%s ", c.text);
        else
            std::snprintf(expected, sizeof expected, "%f ", c.value);
        CollectingPortRef drawn = Make<CollectingPortRef>();
        drawn->EmitReal(c.value);
        EXPECT_EQ(Buffer(drawn), expected) << c.value;
        CGraPortRef appended = Make<CGraPortRef>();
        ASSERT_TRUE(appended->AddReal(c.value));
        EXPECT_EQ(Buffer(appended), expected) << c.value;
    }
    // Every colour component of a byte, and numbers a step of the last
    // decimal around its halves.
    for (int i = 0; i <= 255; i++) {
        const double values[] = {i / 255.0, -i / 255.0, i * 4321.5 + 0.0000005,
                                 i * 3.0 + 0.0000025 * (i % 7), i * 1e-6 - 5e-7};
        for (double v : values) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%f ", v);
            CollectingPortRef drawn = Make<CollectingPortRef>();
            drawn->EmitReal(v);
            ASSERT_EQ(Buffer(drawn), expected) << v;
        }
    }
}

TEST_F(CGraPortTest, HitTestsWriteTheirQuestions)
{
    Recorded r = Record();
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(0.5);
    r.port->SetPen(pen);
    r.port->DrawLine(P(0, 0), P(1, 0)); // the pen as it is: 0.5
    r.port->BeginHitTest();
    Square(r.port, 0, 0, 10, 10);
    r.context->answer = Sequence(4, 1);
    EXPECT_TRUE(r.port->EndHitTest(P(5, 5), 2.0, true, true, true));
    std::string const inside = r.context->All();
    EXPECT_NE(inside.find("closepath 5.000000 5.000000 ineofill 0 printobject flush \n"),
              std::string::npos);
    EXPECT_EQ(inside.find("instroke"), std::string::npos);

    // A miss of the fill goes on with the stroke, the pen widened to 3 / zoom.
    r.port->BeginHitTest();
    Square(r.port, 0, 0, 10, 10);
    r.context->answers = {Sequence(4, 0), Sequence(4, 1)};
    const size_t first = r.context->sends.size();
    EXPECT_TRUE(r.port->EndHitTest(P(10, 5), 2.0, true, true, true));
    ASSERT_EQ(r.context->sends.size(), first + 3); // fill, stroke, newpath
    EXPECT_EQ(r.context->sends[first + 1],
              "1.500000 setlinewidth 10.000000 5.000000 instroke 0 printobject flush \n");
    EXPECT_EQ(r.context->sends[first + 2], "newpath \n");
    // The next painting writes the pen's own width.
    r.port->DrawLine(P(0, 0), P(1, 0));
    EXPECT_EQ(r.context->sends.back().substr(0, 22), "0.500000 setlinewidth ");

    // No hit: false; out of hit-test mode: false and nothing written.
    r.port->BeginHitTest();
    Square(r.port, 0, 0, 10, 10);
    r.context->answers = {Sequence(4, 0)};
    EXPECT_FALSE(r.port->EndHitTest(P(50, 50), 2.0, true, false, true));
    const size_t sends = r.context->sends.size();
    EXPECT_FALSE(r.port->EndHitTest(P(5, 5), 1.0, true, true, true));
    EXPECT_EQ(r.context->sends.size(), sends);
}

TEST_F(CGraPortTest, BoundsAskForTheBoxOfTheOutline)
{
    Recorded r = Record();
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(4.0);
    r.port->SetPen(pen);
    r.port->DrawLine(P(0, 0), P(1, 0));
    r.port->BeginBounds();
    Square(r.port, 0, 0, 10, 10);
    r.context->answer = BoxAnswer(1, 2, 3, 4);
    DRect box = {};
    EXPECT_TRUE(r.port->EndBounds(box, false, true));
    EXPECT_EQ(r.context->sends.back(),
              "closepath 0.000000 setlinewidth strokepath {pathbbox} stopped "
              "{$error /newerror false put} {0 printobject 0 printobject 0 printobject "
              "0 printobject} ifelse flush newpath \n");
    EXPECT_EQ(box.x1, 1.0);
    EXPECT_EQ(box.y1, 2.0);
    EXPECT_EQ(box.x2, 3.0);
    EXPECT_EQ(box.y2, 4.0);

    // No segment: false without a send; a wrong answer: false.
    const size_t sends = r.context->sends.size();
    r.port->BeginBounds();
    EXPECT_FALSE(r.port->EndBounds(box, true, false));
    EXPECT_EQ(r.context->sends.size(), sends);
    EXPECT_FALSE(r.port->EndBounds(box, true, false)); // no longer in bounds mode
    r.port->BeginBounds();
    r.port->DrawLine(P(0, 0), P(1, 1));
    r.context->answers = {RealAnswer(1.0f)};
    EXPECT_FALSE(r.port->EndBounds(box, true, false));
}

TEST_F(CGraPortLiveTest, BoxesAndHitsInTheInterpreter)
{
    Start(60, 60);
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(4.0);
    port->SetPen(pen);
    port->SetPenColor(Rgb(0, 0, 0));
    DRect box = {};
    port->BeginBounds();
    Square(port, 10, 10, 30, 30);
    ASSERT_TRUE(port->EndBounds(box, false, true));
    // Device-pixel steps: within one pixel.
    EXPECT_NEAR(box.x1, 10, 1.0);
    EXPECT_NEAR(box.y1, 10, 1.0);
    EXPECT_NEAR(box.x2, 30, 1.0);
    EXPECT_NEAR(box.y2, 30, 1.0);
    port->BeginBounds();
    Square(port, 10, 10, 30, 30);
    ASSERT_TRUE(port->EndBounds(box, true, true));
    EXPECT_NEAR(box.x1, 8, 1.0);
    EXPECT_NEAR(box.y2, 32, 1.0);

    // Hits at four pixels per unit.
    CGraTransform t = {0, 0, 4.0, 0};
    port->SetTransform(t);
    pen->SetWidth(0.5);
    struct Case {
        const char* what;
        DPoint at;
        bool fill, stroke;
        bool hit;
    } const cases[] = {
        {"inside", {5, 5}, true, false, true},
        {"outside", {12, 5}, true, true, false},
        {"on the edge, fill only", {10.2, 5}, true, false, false},
        {"near the edge", {10.2, 5}, false, true, true},
        {"beyond the widened pen", {10.8, 5}, false, true, false},
        {"inside, stroke only", {5, 5}, false, true, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(port->BeginHitTest());
        Square(port, 0, 0, 10, 10);
        EXPECT_EQ(port->EndHitTest(c.at, 4.0, c.fill, c.stroke, true), c.hit) << c.what;
    }
}

// The depth of the interpreter's execution stack, asked through the binding.
int ExecutionDepth(const GSContextRef& context)
{
    context->ClearOutput();
    if (!context->ExecuteText("countexecstack 20 string cvs print flush\n", 0))
        return -1;
    char out[32] = {};
    if (!context->ReadOutput(out, int(sizeof out)))
        return -1;
    return std::atoi(out);
}

TEST_F(CGraPortLiveTest, OutlinesWithoutBoxLeaveTheInterpreterAsItWas)
{
    Start(20, 20);
    // A point under a pen of no width strokes to nothing: no box, and the
    // interpreter keeps no trace of the question, however often it is asked.
    DRect box = {};
    auto measureAPoint = [&] {
        port->BeginBounds();
        port->DrawLine(P(5, 5), P(5, 5));
        return port->EndBounds(box, false, false);
    };
    EXPECT_FALSE(measureAPoint());
    const int depth = ExecutionDepth(context);
    ASSERT_GT(depth, 0);
    for (int i = 0; i < 50; i++)
        ASSERT_FALSE(measureAPoint()) << i;
    EXPECT_EQ(ExecutionDepth(context), depth);
    // A true outline is measured as before.
    port->BeginBounds();
    port->DrawLine(P(2, 3), P(12, 3));
    ASSERT_TRUE(port->EndBounds(box, false, false));
    EXPECT_NEAR(box.x1, 2, 1.0);
    EXPECT_NEAR(box.x2, 12, 1.0);
    EXPECT_EQ(ExecutionDepth(context), depth);
}

TEST_F(CGraPortLiveTest, UniformFillsPaintInsideOnly)
{
    Start(40, 40);
    CColorDefRef red = Rgb(1, 0, 0);
    port->SetFillColor(red);
    port->BeginPath();
    Square(port, 10, 10, 30, 30);
    ASSERT_TRUE(port->EndPath(true, false, true));
    EXPECT_EQ(Pixel(20, 20), (std::vector<int>{255, 0, 0}));
    EXPECT_TRUE(White(5, 5));
    EXPECT_TRUE(White(35, 20));

    // A fully transparent fill paints nothing.
    Start(40, 40);
    port->SetFillColor(red);
    red->SetIndex(0);
    red->SetTransparency(1.0);
    port->BeginPath();
    Square(port, 10, 10, 30, 30);
    ASSERT_TRUE(port->EndPath(true, false, true));
    EXPECT_TRUE(White(20, 20));
}

namespace {

// A fill colour: background at index 0, pattern colour at index 1.
CColorDefRef FillColours(double r0, double g0, double b0, double r1, double g1, double b1,
                         bool clearBackground)
{
    CColorDefRef c = Make<CColorDefRef>();
    c->SetCount(2);
    c->SetIndex(0);
    c->SetRGB(r0, g0, b0);
    if (clearBackground)
        c->SetTransparency(1.0);
    c->SetIndex(1);
    c->SetRGB(r1, g1, b1);
    c->SetIndex(0);
    return c;
}

CMotifDefRef Hatching(double thickness, double spacing, double angle)
{
    CMotifDefRef m = Make<CMotifDefRef>();
    m->SetValue(CMotifDef::KIND_HATCHING);
    m->SetHatchThickness(0, thickness);
    m->SetHatchSpacing(0, spacing);
    m->SetHatchAngle(0, angle);
    return m;
}

} // namespace

TEST_F(CGraPortTest, HatchingDefinesATilingPattern)
{
    struct Case {
        const char* what;
        double angle;
        std::string text; // expected within the pattern
    } const cases[] = {
        {"angle 0", 0.0,
         "/BBox [ -0.500000 -0.500000 1.500000 5.500000 ] /XStep 1.000000 /YStep 5.000000 "
         "/PaintProc { pop "
         "0.000000 0.000000 0.000000 setrgbcolor [] 0 setdash 1.000000 setlinewidth -1.000000 "
         "0.000000 moveto "
         "2.000000 0.000000 lineto stroke } >> [1 0 0 1 0 0] makepattern /Motif0 exch def Motif0 "
         "setpattern "
         "gsave eofill grestore "},
        {"a full turn is angle 0", 6.283185307, "/XStep 1.000000 /YStep 5.000000 "},
        // A half turn steps back: the box keeps its size.
        {"half turn", 3.14159265359,
         "/BBox [ -0.500000 -0.500000 1.500000 5.500000 ] /XStep -1.000000 "},
        {"three-quarter turn", 4.71238898038,
         "/BBox [ -0.500000 -0.500000 5.500000 1.500000 ] /XStep 5.000000 "
         "/YStep -1.000000 "},
    };
    for (const Case& c : cases) {
        Recorded r = Record();
        r.port->SetFillColor(FillColours(1, 1, 1, 0, 0, 0, true));
        r.port->SetMotif(Hatching(1.0, 5.0, c.angle));
        r.port->BeginPath();
        Square(r.port, 0, 0, 10, 10);
        EXPECT_TRUE(r.port->EndPath(true, false, true)) << c.what;
        EXPECT_NE(r.context->All().find(c.text), std::string::npos)
            << c.what << ": " << r.context->All();
    }

    // No spacing: no pattern pass, only the background.
    Recorded r = Record();
    r.port->SetFillColor(FillColours(1, 1, 1, 0, 0, 0, false));
    r.port->SetMotif(Hatching(1.0, 0.0, 0.0));
    r.port->BeginPath();
    Square(r.port, 0, 0, 10, 10);
    EXPECT_TRUE(r.port->EndPath(true, false, true));
    EXPECT_EQ(r.context->All().find("makepattern"), std::string::npos);
    EXPECT_EQ(Count(r.context->All(), "eofill"), 1u);
}

TEST_F(CGraPortLiveTest, HatchingLinesInTheInterpreter)
{
    Start(60, 60);
    port->SetFillColor(FillColours(1, 1, 1, 0, 0, 0, true));
    port->SetMotif(Hatching(1.0, 5.0, 0.0));
    port->BeginPath();
    Square(port, 0, 0, 60, 60);
    ASSERT_TRUE(port->EndPath(true, false, true));
    // A dark row every 5 pixels up a column.
    int dark = 0;
    for (int y = 2; y + 5 <= 58; y++) {
        int in_window = 0;
        for (int k = 0; k < 5; k++)
            in_window += Dark(30, y + k);
        EXPECT_GE(in_window, 1) << y;
        EXPECT_LE(in_window, 2) << y;
        dark += Dark(30, y);
    }
    EXPECT_GE(dark, 10);

    // Half and three-quarter turns make a pattern too (no empty box).
    for (double angle : {3.14159265359, 4.71238898038}) {
        Start(60, 60);
        port->SetFillColor(FillColours(1, 1, 1, 0, 0, 0, true));
        port->SetMotif(Hatching(1.0, 5.0, angle));
        port->BeginPath();
        Square(port, 0, 0, 60, 60);
        ASSERT_TRUE(port->EndPath(true, false, true)) << angle;
        int lines = 0;
        for (int k = 0; k < 60; k++)
            lines += Dark(angle < 4 ? 30 : k, angle < 4 ? k : 30);
        EXPECT_GE(lines, 8) << angle;
    }

    // 150 degrees falls to the right: dark pixels repeat along (-cos 30, sin 30),
    // while along (cos 30, sin 30) the same distance lands between lines.
    Start(60, 60);
    port->SetFillColor(FillColours(1, 1, 1, 0, 0, 0, true));
    port->SetMotif(Hatching(1.0, 6.928, 150.0 / 57.29577951471995));
    port->BeginPath();
    Square(port, 0, 0, 60, 60);
    ASSERT_TRUE(port->EndPath(true, false, true));
    int along = 0, across = 0;
    for (int y = 5; y < 35; y++)
        for (int x = 20; x < 40; x++)
            if (Dark(x, y)) {
                along += Dark(x - 17, y + 10);
                across += Dark(x + 17, y + 10);
            }
    EXPECT_GT(along, 2 * across) << along << " " << across;
}

TEST_F(CGraPortTest, AxialGradientText)
{
    Recorded r = Record();
    r.port->SetFillColor(FillColours(1, 0, 0, 0, 0, 1, false));
    CMotifDefRef m = Make<CMotifDefRef>();
    m->SetValue(CMotifDef::KIND_GRADIENT);
    r.port->SetMotif(m);
    r.port->BeginPath();
    Square(r.port, 0, 0, 10, 10);
    r.context->answer = BoxAnswer(0, 0, 10, 10);
    EXPECT_TRUE(r.port->EndPath(true, false, true));
    std::string const all = r.context->All();
    EXPECT_NE(
        all.find("gsave pathbbox 0 printobject 0 printobject 0 printobject 0 printobject flush \n"),
        std::string::npos);
    EXPECT_NE(all.find("clip newpath << /ShadingType 2 /ColorSpace /DeviceRGB /Coords ["),
              std::string::npos);
    EXPECT_EQ(Count(all, "/FunctionType 2"), 1u);
    EXPECT_NE(
        all.find(
            "/C0 [ 1.000000 0.000000 0.000000 ] /C1 [ 0.000000 0.000000 1.000000 ] /N 1.000000 >> "
            "] /Bounds [ ] /Encode [ 0 1 ] >> /Extend [true true] >> shfill initclip grestore "),
        std::string::npos)
        << all;
    EXPECT_EQ(all.find("eofill"), std::string::npos); // the shading is the fill

    // Exponents from the further numbers; three colours have one bound.
    struct Case {
        double v;
        const char* n;
    } const cases[] = {{-1.0, "/N 0.500000 "}, {1.0, "/N 10.000000 "}, {0.5, "/N 5.500000 "}};
    for (const Case& c : cases) {
        Recorded e = Record();
        e.port->SetFillColor(FillColours(1, 0, 0, 0, 0, 1, false));
        m->SetGradientPoint(13, c.v);
        e.port->SetMotif(m);
        e.port->BeginPath();
        Square(e.port, 0, 0, 10, 10);
        e.context->answer = BoxAnswer(0, 0, 10, 10);
        EXPECT_TRUE(e.port->EndPath(true, false, true));
        EXPECT_NE(e.context->All().find(c.n), std::string::npos) << c.v;
    }
    m->SetColorCount(3);
    m->ResetGradientPoints();
    Recorded three = Record();
    three.port->SetFillColor(FillColours(1, 0, 0, 0, 0, 1, false));
    three.port->SetMotif(m);
    three.port->BeginPath();
    Square(three.port, 0, 0, 10, 10);
    three.context->answer = BoxAnswer(0, 0, 10, 10);
    EXPECT_TRUE(three.port->EndPath(true, false, true));
    EXPECT_NE(three.context->All().find("] /Bounds [ 0.500000 ] /Encode [ 0 1 0 1 ] >>"),
              std::string::npos);

    // No box: the passes instead.
    Recorded none = Record();
    none.port->SetFillColor(FillColours(1, 0, 0, 0, 0, 1, false));
    none.port->SetMotif(m);
    none.port->BeginPath();
    Square(none.port, 0, 0, 10, 10);
    EXPECT_TRUE(none.port->EndPath(true, false, true));
    EXPECT_NE(none.context->All().find(
                  "grestore /DeviceGray setcolorspace 1.000000 0.000000 0.000000 setrgbcolor "
                  "gsave eofill grestore newpath"),
              std::string::npos)
        << none.context->All();
}

TEST_F(CGraPortLiveTest, GradientsInTheInterpreter)
{
    Start(42, 42);
    port->SetFillColor(FillColours(1, 0, 0, 0, 0, 1, false));
    CMotifDefRef m = Make<CMotifDefRef>();
    m->SetValue(CMotifDef::KIND_GRADIENT);
    port->SetMotif(m);
    port->BeginPath();
    Square(port, 0, 0, 41, 41);
    ASSERT_TRUE(port->EndPath(true, false, true));
    std::vector<int> centre = Pixel(20, 20); // about (20.5, 20.5), the square's centre
    EXPECT_NEAR(centre[0], 128, 3);
    EXPECT_NEAR(centre[1], 0, 3);
    EXPECT_NEAR(centre[2], 128, 3);
    // Red at the start of the axis, blue at its end.
    EXPECT_GT(Pixel(0, 0)[0], 230);
    EXPECT_GT(Pixel(40, 40)[2], 230);

    // Every kind of shading is accepted and paints the shape.
    for (int kind : {CMotifDef::GRADIENT_RADIAL, CMotifDef::GRADIENT_RECT,
                     CMotifDef::GRADIENT_TRIANGLES, CMotifDef::GRADIENT_CURVES}) {
        Start(40, 40);
        port->SetMotif(m);
        CColorDefRef colours = FillColours(1, 0, 0, 0, 0, 1, false);
        colours->SetCount(10);
        port->SetFillColor(colours);
        m->SetGradientType(kind);
        port->BeginPath();
        Square(port, 5, 5, 35, 35);
        EXPECT_TRUE(port->EndPath(true, false, true)) << kind;
        EXPECT_FALSE(White(20, 20)) << kind;
        EXPECT_FALSE(White(7, 7)) << kind;
        EXPECT_TRUE(White(2, 2)) << kind;
    }
}

namespace {

CPulsarDefRef VaryingPulsar()
{
    CPulsarDefRef p = Make<CPulsarDefRef>();
    p->SetValue(CPulsarDef::VARIABLE);
    return p;
}

CMotifDefRef Special(double step)
{
    CMotifDefRef m = Make<CMotifDefRef>();
    m->SetValue(CMotifDef::KIND_SPECIAL);
    m->SetStepX(step);
    m->SetStepY(step);
    m->SetOccupiedWidth(0.5);
    m->SetOccupiedHeight(0.5);
    return m;
}

} // namespace

TEST_F(CGraPortTest, SpecialFillsTooDenseGetTheDiagonalMark)
{
    struct Case {
        const char* what;
        double step;
        double offset; // shear of the cells
        float size;    // of the box
    } const cases[] = {
        {"10,000 cells", 1.0, 0.0, 100},
        {"a shear that widens the walk past 10,000 cells", 1.0, 500.0, 10},
    };
    for (const Case& c : cases) {
        Recorded r = Record();
        r.port->SetFillColor(FillColours(1, 1, 1, 0, 0, 0, true));
        CMotifDefRef m = Special(c.step);
        m->SetOffsetX(c.offset);
        r.port->SetMotif(m);
        r.port->SetFillBrush(ShapeBrush(UnitSquare(), 2));
        r.port->SetFillPulsar(VaryingPulsar());
        r.port->BeginPath();
        Square(r.port, 0, 0, c.size, c.size);
        r.context->answer = BoxAnswer(0, 0, c.size, c.size);
        EXPECT_TRUE(r.port->EndPath(true, false, true)) << c.what;
        std::string const n = std::to_string(int(c.size)) + ".000000";
        std::string const mark = "5.000000 setlinewidth 0.000000 0.000000 moveto " + n + " " + n +
                                 " lineto stroke 0.000000 " + n + " moveto " + n +
                                 " 0.000000 lineto stroke initclip grestore ";
        EXPECT_NE(r.context->All().find(mark), std::string::npos)
            << c.what << ": " << r.context->All();
        EXPECT_EQ(r.context->All().find("eofill"), std::string::npos) << c.what;
    }
}

TEST_F(CGraPortLiveTest, SpecialFillsInTheInterpreter)
{
    Start(40, 40);
    CMotifDefRef m = Special(10.0);
    port->SetMotif(m);
    port->SetFillBrush(ShapeBrush(UnitSquare(), 2));
    // Cell by cell: black squares of half a cell on a red background.
    port->SetFillColor(FillColours(1, 0, 0, 0, 0, 0, false));
    port->SetFillPulsar(VaryingPulsar());
    port->BeginPath();
    Square(port, 0, 0, 40, 40);
    ASSERT_TRUE(port->EndPath(true, false, true));
    int black = 0, red = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++) {
            std::vector<int> p = Pixel(x, y);
            black += p == std::vector<int>{0, 0, 0};
            red += p == std::vector<int>{255, 0, 0};
        }
    // Squares of 5 in cells of 10: a quarter of the area, and a pixel more
    // each way where the edges fall inside pixels.
    EXPECT_GE(black, 16 * 25);
    EXPECT_LE(black, 16 * 36);
    EXPECT_EQ(black + red, 1600);

    // A constant pulsar: the same cells as a tiling pattern.
    Start(40, 40);
    port->SetMotif(m);
    port->SetFillBrush(ShapeBrush(UnitSquare(), 2));
    port->SetFillColor(FillColours(1, 0, 0, 0, 0, 0, false));
    port->SetFillPulsar(CPulsarDefRef());
    port->BeginPath();
    Square(port, 0, 0, 40, 40);
    ASSERT_TRUE(port->EndPath(true, false, true));
    int pattern_black = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++)
            pattern_black += Pixel(x, y) == std::vector<int>{0, 0, 0};
    EXPECT_GE(pattern_black, 16 * 25);
    EXPECT_LE(pattern_black, 16 * 36);
}

// ---- Text

namespace {

CFontDefRef Font(const char* name, double size, double stretch = 0, double slant = 0)
{
    CFontDefRef f = Make<CFontDefRef>();
    f->SetName(ZuStringRef(name));
    f->SetScale(size);
    f->SetStretch(stretch);
    f->SetItalic(slant);
    return f;
}

} // namespace

TEST_F(CGraPortTest, TextSelectsReencodedFonts)
{
    Recorded r = Record();
    r.port->SetFont(Font("Helvetica", 12, 0.2, 0.1));
    EXPECT_TRUE(r.port->DrawText(P(1, 2), 0.0, "a(b", 3));
    EXPECT_TRUE(r.port->DrawText(P(1, 20), 0.0, "cd", 2));
    std::string const all = r.context->All();
    EXPECT_NE(
        all.find(
            "/Helvetica findfont dup length dict begin {1 index /FID ne {def } {pop pop } ifelse } "
            "forall /Encoding ISOLatin1Encoding def currentdict end /Helvetica-ISOLatin1 exch "
            "definefont pop /Helvetica-ISOLatin1 [14.400000 0.000000 1.200000 12.000000 0.000000 "
            "0.000000 ] selectfont "),
        std::string::npos)
        << all;
    EXPECT_EQ(Count(all, "definefont"), 1u);
    EXPECT_EQ(Count(all, "selectfont"), 1u);
    EXPECT_NE(
        all.find("1.000000 2.000000 moveto 0.000000 0 8#040 0.000000 0 (a\\(b) awidthshow \n"),
        std::string::npos);

    // Plain size, spacing and a turned text.
    CFontDefRef plain = Font("Times-Roman", 10);
    plain->SetWidth(0.2);
    plain->SetWordSpacing(0.5);
    r.port->SetFont(plain);
    EXPECT_TRUE(r.port->DrawText(P(3, 4), 30.0, "x", 1));
    EXPECT_NE(r.context->sends.back().find(
                  "/Times-Roman-ISOLatin1 10.000000 selectfont gsave 3.000000 4.000000 translate "
                  "30.000000 rotate "
                  "0 0 moveto 5.000000 0 8#040 1.000000 0 (x) awidthshow grestore \n"),
              std::string::npos)
        << r.context->sends.back();

    // Size 0 draws nothing; nothing to draw is true.
    r.port->SetFont(Font("Courier", 0));
    EXPECT_FALSE(r.port->DrawText(P(0, 0), 0.0, "x", 1));
    EXPECT_TRUE(r.port->DrawText(P(0, 0), 0.0, "", 0));
}

TEST_F(CGraPortTest, FontNamesFromFilesAreWrittenAsData)
{
    struct Case {
        const char* name;
        const char* text;
    } const cases[] = {
        {"My Font", "(My Font) cvn findfont"},
        {"x} quit {", "(x} quit {-ISOLatin1) cvn 12.000000 selectfont"},
        {"a(b)", "(a\\(b\\)-ISOLatin1) cvn exch definefont"},
        {"Caf\xe9", "(Caf\xe9) cvn findfont"},
        {"Helvetica-Bold", "/Helvetica-Bold-ISOLatin1 12.000000 selectfont"},
    };
    for (const Case& c : cases) {
        Recorded r = Record();
        r.port->SetFont(Font(c.name, 12));
        r.port->DrawText(P(0, 0), 0.0, "x", 1);
        EXPECT_NE(r.context->All().find(c.text), std::string::npos)
            << c.name << ": " << r.context->All();
    }
}

TEST_F(CGraPortTest, FiftyFontNamesAreRemembered)
{
    Recorded r = Record();
    char name[16];
    for (int i = 0; i < 51; i++) {
        std::snprintf(name, sizeof name, "F%d", i);
        r.port->SetFont(Font(name, 12));
        r.port->DrawText(P(0, 0), 0.0, "x", 1);
    }
    // F0 was dropped for F50: it is re-encoded again; F1 is still known.
    r.port->SetFont(Font("F1", 12));
    r.port->DrawText(P(0, 0), 0.0, "x", 1);
    EXPECT_EQ(Count(r.context->sends.back(), "definefont"), 0u);
    r.port->SetFont(Font("F0", 12));
    r.port->DrawText(P(0, 0), 0.0, "x", 1);
    EXPECT_EQ(Count(r.context->sends.back(), "/F0 findfont"), 1u);
}

TEST_F(CGraPortTest, LongTextsGoInPieces)
{
    Recorded r = Record();
    r.port->SetFont(Font("Helvetica", 12));
    std::string text(250, 'a');
    EXPECT_TRUE(r.port->DrawText(P(1, 2), 0.0, text.c_str(), int(text.size())));
    std::string const all = r.context->All();
    EXPECT_EQ(Count(all, "moveto"), 1u);
    EXPECT_EQ(Count(all, "awidthshow"), 3u);
    EXPECT_NE(all.find("(" + std::string(100, 'a') + ") awidthshow \n"), std::string::npos);
    EXPECT_NE(all.find("(" + std::string(50, 'a') + ") awidthshow \n"), std::string::npos);
}

TEST_F(CGraPortTest, CharacterMeasuresAreCached)
{
    Recorded r = Record();
    CFontDefRef f = Font("Helvetica", 10);
    f->SetWordSpacing(0.5);
    f->SetWidth(0.2);
    r.port->SetFont(f);
    r.context->answers = {BoxAnswer(0.5f, 0, 6.5f, 7), RealAnswer(0) + RealAnswer(6.5f)};
    DRect box = {};
    DPoint advance = {};
    ASSERT_TRUE(r.port->TextMetrics('A', box, advance));
    const size_t sends = r.context->sends.size();
    EXPECT_EQ(sends, 2u);
    EXPECT_NE(r.context->sends[0].find("0 0 moveto (A) false charpath pathbbox"),
              std::string::npos);
    EXPECT_EQ(r.context->sends[1], "(A) stringwidth 0 printobject 0 printobject flush \n");
    EXPECT_EQ(box.x1, 0.5);
    EXPECT_EQ(box.y2, 7.0);
    EXPECT_EQ(advance.x, 6.5 + 1.0); // letter spacing: 0.2 x 10 x 0.5
    ASSERT_TRUE(r.port->TextMetrics('A', box, advance));
    EXPECT_EQ(r.context->sends.size(), sends); // asked once
    EXPECT_EQ(advance.x, 7.5);

    // The space gets the word spacing too.
    r.context->answers = {BoxAnswer(0, 0, 0, 0), RealAnswer(0) + RealAnswer(2.5f)};
    ASSERT_TRUE(r.port->TextMetrics(' ', box, advance));
    EXPECT_EQ(advance.x, 2.5 + 5.0 + 1.0);
    ASSERT_TRUE(r.port->TextMetrics(' ', box, advance));
    EXPECT_EQ(r.context->sends.size(), sends + 2);

    // A failed measure caches nothing.
    r.context->answers = {RealAnswer(1)};
    EXPECT_FALSE(r.port->TextMetrics('B', box, advance));
    r.context->answers = {BoxAnswer(0, 0, 6, 7), RealAnswer(0) + RealAnswer(6.0f)};
    EXPECT_TRUE(r.port->TextMetrics('B', box, advance));
}

TEST_F(CGraPortLiveTest, TextInTheInterpreter)
{
    Start(120, 40);
    port->SetPenColor(Rgb(0, 0, 0));
    port->SetFont(Font("Helvetica", 20));
    ASSERT_TRUE(port->DrawText(P(5, 10), 0.0, "Hello \xe9", 7));
    int dark = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 120; x++)
            dark += Dark(x, y);
    EXPECT_GT(dark, 100);

    DRect box = {};
    DPoint advance = {};
    ASSERT_TRUE(port->TextMetrics('A', box, advance));
    EXPECT_NEAR(advance.x, 13.34, 0.05); // 667 thousandths of the size
    EXPECT_NEAR(box.y1, 0.0, 0.5);
    EXPECT_NEAR(box.y2, 14.3, 0.5);

    ZuListRef names;
    ASSERT_TRUE(port->GetFontList(names));
    ASSERT_TRUE(names.IsValid());
    bool helvetica = false;
    ZuObjectRef item;
    for (unsigned i = 0; names->Get(i, item); i++)
        helvetica = helvetica || std::string(ZuStringRef(item)->AccessLatin()) == "Helvetica";
    EXPECT_TRUE(helvetica);
}

// ---- Brushes and fancy strokes

TEST_F(CGraPortTest, BrushShapesFillAndStroke)
{
    struct Case {
        const char* what;
        int flags;
        std::string end;
    } const cases[] = {
        {"filled and stroked", 3, "closepath gsave eofill grestore stroke "},
        {"filled", 2, "closepath eofill "},
        {"stroked", 1, "lineto stroke "},
    };
    for (const Case& c : cases) {
        Recorded r = Record();
        ChangeRecord identity = {};
        identity.kind = 7;
        identity.a = P(1, 0);
        identity.b = P(0, 1);
        EXPECT_TRUE(
            r.port->DrawBrush(ShapeBrush(UnitSquare(), c.flags), Rgb(1, 0, 0), identity, 0.0, 0))
            << c.what;
        std::string const text = Buffer(r.port);
        EXPECT_EQ(text.substr(text.size() - c.end.size()), c.end) << c.what << ": " << text;
        EXPECT_EQ(Count(text, "setlinewidth") == 1, (c.flags & 1) != 0) << c.what;
    }
    Recorded r = Record();
    ChangeRecord none = {};
    EXPECT_FALSE(r.port->DrawBrush(CPatternDefRef(), Rgb(1, 0, 0), none, 0.0, 0));
}

TEST_F(CGraPortTest, BrushColoursBlendAlongTheStroke)
{
    CColorDefRef colours = FillColours(1, 0, 0, 0, 0, 1, false);
    struct Case {
        double t;
        const char* text;
    } const cases[] = {
        {0.5, "0.500000 0.000000 0.500000 setrgbcolor "},
        {0.0, "1.000000 0.000000 0.000000 setrgbcolor "},
        {1.0, "0.000000 0.000000 1.000000 setrgbcolor "},
    };
    for (const Case& c : cases) {
        Recorded r = Record();
        ChangeRecord identity = {};
        identity.kind = 7;
        identity.a = P(1, 0);
        identity.b = P(0, 1);
        r.port->DrawBrush(ShapeBrush(UnitSquare(), 2, 0, 1), colours, identity, c.t, 0);
        EXPECT_EQ(Buffer(r.port).substr(0, std::strlen(c.text)), c.text) << c.t;
    }
}

namespace {

CPenDefRef FancyPen(double step, int mode)
{
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetValue(CPenDef::KIND_FANCY);
    pen->SetMotifParam(step);
    pen->SetMotifPair(0, 1.0);
    pen->SetMotifPair(1, 1.0);
    pen->SetMotifMode(mode);
    return pen;
}

} // namespace

TEST_F(CGraPortTest, FancyStrokesRepeatTheBrush)
{
    // Step 30 along a line of 100: copies centred at 0, 30, 60 and 90.
    Recorded r = Record();
    r.port->SetPen(FancyPen(30, 0));
    r.port->SetStrokeBrush(ShapeBrush(UnitSquare(), 1));
    r.port->SetPenColor(Rgb(0, 0, 0));
    r.port->DrawLine(P(0, 0), P(100, 0));
    std::vector<DPoint> starts = PointsBefore(r.context->All(), "moveto");
    // The line's own moveto, then one per copy.
    ASSERT_EQ(starts.size(), 5u) << r.context->All();
    for (int i = 0; i < 4; i++) {
        EXPECT_NEAR(starts[i + 1].x, 30.0 * i - 15.0, 1e-5) << i;
        EXPECT_NEAR(std::fabs(starts[i + 1].y), 15.0, 1e-5) << i;
    }
    EXPECT_EQ(Count(r.context->All(), "newpath"), 1u);

    // The next plain stroke writes its pen and colour in full.
    CPenDefRef plain = Make<CPenDefRef>();
    r.port->SetPen(plain);
    r.port->DrawLine(P(0, 0), P(1, 1));
    for (const char* what :
         {"setlinewidth", "setlinecap", "setlinejoin", "setmiterlimit", "setdash", "setrgbcolor"})
        EXPECT_EQ(Count(r.context->sends.back(), what), 1u) << what;
    // With the fancy pen again, a circle is not recorded: stroked plainly,
    // not along the earlier path.
    r.port->SetPen(FancyPen(30, 0));
    const size_t sends = r.context->sends.size();
    r.port->DrawCircle(P(50, 50), 5);
    ASSERT_EQ(r.context->sends.size(), sends + 1);
    EXPECT_NE(r.context->sends.back().find("0 360 arc stroke \n"), std::string::npos);
    EXPECT_EQ(Count(r.context->sends.back(), "moveto"), 1u);
}

TEST_F(CGraPortTest, FittedFancyStrokes)
{
    struct Case {
        const char* what;
        bool closed;
        size_t copies;
    } const cases[] = {
        {"closed: three of 30 + 10/3", true, 3},
        {"open: one more, past the end", false, 4},
    };
    for (const Case& c : cases) {
        Recorded r = Record();
        r.port->SetPen(FancyPen(30, 0x200));
        r.port->SetStrokeBrush(ShapeBrush(UnitSquare(), 1));
        r.port->BeginPath();
        Square(r.port, 0, 0, 25, 25);
        const size_t before = r.context->sends.size();
        EXPECT_TRUE(r.port->EndPath(false, true, c.closed)) << c.what;
        std::string after;
        for (size_t i = before; i < r.context->sends.size(); i++)
            after += r.context->sends[i];
        std::vector<DPoint> starts = PointsBefore(after, "moveto");
        std::vector<DPoint> firsts = PointsBefore(after, "lineto");
        ASSERT_EQ(starts.size(), c.copies) << c.what << ": " << after;
        for (size_t i = 0; i < starts.size(); i++)
            EXPECT_NEAR(Distance(starts[i], firsts[4 * i]), 30.0 + 10.0 / 3.0, 1e-4) << c.what << i;
    }
}

TEST_F(CGraPortTest, FancyPathsTooLongForThePathObjectAreStrokedPlainly)
{
    Recorded r = Record();
    r.port->SetPen(FancyPen(5, 0));
    r.port->SetStrokeBrush(ShapeBrush(UnitSquare(), 1));
    r.port->BeginPath();
    for (int i = 0; i < 150; i++)
        r.port->DrawCurve(P(i, 0), P(i, 1), P(i + 1, 1), P(i + 1, 0));
    EXPECT_TRUE(r.port->EndPath(false, true, false));
    EXPECT_NE(r.context->sends.back().find(" stroke newpath \n"), std::string::npos);
    EXPECT_EQ(Count(r.context->sends.back(), "moveto"), 0u); // no brush copies
}

TEST_F(CGraPortLiveTest, FancyStrokeInTheInterpreter)
{
    Start(120, 40);
    port->SetPen(FancyPen(20, 0));
    port->SetStrokeBrush(ShapeBrush(UnitSquare(), 2));
    port->SetPenColor(Rgb(0, 0, 0));
    CGraTransform t = {0, 0, 1.0, 0};
    port->SetTransform(t);
    ASSERT_TRUE(port->DrawLine(P(10, 20), P(110, 20)));
    // Squares of 20 centred on the line at 10, 30 ... 110.
    EXPECT_TRUE(Dark(20, 20));
    EXPECT_TRUE(Dark(20, 28));
    EXPECT_TRUE(White(20, 35));
    EXPECT_TRUE(White(60, 5));
}
