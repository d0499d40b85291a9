// The line rule of every text file the program reads: a line ends at CR LF, at
// a CR alone or at an LF alone (so LF CR is two line ends). A last line without
// an end is a line, and a file ending in a line end has no empty line after it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "conversion/text_encoding.h"
#include "platform/file_ops.h"

namespace morlavin::conversion {

// Splits a file into lines while reading it through a small reused buffer, so
// that a pass over a large file touches no more memory than its longest line.
// Works on raw Shift-JIS and UTF-8 bytes: no trail byte is a CR or an LF.
class LineSplitter {
 public:
  static constexpr std::size_t kDefaultBufferSize = 64 << 10;
  // Sees every chunk of the file as it is read, before its lines are handed out.
  using ChunkObserver = std::function<void(std::string_view)>;

  // With `dropByteOrderMark`, a UTF-8 byte-order mark at the start of the file
  // is no text: a file of the mark alone has no lines. Line ends are looked
  // for with vectors no wider than `widest`.
  explicit LineSplitter(platform::InputFile& file, std::size_t bufferSize = kDefaultBufferSize,
                        ChunkObserver observer = {}, bool dropByteOrderMark = false,
                        Vectors widest = Vectors::kAvx2);

  // A block of the buffer at `start` and its line ends: bit i is set when
  // the byte at start + i is a CR or an LF.
  static constexpr std::size_t kBlock = 64;
  struct Block {
    std::size_t start;
    std::uint64_t ends;
  };
  // The first block from `from` on, 64 bytes at a time, that holds a line
  // end; one at `end` or beyond, with no ends, when there is none before it.
  using FindBlock = Block (*)(const char* buffer, std::size_t from, std::size_t end);

  // The next line without its line end, valid until the next call; false at
  // the end of the file (or after a read error: see the file's error()).
  bool next(std::string_view& line);
  // Calls `take(line)` for every line left, as next() would give them. Lines
  // that lie whole in the buffer are handed out from one tight loop.
  template <class Take>
  void forEachLine(Take&& take);
  // The bytes read from the file so far.
  std::uint64_t bytesRead() const { return m_bytesRead; }

 private:
  // Where the buffer's scan stands: the next line starts at `begin`, the
  // data ends at `end`; bit i of `ends` is set when the byte at
  // blockStart + i is a CR or an LF not yet handed out, and `scanned` is
  // where the next block starts.
  struct Scan {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::uint64_t ends = 0;
    std::size_t blockStart = 0;
    std::size_t scanned = 0;
  };
  // Where the next CR or LF at or after scan.begin is; scan.end when the buffer holds none.
  [[gnu::always_inline]] static std::size_t nextLineEnd(Scan& scan, const char* buffer, FindBlock findBlock) {
    if (scan.ends == 0) {
      if (scan.scanned < scan.begin) scan.scanned = scan.begin;
      if (scan.scanned >= scan.end) return scan.end;
      const Block block = findBlock(buffer, scan.scanned, scan.end);
      scan.blockStart = block.start;
      scan.ends = block.ends;
      scan.scanned = block.start + kBlock;
      if (scan.ends == 0) return scan.end;
    }
    return scan.blockStart + static_cast<std::size_t>(std::countr_zero(scan.ends));
  }
  // Moves the start of the next line to `begin`, forgetting the line ends before it.
  [[gnu::always_inline]] static void consumeTo(Scan& scan, std::size_t begin) {
    scan.begin = begin;
    const std::size_t skipped = begin - scan.blockStart;
    scan.ends = skipped >= kBlock ? 0 : scan.ends & (~std::uint64_t{0} << skipped);
  }
  bool refill();

  platform::InputFile& m_file;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_capacity;
  ChunkObserver m_observer;
  bool m_dropMark;
  FindBlock m_findBlock;
  std::uint64_t m_bytesRead = 0;
  Scan m_scan;
  bool m_skipLineFeed = false;  // the last line ended in a CR at the buffer's end
  std::string m_carry;          // a line that spans buffer refills
  bool m_partial = false;       // part of the current line is in m_carry
};

template <class Take>
void LineSplitter::forEachLine(Take&& take) {
  for (;;) {
    if (!m_skipLineFeed) {
      // The scan's state lives in registers while `take` writes elsewhere.
      Scan scan = m_scan;
      const char* const buffer = m_buffer.get();
      const FindBlock findBlock = m_findBlock;
      for (;;) {
        const std::size_t stop = nextLineEnd(scan, buffer, findBlock);
        if (stop + 1 >= scan.end) break;  // none, or a CR whose LF may follow in the next read
        const std::size_t begin = scan.begin;
        consumeTo(scan, stop + 1 + (buffer[stop] == '\r' && buffer[stop + 1] == '\n'));
        take(std::string_view(buffer + begin, stop - begin));
      }
      m_scan = scan;
    }
    std::string_view line;
    if (!next(line)) return;
    take(line);
  }
}

}  // namespace morlavin::conversion
