#include "si/datarep.h"

#include <string>

#include <gtest/gtest.h>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/text.h"

// A source publishing a number "level" and another source "next"; a target
// publishing a value "shown" and an action "Refresh".
ZU_HANDLE(TRepSource, ZuObject)
class TRepSource : public ZuObject {
    ZU_CLASS(TRepSource, ZuObject)
public:
    TRepSource() {}
    int level = 0;
    ZuObjectRef next;
};
ZU_CLASS_END(TRepSource)
ZU_IMPLEMENT_CLASS(TRepSource, "tests/datarep", ZU_CLASS_PLAIN)

ZU_HANDLE(TRepTarget, ZuObject)
class TRepTarget : public ZuObject {
    ZU_CLASS(TRepTarget, ZuObject)
public:
    TRepTarget() {}
    bool Refresh()
    {
        ++refreshes;
        return true;
    }
    ZuValueRef shown;
    int defines = 0;
    int refreshes = 0;
};
ZU_CLASS_END(TRepTarget)
ZU_IMPLEMENT_CLASS(TRepTarget, "tests/datarep", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TRepTarget, Refresh)

namespace {

void GetLevel(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TRepSource*>(o)->level);
}
void GetNext(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TRepSource*>(o)->next);
}
void GetShown(ZuValueRef& v, ZuObject* o)
{
    v = static_cast<TRepTarget*>(o)->shown;
}
bool SetShown(const ZuValueRef& v, ZuObject* o)
{
    static_cast<TRepTarget*>(o)->shown = v;
    ++static_cast<TRepTarget*>(o)->defines;
    return true;
}

void Declare(ZuRuntime* rt)
{
    static Zuvi_PubDataDef level = {&TRepSourceRef::RetRuntime(),
                                    "level",
                                    "a level",
                                    &Int32_type,
                                    true,
                                    false,
                                    &GetLevel,
                                    nullptr};
    static Zuvi_PubDataDef next = {&TRepSourceRef::RetRuntime(),
                                   "next",
                                   "the next source",
                                   &ZuObject_type,
                                   true,
                                   false,
                                   &GetNext,
                                   nullptr};
    static Zuvi_PubDataDef shown = {&TRepTargetRef::RetRuntime(),
                                    "shown",
                                    "what is shown",
                                    &ZuValue_type,
                                    true,
                                    true,
                                    &GetShown,
                                    &SetShown};
    if (rt == TRepSourceRef::RetRuntime().RetRawObject()) {
        rt->PublishData(level);
        rt->PublishData(next);
    } else if (rt == TRepTargetRef::RetRuntime().RetRawObject()) {
        rt->PublishData(shown);
    }
}
Zuvi_PubDataExport declare(&Declare);

class DataReportTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        source = TRepSourceRef(ZuNew<TRepSource>());
        target = TRepTargetRef(ZuNew<TRepTarget>());
        report =
            ZuDataReportRef(ZuClassFactory::New("ZuDataReport", Zuvi_app_zone, __LINE__, __FILE__));
        ASSERT_TRUE(report.IsValid());
    }
    void TearDown() override
    {
        report->Delete();
        source = TRepSourceRef();
        target = TRepTargetRef();
        report = ZuDataReportRef();
        ZuviRuntimeTest::TearDown();
    }
    TRepSourceRef source;
    TRepTargetRef target;
    ZuDataReportRef report;
};

} // namespace

TEST_F(DataReportTest, CopiesTheDatumAndActsOnEveryChange)
{
    report->Initialise(source, ZuObject::notify_changed, ZuAtomRef("level"), target,
                       ZuAtomRef("shown"), ZuAtomRef("Refresh"), false);
    EXPECT_FALSE(report->IsVisible());
    source->level = 5;
    source->ReportChange(1);
    ASSERT_TRUE(target->shown.IsValid());
    EXPECT_EQ(target->shown->RetInt32(), 5);
    EXPECT_EQ(target->refreshes, 1);
    source->level = 6;
    source->ReportChange(1);
    EXPECT_EQ(target->shown->RetInt32(), 6);
    EXPECT_EQ(target->refreshes, 2);

    // A failed query neither defines nor acts.
    report->DefineQuery(ZuAtomRef("missing"), ZuStringRef());
    source->ReportChange(1);
    EXPECT_EQ(target->defines, 2);
    EXPECT_EQ(target->refreshes, 2);

    // No query: the action still runs, the datum gets an empty value with
    // the format.
    report->DefineQuery(ZuAtomRef(), ZuStringRef("%d"));
    source->ReportChange(1);
    EXPECT_EQ(target->refreshes, 3);
    EXPECT_EQ(target->defines, 3);
    ASSERT_TRUE(target->shown.IsValid());
    EXPECT_EQ(target->shown->RetType(), ZU_TYPE_NONE);
    EXPECT_EQ(Text(target->shown->RetAutoFormat()), "%d");
}

TEST_F(DataReportTest, NothingIsCopiedBackIntoAReportingTarget)
{
    report->Initialise(source, ZuObject::notify_changed, ZuAtomRef("level"), target,
                       ZuAtomRef("shown"), ZuAtomRef("Refresh"), true);
    // The target starts a report; the source passes the same report on.
    target->SetCurrentReportID(1);
    source->ReportChange(0);
    EXPECT_EQ(target->defines, 0);
    EXPECT_EQ(target->refreshes, 0);
    // A new report reaches it.
    source->ReportChange(1);
    EXPECT_EQ(target->defines, 1);

    // No target, or no source: nothing happens.
    report->DefineTarget(ZuObjectNull, ZuAtomRef("shown"));
    source->ReportChange(1);
    report->Changed(ZuObjectNull, 0);
    EXPECT_EQ(target->defines, 1);
}

TEST_F(DataReportTest, PathsAndNamesExcludeEachOther)
{
    TRepSourceRef second(ZuNew<TRepSource>());
    second->level = 9;
    source->next = second;
    report->DefineQuery(ZuAtomRef("level"), ZuStringRef("a"));
    report->DefineQueryPath(ZuStringRef("next.level"), ZuStringRef("b"));
    EXPECT_TRUE(report->RetQueryName().IsInvalid());
    EXPECT_EQ(Text(report->RetQueryFormat()), "b");
    report->DefineTarget(target, ZuAtomRef("shown"));
    report->DefineTargetPath(target, ZuStringRef("shown"));
    EXPECT_TRUE(report->RetTargetName().IsInvalid());
    report->DefineAction(ZuAtomRef("Refresh"));
    report->DefineActionPath(ZuStringRef("Refresh"));
    EXPECT_TRUE(report->RetActionName().IsInvalid());
    ZuObject::AttachObserver(source, report, ZuObject::notify_changed, ZuAtomRef("Changed"), 0);

    source->ReportChange(1);
    ASSERT_TRUE(target->shown.IsValid());
    EXPECT_EQ(target->shown->RetInt32(), 9);
    EXPECT_EQ(target->refreshes, 1);

    // And back to names.
    report->DefineQuery(ZuAtomRef("level"), ZuStringRef());
    EXPECT_TRUE(report->RetQueryPath().IsInvalid());
    EXPECT_TRUE(report->RetQueryFormat().IsInvalid());
    report->DefineAction(ZuAtomRef("Refresh"));
    EXPECT_TRUE(report->RetActionPath().IsInvalid());
    report->DefineTarget(target, ZuAtomRef("shown"));
    EXPECT_TRUE(report->RetTargetPath().IsInvalid());
}

TEST_F(DataReportTest, TargetRegistrationFollowsTheTarget)
{
    report->DefineTarget(target, ZuAtomRef("shown"));
    TRepTargetRef other(ZuNew<TRepTarget>());
    report->DefineTarget(other, ZuAtomRef("shown"));
    EXPECT_FALSE(target->UnregisterAsTargetOf(report));
    report->Delete();
    EXPECT_TRUE(report->RetTargetObject().IsInvalid());
    EXPECT_FALSE(other->UnregisterAsTargetOf(report));
}

TEST_F(DataReportTest, VolatileObserversPassTheAttributeOn)
{
    source->SetAttribute("Zuvi.volatile.observer");
    report->Initialise(source, ZuObject::notify_changed, ZuAtomRef("level"), target,
                       ZuAtomRef("shown"), ZuAtomRef(), true);
    EXPECT_TRUE(report->GetAttribute("Zuvi.volatile.observer", 0));
    // A volatile report is never registered with its target.
    EXPECT_FALSE(target->UnregisterAsTargetOf(report));
}

TEST_F(DataReportTest, StoreAndRestoreKeepAllFields)
{
    ZuDataReportRef by_path(ZuClassFactory::New("ZuDataReport", Zuvi_app_zone, __LINE__, __FILE__));
    by_path->DefineQueryPath(ZuStringRef("next.level"), ZuStringRef("%d"));
    by_path->DefineTargetPath(target, ZuStringRef("a.b"));
    by_path->DefineActionPath(ZuStringRef("c.d"));
    by_path->SetVisible(false);
    report->DefineQuery(ZuAtomRef("level"), ZuStringRef("%x"));
    report->DefineTarget(target, ZuAtomRef("shown"));
    report->DefineAction(ZuAtomRef("Refresh"));

    ZuTestStorageRef store = ZuTestStorage::Make();
    for (const ZuDataReportRef& r : {report, by_path}) {
        store->StartStoring();
        ZuStorageRef(store) << r;
        store->StartRestoring(store->Bytes());
        ZuDataReportRef back;
        ZuStorageRef(store) >> back;
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(back->RetQueryName(), r->RetQueryName());
        EXPECT_EQ(Text(back->RetQueryPath()), Text(r->RetQueryPath()));
        EXPECT_EQ(Text(back->RetQueryFormat()), Text(r->RetQueryFormat()));
        ASSERT_TRUE(back->RetTargetObject().IsValid());
        EXPECT_TRUE(back->RetTargetObject()->IsKindOf(TRepTargetRef::RetRuntime()));
        EXPECT_EQ(back->RetTargetName(), r->RetTargetName());
        EXPECT_EQ(Text(back->RetTargetPath()), Text(r->RetTargetPath()));
        EXPECT_EQ(back->RetActionName(), r->RetActionName());
        EXPECT_EQ(Text(back->RetActionPath()), Text(r->RetActionPath()));
        EXPECT_EQ(back->IsVisible(), r->IsVisible());
        back->Delete();
    }
    by_path->Delete();
}
