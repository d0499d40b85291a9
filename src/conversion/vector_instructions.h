// The x86 vector instructions, for the .cpp files whose loops use them; no
// header includes this, so the instructions stay out of every other file.
#pragma once

#if defined(__x86_64__)
// GCC 12 warns about the placeholder its AVX-512 header uses for register
// contents left undefined (a false alarm, gone in GCC 13).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif
