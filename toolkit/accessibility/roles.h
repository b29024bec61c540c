#pragma once

namespace toolkit {

// Tells Qt what screen readers are to learn of the program's own controls: the main window is a
// frame named by its caption, the sample an image whose description is its text alternative, the
// edit boxes read whole and by words (longtextlineeditaccessible), and a menu item that opens a
// submenu expandable (submenuitem). Screen readers may ask about a control as soon as it is made:
// called before the window is.
void installAccessibleRoles();

} // namespace toolkit
