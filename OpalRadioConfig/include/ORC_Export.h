#pragma once

// The library is built with hidden visibility; only declarations marked ORC_EXPORT are
// part of its binary interface.
#if defined(ORC_BUILDING_LIBRARY)
#define ORC_EXPORT __attribute__((visibility("default")))
#else
#define ORC_EXPORT
#endif
