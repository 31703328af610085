#include "si/typeinfo.h"

#include <cstring>

Zuvi_TypeInfo * Zuvi_TypeInfo::head = nullptr;
Zuvi_TypeInfo * Zuvi_TypeInfo::tail = nullptr;
unsigned int Zuvi_TypeInfo::num = 0;
Zuvi_TypeInfo ** Zuvi_TypeInfo::array = nullptr;

Zuvi_TypeInfo::Zuvi_TypeInfo(Zuvi_TypeDef const * def)
    : previous(tail), next(nullptr), type_def(def)
{
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
    ++num;
}

// Registrations go away when their library is unloaded; the table must not
// keep pointing at them.
Zuvi_TypeInfo::~Zuvi_TypeInfo()
{
    if (previous)
        previous->next = next;
    else if (head == this)
        head = next;
    if (next)
        next->previous = previous;
    else if (tail == this)
        tail = previous;
    --num;
}

Zuvi_TypeDef const * Zuvi_TypeInfo::RetNth(unsigned int n)
{
    if (n >= num)
        return nullptr;
    Zuvi_TypeInfo * iter = head;
    for (unsigned int i = 0; iter && i < n; ++i)
        iter = iter->next;
    return iter ? iter->type_def : nullptr;
}

Zuvi_TypeDef const * Zuvi_TypeInfo::Find(char const * name)
{
    if (!name)
        return nullptr;
    char buffer[100];
    size_t length = strnlen(name, sizeof(buffer) - 1);
    memcpy(buffer, name, length);
    buffer[length] = '\0';
    if (length >= 3 && strcmp(buffer + length - 3, "Ref") == 0)
        buffer[length - 3] = '\0';
    for (Zuvi_TypeInfo * iter = head; iter; iter = iter->next)
        if (iter->type_def && iter->type_def->name && strcmp(iter->type_def->name, buffer) == 0)
            return iter->type_def;
    return nullptr;
}
