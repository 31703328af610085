// ZuLargeIconArchitect: shows each item as a large icon above a one-line
// caption, in a cell of the same size for every item, as in an icon view of
// files: the icon fills the top of the cell and the caption, centred, the
// bottom. Placing the cells is the provider's task.
#ifndef SI_LARGEICONARCHITECT_H
#define SI_LARGEICONARCHITECT_H

#include "si/picarchitect.h"

ZU_HANDLE(ZuLargeIconArchitect, ZuPicArchitect)
class ZuLargeIconArchitect : public ZuPicArchitect {
    ZU_CLASS(ZuLargeIconArchitect, ZuPicArchitect)
public:
    ZuLargeIconArchitect() {}

    using ZuPicArchitect::Initialise;
    virtual bool Initialise(const ZuGrailFontRef& font, double width);
    // 0 (or a value that compares with nothing) gives the default 70.
    virtual bool SetWidth(double width);
    virtual bool SetIconHeight(double height);
    virtual bool SetTextHeight(double height);
    virtual double RetWidth() const;
    virtual double RetIconHeight() const;
    virtual double RetTextHeight() const;

    // width by icon height + text height, for every item.
    bool GetViewSize(const ZuObjectRef& item, double& dx, double& dy) override;
    // The icon and the caption the item's pictogram gives, each when
    // present; true, even with nothing to show. False, and nothing made,
    // for an item without pictogram or an empty holder.
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) override;
    // The three sizes of another large-icon architect, through the setters.
    ZuObjectRef Copy(const ZuObjectRef& source) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double dx = 70.0;
    double icon_dy = 32.0;
    double text_dy = 10.0;
};
ZU_CLASS_END(ZuLargeIconArchitect)

#endif
