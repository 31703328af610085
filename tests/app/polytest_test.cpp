// The shared support of the curve chain's and the polygon's tests
// (tests/app/polytest.h); it holds no tests of its own.
#include "tests/app/polytest.h"

#include <cstdint>
#include <cstring>

ZU_IMPLEMENT_CLASS(PolyRecorder, "tests/app/polytest", ZU_CLASS_PLAIN)

bool PolyRecorder::ExecuteText(const char* text, int n)
{
    sends.push_back(std::string(text, n > 0 ? size_t(n) : std::strlen(text)));
    if (!answers.empty() && sends.back().find("printobject") != std::string::npos) {
        output += answers.front();
        answers.erase(answers.begin());
    }
    return true;
}

bool PolyRecorder::ReadOutput(char* out, int size)
{
    if (size < int(output.size()))
        return false;
    std::memcpy(out, output.data(), output.size());
    if (size > int(output.size()))
        out[output.size()] = '\0';
    output.clear();
    return true;
}

std::string PolyRecorder::All() const
{
    std::string all;
    for (const std::string& s : sends)
        all += s;
    return all;
}

std::string PolyRecorder::Text() const
{
    std::string all;
    for (const std::string& s : sends)
        all += !s.empty() && s.back() == '\n' ? s.substr(0, s.size() - 1) : s;
    return all;
}

void PolyTest::TearDown()
{
    SetCurrentDocument(CDocumentRef(), CViewRef());
    port = CGraPortRef();
    recorder = PolyRecorderRef();
    display = GSContextRef();
    store = ZuTestStorageRef(static_cast<ZuTestStorage*>(nullptr));
    ZuviRuntimeTest::TearDown();
}

void PolyTest::Record()
{
    port = Make<CGraPortRef>();
    recorder = Make<PolyRecorderRef>();
    port->SetTarget(recorder);
    port->SetPen(Make<CPenDefRef>());
    port->SetPenColor(Make<CColorDefRef>());
    port->DrawLine(P(0, 0), P(1, 1));
    recorder->Clear();
}

void PolyTest::Live(int width, int height, double scale)
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

std::string PolyTest::BoolAnswer(bool value)
{
    return Sequence(4, value ? 1 : 0);
}

std::string PolyTest::BoxAnswer(double x1, double y1, double x2, double y2)
{
    // The stack gives them back top first.
    return RealValue(y2) + RealValue(x2) + RealValue(y1) + RealValue(x1);
}

size_t PolyTest::Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

std::vector<unsigned char> PolyTest::Stored(const CGraObjectRef& o)
{
    if (store.IsInvalid())
        store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(o);
    return store->Bytes();
}

CGraObjectRef PolyTest::Restored(const std::vector<unsigned char>& bytes)
{
    if (store.IsInvalid())
        store = ZuTestStorage::Make();
    store->StartRestoring(bytes);
    CGraObjectRef back;
    ZuStorageRef(store) >> back;
    // As a document is read: the restored objects are woken.
    store->FinallyAwake();
    return back;
}

CGraObjectRef PolyTest::RoundTrip(const CGraObjectRef& o)
{
    CGraObjectRef back = Restored(Stored(o));
    EXPECT_EQ(0u, store->Remaining());
    return back;
}
