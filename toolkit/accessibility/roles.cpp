#include "toolkit/accessibility/roles.h"

#include "toolkit/accessibility/longtextlineeditaccessible.h"
#include "toolkit/accessibility/submenuitem.h"
#include "toolkit/qt/qtsurface.h"
#include "toolkit/widgets/longtextlineedit.h"

#include <QAccessibleWidget>

namespace toolkit {

namespace {

QAccessibleInterface *accessibleRole(const QString &className, QObject *object) {
    // Its description, the sample read out as text, is the image's text alternative.
    if (className == QLatin1StringView(SurfaceImage::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Graphic);
    }
    if (className == QLatin1StringView(LongTextLineEdit::staticMetaObject.className())) {
        return longTextLineEditAccessible(static_cast<LongTextLineEdit *>(object));
    }
    if (className == u"TMainForm") {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void installAccessibleRoles() {
    QAccessible::installFactory(accessibleRole);
    QAccessible::installFactory(submenuItemAccessible);
}

} // namespace toolkit
