// The look policies: user-tunable settings kept in a tree of named values
// read from the policy file, each copied into a field of the look manager.
// Every key has a default, and a key the tree lacks is added with it.

#include <exception>

#include "si/archive.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/values.h"

namespace {

const char* const kFile = "si/lookmanpol";

// The policy file, under the library directory.
const char* const kPolicyFile = "%Zuvi%/user/Zuvi.policies";

ZuObjectRef Make(const ZuRuntimeRef& runtime, unsigned line)
{
    return ZuObjectRef(ZuClassFactory::New(runtime, Zuvi_app_zone, line, kFile));
}

// What the tree holds under a key: 1 a value (in `value`), 0 nothing, -1
// an object of another kind, which leaves the field at its default.
int FindValue(const ZuDicTreeRef& tree, const char* key, ZuValueRef& value)
{
    ZuObjectRef found;
    if (!tree->GetFromPath(key, found))
        return 0;
    if (found.IsInvalid() || !found->IsKindOf(ZuValueRef::RetRuntime()))
        return -1;
    // The leaf itself (a value handle made from an object handle would
    // wrap it in a new value).
    value = static_cast<ZuValue*>(found->RetSelfAsObject());
    return 1;
}

void Insert(const ZuDicTreeRef& tree, const char* key, const ZuObjectRef& value)
{
    tree->InsertUsingPath(key, value);
}

void PolicyReal(const ZuDicTreeRef& tree, const char* key, double fallback, double& field)
{
    ZuValueRef value;
    const int found = FindValue(tree, key, value);
    if (found > 0) {
        field = value->RetReal();
        return;
    }
    field = fallback;
    if (found < 0)
        return;
    ZuValueRef made(Make(ZuValueRef::RetRuntime(), __LINE__));
    made->SetReal(fallback);
    Insert(tree, key, made);
}

void PolicyCard(const ZuDicTreeRef& tree, const char* key, unsigned fallback, unsigned& field)
{
    ZuValueRef value;
    const int found = FindValue(tree, key, value);
    if (found > 0) {
        field = value->RetCard32();
        return;
    }
    field = fallback;
    if (found < 0)
        return;
    ZuValueRef made(Make(ZuValueRef::RetRuntime(), __LINE__));
    made->SetCard32(fallback);
    Insert(tree, key, made);
}

void PolicyBool(const ZuDicTreeRef& tree, const char* key, bool fallback, bool& field)
{
    ZuValueRef value;
    const int found = FindValue(tree, key, value);
    if (found > 0) {
        field = value->RetBool();
        return;
    }
    field = fallback;
    if (found < 0)
        return;
    ZuValueRef made(Make(ZuValueRef::RetRuntime(), __LINE__));
    made->SetBool(fallback);
    Insert(tree, key, made);
}

// A face is a string, or a value holding one; anything else takes the
// default.
void PolicyFace(const ZuDicTreeRef& tree, const char* key, const char* fallback, ZuStringRef& field)
{
    ZuObjectRef found;
    if (tree->GetFromPath(key, found)) {
        if (found.IsValid() && found->IsKindOf(ZuValueRef::RetRuntime())) {
            ZuObjectRef held = static_cast<ZuValue*>(found->RetSelfAsObject())->RetObject();
            found = held;
        }
        if (found.IsValid() && found->IsKindOf(ZuStringRef::RetRuntime())) {
            field = ZuStringRef(found);
            return;
        }
        field = ZuStringRef(fallback);
        return;
    }
    field = ZuStringRef(fallback);
    Insert(tree, key, field);
}

} // namespace

void ZuLookMan::InitPolicies()
{
    policies = ZuDicTreeNull;
    ZuArchiveRef archive(Make(ZuArchiveRef::RetRuntime(), __LINE__));
    ZuFileReadRef file(Make(ZuFileReadRef::RetRuntime(), __LINE__));
    ZuStringRef path(Make(ZuStringRef::RetRuntime(), __LINE__));
    path->AppendString(kPolicyFile);
    // The file is outside data: whatever keeps it from being read (no
    // file, a cut or corrupt one, a root of another class) gives the empty
    // tree.
    try {
        file->Open(path);
        archive->SetInput(file);
        ZuStorageRef(archive) >> policies;
        if (policies.IsInvalid())
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    } catch (const ZuException&) {
        policies = ZuDicTreeNull;
    } catch (const std::exception&) {
        policies = ZuDicTreeNull;
    }
    archive->Reset();
    if (file->IsOpen())
        file->Close();
    if (policies.IsInvalid())
        policies = Make(ZuDicTreeRef::RetRuntime(), __LINE__);
    UpdatePolicies();
}

bool ZuLookMan::ReloadPolicies()
{
    if (policies.IsValid())
        policies->Delete();
    policies = ZuDicTreeNull;
    InitPolicies();
    return true;
}

bool ZuLookMan::UpdatePolicies()
{
    if (policies.IsInvalid())
        return true;
    const ZuDicTreeRef& t = policies;
    PolicyReal(t, "Look:Visual:Flat3DEffect", 2.0, effect_3d_width);
    PolicyReal(t, "Look:Visual:Press3DEffect", 1.0, press_3d_offset);
    PolicyReal(t, "Look:Visual:WidgetFrameSize", 1.0, widget_frame_size);
    PolicyCard(t, "Look:Time:AutoStart", 100, auto_start_time);
    PolicyCard(t, "Look:Time:AutoRepeat", 50, auto_repeat_time);
    PolicyCard(t, "Look:Time:CursorOff", 500, cursor_off_time);
    PolicyCard(t, "Look:Time:CursorOn", 500, cursor_on_time);
    PolicyCard(t, "Look:Time:ToolTipDelay", 200, tool_tip_delay);
    PolicyCard(t, "Look:Time:DoubleClick", 300, double_click_delay);
    PolicyBool(t, "Look:Font:Antialiasing", false, font_antialiasing);
    PolicyReal(t, "Look:Font:SysSize", 12.0, sys_font_size);
    PolicyReal(t, "Look:Font:SmallSize", 10.0, small_font_size);
    PolicyReal(t, "Look:Font:BoldSize", 12.0, bold_font_size);
    PolicyFace(t, "Look:Font:SysFace", "arial.ttf", sys_font_face);
    PolicyFace(t, "Look:Font:SmallFace", "arial.ttf", small_font_face);
    PolicyFace(t, "Look:Font:BoldFace", "arialbd.ttf", bold_font_face);
    unsigned scroll = scroll_arrow_pos;
    PolicyCard(t, "Look:Visual:ScrollPos", ZU_SCROLL_ARROW_NORMAL, scroll);
    scroll_arrow_pos = static_cast<ZuScrollArrowPos>(scroll);
    PolicyBool(t, "Look:HiliteMode:Button", false, hilite_button);
    PolicyBool(t, "Look:HiliteMode:Icon", true, hilite_icon);
    PolicyBool(t, "Look:HiliteMode:Cell", true, hilite_cell);
    PolicyBool(t, "Look:ShowMode:Active", false, show_active);
    PolicyBool(t, "Look:ShowMode:Dragging", false, show_dragging);
    PolicyBool(t, "Look:ShowMode:Dropping", false, show_dropping);
    return true;
}
