// The wire-string tables of enums.h, built in this one unit (see TQ_WIRE_STRINGS).
#define TQ_DEFINE_WIRE_STRINGS
#include "model/enums.h"
