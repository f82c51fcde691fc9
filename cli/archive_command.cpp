// sorabu-cli archive list|extract|create: the generic archive commands without the window. The
// plug-ins are found beside sorabu-cli. Extraction runs as the window's does, its questions (a
// taken name, a far larger result than the archive) answered by --answer in the order they come;
// a missing answer is Cancel, which leaves the folder as it was and gives status 1. --password
// opens an encrypted ZIP, and gives a new ZIP's entries one.
#include "app/archive_extract.h"
#include "archive/bind/commands.h"
#include "archive/bind/messages.h"
#include "cli/cli.h"
#include "dialogs/scripted_dialogs.h"
#include "textconv/cp932.h"

namespace sorabu::cli {
namespace {

int Extract(const std::string& archivePath, const std::string& folder, const std::string& password,
            dialogs::TScriptedDialogs& dialogs) {
  const std::string archive = ArgToCp932(archivePath);
  const std::string destination = ArgToCp932(folder);
  if (!archive::ExtractableName(archive) && !archive::Recognised(archive)) {
    Complain(ArgToCp932ForDisplay(archivePath) + ": " + archive::Message(archive::Msg::kUnknownFormat));
    return kExitFailed;
  }
  std::string text;
  app::ExtractRequest request;
  request.caption = textconv::Utf8ToCp932("解凍");
  request.archiveCp932 = archive;
  request.archive = archivePath;
  request.destination = folder;
  request.password = password;
  request.extract = [&](const std::filesystem::path& staging, const std::string& given) {
    return archive::GenericExtract(archive, destination + "/" + staging.filename().string() + "/", text, nullptr, given);
  };
  const app::ExtractResult result = app::ExtractArchive(dialogs, request);
  for (const auto& message : dialogs.Messages()) Complain(message.text);
  switch (result.outcome) {
    case app::ExtractOutcome::Cancelled:
      if (result.wrongPassword) Complain(textconv::Utf8ToCp932("パスワードが違います。展開先は元のままです。"));
      else if (result.code == archive::kPasswordCode)
        Complain(textconv::Utf8ToCp932("この書庫はパスワードで保護されています。--password で指定してください。展開先は元のままです。"));
      else Complain(textconv::Utf8ToCp932("解凍を取り消しました。展開先は元のままです。"));
      return kExitFailed;
    case app::ExtractOutcome::Refused:
      return kExitFailed;
    default:
      WriteUtf8(stdout, text);
      return result.outcome == app::ExtractOutcome::Done ? kExitDone : kExitFailed;
  }
}

int Run(const std::vector<std::string>& given) {
  dialogs::TScriptedDialogs dialogs;
  std::vector<std::string> args;
  std::string password;
  for (std::size_t i = 0; i < given.size(); ++i) {
    if (given[i] == "--answer" && i + 1 < given.size()) dialogs.Answer(ArgToCp932(given[++i]));
    else if (given[i] == "--password" && i + 1 < given.size()) password = ArgToCp932(given[++i]);
    else args.push_back(given[i]);
  }
  if (args.size() < 2) return Usage("archive");
  const std::string& verb = args[0];
  const std::string archive = ArgToCp932(args[1]);
  try {
    if (verb == "list" && args.size() == 2) {
      // A file the format's check refuses lists nothing, as in the window.
      WriteUtf8(stdout, archive::GenericListText(archive));
      return kExitDone;
    }
    if (verb == "extract" && args.size() == 3) return Extract(args[1], args[2], password, dialogs);
    if (verb == "create" && args.size() >= 3) {
      std::vector<std::string> files;
      for (std::size_t i = 2; i < args.size(); ++i) files.push_back(ArgToCp932(args[i]));
      std::string text;
      const int code = archive::GenericCreate(archive, files, text, nullptr, password);
      WriteUtf8(stdout, text);
      return code == 0 ? kExitDone : kExitFailed;
    }
  } catch (const archive::EArchiverError& e) {
    Complain(e.what());
    return kExitFailed;
  }
  return Usage("archive");
}

const TSubcommand kArchive("archive", "list ARCHIVE | extract [--answer TEXT]... [--password PW] ARCHIVE FOLDER | create [--password PW] ARCHIVE FILE...", Run);

}  // namespace
}  // namespace sorabu::cli
