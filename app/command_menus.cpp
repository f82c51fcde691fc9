#include "app/command_menus.h"

namespace sorabu::app {

namespace {
constexpr TMenuSlot kSeparator{nullptr};
}

const std::vector<TMenuLayout>& CommandMenuLayouts() {
  static const std::vector<TMenuLayout> layouts = {
      {&TMenus::edit, {
          kSeparator,
          {"MLineSortU1Click"}, {"MLineSortD1Click"},
          {"MlinenoaddLeft1Click"}, {"MlinenoaddLeftc1Click"}, {"MlinenoaddRight1Click"}, {"MlinenoaddRightc1Click"},
          {"Mrenban1Click"}, {"Mreverse1Click"},
          {"MinsertCR1Click"}, {"MinsertChr1Click"}, {"MinsertChar1Click"},
          {"Mcolumncopy1Click"},
      }},
      {&TMenus::del, {
          {"Mcolumncopy1Click", nullptr, "D"}, {"Mcolumndelete1Click"},
          kSeparator,
          {"MtrimL1Click"}, {"MtrimR1Click"}, {"Mall1bytetrim1Click"}, {"Mall2bytetrim1Click"},
          {"Malltabdelete1Click"}, {"Mtoptabdelete1Click"},
          {"McrdelClick"}, {"Mtrim1Click"}, {"Msameline1Click"}, {"MopacdeleteClick"},
          kSeparator,
          {"MlinedeleteClick", nullptr, "D"}, {"MlinedeleteRegClick", nullptr, "D"}, {"MlinedeleteListClick", nullptr, "D"},
          kSeparator,
          {"MhtmlClick"}, {"MtextotextClick", "* TeXタグ削除(&T)", "D"},
      }},
      {&TMenus::search, {
          kSeparator,
          {"MlineextractClick"}, {"MlineextractRegClick"},
          {"MlinedeleteClick"}, {"MlinedeleteRegClick"}, {"MlinedeleteListClick"},
          kSeparator,
          {"MreplaceRegClick"}, {"MreplaceAllClick"},
          {"MworddeleteClick"}, {"MworddeleteListClick"},
      }},
      {&TMenus::convert, {
          {"MjistosjisClick"}, {"MeuctosjisClick"}, {"Msjistojis1Click"}, {"Meuctojis1Click"},
          {"Msjistoeuc1Click"}, {"Mjistoeuc1Click"},
          {"Mbase641Click"}, {"Mbase64D1Click"}, {"Mmailheader1Click"}, {"MmailheaderD1Click"},
          {"Municode1Click"}, {"MUnicodeD1Click"}, {"Mbinhex1Click"}, {"MBinHexD1Click"},
          {"Mtojis1Click"},
          {"Mutf8tosjis1Click"}, {"Msjistoutf81Click"}, {"Meuctoutf81Click"}, {"Mjistoutf81Click"},
          kSeparator,
          {"Mcrauto1Click"},
          {"MCRtoCRLF1Click"}, {"MLFtoCRLF1Click"}, {"MCRLFtoCR1Click"}, {"MLFtoCR1Click"}, {"MCRLFtoLF1Click"},
          {"MCRtoLF1Click"},
          kSeparator,
          {"Mhanktozen1Click"}, {"Mzentohank1Click"}, {"Mhkanatozkana1Click"},
          kSeparator,
          {"Mtabtospace1Click"}, {"Mtabtocomma1Click"}, {"Mtabtounderscore1Click"}, {"M2byteto1bytenull1Click"},
          kSeparator,
          {"MhtmlallClick"}, {"htmlTABA1Click"}, {"html2Click"}, {"htmlTAB1Click"},
          {"MlineCSVaClick"}, {"MlineCSVbClick"}, {"MlineCSVcClick"}, {"MlineCSVdClick"},
          {"MlineCSVfClick"}, {"MlineCSVeClick"}, {"MlineCSVhClick"}, {"MlineCSVgClick"},
          {"MtextotextClick"},
          kSeparator,
          {"Mdump1Click"}, {"Mdump1bClick"},
      }},
  };
  return layouts;
}

std::string MainItemName(std::string_view handler, std::string_view suffix) {
  std::string name(handler);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, "Click") == 0) name.resize(name.size() - 5);
  if (name == "Mdump1") name = "Mdump1a";  // the two hex dumps are Mdump1a and Mdump1b
  return name + std::string(suffix);
}

std::string PopupItemName(std::string_view handler, std::string_view suffix) {
  return MainItemName(handler, suffix) + "Pop";
}

std::string PopupCaption(std::string_view handler, std::string_view caption) {
  if (handler == "Mhkanatozkana1Click") return "半角ｶﾅ->全角カナ(&K)";
  std::string text(caption);
  if (text.rfind("* ", 0) == 0) text.erase(0, 2);
  return text;
}

std::string PlainCaption(std::string_view caption) {
  if (caption.substr(0, 2) == "* ") caption.remove_prefix(2);
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    // "(&N)": the mnemonic in brackets goes whole; the caption's bytes are CP932 or UTF-8, and
    // neither has '(' or '&' inside a character.
    if (caption[i] == '(' && i + 3 < caption.size() && caption[i + 1] == '&' && caption[i + 3] == ')') {
      i += 3;
      continue;
    }
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += caption[++i];
      continue;
    }
    out += caption[i];
  }
  return out;
}

}  // namespace sorabu::app
