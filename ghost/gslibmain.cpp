#include "ghost/gslibmain.h"

#include "sd/common/sd_file.h"
#include "sd/common/sd_filename.h"
#include "sd/win32/sd_system.h"
#include "si/string.h"
#include "si/typedef.h"
#include "si/values.h"
#include "w32/debug.h"
#include "w32/module.h"

#include <ghostscript/gdevdsp.h>
#include <ghostscript/iapi.h>
#include <ghostscript/ierrors.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

ZU_ENUM_REGISTER(GSViewType)
ZU_TYPE_REGISTER(GSLogCoord, "GSLogCoord", &Real_type, ZU_TYPE_REAL, nullptr, 8)
ZU_TYPE_REGISTER(GSDevCoord, "GSDevCoord", &Card32_type, ZU_TYPE_CARD, nullptr, 4)

GSLogCoord Zuvi_ValueToGSLogCoord(const ZuValueRef& value)
{
    return Zuvi_ValueToReal(value);
}

GSDevCoord Zuvi_ValueToGSDevCoord(const ZuValueRef& value)
{
    return Zuvi_ValueToCard32(value);
}

// The entry points of the interpreter's library, found by name.
struct GSLibApi {
    HMODULE module;
    int (*new_instance)(void**, void*);
    void (*delete_instance)(void*);
    int (*set_stdio)(void*, int (*)(void*, char*, int), int (*)(void*, const char*, int),
                     int (*)(void*, const char*, int));
    int (*register_callout)(void*, gs_callout, void*);
    int (*set_arg_encoding)(void*, int);
    int (*init_with_args)(void*, int, char**);
    int (*run_string_begin)(void*, int, int*);
    int (*run_string_continue)(void*, const char*, unsigned int, int, int*);
    int (*run_string_end)(void*, int, int*);
    int (*exit)(void*);
    int (*add_control_path)(void*, int, const char*);
    int (*remove_control_path)(void*, int, const char*);
};

namespace {

GSLib* the_lib = nullptr;
bool lazy_result = false;

const char kLibraryName[] = "libgs.so.10";

// What the error handler of the running text writes on the standard error,
// followed by the error's code.
const char kCaughtMark[] = "\001zuvi-error ";
const size_t kCaughtMarkLength = sizeof kCaughtMark - 1;

// The running text is read inside a `stopped`, so that an error unwinds to
// it: the handler prints the report the interpreter prints for an error
// nobody catches, passes the error's code to the binding and closes the
// text, which ends the run. Without it an error would leave the run's frames
// on the execution stack for good, and each later error would copy them all
// again (after hundreds of errors every error would take milliseconds).
const char kRunText[] =
    "{ { currentfile cvx exec } stopped {\n"
    "(Unrecoverable error: ) print $error /errorname get =only flush\n"
    "( in ) print $error /command get = flush\n"
    "count 0 gt { (Operand stack:\\n  ) print\n"
    "count 1 sub -1 0 { (  ) print index =only flush } for () = flush } if\n"
    "$error /newerror //false put\n"
    "-1 0 1 ErrorNames length 1 sub { dup ErrorNames exch get $error /errorname get eq\n"
    "{ not exch pop exit } { pop } ifelse } for\n"
    "(%stderr) (w) file dup flushfile dup (\\001zuvi-error ) writestring\n"
    "dup 3 -1 roll 12 string cvs writestring flushfile\n"
    "currentfile closefile } if exit } loop\n";

// ---- Callbacks of the interpreter. The process has one interpreter object
// (Init refuses a second), and they reach it through the process-wide
// pointer. ----

int StdIn(void*, char*, int)
{
    return the_lib ? the_lib->Callback(GSLib::GS_MESSAGE_STDIN, nullptr, 0) : 0;
}

int StdOut(void*, const char* text, int length)
{
    if (!the_lib || length <= 0)
        return length;
    return the_lib->Callback(GSLib::GS_MESSAGE_STDOUT, const_cast<char*>(text),
                             static_cast<unsigned long>(length));
}

// Warnings on the standard error go to the debugger output: the capture holds
// only what PostScript printed (answers and error reports), which the port
// reads back.
int StdErr(void*, const char* text, int length)
{
    if (text && length > 0) {
        // The running text's error handler reports the code of the error it
        // caught; that report is the binding's, not a warning.
        const void* mark =
            memmem(text, static_cast<size_t>(length), kCaughtMark, kCaughtMarkLength);
        if (mark) {
            const char* at = static_cast<const char*>(mark) + kCaughtMarkLength;
            const char* end = text + length;
            int code = 0;
            bool negative = at < end && *at == '-';
            if (negative)
                ++at;
            for (; at < end && *at >= '0' && *at <= '9' && code < 100000; ++at)
                code = code * 10 + (*at - '0');
            if (the_lib)
                the_lib->NoteCaughtError(negative ? -code : code);
            return length;
        }
    }
    char line[512];
    for (int at = 0; text && at < length;) {
        int n = length - at < static_cast<int>(sizeof line) - 1 ? length - at
                                                                : static_cast<int>(sizeof line) - 1;
        std::memcpy(line, text + at, static_cast<size_t>(n));
        line[n] = '\0';
        OutputDebugStringA(line);
        at += n;
    }
    return length;
}

int DisplayOpen(void*, void* device)
{
    if (the_lib)
        the_lib->Callback(GSLib::GS_MESSAGE_DEVICE, static_cast<char*>(device), 1);
    return 0;
}

int DisplayPreclose(void*, void*)
{
    return 0;
}

int DisplayClose(void*, void* device)
{
    if (the_lib) {
        the_lib->NoteDisplaySize(device, 0, 0, 0, nullptr);
        the_lib->Callback(GSLib::GS_MESSAGE_DEVICE, static_cast<char*>(device), 0);
    }
    return 0;
}

int DisplayPresize(void*, void* device, int, int, int, unsigned int)
{
    // The bitmap is about to move: nobody reads it until the new size comes.
    if (the_lib)
        the_lib->NoteDisplaySize(device, 0, 0, 0, nullptr);
    return 0;
}

int DisplaySize(void*, void* device, int width, int height, int raster, unsigned int,
                unsigned char* image)
{
    if (the_lib)
        the_lib->NoteDisplaySize(device, width, height, raster, image);
    return 0;
}

int DisplaySync(void*, void*)
{
    return 0;
}

int DisplayPage(void*, void*, int, int)
{
    return 0;
}

display_callback display_callbacks = {sizeof(display_callback),
                                      DISPLAY_VERSION_MAJOR,
                                      DISPLAY_VERSION_MINOR,
                                      DisplayOpen,
                                      DisplayPreclose,
                                      DisplayClose,
                                      DisplayPresize,
                                      DisplaySize,
                                      DisplaySync,
                                      DisplayPage,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr};

int Callout(void*, void*, const char*, int id, int size, void* data)
{
    if (id != DISPLAY_CALLOUT_GET_CALLBACK || data == nullptr ||
        size < static_cast<int>(sizeof(gs_display_get_callback_t)))
        return -1;
    gs_display_get_callback_t* answer = static_cast<gs_display_get_callback_t*>(data);
    answer->callback = &display_callbacks;
    answer->caller_handle = nullptr;
    return 0;
}

template <class F>
bool Bind(HMODULE module, const char* name, F& out)
{
    out = reinterpret_cast<F>(GetProcAddress(module, name));
    return out != nullptr;
}

} // namespace

GSLib::GSLib()
    : initialised(false), last_result(0), caught_error(0), device(nullptr), output_head(nullptr),
      output_tail(nullptr), output_length(0), api(nullptr), instance(nullptr),
      display_device(nullptr), display_image(nullptr), display_width(0), display_height(0),
      display_raster(0), lock_count(0)
{
    error_text[0] = '\0';
}

GSLib::~GSLib()
{
    ClearOutput();
    Stop();
    if (api) {
        if (api->module)
            FreeLibrary(api->module);
        std::free(api);
    }
    if (the_lib == this)
        the_lib = nullptr;
}

void GSLib::SetError(const char* format, int value)
{
    std::snprintf(error_text, sizeof error_text, format, value);
}

bool GSLib::Load()
{
    if (api)
        return api->module != nullptr;
    api = static_cast<GSLibApi*>(std::calloc(1, sizeof(GSLibApi)));
    if (!api)
        return false;
    HMODULE module = LoadLibraryA(kLibraryName);
    if (!module)
        return false;
    bool bound = Bind(module, "gsapi_new_instance", api->new_instance) &&
                 Bind(module, "gsapi_delete_instance", api->delete_instance) &&
                 Bind(module, "gsapi_set_stdio", api->set_stdio) &&
                 Bind(module, "gsapi_register_callout", api->register_callout) &&
                 Bind(module, "gsapi_set_arg_encoding", api->set_arg_encoding) &&
                 Bind(module, "gsapi_init_with_args", api->init_with_args) &&
                 Bind(module, "gsapi_run_string_begin", api->run_string_begin) &&
                 Bind(module, "gsapi_run_string_continue", api->run_string_continue) &&
                 Bind(module, "gsapi_run_string_end", api->run_string_end) &&
                 Bind(module, "gsapi_exit", api->exit) &&
                 Bind(module, "gsapi_add_control_path", api->add_control_path) &&
                 Bind(module, "gsapi_remove_control_path", api->remove_control_path);
    if (!bound) {
        FreeLibrary(module);
        return false;
    }
    api->module = module;
    return true;
}

void GSLib::Stop()
{
    if (!api || !instance)
        return;
    api->exit(instance);
    api->delete_instance(instance);
    instance = nullptr;
    initialised = false;
    display_device = nullptr;
    display_image = nullptr;
    display_width = display_height = display_raster = 0;
}

int GSLib::Init(int argc, char** argv)
{
    last_result = 0;
    if (initialised) {
        std::snprintf(error_text, sizeof error_text, "%s", "Already initialized");
        return 1;
    }
    if (!Load()) {
        std::snprintf(error_text, sizeof error_text, "%s", "GhostScript DLL not found");
        return 1;
    }
    if (!instance) {
        // The interpreter answers the callbacks of one instance only.
        if (the_lib && the_lib != this) {
            std::snprintf(error_text, sizeof error_text, "%s", "GhostScript DLL already in use");
            return 100;
        }
        the_lib = this;
        if (api->new_instance(&instance, this) < 0 || !instance) {
            instance = nullptr;
            std::snprintf(error_text, sizeof error_text, "%s", "GhostScript DLL already in use");
            return 100;
        }
        api->set_stdio(instance, StdIn, StdOut, StdErr);
        api->register_callout(instance, Callout, this);
        api->set_arg_encoding(instance, GS_ARG_ENCODING_UTF8);
        int r = api->init_with_args(instance, argc, argv);
        if (r != 0) {
            SetError("GhostScript gsdll_init returns %d\n", r);
            Stop();
            return r;
        }
    }
    int r = BeginRun();
    if (r != 0) {
        SetError("GhostScript gsdll_execute_begin returns %d", r);
        return r;
    }
    initialised = true;
    // The display device under a name of its own: the contexts install it
    // again after other devices were current. Beside it the dictionaries
    // where the contexts keep their states and devices under their numbers,
    // out of the dictionary stack: what the contexts take out leaves no
    // deleted entries there for every name lookup to step over.
    static const char name_display[] = "/.zuvi.display currentdevice def\n"
                                       "/.zuvi.states 64 dict def /.zuvi.devices 16 dict def\n";
    Execute(name_display, static_cast<int>(sizeof name_display - 1));
    return 0;
}

int GSLib::BeginRun()
{
    int exit_code = 0;
    int r = api->run_string_begin(instance, 0, &exit_code);
    if (r != 0)
        return r;
    r = api->run_string_continue(instance, kRunText, static_cast<unsigned>(sizeof kRunText - 1), 0,
                                 &exit_code);
    return r == gs_error_NeedInput ? 0 : r;
}

int GSLib::Execute(const char* text, int length)
{
    if (!initialised) {
        std::snprintf(error_text, sizeof error_text, "%s", "GhostScript not initialised");
        return 1;
    }
    if (!text || length < 0)
        length = 0;
    int exit_code = 0;
    caught_error = 0;
    int r = length > 0 ? api->run_string_continue(instance, text, static_cast<unsigned>(length), 0,
                                                  &exit_code)
                       : gs_error_NeedInput;
    // Text that ran completely leaves the run waiting for more. A run that
    // answers 0 has ended: its handler caught an error and closed the text,
    // or the text closed itself.
    const bool ended = r == 0;
    if (r == gs_error_NeedInput)
        r = 0;
    if (r == gs_error_Quit || r == gs_error_Fatal || r == gs_error_InterpreterExit) {
        // The interpreter has ended: nothing more can run.
        SetError("GhostScript gsdll_execute_cont returns %d", r);
        last_result = r;
        initialised = false;
        return r;
    }
    if (caught_error != 0)
        r = caught_error;
    if (ended) {
        // The next text runs afresh.
        if (BeginRun() != 0)
            initialised = false;
    } else if (r != 0) {
        // An error the run's handler did not catch leaves the run spoiled:
        // later text would be taken as data. Ending it and beginning
        // another mends that.
        api->run_string_end(instance, 0, &exit_code);
        if (BeginRun() != 0)
            initialised = false;
    }
    last_result = r;
    return r;
}

bool GSLib::PermitPath(FileAccess access, const char* path)
{
    if (!api || !instance || !path || !*path)
        return false;
    return api->add_control_path(instance, static_cast<int>(access), path) == 0;
}

bool GSLib::RevokePath(FileAccess access, const char* path)
{
    if (!api || !instance || !path || !*path)
        return false;
    return api->remove_control_path(instance, static_cast<int>(access), path) == 0;
}

void* GSLib::TakeDevice()
{
    void* taken = device;
    device = nullptr;
    return taken;
}

int GSLib::GetErrorText(char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    int limit =
        size < static_cast<int>(sizeof error_text) ? size : static_cast<int>(sizeof error_text);
    int n = 0;
    while (n < limit - 1 && error_text[n] != '\0') {
        buffer[n] = error_text[n];
        ++n;
    }
    buffer[n] = '\0';
    return 0;
}

void GSLib::LockDevice(void*)
{
    // The interpreter draws only inside Execute, on the caller's thread: the
    // bitmap holds still between calls. The count shows balanced use.
    ++lock_count;
}

void GSLib::UnlockDevice(void*)
{
    if (lock_count > 0)
        --lock_count;
}

void GSLib::GetBitmapRow(void* dev, unsigned char** row, int number)
{
    if (!row)
        return;
    *row = nullptr;
    if (!dev || dev != display_device || !display_image || number < 0 || number >= display_height)
        return;
    *row = display_image + static_cast<size_t>(number) * static_cast<size_t>(display_raster);
}

bool GSLib::ReadOutput(char* buffer, int size)
{
    if (size < output_length || (!buffer && output_length > 0))
        return false;
    int at = 0;
    for (Chunk* c = output_head; c; c = c->next) {
        std::memcpy(buffer + at, c->bytes, static_cast<size_t>(c->length));
        at += c->length;
    }
    if (buffer && size > output_length)
        buffer[output_length] = '\0';
    return ClearOutput();
}

bool GSLib::ClearOutput()
{
    Chunk* c = output_head;
    while (c) {
        Chunk* next = c->next;
        std::free(c);
        c = next;
    }
    output_head = output_tail = nullptr;
    output_length = 0;
    return true;
}

int GSLib::Callback(int message, char* text, unsigned long count)
{
    switch (message) {
    case GS_MESSAGE_STDIN:
        return 0;
    case GS_MESSAGE_STDOUT: {
        if (!text || count == 0)
            return 0;
        // The count of captured bytes stays a 32-bit number.
        if (count > static_cast<unsigned long>(0x7fffffff - output_length))
            return static_cast<int>(count);
        Chunk* c = static_cast<Chunk*>(std::malloc(offsetof(Chunk, bytes) + count));
        if (!c)
            return static_cast<int>(count);
        c->next = nullptr;
        c->length = static_cast<int>(count);
        std::memcpy(c->bytes, text, count);
        if (output_tail)
            output_tail->next = c;
        else
            output_head = c;
        output_tail = c;
        output_length += static_cast<int>(count);
        return static_cast<int>(count);
    }
    case GS_MESSAGE_DEVICE:
        if (count != 0) {
            device = text;
            display_device = text;
        } else {
            device = nullptr;
            if (display_device == text)
                display_device = nullptr;
        }
        return 0;
    default:
        return 0;
    }
}

void GSLib::NoteDisplaySize(void* dev, int width, int height, int raster, unsigned char* image)
{
    display_device = dev;
    display_image = image;
    display_width = image ? width : 0;
    display_height = image ? height : 0;
    display_raster = image ? raster : 0;
}

// ---- Start ----

int GSBuildArguments(char** argv, int max, char* storage, int storage_size)
{
    char dir[ZUVI_PATH_MAX];
    dir[0] = '\0';
    ZuStringRef zuvi = Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI);
    char library[ZUVI_PATH_MAX];
    library[0] = '\0';
    if (zuvi.IsValid())
        zuvi->GetStringCopy(library, sizeof library);
    if (!Zuvi_ConvertToOSName(library, dir))
        std::snprintf(dir, sizeof dir, "%s", library);
    // In the sandbox: the fonts folder is read, and the binding permits
    // each file it has the interpreter write while it is written.
    const char* fixed[] = {
        "gs",   nullptr,   nullptr,   nullptr,      "-sDEVICE=display", "-dDisplayFormat=16#30804",
        "-r72", "-dSAFER", "-dQUIET", "-dNOPROMPT", "-dNOPAUSE"};
    const int count = static_cast<int>(sizeof fixed / sizeof fixed[0]);
    if (max < count)
        return 0;
    int used = 0;
    for (int i = 0; i < count; ++i) {
        int room = storage_size - used;
        int n;
        if (i == 1)
            n = std::snprintf(storage + used, static_cast<size_t>(room), "-I%s/gs", dir);
        else if (i == 2)
            n = std::snprintf(storage + used, static_cast<size_t>(room), "-I%s/gs/fonts", dir);
        else if (i == 3)
            n = std::snprintf(storage + used, static_cast<size_t>(room),
                              "--permit-file-read=%s/gs/fonts/*", dir);
        else
            n = std::snprintf(storage + used, static_cast<size_t>(room), "%s", fixed[i]);
        if (n < 0 || n >= room)
            return 0;
        argv[i] = storage + used;
        used += n + 1;
    }
    return count;
}

namespace {

char start_storage[4 * ZUVI_PATH_MAX];
char* start_argv[16];

// The start begun by GSStartEarly. Only the program's thread touches the
// job; the result is read after the wait, which orders it. A process that
// ends while the interpreter is still starting waits for it rather than
// unloading code under it (the job's destructor).
struct EarlyStart {
    Zuvi_ThreadJob job;
    GSLib* lib = nullptr;
    int argc = 0;
    bool started = false;
} early;

void RunEarlyStart(void*)
{
    early.started = early.lib->Init(early.argc, start_argv) == 0;
}

// The load begun by GSLoadEarly. The handle is kept, never freed: the
// interpreter's own load takes the same library again, and it stays for the
// whole process.
struct EarlyLoad {
    Zuvi_ThreadJob job;
    HMODULE module = nullptr;
} early_load;

void RunEarlyLoad(void*)
{
    early_load.module = LoadLibraryA(kLibraryName);
}

void FinishEarlyLoad()
{
    early_load.job.Wait();
}

} // namespace

void GSLoadEarly()
{
    if (early_load.job.Pending() || early_load.module || early.lib || the_lib)
        return;
    // No thread to be had: the library is loaded when the start needs it.
    early_load.job.Start(RunEarlyLoad, nullptr);
}

void GSStartEarly()
{
    FinishEarlyLoad();
    if (early.lib || the_lib)
        return;
    // The arguments are built here: the library's folders are read on the
    // program's thread, as everywhere else.
    early.argc = GSBuildArguments(start_argv, 16, start_storage, sizeof start_storage);
    if (early.argc == 0)
        return; // the ordinary start reports it
    early.lib = new GSLib();
    if (!early.job.Start(RunEarlyStart, nullptr)) {
        // No thread to be had: the start happens when it is needed.
        delete early.lib;
        early.lib = nullptr;
    }
}

GSLib* StartGhostscript()
{
    FinishEarlyLoad();
    if (early.lib) {
        early.job.Wait();
        // From now on the object answers as one started here does.
        GSLib* lib = early.lib;
        const bool started = early.started;
        early.lib = nullptr;
        early.started = false;
        the_lib = lib;
        return started ? lib : nullptr;
    }
    if (the_lib)
        return the_lib;
    int argc = GSBuildArguments(start_argv, 16, start_storage, sizeof start_storage);
    // Made on the C heap: the interpreter lives as long as the process,
    // longer than any memory zone.
    GSLib* lib = new GSLib();
    the_lib = lib;
    if (argc == 0) {
        std::snprintf(start_storage, sizeof start_storage, "%s", "");
        return nullptr;
    }
    return lib->Init(argc, start_argv) == 0 ? lib : nullptr;
}

GSLib* GSRetLib()
{
    if (early.lib)
        GSLazyStart();
    return the_lib;
}

bool GSLazyStart()
{
    if (!lazy_result)
        lazy_result = StartGhostscript() != nullptr;
    return lazy_result;
}
