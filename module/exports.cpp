// The shared library's own translation unit: the exported symbols live in pkg_ctb10000.cpp, linked
// whole into this library.
#include "module/pkg_ctb10000.h"
