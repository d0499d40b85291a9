// The line rule of every text file the program reads: a line ends at CR LF, at
// a CR alone or at an LF alone (so LF CR is two line ends). A last line without
// an end is a line, and a file ending in a line end has no empty line after it.
#pragma once

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

  // A 64-byte block of the buffer at `start` and its line ends: bit i is set
  // when the byte at start + i is a CR or an LF.
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
  // The bytes read from the file so far.
  std::uint64_t bytesRead() const { return m_bytesRead; }

 private:
  bool refill();
  // The next line when it does not lie whole in the buffer, or the buffer is used up.
  bool nextAcrossReads(std::string_view& line);
  // Where the next CR or LF at or after m_begin is; m_end when the buffer holds none.
  std::size_t nextLineEnd();
  // Moves the start of the next line to `begin`, forgetting the line ends before it.
  void consumeTo(std::size_t begin);

  platform::InputFile& m_file;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_capacity;
  ChunkObserver m_observer;
  bool m_dropMark;
  FindBlock m_findBlock;
  std::uint64_t m_bytesRead = 0;
  std::size_t m_begin = 0;
  std::size_t m_end = 0;
  // The buffer is scanned 64 bytes at a time: bit i of m_ends is set when the
  // byte at m_blockStart + i is a CR or an LF not yet handed out, and
  // m_scanned is where the next block starts.
  std::uint64_t m_ends = 0;
  std::size_t m_blockStart = 0;
  std::size_t m_scanned = 0;
  bool m_skipLineFeed = false;  // the last line ended in a CR at the buffer's end
  std::string m_carry;          // a line that spans buffer refills
  bool m_partial = false;       // part of the current line is in m_carry
};

}  // namespace morlavin::conversion
