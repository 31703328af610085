// Dialogs read from interface files: the chain of living dialogs, the
// file's path, the window read with references to the dialog's fields, and
// the stand-in window for any file that gives no window.
#include "si/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/archive.h"
#include "si/classfactory.h"
#include "si/filewrite.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "tests/support/controls.h"
#include "tests/support/imagefiles.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

// A view that keeps a reference to any object, stored with it.
ZU_HANDLE(TObjectHolder, ZuView)
class TObjectHolder : public ZuView {
    ZU_CLASS(TObjectHolder, ZuView)
public:
    TObjectHolder() {}
    void Delete() override
    {
        held = ZuObjectNull;
        ZuView::Delete();
    }
    ZuObjectRef held;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuView::StoreInstance(s);
        s->StoreObject(held);
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        ZuView::RestoreInstance(s);
        s->RestoreObject(held, ZuObjectRef::RetRuntime());
    }
};
ZU_CLASS_END(TObjectHolder)
ZU_IMPLEMENT_CLASS(TObjectHolder, "tests/si/dialog_test", ZU_CLASS_PLAIN)

// A dialog whose interface file is a given path.
ZU_HANDLE(TFileDialog, ZuDialog)
class TFileDialog : public ZuDialog {
    ZU_CLASS(TFileDialog, ZuDialog)
public:
    TFileDialog() {}
    bool GetFileName(ZuStringRef& out) const override
    {
        out = ZuStringRef(path.c_str());
        return true;
    }
    std::string path;
};
ZU_CLASS_END(TFileDialog)
ZU_IMPLEMENT_CLASS(TFileDialog, "tests/si/dialog_test", ZU_CLASS_PLAIN)

// A plain view whose class name is as long as the dialog's.
ZU_HANDLE(TDlgView, ZuView)
class TDlgView : public ZuView {
    ZU_CLASS(TDlgView, ZuView)
public:
    TDlgView() {}
};
ZU_CLASS_END(TDlgView)
ZU_IMPLEMENT_CLASS(TDlgView, "tests/si/dialog_test", ZU_CLASS_PLAIN)

namespace {

class DialogTest : public ControlTest {
protected:
    void TearDown() override
    {
        for (ZuDialogRef& d : dialogs)
            d->Delete();
        dialogs.clear();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    TFileDialogRef NewDialog(const std::string& file)
    {
        TFileDialogRef d = ZuNew<TFileDialog>(Zuvi_app_zone);
        d->path = scratch.Path() + "/" + file;
        dialogs.push_back(d);
        return d;
    }
    // Writes a root object into an interface file; objects that are fields
    // of the slot are written as references to those fields.
    void WriteInterface(const std::string& file, const ZuObjectRef& root,
                        const ZuDataSlotRef& slot = ZuDataSlotRef())
    {
        ZuFileWriteRef out(
            ZuClassFactory::New(ZuFileWriteRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test"));
        out->Open(ZuStringRef((scratch.Path() + "/" + file).c_str()), false);
        ZuArchiveRef archive(
            ZuClassFactory::New(ZuArchiveRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test"));
        archive->SetDataSlot(slot);
        archive->SetOutput(out);
        ZuStorageRef(archive) << root;
        archive->Reset();
        out->Close();
        archive->Delete();
        out->Delete();
    }
    // The stand-in window: 320 x 240 at (50, 50), titled with the name and
    // shown.
    void ExpectFallback(const ZuDialogRef& d, const char* name)
    {
        ZuWindowRef win;
        ASSERT_TRUE(d->GetWindow(win)) << name;
        EXPECT_TRUE(d->IsFallbackWindow()) << name;
        double x = 0, y = 0, dx = 0, dy = 0;
        win->GetWindowOrigin(x, y);
        win->GetSize(dx, dy);
        EXPECT_EQ(x, 50) << name;
        EXPECT_EQ(y, 50) << name;
        EXPECT_EQ(dx, 320) << name;
        EXPECT_EQ(dy, 240) << name;
        EXPECT_EQ(win->RetTitle()->CompareWith(name, true), 0) << name;
        EXPECT_TRUE(win->IsVisible()) << name;
    }
    std::vector<ZuDialogRef> dialogs;
};

TEST_F(DialogTest, DialogsFormOneChainUntilDeleted)
{
    ZuDialogRef first = ZuNew<ZuDialog>(Zuvi_app_zone);
    ZuDialogRef second = ZuNew<ZuDialog>(Zuvi_app_zone);
    EXPECT_TRUE(ZuDialog::head == first);
    EXPECT_TRUE(ZuDialog::tail == second);
    first->Delete();
    EXPECT_TRUE(ZuDialog::head == second);
    EXPECT_TRUE(ZuDialog::tail == second);
    ZuDialogRef third = ZuNew<ZuDialog>(Zuvi_app_zone);
    second->Delete();
    EXPECT_TRUE(ZuDialog::head == third);
    // A second Delete finds the dialog unlinked and changes no link.
    second->Delete();
    EXPECT_TRUE(ZuDialog::head == third);
    EXPECT_TRUE(ZuDialog::tail == third);
    third->Delete();
    EXPECT_TRUE(ZuDialog::head.IsInvalid());
    EXPECT_TRUE(ZuDialog::tail.IsInvalid());
}

TEST_F(DialogTest, TheFileNameIsTheAppDirectoryIfaceTheNameAndOui)
{
    ZuDialogRef d = ZuNew<ZuDialog>(Zuvi_app_zone);
    dialogs.push_back(d);
    ZuStringRef path;
    EXPECT_TRUE(d->GetFileName(path));
    ZuStringRef want = ZuNew<ZuString>(Zuvi_app_zone);
    want->AppendString(app->RetAppDirectory(), 0);
    want->AppendString("/iface/.oui", 0);
    EXPECT_EQ(path->CompareWith(want, true), 0);
    d->Interaction(ZuAtomRef("Setup"));
    EXPECT_TRUE(d->GetFileName(path));
    want = ZuNew<ZuString>(Zuvi_app_zone);
    want->AppendString(app->RetAppDirectory(), 0);
    want->AppendString("/iface/Setup.oui", 0);
    EXPECT_EQ(path->CompareWith(want, true), 0);
}

TEST_F(DialogTest, StoringADialogStopsTheProgram)
{
    ZuDialogRef d = ZuNew<ZuDialog>(Zuvi_app_zone);
    dialogs.push_back(d);
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    EXPECT_DEATH(storage << ZuObjectRef(d), "Cannot store ZuDialog");
}

TEST_F(DialogTest, TheWindowOfTheFileReachesTheDialogsFields)
{
    // The file: a window holding a view that refers to the field
    // "Application".
    ZuDataSlotRef names = ZuNew<ZuDataSlot>(Zuvi_app_zone);
    names->InsertField(ZuAtomRef("Application"), ZuObjectRef(app));
    ZuWindowRef stored = ZuNew<ZuWindow>(Zuvi_app_zone);
    stored->InitGeom(10, 20, 120, 80);
    TObjectHolderRef holder = ZuNew<TObjectHolder>(Zuvi_app_zone);
    holder->SetBox(ZuRect(0, 0, 9, 9));
    holder->held = ZuObjectRef(app);
    holder->SetParent(stored);
    WriteInterface("Setup.oui", stored, names);
    stored->Delete();
    names->Delete();

    TFileDialogRef d = NewDialog("Setup.oui");
    ZuObjectRef reporter = d;
    TReportLogRef log = TReportLog::Make();
    log->Watch(reporter, {"field_Application_changed", "field_Data slot_changed"});

    EXPECT_TRUE(d->Interaction(ZuAtomRef("Setup")));
    ZuWindowRef win;
    ASSERT_TRUE(d->GetWindow(win));
    EXPECT_FALSE(d->IsFallbackWindow());
    ZuViewRef child;
    ASSERT_TRUE(win->GetFirstChild(child));
    ASSERT_TRUE(child->IsKindOf(TObjectHolderRef::RetRuntime()));
    EXPECT_TRUE(TObjectHolderRef(child)->held == ZuObjectRef(app));
    // Inserting the fields reports them; then every field once more, each
    // as a report of its own.
    EXPECT_EQ(log->log, "field_Application_changed(0) field_Data slot_changed(0) "
                        "field_Application_changed(1) field_Data slot_changed(1) ");
    EXPECT_FALSE(win->IsVisible());
    ZuAtomRef name;
    EXPECT_TRUE(d->GetName(name));
    EXPECT_TRUE(name == "Setup");

    d->Delete();
    EXPECT_FALSE(d->GetWindow(win));
    EXPECT_FALSE(d->GetName(name));
    log->Delete();
}

TEST_F(DialogTest, AnyFileThatGivesNoWindowOpensTheStandIn)
{
    // Files that hold something else than a window.
    WriteInterface("view.oui", TProbeView::Make("lone", 0, 0, 9, 9));
    WriteInterface("text.oui", ZuStringRef("no window"));
    WriteInterface("nothing.oui", ZuObjectNull);
    ZuWindowRef whole = ZuNew<ZuWindow>(Zuvi_app_zone);
    whole->InitGeom(0, 0, 50, 50);
    WriteInterface("whole.oui", whole);
    whole->Delete();
    ZuWindowRef flat = ZuNew<ZuWindow>(Zuvi_app_zone);
    flat->InitGeom(10, 10, 0, 40);
    WriteInterface("flat.oui", flat);
    flat->Delete();
    std::vector<unsigned char> window_bytes;
    {
        FILE* f = fopen((scratch.Path() + "/whole.oui").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = fgetc(f)) != EOF)
            window_bytes.push_back(static_cast<unsigned char>(c));
        fclose(f);
    }
    std::vector<unsigned char> cut(window_bytes.begin(),
                                   window_bytes.begin() + window_bytes.size() / 2);
    ASSERT_TRUE(WriteTestFile(scratch.Path() + "/cut.oui", cut));
    ASSERT_TRUE(WriteTestFile(scratch.Path() + "/junk.oui", {'n', 'o', 't', ' ', 'a', 'n'}));
    ASSERT_TRUE(WriteTestFile(scratch.Path() + "/empty.oui", {}));

    for (const char* file : {"missing.oui", "view.oui", "text.oui", "nothing.oui", "cut.oui",
                             "junk.oui", "empty.oui", "flat.oui"}) {
        TFileDialogRef d = NewDialog(file);
        EXPECT_TRUE(d->Interaction(ZuAtomRef(file)));
        ExpectFallback(d, file);
    }
}

TEST_F(DialogTest, ADialogNamedByTheFileIsRefusedAsCorrupt)
{
    // A file naming the dialog class itself: the bytes of a stored view
    // whose class name has a dialog's length, with the name changed.
    TDlgViewRef view = ZuNew<TDlgView>(Zuvi_app_zone);
    WriteInterface("holder.oui", view);
    view->Delete();
    std::string bytes;
    {
        FILE* f = fopen((scratch.Path() + "/holder.oui").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = fgetc(f)) != EOF)
            bytes.push_back(static_cast<char>(c));
        fclose(f);
    }
    std::size_t const at = bytes.find("TDlgView");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 8, "ZuDialog");
    std::vector<unsigned char> file(bytes.begin(), bytes.end());
    ASSERT_TRUE(WriteTestFile(scratch.Path() + "/dialog.oui", file));
    TFileDialogRef d = NewDialog("dialog.oui");
    EXPECT_TRUE(d->Interaction(ZuAtomRef("dialog")));
    ExpectFallback(d, "dialog");
    EXPECT_TRUE(ZuDialog::tail == d);
}

} // namespace
