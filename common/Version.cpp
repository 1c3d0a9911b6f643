#include "common/Version.h"

const char* const g_versionString = " -- Version QV317";
