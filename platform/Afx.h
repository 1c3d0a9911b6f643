// The umbrella header of the platform layer. Game code includes only this.
#pragma once

#include "platform/AfxDlg.h"
#include "platform/AfxGdi.h"
#include "platform/AfxPrint.h"
#include "platform/AfxSound.h"
#include "platform/AfxString.h"
#include "platform/AfxTypes.h"
#include "platform/AfxWin.h"
