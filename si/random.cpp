#include "si/random.h"

#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/typedef.h"

namespace {

const char kFile[] = "si/random";

ZuStorageSync& RandomRecord()
{
    static ZuStorageSync record("<ZuRandom max scale offset>");
    return record;
}

void GetMaximum(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(static_cast<ZuRandom*>(object)->RetMaximum());
}

bool SetMaximum(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && static_cast<ZuRandom*>(object)->SetMaximum(value->RetCard32());
}

void GetScale(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(static_cast<ZuRandom*>(object)->RetScale());
}

bool SetScale(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && static_cast<ZuRandom*>(object)->SetScale(value->RetReal());
}

void GetOffset(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(static_cast<ZuRandom*>(object)->RetOffset());
}

bool SetOffset(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && static_cast<ZuRandom*>(object)->SetOffset(value->RetReal());
}

void DeclareRandomData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef maximum = {&ZuRandomRef::RetRuntime(),
                                      "maximum",
                                      "Maximum value",
                                      &Card32_type,
                                      true,
                                      true,
                                      &GetMaximum,
                                      &SetMaximum};
    static Zuvi_PubDataDef scale = {&ZuRandomRef::RetRuntime(),
                                    "scale",
                                    "Scale factor",
                                    &Real_type,
                                    true,
                                    true,
                                    &GetScale,
                                    &SetScale};
    static Zuvi_PubDataDef offset = {&ZuRandomRef::RetRuntime(),
                                     "offset",
                                     "Offset of zero",
                                     &Real_type,
                                     true,
                                     true,
                                     &GetOffset,
                                     &SetOffset};
    runtime->PublishData(maximum);
    runtime->PublishData(scale);
    runtime->PublishData(offset);
}

Zuvi_PubDataExport random_data(&DeclareRandomData, ZuRandomRef::RetRuntime());

} // namespace

ZU_IMPLEMENT_CLASS(ZuRandom, kFile, ZU_CLASS_PLAIN)

ZuRandom::ZuRandom() : steps(0), maximum(0), limit(0), range(1), scale(1.0), offset(0.0)
{
    SetMaximum(1);
    SetScaleOffset(1.0, 0.0);
    SetReal(0.0);
    // In the constructor this is always the library's seed: a subclass's
    // own seed takes effect when Initialise is called after construction.
    Initialise();
}

unsigned int ZuRandom::Multiply(unsigned int p, unsigned int q)
{
    const unsigned int p1 = p / 10000, p0 = p % 10000;
    const unsigned int q1 = q / 10000, q0 = q % 10000;
    return ((((q1 * p0 + p1 * q0) % 10000) * 10000) + q0 * p0) % MODULUS;
}

unsigned int ZuRandom::RetInitialSeed()
{
    return INITIAL_SEED;
}

void ZuRandom::Initialise()
{
    steps = 0;
    table[0] = RetInitialSeed() % MODULUS;
    for (unsigned int i = 1; i < TABLE_SIZE; ++i)
        table[i] = (Multiply(table[i - 1], 31415821u) + 1) % MODULUS;
}

bool ZuRandom::SetMaximum(unsigned int new_maximum)
{
    if (new_maximum > MODULUS - 1)
        new_maximum = MODULUS - 1;
    maximum = new_maximum;
    range = maximum + 1;
    limit = (MODULUS / range) * range;
    return true;
}

bool ZuRandom::SetScale(double new_scale)
{
    scale = new_scale;
    return true;
}

bool ZuRandom::SetOffset(double new_offset)
{
    offset = new_offset;
    return true;
}

bool ZuRandom::SetScaleOffset(double new_scale, double new_offset)
{
    scale = new_scale;
    offset = new_offset;
    return true;
}

unsigned int ZuRandom::RetMaximum()
{
    return maximum;
}

double ZuRandom::RetScale()
{
    return scale;
}

double ZuRandom::RetOffset()
{
    return offset;
}

void ZuRandom::RefreshValue()
{
    unsigned int k;
    do {
        k = steps % TABLE_SIZE;
        ++steps;
        table[k] = (table[(k + 23) % TABLE_SIZE] + table[(k + 54) % TABLE_SIZE]) % MODULUS;
    } while (table[k] >= limit);
    const unsigned int draw = table[k] % range;
    SetReal(static_cast<double>(draw) * scale + offset);
}

void ZuRandom::StoreInstance(const ZuStorageRef& storage)
{
    ZuValue::StoreInstance(storage);
    storage << RandomRecord() << ZuStorageSync::begin;
    storage->StoreCard(maximum);
    storage->StoreReal(scale);
    storage->StoreReal(offset);
    storage << ZuStorageSync::end;
}

void ZuRandom::RestoreInstance(const ZuStorageRef& storage)
{
    ZuValue::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    std::uint64_t const stored_maximum = storage->RestoreCard(maximum);
    const double stored_scale = storage->RestoreReal(0.0);
    const double stored_offset = storage->RestoreReal(0.0);
    storage >> ZuStorageSync::end;
    SetMaximum(stored_maximum > MODULUS - 1 ? MODULUS - 1
                                            : static_cast<unsigned int>(stored_maximum));
    SetScaleOffset(stored_scale, stored_offset);
}
