// The main window under the offscreen platform, with scripted dialogs and a temporary settings
// file: the fixture the window tests share.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include <QAbstractItemView>
#include <QItemSelectionModel>

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
  QString MakeFile(const QString& name, const std::string& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }

  QTemporaryDir dir_;
  dialogs::TScriptedDialogs dialogs_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace sorabu::app
