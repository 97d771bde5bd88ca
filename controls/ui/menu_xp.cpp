#include "controls/ui/menu_xp.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "controls/menu_metrics.h"

namespace vistrela {

namespace {

QString escapeMnemonics(const QString& text) {
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// Draws and measures the items of CMenuXP menus; other widgets get the application style.
class MenuXPStyle : public QProxyStyle {
public:
    static MenuXPStyle* instance() {
        // Parented to the application so it outlives every menu and is freed at exit.
        static MenuXPStyle* style = [] {
            auto* s = new MenuXPStyle;
            s->setParent(qApp);
            return s;
        }();
        return style;
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (qobject_cast<const CMenuXP*>(widget) != nullptr) {
            switch (metric) {
                case PM_MenuPanelWidth:
                    return 1;
                case PM_MenuHMargin:
                case PM_MenuVMargin:
                    return 1;
                default:
                    break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        // The bar follows the pointer onto disabled items too, as in the system's menus.
        if (hint == SH_Menu_AllowActiveAndDisabled &&
            qobject_cast<const CMenuXP*>(widget) != nullptr) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* menu = qobject_cast<const CMenuXP*>(widget);
        if (menu != nullptr && element == PE_PanelMenu) {
            painter->fillRect(option->rect, menu->backgroundColor);
            return;
        }
        if (menu != nullptr && element == PE_FrameMenu) {
            painter->setPen(menu->disabledTextColor);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type != CT_MenuItem || item == nullptr ||
            qobject_cast<const CMenuXP*>(widget) == nullptr) {
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        }
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            return {0, pixelMetric(PM_IndicatorHeight, option, widget) / 2};
        }
        // Measured in bold whatever the item, so the default item fits as well.
        QFont bold = item->font;
        bold.setBold(true);
        const QFontMetrics fm(bold);
        const MenuLabelParts parts = splitMenuLabel(item->text);
        int width = fm.horizontalAdvance(plain(parts.left));
        if (!parts.right.isEmpty()) {
            width += fm.horizontalAdvance(QStringLiteral("  ")) + fm.horizontalAdvance(parts.right);
        }
        return menuItemSize(width, fm.height());
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* menu = qobject_cast<const CMenuXP*>(widget);
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || menu == nullptr || item == nullptr) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        painter->save();
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            drawSeparator(*menu, item->rect, painter);
        } else {
            drawItem(*menu, *item, painter, widget);
        }
        painter->restore();
    }

private:
    // The label as it reads on screen: "&&" in an action's text stands for one '&'.
    static QString plain(const QString& text) {
        QString s = text;
        return s.replace(QStringLiteral("&&"), QStringLiteral("&"));
    }

    static void drawSeparator(const CMenuXP& menu, const QRect& r, QPainter* p) {
        p->fillRect(r, menu.backgroundColor);
        const int y = r.top() + r.height() / 2;
        p->setPen(menu.disabledTextColor);
        p->drawLine(r.left(), y, r.right(), y);
        p->setPen(menu.selectedTextColor);
        p->drawLine(r.left(), y + 1, r.right(), y + 1);
    }

    void drawItem(const CMenuXP& menu, const QStyleOptionMenuItem& item, QPainter* p,
                  const QWidget* widget) const {
        const bool selected = item.state & State_Selected;
        const bool enabled = item.state & State_Enabled;
        const bool isDefault = item.menuItemType == QStyleOptionMenuItem::DefaultItem;
        p->fillRect(item.rect, selected ? menu.selectionColor : menu.backgroundColor);

        QFont font = item.font;
        if (isDefault) font.setBold(true);
        p->setFont(font);
        const QRect textRect = menuTextRect(item.rect);
        const MenuLabelParts parts = splitMenuLabel(item.text);
        if (!enabled) {
            // Embossed: a light copy one pixel down and right, unless the bar is under it.
            if (!selected) {
                drawLabel(p, parts, textRect.translated(1, 1), menu.selectedTextColor);
            }
            drawLabel(p, parts, textRect, menu.disabledTextColor);
        } else {
            drawLabel(p, parts, textRect, selected ? menu.selectedTextColor : menu.textColor);
        }

        if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
            QStyleOption arrow = item;
            arrow.rect = QRect(item.rect.right() - kMenuIconSizePx + 1, item.rect.top(),
                               kMenuIconSizePx, item.rect.height());
            QPalette pal = arrow.palette;
            pal.setColor(QPalette::ButtonText, selected ? menu.selectedTextColor : menu.textColor);
            arrow.palette = pal;
            QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, p, widget);
        }
    }

    static void drawLabel(QPainter* p, const MenuLabelParts& parts, const QRect& r,
                          const QColor& color) {
        p->setPen(color);
        const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextHideMnemonic;
        p->drawText(r, flags | Qt::AlignLeft, parts.left);
        if (!parts.right.isEmpty()) p->drawText(r, flags | Qt::AlignRight, parts.right);
    }
};

}  // namespace

CMenuXP::CMenuXP(QWidget* parent) : QMenu(parent) {
    setStyle(MenuXPStyle::instance());
    const QPalette pal = palette();
    backgroundColor = pal.color(QPalette::Active, QPalette::Window);
    selectionColor = pal.color(QPalette::Active, QPalette::Highlight);
    textColor = pal.color(QPalette::Active, QPalette::WindowText);
    selectedTextColor = pal.color(QPalette::Active, QPalette::HighlightedText);
    disabledTextColor = pal.color(QPalette::Disabled, QPalette::WindowText);
}

std::unique_ptr<CMenuXP> CMenuXP::fromModel(const MenuModel& model, QWidget* parent) {
    auto menu = std::make_unique<CMenuXP>(parent);
    // Recursion over the model's submenus: each level fills one menu.
    auto fill = [](auto& self, CMenuXP& target, const std::vector<MenuItemModel>& items) -> void {
        for (const MenuItemModel& m : items) {
            const QString text = QString::fromStdString(m.text);
            if (!m.submenu.empty() || m.commandId == 0) {
                CMenuXP* sub = target.appendPopup(text);
                sub->menuAction()->setEnabled(m.enabled);
                self(self, *sub, m.submenu);
                continue;
            }
            QAction* action = target.appendItem(m.commandId, text);
            action->setEnabled(m.enabled);
            if (m.isDefault) target.setDefaultCommand(m.commandId);
        }
    };
    fill(fill, *menu, model.items);
    menu->setSelectionColor(QColor(kMenuSelectionRed, kMenuSelectionGreen, kMenuSelectionBlue));
    return menu;
}

void CMenuXP::setSelectionColor(const QColor& color) {
    selectionColor = color;
    for (CMenuXP* sub : findChildren<CMenuXP*>(Qt::FindDirectChildrenOnly)) {
        sub->setSelectionColor(color);
    }
    update();
}

QAction* CMenuXP::appendItem(int commandId, const QString& text) {
    QAction* action = addAction(escapeMnemonics(text));
    action->setData(commandId);
    connect(action, &QAction::triggered, this,
            [this, commandId] { emit commandChosen(commandId); });
    return action;
}

CMenuXP* CMenuXP::appendPopup(const QString& text) {
    auto* sub = new CMenuXP(this);
    sub->setTitle(escapeMnemonics(text));
    addMenu(sub);
    connect(sub, &CMenuXP::commandChosen, this, &CMenuXP::commandChosen);
    return sub;
}

void CMenuXP::setDefaultCommand(int commandId) {
    QAction* chosen = nullptr;
    for (QAction* action : actions()) {
        const bool match =
            commandId != 0 && action->menu() == nullptr && action->data().toInt() == commandId;
        if (match) chosen = action;
        QFont font = action->font();
        font.setBold(match);
        action->setFont(font);
    }
    setDefaultAction(chosen);
}

QAction* CMenuXP::actionForCommand(int commandId) const {
    for (QAction* action : actions()) {
        if (auto* sub = qobject_cast<CMenuXP*>(action->menu())) {
            if (QAction* inner = sub->actionForCommand(commandId)) return inner;
        } else if (action->data().isValid() && action->data().toInt() == commandId) {
            return action;
        }
    }
    return nullptr;
}

bool CMenuXP::setCommandEnabled(int commandId, bool enabled) {
    QAction* action = actionForCommand(commandId);
    if (action == nullptr) return false;
    action->setEnabled(enabled);
    return true;
}

}  // namespace vistrela
