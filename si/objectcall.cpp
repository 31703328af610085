// Calls by name along paths: actions named by atom paths or dotted text, the
// walk from object to object through published data and container indexes,
// and the notifications tied to published data items.
#include "si/object.h"

#include <string>

#include "si/atom.h"
#include "si/atompath.h"
#include "si/basecontainer.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/values.h"

namespace {

// Longest rest of a dotted text that a walk keeps after a segment.
const std::string::size_type max_rest = 1000;

// The 8-bit text of a string (characters without an 8-bit form stop it).
std::string Latin(const ZuStringRef& text)
{
    std::string out;
    if (text.IsInvalid())
        return out;
    unsigned n = text->CharacterCount();
    out.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
        unsigned short c = text->RetCharacter(i);
        if (c == 0 || c > 0xFF)
            break;
        out += static_cast<char>(c);
    }
    return out;
}

// "[n]" with at most 10 characters and a decimal n: the index.
bool BracketIndex(const std::string& segment, unsigned& index)
{
    if (segment.size() < 3 || segment.size() > 10 || segment.front() != '[' ||
        segment.back() != ']')
        return false;
    unsigned long long n = 0;
    for (std::string::size_type i = 1; i + 1 < segment.size(); ++i) {
        char c = segment[i];
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n > 0xFFFFFFFFull)
        return false;
    index = static_cast<unsigned>(n);
    return true;
}

// One step of a walk: obj moves to what the segment names in it.
bool Step(ZuObjectRef& obj, const std::string& segment)
{
    ZuObject* here = obj.Resolve();
    if (here == nullptr)
        return false;
    unsigned index = 0;
    if (BracketIndex(segment, index) && here->IsKindOf(ZuBaseContainerRef::RetRuntime())) {
        ZuObjectRef element;
        if (!ZuBaseContainerRef(obj)->Get(index, element) || element.IsInvalid())
            return false;
        obj = element;
        return true;
    }
    ZuAtomRef name(segment.c_str());
    ZuObjectRef out;
    if (name.IsInvalid() || !here->QueryData(name, out) || out.IsInvalid())
        return false;
    obj = out;
    return true;
}

// The atom-path form of a walk: every element but the last is a step; the
// path is left holding its last element.
bool WalkPath(ZuObjectRef& obj, ZuAtomPathRef& path)
{
    unsigned n = path->TotalCount();
    if (n < 2)
        return obj.IsValid();
    for (unsigned i = 0; i + 1 < n; ++i) {
        ZuAtomRef atom = path->RetAtom(i);
        if (!Step(obj, static_cast<const char*>(atom)))
            return false;
    }
    ZuAtomPathRef last;
    if (!path->TrimHead(n - 1, last))
        return false;
    path = last;
    return obj.IsValid();
}

// Walks from obj along the text: an atom path by the atom-path form (when
// allowed), any other text by its string. target is where the walk ends and
// last the remaining last segment.
bool Reach(const ZuObjectRef& obj, const ZuTextRef& text, bool path_form, ZuObjectRef& target,
           std::string& last)
{
    if (obj.IsInvalid() || text.IsInvalid())
        return false;
    target = obj;
    if (path_form && text->IsKindOf(ZuAtomPathRef::RetRuntime())) {
        ZuAtomPathRef path(static_cast<ZuAtomPath*>(text.Resolve()));
        if (!WalkPath(target, path) || path->TotalCount() == 0)
            return false;
        last = static_cast<const char*>(path->RetAtom(path->TotalCount() - 1));
        return true;
    }
    ZuStringRef rest = text->RetString();
    if (!ZuObject::ObjectParsePath(target, rest))
        return false;
    last = Latin(rest);
    return true;
}

// A last segment "[n]" on a container: its element n.
bool Element(const ZuObjectRef& target, const std::string& last, ZuObjectRef& out, bool& answered)
{
    unsigned index = 0;
    answered = BracketIndex(last, index) && target->IsKindOf(ZuBaseContainerRef::RetRuntime());
    return answered && ZuBaseContainerRef(target)->Get(index, out);
}

} // namespace

bool ZuObject::QueryData(const ZuObjectRef& obj, const ZuTextRef& text, ZuObjectRef& out)
{
    ZuObjectRef target;
    std::string last;
    if (!Reach(obj, text, true, target, last))
        return false;
    bool answered = false;
    bool found = Element(target, last, out, answered);
    if (answered)
        return found;
    return target->QueryData(ZuAtomRef(last.c_str()), out);
}

bool ZuObject::QueryData(const ZuObjectRef& obj, const ZuTextRef& text, ZuValueRef& out)
{
    ZuObjectRef target;
    std::string last;
    if (!Reach(obj, text, true, target, last))
        return false;
    bool answered = false;
    ZuObjectRef element;
    bool found = Element(target, last, element, answered);
    if (answered) {
        if (found)
            out = ZuValueRef(element);
        return found;
    }
    return target->QueryData(ZuAtomRef(last.c_str()), out);
}

bool ZuObject::DefineData(const ZuObjectRef& obj, const ZuTextRef& text, const ZuObjectRef& value)
{
    ZuObjectRef target;
    std::string last;
    if (!Reach(obj, text, false, target, last))
        return false;
    return target->DefineData(ZuAtomRef(last.c_str()), value);
}

bool ZuObject::DefineData(const ZuObjectRef& obj, const ZuTextRef& text, const ZuValueRef& value)
{
    ZuObjectRef target;
    std::string last;
    if (!Reach(obj, text, false, target, last))
        return false;
    return target->DefineData(ZuAtomRef(last.c_str()), value);
}

bool ZuObject::Action(const ZuAtomPathRef& names, const ZuObjectRef& arg, unsigned flags)
{
    ZuAtomPath* path = names.Resolve();
    if (path == nullptr || path->TotalCount() == 0)
        return false;
    bool done = false;
    for (unsigned i = 0; i < path->TotalCount(); ++i) {
        if (Action(path->RetAtom(i), arg, flags))
            done = true;
    }
    return done;
}

bool ZuObject::Action(const ZuObjectRef& obj, const ZuTextRef& text)
{
    if (obj.IsInvalid() || text.IsInvalid())
        return false;
    ZuObjectRef target = obj;
    ZuAtomRef name;
    if (text->IsKindOf(ZuAtomPathRef::RetRuntime())) {
        ZuAtomPathRef path = ZuAtomPathRef(
            text.Resolve() != nullptr ? static_cast<ZuAtomPath*>(text.Resolve()) : nullptr);
        if (!WalkPath(target, path) || path->TotalCount() != 1)
            return false;
        name = path->RetAtom(0);
    } else {
        ZuStringRef rest = text->RetString();
        if (!ObjectParsePath(target, rest))
            return false;
        name = ZuAtomRef(rest);
    }
    if (name.IsInvalid() || target.IsInvalid())
        return false;
    return target->Action(name, ZuObjectNull, 0);
}

bool ZuObject::ObjectParsePath(ZuObjectRef& obj, ZuStringRef& text)
{
    if (obj.IsInvalid())
        return false;
    std::string rest = Latin(text);
    std::string::size_type dot;
    bool walked = false;
    while ((dot = rest.find('.')) != std::string::npos) {
        std::string segment = rest.substr(0, dot);
        rest = rest.substr(dot + 1, max_rest);
        walked = true;
        if (!Step(obj, segment)) {
            text = ZuStringRef(rest.c_str());
            return false;
        }
    }
    if (walked)
        text = ZuStringRef(rest.c_str());
    return obj.IsValid();
}

bool ZuObject::ObjectParsePath(ZuObjectRef& obj, ZuAtomPathRef& path)
{
    if (path.IsInvalid())
        return false;
    ZuStringRef text = path->RetString();
    if (!ObjectParsePath(obj, text))
        return false;
    path->SetString(text);
    return true;
}

bool ZuObject::GetPublicDataNotifier(const ZuAtomRef& data, unsigned n, ZuAtomRef& event) const
{
    for (const ZuRuntime* rt = RetRuntime().RetRawObject(); rt != nullptr;
         rt = rt->RetSuper().RetRawObject()) {
        unsigned count = rt->CountNotify(data);
        if (n < count)
            return rt->GetNotify(data, n, event);
        n -= count;
    }
    return false;
}
