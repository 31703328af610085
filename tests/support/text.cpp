#include "tests/support/text.h"

std::string Text(const ZuStringRef& s)
{
    std::string out;
    if (s.IsInvalid())
        return out;
    unsigned n = s->CharacterCount();
    for (unsigned i = 0; i < n; ++i)
        out.push_back(static_cast<char>(s->RetCharacter(i)));
    return out;
}
