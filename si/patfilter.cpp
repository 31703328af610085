#include "si/patfilter.h"

#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace {

const char kFile[] = "si/patfilter";

ZuStorageSync& PatternRecord()
{
    static ZuStorageSync record("<ZuPatternFilter pattern>");
    return record;
}

typedef ZuPatternFilter::Node Node;

// The stack of alternatives of one match: pairs of a text position and the
// node to go on from. It holds 100 pairs in place and chains further blocks
// of 100 from the application zone, all freed when the match ends.
class AlternativeStack {
public:
    AlternativeStack() : top(&local), used(0) { local.below = nullptr; }
    ~AlternativeStack()
    {
        while (top != &local) {
            Block* below = top->below;
            Zuvi_app_zone->Free(top, __LINE__, kFile);
            top = below;
        }
    }
    AlternativeStack(const AlternativeStack&) = delete;
    AlternativeStack& operator=(const AlternativeStack&) = delete;

    void Push(unsigned int position, const Node* node)
    {
        if (!node)
            return;
        if (used == kBlock) {
            Block* block =
                static_cast<Block*>(Zuvi_app_zone->Alloc(sizeof(Block), "?", __LINE__, kFile));
            block->below = top;
            top = block;
            used = 0;
        }
        top->pairs[used].position = position;
        top->pairs[used].node = node;
        ++used;
    }

    // False when the stack is empty.
    bool Pop(unsigned int& position, const Node*& node)
    {
        if (used == 0) {
            if (top == &local)
                return false;
            Block* below = top->below;
            Zuvi_app_zone->Free(top, __LINE__, kFile);
            top = below;
            used = kBlock;
        }
        --used;
        position = top->pairs[used].position;
        node = top->pairs[used].node;
        return true;
    }

private:
    enum { kBlock = 100 };
    struct Pair {
        unsigned int position;
        const Node* node;
    };
    struct Block {
        Block* below;
        Pair pairs[kBlock];
    };

    Block local;
    Block* top;
    unsigned int used;
};

// Whether the chain accepts the end of the text in this state: a final
// star, a final literal matched to its end, the empty node of the empty
// pattern, or nothing left after the last node took the last character.
bool AcceptsEnd(const Node* node, unsigned int offset)
{
    if (!node)
        return true;
    if (node->next)
        return false;
    switch (node->kind) {
    case Node::STAR:
        return true;
    case Node::EMPTY:
        return true;
    case Node::LITERAL:
        return offset == node->count;
    default:
        return false;
    }
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuPatternFilter, kFile, ZU_CLASS_PLAIN)

ZuPatternFilter::ZuPatternFilter() : first(nullptr), node_count(0) {}

ZuPatternFilter::~ZuPatternFilter()
{
    Cleanup();
}

ZuPatternFilter::Node* ZuPatternFilter::NewNode(unsigned int kind) const
{
    Node* node = static_cast<Node*>(Zuvi_app_zone->Alloc(sizeof(Node), "?", __LINE__, kFile));
    std::memset(node, 0, sizeof(Node));
    node->kind = kind;
    ++node_count;
    return node;
}

void ZuPatternFilter::Cleanup()
{
    // Every node is reached through next links, except stars, which hang
    // as alternatives; collect both kinds once.
    std::set<Node*> nodes;
    std::vector<Node*> todo;
    if (first)
        todo.push_back(first);
    while (!todo.empty()) {
        Node* node = todo.back();
        todo.pop_back();
        if (!node || !nodes.insert(node).second)
            continue;
        todo.push_back(node->next);
        todo.push_back(node->alternative);
    }
    for (Node* node : nodes)
        Zuvi_app_zone->Free(node, __LINE__, kFile);
    first = nullptr;
    node_count = 0;
}

bool ZuPatternFilter::SetPattern(const ZuStringRef& new_pattern)
{
    Cleanup();
    pattern = new_pattern.IsValid() ? new_pattern->RetString() : ZuStringRef();
    if (pattern.IsValid()) {
        first = NewNode(Node::EMPTY);
        BuildNodes(pattern, first);
    }
    return true;
}

const ZuStringRef& ZuPatternFilter::RetPattern() const
{
    return pattern;
}

bool ZuPatternFilter::BuildNodes(const ZuStringRef& text, Node* start) const
{
    if (!start || text.IsInvalid())
        return false;
    Node* current = start;
    auto link = [&](Node* node) {
        if (current->alternative)
            current->alternative->next = node;
        current->next = node;
        current = node;
    };
    const unsigned int length = text->CharacterCount();
    for (unsigned int i = 0; i < length; ++i) {
        const unsigned short c = ZuString::ConvertToUpper(text->RetCharacter(i));
        if (c == '*') {
            if (current->kind == Node::EMPTY || current->kind == Node::STAR) {
                current->kind = Node::STAR;
                current->alternative = current;
            } else if (current->alternative) {
                // A star after a star: the one hung already stands for
                // both (a second would replace it and leave it unreachable).
            } else {
                Node* star = NewNode(Node::STAR);
                star->alternative = star;
                current->alternative = star;
            }
        } else if (c == '?') {
            if (current->kind == Node::EMPTY)
                current->kind = Node::ANY;
            else
                link(NewNode(Node::ANY));
        } else if (current->kind == Node::EMPTY) {
            current->kind = Node::LITERAL;
            current->characters[0] = c;
            current->count = 1;
        } else if (current->kind == Node::LITERAL && current->count < Node::MAX_RUN &&
                   !current->alternative) {
            current->characters[current->count++] = c;
        } else {
            Node* literal = NewNode(Node::LITERAL);
            literal->characters[0] = c;
            literal->count = 1;
            link(literal);
        }
    }
    return true;
}

bool ZuPatternFilter::Check(const ZuStringRef& text) const
{
    if (!first || text.IsInvalid())
        return false;
    const unsigned int length = text->CharacterCount();
    std::vector<unsigned short> chars(length);
    for (unsigned int i = 0; i < length; ++i)
        chars[i] = ZuString::ConvertToUpper(text->RetCharacter(i));

    AlternativeStack stack;
    // Going on from a star at a position always ends the same way: each
    // pair is tried once, which keeps patterns with many stars from taking
    // exponential time.
    std::set<std::pair<unsigned int, const Node*>> tried;
    unsigned int position = 0;
    unsigned int offset = 0;
    const Node* node = first;
    auto backtrack = [&]() -> bool {
        for (;;) {
            if (!stack.Pop(position, node))
                return false;
            if (position <= length && tried.insert(std::make_pair(position, node)).second)
                break;
        }
        offset = 0;
        return true;
    };
    for (;;) {
        if (position >= length) {
            if (AcceptsEnd(node, offset))
                return true;
            // What is left of the chain cannot take the empty rest; an
            // alternative may still lead to a match.
            if (!backtrack())
                return false;
            continue;
        }
        if (!node) {
            if (!backtrack())
                return false;
            continue;
        }
        switch (node->kind) {
        case Node::EMPTY:
            stack.Push(position, node->alternative);
            node = node->next;
            break;
        case Node::LITERAL:
            if (offset < node->count) {
                if (chars[position] == node->characters[offset]) {
                    ++position;
                    ++offset;
                } else if (!backtrack()) {
                    return false;
                }
            } else {
                stack.Push(position, node->alternative);
                node = node->next;
                offset = 0;
            }
            break;
        case Node::STAR:
            stack.Push(position + 1, node->alternative);
            node = node->next;
            break;
        case Node::ANY:
            stack.Push(position + 1, node->alternative);
            node = node->next;
            ++position;
            break;
        default:
            if (!backtrack())
                return false;
            break;
        }
    }
}

ZuObjectRef ZuPatternFilter::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuPatternFilterRef::RetRuntime()) &&
        source.RetRawObject() != this)
        SetPattern(ZuPatternFilterRef(source)->RetPattern());
    return ZuObject::Copy(source);
}

void ZuPatternFilter::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << PatternRecord() << ZuStorageSync::begin;
    storage << static_cast<const ZuObjectRef&>(pattern);
    storage << ZuStorageSync::end;
}

void ZuPatternFilter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuStringRef read;
    storage >> read;
    storage >> ZuStorageSync::end;
    SetPattern(read);
}
