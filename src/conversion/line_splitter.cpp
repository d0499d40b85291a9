// Line splitting over a chunked read.
#include "conversion/line_splitter.h"

#include <algorithm>

#include "conversion/vector_instructions.h"

namespace morlavin::conversion {
namespace {

constexpr std::size_t kBlock = LineSplitter::kBlock;

// The line ends of a whole buffer are marked in one pass, which costs less
// than looking for each line's end on its own when lines are short, and lets
// the search for the next end stay a few instructions, without a call.
void markBytes(const char* buffer, std::size_t blocks, std::uint64_t* ends) {
  for (std::size_t block = 0; block < blocks; ++block, buffer += kBlock) {
    std::uint64_t mark = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
      mark |= static_cast<std::uint64_t>(buffer[i] == '\r' || buffer[i] == '\n') << i;
    }
    ends[block] = mark;
  }
}

#if defined(__x86_64__)
void markSse2(const char* buffer, std::size_t blocks, std::uint64_t* ends) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const auto hits = [&](const char* p) -> std::uint64_t {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<std::uint16_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
  };
  for (std::size_t block = 0; block < blocks; ++block, buffer += kBlock) {
    ends[block] =
        hits(buffer) | hits(buffer + 16) << 16 | hits(buffer + 32) << 32 | hits(buffer + 48) << 48;
  }
}

__attribute__((target("avx2"))) void markAvx2(const char* buffer, std::size_t blocks,
                                              std::uint64_t* ends) {
  const __m256i cr = _mm256_set1_epi8('\r');
  const __m256i lf = _mm256_set1_epi8('\n');
  const auto hits = [&](const char* p) __attribute__((target("avx2")))->std::uint64_t {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_or_si256(_mm256_cmpeq_epi8(bytes, cr), _mm256_cmpeq_epi8(bytes, lf))));
  };
  for (std::size_t block = 0; block < blocks; ++block, buffer += kBlock) {
    ends[block] = hits(buffer) | hits(buffer + 32) << 32;
  }
}

// A block is one register here, and its comparisons give its mark directly.
__attribute__((target("avx512bw"))) void markAvx512(const char* buffer, std::size_t blocks,
                                                    std::uint64_t* ends) {
  const __m512i cr = _mm512_set1_epi8('\r');
  const __m512i lf = _mm512_set1_epi8('\n');
  for (std::size_t block = 0; block < blocks; ++block, buffer += kBlock) {
    const __m512i bytes = _mm512_loadu_si512(buffer);
    ends[block] = _mm512_cmpeq_epi8_mask(bytes, cr) | _mm512_cmpeq_epi8_mask(bytes, lf);
  }
}

#endif

LineSplitter::MarkLineEnds markerFor(Vectors widest) {
  switch (usableVectors(widest)) {
#if defined(__x86_64__)
    case Vectors::kAvx512:
      return markAvx512;
    case Vectors::kAvx2:
      return markAvx2;
    case Vectors::kSsse3:
      return markSse2;
#endif
    default:
      return markBytes;
  }
}

}  // namespace

LineSplitter::LineSplitter(platform::InputFile& file, std::size_t bufferSize,
                           EncodingChoice encoding, ChunkObserver observer, Vectors widest)
    : m_file(file),
      m_encoding(encoding),
      // The start of a file that decides how it is read comes in one read.
      m_capacity(encoding == EncodingChoice::kAuto ? std::max(bufferSize, kSniffWindow)
                                                   : bufferSize),
      m_observer(std::move(observer)),
      m_markLineEnds(markerFor(widest)) {
  allocate(m_capacity);
}

void LineSplitter::allocate(std::size_t size) {
  // The last block can reach past the data: those bytes are zeros, never a
  // line end. One more mark, always empty, stands for the block after the data.
  m_buffer = platform::chunkBuffer(size + kBlock);
  m_marks.reset(new std::uint64_t[size / kBlock + 2]);
}

Result<std::size_t> LineSplitter::readStart() {
  m_started = true;
  const Result<std::size_t> first = m_file.read(m_buffer.get(), m_capacity);
  if (!first.ok()) return first;
  std::size_t end = *first;
  // A mark, or the window that tells UTF-16 without one, is looked for in the
  // first read, made long enough to hold it.
  const std::size_t wanted = m_encoding == EncodingChoice::kAuto   ? kSniffWindow
                             : m_encoding == EncodingChoice::kUtf8 ? kUtf8ByteOrderMark.size()
                                                                   : 0;
  for (std::size_t got = end; got > 0 && end < wanted && end < m_capacity; end += got) {
    const Result<std::size_t> more = m_file.read(m_buffer.get() + end, m_capacity - end);
    if (!more.ok()) return more;
    got = *more;
  }
  m_bytesRead += end;
  m_lastRead = end;
  if (end > 0 && m_observer) m_observer(std::string_view(m_buffer.get(), end));

  const std::string_view start(m_buffer.get(), end);
  TextStart says = TextStart::kPlain;
  switch (m_encoding) {
    case EncodingChoice::kAuto:
      says = sniffTextStart(start.substr(0, kSniffWindow));
      break;
    case EncodingChoice::kUtf8:
      says = start.starts_with(kUtf8ByteOrderMark) ? TextStart::kUtf8Mark : says;
      break;
    case EncodingChoice::kUtf16Le:
      says = TextStart::kUtf16Le;
      break;
    case EncodingChoice::kUtf16Be:
      says = TextStart::kUtf16Be;
      break;
    default:
      break;
  }
  if (says == TextStart::kUtf8Mark) m_scan.begin = kUtf8ByteOrderMark.size();
  if (says != TextStart::kUtf16Le && says != TextStart::kUtf16Be) return end;
  m_utf16 = std::make_unique<Utf16Decoder>(says == TextStart::kUtf16Be, true);
  m_raw = std::move(m_buffer);
  // UTF-16 is decoded into the buffer, where it takes more bytes than it did.
  allocate(Utf16Decoder::maxOutput(m_capacity));
  return end > 0 ? m_utf16->decode(m_raw.get(), end, m_buffer.get()) : readText();
}

Result<std::size_t> LineSplitter::readText() {
  char* const into = m_utf16 ? m_raw.get() : m_buffer.get();
  const Result<std::size_t> read = m_file.read(into, m_capacity);
  if (!read.ok()) return read;
  const std::size_t got = *read;
  m_bytesRead += got;
  m_lastRead = got;
  if (got > 0 && m_observer) m_observer(std::string_view(into, got));
  if (!m_utf16) return got;
  if (got > 0) return m_utf16->decode(m_raw.get(), got, m_buffer.get());
  if (m_decoderFinished) return 0;
  m_decoderFinished = true;
  return m_utf16->finish(m_buffer.get());
}

Result<bool> LineSplitter::refill() {
  Scan& scan = m_scan;
  scan.begin = 0;
  const Result<std::size_t> read = m_started ? readText() : readStart();
  if (!read.ok()) {
    scan.end = 0;
    return read.status();
  }
  scan.end = *read;
  std::fill_n(m_buffer.get() + scan.end, kBlock, '\0');
  const std::size_t blocks = (scan.end + kBlock - 1) / kBlock;
  m_markLineEnds(m_buffer.get(), blocks, m_marks.get());
  m_marks[blocks] = 0;
  scan.block = 0;
  scan.ends = m_marks[0];  // a dropped mark holds no line end to skip
  // A read can give no text: a mark alone, or half a UTF-16 character.
  if (scan.begin < scan.end) return true;
  if (m_lastRead == 0) return false;
  return refill();
}

Result<bool> LineSplitter::next(std::string_view& line) {
  Scan& scan = m_scan;
  m_carry.clear();
  m_partial = false;
  for (;;) {
    if (scan.begin == scan.end) {
      const Result<bool> more = refill();
      if (!more.ok()) return more;
      if (!*more) {
        if (!m_partial) return false;
        line = m_carry;
        return true;
      }
    }
    const char* const buffer = m_buffer.get();
    if (m_skipLineFeed) {
      m_skipLineFeed = false;
      if (buffer[scan.begin] == '\n') {
        consumeTo(scan, m_marks.get(), scan.begin + 1);
        continue;
      }
    }
    const char* start = buffer + scan.begin;
    const std::size_t stop = nextLineEnd(scan, m_marks.get());
    if (stop == scan.end) {
      m_carry.append(start, scan.end - scan.begin);
      m_partial = true;
      scan.begin = scan.end;
      continue;
    }
    const std::size_t length = stop - scan.begin;
    std::size_t after = stop + 1;
    if (buffer[stop] == '\r') {
      // The LF of a CR LF is usually in the buffer already; only one cut off
      // by the buffer's end waits for the next read.
      if (after < scan.end) {
        if (buffer[after] == '\n') ++after;
      } else {
        m_skipLineFeed = true;
      }
    }
    consumeTo(scan, m_marks.get(), after);
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
