#include "app/samplenode.h"

#include <string>
#include <unordered_set>

#include "app/misc.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/storage.h"
#include "si/storageformat.h"

ZU_IMPLEMENT_CLASS(CSampleNode, "app/samplenode", ZU_CLASS_PLAIN)

namespace {

// The name as 8-bit text, for the debug trace.
std::string TextOf(const ZuStringRef& s)
{
    std::string text;
    if (s.IsValid()) {
        const unsigned n = s->CharacterCount();
        for (unsigned i = 0; i < n; ++i)
            text += char(s->RetCharacter(i));
    }
    return text;
}

} // namespace

CSampleNode::CSampleNode()
{
    definitions = ZuNew<CList>();
}

CSampleNode::~CSampleNode() {}

void CSampleNode::Delete()
{
    if (definitions.IsValid()) {
        const CListRef d = definitions;
        definitions = CListRef();
        d->Delete();
    }
    ZuObject::Delete();
}

bool CSampleNode::GetName(ZuStringRef& out) const
{
    out = name;
    return true;
}

bool CSampleNode::SetName(const ZuStringRef& text)
{
    const ZuStringRef copy = ZuNew<ZuString>();
    if (text.IsValid())
        copy->SetString(text);
    name = copy;
    return true;
}

bool CSampleNode::SetDef(int code, const CDefRef& def)
{
    def->SetKind(code);
    for (CListNodeRef n = definitions->GetFirst(); n.IsValid(); n = n->GetNext()) {
        const CDefRef held(n->GetObject());
        if (held->GetKind() == code) {
            held->CopyFrom(def);
            return true;
        }
    }
    const CDefRef copy = NewDefinition(def->GetType());
    if (copy.IsInvalid())
        return false;
    copy->CopyFrom(def);
    const CListNodeRef node = ZuNew<CListNode>();
    node->SetObject(copy);
    definitions->Prepend(node);
    return true;
}

bool CSampleNode::FindDef(int code, CDefRef& def) const
{
    for (CListNodeRef n = definitions->GetFirst(); n.IsValid(); n = n->GetNext()) {
        const CDefRef held(n->GetObject());
        if (held->GetKind() == code) {
            def = held;
            return true;
        }
    }
    return false;
}

void CSampleNode::StartDefIteration()
{
    definitions->StartIteration(1);
}

bool CSampleNode::NextDefCode(int& code)
{
    const CListNodeRef n = definitions->GetNext();
    if (n.IsInvalid())
        return false;
    code = CDefRef(n->GetObject())->GetKind();
    return true;
}

bool CSampleNode::SetKind(int k)
{
    kind = k;
    return true;
}

bool CSampleNode::SetObject(const ZuRuntimeRef& rt)
{
    object_class = rt;
    return true;
}

void CSampleNode::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << name << definitions << kind << object_class << ZuStorageSync::end;
    Zuvi_Trace("CSampleNode::StoreInstance %.900s\n", TextOf(name).c_str());
}

void CSampleNode::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> name >> definitions >> kind >> object_class >> ZuStorageSync::end;
    Zuvi_Trace("CSampleNode::RestoreInstance %.900s\n", TextOf(name).c_str());
}

void CSampleNode::Awake()
{
    ZuObject::Awake();
    // Every sample has its list, and the list holds definitions only (each
    // node looked at once, whatever its links).
    bool sound = definitions.IsValid();
    std::unordered_set<CListNode*> seen;
    for (CListNodeRef n = sound ? definitions->GetFirst() : CListNodeRef();
         sound && n.IsValid() && seen.insert(n.Resolve()).second; n = n->GetNext())
        sound = n->GetObject().IsValid() && n->GetObject()->IsKindOf(CDefRef::RetRuntime());
    if (!sound)
        Zuvi_StorageFormat::BadData("CSampleNode: stored definitions missing or foreign", __LINE__);
}
