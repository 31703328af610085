// ZuObjectWell: a control that holds one embedded object and shows it as a
// small well: a raised square with a cube icon and, once an object is held,
// an arrow, the object's class name, an editor view for it, a "new" and a
// "kill" button. The object comes in by a call, by the target "SetObject",
// or by a drop. Editors and new objects come from the application's
// builder, asked by message; the well reports "notify_object_changed"
// whenever its object changes.
#ifndef SI_OBJECTWELL_H
#define SI_OBJECTWELL_H

#include "si/button.h"
#include "si/control.h"
#include "si/datarep.h"
#include "si/hashtab.h"
#include "si/icon.h"
#include "si/typeinfo.h"

ZU_HANDLE(ZuObjectWell, ZuControl)
class ZuObjectWell : public ZuControl {
    ZU_CLASS(ZuObjectWell, ZuControl)
public:
    ZuObjectWell();

    // Removes the child views and the reporters before the control goes.
    void Delete() override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The cube square, the arrow and the editor's width, whatever the object.
    void GetMinSize(double& dx, double& dy) const override;
    // Takes every drag; a commit puts the drag's object in the well.
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override;

    virtual void CleanupWell();
    // Rebuilds the children around the current object; the button flags
    // and icons take effect here.
    virtual void SetupWellForObject();
    // A view smaller than its minimum size gets its minimum size.
    virtual void AdjustObject(const ZuObjectRef& object);
    virtual bool SetObject(const ZuObjectRef& object);
    virtual bool SetObjectEditor(const ZuViewRef& editor);
    virtual bool SetBaseType(const ZuTypeInfoRef& type);
    virtual bool GetObject(ZuObjectRef& out) const;
    virtual bool GetBaseType(ZuTypeInfoRef& out) const;
    virtual const ZuObjectRef& RetObject() const;
    virtual const ZuViewRef& RetObjectEditor() const;
    virtual bool SetNewButton(bool flag);
    virtual bool SetKillButton(bool flag);
    virtual bool SetWellIcons(const ZuAtomRef& cube, const ZuAtomRef& arrow);
    virtual bool Update();
    // Asks the builder for a new object of the base type.
    virtual bool NewObject();
    virtual bool KillObject();
    virtual void AddReporter(const ZuDataReportRef& reporter);

    const ZuButtonRef& RetNewButton() const { return new_button; }
    const ZuButtonRef& RetKillButton() const { return kill_button; }
    bool IsObjectAttached() const { return object_attached; }

    static ZuAtomRef notify_object_changed;

protected:
    // "<ZuObjectWell object use_new_button use_kill_button icon_cube
    // icon_arrow>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuObjectRef object;
    ZuHashTableRef reporters;
    ZuTypeInfoRef base_type;
    bool object_attached = false;
    bool editor_shown = false;
    bool use_new_button = true;
    bool use_kill_button = true;
    ZuAtomRef icon_cube;
    ZuAtomRef icon_arrow;
    double editor_width = 150;
    ZuViewRef editor;
    ZuIconRef kill_icon;
    ZuButtonRef kill_button;
    ZuIconRef new_icon;
    ZuButtonRef new_button;
    double arrow_dx = 0;
    double cube_dx = 0;
    double icon_dy = 0;
    double frame = 0;
    double cube_y = 0;
    double arrow_y = 0;

private:
    // A 14 x 14 button with an icon at (x, y), calling the well's method.
    void MakeButton(const char* icon_name, double x, double y, const char* method, ZuIconRef& icon,
                    ZuButtonRef& button);
};
ZU_CLASS_END(ZuObjectWell)

#endif
