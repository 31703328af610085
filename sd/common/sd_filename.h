#ifndef ZUVI_SD_COMMON_SD_FILENAME_H
#define ZUVI_SD_COMMON_SD_FILENAME_H

// Conversion between the library's path syntax and the names of the
// operating system.
//
// Library paths separate their elements with "/" and may begin with the
// pseudo-roots "$drives$" (the root of the file system), "$desktop$" (the
// user's desktop folder) and "$network$" (network names, "//server/share").
// The operating system's names are POSIX names. A library path that begins
// with "/" and no pseudo-root is an absolute name as it stands.
//
//   $drives$/home/u/f.txt   <->  /home/u/f.txt
//   $drives$                 ->  /
//   $desktop$/a/b            ->  <desktop folder>/a/b
//   $network$/srv/share/f    ->  //srv/share/f
//   dir/f                   <->  dir/f
//
// Names hold at most ZUVI_PATH_MAX - 1 characters. A name that would be
// longer is refused (false, and an empty result), never cut: a cut name could
// designate another file.
//
// The Win32 forms of the same rules are kept beside them (drive letters and
// backslashes), so that documents and settings that carry such names can be
// read: $drives$/C/dir/f.txt <-> C:\dir\f.txt, $network$/srv/share <->
// \\srv\share.

#define ZUVI_PATH_MAX 250

// `path` and `os_name` may be the same buffer of ZUVI_PATH_MAX bytes.
bool Zuvi_ConvertToOSName(const char* path, char* os_name);
bool Zuvi_ConvertFromOSName(const char* os_name, char* path);

// Win32 names; `desktop` is the desktop folder's Win32 name.
bool Zuvi_ConvertToWin32Name(const char* path, char* os_name, const char* desktop);
bool Zuvi_ConvertFromWin32Name(const char* os_name, char* path);

// The desktop folder as an operating-system name, fetched once from the
// shell and kept for the life of the process.
const char* Zuvi_DesktopOSName();

#endif
