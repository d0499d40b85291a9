// The batch converter's face: a progress line on a terminal, and file names
// and messages made safe to print.
#pragma once

#include <cstdio>
#include <string>

#include "conversion/conversion_run.h"

namespace morlavin::cli {

// A file name as it can be printed safely: unchanged when it is valid UTF-8
// without control characters, otherwise quoted as GNU ls and stat do, in $'…'
// with \n, \t, \e, \\, \' and \xNN for other control bytes, DEL and bytes
// that are not UTF-8. Nothing of such a name reaches the terminal raw, and a
// name holding a line end cannot pass for another line of output.
std::string printableName(std::string_view name);

// A message on one line, its control bytes and the bytes that are not UTF-8
// escaped as in printableName but without the quotes: a message may hold a
// path, and with it any byte of a file name.
std::string printableMessage(std::string_view message);

// The progress line. Errors are reported from the run's result, once the
// line is cleared.
class TerminalView : public conversion::ConversionView {
 public:
  // Draws a progress line on `terminal` when `live` is set; otherwise nothing.
  TerminalView(std::FILE* terminal, bool live) : m_terminal(terminal), m_live(live) {}

  void setStatusText(std::string_view text) override { m_status = text; }
  void repaintStatus() override;
  void setProgress(double percent) override { m_progress = percent; }
  double progress() const override { return m_progress; }
  bool drawsEveryStep() const override { return false; }

  // Clears the progress line so that the next line of output starts clean.
  void finish();

 private:
  std::FILE* m_terminal;
  bool m_live;
  bool m_drawn = false;
  double m_progress = 0;
  std::string m_status;
};

}  // namespace morlavin::cli
