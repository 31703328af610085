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
// with selections (one holding a zero character), a group alone.
#include "app/gragroup.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/graport.h"
#include "app/tree.h"
#include "app/treeit.h"
#include "fuzz/graharness.h"
#include "si/event.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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

CTreeNodeRef Attach(const CGraObjectRef& o, const CTreeNodeRef& parent)
{
    CTreeNodeRef n = Zuvi_FuzzNew<CTreeNode>();
    n->SetObject(o);
    n->InsertLastChild(parent);
    return n;
}

CGraLineTextRef Text(const char* s, DPoint a, DPoint b, int from, int to)
{
    CGraLineTextRef t = Zuvi_FuzzNew<CGraLineText>();
    t->SetHandlePosition(0, a);
    t->SetHandlePosition(1, b);
    t->SetText(ZuStringRef(s));
    t->SetSelection(from, to);
    return t;
}

void WriteSeeds(const ZuFuzzStorageRef& storage, const char* dir)
{
    CTreeRef tree = Zuvi_FuzzNew<CTree>();
    CGraGroupRef outer = Zuvi_FuzzNew<CGraGroup>();
    CTreeNodeRef outerNode = Attach(outer, tree->RetRoot());
    CGraLineRef line = Zuvi_FuzzNew<CGraLine>();
    line->SetHandlePosition(1, DPoint{10.0, 5.0});
    Attach(line, outerNode);
    Attach(Text("Bonjour (\\)", DPoint{1.0, 2.0}, DPoint{20.0, 2.0}, 2, 5), outerNode);
    CGraGroupRef inner = Zuvi_FuzzNew<CGraGroup>();
    CTreeNodeRef innerNode = Attach(inner, outerNode);
    Attach(Text("\xe9t\xe9", DPoint{0.0, 0.0}, DPoint{0.0, 9.0}, 3, 0), innerNode);
    const DPoint corners[2] = {{-1.0, -2.0}, {30.0, 12.0}};
    outer->SetPoints(corners, 2);
    inner->SetEditMode(2);
    Zuvi_FuzzWriteSeed(dir, "tree", storage->StoreOf(tree));
    Zuvi_FuzzWriteSeed(dir, "group", storage->StoreOf(outer));
    Zuvi_FuzzWriteSeed(dir, "text",
                       storage->StoreOf(Text("abc", DPoint{1.0, 1.0}, DPoint{5.0, 5.0}, 0, 3)));
    Zuvi_FuzzWriteSeed(dir, "text-empty",
                       storage->StoreOf(Text("", DPoint{0.0, 0.0}, DPoint{0.0, 0.0}, 0, 0)));
    // A stored text holding a zero, the caret at its end: typing once cut
    // the text at the zero and left the caret outside it.
    CGraLineTextRef zero = Text("Bonjour_monde", DPoint{0.0, 0.0}, DPoint{40.0, 0.0}, 13, 13);
    zero->RetText()->SetCharacter(7, 0);
    Zuvi_FuzzWriteSeed(dir, "text-zero", storage->StoreOf(zero));
    tree->Delete();
}

void CheckSelection(const CGraObjectRef& o)
{
    if (!o->IsKindOf(CGraLineTextRef::RetRuntime()))
        return;
    CGraLineTextRef t(o);
    const int n = int(t->RetText()->CharacterCount());
    Zuvi_FuzzCheck(t->RetSelectionStart() >= 0 && t->RetSelectionStart() <= n,
                   "selection start outside the text");
    Zuvi_FuzzCheck(t->RetSelectionEnd() >= 0 && t->RetSelectionEnd() <= n,
                   "selection end outside the text");
}

void Type(const CGraObjectRef& o, CGraPortRef& port)
{
    if (!o->HasText())
        return;
    ZuGroupTextFuzzKeyRef key = Zuvi_FuzzNew<ZuGroupTextFuzzKey>();
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
    const bool is_line = o->IsKindOf(CGraLineTextRef::RetRuntime());
    for (const Press& p : presses) {
        int before = 0, selected = 0;
        if (is_line) {
            CGraLineTextRef t(o);
            before = int(t->RetText()->CharacterCount());
            selected = t->RetSelectionEnd() - t->RetSelectionStart();
            selected = selected < 0 ? -selected : selected;
        }
        key->Set(p.type, p.code, p.value, p.shift);
        const bool typed = o->TextHandleEvent(port, ZuEventRef(key));
        CheckSelection(o);
        // A typed character replaces the selection and nothing else.
        if (is_line && typed && p.type == ZU_KEY_ALPHANUM)
            Zuvi_FuzzCheck(int(CGraLineTextRef(o)->RetText()->CharacterCount()) ==
                               before - selected + 1,
                           "typing lost or added characters");
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
    Zuvi_FuzzAskHandles(o);
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
    (void)o->AcceptsChange(Zuvi_FuzzScale(o));
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
    CTreeItRef it = Zuvi_FuzzNew<CTreeIt>();
    it->InitDeep(tree->RetRoot(), 1);
    int walked = 0;
    for (;;) {
        CTreeNodeRef node;
        it->NextDeep(node);
        if (node.IsInvalid())
            break;
        Zuvi_FuzzCheck(++walked <= 100000, "tree walk does not end");
        const ZuObjectRef& object = node->RetObject();
        if (object.IsValid() && object->IsKindOf(CGraObjectRef::RetRuntime()))
            Exercise(CGraObjectRef(object), port);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZuviFuzzGraRuntime& runtime = Zuvi_FuzzRuntime<ZuviFuzzGraRuntime>(
        "grouptext_fuzz", "GROUPTEXT_FUZZ_TRACE", "GROUPTEXT_FUZZ_SEEDS", WriteSeeds);
    {
        const ZuObjectRef read =
            runtime.storage->RestoreFrom(data, size, ZuObjectRef::RetRuntime(), true);
        if (read.IsValid()) {
            if (read->IsKindOf(CTreeRef::RetRuntime())) {
                ExerciseTree(CTreeRef(read), runtime.port);
            } else if (read->IsKindOf(CGraObjectRef::RetRuntime())) {
                CGraObjectRef o(read);
                // A group alone has no node: it walks no members.
                Exercise(o, runtime.port);
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
