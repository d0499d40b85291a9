// A system call that a signal interrupted is simply made again: a signal the
// program does not act on must never turn into a failure the user sees.
#pragma once

#include <cerrno>

namespace morlavin::platform {

// Calls `call` until it returns anything but -1 with errno EINTR. Not for
// close(): Linux releases the descriptor even when close is interrupted, and a
// second close could release one that another thread has been given since.
template <typename Call>
auto retryOnInterrupt(Call call) -> decltype(call()) {
  for (;;) {
    const auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

}  // namespace morlavin::platform
