// CPrintDlg: the modal window "Imprimer" in which the user sets how the
// page is screened when printed: mirror, negative, the halftone screen's
// frequency and angle, and the shape of its dots. It only collects these
// choices: "Imprimer" closes the window and reports "notify_button1"
// asynchronously under the user name "print"; the receiver reads
// GetSettings. "Annuler" reports "notify_button2". The settings stay from
// one opening to the next, cancelled or not.
#ifndef LUMBRA_APP_PRINTDLG_H
#define LUMBRA_APP_PRINTDLG_H

#include <cstdint>

#include "app/scrolllist.h"
#include "app/textlinearrow.h"
#include "si/string.h"
#include "si/switch.h"
#include "si/window.h"

// One dot shape offered: its spot-function code and its label.
struct DotShape {
    int32_t code;
    const char* label;
};
// The 8 shapes in list order, ended by a row whose code is -1.
extern const DotShape DotShapeTable[];

// What the print run reads: screen frequency (lines per inch), screen
// angle (radians), spot-function code, negative, mirror; the four values
// after them are kept for the record's layout and read by nobody.
struct PrintSettings {
    double frequency = 85.0;
    double angle = 0.785398163375;
    int32_t spot = 2;
    bool negative = false;
    bool mirror = false;
    double reserved[4] = {0.0, 0.0, 1.0, 0.0};
};

ZU_HANDLE(CPrintDlg, ZuObject)
class CPrintDlg : public ZuObject {
    ZU_CLASS(CPrintDlg, ZuObject)
public:
    // The angle entry's degrees, with the program's own value of pi.
    static const double kPi;

    CPrintDlg() {}

    // Builds the window (190 x 240) at the screen point (x, y), not shown;
    // false, building nothing, when it exists already.
    bool Build(int x, int y);
    // Opens the dialog modally over the parent.
    void Open(ZuWindowRef parent);
    // Copies the whole settings record; always true.
    bool GetSettings(PrintSettings& out) const;

    ZuAtomRef RetUserName() override;
    void Delete() override;

    bool OnSwitchMirror();
    bool OnSwitchNegative();
    bool OnEditFrequency();
    bool OnEditAngle();
    bool OnClickList();
    bool OnFile();
    bool OnClose();

    // The views, for tests.
    const ZuWindowRef& RetWindow() const { return window; }
    const ZuSwitchRef& RetMirrorSwitch() const { return mirror_switch; }
    const ZuSwitchRef& RetNegativeSwitch() const { return negative_switch; }
    const CTextLineArrowRef& RetFrequencyEntry() const { return frequency_entry; }
    const CTextLineArrowRef& RetAngleEntry() const { return angle_entry; }
    const CScrollListRef& RetShapeList() const { return shape_list; }

    static ZuAtomRef notify_button1;
    static ZuAtomRef notify_button2;

private:
    void UpdateFrequency();
    void UpdateAngle();
    void UpdateShape();

    ZuWindowRef window;
    ZuStringRef user_name;
    bool updating = true;
    PrintSettings settings;
    ZuSwitchRef mirror_switch;
    ZuSwitchRef negative_switch;
    CTextLineArrowRef frequency_entry;
    CTextLineArrowRef angle_entry;
    CScrollListRef shape_list;
};
ZU_CLASS_END(CPrintDlg)

#endif
