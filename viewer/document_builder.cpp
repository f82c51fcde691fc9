#include "viewer/document_builder.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QThread>

#include "viewer/line_index.h"
#include "viewer/pane_text.h"

namespace sorabu::viewer {

namespace {

// The worker hands the document over in pieces of this size, cut after a line break.
constexpr std::size_t kBuildChunk = 1 << 20;

std::size_t ChunkEnd(std::string_view text, std::size_t from, textconv::TextForm form) {
  if (text.size() - from <= kBuildChunk) return text.size();
  const std::size_t limit = from + kBuildChunk;
  const std::size_t lf = text.find_last_of("\r\n", limit - 1);
  if (lf != std::string_view::npos && lf > from) {
    // Never between the CR and LF of a pair.
    if (text[lf] == '\r' && lf + 1 < text.size() && text[lf + 1] == '\n') return lf + 2;
    return lf + 1;
  }
  return form == textconv::TextForm::Utf8 ? textconv::PreviousUtf8Start(text, from, limit) : PreviousCharStart(text, from, limit);
}

}  // namespace

TDocumentBuilder::TDocumentBuilder(QObject* parent) : QObject(parent) {}

TDocumentBuilder::~TDocumentBuilder() { Stop(); }

void TDocumentBuilder::Start(std::string text, textconv::TextForm form) {
  Stop();
  const int generation = ++generation_;
  percent_ = 0;
  QThread* home = thread();
  worker_ = std::jthread([this, generation, home, text = std::move(text), form](std::stop_token stop) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    for (std::size_t from = 0; from < text.size();) {
      if (stop.stop_requested()) return;
      const std::size_t to = ChunkEnd(text, from, form);
      cursor.insertText(DecodeForPane(std::string_view(text).substr(from, to - from), form));
      from = to;
      percent_ = static_cast<int>(from * 100 / text.size());
    }
    doc->moveToThread(home);
    {
      std::lock_guard lock(mutex_);
      built_ = std::move(doc);
    }
    QMetaObject::invokeMethod(this, [this, generation] { Finished(generation); }, Qt::QueuedConnection);
  });
}

void TDocumentBuilder::Stop() {
  ++generation_;  // a Ready already on its way is for a build that no longer counts
  if (worker_.joinable()) {
    worker_.request_stop();
    worker_.join();
  }
  std::lock_guard lock(mutex_);
  built_.reset();
}

std::unique_ptr<QTextDocument> TDocumentBuilder::Take() {
  std::unique_ptr<QTextDocument> doc;
  {
    std::lock_guard lock(mutex_);
    doc = std::move(built_);
  }
  if (doc && worker_.joinable()) worker_.join();  // it has handed its document over and is ending
  return doc;
}

void TDocumentBuilder::Finished(int generation) {
  // A build stopped or replaced after it finished: its document went with the Stop.
  if (generation != generation_) return;
  emit Ready();
}

}  // namespace sorabu::viewer
