#include "si/ititlewidget.h"

#include "si/error.h"
#include "si/string.h"
#include "si/view.h"

const Zuvi_Interface ZuiTitleWidget::interface("ZuiTitleWidget");

ZuView* ZuiTitleWidget::Self()
{
    ZuObject* self = RetSelfAsObject();
    if (self == nullptr || !self->IsKindOf(ZuViewRef::RetRuntime()))
        ZU_ABORT("Failed assertion: widget.IsValid ()");
    return static_cast<ZuView*>(self);
}

bool ZuiTitleWidget::Place(double x, double y, double dx, double dy, const ZuStringRef* title,
                           const ZuViewRef* parent)
{
    ZuViewRef view(Self());
    if (parent != nullptr)
        view->SetParent(*parent);
    view->SetOrigin(x, y);
    view->SetSize(dx, dy);
    if (title != nullptr)
        SetTitle(*title);
    return true;
}

bool ZuiTitleWidget::InitGeom(double x, double y, double dx, double dy, const ZuViewRef& parent)
{
    return Place(x, y, dx, dy, nullptr, &parent);
}

bool ZuiTitleWidget::InitGeom(double x, double y, double dx, double dy, const ZuStringRef& title)
{
    return Place(x, y, dx, dy, &title, nullptr);
}

bool ZuiTitleWidget::InitGeom(double x, double y, double dx, double dy, const ZuStringRef& title,
                              const ZuViewRef& parent)
{
    return Place(x, y, dx, dy, &title, &parent);
}

bool ZuiTitleWidget::InitGeom(double x, double y, double dx, double dy)
{
    return Place(x, y, dx, dy, nullptr, nullptr);
}
