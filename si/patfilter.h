// ZuPatternFilter: decides whether a text matches a wildcard pattern, "*"
// for any run of characters (the empty run included) and "?" for exactly
// one character, without regard to letter case. The pattern is compiled once
// into a chain of nodes; texts are matched against the chain by
// backtracking.
#ifndef SI_PATFILTER_H
#define SI_PATFILTER_H

#include "si/object.h"
#include "si/string.h"

ZU_HANDLE(ZuPatternFilter, ZuObject)

class ZuPatternFilter : public ZuObject {
    ZU_CLASS(ZuPatternFilter, ZuObject)
public:
    // One node of the compiled chain.
    struct Node {
        enum Kind : unsigned int { EMPTY = 0, LITERAL = 1, STAR = 3, ANY = 4 };
        enum { MAX_RUN = 25 };

        unsigned int kind;
        Node* next;
        // A star that may be taken after this node (a star's is itself).
        Node* alternative;
        // The run of a literal node, in upper case.
        unsigned short characters[MAX_RUN];
        unsigned int count;
    };

    ZuPatternFilter();
    ~ZuPatternFilter() override;

    // Keeps a copy of the pattern's text (an empty handle keeps no pattern)
    // and compiles it; always true.
    virtual bool SetPattern(const ZuStringRef& pattern);
    virtual const ZuStringRef& RetPattern() const;
    // Whether text matches the pattern; false without a pattern or for an
    // empty handle.
    virtual bool Check(const ZuStringRef& text) const;

    // Takes the pattern of another pattern filter.
    ZuObjectRef Copy(const ZuObjectRef& source) override;

    const Node* RetFirstNode() const { return first; }
    unsigned int RetNodeCount() const { return node_count; }

protected:
    // Frees the chain.
    virtual void Cleanup();
    // Compiles pattern into the chain that starts at first (an empty node).
    virtual bool BuildNodes(const ZuStringRef& pattern, Node* first) const;

    // The root's part, then "<ZuPatternFilter pattern>", begin, the pattern
    // as an object, end. Restoring compiles the pattern read.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    Node* NewNode(unsigned int kind) const;

    ZuStringRef pattern;
    Node* first;
    // Counts the nodes of the chain; BuildNodes is const in the class's
    // interface but adds to it.
    mutable unsigned int node_count;
};
ZU_CLASS_END(ZuPatternFilter)

#endif
