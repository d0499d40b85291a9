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

#include "conversion/text_decoders.h"
#include "conversion/text_encoding.h"
#include "platform/file_ops.h"

namespace morlavin::conversion {

// Splits a file into lines while reading it through a small reused buffer, so
// that a pass over a large file touches no more memory than its longest line.
// Works on the raw bytes of Shift-JIS, EUC-JP, UTF-8 and ISO-2022-JP, where no
// byte of a multi-byte character is a CR or an LF, and on UTF-16 decoded to
// UTF-8 as it is read.
class LineSplitter {
 public:
  static constexpr std::size_t kDefaultBufferSize = 64 << 10;
  // Sees every chunk of the file as it is read (the file's own bytes, before
  // any decoding), before its lines are handed out.
  using ChunkObserver = std::function<void(std::string_view)>;

  // The file is read as `encoding` says. kAuto lets the start of the file
  // decide (see sniffTextStart), from a first read of at least kSniffWindow
  // bytes: a UTF-8 byte-order mark is no text, and UTF-16 is decoded. kUtf8
  // drops a UTF-8 mark, and kUtf16Le and kUtf16Be decode and drop their mark;
  // every other encoding is read byte for byte. A file of a mark alone has no
  // lines. Line ends are looked for with vectors no wider than `widest`.
  explicit LineSplitter(platform::InputFile& file, std::size_t bufferSize = kDefaultBufferSize,
                        EncodingChoice encoding = EncodingChoice::kShiftJis,
                        ChunkObserver observer = {}, Vectors widest = Vectors::kAvx512);

  // The buffer's line ends are marked 64 bytes at a time: bit i of a block's
  // mark is set when byte i of the block is a CR or an LF.
  static constexpr std::size_t kBlock = 64;
  // Marks the line ends of `blocks` blocks from the buffer's start in `ends`.
  using MarkLineEnds = void (*)(const char* buffer, std::size_t blocks, std::uint64_t* ends);

  // The next line without its line end, valid until the next call: true
  // with a line, false at the end of the file, or the read that failed.
  Result<bool> next(std::string_view& line);
  // Calls `take(line)` for every line left, as next() would give them, up
  // to the end of the file or the read that failed. Lines that lie whole in
  // the buffer are handed out from one tight loop.
  template <class Take>
  Status forEachLine(Take&& take);
  // The bytes read from the file so far.
  std::uint64_t bytesRead() const { return m_bytesRead; }

 private:
  // Where the buffer's scan stands: the next line starts at `begin`, the
  // data ends at `end`, and `ends` holds the marks of block `block` that are
  // not handed out yet.
  struct Scan {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t block = 0;
    std::uint64_t ends = 0;
  };
  // Where the next CR or LF at or after scan.begin is; scan.end when the buffer holds none.
  [[gnu::always_inline]] static std::size_t nextLineEnd(Scan& scan, const std::uint64_t* marks) {
    while (scan.ends == 0) {
      if ((scan.block + 1) * kBlock >= scan.end) return scan.end;
      scan.ends = marks[++scan.block];
    }
    return scan.block * kBlock + static_cast<std::size_t>(std::countr_zero(scan.ends));
  }
  // Moves the start of the next line to `begin`, forgetting the line ends before it.
  [[gnu::always_inline]] static void consumeTo(Scan& scan, const std::uint64_t* marks,
                                               std::size_t begin) {
    scan.begin = begin;
    if (begin / kBlock != scan.block) {
      scan.block = begin / kBlock;
      scan.ends = marks[scan.block];
    }
    scan.ends &= ~std::uint64_t{0} << begin % kBlock;
  }
  // Reads the next text into the empty buffer: whether there is any.
  Result<bool> refill();
  // Gives the buffer room for `size` bytes of text.
  void allocate(std::size_t size);
  // Reads the file's next bytes into the buffer, decoding UTF-16; the number of bytes there.
  Result<std::size_t> readText();
  // The first read: what the start of the file says decides how it is read.
  Result<std::size_t> readStart();

  platform::InputFile& m_file;
  EncodingChoice m_encoding;
  std::size_t m_capacity;  // the raw bytes one read takes
  std::unique_ptr<char[]> m_buffer;
  std::unique_ptr<std::uint64_t[]> m_marks;  // a block's line ends, for every block of the buffer
  ChunkObserver m_observer;
  MarkLineEnds m_markLineEnds;
  std::unique_ptr<Utf16Decoder> m_utf16;  // while the file is UTF-16
  std::unique_ptr<char[]> m_raw;          // its bytes before decoding
  bool m_decoderFinished = false;
  bool m_started = false;
  std::size_t m_lastRead = 0;  // bytes the last read took from the file
  std::uint64_t m_bytesRead = 0;
  Scan m_scan;
  bool m_skipLineFeed = false;  // the last line ended in a CR at the buffer's end
  std::string m_carry;          // a line that spans buffer refills
  bool m_partial = false;       // part of the current line is in m_carry
};

template <class Take>
Status LineSplitter::forEachLine(Take&& take) {
  for (;;) {
    if (!m_skipLineFeed) {
      // The scan's state lives in registers while `take` writes elsewhere.
      Scan scan = m_scan;
      const char* const buffer = m_buffer.get();
      std::uint64_t* const marks = m_marks.get();
      for (;;) {
        const std::size_t stop = nextLineEnd(scan, marks);
        if (stop + 1 >= scan.end) break;  // none, or a CR whose LF may follow in the next read
        const std::size_t begin = scan.begin;
        const bool crLf = buffer[stop] == '\r' && buffer[stop + 1] == '\n';
        scan.begin = stop + 1 + crLf;
        scan.ends &= scan.ends - 1;
        if (crLf) {
          // The LF's mark comes next: in this block, or first in the next one.
          scan.ends &= scan.ends - 1;
          marks[scan.block + 1] &= ~std::uint64_t{stop % kBlock == kBlock - 1};
        }
        take(std::string_view(buffer + begin, stop - begin));
      }
      m_scan = scan;
    }
    std::string_view line;
    const Result<bool> more = next(line);
    if (!more.ok()) return more.status();
    if (!*more) return Status();
    take(line);
  }
}

}  // namespace morlavin::conversion
