#include "si/dialog.h"

#include <cmath>

#include "si/app.h"
#include "si/archive.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuDialog, "si/dialog", ZU_CLASS_NOT_STORED)

ZuDialogRef ZuDialog::head;
ZuDialogRef ZuDialog::tail;

namespace {

// The stand-in window's place, size and style.
const double kFallbackX = 50, kFallbackY = 50, kFallbackDX = 320, kFallbackDY = 240;

ZuObjectRef Make(const ZuRuntimeRef& rt)
{
    return ZuObjectRef(ZuClassFactory::New(rt, Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
}

} // namespace

ZuDialog::ZuDialog()
{
    prev = tail;
    if (tail.IsValid())
        tail->next = ZuDialogRef(this);
    else
        head = ZuDialogRef(this);
    tail = ZuDialogRef(this);
}

ZuDialog::~ZuDialog()
{
    ZU_ASSERT_AT(prev.IsValid() == false, "this->prev.IsValid () == FALSE", 66, "si/dialog");
    ZU_ASSERT_AT(next.IsValid() == false, "this->next.IsValid () == FALSE", 67, "si/dialog");
}

void ZuDialog::Unlink()
{
    if (next.IsInvalid() && prev.IsInvalid() && !(head.IsValid() && head == ZuDialogRef(this)))
        return;
    // Copies: clearing a neighbour's link may drop the last other handle on
    // this dialog while we still read its links.
    const ZuDialogRef self(this), before = prev, after = next;
    if (before.IsValid())
        before->next = after;
    else
        head = after;
    if (after.IsValid())
        after->prev = before;
    else
        tail = before;
    next = ZuDialogNull;
    prev = ZuDialogNull;
}

bool ZuDialog::GetWindow(ZuWindowRef& out) const
{
    out = window;
    return window.IsValid();
}

bool ZuDialog::GetName(ZuAtomRef& out) const
{
    out = name;
    return name.IsValid();
}

bool ZuDialog::GetFileName(ZuStringRef& out) const
{
    ZuStringRef path = ZuNew<ZuString>(Zuvi_app_zone);
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid() && app->RetAppDirectory().IsValid())
        path->AppendString(app->RetAppDirectory(), 0);
    path->AppendString(ZuStringRef("/iface/"), 0);
    if (name.IsValid())
        path->AppendString(ZuStringRef(name->RetString()), 0);
    path->AppendString(ZuStringRef(".oui"), 0);
    out = path;
    return true;
}

const ZuWindowRef& ZuDialog::RetWindow() const
{
    return window;
}

ZuWindowRef ZuDialog::ReadWindow()
{
    ZuObjectRef read;
    ZuFileReadRef file;
    ZuArchiveRef archive;
    // The file is outside data: whatever it holds, a failed read only
    // means that the stand-in window is shown.
    try {
        file = ZuFileReadRef(Make(ZuFileReadRef::RetRuntime()));
        archive = ZuArchiveRef(Make(ZuArchiveRef::RetRuntime()));
        ZuStringRef path;
        GetFileName(path);
        file->Open(path);
        archive->SetDataSlot(ZuDataSlotRef(this));
        archive->SetInput(file);
        archive->RestoreObject(read, ZuRuntimeRef());
        archive->FinallyAwakeFromApp(ZuApp::Current());
        archive->Reset();
        file->Close();
    } catch (const ZuException&) {
        read = ZuObjectNull;
    }
    if (archive.IsValid()) {
        archive->Reset();
        archive->Delete();
    }
    if (file.IsValid()) {
        if (file->IsOpen())
            file->Close();
        file->Delete();
    }
    if (read.IsValid() && read->IsKindOf(ZuWindowRef::RetRuntime())) {
        // A screen window needs a place of some width and height.
        const ZuRect& box = ZuWindowRef(read)->RetWindowBox();
        const double dx = box.DX(), dy = box.DY();
        if (dx > 0 && dy > 0 && std::isfinite(dx) && std::isfinite(dy) && std::isfinite(box.X1()) &&
            std::isfinite(box.Y1()))
            return ZuWindowRef(read);
    }
    // Anything but a window that can be opened is of no use here.
    if (read.IsValid())
        read->Delete();
    return ZuWindowRef();
}

bool ZuDialog::Interaction(const ZuAtomRef& new_name)
{
    name = new_name;
    InsertField(ZuAtomRef("Application"), ZuObjectRef(ZuApp::Current()));
    InsertField(ZuAtomRef("Data slot"), ZuObjectRef(this));

    ZuWindowRef read = ReadWindow();
    if (read.IsValid()) {
        if (window.IsValid() && window != read)
            window->Delete();
        window = read;
        is_fallback = false;
    }
    if (window.IsInvalid()) {
        window = ZuWindowRef(Make(ZuWindowRef::RetRuntime()));
        window->SetWindowOrigin(kFallbackX, kFallbackY);
        window->SetSize(kFallbackDX, kFallbackDY);
        ZuWinStyle style;
        style.SetBit(static_cast<ZuWinStyleBit>(0));
        style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
        window->SetStyle(style);
        window->SetTitle(name.IsValid() ? ZuStringRef(name->RetString()) : ZuStringRef(""));
        window->SetSlot(ZuDataSlotRef(this));
        is_fallback = true;
    }
    // A handle of our own: the window's operations may call back into the
    // dialog.
    const ZuWindowRef shown = window;
    shown->SetSlot(ZuDataSlotRef(this));
    shown->Open();
    shown->Display(true);
    for (unsigned i = 0; i < TotalCount(); ++i) {
        ZuObjectRef key;
        if (Get(i, key))
            ReportFieldChange(ZuAtomRef(key), 1);
    }
    shown->Display(true);
    if (is_fallback)
        shown->ShowNormal();
    else
        shown->Hide();
    return true;
}

void ZuDialog::Delete()
{
    Unlink();
    if (window.IsValid()) {
        const ZuWindowRef old = window;
        window = ZuWindowNull;
        old->Delete();
    }
    window = ZuWindowNull;
    name = ZuAtomNull;
    RemoveField(ZuAtomRef("Application"));
    RemoveField(ZuAtomRef("Data slot"));
}

void ZuDialog::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Cannot store ZuDialog");
}

void ZuDialog::RestoreInstance(const ZuStorageRef&)
{
    // The class name comes from the stored bytes, which a user chose: such
    // input is refused as corrupt rather than allowed to stop the program.
    Unlink();
    Zuvi_DebugString("Cannot restore ZuDialog", __LINE__, ZU_SRC_FILE);
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
}
