#include "platform/Afx.h"
