#include "w32/printdlg.h"

#include "w32/shell.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include <sys/stat.h>

namespace {

struct Script {
    bool active = false;
    bool confirm = true;
    bool has_answer = false;
    PRINTDLGA answer{};
    unsigned shown = 0;
    int service = -1;
    std::string printer;
};

std::mutex script_mutex;
Script script;

bool Exists(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0;
}

void Copy(char* out, const std::string& text)
{
    size_t n = text.size() < MAX_PATH - 1 ? text.size() : MAX_PATH - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

} // namespace

void W32_DefaultPrintSettings(PRINTDLGA* settings)
{
    if (settings == nullptr)
        return;
    std::memset(settings, 0, sizeof *settings);
    settings->lStructSize = sizeof *settings;
    settings->nFromPage = 1;
    settings->nToPage = 1;
    settings->nMinPage = 1;
    settings->nMaxPage = 9999;
    settings->nCopies = 1;
    settings->dMediaWidth = 595.0;
    settings->dMediaHeight = 842.0;
    char printer[MAX_PATH];
    DWORD size = sizeof printer;
    if (GetDefaultPrinterA(printer, &size)) {
        Copy(settings->szPrinter, printer);
    } else {
        settings->Flags |= PD_PRINTTOFILE;
        std::string dir = W32_DesktopDirectory();
        if (dir.empty() || dir.back() != '/')
            dir += '/';
        Copy(settings->szFile, dir + "lumbra.pdf");
    }
}

BOOL PrintDlgA(PRINTDLGA* settings)
{
    if (settings == nullptr || settings->lStructSize != sizeof *settings)
        return FALSE;
    std::lock_guard<std::mutex> lock(script_mutex);
    ++script.shown;
    if (!script.active)
        return TRUE;
    if (!script.confirm)
        return FALSE;
    if (script.has_answer) {
        DWORD size = settings->lStructSize;
        DWORD setup = settings->Flags & PD_PRINTSETUP;
        *settings = script.answer;
        settings->lStructSize = size;
        settings->Flags = (settings->Flags & ~PD_PRINTSETUP) | setup;
        settings->szPrinter[MAX_PATH - 1] = '\0';
        settings->szFile[MAX_PATH - 1] = '\0';
    }
    return TRUE;
}

BOOL GetDefaultPrinterA(LPSTR buffer, DWORD* size)
{
    if (size == nullptr)
        return FALSE;
    std::string name;
    {
        std::lock_guard<std::mutex> lock(script_mutex);
        if (script.service == 0)
            return FALSE;
        if (script.service == 1) {
            name = script.printer;
        } else {
            const char* server = std::getenv("CUPS_SERVER");
            bool present = (server != nullptr && *server != '\0') ||
                           Exists("/run/cups/cups.sock") || Exists("/var/run/cups/cups.sock");
            if (!present)
                return FALSE;
            const char* dest = std::getenv("PRINTER");
            name = dest ? dest : "";
        }
    }
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed;
    return TRUE;
}

void W32_ScriptPrintDialog(BOOL confirm, const PRINTDLGA* answer)
{
    std::lock_guard<std::mutex> lock(script_mutex);
    script.active = true;
    script.confirm = confirm != FALSE;
    script.has_answer = answer != nullptr;
    if (answer)
        script.answer = *answer;
    script.shown = 0;
}

void W32_ClearPrintScript()
{
    std::lock_guard<std::mutex> lock(script_mutex);
    script.active = false;
    script.has_answer = false;
    script.shown = 0;
}

unsigned W32_PrintDialogCount()
{
    std::lock_guard<std::mutex> lock(script_mutex);
    return script.shown;
}

void W32_ScriptPrintService(int state, LPCSTR printer)
{
    std::lock_guard<std::mutex> lock(script_mutex);
    script.service = state;
    script.printer = printer ? printer : "";
}
