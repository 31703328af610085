// The shared support of the drawing objects' tests (tests/app/gratest.h); it
// holds no tests of its own.
#include "tests/app/gratest.h"

#include <cstdint>
#include <cstring>

#include "app/document.h"
#include "app/misc.h"
#include "app/view.h"

ZU_IMPLEMENT_CLASS(GraRecorder, "tests/app/gratest", ZU_CLASS_PLAIN)

bool GraRecorder::ExecuteText(const char* text, int n)
{
    sends.push_back(std::string(text, n > 0 ? size_t(n) : std::strlen(text)));
    // Only questions are answered.
    if (!answers.empty() && sends.back().find("printobject") != std::string::npos) {
        output += answers.front();
        answers.erase(answers.begin());
    }
    return true;
}

bool GraRecorder::ReadOutput(char* out, int size)
{
    if (size < int(output.size()))
        return false;
    std::memcpy(out, output.data(), output.size());
    if (size > int(output.size()))
        out[output.size()] = '\0';
    output.clear();
    return true;
}

std::string GraRecorder::All() const
{
    std::string all;
    for (const std::string& s : sends)
        all += s;
    return all;
}

std::string GraRecorder::Text() const
{
    std::string all;
    for (const std::string& s : sends)
        all += !s.empty() && s.back() == '\n' ? s.substr(0, s.size() - 1) : s;
    return all;
}

void GraTest::TearDown()
{
    SetCurrentDocument(CDocumentRef(), CViewRef());
    port = CGraPortRef();
    recorder = GraRecorderRef();
    display = GSContextRef();
    store = ZuTestStorageRef(static_cast<ZuTestStorage*>(nullptr));
    ZuviRuntimeTest::TearDown();
}

void GraTest::Record()
{
    port = Make<CGraPortRef>();
    recorder = Make<GraRecorderRef>();
    port->SetTarget(recorder);
}

void GraTest::RecordDrawingOnly()
{
    Record();
    port->SetPen(Make<CPenDefRef>());
    port->SetPenColor(Make<CColorDefRef>());
    port->DrawLine(P(0, 0), P(1, 1));
    recorder->Clear();
}

void GraTest::Live(int width, int height, double scale)
{
    display = Make<GSContextRef>();
    ASSERT_TRUE(display->CreateContext(uint32_t(width), uint32_t(height), GS_VIEW_RGB24));
    port = Make<CGraPortRef>();
    port->SetTarget(display);
    ASSERT_TRUE(port->InitBinaryMode());
    port->InitGraphics();
    ASSERT_TRUE(port->ErasePage());
    CGraTransform t = {0, 0, scale, 0};
    port->SetTransform(t);
}

namespace {

// One value of "printobject": the header and one 8-byte object.
std::string Sequence(unsigned char type, uint32_t value)
{
    unsigned char s[12] = {129, 1, 12, 0, type, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 4; i++)
        s[8 + i] = static_cast<unsigned char>(value >> (8 * i));
    return std::string(reinterpret_cast<char*>(s), 12);
}

std::string RealValue(double v)
{
    const float f = float(v);
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return Sequence(2, bits);
}

} // namespace

std::string GraTest::BoolAnswer(bool value)
{
    return Sequence(4, value ? 1 : 0);
}

std::string GraTest::BoxAnswer(double x1, double y1, double x2, double y2)
{
    // The stack gives them back top first.
    return RealValue(y2) + RealValue(x2) + RealValue(y1) + RealValue(x1);
}

std::vector<unsigned char> GraTest::Stored(const CGraObjectRef& o)
{
    if (store.IsInvalid())
        store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(o);
    return store->Bytes();
}

CGraObjectRef GraTest::Restored(const std::vector<unsigned char>& bytes, bool wake)
{
    if (store.IsInvalid())
        store = ZuTestStorage::Make();
    store->StartRestoring(bytes);
    CGraObjectRef back;
    ZuStorageRef(store) >> back;
    if (wake)
        store->FinallyAwake();
    return back;
}

CGraObjectRef GraTest::RoundTrip(const CGraObjectRef& o, bool wake)
{
    CGraObjectRef back = Restored(Stored(o), wake);
    EXPECT_EQ(0u, store->Remaining());
    return back;
}

CGraObjectRef GraTest::StoredOrCopied(const CGraObjectRef& o, int round, bool wake)
{
    if (round == 0)
        return RoundTrip(o, wake);
    CGraObjectRef copy(
        ZuObjectRef(ZuClassFactory::New(o->RetRuntime(), nullptr, __LINE__, __FILE__)));
    copy->CopyFrom(o);
    return copy;
}

CCornerDefRef GraTest::Corner(int kind, double inset)
{
    CCornerDefRef c = Make<CCornerDefRef>();
    c->SetValue(kind);
    c->SetLength(inset);
    return c;
}

CColorDefRef GraTest::Colour(double r, double g, double b, double transparency)
{
    CColorDefRef c = Make<CColorDefRef>();
    c->SetRGB(r, g, b);
    c->SetTransparency(transparency);
    return c;
}

void GraTest::SetClosed(const CGraObjectRef& o, bool closed)
{
    CCloseDefRef close = Make<CCloseDefRef>();
    close->SetClosed(closed);
    EXPECT_TRUE(o->SetDefinition(18, close));
}

CPositionDefRef GraTest::ShadowAt(int position, double dx, double dy)
{
    CPositionDefRef at = Make<CPositionDefRef>();
    at->SetValue(position);
    at->SetOffsetX(dx);
    at->SetOffsetY(dy);
    return at;
}

size_t GraTest::Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

std::string GraTest::Flat(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '\n')
            out += c;
    return out;
}

void GraTest::ExpectPoint(DPoint p, double x, double y, const std::string& what)
{
    EXPECT_NEAR(p.x, x, 1e-9) << what;
    EXPECT_NEAR(p.y, y, 1e-9) << what;
}

void GraTest::ExpectBox(const DRect& box, double x1, double y1, double x2, double y2,
                        double tolerance)
{
    EXPECT_NEAR(x1, box.x1, tolerance) << "x1";
    EXPECT_NEAR(y1, box.y1, tolerance) << "y1";
    EXPECT_NEAR(x2, box.x2, tolerance) << "x2";
    EXPECT_NEAR(y2, box.y2, tolerance) << "y2";
}

void GraTest::ExpectPropertyTable(const CGraObjectRef& o, const std::vector<PropertyRow>& rows)
{
    EXPECT_TRUE(o->HasProperties());
    const int count = int(rows.size());
    ASSERT_EQ(count, o->GetPropertyCount());
    for (int n = 0; n < count; n++) {
        const PropertyRow& row = rows[size_t(n)];
        ZuStringRef name, description;
        int flags = 0, unit = -1, option = 0;
        double min = 0, max = 0, step = -1;
        EXPECT_TRUE(o->GetPropertyName(n, name)) << n;
        EXPECT_TRUE(o->GetPropertyDescription(n, description)) << n;
        EXPECT_TRUE(o->GetPropertyFlags(n, flags)) << n;
        EXPECT_TRUE(o->GetPropertyUnit(n, unit)) << n;
        EXPECT_TRUE(o->GetPropertyRange(n, min, max)) << n;
        EXPECT_TRUE(o->GetPropertyStep(n, step)) << n;
        EXPECT_EQ(row.option != kNoOption, o->GetPropertyOption(n, option)) << n;
        EXPECT_EQ(row.name, Text(name)) << n;
        EXPECT_EQ(row.description, Text(description)) << n;
        EXPECT_EQ(row.flags, flags) << n;
        EXPECT_EQ(row.unit, unit) << n;
        EXPECT_EQ(row.min, min) << n;
        EXPECT_EQ(row.max, max) << n;
        EXPECT_EQ(row.step, step) << n;
        if (row.option != kNoOption) {
            EXPECT_EQ(row.option, option) << n;
        }
    }
    ZuStringRef none;
    EXPECT_FALSE(o->GetPropertyName(count, none));
}

void GraTest::ExpectHits(const CGraObjectRef& o, const std::vector<HitCase>& cases, DPoint outside)
{
    for (const HitCase& c : cases) {
        o->SetDefinition(25, Colour(0, 0, 1, c.fillTransparency));
        EXPECT_EQ(c.hit, o->HitTest(port, c.at, 1.0, c.fillAllowed)) << c.what;
        EXPECT_EQ(c.segment, o->HitTestSegment(port, c.at, 1.0, c.fillAllowed)) << c.what;
    }
    Record();
    EXPECT_FALSE(o->HitTest(port, outside, 1.0, 1));
    EXPECT_EQ(-1, o->HitTestSegment(port, outside, 1.0, 1));
    EXPECT_TRUE(recorder->sends.empty());
}
