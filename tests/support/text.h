#ifndef TESTS_SUPPORT_TEXT_H
#define TESTS_SUPPORT_TEXT_H

// The characters of a library string as a std::string (each character's
// low byte), empty for an empty handle: for comparing texts in tests.

#include <string>

#include "si/string.h"

std::string Text(const ZuStringRef& s);

#endif
