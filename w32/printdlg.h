#ifndef W32_PRINTDLG_H
#define W32_PRINTDLG_H

// The print dialog and the print service.
//
// There is no system print dialog here. PrintDlgA stands in for it: it
// answers the settings it is given, or the answer a caller scripted before.
// Tests script the user's choice; the program scripts nothing, so it prints
// with the defaults (its own window "Imprimer" sets only the screening). A
// print service exists when the local print server's socket is there or
// CUPS_SERVER names one; tests can script that too.

#include "w32/file.h"
#include "w32/windef.h"

// Flags of PRINTDLGA.
#define PD_PAGENUMS 0x00000002u    // the user chose a page range
#define PD_PRINTTOFILE 0x00000020u // print into szFile
#define PD_PRINTSETUP 0x00000040u  // the set-up dialog rather than the print dialog

struct PRINTDLGA {
    DWORD lStructSize;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    // The printer chosen (empty: the default one) and, with PD_PRINTTOFILE,
    // the file to print into (an operating-system name).
    char szPrinter[MAX_PATH];
    char szFile[MAX_PATH];
    // The paper, in points.
    double dMediaWidth;
    double dMediaHeight;
};

// Fills the record with the defaults: one copy, pages 1 to 1 of 1 to 9999,
// A4 paper, the default printer; with no print service, printing into
// "lumbra.pdf" of the desktop folder.
void W32_DefaultPrintSettings(PRINTDLGA* settings);

// Shows the dialog over the settings. TRUE when the user confirmed (the
// record then holds the choice); FALSE when cancelled (the record is
// unchanged) or for a record of the wrong size.
BOOL PrintDlgA(PRINTDLGA* settings);

// The default printer's name into the buffer (*size bytes; *size becomes the
// length needed with the zero). FALSE when there is no print service or the
// buffer is too small.
BOOL GetDefaultPrinterA(LPSTR buffer, DWORD* size);

// ---- Scripting (tests) -----------------------------------------------------

// The next dialogs answer `confirm`; when confirmed and `answer` is not null,
// the record becomes a copy of *answer (its lStructSize and PD_PRINTSETUP
// kept). Each call replaces the script; W32_ClearPrintScript goes back to
// confirming the settings each dialog is given.
void W32_ScriptPrintDialog(BOOL confirm, const PRINTDLGA* answer);
void W32_ClearPrintScript();
// How many dialogs were shown since the last script or its clearing.
unsigned W32_PrintDialogCount();
// -1: look for the print service (the default); 0: there is none; 1: there
// is one, whose default printer has that name.
void W32_ScriptPrintService(int state, LPCSTR printer);

#endif
