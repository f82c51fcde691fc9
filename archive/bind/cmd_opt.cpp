// Command lines are built piece by piece, every piece appended after one blank, so a ZIP pack
// line (which has no command word) starts with a blank. Quoting is plain double quotes: the
// plug-ins split on blanks outside quotes. The syntax has no escape, so a path that could change
// the line's meaning is refused before any line is built: a double quote (it would close the
// quotes and let the rest become switches or other paths), a leading "-" or "@" (read as a switch
// or a response file even inside quotes), a double-byte character cut off at the end (its lead
// byte would swallow the closing quote or the folder's separator), and, for a response file, a
// line end.
#include "archive/bind/cmd_opt.h"

#include <fstream>

#include "archive/bind/messages.h"
#include "archive/lha/name_path.h"
#include "archive/libs/unlha32/command_line.h"
#include "textconv/cp932.h"

namespace sorabu::archive {
namespace {

void Add(std::string& line, std::string_view piece) {
  line += ' ';
  line.append(piece);
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

// True when the last character (not a second byte) is "\".
bool EndsInBackslash(std::string_view s) {
  bool last = false;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const bool lead = textconv::IsLeadByte(c) && i + 1 < s.size();
    last = !lead && c == '\\';
    i += lead ? 2 : 1;
  }
  return last;
}

bool CutCharacterAtEnd(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (textconv::IsLeadByte(static_cast<unsigned char>(s[i]))) {
      if (i + 1 >= s.size()) return true;
      ++i;
    }
  }
  return false;
}

enum class Piece { kPath, kSwitchText };

[[noreturn]] void Refuse(std::string_view s) {
  throw EArchiverError(lha::EscapeForDisplay(s) +
                       textconv::Utf8ToCp932("：この名前は書庫ライブラリーに渡せません（\" を含む名前、- または @ で始まる名前、"
                                             "途中で切れた文字や改行を含む名前は扱えません）。"));
}

void RefuseUncarried(std::string_view s, Piece kind, bool response_file) {
  const bool bad = s.find('"') != std::string_view::npos || CutCharacterAtEnd(s) ||
                   (kind == Piece::kPath && !s.empty() && (s[0] == '-' || s[0] == '@')) ||
                   (response_file && s.find_first_of("\r\n") != std::string_view::npos);
  if (bad) Refuse(s);
}

std::string WithBackslash(std::string s) {
  if (!EndsInBackslash(s)) s += '\\';
  return s;
}

const char* CommandWord(const TCmdRequest& r, const TArchiverOptions& o) {
  const bool extract = r.operation == TCmdOperation::kExtract;
  switch (r.type) {
    case TArchiverType::atLha:
      switch (r.operation) {
        case TCmdOperation::kExtract: return "x";
        case TCmdOperation::kPack: return "u";
        case TCmdOperation::kRemove: return "d";
        case TCmdOperation::kUpdate: return "f";
        case TCmdOperation::kSelfExtract: return "s";
      }
      break;
    case TArchiverType::atZip:
      switch (r.operation) {
        case TCmdOperation::kExtract: return "-x";
        case TCmdOperation::kPack: return r.lmzip_only ? "-ru" : nullptr;
        case TCmdOperation::kRemove: return "-d";
        case TCmdOperation::kUpdate: return "-f";
        case TCmdOperation::kSelfExtract: return nullptr;
      }
      break;
    case TArchiverType::atCab: return extract ? "-x" : "-a";
    case TArchiverType::atArj: return "x";
    case TArchiverType::atTar:
    case TArchiverType::atTgz:
    case TArchiverType::atBZ2: return extract ? "x" : "c";
    case TArchiverType::atRar:
    case TArchiverType::at7z: return o.Get("x") != 0 ? "-x" : "-e";
    case TArchiverType::atBga:
      switch (r.operation) {
        case TCmdOperation::kExtract: return "x";
        case TCmdOperation::kPack: return "a";
        case TCmdOperation::kRemove: return "d";
        default: return "s";
      }
    default: break;
  }
  return nullptr;
}

void FormatSwitches(std::string& line, const TCmdRequest& r, const TArchiverOptions& o) {
  const bool owner_or_n = r.owner || o.Get("n") > 0;
  switch (r.type) {
    case TArchiverType::atLha:
    case TArchiverType::atArj: line += TCmdOpt::LhaSwitches(o, r.owner); break;
    case TArchiverType::atZip:
      if (r.operation == TCmdOperation::kPack && !r.lmzip_only) {
        if (o.Get("a") > 0) Add(line, "-S");
        if (o.Get("a") < 2) Add(line, "-D");
        if (o.Get("l") > 0) Add(line, "-v");
        if (o.Get("n") > 0) Add(line, "-q");
        if (o.Get("r") > 0) Add(line, "-r");
        if (o.Get("n") > 0) Add(line, "-o");
        if (o.Get("u") > 0) Add(line, "-u");
        if (o.Get("x") == 0) Add(line, "-j");
        if (o.Get("jc") > 0) Add(line, "-FF");
        if (o.Get("ji") > 0) Add(line, "-k");
        if (o.Get("jm") != -1) Add(line, "-" + std::to_string(o.Get("jm")));
        if (o.Get("gd") > 0) Add(line, "-J");
      } else if (r.operation == TCmdOperation::kPack) {
        if (o.Get("c") == 1) Add(line, "-o");
        if (o.Get("x") == 0) Add(line, "-j");
      } else if (r.operation == TCmdOperation::kExtract) {
        if (o.Get("c") == 1) Add(line, "-o");
        if (owner_or_n) Add(line, "--i");
        if (o.Get("x") == 0) Add(line, "-j");
      }
      break;
    case TArchiverType::atCab:
      if (o.Get("c") == 1) Add(line, "-o");
      if (owner_or_n) Add(line, "-i");
      if (o.Get("r") > 0) Add(line, "-r");
      if (o.Get("x") == 0) Add(line, "-j");
      if (o.Get("ji") > 0) Add(line, "-q");
      break;
    case TArchiverType::atTar:
    case TArchiverType::atTgz:
    case TArchiverType::atBZ2:
      if (o.Get("a") > 0) Add(line, "-AH");
      if (o.Get("a") == 0) Add(line, "-I");
      if (!r.owner && o.Get("n") > 0) Add(line, "--display-dialog=0");
      if (o.Get("o") > 0) Add(line, "-g");
      if (o.Get("p") != -1) Add(line, "--check-all-path=" + std::to_string(o.Get("p")));
      if (o.Get("x") != -1) Add(line, "--use-directory=" + std::to_string(o.Get("x")));
      if (r.type == TArchiverType::atTgz) Add(line, o.Get("jm") > 0 ? "-z" + std::to_string(o.Get("jm")) : "-z");
      if (r.type == TArchiverType::atBZ2) Add(line, o.Get("jm") > 0 ? "-B" + std::to_string(o.Get("jm")) : "-B");
      Add(line, "-f " + Quoted(r.archive));
      if (!r.folder.empty()) Add(line, "-o " + Quoted(r.folder));
      break;
    case TArchiverType::atRar:
      if (o.Get("c") <= 0) Add(line, "-u");
      if (o.Get("m") > 0) Add(line, "-y");
      if (o.Get("p") > 0) Add(line, "-s");
      break;
    case TArchiverType::atBga:
      if (o.Get("a") > 0) Add(line, "-a");
      Add(line, o.Get("c") <= 0 ? "-n" : "-o");
      if (owner_or_n) Add(line, "-i");
      if (o.Get("r") > 0) Add(line, "-r");
      if (o.Get("x") <= 0) Add(line, "-j");
      if (o.Get("jm") != -1) Add(line, "-l" + std::to_string(o.Get("jm")));
      break;
    default: break;
  }
  if (!o.UserOptions.empty()) Add(line, o.UserOptions);
}

bool UsesResponseFile(const TCmdRequest& r, const TArchiverOptions& o) {
  if (o.ResFileName.empty()) return false;
  TResFileUsage usage = TResFileUsage::ruOnUnpack;
  switch (r.operation) {
    case TCmdOperation::kPack: usage = TResFileUsage::ruOnPack; break;
    case TCmdOperation::kRemove: usage = TResFileUsage::ruOnRemoveItem; break;
    case TCmdOperation::kUpdate: usage = TResFileUsage::ruOnUpdate; break;
    case TCmdOperation::kExtract: usage = TResFileUsage::ruOnUnpack; break;
    case TCmdOperation::kSelfExtract: return false;
  }
  return o.ResFileUsage.count(usage) != 0;
}

}  // namespace

int TArchiverOptions::Get(std::string_view name) const {
  for (std::size_t i = 0; i < kNumericSwitches.size(); ++i) {
    if (kNumericSwitches[i] == name) return numbers[i];
  }
  return -1;
}

void TArchiverOptions::Set(std::string_view name, int value) {
  for (std::size_t i = 0; i < kNumericSwitches.size(); ++i) {
    if (kNumericSwitches[i] == name) numbers[i] = static_cast<std::int8_t>(value);
  }
}

std::string TCmdOpt::LhaSwitches(const TArchiverOptions& o, bool owner) {
  std::string line;
  Add(line, "-+");
  for (std::size_t i = 0; i < kNumericSwitches.size(); ++i) {
    int value = o.numbers[i];
    if (owner && kNumericSwitches[i] == "n") value = 1;
    if (value == -1) continue;
    Add(line, "-" + std::string(kNumericSwitches[i]) + std::to_string(value));
  }
  const std::pair<const char*, std::string> texts[] = {
      {"w", o.w.empty() ? std::string() : WithBackslash(o.w)}, {"jo", o.jo}, {"job", o.job}, {"jz", o.jz}, {"gr", o.gr}};
  for (const auto& [name, text] : texts) {
    if (!text.empty()) Add(line, Quoted("-" + std::string(name) + text));
  }
  for (const auto& pattern : o.jx) Add(line, Quoted("-jx" + pattern));
  return line;
}

std::string TCmdOpt::ZipName(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (textconv::IsLeadByte(c) && i + 1 < s.size()) {
      out.append(s, i, 2);
      i += 2;
      continue;
    }
    if (c == '\\') out += '/';
    else if (c == '[') out += "[[]";
    else out += static_cast<char>(c);
    ++i;
  }
  return out;
}

std::string TCmdOpt::Build(const TCmdRequest& r, const TArchiverOptions& o, bool* response_ok) {
  if (response_ok != nullptr) *response_ok = true;
  const bool response_file = UsesResponseFile(r, o);
  RefuseUncarried(r.archive, Piece::kPath, false);
  RefuseUncarried(r.folder, Piece::kPath, false);
  for (const auto& f : r.files) RefuseUncarried(f, Piece::kPath, response_file);
  // Without a folder, a first name ending in a separator would be taken for the folder.
  if (r.folder.empty() && !r.files.empty() && !response_file &&
      (EndsInBackslash(r.files.front()) || (!r.files.front().empty() && r.files.front().back() == '/'))) {
    Refuse(r.files.front());
  }
  for (const std::string* text : {&o.w, &o.jo, &o.job, &o.jz, &o.gr}) RefuseUncarried(*text, Piece::kSwitchText, false);
  for (const auto& pattern : o.jx) RefuseUncarried(pattern, Piece::kSwitchText, false);
  std::string line;
  if (const char* word = CommandWord(r, o)) line = word;
  FormatSwitches(line, r, o);
  const bool tar = r.type == TArchiverType::atTar || r.type == TArchiverType::atTgz || r.type == TArchiverType::atBZ2;
  if (!tar) {
    Add(line, Quoted(r.archive));
    if (!r.folder.empty()) Add(line, Quoted(WithBackslash(r.folder)));
  }
  std::vector<std::string> names;
  for (const auto& f : r.files) names.push_back(r.type == TArchiverType::atZip ? ZipName(f) : f);
  if (response_file) {
    std::ofstream out(unlha32::NativePath(o.ResFileName), std::ios::binary | std::ios::trunc);
    for (const auto& n : names) out << Quoted(n) << "\r\n";
    if (!out && response_ok != nullptr) *response_ok = false;
    Add(line, "@" + o.ResFileName);
  } else {
    for (const auto& n : names) Add(line, Quoted(n));
  }
  return line;
}

}  // namespace sorabu::archive
