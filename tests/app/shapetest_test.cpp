// The support of the rectangle's and regular polygon's tests
// (tests/app/shapetest.h); no tests of its own.
#include "tests/app/shapetest.h"

#include <cstdint>
#include <cstring>

ZU_IMPLEMENT_CLASS(ShapeRecorder, "tests/app/shapetest", ZU_CLASS_PLAIN)

bool ShapeRecorder::ExecuteText(const char* text, int n)
{
    sends.push_back(std::string(text, n > 0 ? size_t(n) : std::strlen(text)));
    if (!answers.empty() && sends.back().find("printobject") != std::string::npos) {
        output += answers.front();
        answers.erase(answers.begin());
    }
    return true;
}

bool ShapeRecorder::ReadOutput(char* out, int size)
{
    if (size < int(output.size()))
        return false;
    std::memcpy(out, output.data(), output.size());
    if (size > int(output.size()))
        out[output.size()] = '\0';
    output.clear();
    return true;
}

std::string ShapeRecorder::All() const
{
    std::string all;
    for (const std::string& s : sends)
        all += s;
    return all;
}

void ShapeTest::TearDown()
{
    port = CGraPortRef();
    recorder = ShapeRecorderRef();
    display = GSContextRef();
    store = ZuTestStorageRef(static_cast<ZuTestStorage*>(nullptr));
    ZuviRuntimeTest::TearDown();
}

void ShapeTest::Record()
{
    port = Make<CGraPortRef>();
    recorder = Make<ShapeRecorderRef>();
    port->SetTarget(recorder);
}

void ShapeTest::Live(int width, int height)
{
    display = Make<GSContextRef>();
    ASSERT_TRUE(display->CreateContext(uint32_t(width), uint32_t(height), GS_VIEW_RGB24));
    port = Make<CGraPortRef>();
    port->SetTarget(display);
    ASSERT_TRUE(port->InitBinaryMode());
    port->InitGraphics();
    ASSERT_TRUE(port->ErasePage());
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

std::string ShapeTest::BoolAnswer(bool value)
{
    return Sequence(4, value ? 1 : 0);
}

std::string ShapeTest::BoxAnswer(double x1, double y1, double x2, double y2)
{
    // The stack gives them back top first.
    return RealValue(y2) + RealValue(x2) + RealValue(y1) + RealValue(x1);
}

std::vector<unsigned char> ShapeTest::Stored(const CGraObjectRef& o)
{
    if (store.IsInvalid())
        store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(o);
    return store->Bytes();
}

CGraObjectRef ShapeTest::Restored(const std::vector<unsigned char>& bytes)
{
    if (store.IsInvalid())
        store = ZuTestStorage::Make();
    store->StartRestoring(bytes);
    CGraObjectRef back;
    ZuStorageRef(store) >> back;
    return back;
}

CGraObjectRef ShapeTest::RoundTrip(const CGraObjectRef& o)
{
    CGraObjectRef back = Restored(Stored(o));
    EXPECT_EQ(0u, store->Remaining());
    return back;
}

CCornerDefRef ShapeTest::Corner(int kind, double inset)
{
    CCornerDefRef c = Make<CCornerDefRef>();
    c->SetValue(kind);
    c->SetLength(inset);
    return c;
}

CColorDefRef ShapeTest::Colour(double r, double g, double b, double transparency)
{
    CColorDefRef c = Make<CColorDefRef>();
    c->SetRGB(r, g, b);
    c->SetTransparency(transparency);
    return c;
}

size_t ShapeTest::Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}
