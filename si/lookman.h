#ifndef SI_LOOKMAN_H
#define SI_LOOKMAN_H

// ZuLookMan: where the look of the interface is decided. It holds the three
// interface fonts, the named look colours, the icons and cursors by name
// and the user-tunable look policies; views, controls and colour pixels ask
// the current look manager for them.
//
// The start-up makes the system look manager (Initialise) after the font
// manager and makes it current; Change installs another one and Reset
// brings the system one back. A look manager is never stored.
//
// Its sources: si/lookman.cpp (life, fonts, look colours), si/lookmanicon
// (icons), si/lookmancurs (cursors), si/lookmanpol (policies), si/lookmanpng
// (the icon and cursor sheets).

#include "si/atom.h"
#include "si/colorpixel.h"
#include "si/cursorrecord.h"
#include "si/dict.h"
#include "si/dictree.h"
#include "si/enumfamily.h"
#include "si/fontman.h"
#include "si/grailpxm.h"
#include "si/iconrecord.h"
#include "si/object.h"
#include "si/rect.h"
#include "si/scrollarrowpos.h"
#include "si/string.h"

class ZuAdorner;

// How soon an adorner's changes reach the screen.
#define ZU_FLUSH_PRIORITY_LIST(X) \
    X(ZU_FLUSH_SYNC, 0) X(ZU_FLUSH_FAST, 1) X(ZU_FLUSH_NORMAL, 2) X(ZU_FLUSH_LAZY, 3)
ZU_ENUM(ZuFlushPriority, ZU_FLUSH_PRIORITY_LIST)

// The name table of the look colours (ZuLookColor, si/colorpixel.h) in the
// order of their constants, ZU_COLOR_NONE first, and the family every
// registered enumeration carries; an unknown code's name is "".
extern const Zuvi_EnumName ZuLookColor_names[];
ZU_ENUM_FAMILY_EX(ZuLookColor, "", 0u)

ZU_HANDLE(ZuLookMan, ZuObject)
class ZuLookMan : public ZuObject {
    ZU_CLASS(ZuLookMan, ZuObject)

public:
    // Reads the policies, makes the icon and cursor dictionaries, fills the
    // colour table and asks the font manager for the three fonts.
    ZuLookMan();
    ~ZuLookMan() override;

    // The number of look-colour slots: indexes 0 to 61, with gaps.
    static const unsigned kColorSlots = 62;

protected:
    // Asks the current font manager for the system, small and bold fonts
    // (system fonts of the policies' faces and sizes) and publishes the
    // look manager and the fonts in the application.
    virtual void InitFont();
    // Makes the icon dictionary (name atom to icon records, several per name)
    // and loads the library's sheets "%Zuvi%/zu_icons.png" and
    // "%Zuvi%/zu_handles.png" with the prefix "Zuvi_".
    virtual void InitIcons();
    // Resets the colour tables to the built-in defaults.
    virtual void InitColors();
    // Makes the cursor dictionary (name atom to cursor records) and loads
    // "%Zuvi%/zu_cursors.png" with the prefix "Zuvi_Cursor".
    virtual void InitCursors();
    // Reads the policy file ("%Zuvi%/user/Zuvi.policies"); any failure to
    // read it gives an empty tree. Then UpdatePolicies.
    virtual void InitPolicies();

public:
    // ---- Sheets (si/lookmanpng) ----
    // Loads a PNG sheet and files the icons and cursors its "IconRecord"
    // text chunks describe, their names prefixed by `prefix` (none when
    // the handle is empty). The first sheet loaded becomes the system icon
    // pixmap. True when the image loaded and held such a chunk.
    virtual bool LoadAndParsePNG(const ZuStringRef& file, const ZuStringRef& prefix);
    // Files the records one chunk text describes, cut from `sheet`. Lines
    // that do not follow the grammar end the line or the text; a joined
    // name longer than 198 characters refuses its line.
    void ParseIconRecords(const ZuStringRef& text, const ZuGrailPixmapRef& sheet,
                          const ZuStringRef& prefix);

    // ---- Cursors ----
    virtual unsigned RetCursorCount() const;
    // The name of the n-th entry, the null atom past the end.
    virtual ZuAtomRef FindNthCursor(unsigned n);
    // Inserts the record under its own name; true. The handle must not be
    // empty.
    virtual bool AddUserCursor(const ZuCursorRecordRef& record);
    // Re-initialises the first record of the name, or makes and inserts a
    // new one; true.
    virtual bool AddUserCursor(const ZuAtomRef& name, const ZuGrailPixmapRef& pixmap,
                               const ZuRect& rect, double hot_x, double hot_y);
    virtual bool RemoveUserCursor(const ZuAtomRef& name);
    // "Zuvi_CursorDefault": false; "Zuvi_CursorNone" hides the pointer and
    // "Zuvi_CursorNormal" shows the arrow (true); any other name activates
    // its first record, false when there is none.
    virtual bool SelectCursor(const ZuAtomRef& name);

    // ---- Icons (n counts the records of one name, from 0) ----
    virtual unsigned RetIconCount() const;
    virtual ZuAtomRef FindNthIcon(unsigned n);
    // The size of the normal state of the n-th record of the name.
    virtual bool GetIconSize(const ZuAtomRef& name, double& width, double& height,
                             unsigned n) const;
    // The size nearest to the one asked (0: any) that is not larger, else
    // in a second pass the nearest of any size; false for a name without
    // records.
    virtual bool GetBestIconSize(const ZuAtomRef& name, double& width, double& height) const;
    // The first record of the name whose width is the one asked (or 0
    // asked, or the record stretches across), and the same for heights.
    virtual bool GetIconRecord(const ZuAtomRef& name, double width, double height,
                               ZuIconRecordRef& record) const;
    virtual bool GetIconRecord(const ZuAtomRef& name, ZuIconRecordRef& record, unsigned n) const;
    // False for an empty handle; else inserts the record under its name.
    virtual bool AddUserIcon(const ZuIconRecordRef& record);
    // Defines the state's rectangle on the record of that name and the
    // rectangle's size, made (and inserted) when there is none; true.
    virtual bool AddUserIcon(const ZuAtomRef& name, ZuCtrlState state,
                             const ZuGrailPixmapRef& pixmap, const ZuRect& rect);
    virtual bool RemoveUserIcon(const ZuAtomRef& name);

    // ---- Look colours: an index is valid in 0 to 61 on a defined slot ----
    // The name; "*" for ZU_COLOR_ANY; the null atom and false otherwise.
    virtual bool GetColorName(ZuLookColor color, ZuAtomRef& name) const;
    // The built-in default components (not the current pixel).
    virtual bool GetColorRGB(ZuLookColor color, unsigned char& r, unsigned char& g,
                             unsigned char& b, unsigned char& t) const;
    virtual bool GetColorRGB(ZuLookColor color, unsigned char& r, unsigned char& g,
                             unsigned char& b) const;
    // The current word 0xTTRRGGBB.
    virtual bool GetColorCompactRGB(ZuLookColor color, unsigned int& pixel) const;
    virtual bool GetColorPixel(const ZuAtomRef& name, ZuColorPixel& pixel) const;
    // The current pixel, bound to the look colour.
    virtual bool GetColorPixel(ZuLookColor color, ZuColorPixel& pixel) const;
    virtual bool SetColorRGB(ZuLookColor color, unsigned char r, unsigned char g, unsigned char b,
                             unsigned char t);
    virtual bool SetColorCompactRGB(ZuLookColor color, unsigned int pixel);
    // ZU_COLOR_NONE for the null atom or an unknown name, ZU_COLOR_ANY for "*".
    virtual ZuLookColor FindColor(const ZuAtomRef& name);
    // The n-th defined colour in index order, ZU_COLOR_NONE past the last.
    virtual ZuLookColor FindNthColor(unsigned n);

    // ---- Policies ----
    // Reads the policy file again (the fonts are not remade).
    virtual bool ReloadPolicies();
    // Copies every policy of the tree into the fields, inserting the
    // default of each key the tree lacks. Nothing without a tree.
    virtual bool UpdatePolicies();

    // ---- Life ----
    // Makes the system look manager and makes it current.
    static void Initialise();
    // Lets the current and the system look managers go.
    static void Kill();
    static void Reset();
    static void Change(const ZuLookManRef& look_man);
    static const ZuLookManRef& Current();
    // Adorners are not registered with the look manager: both do nothing.
    static void InsertAdorner(ZuAdorner* adorner);
    static void RemoveAdorner(ZuAdorner* adorner);

    // ---- Accessors ----
    const ZuGrailPixmapRef& RetSysIcons() const { return sys_icons; }
    const ZuGrailFontRef& RetSysFont() const { return sys_font; }
    const ZuGrailFontRef& RetSmallFont() const { return small_font; }
    const ZuGrailFontRef& RetBoldFont() const { return bold_font; }
    bool RetUseFontAntialiasing() const { return font_antialiasing; }
    double RetSysFontSize() const { return sys_font_size; }
    double RetSmallFontSize() const { return small_font_size; }
    const ZuDicTreeRef& RetPolicies() const { return policies; }
    double Ret3DEffectWidth() const { return effect_3d_width; }
    double Ret3DPressOffset() const { return press_3d_offset; }
    double RetWidgetFrameSize() const { return widget_frame_size; }
    unsigned RetAutoStartTime() const { return auto_start_time; }
    unsigned RetAutoRepeatTime() const { return auto_repeat_time; }
    unsigned RetCursorOffTime() const { return cursor_off_time; }
    unsigned RetCursorOnTime() const { return cursor_on_time; }
    unsigned RetToolTipDelay() const { return tool_tip_delay; }
    unsigned RetDoubleClickDelay() const { return double_click_delay; }
    ZuScrollArrowPos RetScrollArrowPos() const { return scroll_arrow_pos; }
    bool IsPolicyHiliteButton() const { return hilite_button; }
    bool IsPolicyHiliteIcon() const { return hilite_icon; }
    bool IsPolicyHiliteCell() const { return hilite_cell; }
    bool IsPolicyShowActive() const { return show_active; }
    bool IsPolicyShowDragging() const { return show_dragging; }
    bool IsPolicyShowDropping() const { return show_dropping; }
    // The faces the fonts are made of (font file names).
    const ZuStringRef& RetSysFontFace() const { return sys_font_face; }
    const ZuStringRef& RetSmallFontFace() const { return small_font_face; }
    const ZuStringRef& RetBoldFontFace() const { return bold_font_face; }
    double RetBoldFontSize() const { return bold_font_size; }

    void Delete() override;

    static ZuLookManRef current;
    static ZuLookManRef sys_lookman;
    // Two adorner handles (defined in si/adorner.h).
    struct AdornerList;
    static AdornerList adorner;
    // Per slot: the slot's own index when a colour is defined there, else
    // ZU_COLOR_NONE; and the colour's name (null when undefined).
    static ZuLookColor col_conv[kColorSlots];
    static const char* col_name[kColorSlots];

protected:
    // Refused: a look manager is never stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    bool IsValidColor(ZuLookColor color) const;
    // Empties the dictionaries and deletes the policy tree.
    void Release();
    // The first record of the name whose size (or stretching) fits.
    bool FindIconRecord(const ZuAtomRef& name, double width, double height,
                        ZuIconRecordRef& record) const;

    ZuGrailPixmapRef sys_icons;
    ZuGrailFontRef sys_font;
    ZuGrailFontRef small_font;
    ZuGrailFontRef bold_font;
    bool font_antialiasing;
    double sys_font_size;
    double small_font_size;
    double bold_font_size;
    ZuStringRef sys_font_face;
    ZuStringRef small_font_face;
    ZuStringRef bold_font_face;
    ZuDicTreeRef policies;
    ZuDictRef icons;
    ZuDictRef cursors;
    unsigned char default_red[kColorSlots];
    unsigned char default_green[kColorSlots];
    unsigned char default_blue[kColorSlots];
    unsigned char default_transparency[kColorSlots];
    ZuColorPixel pixels[kColorSlots];
    double effect_3d_width;
    double press_3d_offset;
    double widget_frame_size;
    unsigned auto_start_time;
    unsigned auto_repeat_time;
    unsigned cursor_off_time;
    unsigned cursor_on_time;
    unsigned tool_tip_delay;
    unsigned double_click_delay;
    ZuScrollArrowPos scroll_arrow_pos;
    bool hilite_button;
    bool hilite_icon;
    bool hilite_cell;
    bool show_active;
    bool show_dragging;
    bool show_dropping;
};
ZU_CLASS_END(ZuLookMan)

#endif
