#ifndef SI_LINKEDLIST_H
#define SI_LINKEDLIST_H

// The one doubly linked list of the library, intrusive: the elements carry
// their own next and prev pointers and the owner keeps head and tail. The
// lists, dictionaries, observer links, event spies and class records link
// and unlink through these; the linked iterators walk them with
// ZuLinkedCursor (si/linkedcursor.h).

// Links e in before `before`; a null `before` appends it at the tail.
template <class E>
inline void ZuLinkBefore(E*& head, E*& tail, E* e, E* before)
{
    e->next = before;
    e->prev = before != nullptr ? before->prev : tail;
    if (e->prev != nullptr)
        e->prev->next = e;
    else
        head = e;
    if (before != nullptr)
        before->prev = e;
    else
        tail = e;
}

// Takes e out; e's own pointers keep their values (callers read them).
template <class E>
inline void ZuUnlink(E*& head, E*& tail, E* e)
{
    if (e->prev != nullptr)
        e->prev->next = e->next;
    else
        head = e->next;
    if (e->next != nullptr)
        e->next->prev = e->prev;
    else
        tail = e->prev;
}

#endif
