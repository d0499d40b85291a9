// Writing and removing the preview page.
#include "program/preview.h"

#include "conversion/preview_page.h"
#include "platform/file_ops.h"
#include "platform/program_dir.h"
#include "platform/texts.h"

namespace morlavin::program {

std::string previewPath(const std::string& previewDirectory) {
  return platform::directoryPrefix(previewDirectory) + std::string(conversion::kPreviewFileName);
}

Status writePreview(const std::string& previewDirectory, const settings::SettingsRecord& values) {
  const Status status =
      platform::writeFileAtomically(previewPath(previewDirectory), conversion::previewPage(values));
  if (status.ok()) return status;
  return Status::error(status.code(), std::string(texts::kPreviewFailed) + status.message());
}

void removePreview(const std::string& previewDirectory) {
  // Nothing to tell: a page that was never written, or is gone, is no loss.
  (void)platform::removeFile(previewPath(previewDirectory));
}

}  // namespace morlavin::program
