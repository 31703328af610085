// Support for the tests of the drawing objects: a target that records the
// PostScript a port sends and answers as the test tells it, a white display
// context of the real interpreter, the stored form of an object, and the
// small makers and checks the tests of every drawing object use.
#ifndef LUMBRA_TESTS_APP_GRATEST_H
#define LUMBRA_TESTS_APP_GRATEST_H

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "app/closedef.h"
#include "app/colordef.h"
#include "app/cornerdef.h"
#include "app/graobject.h"
#include "app/graport.h"
#include "app/pendef.h"
#include "app/positiondef.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/string.h"
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
    // The same, each send without the line feed that ends it.
    std::string Text() const;
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
    // The same, the port's state (matrix, colour, pen) written once before,
    // so that later texts hold only the drawing.
    void RecordDrawingOnly();
    // A port drawing into a white display of the real interpreter at the
    // given number of pixels per unit.
    void Live(int width, int height, double scale = 1.0);

    // "printobject" answers of the interpreter.
    static std::string BoolAnswer(bool value);
    static std::string BoxAnswer(double x1, double y1, double x2, double y2);

    // Restored objects are woken (Awake) as a document's are when asked.
    static constexpr bool kWake = true;
    // The object through the storage and back (the whole input read).
    CGraObjectRef RoundTrip(const CGraObjectRef& o, bool wake = false);
    std::vector<unsigned char> Stored(const CGraObjectRef& o);
    // Restores an object from bytes; throws what the storage throws.
    CGraObjectRef Restored(const std::vector<unsigned char>& bytes, bool wake = false);
    // Round 0: the object through the storage and back; round 1: a copy
    // made with CopyFrom.
    CGraObjectRef StoredOrCopied(const CGraObjectRef& o, int round, bool wake = false);

    // The object's definition of the kind (which it must answer for).
    template <class R>
    static R Def(const CGraObjectRef& o, int kind)
    {
        ZuObjectRef d;
        EXPECT_TRUE(o->GetDefinition(kind, d)) << kind;
        return R(d);
    }
    static CPenDefRef Pen(const CGraObjectRef& o) { return Def<CPenDefRef>(o, 10); }
    static CCornerDefRef Corner(int kind, double inset);
    static CColorDefRef Colour(double r, double g, double b, double transparency = 0.0);
    // Closes or opens a chain or a polygon.
    static void SetClosed(const CGraObjectRef& o, bool closed);
    // A shadow's position definition: where, and how far.
    static CPositionDefRef ShadowAt(int position, double dx, double dy);

    static std::string Text(const ZuStringRef& s) { return s.IsValid() ? s->AccessLatin() : ""; }
    // How often what occurs in text.
    static size_t Count(const std::string& text, const std::string& what);
    // The text without its line feeds.
    static std::string Flat(const std::string& text);
    static void ExpectPoint(DPoint p, double x, double y, const std::string& what);
    static void ExpectBox(const DRect& box, double x1, double y1, double x2, double y2,
                          double tolerance);

    // One row of an object's property table, as the property sheet asks it.
    static constexpr int kNoOption = std::numeric_limits<int>::min();
    struct PropertyRow {
        const char* name;
        const char* description;
        int flags, unit;
        double min, max, step;
        // kNoOption: the property answers no option.
        int option = kNoOption;
    };
    // The object has these properties, each answering its row, and no more.
    static void ExpectPropertyTable(const CGraObjectRef& o, const std::vector<PropertyRow>& rows);

    // A hit at a point on an object filled with a colour of the given
    // transparency, the fill allowed or not: what HitTest and
    // HitTestSegment answer.
    struct HitCase {
        const char* what;
        DPoint at;
        double fillTransparency;
        int fillAllowed;
        bool hit;
        int segment;
    };
    // The cases in the live port, the object's box up to date; then, on a
    // recorder, a miss at `outside` the box asks the interpreter nothing.
    void ExpectHits(const CGraObjectRef& o, const std::vector<HitCase>& cases, DPoint outside);

    CGraPortRef port;
    GraRecorderRef recorder;
    GSContextRef display;
    ZuTestStorageRef store;
};

// A tree whose root holds one layer, and nodes made for it.
class TreeTest : public GraTest {
protected:
    void SetUp() override
    {
        GraTest::SetUp();
        tree = Make<CTreeRef>();
        layer = Node(tree->RetRoot());
    }
    void TearDown() override
    {
        layer = CTreeNodeRef();
        tree->Delete();
        tree = CTreeRef();
        GraTest::TearDown();
    }
    // A new node, the last child of parent when given.
    CTreeNodeRef Node(const CTreeNodeRef& parent = CTreeNodeRef())
    {
        CTreeNodeRef n = Make<CTreeNodeRef>();
        if (parent.IsValid())
            n->InsertLastChild(parent);
        return n;
    }

    CTreeRef tree;
    CTreeNodeRef layer;
};

inline DPoint P(double x, double y)
{
    return DPoint{x, y};
}

#endif
