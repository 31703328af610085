// The program's entry: the library's WinMain starts the class "App".
#include "sd/win32/sd_grailwdo.h"
#include "w32/module.h"

int main()
{
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 1);
}
