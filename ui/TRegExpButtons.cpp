#include "ui/TRegExpButtons.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {

struct Piece {
  enum Place { AtCaret, Front, End };
  const char* caption;
  const char* text;
  // The caret's distance from the start of the piece, in bytes of its CP932 form.
  int caretBytes;
  Place place = AtCaret;
};

constexpr Piece kRegExp[] = {
    {"[ - ]", "[-]", 1}, {"( )", "()", 1}, {"|", "|", 1},       {".", ".", 1},
    {"*", "*", 1},       {"+", "+", 1},    {"?", "?", 1},       {"[^-]", "[^-]", 2},
    {"^", "^", 0, Piece::Front},           {"$", "$", 0, Piece::End},
};
constexpr Piece kEscapes[] = {
    {"\\n", "\\n", 2}, {"\\r", "\\r", 2}, {"\\b", "\\b", 2}, {"\\t", "\\t", 2},
    {"\\x", "\\x", 2}, {"\\", "\\", 1},   {"&", "&", 1},
};
constexpr Piece kCharSets[] = {
    {"[0-9]", "[0-9]", 5},      {"[a-z]", "[a-z]", 5},           {"[A-Z]", "[A-Z]", 5},
    {"[a-zA-Z]", "[a-zA-Z]", 8}, {"[０-９]", "[０-９]", 7},       {"[ａ-ｚ]", "[ａ-ｚ]", 7},
    {"[Ａ-Ｚ]", "[Ａ-Ｚ]", 7},   {"[亜-龠]", "[亜-龠]", 7},       {"[0-9０-９]", "[0-9０-９]", 10},
    {"[ａ-ｚＡ-Ｚ]", "[ａ-ｚＡ-Ｚ]", 12}, {"[a-zA-Zａ-ｚＡ-Ｚ]", "[a-zA-Zａ-ｚＡ-Ｚ]", 18},
};

// The caret offsets count CP932 bytes (the pattern's own encoding); the line edit counts characters.
int CaretChars(const QString& text, int bytes) {
  std::string cp932 = uitext::TypedToCp932(text);
  if (bytes < static_cast<int>(cp932.size())) cp932.resize(static_cast<std::size_t>(bytes));
  return static_cast<int>(uitext::FromCp932(cp932).size());
}

void Insert(QComboBox* target, const Piece& piece) {
  if (!target || !target->lineEdit()) return;
  QLineEdit* edit = target->lineEdit();
  const QString text = QString::fromUtf8(piece.text);
  const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  target->setFocus();
  // Through insert() rather than setText(), so that undo takes the piece back.
  switch (piece.place) {
    case Piece::Front:
      edit->setCursorPosition(0);
      edit->insert(text);
      edit->setCursorPosition(0);
      break;
    case Piece::End:
      edit->end(false);
      edit->insert(text);
      edit->end(false);
      break;
    case Piece::AtCaret:
      edit->insert(text);
      edit->setCursorPosition(start + CaretChars(text, piece.caretBytes));
      break;
  }
}

}  // namespace

TRegExpButtons::TRegExpButtons(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("RegExpButtons"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto addGroup = [&](const char* title, const auto& pieces, int columns) {
    auto* box = new QGroupBox(QString::fromUtf8(title), this);
    auto* rows = new QVBoxLayout(box);
    rows->setSpacing(2);
    QHBoxLayout* row = nullptr;
    int i = 0;
    for (const Piece& piece : pieces) {
      if (i % columns == 0) {
        if (row) row->addStretch(1);
        row = new QHBoxLayout;
        row->setSpacing(2);
        rows->addLayout(row);
      }
      const QString caption = QString::fromUtf8(piece.caption);
      auto* b = new QPushButton(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")), box);
      b->setFocusPolicy(Qt::NoFocus);
      b->setAutoDefault(false);
      // Sized to the caption: the style's minimum width would make the one-character buttons wide.
      b->setFixedWidth(qMax(b->fontMetrics().horizontalAdvance(caption) + 14, 26));
      connect(b, &QPushButton::clicked, this, [this, &piece] { Insert(target_, piece); });
      buttons_.append({caption, b});
      row->addWidget(b);
      ++i;
    }
    row->addStretch(1);
    rows->addStretch(1);
    layout->addWidget(box);
  };
  addGroup("正規表現", kRegExp, 5);
  addGroup("エスケープシークエンス", kEscapes, 4);
  addGroup("キャラクタセット", kCharSets, 4);
  layout->addStretch(1);
}

void TRegExpButtons::AddTarget(QComboBox* combo) {
  targets_.append(combo);
  // The combo and its line edit both, as either may be the one the focus lands on.
  combo->installEventFilter(this);
  if (combo->lineEdit()) combo->lineEdit()->installEventFilter(this);
}

QPushButton* TRegExpButtons::Button(const QString& caption) const {
  for (const auto& [text, button] : buttons_)
    if (text == caption) return button;
  return nullptr;
}

bool TRegExpButtons::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    for (const QPointer<QComboBox>& combo : targets_)
      if (combo && (watched == combo || watched == combo->lineEdit())) target_ = combo;
  }
  return QWidget::eventFilter(watched, event);
}


}  // namespace sorabu::ui
