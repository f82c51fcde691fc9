// The editor's document of a large text, built on a worker thread so that the first edit of a
// text of many megabytes never holds the window. The text is decoded in pieces cut after line
// breaks; the share done can be read at any time, and Ready comes on the owner's thread when the
// document can be taken. A new Start, a Stop or the builder's end drop a build under way.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "textconv/unicode_text.h"

class QTextDocument;

namespace sorabu::viewer {

class TDocumentBuilder : public QObject {
  Q_OBJECT
 public:
  explicit TDocumentBuilder(QObject* parent = nullptr);
  ~TDocumentBuilder() override;

  void Start(std::string text, textconv::TextForm form);
  void Stop();
  // Percent of the text decoded so far by the build under way.
  int Percent() const { return percent_.load(); }
  // The document of the last Start once Ready has come, with no layout yet (the editor's layout
  // is attached on the window's thread); null before, after a Stop, or once taken.
  std::unique_ptr<QTextDocument> Take();

 signals:
  void Ready();

 private:
  void Finished(int generation);

  int generation_ = 0;  // the owner's thread only
  std::jthread worker_;
  std::atomic<int> percent_{0};
  std::mutex mutex_;
  std::unique_ptr<QTextDocument> built_;  // under mutex_
};

}  // namespace sorabu::viewer
