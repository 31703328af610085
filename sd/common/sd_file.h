// Zuvi_File: the platform file layer of the library.
#pragma once

// Points the graphics engine's allocation hooks at the C runtime's malloc
// and free, with the hook argument 0. Called once by the library's start-up,
// before any surface exists.
void Zuvi_SetGfxMemoryHooks();
