#include "sd/common/sd_file.h"

#include "si/array.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/time.h"
#include "si/typeinfo.h"
#include "w32/dir.h"
#include "w32/env.h"
#include "w32/file.h"
#include "w32/kernel.h"
#include "w32/module.h"
#include "w32/registry.h"
#include "zoveda/gfxmemory.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

ZU_ENUM_REGISTER(Zuvi_FileOpenModeBit)
ZU_ENUM_REGISTER(Zuvi_FileToken)

Zuvi_PfxFunc<Zuvi_File> Zuvi_File::pfx_func = {0, {}, {}};

namespace {

// ---- Texts of strings ----------------------------------------------------

// The text of a string in a path buffer; false for a text that does not fit
// (an empty handle gives the empty text).
bool TakeText(const ZuStringRef& s, char* buffer)
{
    buffer[0] = '\0';
    if (s.IsInvalid())
        return true;
    return s->GetStringCopy(buffer, ZUVI_PATH_MAX);
}

void GiveText(ZuStringRef& s, const char* text)
{
    if (s.IsValid())
        s->SetString(text);
    else
        s = text;
}

// ---- Special directories -------------------------------------------------

struct SpecialDirectory {
    bool known = false;
    char text[ZUVI_PATH_MAX] = "";
};

SpecialDirectory library_dir, application_dir, fonts_dir;

// The folder of an operating-system file name in library syntax, or false.
bool FolderOf(const std::string& os_file, char* out)
{
    size_t slash = os_file.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : os_file.substr(0, slash);
    if (slash == 0)
        folder = "/";
    return Zuvi_ConvertFromOSName(folder.c_str(), out);
}

// ZUVI_DIR, read at each request so that it can change while the library
// runs, names the library directory in place of the folder beside the
// library's file; an empty value or one that is not a usable name is ignored.
bool OverriddenLibraryDirectory(char* out)
{
    char os[ZUVI_PATH_MAX];
    DWORD n = GetEnvironmentVariableA("ZUVI_DIR", os, sizeof os);
    if (n == 0 || n >= sizeof os)
        return false;
    std::string text(os);
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return Zuvi_ConvertFromOSName(text.c_str(), out) && out[0] != '\0';
}

const char* LibraryDirectory()
{
    static char overridden[ZUVI_PATH_MAX];
    if (OverriddenLibraryDirectory(overridden))
        return overridden;
    if (!library_dir.known) {
        char os[ZUVI_PATH_MAX];
        DWORD n = GetModuleFileNameA(GetModuleHandleA("Zuvi.1.0.dll"), os, sizeof os);
        char path[ZUVI_PATH_MAX];
        if (n > 0 && n < sizeof os && Zuvi_ConvertFromOSName(os, path)) {
            // The folder "Zuvi" beside the library's file.
            std::string text(path);
            size_t slash = text.rfind('/');
            if (slash != std::string::npos)
                text = text.substr(0, slash) + "/Zuvi";
            if (text.size() < ZUVI_PATH_MAX)
                std::strcpy(library_dir.text, text.c_str());
        }
        library_dir.known = true;
    }
    return library_dir.text;
}

const char* ApplicationDirectory()
{
    if (!application_dir.known) {
        // The program's file name is the first word of the command line,
        // in double quotes when it holds spaces.
        std::string line = GetCommandLineA();
        std::string program;
        if (!line.empty() && line[0] == '"') {
            size_t end = line.find('"', 1);
            program = line.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        } else {
            program = line.substr(0, line.find(' '));
        }
        if (!FolderOf(program, application_dir.text))
            application_dir.text[0] = '\0';
        application_dir.known = true;
    }
    return application_dir.text;
}

const char* FontsDirectory()
{
    // Tried again at each request until it can be read.
    if (!fonts_dir.known) {
        char os[ZUVI_PATH_MAX];
        if (Zuvi_GetSystemValue(
                "HKCU/Software/Microsoft/Windows/CurrentVersion/Explorer/Shell Folders/Fonts", os,
                sizeof os) &&
            Zuvi_ConvertFromOSName(os, fonts_dir.text))
            fonts_dir.known = true;
        else
            fonts_dir.text[0] = '\0';
    }
    return fonts_dir.text;
}

std::string CurrentDirectoryText()
{
    char path[ZUVI_PATH_MAX];
    char os[ZUVI_PATH_MAX];
    DWORD n = GetCurrentDirectoryA(sizeof os, os);
    if (n == 0 || n >= sizeof os || !Zuvi_ConvertFromOSName(os, path))
        return std::string();
    return path;
}

// ---- Kinds of paths ------------------------------------------------------

// "kind:path" gives the kind and the path; a text that begins with "/" or
// ".", has no ":", or has ":" as its second character is an ordinary file
// path as a whole.
void SplitKind(const char* text, std::string& kind, std::string& path)
{
    const char* colon = std::strchr(text, ':');
    if (text[0] == '/' || text[0] == '.' || colon == nullptr || colon == text + 1) {
        kind = "file";
        path = text;
    } else {
        kind.assign(text, colon - text);
        path = colon + 1;
    }
}

// ---- Expansion -----------------------------------------------------------

enum { TOKEN_ZUVI = 1, TOKEN_APP = 2, TOKEN_FONT = 3 };

bool Expand(const char* in, std::string& out, int alternative)
{
    if (alternative < 0)
        return false;
    unsigned rest = static_cast<unsigned>(alternative);
    out.clear();
    std::string current;
    for (const char* p = in; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        const char* close = std::strchr(p + 1, '%');
        int token = 0;
        if (close != nullptr) {
            std::string name(p + 1, close - p - 1);
            if (name == "Zuvi")
                token = TOKEN_ZUVI;
            else if (name == "app")
                token = TOKEN_APP;
            else if (name == "font")
                token = TOKEN_FONT;
        }
        if (token == 0) {
            // Not a variable: the "%" stands for itself.
            out += *p++;
            continue;
        }
        const char* replacement = "";
        unsigned digit;
        switch (token) {
        case TOKEN_ZUVI:
            digit = rest % 3;
            rest /= 3;
            replacement = digit == 0   ? LibraryDirectory()
                          : digit == 1 ? ApplicationDirectory()
                                       : nullptr;
            break;
        case TOKEN_APP:
            replacement = ApplicationDirectory();
            break;
        default:
            digit = rest % 4;
            rest /= 4;
            replacement = digit == 0   ? FontsDirectory()
                          : digit == 1 ? LibraryDirectory()
                          : digit == 2 ? ApplicationDirectory()
                                       : nullptr;
            break;
        }
        if (replacement == nullptr) {
            current = CurrentDirectoryText();
            replacement = current.c_str();
        }
        out += replacement;
        if (out.size() >= ZUVI_PATH_MAX)
            return false;
        p = close + 1;
    }
    return out.size() < ZUVI_PATH_MAX && rest == 0;
}

// ---- Kind atoms and start-up --------------------------------------------

// The names by which a path's kind is shown, registered at start-up as
// notification names of the file layer.
ZuAtomRef kind_atoms[10];
Zuvi_NotifyExport kind_dir(nullptr, "File_Dir", nullptr, &kind_atoms[0]);
Zuvi_NotifyExport kind_document(nullptr, "File_Document", nullptr, &kind_atoms[1]);
Zuvi_NotifyExport kind_volume(nullptr, "File_Volume", nullptr, &kind_atoms[2]);
Zuvi_NotifyExport kind_computer(nullptr, "File_Computer", nullptr, &kind_atoms[3]);
Zuvi_NotifyExport kind_desktop(nullptr, "File_Desktop", nullptr, &kind_atoms[4]);
Zuvi_NotifyExport kind_cd(nullptr, "File_VolumeCD", nullptr, &kind_atoms[5]);
Zuvi_NotifyExport kind_remote(nullptr, "File_VolumeRemote", nullptr, &kind_atoms[6]);
Zuvi_NotifyExport kind_fixed(nullptr, "File_VolumeFixed", nullptr, &kind_atoms[7]);
Zuvi_NotifyExport kind_removable(nullptr, "File_VolumeRemovable", nullptr, &kind_atoms[8]);
Zuvi_NotifyExport kind_floppy(nullptr, "File_VolumeFloppy", nullptr, &kind_atoms[9]);

ZuAtomRef KindAtom(const char* name)
{
    return ZuAtomRef(name);
}

// No system message boxes for critical errors or missing files; the
// special directories are known from the start.
void StartUp()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    FontsDirectory();
    LibraryDirectory();
    ApplicationDirectory();
    Zuvi_DesktopOSName();
}

Zuvi_NotifyExport start_up(nullptr, nullptr, nullptr, nullptr, &StartUp);

void FillPseudo(ZuFileAttInfo& info, ZuFileAttributes attributes)
{
    info = ZuFileAttInfo::empty;
    info.attributes = attributes;
}

} // namespace

// ---- System values -----------------------------------------------------------

bool Zuvi_GetSystemValue(const char* value_path, char* buffer, unsigned size)
{
    if (value_path == nullptr || buffer == nullptr || size == 0)
        return false;
    if (std::strncmp(value_path, "ENV/", 4) == 0) {
        DWORD n = GetEnvironmentVariableA(value_path + 4, buffer, size);
        return n != 0 && n < size;
    }
    HKEY root;
    if (std::strncmp(value_path, "HKCU/", 5) == 0)
        root = HKEY_CURRENT_USER;
    else if (std::strncmp(value_path, "HKLM/", 5) == 0)
        root = HKEY_LOCAL_MACHINE;
    else if (std::strncmp(value_path, "HKCR/", 5) == 0)
        root = HKEY_CLASSES_ROOT;
    else
        return false;
    std::string rest(value_path + 5);
    size_t last = rest.rfind('/');
    std::string keys = last == std::string::npos ? std::string() : rest.substr(0, last);
    std::string value = last == std::string::npos ? rest : rest.substr(last + 1);
    HKEY key = root;
    size_t i = 0;
    while (i < keys.size()) {
        size_t end = keys.find('/', i);
        if (end == std::string::npos)
            end = keys.size();
        HKEY next;
        if (RegOpenKeyExA(key, keys.substr(i, end - i).c_str(), 0, KEY_READ, &next) !=
            ERROR_SUCCESS) {
            if (key != root)
                RegCloseKey(key);
            return false;
        }
        if (key != root)
            RegCloseKey(key);
        key = next;
        i = end + 1;
    }
    DWORD type = 0;
    DWORD got = size;
    LSTATUS status =
        RegQueryValueExA(key, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got);
    if (key != root)
        RegCloseKey(key);
    return status == ERROR_SUCCESS && got > 0 && got <= size && buffer[got - 1] == '\0';
}

// ---- The file object ---------------------------------------------------------

Zuvi_File::Zuvi_File() {}

Zuvi_File::~Zuvi_File() {}

bool Zuvi_File::Truncate()
{
    return false;
}

bool Zuvi_File::Resize(int64_t)
{
    return false;
}

bool Zuvi_File::Synchronise()
{
    return true;
}

void* Zuvi_File::MapSharedMemory(int64_t, unsigned, const ZuStringRef&)
{
    return nullptr;
}

bool Zuvi_File::UnmapSharedMemory()
{
    return false;
}

bool Zuvi_File::SynchroniseSharedMemory(void*, unsigned)
{
    return false;
}

// ---- Factory -----------------------------------------------------------------

void Zuvi_File::RegisterClassAllocator(Zuvi_File* (*allocator)(ZuMemZone*), const char* kind)
{
    pfx_func.Register(allocator, kind);
}

Zuvi_File* Zuvi_File::Open(const ZuStringRef& path, const Zuvi_FileOpenModes& modes)
{
    char text[ZUVI_PATH_MAX];
    if (!TakeText(path, text))
        return nullptr;
    std::string kind, rest;
    SplitKind(text, kind, rest);
    Zuvi_PfxFunc<Zuvi_File>::Allocator allocator = pfx_func.Find(kind.c_str());
    if (allocator == nullptr)
        return nullptr;
    Zuvi_File* file = allocator(Zuvi_temp_zone);
    if (file == nullptr)
        return nullptr;
    ZuStringRef variables(rest.c_str());
    ZuStringRef expanded;
    for (int alternative = 0;; ++alternative) {
        if (!ExpandPath(variables, expanded, alternative))
            break;
        char candidate[ZUVI_PATH_MAX];
        if (TakeText(expanded, candidate) && file->Open(candidate, modes))
            return file;
    }
    file->~Zuvi_File();
    ZuMemZone::FreeAnyZone(file, __LINE__, ZU_SRC_FILE);
    return nullptr;
}

bool Zuvi_File::Close(Zuvi_File*& file)
{
    if (file == nullptr)
        return false;
    bool ok = file->Close();
    file->~Zuvi_File();
    ZuMemZone::FreeAnyZone(file, __LINE__, ZU_SRC_FILE);
    file = nullptr;
    return ok;
}

// ---- Replacing a whole file -----------------------------------------------------

Zuvi_File* Zuvi_File::OpenReplacement(const ZuStringRef& path, ZuStringRef& target,
                                      ZuStringRef& temporary)
{
    char text[ZUVI_PATH_MAX];
    if (!TakeText(path, text) || text[0] == '\0')
        return nullptr;
    std::string kind, rest;
    SplitKind(text, kind, rest);
    if (kind != "file")
        return nullptr;
    Zuvi_PfxFunc<Zuvi_File>::Allocator allocator = pfx_func.Find(kind.c_str());
    if (allocator == nullptr)
        return nullptr;
    Zuvi_File* file = allocator(Zuvi_temp_zone);
    if (file == nullptr)
        return nullptr;
    // The process and a counter make the name unique among the saves of
    // this machine; the name says what left it there if a killed process
    // could not remove it.
    static std::atomic<unsigned> counter{0};
    Zuvi_FileOpenModes modes{ZU_FOPEN_WRITE, ZU_FOPEN_CREATE};
    modes.SetBit(ZU_FOPEN_TRUNCATE);
    ZuStringRef variables(rest.c_str());
    ZuStringRef expanded;
    for (int alternative = 0; ExpandPath(variables, expanded, alternative); ++alternative) {
        char candidate[ZUVI_PATH_MAX];
        if (!TakeText(expanded, candidate) || candidate[0] == '\0')
            continue;
        char temp[ZUVI_PATH_MAX];
        int n = std::snprintf(temp, sizeof temp, "%s.%lu-%u.saving", candidate,
                              static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        if (n < 0 || n >= int(sizeof temp))
            continue;
        if (file->Open(temp, modes)) {
            target = ZuStringRef(candidate);
            temporary = ZuStringRef(temp);
            return file;
        }
    }
    file->~Zuvi_File();
    ZuMemZone::FreeAnyZone(file, __LINE__, ZU_SRC_FILE);
    return nullptr;
}

bool Zuvi_File::CommitReplacement(Zuvi_File*& file, const ZuStringRef& temporary,
                                  const ZuStringRef& target)
{
    if (file == nullptr) {
        DeleteFileA(temporary);
        return false;
    }
    bool ok = file->Synchronise();
    // A close can report a write that failed late.
    if (!Close(file))
        ok = false;
    if (ok) {
        char from[ZUVI_PATH_MAX], to[ZUVI_PATH_MAX];
        char os_from[ZUVI_PATH_MAX], os_to[ZUVI_PATH_MAX];
        ok = TakeText(temporary, from) && TakeText(target, to) &&
             Zuvi_ConvertToOSName(from, os_from) && Zuvi_ConvertToOSName(to, os_to) &&
             os_from[0] != '\0' && os_to[0] != '\0' &&
             ::MoveFileExA(os_from, os_to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
                 FALSE;
    }
    if (!ok)
        DeleteFileA(temporary);
    return ok;
}

void Zuvi_File::AbandonReplacement(Zuvi_File*& file, const ZuStringRef& temporary)
{
    Close(file);
    DeleteFileA(temporary);
}

// ---- Paths and directories ---------------------------------------------------

ZuStringRef Zuvi_File::RetSpecialDirectory(Zuvi_FileToken token)
{
    switch (static_cast<unsigned>(token)) {
    case ZU_FILE_TOKEN_ZUVI:
        return ZuStringRef(LibraryDirectory());
    case ZU_FILE_TOKEN_APP:
        return ZuStringRef(ApplicationDirectory());
    case ZU_FILE_TOKEN_FONT:
        return ZuStringRef(FontsDirectory());
    case ZU_FILE_TOKEN_DESKTOP:
        return ZuStringRef("$desktop$");
    default:
        return ZuStringRef("");
    }
}

bool Zuvi_File::ExpandPath(const ZuStringRef& path, ZuStringRef& expanded, int alternative)
{
    char text[ZUVI_PATH_MAX];
    if (!TakeText(path, text))
        return false;
    std::string out;
    if (!Expand(text, out, alternative))
        return false;
    GiveText(expanded, out.c_str());
    return true;
}

bool Zuvi_File::Properties(const ZuStringRef& path, ZuFileAttInfo& info)
{
    ZuAtomRef scratch;
    return Properties(path, info, scratch, false);
}

bool Zuvi_File::Properties(const ZuStringRef& path, ZuFileAttInfo& info, ZuAtomRef& kind,
                           bool want_kind)
{
    char text[ZUVI_PATH_MAX];
    if (!TakeText(path, text))
        return false;
    if (text[0] == '\0' || std::strcmp(text, "/") == 0)
        std::strcpy(text, "$desktop$");
    const char* pseudo = std::strcmp(text, "$desktop$") == 0  ? "File_Desktop"
                         : std::strcmp(text, "$drives$") == 0 ? "File_Computer"
                                                              : nullptr;
    if (pseudo != nullptr) {
        FillPseudo(info, ZuFileAttributes{ZU_FATT_DIRECTORY, ZU_FATT_PSEUDO, ZU_FATT_CUSTOM_ICON});
        if (want_kind)
            kind = KindAtom(pseudo);
        return true;
    }
    char os[ZUVI_PATH_MAX];
    if (!Zuvi_ConvertToOSName(text, os) || os[0] == '\0')
        return false;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(os, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    Zuvi_FillFileAttInfo(data, info);
    if (want_kind)
        kind = KindAtom(info.attributes.TestBit(ZU_FATT_DIRECTORY) ? "File_Dir" : "File_Document");
    return true;
}

namespace {

template <class F>
bool WithOSName(const ZuStringRef& path, F call)
{
    char text[ZUVI_PATH_MAX];
    char os[ZUVI_PATH_MAX];
    if (!TakeText(path, text) || !Zuvi_ConvertToOSName(text, os) || os[0] == '\0')
        return false;
    return call(os);
}

} // namespace

bool Zuvi_File::DeleteFileA(const ZuStringRef& path)
{
    return WithOSName(path, [](const char* os) { return ::DeleteFileA(os) != FALSE; });
}

bool Zuvi_File::CreateDirectoryA(const ZuStringRef& path)
{
    return WithOSName(path,
                      [](const char* os) { return ::CreateDirectoryA(os, nullptr) != FALSE; });
}

bool Zuvi_File::DeleteDirectory(const ZuStringRef& path)
{
    return WithOSName(path, [](const char* os) { return ::RemoveDirectoryA(os) != FALSE; });
}

bool Zuvi_File::SetCurrentDirectoryA(const ZuStringRef& path)
{
    return WithOSName(path, [](const char* os) { return ::SetCurrentDirectoryA(os) != FALSE; });
}

ZuStringRef Zuvi_File::RetCurrentDirectory()
{
    return ZuStringRef(CurrentDirectoryText().c_str());
}

// ---- Filling attribute records -------------------------------------------------

namespace {

int64_t AbsTimeOf(const FILETIME& utc)
{
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        return 0;
    return ZuTime::DateTimeToAbsTime(st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute, st.wSecond,
                                     st.wMilliseconds);
}

} // namespace

void Zuvi_FillFileAttInfo(const WIN32_FIND_DATAA& data, ZuFileAttInfo& info)
{
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.time_created = AbsTimeOf(data.ftCreationTime);
    info.time_modified = AbsTimeOf(data.ftLastWriteTime);
    info.time_accessed = AbsTimeOf(data.ftLastAccessTime);
    ZuFileAttributes att{ZU_FATT_READ_OK, ZU_FATT_WRITE_OK};
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        att.SetBit(ZU_FATT_DIRECTORY);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)
        att.SetBit(ZU_FATT_HIDDEN);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM)
        att.SetBit(ZU_FATT_SYSTEM);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        att.ClearBit(ZU_FATT_WRITE_OK);
    info.attributes = att;
}

// ---- Graphics engine hooks -----------------------------------------------------

namespace {

void* GfxAlloc(void*, unsigned long size)
{
    return std::malloc(size);
}

void GfxFree(void*, void* ptr)
{
    std::free(ptr);
}

} // namespace

void Zuvi_SetGfxMemoryHooks()
{
    GfxMemory::arg = nullptr;
    GfxMemory::fn_alloc = &GfxAlloc;
    GfxMemory::fn_free = &GfxFree;
}

// ---- Path operations -----------------------------------------------------------

namespace {

unsigned Length(const ZuStringRef& s)
{
    return s.IsValid() ? s->CharacterCount() : 0;
}

ZuStringArray NewStringArray()
{
    return ZuStringArray(static_cast<ZuArray*>(
        ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, ZU_SRC_FILE)));
}

// Is the element [start, start + n) of `s` the text `dots` ("." or "..")?
bool IsDots(const ZuStringRef& s, unsigned start, unsigned n, unsigned dots)
{
    if (n != dots)
        return false;
    for (unsigned i = 0; i < n; ++i)
        if (s->RetCharacter(start + i) != '.')
            return false;
    return true;
}

} // namespace

bool Zuvi_File::SplitPath(const ZuStringRef& path_in, ZuStringArray& elements,
                          unsigned short separator)
{
    if (elements.IsInvalid())
        elements = NewStringArray();
    elements->SetSize(0);
    if (path_in.IsInvalid())
        return true;
    ZuStringRef path = path_in;
    bool relative_done = false;
    unsigned count;
    for (;;) {
        count = 0;
        elements->SetSize(0);
        unsigned len = path->CharacterCount();
        unsigned i = (len > 0 && path->RetCharacter(0) == separator) ? 1 : 0;
        bool restart = false;
        for (;;) {
            unsigned end = i;
            bool more = path->Find(separator, end, 1);
            if (!more)
                end = len;
            unsigned n = end - i;
            if (IsDots(path, i, n, 2)) {
                if (count > 0)
                    elements->SetSize(--count);
            } else if (n == 0 || IsDots(path, i, n, 1)) {
                if (more && count == 0 && !relative_done) {
                    // The path goes on from the current directory.
                    ZuStringRef rest;
                    path->MakeMiddle(end, len - end, rest);
                    ZuStringRef joined(CurrentDirectoryText().c_str());
                    joined->AppendString(rest);
                    path = joined;
                    relative_done = true;
                    restart = true;
                    break;
                }
            } else {
                ZuStringRef element;
                path->MakeMiddle(i, n, element);
                elements->SetSize(count + 1);
                elements[count++] = element;
            }
            if (!more)
                break;
            i = end + 1;
        }
        if (!restart)
            break;
    }
    return true;
}

bool Zuvi_File::SplitPathAndGetIcons(const ZuStringRef& path, ZuStringArray& elements,
                                     ZuAtomArray& kinds, unsigned short separator)
{
    SplitPath(path, elements, separator);
    if (kinds.IsInvalid())
        kinds = ZuAtomArray(static_cast<ZuArray*>(
            ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, ZU_SRC_FILE)));
    unsigned n = elements->TotalCount();
    kinds->SetSize(n);
    ZuStringRef so_far("");
    for (unsigned i = 0; i < n; ++i) {
        AppendPath(so_far, elements[i], '/');
        ZuFileAttInfo info;
        ZuAtomRef kind;
        if (Properties(so_far, info, kind, true))
            kinds[i] = kind;
    }
    return true;
}

unsigned Zuvi_File::CountPathElements(const ZuStringRef& path, unsigned short separator)
{
    if (path.IsInvalid())
        return 0;
    unsigned n = 1;
    unsigned len = path->CharacterCount();
    for (unsigned i = 0; i < len; ++i)
        if (path->RetCharacter(i) == separator)
            ++n;
    return n;
}

bool Zuvi_File::MergePath(const ZuStringArray& elements, ZuStringRef& path,
                          unsigned short separator)
{
    ZuStringRef merged("");
    unsigned n = elements.IsValid() ? elements->TotalCount() : 0;
    unsigned short sep[2] = {separator, 0};
    for (unsigned i = 0; i < n; ++i) {
        if (i > 0) {
            if (separator < 256) {
                char narrow[2] = {static_cast<char>(separator), 0};
                merged->AppendString(narrow);
            } else {
                merged->AppendString(sep);
            }
        }
        if (elements[i].IsValid())
            merged->AppendString(elements[i]);
    }
    if (path.IsValid())
        path->SetString(merged);
    else
        path = merged;
    return true;
}

bool Zuvi_File::AppendPath(ZuStringRef& path, const ZuStringRef& element, unsigned short separator)
{
    if (path.IsInvalid() || Length(element) == 0)
        return true;
    unsigned len = path->CharacterCount();
    if (len > 0 && path->RetCharacter(len - 1) != separator) {
        if (separator < 256) {
            char narrow[2] = {static_cast<char>(separator), 0};
            path->AppendString(narrow);
        } else {
            unsigned short wide[2] = {separator, 0};
            path->AppendString(wide);
        }
    }
    path->AppendString(element);
    // Normalise when the result holds "..", a separator before "." or "."
    // before a separator.
    len = path->CharacterCount();
    bool normalise = false;
    for (unsigned i = 0; i + 1 < len && !normalise; ++i) {
        unsigned short a = path->RetCharacter(i), b = path->RetCharacter(i + 1);
        normalise =
            (a == '.' && b == '.') || (a == separator && b == '.') || (a == '.' && b == separator);
    }
    if (normalise) {
        ZuStringArray elements;
        SplitPath(path, elements, separator);
        MergePath(elements, path, separator);
    }
    return true;
}

bool Zuvi_File::ExtractTypePosLength(const ZuStringRef& name, unsigned& position, unsigned& length,
                                     unsigned which)
{
    if (name.IsInvalid())
        return false;
    unsigned len = name->CharacterCount();
    unsigned from = len;
    unsigned dot = 0;
    unsigned next = len; // the dot after the type, or the end
    for (unsigned k = 0; k <= which; ++k) {
        unsigned pos = from;
        if (!name->Find(static_cast<unsigned short>('.'), pos, -1))
            return false;
        if (pos + 1 == len || pos == 0)
            return false;
        if (k < which)
            next = pos;
        dot = pos;
        from = pos;
    }
    position = dot + 1;
    length = next - position;
    return true;
}

bool Zuvi_File::ExtractType(const ZuStringRef& name, ZuStringRef& type, unsigned which)
{
    unsigned position, length;
    if (!ExtractTypePosLength(name, position, length, which))
        return false;
    return name->MakeMiddle(position, length, type);
}

unsigned Zuvi_File::RetBaseNameLength(const ZuStringRef& name)
{
    unsigned len = Length(name);
    if (len == 0)
        return 0;
    unsigned pos = len;
    if (name->Find(static_cast<unsigned short>('.'), pos, -1) && pos + 1 != len)
        return pos;
    return len;
}
