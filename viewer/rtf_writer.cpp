#include "viewer/rtf_writer.h"

#include <algorithm>
#include <cstdio>

#include "textconv/cp932.h"

namespace sorabu::viewer {

namespace {

void AppendText(const std::u16string& text, std::string& out) {
  std::u16string plain;
  auto flush = [&] {
    for (const unsigned char c : textconv::EncodeCp932(plain)) {
      if (c == '\\' || c == '{' || c == '}') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c >= 0x80 || c < 0x20) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\'%02x", c);
        out += hex;
      } else {
        out += static_cast<char>(c);
      }
    }
    plain.clear();
  };
  for (const char16_t c : text) {
    if (c == kRtfLineBreak || c == u'\t') {
      flush();
      out += c == u'\t' ? "\\tab " : "\\line ";
    } else {
      plain += c;
    }
  }
  flush();
}

}  // namespace

std::string WriteRtf(const RtfDocument& document, const std::string& fontName) {
  std::vector<uint32_t> colours;
  for (const auto& paragraph : document.paragraphs)
    for (const RtfRun& run : paragraph)
      if (run.rgb && std::find(colours.begin(), colours.end(), *run.rgb) == colours.end()) colours.push_back(*run.rgb);

  std::string out = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 ";
  std::string name;
  AppendText(textconv::DecodeCp932(fontName), name);
  out += name + ";}}";
  if (!colours.empty()) {
    out += "{\\colortbl ;";
    for (const uint32_t c : colours) {
      char entry[48];
      std::snprintf(entry, sizeof entry, "\\red%u\\green%u\\blue%u;", (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
      out += entry;
    }
    out += "}";
  }
  out += "\n\\f0 ";
  bool first = true;
  for (const auto& paragraph : document.paragraphs) {
    if (!first) out += "\\par\n";
    first = false;
    for (const RtfRun& run : paragraph) {
      // Each run in its own group, so its formatting ends with it.
      out += "{";
      const std::size_t start = out.size();
      if (run.bold) out += "\\b";
      if (run.italic) out += "\\i";
      if (run.underline) out += "\\ul";
      if (run.halfPoints > 0) out += "\\fs" + std::to_string(run.halfPoints);
      if (run.rgb) {
        const auto index = std::find(colours.begin(), colours.end(), *run.rgb) - colours.begin() + 1;
        out += "\\cf" + std::to_string(index);
      }
      if (out.size() > start) out += " ";  // ends the last control word
      AppendText(run.text, out);
      out += "}";
    }
  }
  out += "}\n";
  return out;
}

}  // namespace sorabu::viewer
