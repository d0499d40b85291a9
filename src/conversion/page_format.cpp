// The fixed frame of every page.
#include "conversion/page_format.h"

#include "platform/cp932.h"
#include "settings/settings_file.h"

namespace morlavin::conversion {
namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::string bodyTag(const settings::SettingsRecord& s) {
  std::string tag = "<BODY BGCOLOR=\"";
  tag += settings::htmlColourValue(s.ManualBgcolorSet, s.Bgcolor, s.HTMLBgcolorR, s.HTMLBgcolorG,
                                   s.HTMLBgcolorB);
  tag += "\" TEXT=\"";
  tag += settings::htmlColourValue(s.ManualTextcolorSet, s.Textcolor, s.HTMLTextcolorR,
                                   s.HTMLTextcolorG, s.HTMLTextcolorB);
  tag += "\"";
  if (s.CheckBackground == 1) {
    tag += " BACKGROUND=\"";
    tag += platform::utf8ToCp932ForHtml(s.HTMLBackGround);
    tag += "\"";
  }
  tag += ">";
  return tag;
}

std::string pageHead(const settings::SettingsRecord& settings, std::string_view outputPath,
                     std::string_view title) {
  const std::string version = settings::programVersionText();
  const std::string titleText =
      title.empty() ? "Morlavin - " + std::string(outputPath) : std::string(title);

  std::string head;
  head.append("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 Final//EN\">").append(kCrLf);
  head.append("<HTML>").append(kCrLf);
  head.append("<HEAD>").append(kCrLf);
  if (settings.DisableEncodeMetaTag == 0) {
    head.append("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html ; charset=x-sjis\">")
        .append(kCrLf);
  }
  head.append("<META NAME=\"Generator\" CONTENT=\"Morlavin ")
      .append(version)
      .append(kAuthorNotice)
      .append("\">")
      .append(kCrLf);
  head.append("<TITLE>").append(platform::utf8ToCp932ForHtml(titleText)).append("</TITLE>").append(kCrLf);
  head.append("</HEAD>").append(kCrLf);
  head.append(bodyTag(settings)).append(kCrLf);
  head.append("<!-------- This File Created by Morlavin ")
      .append(version)
      .append(kAuthorNotice)
      .append(" -------->")
      .append(kCrLf);
  return head;
}

bool LineConverter::takeMarker(std::string_view line) {
  if (line == kBeginInvalidTags) m_escapeTags = true;
  else if (line == kEndInvalidTags) m_escapeTags = false;
  else if (line == kBeginNoBr) m_lineBreaks = false;
  else if (line == kEndNoBr) m_lineBreaks = true;
  else return false;
  return true;
}

}  // namespace morlavin::conversion
