// ZuMenuArchitect: the architect a menu gives its view provider. An item
// view holds the element's icon in a column as wide as `height` + 7, its
// label after it and, for an element with child commands in a vertical
// menu, the submenu arrow at the right end; an empty element becomes a
// separator. A `width` or `height` of 0 is measured from the contents.
#ifndef SI_MENUARCHITECT_H
#define SI_MENUARCHITECT_H

#include "si/picarchitect.h"

ZU_HANDLE(ZuMenuArchitect, ZuPicArchitect)
class ZuMenuArchitect : public ZuPicArchitect {
    ZU_CLASS(ZuMenuArchitect, ZuPicArchitect)
public:
    ZuMenuArchitect() {}

    bool GetViewSize(const ZuObjectRef& item, double& w, double& h) override;
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& cell) override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;

    using ZuPicArchitect::Initialise;
    // With the look's system font; false when the base refuses.
    virtual bool Initialise(double width, double height, bool is_vertical);
    // The setters keep the views already made as they are.
    virtual bool SetWidth(double width);
    virtual bool SetHeight(double height);
    virtual bool SetVertical(bool is_vertical);
    virtual double RetWidth() const;
    virtual double RetHeight() const;
    virtual bool RetVertical() const;

protected:
    // "<ZuMenuArchitect height width is_vertical>" after the base's fields.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // What an element shows; false when it is neither a pictogram holder
    // nor a text.
    bool Contents(const ZuObjectRef& item, ZuAtomRef& icon, ZuStringRef& label, bool& arrow);

    double height = 0;
    double width = 0;
    bool is_vertical = true;
};
ZU_CLASS_END(ZuMenuArchitect)

#endif
