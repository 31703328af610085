// ZuSmallIconArchitect: shows each item as one line of the same size: a
// small icon on the left and the item's label text beside it. The text tag
// starts right after the icon and indents its text by the space; the last
// space units of the line stay empty.
#ifndef SI_SMALLICONARCHITECT_H
#define SI_SMALLICONARCHITECT_H

#include "si/picarchitect.h"

ZU_HANDLE(ZuSmallIconArchitect, ZuPicArchitect)
class ZuSmallIconArchitect : public ZuPicArchitect {
    ZU_CLASS(ZuSmallIconArchitect, ZuPicArchitect)
public:
    ZuSmallIconArchitect() {}

    using ZuPicArchitect::Initialise;
    virtual bool Initialise(const ZuGrailFontRef& font, double height);
    // 0 (or a value that compares with nothing) gives the default 16.
    virtual bool SetHeight(double height);
    virtual bool SetIconWidth(double width);
    virtual bool SetTextWidth(double width);
    virtual double RetHeight() const;
    virtual double RetIconWidth() const;
    virtual double RetTextWidth() const;

    // icon width + space + text width by the height, for every item.
    bool GetViewSize(const ZuObjectRef& item, double& dx, double& dy) override;
    // The icon and the text the item's pictogram gives, each when present;
    // true, even with nothing to show. False only for an empty holder.
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) override;
    // The three sizes of another small-icon architect (not the space).
    ZuObjectRef Copy(const ZuObjectRef& source) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double space = 4.0;
    double icon_dx = 16.0;
    double text_dx = 100.0;
    double dy = 16.0;
};
ZU_CLASS_END(ZuSmallIconArchitect)

#endif
