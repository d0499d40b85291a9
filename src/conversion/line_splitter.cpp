// Line splitting over a chunked read.
#include "conversion/line_splitter.h"

#include <cstring>

namespace morlavin::conversion {

LineSplitter::LineSplitter(platform::InputFile& file, std::size_t bufferSize)
    : m_file(file), m_buffer(new char[bufferSize]), m_capacity(bufferSize) {}

bool LineSplitter::refill() {
  m_begin = 0;
  m_end = m_file.read(m_buffer.get(), m_capacity);
  return m_end > 0;
}

bool LineSplitter::advance(std::string_view* line) {
  m_carry.clear();
  m_partial = false;
  for (;;) {
    if (m_begin == m_end && !refill()) {
      if (!m_partial) return false;
      if (line) *line = m_carry;
      return true;
    }
    if (m_skipLineFeed) {
      m_skipLineFeed = false;
      if (m_buffer[m_begin] == '\n') {
        ++m_begin;
        continue;
      }
    }
    const char* start = m_buffer.get() + m_begin;
    const auto* cr = static_cast<const char*>(std::memchr(start, '\r', m_end - m_begin));
    if (cr == nullptr) {
      if (line) m_carry.append(start, m_end - m_begin);
      m_partial = true;
      m_begin = m_end;
      continue;
    }
    const auto length = static_cast<std::size_t>(cr - start);
    m_begin += length + 1;
    // The LF of a CR LF is usually in the buffer already; only one cut off by
    // the buffer's end waits for the next read.
    if (m_begin < m_end) {
      if (m_buffer[m_begin] == '\n') ++m_begin;
    } else {
      m_skipLineFeed = true;
    }
    if (line && !m_partial) {
      *line = std::string_view(start, length);
    } else if (line) {
      m_carry.append(start, length);
      *line = m_carry;
    }
    return true;
  }
}

}  // namespace morlavin::conversion
