#include "sd/common/sd_filedir.h"

#include "si/array.h"
#include "si/error.h"
#include "si/ifilesort.h"
#include "si/memzone.h"
#include "si/object.h"

#include <cstring>
#include <string>
#include <vector>

Zuvi_PfxFunc<Zuvi_FileDir> Zuvi_FileDir::pfx_func = {0, {}, {}};

Zuvi_FileDir::Zuvi_FileDir() {}

Zuvi_FileDir::~Zuvi_FileDir() {}

void Zuvi_FileDir::RegisterClassAllocator(Zuvi_FileDir* (*allocator)(ZuMemZone*), const char* kind)
{
    pfx_func.Register(allocator, kind);
}

Zuvi_FileDir* Zuvi_FileDir::Open(const ZuStringRef& path)
{
    char text[ZUVI_PATH_MAX];
    text[0] = '\0';
    if (path.IsValid() && !path->GetStringCopy(text, sizeof text))
        return nullptr; // too long to be a path
    const char* colon = std::strchr(text, ':');
    std::string kind = "file";
    std::string rest = text;
    if (!(text[0] == '/' || text[0] == '.' || colon == nullptr || colon == text + 1)) {
        kind.assign(text, colon - text);
        rest = colon + 1;
    }
    Zuvi_PfxFunc<Zuvi_FileDir>::Allocator allocator = pfx_func.Find(kind.c_str());
    if (allocator == nullptr)
        return nullptr;
    Zuvi_FileDir* dir = allocator(Zuvi_temp_zone);
    if (dir == nullptr)
        return nullptr;
    ZuStringRef variables(rest.c_str());
    ZuStringRef expanded;
    for (int alternative = 0;; ++alternative) {
        if (!Zuvi_File::ExpandPath(variables, expanded, alternative))
            break;
        char candidate[ZUVI_PATH_MAX];
        if (expanded->GetStringCopy(candidate, sizeof candidate) && dir->Open(candidate))
            return dir;
    }
    dir->~Zuvi_FileDir();
    ZuMemZone::FreeAnyZone(dir, __LINE__, ZU_SRC_FILE);
    return nullptr;
}

bool Zuvi_FileDir::Close(Zuvi_FileDir*& dir)
{
    if (dir == nullptr)
        return false;
    bool ok = dir->Close();
    dir->~Zuvi_FileDir();
    ZuMemZone::FreeAnyZone(dir, __LINE__, ZU_SRC_FILE);
    dir = nullptr;
    return ok;
}

namespace {

struct Sorter {
    const ZuiFileSort* sort;
    const ZuStringArray& names;
    Zuvi_SimpleArrayNone<ZuFileAttInfo>& infos;
    std::vector<unsigned>& index;
    std::vector<unsigned> work;

    // Top-down merge sort of index[low .. high]. The merge lays the left
    // half out in order and the right half reversed, then walks inwards
    // from both ends; on equal keys it takes the right half's element.
    void Run(unsigned low, unsigned high)
    {
        if (high <= low)
            return;
        unsigned mid = (low + high) / 2;
        Run(low, mid);
        Run(mid + 1, high);
        for (unsigned i = low; i <= mid; ++i)
            work[i] = index[i];
        for (unsigned j = mid + 1; j <= high; ++j)
            work[high + mid + 1 - j] = index[j];
        unsigned i = low, j = high;
        for (unsigned k = low; k <= high; ++k) {
            unsigned a = work[i], b = work[j];
            if (sort->Compare(names[a], infos[a], names[b], infos[b]) >= 0) {
                index[k] = b;
                --j;
            } else {
                index[k] = a;
                ++i;
            }
        }
    }
};

} // namespace

bool Zuvi_FileDir::Sort(const ZuObjectRef& sort_object, ZuStringArray& names,
                        Zuvi_SimpleArrayNone<ZuFileAttInfo>& infos)
{
    if (sort_object.IsInvalid())
        return false;
    const ZuiFileSort* sort = static_cast<const ZuiFileSort*>(
        sort_object.Resolve()->CastToInterface(&ZuiFileSort::interface));
    unsigned n = infos.RetCount();
    if (sort == nullptr || n == 0 || names.IsInvalid())
        return false;
    std::vector<unsigned> index(n);
    for (unsigned i = 0; i < n; ++i)
        index[i] = i;
    Sorter sorter{sort, names, infos, index, std::vector<unsigned>(n)};
    sorter.Run(0, n - 1);

    // Position k receives entry index[k], each record with its name.
    std::vector<ZuStringRef> sorted_names(n);
    std::vector<ZuFileAttInfo> sorted_infos(n);
    for (unsigned k = 0; k < n; ++k) {
        sorted_names[k] = names[index[k]].operator ZuStringRef();
        sorted_infos[k] = infos[index[k]];
    }
    for (unsigned k = 0; k < n; ++k) {
        names[k] = sorted_names[k];
        infos[k] = sorted_infos[k];
    }
    return true;
}
