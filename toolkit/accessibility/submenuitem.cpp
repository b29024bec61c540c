#include "toolkit/accessibility/submenuitem.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QMenu>
#include <QPointer>

namespace toolkit {

namespace {

// The item's text as its menu shows it: "&&" is an ampersand, a single "&" marks the mnemonic.
QString withoutMnemonic(const QString &text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

class SubmenuItem final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SubmenuItem(QMenu *owner, QAction *action)
        : owner_(owner)
        , action_(action) {}

    bool isValid() const override { return owner_ != nullptr && action_ != nullptr; }
    QObject *object() const override { return action_; }
    QWindow *window() const override { return owner_ ? owner_->windowHandle() : nullptr; }

    QAccessibleInterface *parent() const override {
        return QAccessible::queryAccessibleInterface(owner_);
    }
    QAccessibleInterface *child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(action_->menu()) : nullptr;
    }
    int childCount() const override { return 1; }
    int indexOfChild(const QAccessibleInterface *child) const override {
        return child != nullptr && child->object() == action_->menu() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? withoutMnemonic(action_->text()) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override {
        const QRect shown = owner_->actionGeometry(action_);
        return {owner_->mapToGlobal(shown.topLeft()), shown.size()};
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focused = owner_->activeAction() == action_;
        state.disabled = !action_->isEnabled();
        state.invisible = !owner_->isVisible() || !action_->isVisible();
        state.hasPopup = true;
        state.expandable = true;
        state.expanded = action_->menu()->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString &name) override {
        if (name == showMenuAction() && action_->isEnabled()) {
            owner_->setActiveAction(action_); // which shows its submenu
        }
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QMenu> owner_;
    QPointer<QAction> action_;
};

} // namespace

QAccessibleInterface *submenuItemAccessible(const QString &, QObject *object) {
    auto *action = qobject_cast<QAction *>(object);
    if (action == nullptr || action->menu() == nullptr) {
        return nullptr;
    }
    // The menu it is being shown in: the last one it was put in.
    const QObjectList shownIn = action->associatedObjects();
    for (auto it = shownIn.rbegin(); it != shownIn.rend(); ++it) {
        if (auto *owner = qobject_cast<QMenu *>(*it)) {
            return new SubmenuItem(owner, action);
        }
    }
    return nullptr;
}

} // namespace toolkit
