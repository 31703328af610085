#include "app/docfile.h"

#include <cmath>
#include <new>
#include <string>

#include "si/archive.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/filewrite.h"

// The archive the program's files are read through. The format holds no
// check of its bytes, so a damaged number reads as another value; one that
// is no number, infinite or beyond any page (coordinates, widths, angles
// alike) would reach the drawing and the interpreter, which cannot take it.
// Such a number reads as 0, or as the bound with its sign.
ZU_HANDLE(CFileArchive, ZuArchive)
class CFileArchive : public ZuArchive {
    ZU_CLASS(CFileArchive, ZuArchive)
public:
    CFileArchive() {}
    static constexpr double MOST = 1e6;
    double RestoreReal(double def) override
    {
        const double v = ZuArchive::RestoreReal(def);
        if (std::fabs(v) <= MOST)
            return v;
        return std::isnan(v) ? 0.0 : std::copysign(MOST, v);
    }
};
ZU_CLASS_END(CFileArchive)
ZU_IMPLEMENT_CLASS(CFileArchive, "app/docfile", ZU_CLASS_PLAIN)

namespace {

bool IsBareName(const ZuStringRef& name)
{
    const unsigned n = name->CharacterCount();
    if (n == 0)
        return false;
    for (unsigned i = 0; i < n; ++i) {
        const unsigned short c = name->RetCharacter(i);
        if (c == '/' || c == '\\' || c == ':' || c == '%' || c == '$')
            return false;
    }
    return true;
}

// Opens the file for reading; a missing bare name is looked up beside the
// program when asked.
bool OpenInput(const ZuFileReadRef& in, const ZuStringRef& name, bool beside_program)
{
    try {
        in->Open(name);
        return true;
    } catch (const ZuExcStream&) {}
    if (!beside_program || !IsBareName(name))
        return false;
    const ZuStringRef there("%app%/");
    there->AppendString(name);
    try {
        in->Open(there);
        return true;
    } catch (const ZuExcStream&) {
        return false;
    }
}

} // namespace

bool WriteArchiveFile(const ZuStringRef& name, const std::function<void(const ZuStorageRef&)>& body)
{
    if (name.IsInvalid())
        return false;
    const ZuFileWriteRef out = ZuNew<ZuFileWrite>();
    out->SetAtomicMode(true);
    try {
        out->Open(name, false);
    } catch (const ZuExcStream&) {
        return false;
    }
    const ZuArchiveRef archive = ZuNew<ZuArchive>();
    try {
        archive->SetOutput(out);
        body(archive);
        archive->Reset();
        // Closing syncs the new file and renames it over the name.
        out->Close();
        return true;
    } catch (const ZuExcStream&) {
    } catch (const std::bad_alloc&) {}
    archive->Reset();
    out->Abandon();
    return false;
}

bool ReadArchiveFile(const ZuStringRef& name, const std::function<void(const ZuStorageRef&)>& body,
                     bool beside_program)
{
    if (name.IsInvalid())
        return false;
    const ZuFileReadRef in = ZuNew<ZuFileRead>();
    if (!OpenInput(in, name, beside_program))
        return false;
    const ZuArchiveRef archive(ZuObjectRef(ZuNew<CFileArchive>()));
    bool read = false;
    try {
        archive->SetInput(in);
        body(archive);
        archive->FinallyAwake();
        read = true;
    } catch (const ZuExcStream&) {
    } catch (const std::bad_alloc&) {}
    archive->Reset();
    in->Close();
    return read;
}
