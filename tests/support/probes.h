// Small objects for container tests.
//
//   TestNumber    an object that compares (CompareWith, IsEqual) by an
//                 integer value, so ordered containers can be checked.
//   TestObserver  an observer that records, in order, the events it was
//                 told of (attach it with Watch).
#ifndef TESTS_SUPPORT_PROBES_H
#define TESTS_SUPPORT_PROBES_H

#include <string>
#include <vector>

#include "si/object.h"

ZU_HANDLE(TestNumber, ZuObject)
class TestNumber : public ZuObject {
    ZU_CLASS(TestNumber, ZuObject)
public:
    TestNumber() : value(0) {}

    // A new number in the application zone.
    static TestNumberRef Make(int value);

    int CompareWith(const ZuObjectRef& other) const override;
    bool IsEqual(const ZuObjectRef& other) const override;

    int value;

protected:
    // The value between a begin and an end mark, after the root's part.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(TestNumber)

// Writes the container notifications it receives into a log: "i" inserted,
// "r" removed, "m" moved.
ZU_HANDLE(TestContainerWatcher, ZuObject)
class TestContainerWatcher : public ZuObject {
    ZU_CLASS(TestContainerWatcher, ZuObject)
public:
    TestContainerWatcher() {}
    bool OnInserted(const ZuObjectRef&, unsigned);
    bool OnRemoved(const ZuObjectRef&, unsigned);
    bool OnMoved(const ZuObjectRef&, unsigned);
    std::string log;
};
ZU_CLASS_END(TestContainerWatcher)

ZU_HANDLE(TestObserver, ZuObject)
class TestObserver : public ZuObject {
    ZU_CLASS(TestObserver, ZuObject)
public:
    TestObserver() {}

    static TestObserverRef Make();

    // Attaches this observer to source for the event.
    void Watch(const ZuObjectRef& source, const char* event);
    // How many times the event was reported.
    unsigned Count(const char* event) const;
    // The events reported so far, in order.
    std::vector<std::string> Events() const;
    void Clear() { count = 0; }

    // Kept in plain storage: a zone does not run the destructors of the
    // objects it still holds when it goes.
    enum { CAPACITY = 256 };
    unsigned ids[CAPACITY];
    unsigned count = 0;
};
ZU_CLASS_END(TestObserver)

// Text of the values of the TestNumbers of a container (read through its
// ZuiContainer interface), "1 2 3" ("-" for an object that is not a
// TestNumber, "_" for an empty handle).
std::string NumbersOf(const ZuObjectRef& container);
std::string NumberText(const ZuObjectRef& object);

#endif
