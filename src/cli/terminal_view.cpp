// A one-line progress display, redrawn only at the run's repaint moments.
#include "cli/terminal_view.h"

#include "conversion/text_encoding.h"
#include "platform/ascii.h"
#include "platform/utf8.h"

namespace morlavin::cli {
namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Appends `text` with its control bytes and the bytes that are not UTF-8
// written as the escapes of a $'…' string.
void appendEscaped(std::string& out, std::string_view text, bool quoting) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const platform::Utf8Character character = platform::decodeUtf8(text.substr(i));
    if (character.length > 1) {
      out.append(text.substr(i, character.length));
      i += character.length;
      continue;
    }
    ++i;
    switch (c) {
      case '\n':
        out += "\\n";
        continue;
      case '\t':
        out += "\\t";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case 0x1B:
        out += "\\e";
        continue;
      case '\\':
        out += quoting ? "\\\\" : "\\";
        continue;
      case '\'':
        out += quoting ? "\\'" : "'";
        continue;
      default:
        break;
    }
    if (character.valid && !isControl(c)) {
      out += static_cast<char>(c);
    } else {
      out.append("\\x").append(platform::hexByte(c, platform::HexCase::kLower));
    }
  }
}

}  // namespace

std::string printableName(std::string_view name) {
  bool plain = conversion::isValidUtf8(name);
  for (char c : name) plain = plain && !isControl(static_cast<unsigned char>(c));
  if (plain) return std::string(name);
  std::string out = "$'";
  appendEscaped(out, name, true);
  out += '\'';
  return out;
}

std::string printableMessage(std::string_view message) {
  std::string out;
  appendEscaped(out, message, false);
  return out;
}

void TerminalView::repaintStatus() {
  if (!m_live) return;
  constexpr int kWidth = 30;
  const int filled = static_cast<int>(m_progress / 100.0 * kWidth + 0.5);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kWidth, ' ');
  std::fprintf(m_terminal, "\r\033[K[%s] %3d%% %s", bar.c_str(), static_cast<int>(m_progress),
               m_status.c_str());
  std::fflush(m_terminal);
  m_drawn = true;
}

void TerminalView::finish() {
  if (m_drawn) std::fputs("\r\033[K", m_terminal);
  m_drawn = false;
}

}  // namespace morlavin::cli
