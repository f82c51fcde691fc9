// Making the window's items and tool buttons and putting them into its menus.
#include "app/menu_items.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <algorithm>

#include "app/main_window.h"
#include "custom/tool_buttons.h"
#include "uitext/qt_text.h"

namespace sorabu::app {

using uitext::U;

QAction* MakeAction(TForm1& form, QMenu* menu, const char* name, const char* caption, TFormSlot slot,
                    bool checkable) {
  auto* action = new QAction(U(caption), &form);
  action->setObjectName(QString::fromLatin1(name));
  action->setCheckable(checkable);
  if (slot) QObject::connect(action, &QAction::triggered, &form, slot);
  if (menu) menu->addAction(action);
  return action;
}

void InsertTwins(TForm1& form, const TMenuTwins& twins, std::array<QAction*, 2> before,
                 std::span<const MenuItemSpec> items) {
  Q_ASSERT_X(twins.main && twins.popup, "InsertTwins", "a menu or its twin was never made");
  if (!twins.main || !twins.popup) {
    qWarning("InsertTwins: a menu or its twin was never made; %zu items left out", items.size());
    return;
  }
  for (const bool popup : {false, true}) {
    QMenu* menu = popup ? twins.popup : twins.main;
    for (const MenuItemSpec& item : items) {
      QAction* a = nullptr;
      if (!item.name) {
        a = new QAction(menu);
        a->setSeparator(true);
      } else {
        a = MakeAction(form, nullptr, popup ? item.popupName : item.name,
                       popup && item.popupCaption ? item.popupCaption : item.caption,
                       popup && item.popupSlot ? item.popupSlot : item.slot);
      }
      menu->insertAction(before[popup ? 1 : 0], a);
    }
  }
}

void InsertTwins(TForm1& form, const TMenuTwins& twins, TMenuEnd end, std::span<const MenuItemSpec> items) {
  const auto first = [end](QMenu* m) { return end == TMenuEnd::Front && m ? m->actions().value(0) : nullptr; };
  InsertTwins(form, twins, {first(twins.main), first(twins.popup)}, items);
}

std::array<QAction*, 2> BeforeExit(const TMenuTwins& file) {
  std::array<QAction*, 2> before{};
  for (const bool popup : {false, true}) {
    const QList<QAction*> actions = (popup ? file.popup : file.main)->actions();
    const QString name = QString::fromLatin1(popup ? "Mexit2" : "Mexit1");
    const auto exitItem = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->objectName() == name; });
    const qsizetype exit = exitItem == actions.end() ? -1 : exitItem - actions.begin();
    Q_ASSERT_X(exit > 0 && actions[exit - 1]->isSeparator(), "BeforeExit", "the file menu ends otherwise");
    before[popup] = exit > 0 ? actions[exit - 1] : nullptr;
  }
  return before;
}

void AddShortcuts(TForm1& form, QMenu* shortcuts, std::initializer_list<ShortcutSpec> items) {
  Q_ASSERT_X(shortcuts, "AddShortcuts", "the shortcut list was never made");
  if (!shortcuts) return;
  QAction* first = shortcuts->actions().value(0);
  for (const ShortcutSpec& item : items) shortcuts->insertAction(first, MakeAction(form, nullptr, item.name, item.caption, item.slot));
}

QAction* ToolButton(TForm1& form, QToolBar* bar, const char* name, QStyle::StandardPixmap icon, TFormSlot slot) {
  const custom::TToolButtonInfo* info = custom::FindToolButton(name);
  QAction* a = MakeAction(form, nullptr, name, info ? info->tip : name, slot);
  a->setIcon(form.style()->standardIcon(icon));
  if (info) {
    a->setToolTip(U(info->tip));
    a->setStatusTip(U(info->status));
  }
  bar->addAction(a);
  return a;
}

}  // namespace sorabu::app
