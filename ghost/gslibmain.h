// GSLib: the program's one door to the Ghostscript interpreter.
//
// One object for the whole process, made by the first start: it loads the
// interpreter's shared library, starts one interpreter instance on the
// display device (24-bit BGR rows, bottom row first, 72 dpi) in its sandbox
// (it reads the fonts folder and the files the binding permits), sends it
// PostScript text, captures what it writes on its standard output (its
// warnings on standard error go to the debugger output),
// and gives the rows of the display device's bitmap. Every call into the
// interpreter is made with the library's global lock held by the caller.
#ifndef GHOST_GSLIBMAIN_H
#define GHOST_GSLIBMAIN_H

#include "si/enumfamily.h"

// The kinds of display contexts and the depth each gives its readers.
// clang-format off
#define GS_VIEW_TYPE_LIST(X)        \
    X(GS_VIEW_NONE, 0)              \
    X(GS_VIEW_MONO, 1)              \
    X(GS_VIEW_GRAY, 2)              \
    X(GS_VIEW_RGB24, 3)             \
    X(GS_VIEW_RGB16_555, 4)         \
    X(GS_VIEW_RGB16_565, 5)
// clang-format on
ZU_ENUM(GSViewType, GS_VIEW_TYPE_LIST)

// A logical coordinate of the Ghostscript view (a real) and a device pixel
// coordinate (a card).
typedef double GSLogCoord;
typedef unsigned int GSDevCoord;
extern const Zuvi_TypeDef GSLogCoord_type;
extern const Zuvi_TypeDef* const GSLogCoordTypeDef;
extern const Zuvi_TypeDef GSDevCoord_type;
extern const Zuvi_TypeDef* const GSDevCoordTypeDef;
GSLogCoord Zuvi_ValueToGSLogCoord(const ZuValueRef& value);
GSDevCoord Zuvi_ValueToGSDevCoord(const ZuValueRef& value);

struct GSLibApi;

class GSLib {
public:
    // What a permitted path allows (the interpreter's own numbering).
    enum FileAccess { GS_FILE_READING = 0, GS_FILE_WRITING = 1, GS_FILE_CONTROL = 2 };

    // The messages of Callback.
    enum Message {
        GS_MESSAGE_STDIN = 1,  // input wanted: answers 0 (end of input)
        GS_MESSAGE_STDOUT = 2, // output of count bytes: captured
        GS_MESSAGE_DEVICE = 3  // text is a device: opened (count != 0) or closed
    };

    GSLib();
    virtual ~GSLib();

    // Starts the interpreter with the argument vector; 0 on success.
    // Already initialised: 1 and "Already initialized", without a call.
    int Init(int argc, char** argv);
    // Runs PostScript text; 0 when it ran. Not initialised: 1 and
    // "GhostScript not initialised". After a PostScript error the answer is
    // the interpreter's error code, and the next text runs afresh.
    int Execute(const char* text, int length);
    // The interpreter runs in its sandbox: PostScript reaches no file but
    // its own resources and the paths permitted here, one by one, for the
    // time they are used. False without an instance or when refused.
    bool PermitPath(FileAccess access, const char* path);
    bool RevokePath(FileAccess access, const char* path);
    // The device the interpreter opened last, forgotten once taken.
    void* TakeDevice();
    // Copies the error text; the copy always ends with a zero (at most
    // min(size, 128) bytes in all). Answers 0.
    int GetErrorText(char* buffer, int size);
    void LockDevice(void* device);
    void UnlockDevice(void* device);
    // Row `number` of the display device's bitmap (row 0 is the bottom
    // row); null for another device or a row outside the bitmap.
    void GetBitmapRow(void* device, unsigned char** row, int number);
    int GetOutputLength() const { return output_length; }
    // False when size is smaller than the captured output (which stays);
    // otherwise copies it all, adds a zero when there is room, and empties
    // the capture.
    bool ReadOutput(char* buffer, int size);
    bool ClearOutput();
    int Callback(int message, char* text, unsigned long count);

    bool IsInitialised() const { return initialised; }
    int RetLastResult() const { return last_result; }
    // The display device while it is open (null before and after), its size
    // in pixels and the bytes from one row to the next.
    void* RetDisplayDevice() const { return display_device; }
    int RetDisplayWidth() const { return display_width; }
    int RetDisplayHeight() const { return display_height; }
    int RetDisplayRaster() const { return display_raster; }
    unsigned RetLockCount() const { return lock_count; }

    // Called by the display device (through the binding's callbacks).
    void NoteDisplaySize(void* device, int width, int height, int raster, unsigned char* image);
    // Called by the binding's standard-error callback when the error
    // handler of the running text reports the error it caught.
    void NoteCaughtError(int code) { caught_error = code != 0 ? code : -1; }

    GSLib(const GSLib&) = delete;
    GSLib& operator=(const GSLib&) = delete;

private:
    struct Chunk {
        Chunk* next;
        int length;
        char bytes[1];
    };

    void SetError(const char* format, int value);
    bool Load();
    void Stop();
    int BeginRun();

    char error_text[128];
    bool initialised;
    int last_result;
    int caught_error;
    void* device;
    Chunk* output_head;
    Chunk* output_tail;
    int output_length;

    // The binding's side of the interpreter.
    GSLibApi* api;
    void* instance;
    void* display_device;
    unsigned char* display_image;
    int display_width;
    int display_height;
    int display_raster;
    unsigned lock_count;
};

// The process's interpreter: made and started by the first call (null when
// that start failed; the object stays, not initialised). Later calls answer
// the object whatever its start gave.
GSLib* StartGhostscript();
// The object, null before the first start.
GSLib* GSRetLib();
// Starts the interpreter once and answers whether a start answered an
// object: the contexts and the port call it before they need the
// interpreter.
bool GSLazyStart();
// Begins that start on a thread of its own and returns at once, so that the
// interpreter's long set-up runs while the caller does other work (the
// program's windows, a document's reading). The first call that needs the
// interpreter (any of the three above) waits for it and then answers as
// if it had started it. Does nothing once a start was made or begun.
void GSStartEarly();
// Begins loading the interpreter's library (with the sixty-odd libraries it
// needs) on a thread of its own and returns at once. It needs none of the
// library's services, so a program calls it first, before they start. The
// early start and the first start wait for the load to end; mapping that
// many libraries beside other work slows both, so the caller's own work
// follows it rather than running beside it. Does nothing once a load, a
// start or an early start was made or begun.
void GSLoadEarly();
// The argument vector of the start (the library's directory in the two
// include folders); `storage` keeps the texts.
int GSBuildArguments(char** argv, int max, char* storage, int storage_size);

#endif
