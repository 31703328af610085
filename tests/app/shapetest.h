// Support for the tests of the rectangle and the regular polygon: a target
// that records the PostScript a port sends (answering its questions from a
// queue), a white display of the real interpreter, and an object's stored
// form.
#ifndef LUMBRA_TESTS_APP_SHAPETEST_H
#define LUMBRA_TESTS_APP_SHAPETEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/cornerdef.h"
#include "app/graobject.h"
#include "app/graport.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

ZU_HANDLE(ShapeRecorder, GSContext)
class ShapeRecorder : public GSContext {
    ZU_CLASS(ShapeRecorder, GSContext)
public:
    ShapeRecorder() {}
    bool ExecuteText(const char* text, int n) override;
    int GetOutputLength() override { return int(output.size()); }
    bool ReadOutput(char* out, int size) override;
    bool ClearOutput() override
    {
        output.clear();
        return true;
    }
    // Everything sent since the last Clear, in one text.
    std::string All() const;
    void Clear() { sends.clear(); }

    std::vector<std::string> sends;
    std::vector<std::string> answers;
    std::string output;
};
ZU_CLASS_END(ShapeRecorder)

class ShapeTest : public ZuviRuntimeTest {
protected:
    void TearDown() override;

    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }

    // A port writing to a recorder.
    void Record();
    // A port drawing into a white display of the interpreter, one pixel
    // per unit.
    void Live(int width, int height);

    static std::string BoolAnswer(bool value);
    static std::string BoxAnswer(double x1, double y1, double x2, double y2);

    std::vector<unsigned char> Stored(const CGraObjectRef& o);
    // Throws what the storage throws.
    CGraObjectRef Restored(const std::vector<unsigned char>& bytes);
    // Through the storage and back, the whole input read.
    CGraObjectRef RoundTrip(const CGraObjectRef& o);

    static CCornerDefRef Corner(int kind, double inset);
    static CColorDefRef Colour(double r, double g, double b, double transparency = 0.0);
    static std::string Text(const ZuStringRef& s) { return s.IsValid() ? s->AccessLatin() : ""; }
    static size_t Count(const std::string& text, const std::string& what);

    CGraPortRef port;
    ShapeRecorderRef recorder;
    GSContextRef display;
    ZuTestStorageRef store;
};

inline DPoint P(double x, double y)
{
    return DPoint{x, y};
}

#define EXPECT_POINT(p, ex, ey, what)             \
    do {                                          \
        EXPECT_NEAR((p).x, (ex), 1e-9) << (what); \
        EXPECT_NEAR((p).y, (ey), 1e-9) << (what); \
    } while (0)

#endif
