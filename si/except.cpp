#include "si/except.h"

#include <new>

#include "si/error.h"
#include "si/thread.h"

ZuException::ZuException() : Zuvi_CallFrame()
{
    // Only the main thread keeps a chain; elsewhere `head` belongs to
    // another thread and must not be read.
    if (Zuvi_CallFrame::head != nullptr && ZuThread::IsMainThread()) {
        Zuvi_CallFrame::operator=(*Zuvi_CallFrame::head);
    }
}

unsigned ZuException::RetThrowSrcLine() const
{
    return RetFileLine();
}

const char* ZuException::RetThrowSrcFile() const
{
    return RetFileName();
}

void* ZuException::operator new(size_t size)
{
    ZU_ASSERT(size <= MAX_EXC_SIZE);
    return ::operator new(size);
}

void ZuException::operator delete(void* p)
{
    ::operator delete(p);
}

ZuExcMemory::ZuExcMemory(Error e, void* ptr, unsigned line, const char* file)
    : error(e), faulty_ptr(ptr), faulty_line(line), faulty_file(file)
{}

ZuExcObject::ZuExcObject(Error e, const ZuObject* object) : error(e), faulty_object(object) {}

ZuExcAccess::ZuExcAccess(Error e) : error(e) {}

ZuExcString::ZuExcString(Error e) : error(e) {}

ZuExcStream::ZuExcStream(Error e) : error(e) {}

ZuExcStream::Error ZuExcStream::GetError() const
{
    return error;
}

ZuExcPipe::ZuExcPipe(Error e) : error(e) {}

ZuExcPipe::Error ZuExcPipe::GetError() const
{
    return error;
}
