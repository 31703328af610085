#include "si/typeinfo.h"

#include <cstring>

#include "si/error.h"
#include "si/memzone.h"

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
    array = nullptr;
}

void Zuvi_TypeInfo::InitialiseAll()
{
    if (array)
        return;
    for (Zuvi_TypeInfo * iter = head; iter; iter = iter->next)
        iter->Initialise();
}

void Zuvi_TypeInfo::ReleaseTable()
{
    if (array)
        ZuMemZone::FreeAnyZone(array, __LINE__, ZU_SRC_FILE);
    array = nullptr;
}

void Zuvi_TypeInfo::Initialise()
{
    if (!array && num > 0) {
        if (!Zuvi_app_zone)
            ZuMemZone::NullAllocZone("Zuvi_app_zone", __LINE__, ZU_SRC_FILE);
        array = static_cast<Zuvi_TypeInfo **>(
            Zuvi_app_zone->Alloc(num * sizeof(Zuvi_TypeInfo *), "Zuvi_TypeInfoPtr", 155, ZU_SRC_FILE));
        Zuvi_TypeInfo * iter = head;
        for (unsigned int i = 0; i < num; ++i) {
            if (!iter) {
                Zuvi_ErrorPrint("Warning: iter->next == 0", 164, ZU_SRC_FILE);
                for (; i < num; ++i)
                    array[i] = nullptr;
                break;
            }
            array[i] = iter;
            iter = iter->next;
        }
    }
}

// The list, not the table, answers: registrations can come and go with
// their libraries after the table was built.
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
