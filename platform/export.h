#pragma once

// The platform is one shared library built with hidden symbols: what other layers use is exported
// explicitly, so a class, its statics and its type information exist once per process.
#define CTB_PLATFORM_EXPORT __attribute__((visibility("default")))
