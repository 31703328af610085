// The program's main window with its page view and selection at hand, and
// objects put straight onto the current layer, as the editing tests need.
#ifndef TESTS_APP_PAGESHELLTEST_H
#define TESTS_APP_PAGESHELLTEST_H

#include "app/grarect.h"
#include "app/pageview.h"
#include "app/selectobject.h"
#include "app/treenode.h"
#include "si/classfactory.h"
#include "tests/app/shelltest.h"

// A new object of the class, made through the class factory.
template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

class PageShellTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        view = CPageViewRef(Main()->RetPageView());
        ASSERT_TRUE(view.IsValid());
        sel = view->RetSelectObject();
    }
    void TearDown() override
    {
        sel = CSelectObjectRef();
        view = CPageViewRef();
        ShellTest::TearDown();
    }
    // The node that new objects go under: the current layer or the entered
    // group.
    CTreeNodeRef Layer()
    {
        CTreeNodeRef layer;
        sel->GetEditParent(layer);
        return layer;
    }
    // The object as the last child of that node, with its box measured.
    CTreeNodeRef Attach(const CGraObjectRef& o)
    {
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(o);
        n->InsertLastChild(Layer());
        CGraPortRef port = view->RetMainPort();
        o->UpdateBoundingBox(port);
        return n;
    }
    CTreeNodeRef Rect(double x1, double y1, double x2, double y2)
    {
        CGraRectRef r = Make<CGraRectRef>();
        const DPoint corners[2] = {{x1, y1}, {x2, y2}};
        r->SetPoints(corners, 2);
        return Attach(r);
    }

    CPageViewRef view;
    CSelectObjectRef sel;
};

#endif
