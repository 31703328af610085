// CExportDlg: the modal window "Exporter" in which the user chooses how the
// page is written to an image file: the name, the size in image points and
// in real length (linked by the resolution), one of the export formats
// (a Ghostscript output device with its bits per pixel and extension) and
// the anti-aliasing. It only collects these choices: "Exporter" closes the
// window and reports "notify_button1" asynchronously under the user name
// "export"; the receiver reads RetFilename and GetSettings. The choices
// stay from one opening to the next.
//
// While a ratio other than 0 is set, the height follows the width (and the
// width the height) so that width / height stays that ratio. Sizes are held
// within the bounds of the point entries, 1 to 10000, so the image written
// is the one shown.
#ifndef LUMBRA_APP_EXPORTDLG_H
#define LUMBRA_APP_EXPORTDLG_H

#include "app/scrolllist.h"
#include "app/textlinearrow.h"
#include "si/string.h"
#include "si/switch.h"
#include "si/textline.h"
#include "si/window.h"

// One export format: bits per pixel, Ghostscript device, file extension
// without the dot, label of the format list.
struct ExportFormat {
    int bits_per_pixel;
    const char* device;
    const char* extension;
    const char* label;
};
// The 17 formats in list order, ended by a row whose bits per pixel is -1.
extern const ExportFormat ExportFormatTable[];
// Anti-aliasing choices by setting 0..2: switch label and tool tip.
struct ExportAntiAliasing {
    const char* label;
    const char* tool_tip;
};
extern const ExportAntiAliasing ExportAntiAliasingTable[3];

ZU_HANDLE(CExportDlg, ZuObject)
class CExportDlg : public ZuObject {
    ZU_CLASS(CExportDlg, ZuObject)
public:
    // The device buffer of GetSettings and SetSettings, with its final 0.
    enum { DEVICE_SIZE = 52 };
    // Bounds of the entries: sizes in points, real lengths in millimetres,
    // resolution in dots per inch.
    static const double kMinPoints;
    static const double kMaxPoints;

    CExportDlg();

    // Builds the window (356 x 216) at the screen point (x, y), not shown;
    // false, building nothing, when it exists already.
    bool Build(int x, int y);
    // Opens the dialog modally over the parent, typing going to the name.
    void Open(ZuWindowRef parent);
    // The image size in points (width, height): false, changing nothing,
    // unless both are positive numbers. The ratio becomes width / height;
    // a size beyond the bounds is scaled down to them, keeping the ratio.
    bool SetSize(const double size[2]);
    // width / height from now on; 0 (or anything not a positive number)
    // stores 0: no coupling. Otherwise the height follows the width.
    bool SetRatio(double ratio);
    // All five settings at once; the ratio stays. False, changing nothing,
    // for a device that is null or does not fit DEVICE_SIZE bytes with its
    // final 0, or an anti-aliasing outside 0..2. Sizes and resolution are
    // held within their entries' bounds.
    bool SetSettings(const double size[2], int resolution, int bits_per_pixel, const char* device,
                     int anti_aliasing);
    // Copies the five settings out; device receives DEVICE_SIZE bytes at
    // most, 0 included.
    bool GetSettings(double size[2], int* resolution, int* bits_per_pixel, char* device,
                     int* anti_aliasing) const;
    // The file name (its extension applied when "Exporter" was clicked).
    const ZuStringRef& RetFilename() const { return filename; }
    // Takes the name and gives it the current format's extension.
    bool SetFilename(const ZuStringRef& name);
    double RetRatio() const { return ratio; }

    ZuAtomRef RetUserName() override;
    void Delete() override;

    // Handlers, called by name from the controls.
    bool OnEditName();
    bool OnEditWidthPT();
    bool OnEditHeightPT();
    bool OnEditWidthMM();
    bool OnEditHeightMM();
    bool OnEditResol();
    bool OnClickList();
    bool OnRadioAA(const ZuObjectRef& source, unsigned id);
    bool OnFile();
    bool OnClose();

    // The views, for tests and the page view.
    const ZuWindowRef& RetWindow() const { return window; }
    const ZuTextLineRef& RetNameField() const { return name_field; }
    enum Entry { WIDTH_PT, HEIGHT_PT, WIDTH_MM, HEIGHT_MM, RESOLUTION, ENTRIES };
    const CTextLineArrowRef& RetEntry(Entry e) const { return entries[e]; }
    const ZuSwitchRef& RetSwitch(int i) const { return switches[i]; }
    const CScrollListRef& RetFormatList() const { return format_list; }
    const ZuViewRef& RetBox(int i) const { return boxes[i]; }

    static ZuAtomRef notify_button1;
    static ZuAtomRef notify_button2;

private:
    void UpdateWidthPT();
    void UpdateHeightPT();
    void UpdateWidthMM();
    void UpdateHeightMM();
    void UpdateResol();
    void UpdateName();
    void UpdateFormatList();
    void UpdateAntiAliasing();
    void SetEntry(Entry e, double value);
    // The height from the width through the ratio, and back.
    void FollowWidth();
    void FollowHeight();

    ZuWindowRef window;
    ZuStringRef user_name;
    bool updating = true;
    double ratio = 0;
    ZuStringRef filename;
    double width = 1000.0;
    double height = 1000.0;
    int resolution = 300;
    int bits_per_pixel = 8;
    char device[DEVICE_SIZE];
    int anti_aliasing = 2;
    ZuTextLineRef name_field;
    CTextLineArrowRef entries[ENTRIES];
    ZuSwitchRef switches[3];
    CScrollListRef format_list;
    // The three titled frame boxes.
    ZuViewRef boxes[3];
};
ZU_CLASS_END(CExportDlg)

#endif
