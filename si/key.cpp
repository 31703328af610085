#include "si/key.h"

static_assert(sizeof(ZuKey) == 16, "a key record is 16 bytes");
