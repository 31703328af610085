// The route a user waits for, as a whole program, to be timed beside the
// interpreter's own program:
//
//   document_route make DOC PS   writes the benchmark's document to DOC and
//                                the PostScript the port sends for it to PS
//   document_route export DOC PNG
//                                opens DOC and renders it through the port
//                                and the interpreter into a 150 dpi PNG
//   document_route open DOC -    opens DOC only (where the route's time goes)
//
//   gs -q -dNOPAUSE -dBATCH -dNOSAFER -sDEVICE=png16m -r150 -sOutputFile=PNG PS
//                                the same page by the interpreter alone
//
// The document benchmark times both programs (BM_RouteProgram beside
// BM_GsProgramSamePage).
#include "bench/docshapes.h"
#include "ghost/gslibmain.h"
#include "si/maininit.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "document_route make DOC PS | export DOC PNG\n");
        return 2;
    }
    const std::string mode = argv[1];
    // As the program does first of all: the interpreter's library loads
    // while the library's services start.
    if (mode == "export")
        GSLoadEarly();
    Zuvi_StartServices();
    if (mode == "make") {
        CDocumentRef doc = BuildDocument();
        if (!doc->WriteFile(ZuStringRef(argv[2])))
            return 1;
        ZuDocBenchCaptureRef capture = BenchMake<ZuDocBenchCaptureRef>();
        DrawDocument(doc, capture);
        std::ofstream out(argv[3], std::ios::binary);
        out << "<< /PageSize [595 842] >> setpagedevice\n" << capture->captured << "\nshowpage\n";
        return out ? 0 : 1;
    }
    if (mode != "export" && mode != "open")
        return 2;
    // As the program does at its start: the interpreter sets itself up
    // while the document is read.
    if (mode == "export")
        GSStartEarly();
    CDocumentRef doc = CDocument::ReadFile(ZuStringRef(argv[2]));
    if (doc.IsInvalid())
        return 1;
    if (mode == "open")
        return 0;
    GSContextRef file = BenchMake<GSContextRef>();
    const int dpi = 150;
    if (!file->CreateRenderDevice(unsigned(595.0 * dpi / 72.0 + 0.5),
                                  unsigned(842.0 * dpi / 72.0 + 0.5), dpi, 24,
                                  ZuStringRef("png16m")) ||
        !file->BeginRender(argv[3], 1))
        return 1;
    DrawDocument(doc, file);
    if (!file->ExecuteText("showpage\n", 0) || !file->EndRender())
        return 1;
    return 0;
}
