#include "si/interface.h"

#include "si/classfactory.h"
#include "si/icache.h"
#include "si/icheckfilter.h"
#include "si/iclasspatch.h"
#include "si/icontainer.h"
#include "si/ifilefilter.h"
#include "si/ifilesort.h"
#include "si/igrailhook.h"
#include "si/ipictogram.h"
#include "si/ipictogramlabel.h"
#include "si/ismartsource.h"
#include "si/itickhandler.h"
#include "si/ivalue.h"
#include "si/rtclass.h"

unsigned int Zuvi_Interface::current_seq_id = 0;

Zuvi_InterfaceExport * Zuvi_InterfaceExport::head = nullptr;
Zuvi_InterfaceExport * Zuvi_InterfaceExport::tail = nullptr;

Zuvi_InterfaceExport::Zuvi_InterfaceExport(ZuRuntimeRef const * class_rt_,
                                           Zuvi_Interface const * iface_,
                                           Zuvi_InterfaceCastDef const * cast_)
    : next(nullptr), class_rt(class_rt_), iface(iface_), cast(cast_)
{
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
}

Zuvi_Interface * Zuvi_Interface::all_interfaces = nullptr;

Zuvi_Interface::Zuvi_Interface(char const * name_)
    : class_map(), name(name_), stamp(0), next_interface(all_interfaces)
{
    all_interfaces = this;
}

void Zuvi_Interface::ReleaseClassMaps()
{
    for (Zuvi_Interface * iface = all_interfaces; iface; iface = iface->next_interface) {
        iface->class_map.Resize(0);
        iface->stamp = 0;
    }
}

bool Zuvi_Interface::CheckClassMap(unsigned int class_index) const
{
    Zuvi_SimpleArrayZero<bool> const & map = RetClassMap();
    if (class_index >= map.RetCount())
        return false;
    return map.At(class_index);
}

Zuvi_SimpleArrayZero<bool> const & Zuvi_Interface::RetClassMap() const
{
    if (stamp != current_seq_id) {
        class_map.Resize(0);
        stamp = current_seq_id;
        // Without classes there is nothing to map (and no zone to hold it).
        if (!ZuClassFactory::IsInitOk())
            return class_map;
        class_map.Resize(ZuClassFactory::TotalCount() + 1);
        ZuRuntimeRef runtime;
        for (unsigned int i = 0; ZuClassFactory::GetClass(i, runtime); ++i) {
            unsigned int id = runtime->RetRuntimeClassID();
            // Class ids keep counting across restarts of the factory.
            if (id >= class_map.RetCount())
                class_map.Resize(id + 1);
            if (runtime->ClassSupportsInterface(this))
                class_map.At(id) = true;
        }
    }
    return class_map;
}

// The descriptors of the library's interfaces.
Zuvi_Interface const ZuiCache::interface("ZuiCache");
Zuvi_Interface const ZuiCheckFilter::interface("ZuiCheckFilter");
Zuvi_Interface const ZuiClassPatch::interface("ZuiClassPatch");
Zuvi_Interface const ZuiContainer::interface("ZuiContainer");
Zuvi_Interface const ZuiFileFilter::interface("ZuiFileFilter");
Zuvi_Interface const ZuiFileSort::interface("ZuiFileSort");
Zuvi_Interface const ZuiGrailHook::interface("ZuiGrailHook");
Zuvi_Interface const ZuiPictogram::interface("ZuiPictogram");
Zuvi_Interface const ZuiPictogramLabel::interface("ZuiPictogramLabel");
Zuvi_Interface const ZuiSmartSource::interface("ZuiSmartSource");
Zuvi_Interface const ZuiTickHandler::interface("ZuiTickHandler");
Zuvi_Interface const ZuiValue::interface("ZuiValue");
