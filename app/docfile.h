// Whole files of the program's archives: documents (".lumbra") and sample
// files (".sample"). Both go through these two paths.
//
// Writing is atomic: the archive goes to a temporary file beside the name,
// which is synced and renamed over the name only when everything was
// written; on any failure the temporary file is removed, the old file stays
// byte for byte, and the answer is false.
//
// Reading gives false for a file that cannot be opened, that is not an
// archive, or whose content is cut short or corrupt; the caller then drops
// what was read, so that nothing it holds changes. A number read that is no
// number reads as 0, one beyond a million (infinite or huge) as a million
// with its sign: the drawing and the interpreter could not take it.
#ifndef LUMBRA_APP_DOCFILE_H
#define LUMBRA_APP_DOCFILE_H

#include <functional>

#include "si/storage.h"
#include "si/string.h"

// Stores through `body` into an archive written to the file.
bool WriteArchiveFile(const ZuStringRef& name,
                      const std::function<void(const ZuStorageRef&)>& body);

// Restores through `body` from the archive in the file, then lets the
// restored objects finish awaking. With beside_program, a bare name (no
// folder) missing from the working directory is looked up beside the
// program.
bool ReadArchiveFile(const ZuStringRef& name, const std::function<void(const ZuStorageRef&)>& body,
                     bool beside_program = false);

#endif
