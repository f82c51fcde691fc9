// Texts for dialogs, messages and the settings file meet code page 932 here, between QString and
// the bytes the commands carry. Names keep every character, also those CP932 lacks (see
// textconv/ui_text.h for the marked form).
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace sorabu::uitext {

std::string ToCp932(const QString& text);
QString FromCp932(std::string_view bytes);
// What the user typed into a dialog: CP932 codes wherever CP932 has one (see EncodeCp932Typed).
std::string TypedToCp932(const QString& text);

// Text that goes into a CP932 file or the text pane: "?" for a character CP932 lacks; *fits (when
// given) tells whether the bytes decode back to the very text.
std::string ToCp932Text(const QString& text, bool* fits = nullptr);

// The system's reason for an errno value, in Japanese; 0 (a failure that set none) reads as a
// general failure to read or write.
QString SystemErrorQt(int err);

// The program's own words, written as UTF-8 in the source, for a widget.
inline QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace sorabu::uitext
