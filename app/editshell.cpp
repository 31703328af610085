#include "app/editshell.h"

#include "app/def.h"
#include "app/tree.h"

namespace {

// The shell before the program's own is there.
class CNoShell : public IEditShell {};

CNoShell none;
IEditShell* current = &none;

} // namespace

void IEditShell::EnableCommand(const char*, bool) {}

void IEditShell::SetCommandCheck(const char*, bool) {}

bool IEditShell::HasClipboardTree() const
{
    return false;
}

CTreeRef IEditShell::RetClipboard() const
{
    return CTreeRef();
}

void IEditShell::SetClipboard(CTreeRef) {}

bool IEditShell::HasClipboardText() const
{
    return false;
}

bool IEditShell::IsPropertyDlgVisible() const
{
    return false;
}

void IEditShell::ShowSelectionProperties(const CSelectObjectRef&, const CGraObjectRef&) {}

void IEditShell::RefreshObjectProperties(const CGraObjectRef&, const DPoint&, int) {}

bool IEditShell::SetCurrentDefinition(int, const CDefRef&)
{
    return false;
}

CDefRef IEditShell::RetCurrentDefinition(int) const
{
    return CDefRef();
}

void IEditShell::RedisplayDefinitions() {}

void IEditShell::SetDefDlgUsedKinds(const int*, const int*) {}

void IEditShell::SetSampleDlgUsedKinds(const int*, const int*) {}

int IEditShell::GetToolState(int) const
{
    return 0;
}

void IEditShell::UpdatePageDialog(const CSelectObjectRef&) {}

void IEditShell::UpdateLayerDialog(const CSelectObjectRef&) {}

void SetEditShell(IEditShell* shell)
{
    current = shell != nullptr ? shell : &none;
}

IEditShell& RetEditShell()
{
    return *current;
}
