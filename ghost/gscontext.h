// GSContext: one drawing target inside the process's Ghostscript
// interpreter: an off-screen display context of a given size and pixel
// format with its own graphics state, a file context that renders a page
// into an image file, or a printer context.
//
// Display contexts share the interpreter's one display device (24-bit BGR
// rows, bottom row first). The context installed in it owns the device's
// pixels; every other context keeps its pixels in a buffer of its own and
// its graphics state, matrix and clip in the dictionary ".zuvi.states"
// under its number (file and printer contexts keep their device in
// ".zuvi.devices" the same way). Switching saves the installed context's
// state and pixels and installs the other's. A context takes its entry out
// when it is made anew or released, so that the interpreter keeps nothing
// of contexts gone, however many came and went; one released while another's
// job is open does so when that job ends, since the job's restore would
// bring the entry back. The
// device grows to the largest context; contexts lie at its bottom-left
// corner, where the default matrix puts the page origin whatever the
// device's size, so growing disturbs no one's pixels or state. Depths of 1,
// 15 and 16 bits are made from the 24-bit rows when they are read.
//
// File contexts render into a temporary file beside the target that takes
// the target's name at EndRender, only when the page was rendered without
// error. GIF files are rendered through a BMP device of the same colours and
// encoded by the GIF writer. Printer contexts print through the print
// service where there is one, else into the PDF file the print dialog names.
//
// All calls into the interpreter are made with the library's global lock
// held by the caller.
#ifndef GHOST_GSCONTEXT_H
#define GHOST_GSCONTEXT_H

#include "ghost/gslibmain.h"
#include "si/colorpixel.h"
#include "si/except.h"
#include "si/grail.h"
#include "si/igrailhook.h"
#include "si/object.h"
#include "si/rect.h"
#include "si/string.h"
#include "w32/printdlg.h"

#include <cstdint>

ZU_HANDLE(GSContext, ZuObject)

// Switching contexts while a print or file job is open.
class GSException : public ZuException {
public:
    explicit GSException(int error) : code(error) {}
    int RetCode() const { return code; }

private:
    int code;
};

// The settings of a print job.
struct GSPrintSettings {
    int32_t copies;
    int32_t document_first;
    int32_t document_last;
    int32_t selected_first;
    int32_t selected_last;
    double media_width;
    double media_height;
};

class GSContext : public ZuObject, public ZuiGrailHook {
    ZU_CLASS(GSContext, ZuObject)
public:
    // The types beyond the display contexts' GSViewType values.
    enum {
        GS_CONTEXT_PRINTER = 10,  // printer context, idle
        GS_CONTEXT_PRINTING = 11, // between BeginPrint and EndPrint
        GS_CONTEXT_FILE = 12,     // file context, idle
        GS_CONTEXT_RENDERING = 13 // between BeginRender and EndRender
    };

    GSContext();
    ~GSContext() override;

    // Installs this display context's state and pixels in the interpreter.
    // Throws GSException(1) while another context's print or file job is open.
    virtual void MakeCurrent();
    // Copies the context's rows, top row first, into the read-back buffer in
    // the type's format: one bit per pixel (0 is ink, top bit first, rows of
    // (width + 7) / 8 bytes), 565 words for types 4 and 5, BGR otherwise.
    virtual void ReadBack();
    // Copies the buffer back into the context's rows (nothing without one).
    virtual void WriteBack();
    // Runs "flush" and drops the captured output.
    virtual void Flush();
    // A display context of that size (1 to 32767 pixels each way, at most
    // 2^28 pixels in all) and type (0 to 5); white, at 72 dpi, with a fresh
    // graphics state.
    virtual bool CreateContext(uint32_t width, uint32_t height, int type);
    virtual bool CreatePrintDevice();
    virtual bool CreateRenderDevice(uint32_t width, uint32_t height, double resolution,
                                    int bits_per_pixel, const ZuStringRef& device_name);
    // The print dialog over the context's settings; true when the user
    // confirmed it.
    virtual bool ShowPrintDialog();
    virtual bool ShowPrintSetupDialog();
    virtual bool BeginPrint(const ZuStringRef& document_name);
    virtual bool EndPrint();
    // Starts rendering into the file (a name shorter than 250 characters);
    // false when the device cannot be set up, and EndRender then fails too.
    virtual bool BeginRender(const char* file_name, int alpha_bits);
    // Ends the render; true only when the file now holds the page. A failed
    // render leaves no file and the target as it was.
    virtual bool EndRender();
    virtual bool SetPrintRange(const GSPrintSettings& settings);
    virtual bool GetPrintSetup(GSPrintSettings& settings);
    // Installs the context, then runs the text (a length of 0 or less: up
    // to its zero); true when the interpreter ran it without error.
    virtual bool ExecuteText(const char* text, int length);
    virtual int GetOutputLength();
    virtual bool ReadOutput(char* buffer, int size);
    virtual bool ClearOutput();
    // Changes a display context's size; its pixels keep their place from the
    // bottom-left corner (new parts white), its graphics state is kept but
    // its clip, which the new size makes meaningless, is reset.
    virtual bool Resize(uint32_t width, uint32_t height);
    virtual bool GetSize(uint32_t& width, uint32_t& height);
    virtual int GetType();
    // The colour a monochrome copy paints the ink in (the look's black at
    // first); true.
    virtual bool SetBackground(const ZuColorPixel& color);
    const ZuColorPixel& RetBackground() const { return background; }
    // Copies the rendered rows into the port: the area gives their place
    // (x, y) and size, the pixels come from the context's first columns and
    // its first rows from the bottom, upright (the highest of those rows to
    // the area's top row, the bottom row to its last). A type 1 context
    // paints its ink in the background colour (it becomes the port's fore
    // colour) and leaves the rest; a type 3 context writes its RGB pixels; a
    // type 5 context goes through the port's QuickBlt with this context as
    // hook; other types copy nothing. False for an empty port or one without
    // pixels, and for a type 5 context and a port of a depth QuickBlt does
    // not take (it takes 1, 15 and 16 bits).
    virtual bool CopyRectToPort(const ZuGrailPortRef& port, const ZuRect& area);
    // The whole context through the port's QuickBlt at (0, 0); false, and
    // nothing copied, for an empty port or one of a depth QuickBlt does not
    // take.
    virtual bool CopyToPort(const ZuGrailPortRef& port);
    // The area of a copy into a port: its place (x, y) in the port and its
    // size, truncated, 0 by 0 for an empty area, and no larger than the
    // context; the pixels come from the context's first columns and rows.
    void GetPortCopyArea(const ZuRect& area, int& x, int& y, int& dx, int& dy) const;

    // The read-back buffer (null before the first ReadBack) and its size.
    const unsigned char* RetBuffer() const { return buffer; }
    unsigned char* RetBuffer() { return buffer; }
    size_t RetBufferSize() const { return buffer_size; }
    int RetNumber() const { return number; }
    // Bytes of one row of the read-back buffer.
    size_t RetRowBytes() const;

    // The number of the installed context (0 before any).
    static int RetInstalledNumber();
    // Saves the installed context's state and pixels and installs none.
    static void Uninstall();
    // How many times a context was installed since the process began.
    static unsigned RetSwitchCount();
    // The print or file job that is open, or null.
    static GSContext* RetOpenJob();

    // Hook: the context's first dx columns of its first dy rows from the
    // bottom, upright (the highest of them to the destination's row y, the
    // bottom row to row y + dy - 1), each row from column x on. 1-bit for a
    // type 1 context, 16-bit (565) for type 5, 15-bit (555) for type 4;
    // nothing for any other type, and nothing written outside the rows.
    void CopyTo1Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo16Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo15Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo24Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo32Bit(int x, int y, int width, int height, void* pixels, int pitch) override;

    // Escapes a name for a PostScript string: "(" and ")" get a backslash, a
    // backslash becomes "/" for a file name and two backslashes otherwise,
    // and for a file name "%" doubles (Ghostscript reads "%" in output names
    // as a pattern or a pipe). Stops, with a zero, before a character that
    // no longer fits. Answers whether the whole name fitted.
    static bool EscapeName(const char* name, char* out, int size, bool file);

    // Every render job appends to the capture file a comment line with its
    // device's settings ("% render device png16m size 1000 1414 resolution
    // 120.952381 alpha 4") and then, byte for byte, the text it is sent
    // between BeginRender and EndRender; nothing else goes there. The file
    // is the one the environment variable LUMBRA_EXPORT_CAPTURE names, read
    // at the first render job; without it nothing is captured. This call
    // names another file in its place (null or empty: none).
    static void SetCaptureFile(const char* name);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    bool Running() const;
    bool Run(const char* text);
    // Carries out an erasepage the interpreter still holds back for the
    // installed context.
    static void SettleErase();
    bool IsDisplay() const { return type >= 0 && type <= 5; }
    // The context's 24-bit row `row` (0 the bottom row): in the device when
    // installed, else in its own pixels.
    unsigned char* Row24(int row);
    void SavePixels();
    void LoadPixels();
    bool GrowDisplay(uint32_t w, uint32_t h);
    // The text that saves the installed context's state; its pixels are
    // saved at once.
    static int SaveInstalled(char* text, size_t size);
    // Row `row` (0 the bottom) in the type's format into `out`.
    void ConvertRow(int row, unsigned char* out);
    void Copy16(int x, int y, int dx, int dy, void* dest, int pitch, bool to555);
    bool FinishFile(bool ok);
    // The bits per pixel of the port's surface, 0 without one.
    static unsigned PortDepth(const ZuGrailPortRef& port);
    static bool QuickBltTakes(const ZuGrailPortRef& port);
    bool ShowDialog(DWORD flags);
    void FreeMemory();
    // Takes the context's entry out of the interpreter, now or when the
    // open job ends, and makes it no longer the installed one.
    void ForgetEntry();
    // Takes out the entries of released contexts, once no job is open.
    static void ForgetPendingEntries();
    // The interpreter may write the file (or pipe) it is given as output,
    // under the name it opens, until RevokeOutput.
    void PermitOutput(const char* path);
    void RevokeOutput();

    void* device;
    unsigned char* buffer;
    int type;
    int number;
    uint32_t width;
    uint32_t height;
    ZuColorPixel background;

    size_t buffer_size;
    unsigned char* pixels; // own 24-bit rows, bottom row first
    bool job_failed;
    int gif_kind; // 0: not GIF; 1 mono, 2 grey, 3 256 colours
    bool print_to_file;
    PRINTDLGA print_dialog;
    char target[MAX_PATH];
    char temp_render[300];
    char temp_final[300];
    // The output paths permitted to the interpreter: as opened, and with
    // each '%' doubled as an output name writes it (empty when the same).
    char permitted[2][600];
    // The device's settings for the capture's comment line.
    char capture_setup[300];
};
ZU_CLASS_END(GSContext)

#endif
