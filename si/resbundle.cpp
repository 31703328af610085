#include "si/resbundle.h"

#include <cstring>

#include "si/error.h"
#include "si/memzone.h"
#include "si/resman.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

const char kFile[] = "si/resbundle";
const char kHeaderLine[] = "Zuvi:ResourceFile:Raw-Binary.0\r\n";
static_assert(sizeof kHeaderLine == 33, "the header line is 32 bytes");

ZuStorageSync& BundleRecord()
{
    static ZuStorageSync record("<ZuResBundle name>");
    return record;
}

std::uint32_t Word32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

unsigned Word16(const unsigned char* p)
{
    return (unsigned(p[0]) << 8) | p[1];
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuResBundle, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuResBundle, ZuiContainer)

ZuResBundle::ZuResBundle()
    : id(0), image(nullptr), image_size(0), count(0), table(nullptr), owned_image(nullptr)
{}

ZuResBundle::~ZuResBundle()
{
    FreeTable();
    AdoptImage(nullptr);
}

void ZuResBundle::FreeTable()
{
    if (table != nullptr)
        Zuvi_app_zone->Free(table, __LINE__, kFile);
    table = nullptr;
    count = 0;
}

void ZuResBundle::AdoptImage(void* new_image)
{
    if (owned_image != nullptr && owned_image != new_image)
        Zuvi_app_zone->Free(owned_image, __LINE__, kFile);
    owned_image = new_image;
}

bool ZuResBundle::SetBundleName(const ZuStringRef& new_name)
{
    name = new_name;
    return true;
}

bool ZuResBundle::SetBundleID(unsigned int new_id)
{
    id = new_id;
    return true;
}

// The walk checks every count, offset and size against the image: the
// numbers come from a file.
bool ZuResBundle::InitFromImage(const void* new_image, unsigned int size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(new_image);
    if (bytes == nullptr || size < 64 || std::memcmp(bytes, kHeaderLine, 32) != 0)
        throw "BadHeader";
    std::uint64_t const n = Word32(bytes + 56);
    std::uint64_t const first = Word32(bytes + 60);
    // Every entry needs a header of at least 4 bytes after the first offset.
    if (first > size || n > (size - first) / 4)
        throw "BadBundle";

    ZuResIDDef* new_table = nullptr;
    if (n != 0) {
        new_table = static_cast<ZuResIDDef*>(
            Zuvi_app_zone->Alloc(unsigned(n * sizeof(ZuResIDDef)), "ZuResIDDef", __LINE__, kFile));
        for (unsigned i = 0; i < n; ++i)
            new_table[i] = ZuResIDDef{std::uint16_t(id), std::uint16_t(i), nullptr, 0, 0};
    }
    try {
        std::uint64_t at = first;
        for (unsigned i = 0; i < n; ++i) {
            if (at + 4 > size)
                throw "BadBundle";
            const unsigned word0 = Word16(bytes + at);
            std::uint64_t data_size;
            std::uint64_t header;
            if ((word0 & 0x8000u) == 0) {
                data_size = word0;
                header = 4;
            } else {
                if (at + 8 > size)
                    throw "BadBundle";
                data_size = (std::uint64_t(word0 & 0x7FFFu) << 16) | Word16(bytes + at + 2);
                header = 8;
            }
            std::uint64_t const data = at + header;
            if (Word16(bytes + data - 2) == ZU_RES_TYPE_END)
                break;
            if (data_size > size - data)
                throw "BadBundle";
            new_table[i].data = bytes + data;
            new_table[i].size = std::uint32_t(data_size);
            at = data + ((data_size + 15) & ~std::uint64_t(15));
        }
    } catch (...) {
        if (new_table != nullptr)
            Zuvi_app_zone->Free(new_table, __LINE__, kFile);
        throw;
    }

    FreeTable();
    if (owned_image != nullptr && owned_image != new_image)
        AdoptImage(nullptr);
    table = new_table;
    image = bytes;
    image_size = size;
    count = unsigned(n);
    return true;
}

ZuResIDDef* ZuResBundle::RetResID(unsigned int index) const
{
    if (table == nullptr || index >= count)
        return nullptr;
    return &table[index];
}

const ZuStringRef& ZuResBundle::RetBundleName() const
{
    return name;
}

unsigned int ZuResBundle::RetBundleID() const
{
    return id;
}

bool ZuResBundle::LockResource(unsigned int index, const void*& data, unsigned int& size,
                               ZuResType& type)
{
    ZuResIDDef* def = RetResID(index);
    if (def == nullptr || def->data == nullptr)
        return false;
    ++def->lock_count;
    data = def->data;
    size = def->size;
    type = def->RetType();
    return true;
}

bool ZuResBundle::UnlockResource(unsigned int index)
{
    ZuResIDDef* def = RetResID(index);
    if (def == nullptr || def->lock_count == 0)
        return false;
    --def->lock_count;
    return true;
}

unsigned int ZuResBundle::TotalCount() const
{
    return count;
}

bool ZuResBundle::Get(unsigned int, ZuObjectRef&)
{
    return false;
}

void ZuResBundle::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << BundleRecord() << ZuStorageSync::begin;
    storage->StoreObject(name);
    storage << ZuStorageSync::end;
}

void ZuResBundle::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuStringRef stored_name;
    storage >> stored_name;
    storage >> ZuStorageSync::end;
    ZuResManRef manager = ZuResMan::Current();
    if (manager.IsValid() && stored_name.IsValid())
        manager->LoadBundle(stored_name, ZuResBundleRef(this));
}
