#include "app/docfile.h"

#include <new>
#include <string>

#include "si/archive.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/filewrite.h"

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, ZU_SRC_FILE)));
}

bool IsBareName(ZuStringRef const& name)
{
    unsigned const n = name->CharacterCount();
    if (n == 0)
        return false;
    for (unsigned i = 0; i < n; ++i) {
        unsigned short const c = name->RetCharacter(i);
        if (c == '/' || c == '\\' || c == ':' || c == '%' || c == '$')
            return false;
    }
    return true;
}

// Opens the file for reading; a missing bare name is looked up beside the
// program when asked.
bool OpenInput(ZuFileReadRef const& in, ZuStringRef const& name, bool beside_program)
{
    try {
        in->Open(name);
        return true;
    } catch (ZuExcStream const&) {
    }
    if (!beside_program || !IsBareName(name))
        return false;
    ZuStringRef const there("%app%/");
    there->AppendString(name);
    try {
        in->Open(there);
        return true;
    } catch (ZuExcStream const&) {
        return false;
    }
}

} // namespace

bool WriteArchiveFile(ZuStringRef const& name, std::function<void(ZuStorageRef const&)> const& body)
{
    if (name.IsInvalid())
        return false;
    ZuFileWriteRef const out = Make<ZuFileWriteRef>();
    out->SetAtomicMode(true);
    try {
        out->Open(name, false);
    } catch (ZuExcStream const&) {
        return false;
    }
    ZuArchiveRef const archive = Make<ZuArchiveRef>();
    try {
        archive->SetOutput(out);
        body(archive);
        archive->Reset();
        // Closing syncs the new file and renames it over the name.
        out->Close();
        return true;
    } catch (ZuExcStream const&) {
    } catch (std::bad_alloc const&) {
    }
    archive->Reset();
    out->Abandon();
    return false;
}

bool ReadArchiveFile(ZuStringRef const& name, std::function<void(ZuStorageRef const&)> const& body,
                     bool beside_program)
{
    if (name.IsInvalid())
        return false;
    ZuFileReadRef const in = Make<ZuFileReadRef>();
    if (!OpenInput(in, name, beside_program))
        return false;
    ZuArchiveRef const archive = Make<ZuArchiveRef>();
    bool read = false;
    try {
        archive->SetInput(in);
        body(archive);
        archive->FinallyAwake();
        read = true;
    } catch (ZuExcStream const&) {
    } catch (std::bad_alloc const&) {
    }
    archive->Reset();
    in->Close();
    return read;
}
