#pragma once
// ARS_API marks the library's public classes and functions. The engine is
// compiled with hidden visibility, so a shared engine exports these alone,
// and a static one exports nothing: a user's shared library that links it
// re-exports none of its names. ARS_BUILDING_SHARED_ENGINE is set only while
// the shared library itself is compiled; its users need no attribute.
#if defined(ARS_BUILDING_SHARED_ENGINE)
#define ARS_API __attribute__((visibility("default")))
#else
#define ARS_API
#endif
