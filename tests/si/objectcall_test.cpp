// Calls by name along paths.
#include <gtest/gtest.h>

#include "si/array.h"
#include "si/atom.h"
#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/object.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/objmodel.h"

// A target with an actor "Ping", an observer "Note" and both forms under
// the name "Close".
ZU_HANDLE(TCallTarget, ZuObject)
class TCallTarget : public ZuObject {
    ZU_CLASS(TCallTarget, ZuObject)
public:
    TCallTarget() {}
    bool Ping()
    {
        log += "ping ";
        return true;
    }
    bool Note(const ZuObjectRef& arg, unsigned flags)
    {
        log +=
            "note(" + std::string(arg.IsValid() ? "arg" : "-") + "," + std::to_string(flags) + ") ";
        return false; // the target's own answer does not matter
    }
    bool CloseActor()
    {
        log += "close-actor ";
        return true;
    }
    bool CloseObserver(const ZuObjectRef&, unsigned)
    {
        log += "close-observer ";
        return true;
    }
    std::string log;
};
ZU_CLASS_END(TCallTarget)
ZU_IMPLEMENT_CLASS(TCallTarget, "tests/objectcall", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TCallTarget, Ping)
ZU_EXPORT_OBSERVER(TCallTarget, Note)
static Zuvi_TargetExport
close_actor([](ZuObject* o) -> bool { return static_cast<TCallTarget*>(o)->CloseActor(); }, "Close",
            TCallTargetRef::RetRuntime());
static Zuvi_TargetExport close_observer(
    [](ZuObject* o, const ZuObjectRef& s, unsigned id) -> bool {
        return static_cast<TCallTarget*>(o)->CloseObserver(s, id);
    },
    "Close (ZuObjectRef source, unsigned id)", TCallTargetRef::RetRuntime());

namespace {

class ObjectCallTest : public ZuviRuntimeTest {
protected:
    TCallTargetRef NewTarget() { return TCallTargetRef(ZuNew<TCallTarget>()); }
    ZuArrayRef NewArray() { return ZuArrayRef(ZuNew<ZuArray>()); }
};

} // namespace

TEST_F(ObjectCallTest, ActionsAlongAPathCallEveryName)
{
    TCallTargetRef t = NewTarget();
    EXPECT_TRUE(t->Action(ZuAtomPathRef("Close"), ZuObjectNull, 0));
    EXPECT_EQ("close-actor ", t->log); // the actor comes before the observer

    t->log.clear();
    EXPECT_TRUE(t->Action(ZuAtomPathRef("Missing.Note.Ping"), t, 7));
    EXPECT_EQ("note(arg,7) ping ", t->log);

    t->log.clear();
    EXPECT_FALSE(t->Action(ZuAtomPathRef("Missing.Other"), ZuObjectNull, 0));
    EXPECT_FALSE(t->Action(ZuAtomPathRef(""), ZuObjectNull, 0));
    EXPECT_FALSE(t->Action(ZuAtomPathRef(), ZuObjectNull, 0));
    EXPECT_EQ("", t->log);
}

TEST_F(ObjectCallTest, ActionsByTextWalkContainers)
{
    ZuArrayRef outer = NewArray();
    ZuArrayRef inner = NewArray();
    TCallTargetRef t = NewTarget();
    outer->Insert(ZuObjectRef(NewTarget()));
    outer->Insert(inner);
    inner->Insert(ZuObjectNull);
    inner->Insert(t);

    EXPECT_TRUE(ZuObject::Action(outer, ZuStringRef("[1].[1].Ping")));
    EXPECT_TRUE(ZuObject::Action(outer, ZuAtomPathRef("[1].[1].Close")));
    EXPECT_EQ("ping close-actor ", t->log);

    // No such element, a gap, a name on a target, an index on a non-container.
    EXPECT_FALSE(ZuObject::Action(outer, ZuStringRef("[5].Ping")));
    EXPECT_FALSE(ZuObject::Action(outer, ZuStringRef("[1].[0].Ping")));
    EXPECT_FALSE(ZuObject::Action(outer, ZuStringRef("[1].[1].[0].Ping")));
    EXPECT_FALSE(ZuObject::Action(outer, ZuStringRef("Missing")));
    EXPECT_FALSE(ZuObject::Action(ZuObjectNull, ZuStringRef("Ping")));
    EXPECT_TRUE(ZuObject::Action(t, ZuStringRef("Ping")));
    EXPECT_EQ("ping close-actor ping ", t->log);
    outer->RemoveAll();
    inner->RemoveAll();
}

TEST_F(ObjectCallTest, ParsePathLeavesTheLastSegment)
{
    ZuArrayRef a = NewArray();
    TCallTargetRef t = NewTarget();
    a->Insert(t);

    ZuObjectRef obj = a;
    ZuStringRef text("whole");
    EXPECT_TRUE(ZuObject::ObjectParsePath(obj, text));
    EXPECT_TRUE(obj == a);
    EXPECT_STREQ("whole", text->AccessLatin());

    text = ZuStringRef("[0].Close");
    EXPECT_TRUE(ZuObject::ObjectParsePath(obj, text));
    EXPECT_TRUE(obj == t);
    EXPECT_STREQ("Close", text->AccessLatin());

    obj = a;
    ZuAtomPathRef path("[0].x.y");
    EXPECT_FALSE(ZuObject::ObjectParsePath(obj, path)); // x names no data of t
    obj = a;
    path = ZuAtomPathRef("[0].y");
    EXPECT_TRUE(ZuObject::ObjectParsePath(obj, path));
    EXPECT_EQ(1u, path->TotalCount());
    EXPECT_TRUE(path->RetAtom(0) == ZuAtomRef("y"));

    ZuObjectRef none;
    text = ZuStringRef("a.b");
    EXPECT_FALSE(ZuObject::ObjectParsePath(none, text));
    a->RemoveAll();
}

TEST_F(ObjectCallTest, NotifierOfADataItemIsFoundUpTheClasses)
{
    ZuArrayRef a = NewArray();
    ZuAtomRef event;
    EXPECT_TRUE(a->GetPublicDataNotifier(ZuAtomRef("self"), 0, event));
    EXPECT_TRUE(event == ZuAtomRef("notify_object_alive"));
    EXPECT_FALSE(a->GetPublicDataNotifier(ZuAtomRef("self"), 1, event));
    EXPECT_FALSE(a->GetPublicDataNotifier(ZuAtomRef("nothing"), 0, event));
}

TEST_F(ObjectCallTest, DataAlongTextsAndPaths)
{
    ZuArrayRef outer = NewArray();
    ZuArrayRef inner = NewArray();
    ZuArrayRef leaf = NewArray();
    outer->Insert(inner);
    inner->Insert(ZuObjectNull);
    inner->Insert(leaf);
    leaf->Insert(ZuObjectNull);

    // A data name after a container item, a bracketed index and a data name.
    ZuValueRef count;
    EXPECT_TRUE(ZuObject::QueryData(outer, ZuStringRef("[0].[1].total_count"), count));
    EXPECT_EQ(1u, static_cast<unsigned>(count));
    EXPECT_TRUE(ZuObject::QueryData(inner, ZuStringRef("self.[1].total_count"), count));
    EXPECT_EQ(1u, static_cast<unsigned>(count));
    EXPECT_TRUE(ZuObject::QueryData(outer, ZuAtomPathRef("[0].total_count"), count));
    EXPECT_EQ(2u, static_cast<unsigned>(count));

    // A last bracketed index answers the element.
    ZuObjectRef element;
    EXPECT_TRUE(ZuObject::QueryData(outer, ZuAtomPathRef("[0].[1]"), element));
    EXPECT_TRUE(element == leaf);
    EXPECT_TRUE(ZuObject::QueryData(outer, ZuStringRef("[0].[1]"), count));
    EXPECT_FALSE(ZuObject::QueryData(outer, ZuStringRef("[0].[5]"), element));
    EXPECT_TRUE(ZuObject::QueryData(outer, ZuStringRef("[0].self"), element));
    EXPECT_TRUE(element == inner);

    // Unknown names, unwritable items, broken walks.
    EXPECT_FALSE(ZuObject::QueryData(outer, ZuStringRef("[0].nothing"), count));
    EXPECT_FALSE(ZuObject::DefineData(outer, ZuStringRef("[0].total_count"), ZuValueRef(3u)));
    EXPECT_FALSE(ZuObject::DefineData(outer, ZuStringRef("[7].self"), ZuObjectRef(leaf)));
    EXPECT_FALSE(ZuObject::QueryData(ZuObjectNull, ZuStringRef("self"), element));

    inner->RemoveAll();
    outer->RemoveAll();
}
