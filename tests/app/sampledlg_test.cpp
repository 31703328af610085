// The samples palette in the running shell, as a user meets it: the kind
// buttons and the list clicked, names typed, the arrows, "Créer",
// "Actualiser", "Supprimer", "Utiliser", "Ouvrir" and "Enregistrer"
// pressed, and the preview read back in pixels. The attributes dialog is a
// probe that shows definitions by kind and logs what a used sample asks.
#include <gtest/gtest.h>

#include "app/colordef.h"
#include "app/defdlg.h"
#include "app/graarc.h"
#include "app/graarrow.h"
#include "app/grapolyr.h"
#include "app/grarect.h"
#include "app/idefdlg.h"
#include "app/idefdlguse.h"
#include "app/motifdef.h"
#include "app/pendef.h"
#include "app/sampledlg.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "si/rtclass.h"
#include "tests/app/panecontrols.h"
#include "tests/app/shelltest.h"
#include "tests/support/debugcapture.h"
#include "tests/support/scratchdir.h"

#include <fstream>
#include <map>
#include <string>
#include <vector>

// The attributes dialog as the samples palette sees it: definitions by
// kind, and a log of the steps of a used sample ("set 10 mod 10 ...
// notify tab").
ZU_HANDLE(TSampleDefDlg, ZuObject)
class TSampleDefDlg : public ZuObject, public IDefDlg, public IDefDlgUse {
    ZU_CLASS(TSampleDefDlg, ZuObject)
public:
    TSampleDefDlg() {}
    CDefRef RetDefinition(int kind) override
    {
        auto it = defs.find(kind);
        return it == defs.end() ? CDefRef() : it->second;
    }
    void EnablePane(int, bool) override {}
    bool SetDefinition(int kind, const CDefRef&) override
    {
        log += "set " + std::to_string(kind) + " ";
        return true;
    }
    void AddModifiedKind(int kind) override { log += "mod " + std::to_string(kind) + " "; }
    void NotifyChange(bool, bool) override { log += "notify "; }
    bool OnClickTab()
    {
        log += "tab";
        return true;
    }
    void Delete() override
    {
        defs.clear();
        ZuObject::Delete();
    }
    std::map<int, CDefRef> defs;
    std::string log;
};
ZU_CLASS_END(TSampleDefDlg)
ZU_IMPLEMENT_CLASS(TSampleDefDlg, "tests/app/sampledlg_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TSampleDefDlg, IDefDlg)
ZU_IMPLEMENT_INTERFACE(TSampleDefDlg, IDefDlgUse)
ZU_EXPORT_ACTOR(TSampleDefDlg, OnClickTab)

namespace {

// Window points of the palette's controls.
const double kKindX[6] = {15, 38, 61, 84, 107, 250};
struct Point {
    double x, y;
};
const Point kUse{79, 159};
const Point kExpand{165, 166};
const Point kName{70, 189};
const Point kUp{146, 183};
const Point kDown{146, 193};
const Point kUpdate{79, 215};
const Point kCreate{41, 239};
const Point kDelete{116, 239};
const Point kOpen{210, 215};
const Point kSave{210, 239};
// The preview's centre (sample space origin).
const int kCentreX = 158 + 52;
const int kCentreY = 35 + 52;

class SampleDlgTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        dlg = CSampleDlgRef(app->RetSampleDlg());
        ASSERT_TRUE(dlg.IsValid());
        probe = ZuNew<TSampleDefDlg>(Zuvi_app_zone);
        dlg->SetDefDlg(probe);
        view = CPageViewRef(Main()->RetPageView());
        doc = view->RetDocument();
        // Every list starts empty, whatever the sample file beside the
        // program holds.
        for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
            while (doc->GetSampleList(i)->Count() > 0)
                doc->GetSampleList(i)->Remove(0);
        doc->SetModified(false);
        view->ShowSampleDlg();
        // The selection offers the kinds of the current tool: here every
        // sample kind is offered.
        const int all[] = {10, 20, 30, 100, 120, 0};
        dlg->SetUsedKinds(all, nullptr);
        Pump();
    }
    void TearDown() override
    {
        dlg->SetDefDlg(ZuObjectRef());
        probe->Delete();
        probe = TSampleDefDlgRef();
        dlg = CSampleDlgRef();
        view = CPageViewRef();
        doc = CDocumentRef();
        ShellTest::TearDown();
    }
    ZuWindowRef Win() const { return dlg->RetWindow(); }
    void At(const Point& p)
    {
        W32_AdvanceTestClock(1000);
        Click(Win(), p.x, p.y);
    }
    void ClickKind(int i) { At({kKindX[i], 15}); }
    void ClickRow(int row) { At({40, 35 + 4 + 16.0 * row + 8}); }
    void Expand()
    {
        if (!dlg->IsExpanded())
            At(kExpand);
    }
    // Types lowercase letters, digits and spaces into the focused field.
    void Type(const char* text)
    {
        for (const char* c = text; *c != '\0'; ++c) {
            const UINT vk = (*c >= 'a' && *c <= 'z') ? UINT(*c - 'a' + 'A') : UINT(*c);
            W32_HeadlessKey(vk, 0, false, true);
            W32_HeadlessKey(vk, 0, false, false);
            Pump();
        }
    }
    CSampleListRef List(int i) const { return doc->GetSampleList(i); }
    static std::string Name(const CSampleListRef& l, int i)
    {
        ZuStringRef s;
        l->GetName(i, s);
        return s.IsValid() ? std::string(s->AccessLatin()) : "<none>";
    }
    static std::string Names(const CSampleListRef& l)
    {
        std::string out;
        for (int i = 0; i < l->Count(); ++i)
            out += (i ? "," : "") + Name(l, i);
        return out;
    }
    std::string Field() const
    {
        const ZuStringRef t = dlg->RetNameField()->RetText();
        return t.IsValid() ? std::string(t->AccessLatin()) : "";
    }
    static bool Enabled(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ENABLED); }
    // Samples with the given names in the document's list of the current
    // kind, shown again.
    void Fill(std::initializer_list<const char*> names)
    {
        const CSampleListRef l = dlg->RetCurrentList();
        for (const char* n : names) {
            const int i = l->Count();
            l->InsertNew(i);
            l->SetName(i, ZuStringRef(n));
        }
        dlg->Update(false);
        Pump();
    }
    template <class D>
    typename D::Zuvi_Handle Show(int kind)
    {
        typename D::Zuvi_Handle d = ZuNew<D>(Zuvi_app_zone);
        probe->defs[kind] = d;
        return d;
    }
    // A pixel at a point of the palette's client area (the screen window
    // holds the frame too).
    unsigned Preview(int x, int y)
    {
        double fx = 0, fy = 0;
        Win()->GetFrameOffset(fx, fy);
        return WindowPixel(Win(), x + int(fx), y + int(fy));
    }
    std::string Path(const std::string& name) const { return scratch.Path() + "/" + name; }

    CSampleDlgRef dlg;
    TSampleDefDlgRef probe;
    CPageViewRef view;
    CDocumentRef doc;
};

} // namespace

TEST_F(SampleDlgTest, KindButtonsShowTheDocumentListsInTheirOrder)
{
    EXPECT_TRUE(Win()->IsVisible());
    // Each document list gets as many samples as its position plus one.
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        for (int k = 0; k <= i; ++k)
            List(i)->InsertNew(0);
    const int expected_list[6] = {1, 2, 4, 3, 5, 0};
    for (int kind : {5, 0, 3, 1, 4, 2}) {
        SCOPED_TRACE(kind);
        ClickKind(kind);
        EXPECT_EQ(dlg->RetCurrentKind(), kind);
        EXPECT_TRUE(dlg->RetCurrentList() == List(expected_list[kind]));
        EXPECT_EQ(dlg->RetList()->RetCount(), expected_list[kind] + 1);
        for (int b = 0; b < 6; ++b)
            EXPECT_EQ(dlg->RetKindButton(b)->RetState().TestBit(ZU_VIEW_IS_ON), b == kind) << b;
    }
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SampleDlgTest, CreateNamesFromThePatternAndCopiesWhatTheAttributesShow)
{
    CPenDefRef pen = Show<CPenDef>(10);
    pen->SetWidth(2.5);
    CColorDefRef blue = Show<CColorDef>(15);
    blue->SetRGB(0, 0, 1);
    Show<CColorDef>(25)->SetRGB(1, 0, 0);
    Show<CMotifDef>(20);
    Expand();
    ClickKind(0);
    At(kCreate);
    At(kCreate);
    const CSampleListRef trait = List(1);
    EXPECT_EQ(Names(trait), "Trait 1,Trait 2");
    EXPECT_EQ(dlg->RetList()->RetSelected(), 1);
    EXPECT_EQ(Field(), "Trait 2");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(trait->GetKind(0), 32);
    // The stroke kinds only, as copies: later changes stay out.
    CDefRef held;
    ASSERT_TRUE(trait->GetNode(0)->FindDef(10, held));
    EXPECT_FALSE(held == CDefRef(pen));
    EXPECT_EQ(CPenDefRef(ZuObjectRef(held))->GetWidth(), 2.5);
    pen->SetWidth(7);
    EXPECT_EQ(CPenDefRef(ZuObjectRef(held))->GetWidth(), 2.5);
    EXPECT_TRUE(trait->GetNode(0)->FindDef(15, held));
    EXPECT_FALSE(trait->GetNode(0)->FindDef(25, held));

    // The new name is selected in the field: typing replaces it.
    Type("bord");
    EXPECT_EQ(Name(trait, 1), "bord");
    EXPECT_EQ(Names(trait), "Trait 1,bord");

    // Names count the samples before: after a deletion a name can repeat.
    ClickRow(0);
    At(kDelete);
    At(kCreate);
    EXPECT_EQ(Names(trait), "bord,Trait 2");

    // "Tout" takes every kind the attributes dialog shows, and none it
    // does not (126 and 127 here).
    ClickKind(5);
    At(kCreate);
    EXPECT_EQ(Name(List(0), 0), "Tout 1");
    std::vector<int> kinds;
    const CSampleNodeRef all = List(0)->GetNode(0);
    all->StartDefIteration();
    for (int k = 0; all->NextDefCode(k);)
        kinds.push_back(k);
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds, (std::vector<int>{10, 15, 20, 25}));
}

TEST_F(SampleDlgTest, ThePreviewClassFollowsTheSelectionsKinds)
{
    Expand();
    ClickKind(2);
    const struct {
        std::vector<int> used;
        const ZuRuntimeRef& rt;
    } cases[] = {
        {{50, 40, 0}, CGraPolyRegRef::RetRuntime()}, {{51, 41, 30, 0}, CGraArcRef::RetRuntime()},
        {{40, 41, 0}, CGraArrowRef::RetRuntime()},   {{30, 31, 0}, CGraRectRef::RetRuntime()},
        {{31, 0}, CGraPolyRegRef::RetRuntime()},
    };
    for (const auto& c : cases) {
        dlg->SetUsedKinds(c.used.data(), nullptr);
        ClickKind(2);
        At(kCreate);
        const CSampleListRef forme = List(4);
        EXPECT_TRUE(forme->GetObject(forme->Count() - 1) == c.rt) << c.used[0];
    }
}

TEST_F(SampleDlgTest, UpDownAndDeleteKeepTheSelectionWhereTheUserExpectsIt)
{
    Expand();
    ClickKind(0);
    Fill({"a", "b", "c"});
    const CSampleListRef l = List(1);
    ASSERT_EQ(dlg->RetList()->RetSelected(), -1);
    // Up with nothing selected moves nothing (called by name: the icon
    // itself is disabled).
    EXPECT_FALSE(Enabled(dlg->RetUpIcon()));
    EXPECT_TRUE(dlg->Action(ZuAtomRef("OnButtonPrev"), ZuObjectRef(), 0));
    EXPECT_EQ(Names(l), "a,b,c");
    EXPECT_EQ(dlg->RetList()->RetSelected(), -1);
    EXPECT_FALSE(doc->IsModified());
    // Down with nothing selected selects the first line, moving nothing.
    At(kDown);
    EXPECT_EQ(Names(l), "a,b,c");
    EXPECT_EQ(dlg->RetList()->RetSelected(), 0);
    EXPECT_FALSE(Enabled(dlg->RetUpIcon()));
    EXPECT_TRUE(Enabled(dlg->RetDownIcon()));

    ClickRow(1);
    At(kUp);
    EXPECT_EQ(Names(l), "b,a,c");
    EXPECT_EQ(dlg->RetList()->RetSelected(), 0);
    EXPECT_EQ(l->GetCurrent(), 0);
    EXPECT_TRUE(doc->IsModified());
    At(kDown);
    At(kDown);
    EXPECT_EQ(Names(l), "a,c,b");
    EXPECT_EQ(dlg->RetList()->RetSelected(), 2);
    EXPECT_FALSE(Enabled(dlg->RetDownIcon()));
    EXPECT_TRUE(Enabled(dlg->RetUpIcon()));

    // Deleting the last line selects the one above; another line keeps
    // its number, now showing the next sample.
    At(kDelete);
    EXPECT_EQ(Names(l), "a,c");
    EXPECT_EQ(dlg->RetList()->RetSelected(), 1);
    ClickRow(0);
    At(kDelete);
    EXPECT_EQ(Names(l), "c");
    EXPECT_EQ(dlg->RetList()->RetSelected(), 0);
    EXPECT_EQ(Field(), "c");
    At(kDelete);
    EXPECT_EQ(l->Count(), 0);
    EXPECT_EQ(Field(), "");
    EXPECT_FALSE(Enabled(dlg->RetNameField()));
    EXPECT_TRUE(dlg->RetNameField()->RetTransparentMode());
    for (CSampleDlg::Button b : {CSampleDlg::USE, CSampleDlg::DELETE, CSampleDlg::UPDATE})
        EXPECT_FALSE(Enabled(dlg->RetButton(b))) << b;
    EXPECT_TRUE(Enabled(dlg->RetButton(CSampleDlg::CREATE)));
    // Nothing left to delete.
    doc->SetModified(false);
    EXPECT_FALSE(dlg->DeleteSelected());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SampleDlgTest, RenameAndRefreshChangeTheSelectedSampleOnly)
{
    CPenDefRef pen = Show<CPenDef>(10);
    pen->SetWidth(1);
    Expand();
    ClickKind(0);
    At(kCreate);
    At(kCreate);
    doc->SetModified(false);
    ClickRow(0);
    At(kName);
    Type("x");
    EXPECT_EQ(Names(List(1)), "Trait 1x,Trait 2");
    EXPECT_TRUE(doc->IsModified());

    doc->SetModified(false);
    pen->SetWidth(4);
    At(kUpdate);
    CDefRef held;
    ASSERT_TRUE(List(1)->GetNode(0)->FindDef(10, held));
    EXPECT_EQ(CPenDefRef(ZuObjectRef(held))->GetWidth(), 4.0);
    ASSERT_TRUE(List(1)->GetNode(1)->FindDef(10, held));
    EXPECT_EQ(CPenDefRef(ZuObjectRef(held))->GetWidth(), 1.0);
    EXPECT_EQ(Name(List(1), 0), "Trait 1x");
    EXPECT_EQ(List(1)->GetKind(0), 32);
    EXPECT_TRUE(doc->IsModified());

    // Without a selected line neither renames nor refreshes.
    dlg->RetList()->Select(-1);
    doc->SetModified(false);
    EXPECT_FALSE(dlg->Rename());
    EXPECT_FALSE(dlg->Refresh(true));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SampleDlgTest, UseHandsEachDefinitionOverAndReportsOnce)
{
    Show<CPenDef>(10);
    Show<CColorDef>(15);
    Show<CColorDef>(25);
    Expand();
    ClickKind(5);
    At(kCreate);
    probe->log.clear();
    At(kUse);
    // Three definitions: three hand-overs, three kinds, one report.
    std::string expected;
    const CSampleNodeRef s = List(0)->GetNode(0);
    s->StartDefIteration();
    for (int k = 0; s->NextDefCode(k);)
        expected += "set " + std::to_string(k) + " mod " + std::to_string(k) + " ";
    EXPECT_EQ(expected.size(), std::string("set 10 mod 10 set 15 mod 15 set 25 mod 25 ").size());
    EXPECT_EQ(probe->log, expected + "notify tab");
    // Nothing selected: the report alone.
    dlg->RetList()->Select(-1);
    probe->log.clear();
    dlg->Use();
    EXPECT_EQ(probe->log, "notify tab");
}

TEST_F(SampleDlgTest, SetUsedKindsOffersTheKindsOfTheSelection)
{
    ClickKind(0);
    const struct {
        std::vector<int> used;
        const char* shown;
        int current;
    } cases[] = {
        {{10, 25, 0}, "110001", 0},
        {{0}, "000001", 5},
        {{120, 100, 0}, "000111", 5},
        {{30, 127, 0}, "001011", 5},
    };
    for (const auto& c : cases) {
        dlg->SetUsedKinds(c.used.data(), nullptr);
        Pump();
        std::string shown;
        for (int i = 0; i < 6; ++i)
            shown += dlg->RetKindButton(i)->RetParent().IsValid() ? '1' : '0';
        EXPECT_EQ(shown, c.shown) << c.used[0];
        EXPECT_EQ(dlg->RetCurrentKind(), c.current) << c.used[0];
        EXPECT_TRUE(dlg->RetCurrentList() == List(SampleKindTable[dlg->RetCurrentKind()].list));
    }
}

TEST_F(SampleDlgTest, ExpandingTwiceGivesTheReducedSizeBack)
{
    double dx = 0, dy = 0;
    Win()->GetSize(dx, dy);
    EXPECT_EQ(dy, 175);
    At(kExpand);
    Win()->GetSize(dx, dy);
    EXPECT_EQ(dx, 266);
    EXPECT_EQ(dy, 255);
    At(kExpand);
    Win()->GetSize(dx, dy);
    EXPECT_EQ(dy, 175);
}

TEST_F(SampleDlgTest, SampleFilesReplaceAllListsOrNone)
{
    Expand();
    ClickKind(0);
    Fill({"un", "deux"});
    ClickKind(5);
    Fill({"tout"});
    const std::string path = Path("essai.sample");
    doc->SetSampleFileName(ZuStringRef(path.c_str()));
    dlg->Update(false);
    doc->SetModified(false);
    At(kSave);
    EXPECT_FALSE(doc->IsModified());
    {
        std::ifstream in(path, std::ios::binary);
        EXPECT_TRUE(in.good());
    }

    // The lists change, then the file brings the saved ones back: all six
    // replaced, the document not marked.
    List(1)->Remove(0);
    List(0)->InsertNew(0);
    CSampleListRef before[CDocument::SAMPLE_LISTS];
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        before[i] = List(i);
    At(kOpen);
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        EXPECT_FALSE(List(i) == before[i]) << i;
    EXPECT_EQ(Names(List(1)), "un,deux");
    EXPECT_EQ(Names(List(0)), "tout");
    EXPECT_TRUE(dlg->RetCurrentList() == List(0));
    EXPECT_EQ(dlg->RetList()->RetCount(), 1);
    EXPECT_FALSE(doc->IsModified());

    // A damaged, an empty and a missing file change no list.
    {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(Path("coupe.sample"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
        std::ofstream(Path("vide.sample"), std::ios::binary) << "";
    }
    for (const char* name : {"coupe.sample", "vide.sample", "absent.sample"}) {
        SCOPED_TRACE(name);
        for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
            before[i] = List(i);
        doc->SetSampleFileName(ZuStringRef(Path(name).c_str()));
        At(kOpen);
        for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
            EXPECT_TRUE(List(i) == before[i]) << i;
        EXPECT_EQ(dlg->RetList()->RetCount(), 1);
        EXPECT_FALSE(doc->IsModified());
    }
}

TEST_F(SampleDlgTest, AFailedSaveIsToldAsAFailedDocumentSaveIs)
{
    Expand();
    const std::string path = Path("nulle/part");
    doc->SetSampleFileName(ZuStringRef(path.c_str()));
    dlg->Update(false);
    DebugCapture capture;
    At(kSave);
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_EQ(capture.LastBox().text, "Le fichier " + path +
                                          ".sample n'a pas pu \xea"
                                          "tre enregistr\xe9 : le dossier n'existe pas.");
    EXPECT_EQ(capture.LastBox().caption, "Lumbra");
    std::ifstream in(path + ".sample");
    EXPECT_FALSE(in.good());
}

TEST_F(SampleDlgTest, ThePreviewDrawsTheStoredKindWithItsColourOverrides)
{
    Show<CPenDef>(10)->SetWidth(6);
    Show<CColorDef>(15)->SetRGB(0, 0, 1);
    Show<CColorDef>(25)->SetRGB(1, 0, 0);
    Show<CMotifDef>(20)->SetValue(60);
    Expand();
    // An interior sample: a rectangle filled red, its outline transparent.
    ClickKind(1);
    At(kCreate);
    EXPECT_TRUE(Near(Preview(kCentreX, kCentreY), 0xFF0000));
    EXPECT_TRUE(Near(Preview(kCentreX - 36, kCentreY), 0xFF0000));
    EXPECT_TRUE(Near(Preview(kCentreX - 45, kCentreY), 0xFFFFFF));
    // A stroke sample: the blue curve from (-41.6, 0), its interior left
    // unfilled.
    ClickKind(0);
    At(kCreate);
    EXPECT_TRUE(Near(Preview(kCentreX - 41, kCentreY), 0x0000FF));
    EXPECT_TRUE(Near(Preview(kCentreX - 20, kCentreY - 10), 0xFFFFFF));
    EXPECT_TRUE(Near(Preview(kCentreX + 20, kCentreY + 10), 0xFFFFFF));
    // Nothing selected: a blank preview.
    At(kDelete);
    At(kDelete);
    EXPECT_TRUE(Near(Preview(kCentreX - 41, kCentreY), 0xFFFFFF));
}

TEST_F(SampleDlgTest, WithTheProgramsAttributesDialogASampleReachesTheSelection)
{
    dlg->SetDefDlg(ZuObjectRef());
    const CDefDlgRef defs = app->RetDefDlg();
    ASSERT_TRUE(defs.IsValid());
    // A rectangle of the page, selected.
    CTreeNodeRef layer;
    doc->GetTree()->GetNode(layer, 0, 0);
    CTreeNodeRef node = ZuNew<CTreeNode>(Zuvi_app_zone);
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone);
    const DPoint corner{10, 10};
    rect->SetPoints(&corner, 1);
    rect->DragPoint(DPoint{60, 40}, 0);
    node->SetObject(rect);
    node->InsertLastChild(layer);
    view->RetSelectObject()->SelectOnly(node);
    dlg->SetUsedKinds(std::vector<int>{10, 15, 20, 25, 30, 100, 120, 0}.data(), nullptr);

    // "Tout" copies every definition the start-up installed: the twenty
    // kinds of the table the attributes dialog shows.
    Expand();
    ClickKind(5);
    At(kCreate);
    int kinds = 0;
    const CSampleNodeRef all = List(0)->GetNode(0);
    all->StartDefIteration();
    for (int k = 0; all->NextDefCode(k);)
        ++kinds;
    EXPECT_EQ(kinds, 20);

    // A stroke sample takes the pen of start-up; made thicker in the
    // sample, "Utiliser" hands it to the dialog and the rectangle takes it.
    ClickKind(0);
    At(kCreate);
    CDefRef held;
    ASSERT_TRUE(List(1)->GetNode(0)->FindDef(10, held));
    EXPECT_EQ(CPenDefRef(ZuObjectRef(held))->GetWidth(), 0.5);
    CPenDefRef(ZuObjectRef(held))->SetWidth(3);
    At(kUse);
    Pump();
    app->FireAsyncEvents();
    Pump();
    EXPECT_EQ(CPenDefRef(ZuObjectRef(defs->RetDefinition(10)))->GetWidth(), 3.0);
    // The edit replaces the object by an edited copy in a node of its own.
    ZuObjectRef pen;
    ASSERT_TRUE(layer->RetFirstChild().IsValid());
    ASSERT_TRUE(CGraObjectRef(layer->RetFirstChild()->RetObject())->GetDefinition(10, pen));
    ASSERT_TRUE(pen.IsValid());
    EXPECT_EQ(CPenDefRef(pen)->GetWidth(), 3.0);
    const int* modified = nullptr;
    int count = -1;
    defs->RetModifiedKinds(&modified, &count);
    EXPECT_EQ(count, 0);
}
