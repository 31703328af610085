#ifndef SI_EXCEPT_H
#define SI_EXCEPT_H

// The exceptions of the library, thrown by value. Each is a copy of the call
// frame that was current on the main thread when it was made, so a handler
// can tell in which function the failure arose.

#include <cstddef>

#include "si/callframe.h"

class ZuObject;

class ZuException : public Zuvi_CallFrame {
public:
    // Copies the innermost frame of the main thread; made on another thread
    // or outside any frame, it keeps the empty frame.
    ZuException();
    ZuException(const ZuException& other) = default;
    ZuException& operator=(const ZuException& other) = default;

    // Source line and file of the function that was running when the
    // exception was made.
    unsigned RetThrowSrcLine() const;
    const char* RetThrowSrcFile() const;

    // Every `new` of an exception gets storage of its own, so exceptions
    // made at the same time (on several threads) never share bytes; more
    // than MAX_EXC_SIZE bytes is a programming error.
    static void* operator new(size_t size);
    static void operator delete(void* p);

    static constexpr size_t MAX_EXC_SIZE = 500;
};

class ZuExcMemory : public ZuException {
public:
    enum Error {
        ZU_MEM_NO_MEMORY = 0,    // the platform gave no memory (or the size is impossible)
        ZU_MEM_NULL_POINTER = 2, // a null pointer was freed
        ZU_MEM_NOT_IN_ZONE = 3,  // the pointer lies in no block of the zone (or in no zone)
        ZU_MEM_NOT_A_BLOCK = 4   // no block in use begins at the pointer
    };

    ZuExcMemory(Error error, void* faulty_ptr, unsigned faulty_line, const char* faulty_file);

    Error RetError() const { return error; }
    void* RetFaultyPtr() const { return faulty_ptr; }
    unsigned RetFaultySrcLine() const { return faulty_line; }
    const char* RetFaultySrcFile() const { return faulty_file; }

private:
    Error error;
    void* faulty_ptr;
    unsigned faulty_line;
    const char* faulty_file;
};

class ZuExcObject : public ZuException {
public:
    enum Error {
        ZU_OBJ_WRONG_CLASS = 0,    // an object of the wrong class
        ZU_OBJ_INVALID_HANDLE = 1, // a required handle is empty
        ZU_OBJ_NO_SUCH_CLASS = 2   // no class is registered under the name
    };

    ZuExcObject(Error error, const ZuObject* faulty_object);

    Error RetError() const { return error; }
    const ZuObject* RetFaultyObject() const { return faulty_object; }

private:
    Error error;
    const ZuObject* faulty_object;
};

class ZuExcAccess : public ZuException {
public:
    enum Error {
        ZU_ACCESS_NONE = 0,
        ZU_ACCESS_OUT_OF_RANGE = 1 // an index at or beyond the end of a fixed array
    };

    explicit ZuExcAccess(Error error);

    Error RetError() const { return error; }

private:
    Error error;
};

class ZuExcString : public ZuException {
public:
    enum Error { ZU_STRING_NONE = 0 };

    explicit ZuExcString(Error error);

    Error RetError() const { return error; }

private:
    Error error;
};

class ZuExcStream : public ZuException {
public:
    // The codes the streams throw (the stream classes say when).
    enum Error {
        ZU_STREAM_CANNOT_WRITE = 0, // no write operation, or no open file
        ZU_STREAM_CANNOT_READ = 1,  // no read operation, or no open file
        ZU_STREAM_CANNOT_SKIP = 2,  // no skip operation, or no open file
        ZU_STREAM_WRITE_FAILED = 3, // a write, flush or move failed on an open file
        ZU_STREAM_SEEK_FAILED = 4,  // a reading file's position could not be moved
        ZU_STREAM_CANNOT_OPEN = 9   // the file could not be opened
    };

    explicit ZuExcStream(Error error);
    virtual ~ZuExcStream() {}
    ZuExcStream(const ZuExcStream& other) = default;
    ZuExcStream& operator=(const ZuExcStream& other) = default;

    virtual Error GetError() const;

private:
    Error error;
};

class ZuExcPipe : public ZuException {
public:
    enum Error {
        ZU_PIPE_NONE = 0,
        ZU_PIPE_NO_SERVER = 1,     // no server listens under the name
        ZU_PIPE_CANNOT_CREATE = 2, // the system refused the pipe
        ZU_PIPE_BROKEN = 3         // the other end went away
    };

    explicit ZuExcPipe(Error error);
    virtual ~ZuExcPipe() {}
    ZuExcPipe(const ZuExcPipe& other) = default;
    ZuExcPipe& operator=(const ZuExcPipe& other) = default;

    virtual Error GetError() const;

private:
    Error error;
};

// The two exceptions that name an atom: for code built on the library (the
// library itself throws neither). Copies share the atom, as handles do.
#include "si/atom.h"

class ZuExcTarget : public ZuException {
public:
    ZuExcTarget() {}
    explicit ZuExcTarget(const ZuAtomRef& target) : faulty_target(target) {}

    const ZuAtomRef& RetFaultyTarget() const { return faulty_target; }

private:
    ZuAtomRef faulty_target;
};

class ZuExcOutlet : public ZuException {
public:
    ZuExcOutlet() {}
    explicit ZuExcOutlet(const ZuAtomRef& outlet) : faulty_outlet(outlet) {}

    const ZuAtomRef& RetFaultyOutlet() const { return faulty_outlet; }

private:
    ZuAtomRef faulty_outlet;
};

#endif
