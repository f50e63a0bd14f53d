// The text of a window or control as code page 932 bytes.
#pragma once

#include "win/base/wide_win.h"
