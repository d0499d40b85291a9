// The preview page shares the body tag rule with converted pages.
#include "conversion/preview_page.h"

#include "conversion/page_format.h"
#include "settings/flags.h"

namespace morlavin::conversion {

std::string previewPage(const settings::SettingsRecord& values) {
  settings::SettingsRecord tagValues = values;
  tagValues.CheckBackground = settings::isSet(values.CheckBackground) ? 1 : 0;
  return "<HTML>\r\n"
         "<HEAD><TITLE>Color Preview</TITLE></HEAD>\r\n" +
         bodyTag(tagValues) +
         "\r\n"
         "<P ALIGN=CENTER><FONT SIZE=6><B><I>Color Sample</I></B></FONT></P>\r\n"
         "</BODY></HTML>\r\n";
}

}  // namespace morlavin::conversion
