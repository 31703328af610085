// The object well in a window as a user meets it: its geometry, the
// buttons it shows around an object, the builder it asks for editors and
// new objects, and what it reports.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "si/lookman.h"
#include "si/message.h"
#include "si/objectwell.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/controls.h"
#include "tests/support/views.h"

namespace {
std::string g_builder_log;
ZuViewRef g_editor;

std::string Latin(const ZuObjectRef& o)
{
    if (o.IsInvalid() || !o->IsKindOf(ZuStringRef::RetRuntime()))
        return "<none>";
    const char* latin = ZuStringRef(o)->AccessLatin();
    return latin != nullptr ? std::string(latin) : std::string();
}
} // namespace

// The builder stand-in: answers "EditSimpleObject" with an editor view and
// "NewObject" with a new string, through the well's own names.
ZU_HANDLE(TWellBuilder, ZuObject)
class TWellBuilder : public ZuObject {
    ZU_CLASS(TWellBuilder, ZuObject)
public:
    TWellBuilder() {}
};
ZU_CLASS_END(TWellBuilder)
ZU_IMPLEMENT_CLASS(TWellBuilder, "tests/objectwell", ZU_CLASS_PLAIN)

namespace {
bool EditThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("EditSimpleObject (ZuObjectRef well, ZuObjectRef object, ZuAtomRef datum)");
        return false;
    }
    ZuObjectRef well, object;
    ZuAtomRef datum;
    msg >> well >> object >> datum;
    g_builder_log +=
        "edit:" + std::string(object->RetRuntime()->RetClassName()) + ":" + datum->RetText() + " ";
    if (g_editor.IsValid())
        ZuObject::DefineData(well, ZuTextRef(datum), ZuObjectRef(g_editor));
    return true;
}
bool NewThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("NewObject (ZuObjectRef well, ZuAtomRef target, ZuObjectRef type)");
        return false;
    }
    ZuObjectRef well, type;
    ZuAtomRef target;
    msg >> well >> target >> type;
    g_builder_log += "new:" + std::string(target->RetText()) + " ";
    ZuMessageRef answer = ZuNew<ZuMessage>(Zuvi_temp_zone);
    answer->SetMethod(target);
    answer->Clear();
    answer->StoreObject(ZuObjectRef(ZuStringRef("neuf")));
    answer->Send(well);
    answer->Delete();
    return true;
}
Zuvi_TargetExport edit_export(&EditThunk, TWellBuilderRef::RetRuntime());
Zuvi_TargetExport new_export(&NewThunk, TWellBuilderRef::RetRuntime());
} // namespace

class ObjectWellTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        // The look of the library's own folder, whose sheets hold the
        // well's icons.
        unsetenv("ZUVI_DIR");
        ZuLookMan::Kill();
        StartLook();
        g_builder_log.clear();
        builder = ZuNew<TWellBuilder>(Zuvi_app_zone);
        well = ZuNew<ZuObjectWell>(Zuvi_app_zone);
        well->SetParent(w);
        well->SetOrigin(5, 10);
        well->SetSize(190, 60);
        reports->Watch(well, {"notify_object_changed"});
    }
    void TearDown() override
    {
        app->SetBuilder(ZuObjectNull);
        builder->Delete();
        builder = TWellBuilderRef();
        g_editor = ZuViewRef();
        well = ZuObjectWellRef();
        ControlTest::TearDown();
    }
    // The x where the editor and the buttons begin.
    double ButtonsX()
    {
        double min_dx = 0, min_dy = 0;
        well->GetMinSize(min_dx, min_dy);
        return well->RetBox().X1() + min_dx - 150;
    }
    void Click(const ZuViewRef& v)
    {
        const ZuRect& b = v->RetBox();
        Mouse(b.X1() + 7, b.Y1() + 7, MK_LBUTTON);
        Mouse(b.X1() + 7, b.Y1() + 7, 0);
    }

    TWellBuilderRef builder;
    ZuObjectWellRef well;
};

TEST_F(ObjectWellTest, TheMinimumSizeHoldsTheIconsAndTheEditorWhateverTheObject)
{
    double dx = 0, dy = 0, cube_dx = 0, cube_dy = 0, arrow_dx = 0, arrow_dy = 0;
    ASSERT_TRUE(ZuLookMan::Current()->GetIconSize(ZuAtomRef("Zuvi_Cube"), cube_dx, cube_dy, 0));
    ASSERT_TRUE(
        ZuLookMan::Current()->GetIconSize(ZuAtomRef("Zuvi_RightArrow"), arrow_dx, arrow_dy, 0));
    const double frame = ZuLookMan::Current()->Ret3DEffectWidth();
    well->GetMinSize(dx, dy);
    EXPECT_EQ(dx, cube_dx + 2 * frame + arrow_dx + 150);
    EXPECT_EQ(dy, std::max(cube_dy, arrow_dy) + 2 * frame);
    well->SetObject(ZuStringRef("x"));
    double dx2 = 0, dy2 = 0;
    well->GetMinSize(dx2, dy2);
    EXPECT_EQ(dx2, dx);
    EXPECT_EQ(dy2, dy);
    // Setting up sizes the well to its minimum.
    EXPECT_EQ(well->RetBox().DX(), dx);
    EXPECT_EQ(well->RetBox().DY(), dy);
}

TEST_F(ObjectWellTest, NewAndKillButtonsSitSideBySideAboveTheBottom)
{
    well->SetObject(ZuStringRef("x"));
    const double x = ButtonsX(), bottom = well->RetBox().Y2();
    ASSERT_TRUE(well->RetNewButton().IsValid());
    ASSERT_TRUE(well->RetKillButton().IsValid());
    EXPECT_EQ(well->RetNewButton()->RetBox(), ZuRect(x, bottom - 14, x + 13, bottom - 1));
    EXPECT_EQ(well->RetKillButton()->RetBox(), ZuRect(x + 16, bottom - 14, x + 29, bottom - 1));
    EXPECT_TRUE(well->RetKillButton()->RetState().TestBit(ZU_VIEW_NO_UI_MODIF));

    // The flag waits for the next setup.
    well->SetKillButton(false);
    EXPECT_TRUE(well->RetKillButton().IsValid());
    well->SetupWellForObject();
    EXPECT_TRUE(well->RetKillButton().IsInvalid());
    EXPECT_TRUE(well->RetNewButton().IsValid());

    // Without the new button the kill button takes its place.
    well->SetKillButton(true);
    well->SetNewButton(false);
    well->SetupWellForObject();
    EXPECT_TRUE(well->RetNewButton().IsInvalid());
    EXPECT_EQ(well->RetKillButton()->RetBox().X1(), x);
}

TEST_F(ObjectWellTest, AnEmptyObjectTakesTheAttributesAndTheKillButtonAway)
{
    ZuStringRef s("x");
    well->SetObject(s);
    ZuObjectRef attribute;
    EXPECT_TRUE(well->GetAttribute("embedded_object_for_ui_edit", attribute, 0));
    EXPECT_EQ(attribute.Resolve(), static_cast<ZuObject*>(s.Resolve()));
    reports->Clear();
    well->SetObject(ZuObjectNull);
    EXPECT_FALSE(well->GetAttribute("embedded_object_for_connect", attribute, 0));
    EXPECT_FALSE(well->GetAttribute("embedded_object_for_ui_edit", attribute, 0));
    EXPECT_FALSE(well->IsObjectAttached());
    EXPECT_TRUE(well->RetKillButton().IsInvalid());
    EXPECT_TRUE(well->RetNewButton().IsValid());
    EXPECT_EQ(reports->log.substr(0, 22), "notify_object_changed(");
}

TEST_F(ObjectWellTest, TheBuilderGivesTheEditorAndTheNewButtonsObject)
{
    app->SetBuilder(builder);
    g_editor = TProbeView::Make("E", 0, 0, 49, 19);
    well->SetObject(ZuStringRef("x"));
    EXPECT_EQ(g_builder_log, "edit:ZuString:editor ");
    ASSERT_EQ(well->RetObjectEditor(), g_editor);
    const double x = ButtonsX();
    EXPECT_EQ(g_editor->RetParent(), ZuViewRef(well));
    EXPECT_EQ(g_editor->RetBox(),
              ZuRect(x, well->RetBox().Y1(), x + 149, well->RetBox().Y1() + 19));
    EXPECT_TRUE(g_editor->RetState().TestBit(ZU_VIEW_NO_UI_INSPECT));

    // The "new" button asks the builder, which answers through SetObject.
    g_editor = ZuViewRef();
    g_builder_log.clear();
    reports->Clear();
    Click(well->RetNewButton());
    EXPECT_EQ(g_builder_log, "new:SetObject edit:ZuString:editor ");
    ASSERT_TRUE(well->RetObject().IsValid());
    EXPECT_EQ(Latin(well->RetObject()), "neuf");
    EXPECT_EQ(reports->log, "notify_object_changed(1) ");

    // The "kill" button empties it, reported twice.
    reports->Clear();
    Click(well->RetKillButton());
    EXPECT_TRUE(well->RetObject().IsInvalid());
    EXPECT_EQ(reports->log, "notify_object_changed(1) notify_object_changed(1) ");
}

TEST_F(ObjectWellTest, StoredFormKeepsObjectFlagsAndIcons)
{
    well->SetObject(ZuStringRef("x"));
    well->SetNewButton(false);
    ZuObjectRef back = StoreAndRestore(well);
    ASSERT_TRUE(back.IsValid() && back->IsKindOf(ZuObjectWellRef::RetRuntime()));
    ZuObjectWellRef copy(back);
    ASSERT_TRUE(copy->RetObject().IsValid());
    EXPECT_EQ(Latin(copy->RetObject()), "x");
    // Children come only with the next setup.
    EXPECT_TRUE(copy->RetNewButton().IsInvalid());
    copy->SetupWellForObject();
    EXPECT_TRUE(copy->RetNewButton().IsInvalid());
    EXPECT_TRUE(copy->RetKillButton().IsValid());
    copy->Delete();
}
