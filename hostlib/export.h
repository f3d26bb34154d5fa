#pragma once

// hostlib is a shared library with hidden symbols: its API is exported explicitly.
#define CTB_HOSTLIB_EXPORT __attribute__((visibility("default")))
