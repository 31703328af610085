// ZuPlotView: a view that plots an array of reals as single dots, either
// values against their index (Y_T) or (x, y) pairs (X_Y). The array is
// borrowed from the caller or owned in a memory zone, and read as a ring
// whose start the origin moves. A zero and a size per axis map data values
// into the view: X = x / h_size + h_zero and Y = y / v_size + v_zero, drawn
// when both lie in [0, 1), Y growing upwards from the bottom edge.
#ifndef SI_PLOTVIEW_H
#define SI_PLOTVIEW_H

#include "si/colorpixel.h"
#include "si/view.h"

class ZuMemZone;

// clang-format off
#define ZU_PLOT_VIEW_TYPE_LIST(X)                                                 \
    X(ZU_PLOT_VIEW_NONE, 0) X(ZU_PLOT_VIEW_Y_T, 1) X(ZU_PLOT_VIEW_X_Y, 2)
// clang-format on
ZU_ENUM(ZuPlotViewType, ZU_PLOT_VIEW_TYPE_LIST)

ZU_HANDLE(ZuPlotView, ZuView)
class ZuPlotView : public ZuView {
    ZU_CLASS(ZuPlotView, ZuView)
public:
    ZuPlotView();
    ~ZuPlotView() override;

    void Delete() override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // The data part of the stored form: a repeat of data_num reals.
    virtual void StoreDataSet(const ZuStorageRef& storage);
    // Reads data_num reals into owned data; a count larger than the bytes
    // left could hold is refused with a stream error, nothing kept.
    virtual void RestoreDataSet(const ZuStorageRef& storage);
    // Releases owned data; no data afterwards (the type stays).
    virtual void FlushDataSet();
    // Takes the array over as it is: owned with a zone, borrowed without.
    virtual void DefineDataSet(const double* data, unsigned int count, ZuPlotViewType type,
                               ZuMemZone* zone);
    // Borrowed data becomes an owned copy in the data zone.
    virtual void CloneDataSet();
    // Points: data_num values (Y_T) or data_num / 2 pairs (X_Y).
    virtual unsigned TotalCount() const;
    virtual bool GetDataPoint(unsigned int i, double& x, double& y, ZuColorPixel& colour);
    // Owned data only; the index wraps around the ring.
    virtual bool SetData(unsigned int i, double x, double y);
    virtual bool SetData(unsigned int i, double y);
    virtual bool GetData(unsigned int i, double& x, double& y) const;
    virtual bool GetData(unsigned int i, double& y) const;
    virtual bool SetHorizontalZero(double value);
    virtual bool SetHorizontalSize(double value);
    virtual bool SetVerticalZero(double value);
    virtual bool SetVerticalSize(double value);
    // False without data; otherwise the origin modulo data_num.
    virtual bool SetDataOrigin(unsigned int origin);
    virtual double RetHorizontalZero() const { return h_zero; }
    virtual double RetHorizontalSize() const { return h_size; }
    virtual double RetVerticalZero() const { return v_zero; }
    virtual double RetVerticalSize() const { return v_size; }
    virtual unsigned RetDataOrigin() const { return data_org; }

    ZuPlotViewType RetDataType() const { return data_type; }
    unsigned RetDataNum() const { return data_num; }
    bool IsDataOwned() const { return data_zone != nullptr; }
    void SetDefaultColor(const ZuColorPixel& colour) { default_color = colour; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // The index into data of point i's value (Y_T) or of its pair's x
    // (X_Y); false when the type does not match or there is no point.
    bool RingIndex(unsigned int i, ZuPlotViewType type, unsigned& at) const;

    double h_zero = 0.0;
    double h_size = 1.0;
    double v_zero = 0.5;
    double v_size = 1.0;
    ZuColorPixel default_color;
    ZuPlotViewType data_type = ZU_PLOT_VIEW_NONE;
    double* data = nullptr;
    unsigned data_num = 0;
    unsigned data_org = 0;
    ZuMemZone* data_zone = nullptr;
};
ZU_CLASS_END(ZuPlotView)

#endif
