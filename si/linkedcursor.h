#ifndef SI_LINKEDCURSOR_H
#define SI_LINKEDCURSOR_H

// ZuLinkedCursor<E>: the walk of an iterator over a container whose
// elements are doubly linked (E has next and prev): to the first or last
// element, one step either way, the field of the current element, and the
// step off an element that is being unlinked. The list and dictionary
// iterators hold one; the iterator's own flags (changed, valid) are passed
// in, so that they stay where ZuIterator keeps them.

#include "si/objectref.h"

template <class E>
class ZuLinkedCursor {
public:
    E* current = nullptr;

    // First or Last: onto the end element (null for an empty container).
    bool MoveTo(E* end, bool& changed, bool& valid)
    {
        if (end != current)
            changed = true;
        current = end;
        valid = true;
        return true;
    }

    // Next or Prev: one step; off the end the iterator is no longer valid.
    bool Step(bool forward, bool& changed, bool& valid)
    {
        E* to = current == nullptr ? nullptr : forward ? current->next : current->prev;
        if (to == nullptr) {
            valid = false;
            return false;
        }
        current = to;
        changed = true;
        valid = true;
        return true;
    }

    // The field of the current element; only position 0 is held.
    bool Read(ZuObjectRef E::*field, ZuObjectRef& out, unsigned n, bool& changed, bool valid)
    {
        changed = false;
        if (n != 0 || current == nullptr || !valid)
            return false;
        out = current->*field;
        return true;
    }

    // The element is being unlinked: stand on its successor, else its
    // predecessor.
    void Unlinking(E* elem, bool& changed)
    {
        if (current != elem)
            return;
        current = elem->next != nullptr ? elem->next : elem->prev;
        changed = true;
    }
};

#endif
