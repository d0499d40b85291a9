// Starting other programs: the desktop's handler for a document, or a program
// the user named. Never through a shell, so no character of a path is special.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/status.h"

namespace morlavin::platform {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Opens the file `document` with the desktop's handler for its type, in
  // `workingDirectory` when it is not empty (a relative `document` is taken
  // against it, or the current directory). Does not wait for the handler;
  // fails when the desktop reports at once that it cannot open the file (no
  // handler for its type, the file missing).
  virtual Status openDocument(const std::string& document,
                              const std::string& workingDirectory = {}) = 0;
  // Starts `program` with `arguments`. Fails when the program cannot be started
  // (missing, a folder, not executable). Does not wait for it to end.
  virtual Status startProgram(const std::string& program,
                              const std::vector<std::string>& arguments) = 0;
};

// Launches for real: documents through xdg-open, programs directly. Every
// child it starts is collected once it has ended, so that none stays a
// zombie: at each launch, and whenever reapFinished() is called, which a
// program with an event loop does when childEndedFd() turns readable.
class DesktopLauncher : public Launcher {
 public:
  DesktopLauncher();
  DesktopLauncher(const DesktopLauncher&) = delete;
  DesktopLauncher& operator=(const DesktopLauncher&) = delete;

  Status openDocument(const std::string& document,
                      const std::string& workingDirectory = {}) override;
  Status startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override;

  // Becomes readable when a child of this process has ended, whoever started
  // it; -1 when the process has no descriptor left for it.
  int childEndedFd() const;
  // Collects the children this launcher started that have ended, and no
  // others: whoever started those waits for them. Never blocks.
  void reapFinished();

 private:
  std::vector<pid_t> m_running;  // children started and not yet collected
};

}  // namespace morlavin::platform
