#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace toolkit {

// Screen readers' view of a menu item that opens a submenu. Qt tells of it as of any other item;
// told as expandable, collapsed until its submenu shows, Orca reads that it opens one. An
// accessibility factory: nullptr for every other object.
QAccessibleInterface *submenuItemAccessible(const QString &className, QObject *object);

} // namespace toolkit
