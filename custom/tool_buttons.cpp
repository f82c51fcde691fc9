#include "custom/tool_buttons.h"

namespace sorabu::custom {

namespace {

constexpr TToolButtonInfo Divider(const char* name, int width = 8) { return {name, nullptr, "", "", "", width, nullptr}; }

constexpr TToolButtonInfo kMain[] = {
    {"ToolButton36", "印刷", "印刷", "印刷します。", "document-print", 0, nullptr},
    {"ToolButton35", "印刷設定", "印刷設定", "印刷設定をします。", "printer", 0, nullptr},
    Divider("ToolButton31"),
    {"ToolButton4", "コピー", "コピー(C)", "ファイルをコピーします。", "document-duplicate", 0, nullptr},
    {"ToolButton5", "移動", "移動(M)", "ファイルを移動します。", "edit-move", 0, nullptr},
    {"ToolButton3", "削除", "削除(D)", "ファイルを削除します。", "trash-empty", 0, nullptr},
    {"ToolButton6", "名前の変更", "名前の変更(R)", "ファイルの名前を変更します。", "edit-rename", 0, nullptr},
    {"ToolButton40", "属性変更", "属性変更(A)", "属性を変更する。", "document-properties", 0, nullptr},
    Divider("ToolButton18"),
    {"ToolButton38", "ドライブ", "ドライブ(O)", "ドライブの指定します。", "drive-harddisk", 0, nullptr},
    {"ToolButton55", "上へ", "上へ", "上のフォルダーを表示します。", "go-up", 0, nullptr},
    {"ToolButton11", "登録フォルダー", "登録フォルダー(G)", "登録フォルダーを表示します。", "bookmarks", 0, nullptr},
    {"ToolButton41", "フォルダー", "フォルダー(L)", "フォルダーを指定します。", "folder-open", 0, nullptr},
    {"ToolButton12", "拡張子", "拡張子(W)", "拡張子を指定します。", "view-filter", 0, nullptr},
    {"ToolButton46", "並び替え", "並び替え(S)", "ファイル名を並び替えます。", "view-sort-ascending", 0, nullptr},
    Divider("ToolButton15"),
    {"ToolButton13", "大きいアイコン", "大きいアイコン(1)", "大きいアイコンで表示します。", "view-list-icons", 0, nullptr},
    {"ToolButton22", "小さいアイコン", "小さいアイコン(2)", "小さいアイコンで表示します。", "view-grid", 0, nullptr},
    {"ToolButton27", "一覧", "一覧(3)", "一覧で表示します。", "view-list-text", 0, nullptr},
    {"ToolButton28", "詳細", "詳細(4)", "詳細で表示します。", "view-list-details", 0, nullptr},
    Divider("ToolButton29"),
    {"ToolButton30", "エディター", "エディター(E)", "エディターを起動します。", "accessories-text-editor", 0, nullptr},
    {"ToolButton34", "実行", "実行(X)", "ファイルを関連付けで実行します。", "system-run", 0, nullptr},
    Divider("ToolButton1"),
    {"ToolButton42", "書庫解凍", "書庫解凍(U)", "LHA書庫を解凍します。", "archive-extract", 0, nullptr},
    {"ToolButton43", "書庫作成", "書庫作成(P)", "LHA書庫を作成します。", "archive-insert", 0, nullptr},
    {"ToolButton44", "書庫内一覧", "書庫内一覧(I)", "書庫内のファイル一覧表示します。", "package-x-generic", 0, nullptr},
    Divider("ToolButton45"),
    {"ToolButton8", "ヘルプ", "ヘルプ(H)", "ヘルプを表示します。", "help-contents", 0, "ToolButton8Click"},
    {"ToolButton2", "終了", "終了(Q)", "終了します。", "application-exit", 0, nullptr},
    Divider("ToolButton37"),
};

constexpr TToolButtonInfo kView[] = {
    Divider("ToolButton9", 22),
    {"ToolButton49", "表示", "ファイル全行読込", "ファイルを全行読み込みます。", "document-open", 0, nullptr},
    {"ToolButton17", "テキストの再表示", "テキストの再表示", "", "view-refresh", 0, nullptr},
    Divider("ToolButton50"),
    {"ToolButton10", "切り取り", "切り取り", "選択したテキストを切り取ります。", "edit-cut", 0, nullptr},
    {"ToolButton14", "コピー", "コピー", "選択したﾃｷﾄｽをコピーします。", "edit-copy", 0, nullptr},
    {"ToolButton19", "貼り付け", "貼り付け", "クリップボードからテキストを貼り付けます。", "edit-paste", 0, nullptr},
    {"ToolButton21", "削除", "削除", "選択したテキストを削除します。", "edit-delete", 0, nullptr},
    Divider("ToolButton23"),
    {"ToolButton54", "上書き保存", "上書き保存", "上書き保存します。", "document-save", 0, nullptr},
    {"ToolButton20", "名前をつけて保存", "名前をつけて保存", "テキストに名前を付けて保存します。", "document-save-as", 0, nullptr},
    Divider("ToolButton16"),
    {"ToolButton25", "文頭", "文頭", "文頭へジャンプします。", "go-top", 0, nullptr},
    {"ToolButton26", "文末", "文末", "文末へジャンプします。", "go-bottom", 0, nullptr},
    {"ToolButton33", "検索", "検索(F)", "検索します。", "edit-find", 0, nullptr},
    {"ToolButton53", "置換", "置換", "置換します。", "edit-find-replace", 0, nullptr},
    {"ToolButton48", "URL", "URL", "URL先を開きます。", "internet-web-browser", 0, "MurlClick"},
    {"ToolButton51", "html->txt", "html->txt", "htmlをテキストにします。", "text-html", 0, nullptr},
    {"ToolButton52", "文字コード", "文字コード(T)", "文字コード変換をします。", "format-text-direction-ltr", 0, nullptr},
    Divider("ToolButton24"),
    {"ToolButton7", "簡易編集", "簡易編集", "簡易編集ﾓｰﾄﾞのｵﾝｵﾌです。", "document-edit", 0, nullptr},
    {"ToolButton39", "折り返し", "折り返し", "折り返しを設定します。", "format-justify-fill", 0, nullptr},
    Divider("ToolButton32"),
};

}  // namespace

std::span<const TToolButtonInfo> MainToolButtons() { return kMain; }
std::span<const TToolButtonInfo> ViewToolButtons() { return kView; }

const TToolButtonInfo* FindToolButton(std::string_view name) {
  for (std::span<const TToolButtonInfo> bar : {MainToolButtons(), ViewToolButtons()})
    for (const TToolButtonInfo& b : bar)
      if (name == b.name) return &b;
  return nullptr;
}

}  // namespace sorabu::custom
