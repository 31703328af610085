// The storage byte format: tagged items in a flat byte stream.
//
// Zuvi_StorageFormat turns scalars, identifiers, atom texts and binary data
// into the tagged items of the persistence format and reads them back. It
// keeps the bytes that readers put back (a small last-in first-out buffer)
// and the identifier base shared by writer and reader. It knows nothing of
// objects: ZuStorage builds object graphs on top of it, and supplies the raw
// byte movement through WriteRaw and ReadRaw.
//
// Multi-byte numbers after a tag are big-endian. A reader that finds the end
// of a block (0xFD) or a sync mark (0xFE) where it expects a scalar returns
// the caller's default and consumes nothing.
//
// Outside data never stops the program: a corrupt item throws ZuExcStream
// (through BadData), and so must ReadRaw when the input ends early. Misuse by the program (an overfull put-back buffer)
// stops with the library's assertion text.
#ifndef ZUVI_SI_STORAGEFORMAT_H
#define ZUVI_SI_STORAGEFORMAT_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class Zuvi_StorageFormat {
public:
    enum Type : unsigned char {
        TYP_NULL = 0x00,
        TYP_FALSE = 0x08,
        TYP_TRUE = 0x09,
        TYP_INT32 = 0x10,
        TYP_CARD32 = 0x11,
        TYP_POINTER32 = 0x12,
        TYP_INT8_NEG = 0x14,
        TYP_INT8_POS = 0x15,
        TYP_INT16_NEG = 0x18,
        TYP_INT16_POS = 0x19,
        TYP_INT_ZERO = 0x1C,
        TYP_CARD_ZERO = 0x1D,
        TYP_INT64 = 0x20,
        TYP_CARD64 = 0x21,
        TYP_POINTER64 = 0x22,
        TYP_REAL = 0x30,
        TYP_REAL_INT = 0x31,
        TYP_REAL_ZERO = 0x32,
        TYP_REAL_ONE = 0x33,
        TYP_REAL_MINUS_ONE = 0x34,
        TYP_O_NEW_CLASS = 0x40,
        TYP_O_NEW = 0x41,
        TYP_O_AGAIN = 0x42,
        TYP_O_DATA = 0x43,
        TYP_O_SLOT = 0x44,
        TYP_O_PHANTOM = 0x45,
        TYP_ATOM = 0x50,
        TYP_ATOM_ID = 0x51,
        TYP_ATOM_OLD = 0x52,
        TYP_BIN8 = 0x70,
        TYP_BIN16 = 0x71,
        TYP_BIN32 = 0x72,
        TYP_SYNC_TYPE = 0x80,
        TYP_SYNC_BEGIN = 0xFC,
        TYP_SYNC_END = 0xFD,
        TYP_SYNC_MARK = 0xFE,
        TYP_LONG_ID = 0xFF
    };

    // The kinds of scalar a reader can ask for.
    enum ScalarKind { SCALAR_BOOL, SCALAR_INT, SCALAR_CARD, SCALAR_REAL };
    union Scalar {
        bool b;
        std::int64_t i;
        std::uint64_t c;
        double r;
    };

    // What an atom reader found.
    enum AtomItem {
        ATOM_ABSENT, // end of block or mark: nothing consumed
        ATOM_EMPTY,  // 0x50 0x00: the empty atom
        ATOM_TEXT,   // 0x50 with a text: a new atom
        ATOM_ID,     // 0x51: an atom already in the name table
        ATOM_OTHER   // any other tag, put back
    };

    // Longest atom text the format can carry.
    static constexpr std::size_t MAX_ATOM_LENGTH = 65535;

    Zuvi_StorageFormat();
    virtual ~Zuvi_StorageFormat();

    // Writing items.
    void StoreTag(unsigned char tag)
    {
        if (out_next != out_end)
            *out_next++ = tag;
        else
            WriteRaw(&tag, 1);
    }
    void StoreBool(bool value);
    void StoreInt(std::int64_t value);
    void StoreCard(std::uint64_t value);
    void StoreReal(double value);
    void StoreID(std::uint32_t id)
    {
        // An identifier in the current base is its low byte.
        if ((id & ~0xFFu) == id_base && (id & 0xFFu) != 0xFFu)
            StoreTag((unsigned char)(id & 0xFF));
        else
            StoreLongID(id);
    }
    void StoreAtomEmpty();
    void StoreAtomText(const char* text, std::size_t length);
    void StoreAtomID(std::uint32_t id);
    void StoreBinData(const void* data, std::uint32_t size);
    // Bytes of an item the owner assembles itself.
    void StoreBytes(const void* data, std::uint32_t size) { WriteBytes(data, size); }

    // Reading items; scalars give the default when the block ends or a mark
    // comes next.
    bool RestoreBool(bool def);
    std::int64_t RestoreInt(std::int64_t def);
    std::uint64_t RestoreCard(std::uint64_t def);
    double RestoreReal(double def);
    std::uint32_t RestoreID();
    AtomItem RestoreAtomItem(std::string& text, std::uint32_t& id);
    void RestoreAtomLength(std::string& text);
    void RestoreBinData(void* buffer, std::uint32_t size);

    // The next tag, taken and put back.
    unsigned char PeekTag()
    {
        if (push_size)
            return push_buffer[push_size - 1];
        if (in_next != in_end)
            return *in_next;
        return PeekTagRaw();
    }
    unsigned char RestoreTag()
    {
        if (push_size)
            return push_buffer[--push_size];
        if (in_next != in_end)
            return *in_next++;
        unsigned char tag;
        ReadRaw(&tag, 1);
        return tag;
    }

    // Put-back buffer: bytes given back come out again in the order given.
    void PushBackData(const void* data, std::uint32_t size);
    void PopAndRestoreData(void* data, std::uint32_t size)
    {
        if (push_size == 0 && size <= std::size_t(in_end - in_next)) {
            if (size) {
                std::memcpy(data, in_next, size);
                in_next += size;
            }
            return;
        }
        PopAndRestoreSlow(data, size);
    }
    std::uint32_t RetPushSize() const { return push_size; }
    void DropPushedBack() { push_size = 0; }

    // Bytes in place. An owner whose input lies in memory may hand the
    // reader the bytes not read yet: the reader takes them from the window
    // and moves its start, and calls ReadRaw only for a read the window
    // cannot give whole (ReadRaw then reads from the window's start, where
    // the input stands, and may set a new window). Likewise an owner may
    // give the writer room in place: an item that fits is put there, any
    // other goes to WriteRaw, which writes from the window's start on. The
    // bytes and their order are those of the raw calls; only the calls
    // are saved. No window (the default) is an empty one.
    void SetInputWindow(const unsigned char* next, const unsigned char* end)
    {
        in_next = next;
        in_end = end;
    }
    const unsigned char* RetInputWindowNext() const { return in_next; }
    std::size_t RetInputWindowSize() const { return std::size_t(in_end - in_next); }
    void SetOutputWindow(unsigned char* next, unsigned char* end)
    {
        out_next = next;
        out_end = end;
    }
    unsigned char* RetOutputWindowNext() const { return out_next; }

    std::uint32_t RetIDBase() const { return id_base; }
    void ResetIDBase() { id_base = 0; }

    // Raised for corrupt input: a debug line, then ZuExcStream with the code
    // ZU_STREAM_CANNOT_READ (what a stream that ends early throws too).
    [[noreturn]] static void BadData(const char* message, int line);
    // Raised for what cannot be written faithfully (an atom text longer
    // than its length field): a debug line, then ZuExcStream with the code
    // ZU_STREAM_CANNOT_WRITE, before any byte of the item is written.
    [[noreturn]] static void Refuse(const char* message, int line);
    // Raised for misuse by the program (stops with the assertion text).
    [[noreturn]] static void Fatal(const char* message, int line);

protected:
    // Raw byte movement, supplied by the owner. ReadRaw delivers exactly
    // size bytes or throws.
    virtual void WriteRaw(const void* data, std::uint32_t size) = 0;
    virtual void ReadRaw(void* data, std::uint32_t size) = 0;

    // A scalar reader met an item that is not a plain scalar (an object, a
    // text, an atom...). The tag has been put back. The default refuses it
    // as bad data; ZuStorage converts it through a dynamic value.
    virtual void RestoreScalarFromValue(ScalarKind kind, Scalar& out);

private:
    // An item's bytes, in place when they fit.
    void WriteBytes(const void* data, std::uint32_t size)
    {
        if (size <= std::size_t(out_end - out_next)) {
            std::memcpy(out_next, data, size);
            out_next += size;
            return;
        }
        WriteRaw(data, size);
    }
    void PopAndRestoreSlow(void* data, std::uint32_t size);
    void StoreLongID(std::uint32_t id);
    unsigned char PeekTagRaw();
    void StoreBigEndian(std::uint64_t value, unsigned bytes);
    std::uint64_t RestoreBigEndian(unsigned bytes);
    void SkipData(std::uint64_t size);

    unsigned char push_buffer[64];
    std::uint32_t push_size;
    std::uint32_t id_base;
    const unsigned char* in_next = nullptr;
    const unsigned char* in_end = nullptr;
    unsigned char* out_next = nullptr;
    unsigned char* out_end = nullptr;
};

#endif
