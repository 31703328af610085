// ZuPicArchitect: the base of the architects that show items as
// pictograms (an icon and a label). It holds the font and the colour of
// the labels and finds an item's pictogram, through its adapter when it
// has one, else through the item's own ZuiPictogram interface.
#ifndef SI_PICARCHITECT_H
#define SI_PICARCHITECT_H

#include "sd/common/sd_grailfnt.h"
#include "si/colorpixel.h"
#include "si/ipictogram.h"
#include "si/picadapter.h"
#include "si/viewarchitect.h"

ZU_HANDLE(ZuPicArchitect, ZuViewArchitect)
class ZuPicArchitect : public ZuViewArchitect {
    ZU_CLASS(ZuPicArchitect, ZuViewArchitect)
public:
    ZuPicArchitect();

    // The pictogram of the item, or null; holder receives the object that
    // carries it (empty with null).
    virtual ZuiPictogram* GetPictogram(const ZuObjectRef& item, ZuObjectRef& holder);
    using ZuViewArchitect::Initialise;
    // One attribute, the font (the system font for an empty handle), black
    // text.
    virtual bool Initialise(const ZuGrailFontRef& font);
    // An empty handle takes the look manager's system font.
    virtual bool SetFont(const ZuGrailFontRef& font);
    virtual bool SetTextColor(const ZuColorPixel& color);
    virtual const ZuGrailFontRef& RetFont() const;
    virtual const ZuColorPixel& RetTextColor() const;
    // The adapter that makes every item's pictogram (not stored).
    virtual bool SetAdapter(const ZuPicAdapterRef& adapter);
    virtual const ZuPicAdapterRef& RetAdapter() const;

    // From another pictogram architect: its adapter, font and colour.
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void Delete() override;

protected:
    // "<ZuPicArchitect font text_color>", begin, the font, the colour, end;
    // the system font is stored as the empty font and read back as the
    // system font.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuPicAdapterRef adapter;
    ZuGrailFontRef font;
    ZuColorPixel text_color;
};
ZU_CLASS_END(ZuPicArchitect)

#endif
