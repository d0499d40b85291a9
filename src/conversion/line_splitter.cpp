// Line splitting over a chunked read.
#include "conversion/line_splitter.h"

#include <cstring>

#include "conversion/text_encoding.h"

namespace morlavin::conversion {

LineSplitter::LineSplitter(platform::InputFile& file, std::size_t bufferSize, ChunkObserver observer,
                           bool dropByteOrderMark)
    : m_file(file),
      m_buffer(new char[bufferSize]),
      m_capacity(bufferSize),
      m_observer(std::move(observer)),
      m_dropMark(dropByteOrderMark) {}

bool LineSplitter::refill() {
  m_begin = 0;
  m_end = m_file.read(m_buffer.get(), m_capacity);
  m_nextCr = kUnknown;
  if (m_dropMark && m_bytesRead == 0) {
    // The mark is looked for in the first read, made long enough to hold it.
    const std::size_t markSize = kUtf8ByteOrderMark.size();
    for (std::size_t got = m_end; got > 0 && m_end < markSize && m_end < m_capacity; m_end += got) {
      got = m_file.read(m_buffer.get() + m_end, m_capacity - m_end);
    }
    if (std::string_view(m_buffer.get(), m_end).starts_with(kUtf8ByteOrderMark)) m_begin = markSize;
  }
  m_bytesRead += m_end;
  if (m_end > 0 && m_observer) m_observer(std::string_view(m_buffer.get(), m_end));
  return m_begin < m_end || (m_end > 0 && refill());
}

bool LineSplitter::next(std::string_view& line) {
  m_carry.clear();
  m_partial = false;
  for (;;) {
    if (m_begin == m_end && !refill()) {
      if (!m_partial) return false;
      line = m_carry;
      return true;
    }
    if (m_skipLineFeed) {
      m_skipLineFeed = false;
      if (m_buffer[m_begin] == '\n') {
        ++m_begin;
        continue;
      }
    }
    const char* const buffer = m_buffer.get();
    const char* start = buffer + m_begin;
    // Most files hold only one kind of line end: the next CR is remembered
    // across lines, and an LF is looked for only before it.
    if (m_nextCr < m_begin || m_nextCr > m_end) {
      const auto* cr = static_cast<const char*>(std::memchr(start, '\r', m_end - m_begin));
      m_nextCr = cr == nullptr ? m_end : static_cast<std::size_t>(cr - buffer);
    }
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', m_nextCr - m_begin));
    const std::size_t stop = lf != nullptr ? static_cast<std::size_t>(lf - buffer) : m_nextCr;
    if (stop == m_end) {
      m_carry.append(start, m_end - m_begin);
      m_partial = true;
      m_begin = m_end;
      continue;
    }
    const std::size_t length = stop - m_begin;
    m_begin = stop + 1;
    if (lf == nullptr) {
      // The LF of a CR LF is usually in the buffer already; only one cut off
      // by the buffer's end waits for the next read.
      if (m_begin < m_end) {
        if (buffer[m_begin] == '\n') ++m_begin;
      } else {
        m_skipLineFeed = true;
      }
    }
    if (!m_partial) {
      line = std::string_view(start, length);
    } else {
      m_carry.append(start, length);
      line = m_carry;
    }
    return true;
  }
}

}  // namespace morlavin::conversion
