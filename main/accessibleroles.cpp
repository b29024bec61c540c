#include "main/accessibleroles.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

QAccessibleInterface *accessibleRole(const QString &className, QObject *object) {
    // Its description, the sample read out as text, is the image's text alternative.
    if (className == u"SurfaceImage") {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Graphic);
    }
    if (className == u"TMainForm") {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void installAccessibleRoles() {
    QAccessible::installFactory(accessibleRole);
}
