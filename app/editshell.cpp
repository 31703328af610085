#include "app/editshell.h"

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

bool IEditShell::HasClipboardText() const
{
    return false;
}

bool IEditShell::IsPropertyDlgVisible() const
{
    return false;
}

void IEditShell::ShowSelectionProperties(const CSelectObjectRef&, const CGraObjectRef&) {}

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
