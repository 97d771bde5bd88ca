#pragma once
// CMenuXP: a popup menu drawn in the program's own flat style: a plain background, a bar in
// the selection colour under the pointer, the default item in bold, disabled items in gray
// over a one-pixel light shadow, an accelerator after a tab right-aligned. Built from a
// MenuModel; every chosen item is reported once, as its command id, by commandChosen of the
// top menu. A menu owns its submenus (Qt children). UI thread only.

#include <QColor>
#include <QMenu>
#include <memory>

#include "controls/menu_model.h"

namespace vistrela {

class CMenuXP : public QMenu {
    Q_OBJECT
public:
    explicit CMenuXP(QWidget* parent = nullptr);

    // Builds the menu and its submenus from `model`, every menu with the program's selection
    // colour RGB(102, 153, 255).
    static std::unique_ptr<CMenuXP> fromModel(const MenuModel& model, QWidget* parent = nullptr);

    // Colours; the defaults come from the menu palette.
    QColor backgroundColor;
    QColor selectionColor;
    QColor textColor;
    QColor selectedTextColor;
    QColor disabledTextColor;

    // Sets the selection colour of this menu and of its submenus.
    void setSelectionColor(const QColor& color);

    // Appends an item sending `commandId`; the text is shown as it stands ('&' included).
    QAction* appendItem(int commandId, const QString& text);
    // Appends an entry opening a new, owned submenu and returns the submenu.
    CMenuXP* appendPopup(const QString& text);
    // Makes the item with `commandId` the default item (bold); 0 clears it.
    void setDefaultCommand(int commandId);

    // The item sending `commandId` here or in a submenu, or nullptr.
    QAction* actionForCommand(int commandId) const;
    // Grays or enables an item by command id; false when there is no such item.
    bool setCommandEnabled(int commandId, bool enabled);

signals:
    void commandChosen(int commandId);
};

}  // namespace vistrela
