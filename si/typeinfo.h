// Type descriptors: the static type definitions and their registration
// table (si/typedef.h), and the lookups of a type by its name.
#pragma once

#include "si/typedef.h"
