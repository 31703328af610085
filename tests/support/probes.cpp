#include "tests/support/probes.h"

#include "si/classfactory.h"
#include "si/icontainer.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(TestNumber, "tests/support/probes", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_CLASS(TestObserver, "tests/support/probes", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_CLASS(TestContainerWatcher, "tests/support/probes", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TestContainerWatcher, OnInserted)
ZU_EXPORT_OBSERVER(TestContainerWatcher, OnRemoved)
ZU_EXPORT_OBSERVER(TestContainerWatcher, OnMoved)

bool TestContainerWatcher::OnInserted(const ZuObjectRef&, unsigned)
{
    log += 'i';
    return true;
}

bool TestContainerWatcher::OnRemoved(const ZuObjectRef&, unsigned)
{
    log += 'r';
    return true;
}

bool TestContainerWatcher::OnMoved(const ZuObjectRef&, unsigned)
{
    log += 'm';
    return true;
}

TestNumberRef TestNumber::Make(int value)
{
    TestNumberRef n(ZuNew<TestNumber>(Zuvi_app_zone, __LINE__, "probes"));
    n->value = value;
    return n;
}

int TestNumber::CompareWith(const ZuObjectRef& other) const
{
    auto* o = dynamic_cast<TestNumber*>(other.Resolve());
    if (o == nullptr)
        return ZuObject::CompareWith(other);
    return value < o->value ? -1 : value > o->value ? 1 : 0;
}

bool TestNumber::IsEqual(const ZuObjectRef& other) const
{
    return CompareWith(other) == 0;
}

void TestNumber::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << ZuStorageSync::begin << value << ZuStorageSync::end;
}

void TestNumber::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::begin >> value >> ZuStorageSync::end;
}

namespace {

// The attachment id indexes the observer's table of event names.
std::vector<std::string>& EventNames()
{
    static std::vector<std::string> names;
    return names;
}

bool Record(ZuObject* obj, const ZuObjectRef&, unsigned id)
{
    auto* self = static_cast<TestObserver*>(obj);
    if (self->count < TestObserver::CAPACITY)
        self->ids[self->count++] = id;
    return true;
}

Zuvi_TargetExport record_export(&Record, "Record", TestObserverRef::RetRuntime());

} // namespace

TestObserverRef TestObserver::Make()
{
    return TestObserverRef(ZuNew<TestObserver>(Zuvi_app_zone, __LINE__, "probes"));
}

void TestObserver::Watch(const ZuObjectRef& source, const char* event)
{
    unsigned id = static_cast<unsigned>(EventNames().size());
    EventNames().push_back(event);
    source->AttachObserver(ZuObjectRef(this), ZuAtomRef(event), ZuAtomRef("Record"), id);
}

std::vector<std::string> TestObserver::Events() const
{
    std::vector<std::string> names;
    for (unsigned i = 0; i < count; ++i)
        names.push_back(ids[i] < EventNames().size() ? EventNames()[ids[i]] : "?");
    return names;
}

unsigned TestObserver::Count(const char* event) const
{
    unsigned n = 0;
    for (const auto& e : Events())
        n += e == event;
    return n;
}

std::string NumberText(const ZuObjectRef& object)
{
    if (object.IsInvalid())
        return "_";
    auto* n = dynamic_cast<TestNumber*>(object.Resolve());
    return n != nullptr ? std::to_string(n->value) : "-";
}

std::string NumbersOf(const ZuObjectRef& object)
{
    auto* container = dynamic_cast<ZuiContainer*>(object.Resolve());
    if (container == nullptr)
        return "not a container";
    std::string text;
    ZuObjectRef element;
    for (unsigned i = 0; container->Get(i, element); ++i) {
        if (i > 0)
            text += ' ';
        text += NumberText(element);
    }
    return text;
}
