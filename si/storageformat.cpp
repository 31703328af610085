#include "si/storageformat.h"

#include "si/error.h"
#include "si/except.h"
#include "si/ieeemath.h"

#include <cmath>
#include <cstdio>
#include <cstring>

// Every diagnostic of the persistence engine names this source.
static const char* const kSource = "si/storage";

Zuvi_StorageFormat::Zuvi_StorageFormat() : push_size(0), id_base(0)
{
    std::memset(push_buffer, 0, sizeof push_buffer);
}

Zuvi_StorageFormat::~Zuvi_StorageFormat() = default;

void Zuvi_StorageFormat::BadData(const char* message, int line)
{
    // The stream is outside data: say what was wrong in the debug output
    // and let the caller give up reading, as for a stream that ends early.
    Zuvi_DebugString(message, line, kSource);
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
}

void Zuvi_StorageFormat::Refuse(const char* message, int line)
{
    Zuvi_DebugString(message, line, kSource);
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
}

void Zuvi_StorageFormat::Fatal(const char* message, int line)
{
    Zuvi_ErrorAbort(message, line, kSource);
}

// ---------------------------------------------------------------- writing

void Zuvi_StorageFormat::StoreBigEndian(std::uint64_t value, unsigned bytes)
{
    unsigned char out[8];
    for (unsigned i = 0; i < bytes; i++)
        out[i] = (unsigned char)(value >> (8 * (bytes - 1 - i)));
    WriteBytes(out, bytes);
}

void Zuvi_StorageFormat::StoreBool(bool value)
{
    StoreTag(value ? TYP_TRUE : TYP_FALSE);
}

void Zuvi_StorageFormat::StoreInt(std::int64_t value)
{
    // Only the low 32 bits travel.
    std::int32_t const v = std::int32_t(std::uint32_t(std::uint64_t(value)));
    unsigned char out[5];
    unsigned n;
    if (v == 0) {
        out[0] = TYP_INT_ZERO;
        n = 1;
    } else if (v >= 1 && v <= 255) {
        out[0] = TYP_INT8_POS;
        out[1] = (unsigned char)v;
        n = 2;
    } else if (v >= -128 && v <= -1) {
        out[0] = TYP_INT8_NEG;
        out[1] = (unsigned char)(v & 0xFF);
        n = 2;
    } else if (v >= 256 && v <= 65535) {
        out[0] = TYP_INT16_POS;
        out[1] = (unsigned char)(v >> 8);
        out[2] = (unsigned char)v;
        n = 3;
    } else if (v >= -32768 && v <= -129) {
        std::uint32_t const u = std::uint32_t(v);
        out[0] = TYP_INT16_NEG;
        out[1] = (unsigned char)(u >> 8);
        out[2] = (unsigned char)u;
        n = 3;
    } else {
        std::uint32_t const u = std::uint32_t(v);
        out[0] = TYP_INT32;
        out[1] = (unsigned char)(u >> 24);
        out[2] = (unsigned char)(u >> 16);
        out[3] = (unsigned char)(u >> 8);
        out[4] = (unsigned char)u;
        n = 5;
    }
    WriteBytes(out, n);
}

void Zuvi_StorageFormat::StoreCard(std::uint64_t value)
{
    std::uint32_t const v = std::uint32_t(value);
    unsigned char out[5];
    unsigned n;
    if (v == 0) {
        out[0] = TYP_CARD_ZERO;
        n = 1;
    } else if (v < 256) {
        out[0] = TYP_INT8_POS;
        out[1] = (unsigned char)v;
        n = 2;
    } else if (v < 65536) {
        out[0] = TYP_INT16_POS;
        out[1] = (unsigned char)(v >> 8);
        out[2] = (unsigned char)v;
        n = 3;
    } else {
        out[0] = TYP_CARD32;
        out[1] = (unsigned char)(v >> 24);
        out[2] = (unsigned char)(v >> 16);
        out[3] = (unsigned char)(v >> 8);
        out[4] = (unsigned char)v;
        n = 5;
    }
    WriteBytes(out, n);
}

void Zuvi_StorageFormat::StoreReal(double x)
{
    if (x == 0.0) {
        StoreTag(TYP_REAL_ZERO);
    } else if (x == 1.0) {
        StoreTag(TYP_REAL_ONE);
    } else if (x == -1.0) {
        StoreTag(TYP_REAL_MINUS_ONE);
    } else if (std::fmod(x, 1.0) == 0.0 && std::fabs(x) < 2147483647.0) {
        StoreTag(TYP_REAL_INT);
        StoreInt(std::int32_t(x));
    } else {
        unsigned int w0;
        unsigned int w[2];
        Zuvi_ExportDouble(x, w0, w);
        const unsigned char head[2] = {TYP_REAL, 0x00};
        WriteBytes(head, 2);
        StoreCard(w0);
        StoreCard(w[0]);
        StoreCard(w[1]);
    }
}

void Zuvi_StorageFormat::StoreLongID(std::uint32_t id)
{
    StoreTag(TYP_LONG_ID);
    StoreBigEndian(id, 4);
    id_base = id & ~0xFFu;
}

void Zuvi_StorageFormat::StoreAtomEmpty()
{
    const unsigned char out[2] = {TYP_ATOM, 0x00};
    WriteBytes(out, 2);
}

void Zuvi_StorageFormat::StoreAtomText(const char* text, std::size_t length)
{
    // The length field has at most 16 bits; a longer text would come back
    // cut and shifted, so it is refused here rather than written wrong.
    if (length > MAX_ATOM_LENGTH)
        Refuse("Atom too long to be stored", __LINE__);
    if (length == 0) {
        StoreAtomEmpty();
        return;
    }
    StoreTag(TYP_ATOM);
    if (length < 0xF0) {
        const unsigned char b = (unsigned char)length;
        WriteBytes(&b, 1);
    } else {
        StoreTag(0xFF);
        StoreBigEndian(length, 2);
    }
    WriteBytes(text, std::uint32_t(length));
}

void Zuvi_StorageFormat::StoreAtomID(std::uint32_t id)
{
    StoreTag(TYP_ATOM_ID);
    StoreID(id);
}

void Zuvi_StorageFormat::StoreBinData(const void* data, std::uint32_t size)
{
    if (size < 256) {
        StoreTag(TYP_BIN8);
        StoreBigEndian(size, 1);
    } else if (size < 65536) {
        StoreTag(TYP_BIN16);
        StoreBigEndian(size, 2);
    } else {
        StoreTag(TYP_BIN32);
        StoreBigEndian(size, 4);
    }
    if (size)
        WriteBytes(data, size);
}

// ---------------------------------------------------------------- put-back

void Zuvi_StorageFormat::PushBackData(const void* data, std::uint32_t size)
{
    if (!(size <= sizeof push_buffer - push_size))
        Fatal("Failed assertion: this->push_size + size <= sizeof (this->push_buffer)", __LINE__);
    // Stored last byte first, so that popping gives them back in order.
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::uint32_t i = size; i > 0; i--)
        push_buffer[push_size++] = bytes[i - 1];
}

void Zuvi_StorageFormat::PopAndRestoreSlow(void* data, std::uint32_t size)
{
    unsigned char* out = static_cast<unsigned char*>(data);
    while (size && push_size) {
        *out++ = push_buffer[--push_size];
        size--;
    }
    if (size <= RetInputWindowSize()) {
        if (size) {
            std::memcpy(out, in_next, size);
            in_next += size;
        }
        return;
    }
    ReadRaw(out, size);
}

unsigned char Zuvi_StorageFormat::PeekTagRaw()
{
    // Read from the raw input, the tag waits in the put-back buffer.
    unsigned char tag;
    ReadRaw(&tag, 1);
    PushBackData(&tag, 1);
    return tag;
}

std::uint64_t Zuvi_StorageFormat::RestoreBigEndian(unsigned bytes)
{
    unsigned char in[8];
    PopAndRestoreData(in, bytes);
    std::uint64_t v = 0;
    for (unsigned i = 0; i < bytes; i++)
        v = (v << 8) | in[i];
    return v;
}

// ---------------------------------------------------------------- reading

static bool IsAbsent(unsigned char tag)
{
    return tag == Zuvi_StorageFormat::TYP_SYNC_END || tag == Zuvi_StorageFormat::TYP_SYNC_MARK;
}

void Zuvi_StorageFormat::RestoreScalarFromValue(ScalarKind, Scalar&)
{
    BadData("Bad data type", __LINE__);
}

bool Zuvi_StorageFormat::RestoreBool(bool def)
{
    const unsigned char tag = RestoreTag();
    switch (tag) {
    case TYP_TRUE:
        return true;
    case TYP_FALSE:
        return false;
    default:
        PushBackData(&tag, 1);
        if (IsAbsent(tag))
            return def;
        Scalar s;
        s.b = def;
        RestoreScalarFromValue(SCALAR_BOOL, s);
        return s.b;
    }
}

std::int64_t Zuvi_StorageFormat::RestoreInt(std::int64_t def)
{
    const unsigned char tag = RestoreTag();
    unsigned bytes;
    switch (tag) {
    case TYP_INT_ZERO:
        return 0;
    case TYP_INT8_NEG:
        bytes = 1;
        break;
    case TYP_INT16_NEG:
        bytes = 2;
        break;
    case TYP_INT32:
        bytes = 4;
        break;
    case TYP_INT64:
        bytes = 8;
        break;
    case TYP_INT8_POS:
    case TYP_INT16_POS:
    case TYP_CARD32:
    case TYP_CARD_ZERO:
    case TYP_CARD64:
        PushBackData(&tag, 1);
        return std::int64_t(RestoreCard(std::uint64_t(def)));
    default:
        PushBackData(&tag, 1);
        if (IsAbsent(tag))
            return def;
        Scalar s;
        s.i = def;
        RestoreScalarFromValue(SCALAR_INT, s);
        return s.i;
    }
    // Extend the sign of the first byte.
    std::uint64_t v = RestoreBigEndian(bytes);
    const unsigned bits = 8 * bytes;
    if (bits < 64 && (v & (std::uint64_t(1) << (bits - 1))))
        v |= ~std::uint64_t(0) << bits;
    return std::int64_t(v);
}

std::uint64_t Zuvi_StorageFormat::RestoreCard(std::uint64_t def)
{
    const unsigned char tag = RestoreTag();
    switch (tag) {
    case TYP_CARD_ZERO:
        return 0;
    case TYP_INT8_POS:
        return RestoreBigEndian(1);
    case TYP_INT16_POS:
        return RestoreBigEndian(2);
    case TYP_CARD32:
        return RestoreBigEndian(4);
    case TYP_CARD64:
        return RestoreBigEndian(8);
    case TYP_INT8_NEG:
    case TYP_INT16_NEG:
    case TYP_INT32:
    case TYP_INT_ZERO:
    case TYP_INT64:
        PushBackData(&tag, 1);
        return std::uint64_t(RestoreInt(std::int64_t(def)));
    default:
        PushBackData(&tag, 1);
        if (IsAbsent(tag))
            return def;
        Scalar s;
        s.c = def;
        RestoreScalarFromValue(SCALAR_CARD, s);
        return s.c;
    }
}

double Zuvi_StorageFormat::RestoreReal(double def)
{
    // The real tags are followed by one more byte that only 0x30 uses; it is
    // read here only when the item needs it, so a short real at the very end
    // of a stream still reads.
    const unsigned char tag = RestoreTag();
    switch (tag) {
    case TYP_REAL_ZERO:
        return 0.0;
    case TYP_REAL_ONE:
        return 1.0;
    case TYP_REAL_MINUS_ONE:
        return -1.0;
    case TYP_REAL_INT:
        return double(RestoreInt(0));
    case TYP_REAL: {
        RestoreTag(); // the 0x00 byte
        const unsigned int w0 = (unsigned int)RestoreCard(0);
        unsigned int w[2];
        w[0] = (unsigned int)RestoreCard(0);
        w[1] = (unsigned int)RestoreCard(0);
        double x;
        Zuvi_ImportDouble(x, w0, w);
        return x;
    }
    default:
        PushBackData(&tag, 1);
        if (IsAbsent(tag))
            return def;
        Scalar s;
        s.r = def;
        RestoreScalarFromValue(SCALAR_REAL, s);
        return s.r;
    }
}

std::uint32_t Zuvi_StorageFormat::RestoreID()
{
    const unsigned char b = RestoreTag();
    if (b != TYP_LONG_ID)
        return id_base | b;
    std::uint32_t const id = std::uint32_t(RestoreBigEndian(4));
    id_base = id & ~0xFFu;
    return id;
}

void Zuvi_StorageFormat::RestoreAtomLength(std::string& text)
{
    std::uint32_t length = std::uint32_t(RestoreBigEndian(1));
    if (length == 0xFF)
        length = std::uint32_t(RestoreBigEndian(2));
    text.resize(length);
    if (length)
        PopAndRestoreData(&text[0], length);
}

Zuvi_StorageFormat::AtomItem Zuvi_StorageFormat::RestoreAtomItem(std::string& text,
                                                                 std::uint32_t& id)
{
    const unsigned char tag = RestoreTag();
    switch (tag) {
    case TYP_ATOM:
        RestoreAtomLength(text);
        return text.empty() ? ATOM_EMPTY : ATOM_TEXT;
    case TYP_ATOM_ID:
        id = RestoreID();
        return ATOM_ID;
    default:
        PushBackData(&tag, 1);
        return IsAbsent(tag) ? ATOM_ABSENT : ATOM_OTHER;
    }
}

void Zuvi_StorageFormat::SkipData(std::uint64_t size)
{
    // Pieces of at most 1000 bytes: a huge length from a corrupt stream
    // costs no memory and ends at the end of the input.
    unsigned char piece[1000];
    while (size) {
        std::uint32_t const n =
            size < sizeof piece ? std::uint32_t(size) : std::uint32_t(sizeof piece);
        PopAndRestoreData(piece, n);
        size -= n;
    }
}

void Zuvi_StorageFormat::RestoreBinData(void* buffer, std::uint32_t size)
{
    unsigned char* out = static_cast<unsigned char*>(buffer);
    std::uint32_t wanted = size;
    for (;;) {
        const unsigned char tag = RestoreTag();
        std::uint32_t length;
        switch (tag) {
        case TYP_BIN8:
            length = std::uint32_t(RestoreBigEndian(1));
            break;
        case TYP_BIN16:
            length = std::uint32_t(RestoreBigEndian(2));
            break;
        case TYP_BIN32:
            length = std::uint32_t(RestoreBigEndian(4));
            break;
        default:
            PushBackData(&tag, 1);
            if (!IsAbsent(tag) && size != 0)
                BadData("Bad data type", __LINE__);
            return;
        }
        if (out == nullptr && size == 0) {
            SkipData(length);
            return;
        }
        if (length == wanted) {
            if (length)
                PopAndRestoreData(out, length);
            return;
        }
        if (length < wanted) {
            if (length)
                PopAndRestoreData(out, length);
            out += length;
            wanted -= length;
            continue;
        }
        // The item holds more than asked: give back a header for the rest.
        if (wanted)
            PopAndRestoreData(out, wanted);
        std::uint32_t const rest = length - wanted;
        const unsigned char head[5] = {TYP_BIN32, (unsigned char)(rest >> 24),
                                       (unsigned char)(rest >> 16), (unsigned char)(rest >> 8),
                                       (unsigned char)rest};
        PushBackData(head, 5);
        return;
    }
}
