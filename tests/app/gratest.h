// Support for the tests of the drawing objects: a target that records the
// PostScript a port sends and answers as the test tells it, a white display
// context of the real interpreter, and the stored form of an object.
#ifndef LUMBRA_TESTS_APP_GRATEST_H
#define LUMBRA_TESTS_APP_GRATEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/graobject.h"
#include "app/graport.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// Keeps every text it is sent; answers each text that asks for values
// ("printobject") with the next queued answer.
ZU_HANDLE(GraRecorder, GSContext)
class GraRecorder : public GSContext {
    ZU_CLASS(GraRecorder, GSContext)
public:
    GraRecorder() {}
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
ZU_CLASS_END(GraRecorder)

class GraTest : public ZuviRuntimeTest {
protected:
    void TearDown() override;

    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }

    // A port writing to a recorder.
    void Record();
    // A port drawing into a white display of the real interpreter at the
    // given number of pixels per unit.
    void Live(int width, int height, double scale);

    // "printobject" answers of the interpreter.
    static std::string BoolAnswer(bool value);
    static std::string BoxAnswer(double x1, double y1, double x2, double y2);

    // The object through the storage and back (the whole input read).
    CGraObjectRef RoundTrip(const CGraObjectRef& o);
    std::vector<unsigned char> Stored(const CGraObjectRef& o);
    // Restores an object from bytes; throws what the storage throws.
    CGraObjectRef Restored(const std::vector<unsigned char>& bytes);

    CGraPortRef port;
    GraRecorderRef recorder;
    GSContextRef display;
    ZuTestStorageRef store;
};

inline DPoint P(double x, double y)
{
    return DPoint{x, y};
}

#endif
