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

Zuvi_InterfaceExport* Zuvi_InterfaceExport::head = nullptr;
Zuvi_InterfaceExport* Zuvi_InterfaceExport::tail = nullptr;

Zuvi_InterfaceExport::Zuvi_InterfaceExport(const ZuRuntimeRef* class_rt_,
                                           const Zuvi_Interface* iface_,
                                           const Zuvi_InterfaceCastDef* cast_)
    : next(nullptr), class_rt(class_rt_), iface(iface_), cast(cast_)
{
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
}

Zuvi_Interface* Zuvi_Interface::all_interfaces = nullptr;

Zuvi_Interface::Zuvi_Interface(const char* name_)
    : class_map(), name(name_), stamp(0), next_interface(all_interfaces)
{
    all_interfaces = this;
}

void Zuvi_Interface::ReleaseClassMaps()
{
    for (Zuvi_Interface* iface = all_interfaces; iface; iface = iface->next_interface) {
        iface->class_map.Resize(0);
        iface->stamp = 0;
    }
}

bool Zuvi_Interface::CheckClassMap(unsigned int class_index) const
{
    const Zuvi_SimpleArrayZero<bool>& map = RetClassMap();
    if (class_index >= map.RetCount())
        return false;
    return map.At(class_index);
}

const Zuvi_SimpleArrayZero<bool>& Zuvi_Interface::RetClassMap() const
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
const Zuvi_Interface ZuiCache::interface("ZuiCache");
const Zuvi_Interface ZuiCheckFilter::interface("ZuiCheckFilter");
const Zuvi_Interface ZuiClassPatch::interface("ZuiClassPatch");
const Zuvi_Interface ZuiContainer::interface("ZuiContainer");
const Zuvi_Interface ZuiFileFilter::interface("ZuiFileFilter");
const Zuvi_Interface ZuiFileSort::interface("ZuiFileSort");
const Zuvi_Interface ZuiGrailHook::interface("ZuiGrailHook");
const Zuvi_Interface ZuiPictogram::interface("ZuiPictogram");
const Zuvi_Interface ZuiPictogramLabel::interface("ZuiPictogramLabel");
const Zuvi_Interface ZuiSmartSource::interface("ZuiSmartSource");
const Zuvi_Interface ZuiTickHandler::interface("ZuiTickHandler");
const Zuvi_Interface ZuiValue::interface("ZuiValue");
