// The listing walks the entries through find first / find next and sums them in 64 bits, so
// that many large entries cannot wrap; extract and create keep the library's output.
#include "archive/bind/commands.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

#include "archive/lha/name_path.h"
#include "archive/libs/unlha32/command_line.h"
#include "textconv/cp932.h"

namespace sorabu::archive {
namespace {

constexpr const char* kEol = "\r\n";
constexpr std::size_t kOutputSize = 8192;

void ByContentWhenNameSaysNothing(TArchiveFile& af) {
  if (af.ArchiverType() == TArchiverType::atNone) af.SetArchiverType(TypeByContent(af.FileName()));
}

// The ZIP plug-ins take "-P PASSWORD"; the item's quotes carry blanks, but a quote of its own
// cannot be carried on a plug-in command line.
void GivePassword(TArchiveFile& af, const std::string& password) {
  if (password.empty()) return;
  if (af.ArchiverType() != TArchiverType::atZip) {
    throw EArchiverError(textconv::Utf8ToCp932("この形式の書庫にはパスワードを使えません。"));
  }
  if (password.find('"') != std::string::npos) {
    throw EArchiverError(textconv::Utf8ToCp932("パスワードに「\"」は使えません。"));
  }
  af.Options.UserOptions = "-P \"" + password + "\"";
}

}  // namespace

bool Recognised(const std::string& path) {
  return TypeByName(path) != TArchiverType::atNone || TypeByContent(path) != TArchiverType::atNone;
}

std::string GenericListText(const std::string& path, void* owner) {
  TArchiveFile af(path);
  ByContentWhenNameSaysNothing(af);
  if (!af.Check(1, 4)) return "";
  static const std::string kRule = "--------------  ----------  ---------- ------ -------- -------- ---- ----- ----";
  std::string text;
  text += kEol;
  text += "Listing of archive : " + lha::EscapeForDisplay(path) + kEol;
  text += kEol;
  text += std::string("  Name            Original    Packed    Ratio   Date     Time   Attr Type  CRC") + kEol;
  text += kRule + kEol;
  long long count = 0, original = 0, packed = 0;
  af.Open(owner, 0);
  TIndividualInfo info{};
  for (int r = af.FindFirst("*.*", &info); r == 0; r = af.FindNext(&info)) {
    text += ListingLine(info) + kEol;
    original += static_cast<long long>(RecordOriginalSize(info));
    packed += static_cast<long long>(RecordPackedSize(info));
    ++count;
  }
  af.Close();
  text += kRule + kEol;
  text += ListingTotals(count, original, packed) + kEol;
  return text;
}

long long ListedOriginalTotal(const std::string& path) {
  TArchiveFile af(path);
  ByContentWhenNameSaysNothing(af);
  if (!af.Check(1, 4)) return -1;
  unsigned long long total = 0;
  af.Open(nullptr, 0);
  TIndividualInfo info{};
  for (int r = af.FindFirst("*.*", &info); r == 0; r = af.FindNext(&info)) {
    const std::uint64_t size = RecordOriginalSize(info);
    total = total > ULLONG_MAX - size ? ULLONG_MAX : total + size;  // a hostile header cannot wrap it
  }
  af.Close();
  return static_cast<long long>(std::min<unsigned long long>(total, static_cast<unsigned long long>(LLONG_MAX)));
}

bool ExtractableName(const std::string& path) {
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // ".TGZ", ".BZ2", ".TAZ" and ".Z" are accepted too: the program creates and lists them.
  for (const char* ext : {".LZH", ".EXE", ".ZIP", ".ARJ", ".CAB", ".TAR", ".RAR", ".7Z", ".GZ", ".TGZ", ".BZ2", ".TAZ", ".Z"}) {
    const std::string e = ext;
    if (upper.size() >= e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0) return true;
  }
  return false;
}

std::string ExtractDestination(const std::string& folder, const std::string& current_folder) {
  auto trimmed = [](std::string s) {
    while (s.size() > 1 && (s.back() == '/' || s.back() == '\\')) s.pop_back();
    return s;
  };
  if (trimmed(folder) == trimmed(current_folder)) return "";
  std::string dest = folder;
  if (dest.empty() || (dest.back() != '\\' && dest.back() != '/')) dest += '\\';
  return dest;
}

int GenericExtract(const std::string& path, const std::string& destination, std::string& text, void* owner,
                   const std::string& password, const ExtractProgress& progress) {
  TArchiveFile af(path);
  ByContentWhenNameSaysNothing(af);
  af.Options.Set("x", 1);
  GivePassword(af, password);
  if (progress) {
    af.OnProgress = [&progress](TArchiveFile&, TArchiverState state, const TExtractingInfo* info, bool& abort) {
      if (info != nullptr) abort = !progress(state, *info);
    };
  }
  af.SetOutputSize(kOutputSize);
  const int code = af.Extract(owner, nullptr, {}, destination);
  text = ErrorMessage(code) + kEol + af.OutputText();
  return code;
}

int GenericCreate(const std::string& path, const std::vector<std::string>& files, std::string& text, void* owner,
                  const std::string& password) {
  // The existing file is moved aside rather than deleted, and comes back when the pack fails, so
  // a failed create never costs the user the old archive.
  const std::string native = unlha32::NativePath(path);
  const std::string aside = native + ".sorabu-old";
  const bool had_old = std::rename(native.c_str(), aside.c_str()) == 0;
  TArchiveFile af(path);
  af.Options.Set("x", 1);
  GivePassword(af, password);
  af.SetOutputSize(kOutputSize);
  int code;
  try {
    code = af.Pack(owner, nullptr, files, "");
  } catch (...) {
    if (had_old) std::rename(aside.c_str(), native.c_str());
    throw;
  }
  if (had_old) {
    if (code == 0) {
      std::remove(aside.c_str());
    } else {
      std::remove(native.c_str());
      std::rename(aside.c_str(), native.c_str());
    }
  }
  text = af.OutputText();
  if (!text.empty() && text.back() != '\n') text += kEol;
  text += "Result code = " + std::to_string(code) + kEol;
  return code;
}

}  // namespace sorabu::archive
