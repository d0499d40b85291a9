// Which vector instructions a scan of a text's bytes may use.
#pragma once

namespace morlavin::conversion {

// Vectors a scan of the bytes may use; kNone goes byte by byte, as on
// machines without them.
enum class Vectors { kNone, kSsse3, kAvx2, kAvx512 };

// The widest vectors this machine has, but none wider than `widest`.
inline Vectors usableVectors(Vectors widest) {
#if defined(__x86_64__)
  if (widest == Vectors::kAvx512 && __builtin_cpu_supports("avx512bw")) return Vectors::kAvx512;
  if (widest >= Vectors::kAvx2 && __builtin_cpu_supports("avx2")) return Vectors::kAvx2;
  if (widest != Vectors::kNone && __builtin_cpu_supports("ssse3")) return Vectors::kSsse3;
#endif
  return Vectors::kNone;
}

}  // namespace morlavin::conversion
