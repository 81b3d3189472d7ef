// The application icon, drawn by us as pixel art in 16 colours.

#include <QImage>
#include <QPixmap>

#include "resources/Resources.h"
#include "resources/icons/pixalto-16.xpm"
#include "resources/icons/pixalto-32.xpm"

namespace pixalto::res {

QIcon AppIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(QImage(pixalto_icon_32)));
    icon.addPixmap(QPixmap::fromImage(QImage(pixalto_icon_16)));
    return icon;
}

}  // namespace pixalto::res
