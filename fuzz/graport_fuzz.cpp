// Feeds arbitrary bytes to the PostScript port's reader of interpreter
// answers, as they would come back from a send. Whatever the bytes, the
// reader must stay inside them, keep at most ten results, and list only
// font names shorter than 100 bytes; an answer it takes for values either
// sets the results or leaves them as they were.
#include "app/graport.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/string.h"
#include "si/maininit.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "graport_fuzz: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CGraPortRef* port_handle = [] {
        Zuvi_StartServices();
        auto* handle = new CGraPortRef(ZuNew<CGraPort>(nullptr, __LINE__, "fuzz/graport_fuzz"));
        std::atexit([] {
            delete port_handle;
            Zuvi_StopServices();
        });
        return handle;
    }();
    CGraPortRef& port = *port_handle;
    if (size > 0x7fffffff)
        return 0;
    const int n = static_cast<int>(size);

    const int before = port->RetResultCount();
    double previous[CGraPort::MAX_RESULTS];
    for (int i = 0; i < CGraPort::MAX_RESULTS; i++)
        previous[i] = port->RetResult(i);
    const ZuListRef names_before = port->RetFontNames();

    CGraPort::AnswerKind kind = port->ReadAnswer(data, n);

    const int count = port->RetResultCount();
    Check(count >= 0 && count <= CGraPort::MAX_RESULTS, "result count out of range");
    switch (kind) {
    case CGraPort::ANSWER_EMPTY:
        Check(n == 0 && count == 0, "empty answer with bytes or results");
        break;
    case CGraPort::ANSWER_VALUES:
        Check(data[0] == 129, "values without a binary sequence");
        if (n % 12 != 0) {
            Check(count == before, "results changed by a partial answer");
            for (int i = 0; i < CGraPort::MAX_RESULTS; i++) {
                const double now = port->RetResult(i);
                Check(std::memcmp(&now, &previous[i], sizeof now) == 0,
                      "result changed by a partial answer");
            }
        } else {
            Check(count == (n / 12 < CGraPort::MAX_RESULTS ? n / 12 : CGraPort::MAX_RESULTS),
                  "wrong count");
        }
        break;
    case CGraPort::ANSWER_FONT_NAMES: {
        Check(n > 4 && data[0] == 129 && data[4] == 5, "font names without a string");
        ZuListRef names = port->RetFontNames();
        Check(names.IsValid() && !(names == names_before), "no new list of names");
        ZuObjectRef item;
        for (unsigned i = 0; names->Get(i, item); i++) {
            ZuStringRef name(item);
            Check(std::strlen(name->AccessLatin()) < 100, "font name of 100 bytes or more");
        }
        break;
    }
    case CGraPort::ANSWER_IGNORED:
        Check(n >= 2 && data[0] == '>' && data[1] == '>', "ignored answer without \">>\"");
        break;
    case CGraPort::ANSWER_ERROR:
        break;
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
