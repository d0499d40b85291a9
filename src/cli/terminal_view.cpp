// A one-line progress display, redrawn only at the run's repaint moments.
#include "cli/terminal_view.h"

namespace morlavin::cli {

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

void TerminalView::showError(std::string_view message) {
  m_error = message;
  for (char& c : m_error) {
    if (c == '\n' || c == '\r') c = ' ';
  }
}

void TerminalView::finish() {
  if (m_drawn) std::fputs("\r\033[K", m_terminal);
  m_drawn = false;
}

}  // namespace morlavin::cli
