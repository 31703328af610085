// Support for the tests of the curve chain and the free polygon: a target
// that records the PostScript a port sends and answers each question with
// the next queued answer, a white display of the real interpreter, and the
// stored form of an object.
#ifndef LUMBRA_TESTS_APP_POLYTEST_H
#define LUMBRA_TESTS_APP_POLYTEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/graobject.h"
#include "app/document.h"
#include "app/graport.h"
#include "app/view.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

ZU_HANDLE(PolyRecorder, GSContext)
class PolyRecorder : public GSContext {
    ZU_CLASS(PolyRecorder, GSContext)
public:
    PolyRecorder() {}
    bool ExecuteText(const char* text, int n) override;
    int GetOutputLength() override { return int(output.size()); }
    bool ReadOutput(char* out, int size) override;
    bool ClearOutput() override
    {
        output.clear();
        return true;
    }
    std::string All() const;
    // The PostScript sent, each send without the line feed that ends it.
    std::string Text() const;
    void Clear() { sends.clear(); }

    std::vector<std::string> sends;
    std::vector<std::string> answers;
    std::string output;
};
ZU_CLASS_END(PolyRecorder)

class PolyTest : public ZuviRuntimeTest {
protected:
    void TearDown() override;

    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }

    // A port writing to a recorder; its state (matrix, colour, pen) is
    // written once, so that later texts hold only the drawing.
    void Record();
    // A port drawing into a white display of the interpreter, the given
    // number of pixels per unit.
    void Live(int width, int height, double scale);

    static std::string BoolAnswer(bool value);
    static std::string BoxAnswer(double x1, double y1, double x2, double y2);
    // How often what occurs in text.
    static size_t Count(const std::string& text, const std::string& what);

    CGraObjectRef RoundTrip(const CGraObjectRef& o);
    std::vector<unsigned char> Stored(const CGraObjectRef& o);
    // The object restored from bytes and woken (FinallyAwake); throws what
    // the storage throws.
    CGraObjectRef Restored(const std::vector<unsigned char>& bytes);

    CGraPortRef port;
    PolyRecorderRef recorder;
    GSContextRef display;
    ZuTestStorageRef store;
};

inline DPoint P(double x, double y)
{
    return DPoint{x, y};
}

#endif
