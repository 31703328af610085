#include "si/checker.h"

#include "si/basecheckfilter.h"
#include "si/classfactory.h"
#include "si/filecheckfilter.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/typedef.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// An input field: publishes its "text" datum, which may be any object.
ZU_HANDLE(TChkField, ZuObject)
class TChkField : public ZuObject {
    ZU_CLASS(TChkField, ZuObject)
public:
    TChkField() {}
    void Change(const ZuObjectRef& text)
    {
        datum = text;
        ReportChange(ZuObject::NewReportID());
    }
    ZuObjectRef datum;

    void Delete() override
    {
        datum = ZuObjectNull;
        ZuObject::Delete();
    }
};
ZU_CLASS_END(TChkField)
ZU_IMPLEMENT_CLASS(TChkField, "tests/checker", ZU_CLASS_PLAIN)

namespace {
void GetFieldText(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(static_cast<TChkField*>(object)->datum);
}
void DeclareFieldData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef text = {&TChkFieldRef::RetRuntime(),
                                   "text",
                                   "the text",
                                   &ZuObject_type,
                                   true,
                                   false,
                                   &GetFieldText,
                                   nullptr};
    runtime->PublishData(text);
}
Zuvi_PubDataExport field_data(&DeclareFieldData);
} // namespace

// A filter that answers as told and writes its verdict when it answers
// true; it notes the texts it was given.
ZU_HANDLE(TChkFilter, ZuBaseCheckFilter)
class TChkFilter : public ZuBaseCheckFilter {
    ZU_CLASS(TChkFilter, ZuBaseCheckFilter)
public:
    TChkFilter() {}
    bool Check(const ZuStringRef& text, ZuValidityRecord& record) const override
    {
        seen.push_back(text.IsValid() ? text->AccessLatin() : "<null>");
        if (answer)
            record = verdict;
        return answer;
    }
    void Delete() override
    {
        verdict = ZuValidityRecord();
        ZuBaseCheckFilter::Delete();
    }
    bool answer = false;
    ZuValidityRecord verdict;
    mutable std::vector<std::string> seen;
};
ZU_CLASS_END(TChkFilter)
ZU_IMPLEMENT_CLASS(TChkFilter, "tests/checker", ZU_CLASS_PLAIN)

// A validator that counts the calls of its checkers.
ZU_HANDLE(TChkValidator, ZuValidator)
class TChkValidator : public ZuValidator {
    ZU_CLASS(TChkValidator, ZuValidator)
public:
    TChkValidator() {}
    void NotifyValidityChange(const ZuCheckerRef& checker, bool valid) override
    {
        calls += valid ? 'v' : 'i';
        ZuValidator::NotifyValidityChange(checker, valid);
    }
    std::string calls;
};
ZU_CLASS_END(TChkValidator)
ZU_IMPLEMENT_CLASS(TChkValidator, "tests/checker", ZU_CLASS_PLAIN)

// Counts "notify_validity_changed".
ZU_HANDLE(TChkWatcher, ZuObject)
class TChkWatcher : public ZuObject {
    ZU_CLASS(TChkWatcher, ZuObject)
public:
    TChkWatcher() {}
    bool Seen()
    {
        ++reports;
        return true;
    }
    int reports = 0;
};
ZU_CLASS_END(TChkWatcher)
ZU_IMPLEMENT_CLASS(TChkWatcher, "tests/checker", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TChkWatcher, Seen)

namespace {

class CheckerTest : public ZuviRuntimeTest {
protected:
    // A checker and its source hold each other (the source through its
    // observer link): deleting the checker breaks the cycle, which the
    // collector would otherwise break.
    ZuCheckerRef NewChecker()
    {
        checkers.push_back(Make<ZuCheckerRef>());
        return checkers.back();
    }
    void TearDown() override
    {
        for (ZuCheckerRef& c : checkers)
            c->Delete();
        checkers.clear();
        ZuviRuntimeTest::TearDown();
    }
    std::vector<ZuCheckerRef> checkers;

    template <class R>
    static R Make()
    {
        return R(
            ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__)));
    }
    static TChkFilterRef Filter(bool answer, ZuValidity validity, unsigned first = 0,
                                unsigned count = 0, const char* message = nullptr)
    {
        TChkFilterRef f = Make<TChkFilterRef>();
        f->answer = answer;
        f->verdict =
            ZuValidityRecord(validity, first, count, message ? ZuAtomRef(message) : ZuAtomRef());
        return f;
    }
};

TEST_F(CheckerTest, FiltersAreAlternatives)
{
    TChkFieldRef field = Make<TChkFieldRef>();
    TChkValidatorRef validator = Make<TChkValidatorRef>();
    ZuCheckerRef checker = NewChecker();
    ASSERT_TRUE(checker->Initialise(field, validator));
    TChkFilterRef refuses = Filter(true, ZU_VALIDITY_FALSE, 1, 2, "bad");
    TChkFilterRef accepts = Filter(true, ZU_VALIDITY_TRUE, 4, 5, "fine");
    TChkFilterRef never = Filter(true, ZU_VALIDITY_FALSE);
    ASSERT_TRUE(checker->InsertFilter(refuses));
    ASSERT_TRUE(checker->InsertFilter(accepts));
    ASSERT_TRUE(checker->InsertFilter(never));

    field->Change(ZuStringRef("abc"));
    EXPECT_EQ(checker->RetValidity(), ZU_VALIDITY_TRUE);
    EXPECT_EQ(checker->RetRecord(), ZuValidityRecord(ZU_VALIDITY_TRUE, 4, 5, ZuAtomRef("fine")));
    EXPECT_EQ(refuses->seen, std::vector<std::string>{"abc"});
    EXPECT_TRUE(never->seen.empty());
    EXPECT_EQ(validator->calls, "v");

    // Without the accepting filter the refusal stands and the validator hears it.
    ASSERT_TRUE(checker->RemoveFilter(accepts));
    field->Change(ZuStringRef("abd"));
    EXPECT_EQ(checker->RetRecord(), ZuValidityRecord(ZU_VALIDITY_FALSE, 0, 0, ZuAtomRef()));
    EXPECT_EQ(validator->calls, "vi");
    EXPECT_FALSE(validator->IsValid());
}

TEST_F(CheckerTest, AMessageAloneIsReportedButNotToTheValidator)
{
    TChkFieldRef field = Make<TChkFieldRef>();
    TChkValidatorRef validator = Make<TChkValidatorRef>();
    ZuCheckerRef checker = NewChecker();
    checker->Initialise(field, validator);
    TChkWatcherRef watcher = Make<TChkWatcherRef>();
    checker->AttachObserver(watcher, ZuChecker::notify_validity_changed, ZuAtomRef("Seen"), 0);
    TChkFilterRef filter = Filter(true, ZU_VALIDITY_FALSE, 0, 1, "first");
    checker->InsertFilter(filter);

    field->Change(ZuStringRef("x"));
    EXPECT_EQ(watcher->reports, 1);
    EXPECT_EQ(validator->calls, "i");
    filter->verdict.message = ZuAtomRef("second");
    field->Change(ZuStringRef("y"));
    EXPECT_EQ(watcher->reports, 2);
    EXPECT_EQ(validator->calls, "i");
    // The same verdict again: nothing at all.
    field->Change(ZuStringRef("z"));
    EXPECT_EQ(watcher->reports, 2);
}

TEST_F(CheckerTest, NoFilterOrNoVerdictLeavesTheDefaultRecord)
{
    TChkFieldRef field = Make<TChkFieldRef>();
    TChkValidatorRef validator = Make<TChkValidatorRef>();
    ZuCheckerRef checker = NewChecker();
    checker->Initialise(field, validator);
    checker->InsertFilter(Make<ZuFileCheckFilterRef>());
    field->Change(ZuStringRef("anything"));
    EXPECT_EQ(checker->RetRecord(), ZuValidityRecord::none);
    // Unknown is the record it started with: nothing to tell.
    EXPECT_EQ(validator->calls, "");
}

TEST_F(CheckerTest, OnlyCheckFiltersAreTaken)
{
    ZuCheckerRef checker = NewChecker();
    EXPECT_FALSE(checker->InsertFilter(ZuStringRef("not a filter")));
    EXPECT_FALSE(checker->InsertFilter(ZuObjectNull));
    EXPECT_EQ(checker->TotalCount(), 0u);
    EXPECT_TRUE(checker->InsertFilter(Make<ZuFileCheckFilterRef>()));
    EXPECT_EQ(checker->TotalCount(), 1u);
    ZuObjectRef got;
    EXPECT_TRUE(checker->Get(0, got));
    EXPECT_FALSE(checker->Get(1, got));
}

TEST_F(CheckerTest, TheSourceTextByKind)
{
    struct Case {
        const char* name;
        ZuObjectRef datum;
        const char* seen; // null: not checked
    } cases[] = {
        {"string", ZuStringRef("abc"), "abc"},
        {"atom", ZuAtomRef("name"), "name"},
        {"value", ZuValueRef(42u), "42"},
        {"no object", ZuObjectNull, ""},
        {"unknown kind", Make<TChkWatcherRef>(), nullptr},
    };
    for (const Case& c : cases) {
        TChkFieldRef field = Make<TChkFieldRef>();
        ZuCheckerRef checker = NewChecker();
        checker->Initialise(field, ZuValidatorRef());
        TChkFilterRef filter = Filter(false, ZU_VALIDITY_TRUE);
        checker->InsertFilter(filter);
        field->Change(c.datum);
        if (c.seen)
            EXPECT_EQ(filter->seen, std::vector<std::string>{c.seen}) << c.name;
        else
            EXPECT_TRUE(filter->seen.empty()) << c.name;
    }

    // A source without a "text" datum checks the empty text.
    ZuArrayRef plain = Make<ZuArrayRef>();
    ZuCheckerRef checker = NewChecker();
    checker->Initialise(plain, ZuValidatorRef());
    TChkFilterRef filter = Filter(false, ZU_VALIDITY_TRUE);
    checker->InsertFilter(filter);
    plain->ReportChange(ZuObject::NewReportID());
    EXPECT_EQ(filter->seen, std::vector<std::string>{""});
    // The check can also be called by name.
    EXPECT_TRUE(checker->Action(ZuAtomRef("OnSourceChange"), ZuObjectNull, 0));
    EXPECT_EQ(filter->seen.size(), 2u);
}

TEST_F(CheckerTest, ACheckerNeedsASource)
{
    ZuCheckerRef checker = NewChecker();
    EXPECT_FALSE(checker->Initialise(ZuObjectNull, Make<ZuValidatorRef>()));
    TChkFilterRef filter = Filter(true, ZU_VALIDITY_FALSE);
    checker->InsertFilter(filter);
    checker->OnSourceChange();
    EXPECT_TRUE(filter->seen.empty());
    EXPECT_EQ(checker->RetValidity(), ZU_VALIDITY_UNKNOWN);
    EXPECT_FALSE(checker->RetSourceName().IsValid());
    EXPECT_EQ(checker->RetErrorMessage()->CharacterCount(), 0u);
}

TEST_F(CheckerTest, StoredWithSourceValidatorAndFilters)
{
    TChkFieldRef field = Make<TChkFieldRef>();
    ZuValidatorRef validator = Make<ZuValidatorRef>();
    ZuCheckerRef checker = NewChecker();
    checker->Initialise(field, validator);
    checker->InsertFilter(Filter(true, ZU_VALIDITY_FALSE));
    checker->InsertFilter(Make<ZuFileCheckFilterRef>());
    field->Change(ZuStringRef("x"));
    ASSERT_EQ(checker->RetValidity(), ZU_VALIDITY_FALSE);

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(checker);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuCheckerRef::RetRuntime());
    ZuCheckerRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_EQ(copy->TotalCount(), 2u);
    EXPECT_EQ(copy->RetValidity(), ZU_VALIDITY_UNKNOWN);
    ZuObjectRef filter;
    ASSERT_TRUE(copy->Get(1, filter));
    EXPECT_TRUE(filter->IsKindOf(ZuFileCheckFilterRef::RetRuntime()));
}

TEST_F(CheckerTest, DeleteForgetsEverything)
{
    TChkFieldRef field = Make<TChkFieldRef>();
    ZuCheckerRef checker = NewChecker();
    checker->Initialise(field, Make<ZuValidatorRef>());
    checker->InsertFilter(Filter(true, ZU_VALIDITY_FALSE));
    field->Change(ZuStringRef("x"));
    checker->Delete();
    EXPECT_EQ(checker->TotalCount(), 0u);
    EXPECT_EQ(checker->RetValidity(), ZU_VALIDITY_UNKNOWN);
}

TEST_F(CheckerTest, ValidityNames)
{
    ZuValidity v = ZU_VALIDITY_UNKNOWN;
    EXPECT_STREQ(ZuValidityRetName(v), "ZU_VALIDITY_UNKNOWN");
    v++;
    EXPECT_EQ(v, ZU_VALIDITY_TRUE);
    EXPECT_TRUE(IsValid(ZU_VALIDITY_FALSE));
    EXPECT_FALSE(IsValid(static_cast<ZuValidity>(3)));
    EXPECT_STREQ(ZuValidityRetName(static_cast<ZuValidity>(3)), "?");
}

} // namespace
