// ZuTextArchitect: shows the items of a provider view as texts. Every item
// gets a clone of the model text view holding the item's text; sizes come
// from the model's font and margins, cached until InvalidateCache. An
// architect without a model (one restored from a file without it) makes no
// views and tells no sizes.
#ifndef SI_TEXTARCHITECT_H
#define SI_TEXTARCHITECT_H

#include "sd/common/sd_grailfnt.h"
#include "si/string.h"
#include "si/texttagb.h"
#include "si/viewarchitect.h"

ZU_HANDLE(ZuTextArchitect, ZuViewArchitect)
class ZuTextArchitect : public ZuViewArchitect {
    ZU_CLASS(ZuTextArchitect, ZuViewArchitect)
public:
    ZuTextArchitect() {}

    using ZuViewArchitect::Initialise;
    bool GetViewSize(const ZuObjectRef& item, double& dx, double& dy) override;
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& provider) override;
    // A string, a text, or a value holding one of them; false otherwise
    // (the text is then empty).
    virtual bool MakeText(const ZuObjectRef& item, ZuStringRef& text) const;
    virtual void InvalidateCache();
    virtual void UpdateCache();
    virtual bool Initialise(const ZuTextTagBaseRef& model);
    virtual bool SetModel(const ZuTextTagBaseRef& model);
    virtual const ZuTextTagBaseRef& RetModel() const;

    ZuObjectRef Copy(const ZuObjectRef& source) override;

protected:
    // "<ZuTextArchitect model>" after the architect's part.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuTextTagBaseRef model;
    bool cache_valid = false;
    ZuGrailFontRef cached_font;
    double extra_width = 0;
    double extra_height = 0;
    double line_height = 0;
};
ZU_CLASS_END(ZuTextArchitect)

#endif
