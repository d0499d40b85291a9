// The fixed frame of every page.
#include "conversion/page_format.h"

#include "morlavin/version.h"
#include "platform/ascii.h"
#include "platform/cp932.h"
#include "platform/jis.h"
#include "settings/flags.h"
#include "settings/settings_file.h"

namespace morlavin::conversion {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Neither "<" nor "/" is ever a trail byte, so the search is safe on
// Shift-JIS bytes as on UTF-8.
std::string withTitleCloseEscaped(std::string text) {
  for (std::size_t i = text.find("</"); i != std::string::npos; i = text.find("</", i + 1)) {
    if (platform::holdsIgnoringAsciiCase(text, i, "</title")) text.replace(i, 1, "&lt;");
  }
  return text;
}

}  // namespace

std::string pageText(std::string_view text, Encoding encoding) {
  const Encoding page = pageEncoding(encoding);
  if (!isValidUtf8(text)) {
    if (page == Encoding::kShiftJis) return std::string(text);
    const std::string decoded = platform::cp932ToUtf8(text);
    return page == Encoding::kUtf8 ? decoded : platform::utf8ToEucJpForHtml(decoded);
  }
  switch (page) {
    case Encoding::kShiftJis:
      return platform::utf8ToCp932ForHtml(text);
    case Encoding::kEucJp:
      return platform::utf8ToEucJpForHtml(text);
    default:
      return std::string(text);
  }
}

std::string bodyTag(const settings::SettingsRecord& s, Encoding encoding) {
  std::string tag = "<BODY BGCOLOR=\"";
  tag += settings::htmlColourValue(s.ManualBgcolorSet, s.Bgcolor, s.HTMLBgcolorR, s.HTMLBgcolorG,
                                   s.HTMLBgcolorB);
  tag += "\" TEXT=\"";
  tag += settings::htmlColourValue(s.ManualTextcolorSet, s.Textcolor, s.HTMLTextcolorR,
                                   s.HTMLTextcolorG, s.HTMLTextcolorB);
  tag += "\"";
  if (settings::isOn(s.CheckBackground)) {
    tag += " BACKGROUND=\"";
    tag += pageText(s.HTMLBackGround, encoding);
    tag += "\"";
  }
  tag += ">";
  return tag;
}

std::string pageHead(const settings::SettingsRecord& settings, std::string_view outputPath,
                     std::string_view title, Encoding encoding) {
  const std::string version = settings::programVersionText();
  // The build names the legal notice once; the page adds its blank and full stop.
  const std::string notice = " " + std::string(kLegalCopyright) + ".";
  const std::string titleText =
      title.empty() ? "Morlavin - " + std::string(outputPath) : std::string(title);

  std::string head;
  head.append("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 Final//EN\">").append(kCrLf);
  head.append("<HTML>").append(kCrLf);
  head.append("<HEAD>").append(kCrLf);
  if (!settings::isSet(settings.DisableEncodeMetaTag)) {
    head.append("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html ; charset=")
        .append(charsetName(encoding))
        .append("\">")
        .append(kCrLf);
  }
  head.append("<META NAME=\"Generator\" CONTENT=\"Morlavin ")
      .append(version)
      .append(notice)
      .append("\">")
      .append(kCrLf);
  head.append("<TITLE>")
      .append(withTitleCloseEscaped(pageText(titleText, encoding)))
      .append("</TITLE>")
      .append(kCrLf);
  head.append("</HEAD>").append(kCrLf);
  head.append(bodyTag(settings, encoding)).append(kCrLf);
  head.append("<!-------- This File Created by Morlavin ")
      .append(version)
      .append(notice)
      .append(" -------->")
      .append(kCrLf);
  return head;
}

bool LineConverter::takeMarker(std::string_view line) {
  if (line == kBeginInvalidTags)
    m_escapeTags = true;
  else if (line == kEndInvalidTags)
    m_escapeTags = false;
  else if (line == kBeginNoBr)
    m_lineBreaks = false;
  else if (line == kEndNoBr)
    m_lineBreaks = true;
  else
    return false;
  return true;
}

}  // namespace morlavin::conversion
