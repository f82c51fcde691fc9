// The drive information, directory listing and properties dialogs, driven through their widgets
// without exec().
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QTemporaryDir>
#include <QTest>

#include "browser/folder_view.h"
#include "textconv/cp932.h"
#include "ui/TDirCommandDialog.h"
#include "ui/TDriveInfoDialog.h"
#include "ui/TPropertiesDialog.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }
using uitext::U;

TEST(InfoDialogsTest, DriveInformationPie) {
  dialogs::TDialogs::DriveInfoSetup setup{C("ドライブ情報"), C("ドライブ情報 /"), C("ドライブ情報 / 4,000 byte"),
                                          C("/ 全容量 4,000 byte  使用 3,000 byte  未使用 1,000 byte"),
                                          C("ｾｸﾀ = 8 ﾊﾞｲﾄ = 512 ｸﾗｽﾀ = 1 ﾌﾘｰｸﾗｽﾀ = 1"), C("一部のドライブでは"),
                                          C("使用 "), C("未使用 "), 3000, 1000};
  TDriveInfoDialog d(setup);
  EXPECT_EQ(d.windowTitle(), U("ドライブ情報"));
  EXPECT_EQ(d.Chart()->title(), U("ドライブ情報 / 4,000 byte"));
  EXPECT_FALSE(d.Chart()->legend()->isVisible());
  EXPECT_EQ(d.Series()->name(), U("ドライブ情報 /"));
  const auto slices = d.Series()->slices();
  ASSERT_EQ(slices.size(), 2);
  EXPECT_EQ(slices[0]->label(), U("使用 75.0%"));
  EXPECT_EQ(slices[1]->label(), U("未使用 25.0%"));
  EXPECT_EQ(slices[0]->brush().color(), QColor(Qt::red));
  EXPECT_EQ(slices[1]->brush().color(), QColor(Qt::blue));
  EXPECT_TRUE(slices[0]->isLabelVisible());
  EXPECT_EQ(d.Summary()->text(), U("/ 全容量 4,000 byte  使用 3,000 byte  未使用 1,000 byte"));
  EXPECT_EQ(d.Clusters()->text(), U("ｾｸﾀ = 8 ﾊﾞｲﾄ = 512 ｸﾗｽﾀ = 1 ﾌﾘｰｸﾗｽﾀ = 1"));
}

TEST(InfoDialogsTest, DirCommandPreviewFollowsEveryControl) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  TDirCommandDialog d({folder, {"/h1", "/h2"}});
  EXPECT_EQ(d.windowTitle(), U("dirｺﾏﾝﾄﾞ結果表示"));
  EXPECT_EQ(d.PathCombo()->count(), 2);
  EXPECT_EQ(d.PathCombo()->currentText().toStdString(), folder);
  EXPECT_EQ(d.AttributeCombo()->count(), 11);
  EXPECT_EQ(d.SortCombo()->count(), 13);
  EXPECT_EQ(d.AttributeCombo()->currentIndex(), 0);
  EXPECT_TRUE(d.Preview()->isReadOnly());
  EXPECT_EQ(d.Preview()->text().toStdString(), "\"" + folder + "\"     ");

  d.AttributeCombo()->setCurrentIndex(5);
  d.SortCombo()->setCurrentIndex(2);
  d.SubdirsBox()->setChecked(true);
  d.FormGroup()->button(2)->setChecked(true);
  EXPECT_EQ(d.Preview()->text().toStdString(), "\"" + folder + "\" /A:H /O:-N /S /B ");
  d.LowerBox()->setChecked(true);
  d.FormGroup()->button(3)->setChecked(true);
  EXPECT_EQ(d.Preview()->text().toStdString(), "\"" + folder + "\" /A:H /O:-N /S /W /L");

  d.PathCombo()->setEditText(QStringLiteral("/tmp"));
  EXPECT_EQ(d.Answer().path, "/tmp");
  EXPECT_EQ(d.Answer().arguments, "\"/tmp\" /A:H /O:-N /S /W /L");

  // Picking a folder in the tree puts it into the path.
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pick")));
  ASSERT_TRUE(d.FolderView1()->SelectPath(dir.filePath(QStringLiteral("pick"))));
  EXPECT_EQ(d.PathCombo()->currentText(), dir.filePath(QStringLiteral("pick")));
}

TEST(InfoDialogsTest, PropertiesRows) {
  TPropertiesDialog d({C("a.txt のプロパティ"), {{C("名前"), C("a.txt")}, {C("種類"), C("ファイル")}}});
  EXPECT_EQ(d.windowTitle(), U("a.txt のプロパティ"));
  ASSERT_EQ(d.Rows()->rowCount(), 2);
  auto* label = qobject_cast<QLabel*>(d.Rows()->itemAt(1, QFormLayout::LabelRole)->widget());
  auto* value = qobject_cast<QLabel*>(d.Rows()->itemAt(1, QFormLayout::FieldRole)->widget());
  ASSERT_TRUE(label && value);
  EXPECT_EQ(label->text(), U("種類"));
  EXPECT_EQ(value->text(), U("ファイル"));
}

}  // namespace
}  // namespace sorabu::ui
