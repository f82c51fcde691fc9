// TArchiveFile: an archive's format (by name, else by content), its wrapper, the options, the
// output buffer of the last command.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/bind/archiver.h"

namespace sorabu::archive {

// Progress states passed to OnProgress: before and after each command (lpEis null), and the
// library's notices of the entries it extracts: an entry begins, more of it is written, it ends.
enum class TArchiverState { asBegin, asEnd, asExtractBegin, asExtractInProcess, asExtractEnd };
using TExtractingInfo = UnlhaExtractingInfo;
using TArchiverProgressEvent = std::function<void(class TArchiveFile& sender, TArchiverState state,
                                                  const TExtractingInfo* lpEis, bool& abort)>;
// The library's notices alone, for the commands that extract: false stops the library.
using ExtractProgress = std::function<bool(TArchiverState state, const TExtractingInfo& info)>;
TArchiverState ExtractState(unsigned notice);

// Type from the name's extension: atAutoDetect for ".exe" (content decides), atNone when unknown.
TArchiverType TypeByName(const std::string& cp932_path);
// Type from the content in the detection priority; atNone when nothing recognises it.
TArchiverType TypeByContent(const std::string& cp932_path);

class TArchiveFile {
 public:
  TArchiveFile() = default;
  explicit TArchiveFile(const std::string& cp932_path) { SetFileName(cp932_path); }

  const std::string& FileName() const { return file_name_; }
  // Also sets ArchiverType from the name (".exe": from the content) and replaces the wrapper.
  void SetFileName(const std::string& cp932_path);
  std::size_t OutputSize() const { return output_size_; }
  void SetOutputSize(std::size_t size) { output_size_ = size; }
  TArchiverOptions Options;
  TArchiverType ArchiverType() const { return type_; }
  void SetArchiverType(TArchiverType type);
  TArchiverProgressEvent OnProgress;

  // The wrapper; raises "書庫の形式を判別できません。" when there is none.
  TArchiver& Archiver();

  bool Check(int m1, int m2);
  bool Open(void* owner, std::uint32_t mode);
  int FindFirst(const std::string& wildcard, TIndividualInfo* info);
  int FindNext(TIndividualInfo* info);
  void Close();
  // options null: Options. The output text is available afterwards.
  int Extract(void* owner, const TArchiverOptions* options, const std::vector<std::string>& files,
              const std::string& folder);
  int Pack(void* owner, const TArchiverOptions* options, const std::vector<std::string>& files,
           const std::string& base);
  const std::string& OutputText() const { return output_; }

 private:
  template <typename F>
  int WithProgress(void* owner, F&& run);
  static int Notice(void* owner, unsigned state, const UnlhaExtractingInfo* info);

  std::string file_name_;
  std::size_t output_size_ = 0;
  TArchiverType type_ = TArchiverType::atAutoDetect;
  std::unique_ptr<TArchiver> archiver_;
  void* handle_ = nullptr;
  std::string output_;
};

}  // namespace sorabu::archive
