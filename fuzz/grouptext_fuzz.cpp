// Restores a tree holding groups (or a group, a line of text, any drawing
// object the stream names) from arbitrary bytes: the input is one stored
// object, a tree as a document holds it or a drawing object alone. Whatever
// the bytes, reading must end in an object or a ZuExcStream, never in a
// crash or an abort. What was read is put to work: every drawing object of
// a tree (groups walk their members through their nodes) and the object
// alone get handles, properties, definitions, transforms, drawing, boxes,
// hits, copies and, for a line of text, keys and cut, copy and paste, on a
// port without a target. A text's selection must stay within its string.
//
// With GROUPTEXT_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: trees with groups (nested, with lines and texts), lines of text
// with selections, a group alone.
#include "app/gragroup.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/graport.h"
#include "app/tree.h"
#include "app/treeit.h"
#include "fuzz/quietsink.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

ZU_HANDLE(ZuGroupTextFuzzStorage, ZuStorage)
class ZuGroupTextFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuGroupTextFuzzStorage, ZuStorage)
public:
    ZuGroupTextFuzzStorage() {}
    void StartReading(const std::uint8_t* bytes, std::size_t n)
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        data = bytes;
        size = n;
        pos = 0;
        DropPushedBack();
    }
    void StartWriting()
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        out.clear();
    }
    void Stop() { SetStorageMode(ZU_STORAGE_OFF); }
    const std::vector<std::uint8_t>& Written() const { return out; }

    void StoreData(const void* bytes, unsigned int n) override
    {
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        out.insert(out.end(), p, p + n);
    }
    std::uint64_t RetRemainingData() const override { return size - pos; }
    void RestoreData(void* to, unsigned int n) override
    {
        if (n > size - pos)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(to, data + pos, n);
        pos += n;
    }

private:
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    std::vector<std::uint8_t> out;
};
ZU_CLASS_END(ZuGroupTextFuzzStorage)
ZU_IMPLEMENT_CLASS(ZuGroupTextFuzzStorage, "fuzz/grouptext_fuzz", ZU_CLASS_PLAIN)

// Key events as the event layer fills them.
ZU_HANDLE(ZuGroupTextFuzzKey, ZuEvent)
class ZuGroupTextFuzzKey : public ZuEvent {
    ZU_CLASS(ZuGroupTextFuzzKey, ZuEvent)
public:
    ZuGroupTextFuzzKey() {}
    void Set(ZuKeyType type, int code, int value, bool shift)
    {
        key = ZuKey();
        key.type = type;
        key.code = std::uint8_t(code);
        key.value = std::uint16_t(value);
        if (shift)
            key.modifiers.SetBit(ZU_MOD_SHIFT);
    }
};
ZU_CLASS_END(ZuGroupTextFuzzKey)
ZU_IMPLEMENT_CLASS(ZuGroupTextFuzzKey, "fuzz/grouptext_fuzz", ZU_CLASS_PLAIN)

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "grouptext_fuzz: %s\n", what);
        std::abort();
    }
}

template <class X>
ZuObjectRef New()
{
    return ZuNew<X>(nullptr, __LINE__, "fuzz/grouptext_fuzz");
}

void WriteSeed(const ZuGroupTextFuzzStorageRef& storage, const char* dir, const ZuObjectRef& o,
               const std::string& name)
{
    storage->StartWriting();
    storage->StoreObject(o);
    const std::vector<std::uint8_t> bytes = storage->Written();
    storage->Stop();
    std::string const path = std::string(dir) + "/seed-" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

CTreeNodeRef Attach(const CGraObjectRef& o, const CTreeNodeRef& parent)
{
    CTreeNodeRef n = New<CTreeNode>();
    n->SetObject(o);
    n->InsertLastChild(parent);
    return n;
}

CGraLineTextRef Text(const char* s, DPoint a, DPoint b, int from, int to)
{
    CGraLineTextRef t = New<CGraLineText>();
    t->SetHandlePosition(0, a);
    t->SetHandlePosition(1, b);
    t->SetText(ZuStringRef(s));
    t->SetSelection(from, to);
    return t;
}

void WriteSeeds(const ZuGroupTextFuzzStorageRef& storage, const char* dir)
{
    CTreeRef tree = New<CTree>();
    CGraGroupRef outer = New<CGraGroup>();
    CTreeNodeRef outerNode = Attach(outer, tree->RetRoot());
    CGraLineRef line = New<CGraLine>();
    line->SetHandlePosition(1, DPoint{10.0, 5.0});
    Attach(line, outerNode);
    Attach(Text("Bonjour (\\)", DPoint{1.0, 2.0}, DPoint{20.0, 2.0}, 2, 5), outerNode);
    CGraGroupRef inner = New<CGraGroup>();
    CTreeNodeRef innerNode = Attach(inner, outerNode);
    Attach(Text("\xe9t\xe9", DPoint{0.0, 0.0}, DPoint{0.0, 9.0}, 3, 0), innerNode);
    const DPoint corners[2] = {{-1.0, -2.0}, {30.0, 12.0}};
    outer->SetPoints(corners, 2);
    inner->SetEditMode(2);
    WriteSeed(storage, dir, tree, "tree");
    WriteSeed(storage, dir, outer, "group");
    WriteSeed(storage, dir, Text("abc", DPoint{1.0, 1.0}, DPoint{5.0, 5.0}, 0, 3), "text");
    WriteSeed(storage, dir, Text("", DPoint{0.0, 0.0}, DPoint{0.0, 0.0}, 0, 0), "text-empty");
    tree->Delete();
}

void CheckSelection(const CGraObjectRef& o)
{
    if (!o->IsKindOf(CGraLineTextRef::RetRuntime()))
        return;
    CGraLineTextRef t(o);
    const int n = int(t->RetText()->CharacterCount());
    Check(t->RetSelectionStart() >= 0 && t->RetSelectionStart() <= n,
          "selection start outside the text");
    Check(t->RetSelectionEnd() >= 0 && t->RetSelectionEnd() <= n, "selection end outside the text");
}

void Type(const CGraObjectRef& o, CGraPortRef& port)
{
    if (!o->HasText())
        return;
    ZuGroupTextFuzzKeyRef key = New<ZuGroupTextFuzzKey>();
    struct Press {
        ZuKeyType type;
        int code;
        int value;
        bool shift;
    } const presses[] = {
        {ZU_KEY_CURSOR, ZU_CURSOR_END, 0, false},
        {ZU_KEY_CURSOR, ZU_CURSOR_LEFT, 0, true},
        {ZU_KEY_ALPHANUM, 0, 'x', false},
        {ZU_KEY_ALPHANUM, 0, 0x20AC, false},
        {ZU_KEY_BACKSPACE, 0, 0, false},
        {ZU_KEY_CURSOR, ZU_CURSOR_HOME, 0, true},
        {ZU_KEY_DELETE, 0, 0, false},
        {ZU_KEY_CURSOR, ZU_CURSOR_RIGHT, 0, false},
    };
    for (const Press& p : presses) {
        key->Set(p.type, p.code, p.value, p.shift);
        (void)o->TextHandleEvent(port, ZuEventRef(key));
        CheckSelection(o);
    }
    ZuStringRef clip;
    (void)o->TextSetSelection(port, clip);
    (void)o->TextCommand(port, clip);
    (void)o->TextReplace(port, ZuStringRef("()\\"));
    CheckSelection(o);
    DPoint top, bottom;
    (void)o->TextClick(port, DPoint{2.0, 2.0}, top, bottom);
    (void)o->TextSetCursor(port, DPoint{3.0, 1.0});
    (void)o->TextExtendSelection(port, DPoint{9.0, 1.0});
    (void)o->GetCaret(port, top, bottom, true);
    (void)o->TextHitTest(port, DPoint{1.0, 1.0});
    CheckSelection(o);
}

void Exercise(const CGraObjectRef& o, CGraPortRef& port)
{
    CheckSelection(o);
    const int handles = o->GetHandleCount();
    Check(handles >= 0 && handles <= 100, "handle count out of range");
    for (int n = -1; n <= handles; n++) {
        DPoint p = o->GetHandlePosition(n);
        (void)o->GetHandleType(n);
        (void)o->GetHandle(n, p);
    }
    const int count = o->GetPropertyCount();
    for (int n = -1; n <= count; n++) {
        double v = 0.0;
        if (o->GetPropertyValue(n, v))
            (void)o->SetPropertyValue(n, v);
    }
    ZuStringRef text;
    (void)o->GetDebugText(text);
    int kinds[64] = {};
    int found = 0;
    (void)o->GetMissingDefinitions(kinds, &found);
    ZuObjectRef def;
    for (int kind : {10, 15, 100, 120, 125})
        (void)o->GetDefinition(kind, def);
    ChangeRecord change;
    std::memset(&change, 0, sizeof change);
    change.kind = 2;
    change.c = DPoint{2.0, -0.5};
    (void)o->SaveGeometry(change);
    (void)o->Transform(change, 2);
    (void)o->AcceptsChange(change);
    for (int flags : {0, 3, 7, 0x21, 0x43})
        (void)o->Draw(port, flags);
    (void)o->DrawShadow(port, 7);
    (void)o->UpdateBoundingBox(port);
    (void)o->HitTest(port, DPoint{1.0, 1.0}, 1.0, 1);
    Type(o, port);
    (void)o->PruneDefinitions();
}

void ExerciseTree(const CTreeRef& tree, CGraPortRef& port)
{
    CTreeItRef it = New<CTreeIt>();
    it->InitDeep(tree->RetRoot(), 1);
    int walked = 0;
    for (;;) {
        CTreeNodeRef node;
        it->NextDeep(node);
        if (node.IsInvalid())
            break;
        Check(++walked <= 100000, "tree walk does not end");
        const ZuObjectRef& object = node->RetObject();
        if (object.IsValid() && object->IsKindOf(CGraObjectRef::RetRuntime()))
            Exercise(CGraObjectRef(object), port);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    struct Runtime {
        ZuGroupTextFuzzStorageRef storage;
        CGraPortRef port;
    };
    static Runtime* runtime = [] {
        Zuvi_FuzzQuietUnless("GROUPTEXT_FUZZ_TRACE");
        Zuvi_StartServices();
        auto* r =
            new Runtime{ZuNew<ZuGroupTextFuzzStorage>(nullptr, __LINE__, "fuzz/grouptext_fuzz"),
                        ZuNew<CGraPort>(nullptr, __LINE__, "fuzz/grouptext_fuzz")};
        std::atexit([] {
            delete runtime;
            Zuvi_StopServices();
        });
        if (char const* dir = std::getenv("GROUPTEXT_FUZZ_SEEDS"))
            WriteSeeds(r->storage, dir);
        return r;
    }();
    ZuGroupTextFuzzStorageRef& storage = runtime->storage;
    {
        ZuObjectRef read;
        storage->StartReading(data, size);
        try {
            storage->RestoreObject(read, ZuObjectRef::RetRuntime());
            storage->FinallyAwake();
        } catch (const ZuExcStream&) {
            read = ZuObjectRef();
        }
        storage->Stop();
        if (read.IsValid()) {
            if (read->IsKindOf(CTreeRef::RetRuntime())) {
                ExerciseTree(CTreeRef(read), runtime->port);
            } else if (read->IsKindOf(CGraObjectRef::RetRuntime())) {
                CGraObjectRef o(read);
                // A group alone has no node: it walks no members.
                Exercise(o, runtime->port);
                CGraObjectRef copy = NewGraObject(o->RetRuntime());
                if (copy.IsValid() && !o->IsKindOf(CGraGroupRef::RetRuntime())) {
                    copy->CopyFrom(o);
                    CheckSelection(copy);
                    copy->Delete();
                }
            }
            read->Delete();
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
