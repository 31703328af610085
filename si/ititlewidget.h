// ZuiTitleWidget: a widget that is placed and titled in one call. Each
// InitGeom form works on the widget's own view: it sets the parent view
// when one is given, then the origin and the size, then the title when
// one is given, and answers true. Implementers say what a title is.
#ifndef SI_ITITLEWIDGET_H
#define SI_ITITLEWIDGET_H

#include "si/interface.h"

class ZuObject;
class ZuStringRef;
class ZuView;
class ZuViewRef;

class ZuiTitleWidget {
public:
    static const Zuvi_Interface interface;

    virtual bool InitGeom(double x, double y, double dx, double dy, const ZuViewRef& parent);
    virtual bool InitGeom(double x, double y, double dx, double dy, const ZuStringRef& title);
    virtual bool InitGeom(double x, double y, double dx, double dy, const ZuStringRef& title,
                          const ZuViewRef& parent);
    virtual bool InitGeom(double x, double y, double dx, double dy);
    virtual bool SetTitle(const ZuStringRef& title) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiTitleWidget() = default;
    ZuiTitleWidget(const ZuiTitleWidget&) = default;
    ZuiTitleWidget& operator=(const ZuiTitleWidget&) = default;
    ~ZuiTitleWidget() = default;

private:
    // The widget's view, stopping the program when the widget is no view.
    ZuView* Self();
    bool Place(double x, double y, double dx, double dy, const ZuStringRef* title,
               const ZuViewRef* parent);
};

#endif
