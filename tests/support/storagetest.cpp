#include "tests/support/storagetest.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/string.h"

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
    out.clear();
}

void ZuTestStorage::StartRestoring(const std::vector<unsigned char>& bytes, StorageMode m)
{
    SetStorageMode(m);
    in = bytes;
    pos = 0;
    DropPushedBack();
}

void ZuTestStorage::StoreData(const void* data, unsigned int size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    out.insert(out.end(), p, p + size);
}

void ZuTestStorage::RestoreData(void* data, unsigned int size)
{
    if (size > in.size() - pos)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    std::memcpy(data, in.data() + pos, size);
    pos += size;
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
