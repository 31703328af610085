#include "tests/support/storagetest.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/string.h"

#include <algorithm>
#include <cstring>

ZU_IMPLEMENT_CLASS(ZuTestStorage, "tests/support/storagetest", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_CLASS(ZuTestNode, "tests/support/storagetest", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_CLASS(ZuTestNod2, "tests/support/storagetest", ZU_CLASS_PLAIN)

ZuTestStorage::ZuTestStorage() : pos(0) {}

ZuTestStorageRef ZuTestStorage::Make()
{
    return ZuNew<ZuTestStorage>(Zuvi_app_zone, __LINE__, "tests/support/storagetest");
}

void ZuTestStorage::StartStoring(StorageMode m)
{
    SetStorageMode(m);
    SetOutputWindow(nullptr, 0);
    out.clear();
    used = 0;
    raw_calls = 0;
}

void ZuTestStorage::StartRestoring(const std::vector<unsigned char>& bytes, StorageMode m)
{
    SetStorageMode(m);
    SetInputWindow(nullptr, 0);
    in = bytes;
    pos = 0;
    raw_calls = 0;
    DropPushedBack();
    if (in_place)
        SetInputWindow(in.data(), in.size());
}

void ZuTestStorage::Sync()
{
    if (RetOutputWindow())
        used = std::size_t(RetOutputWindow() - out.data());
    if (RetInputWindow())
        pos = std::size_t(RetInputWindow() - in.data());
}

const std::vector<unsigned char>& ZuTestStorage::Bytes()
{
    // The room after the bytes goes; the next write makes new room.
    Sync();
    SetOutputWindow(nullptr, 0);
    out.resize(used);
    return out;
}

std::size_t ZuTestStorage::Remaining() const
{
    if (RetInputWindow())
        return RetInputWindowSize();
    return in.size() - pos;
}

void ZuTestStorage::StoreData(const void* data, unsigned int size)
{
    raw_calls++;
    Sync();
    if (out.size() - used < size)
        out.resize(in_place ? std::max(2 * out.size(), used + size + 64) : used + size);
    if (size)
        std::memcpy(out.data() + used, data, size);
    used += size;
    if (in_place)
        SetOutputWindow(out.data() + used, out.size() - used);
}

void ZuTestStorage::RestoreData(void* data, unsigned int size)
{
    raw_calls++;
    Sync();
    if (size > in.size() - pos)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    std::memcpy(data, in.data() + pos, size);
    pos += size;
    if (in_place)
        SetInputWindow(in.data() + pos, in.size() - pos);
}

static ZuStorageSync node_record("<ZuTestNode value a b name>");

unsigned ZuTestNode::made = 0;
unsigned ZuTestNode::deleted = 0;

ZuTestNode::ZuTestNode() : value(0)
{
    made++;
}

ZuTestNodeRef ZuTestNode::Make(int value)
{
    ZuTestNodeRef n = ZuNew<ZuTestNode>(Zuvi_app_zone, __LINE__, "tests/support/storagetest");
    n->value = value;
    return n;
}

void ZuTestNode::Delete()
{
    deleted++;
    a = nullptr;
    b = nullptr;
    ZuObject::Delete();
}

void ZuTestNode::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << node_record << ZuStorageSync::begin << value << a << b << name << ZuStorageSync::end;
}

void ZuTestNode::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> value >> a >> b >> name >>
        ZuStorageSync::end;
}

void ZuTestNod2::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << node_record << ZuStorageSync::begin << value << a << b << name;
    s << 77 << ZuAtomRef("extra") << -1.5 << ZuStorageSync::begin << ZuStringRef("inner")
      << ZuStorageSync::mark << ZuStorageSync::end << ZuStorageSync::mark << 5u;
    s << ZuStorageSync::end;
}
