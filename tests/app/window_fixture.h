// The main window under the offscreen platform, with scripted dialogs and a temporary settings
// file: the fixture the window tests share.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "app/file_op_runner.h"
#include "app/main_window.h"
#include "browser/file_list_model.h"
#include "browser/file_view.h"
#include "dialogs/scripted_dialogs.h"

namespace sorabu::app {

// Selects exactly the rows of these names, in list order.
inline void SelectNames(TForm1& f, const QStringList& names) {
  browser::TFileView* list = f.FileView1();
  QItemSelection chosen;
  for (int r = 0; r < list->RowCount(); ++r)
    if (names.contains(list->Row(r).name)) chosen.select(list->Model()->index(r, 0), list->Model()->index(r, 3));
  list->CurrentView()->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
}

// Scripted dialogs that run onQuestion as a confirmation or a name-collision question opens,
// while the operation that asked waits for the answer.
class TWatchedDialogs : public dialogs::TScriptedDialogs {
 public:
  std::function<void()> onQuestion;
  bool Confirm(const std::string& caption, const std::string& text) override {
    if (onQuestion) onQuestion();
    return TScriptedDialogs::Confirm(caption, text);
  }
  CollisionAnswer Collision(const CollisionSetup& setup) override {
    if (onQuestion) onQuestion();
    return TScriptedDialogs::Collision(setup);
  }
};

// Watches the window's progress window through the questions of an operation: each question
// waits long enough for the progress window to be due (its delay is 0), then notes whether it
// was made and whether it covers the question; a Show event after a question counts as the
// progress coming back.
class TProgressWatch : public QObject {
 public:
  TProgressWatch(TForm1& form, TWatchedDialogs& dialogs) : form_(form) {
    form.FileOps()->SetDelay(0);
    dialogs.onQuestion = [this] { OnQuestion(); };
  }
  int questions = 0;   // questions asked
  int made = 0;        // ... while a progress window existed
  int covered = 0;     // ... while it was visible
  int showsAfter = 0;  // times it was shown after the latest question

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) ++showsAfter;
    return QObject::eventFilter(watched, event);
  }

 private:
  void OnQuestion() {
    QTest::qWait(150);
    ++questions;
    showsAfter = 0;
    QWidget* progress = form_.FileOps()->ProgressDialog();
    if (progress == nullptr) return;
    ++made;
    if (progress->isVisible()) ++covered;
    if (watched_ != progress) progress->installEventFilter(this);
    watched_ = progress;
  }
  TForm1& form_;
  QPointer<QWidget> watched_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  std::string IniPath() const { return dir_.filePath("sorabu.ini").toStdString(); }
  void WriteIni(const std::string& text) {
    QFile f(dir_.filePath("sorabu.ini"));
    f.open(QIODevice::WriteOnly);
    f.write(text.data(), static_cast<qint64>(text.size()));
  }
  TForm1& Start() {
    form_ = std::make_unique<TForm1>(dialogs_, IniPath());
    form_->FormCreate();
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    QApplication::processEvents();
    return *form_;
  }
  // The window started on the test's folder, its list read.
  TForm1& StartInFolder() {
    TForm1& f = Start();
    f.GoToFolder(dir_.path());
    f.MrefreshClick();
    return f;
  }
  QString MakeFile(const QString& name, const std::string& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }

  QTemporaryDir dir_;
  TWatchedDialogs dialogs_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace sorabu::app
