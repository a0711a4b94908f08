#include "pictures.h"

namespace rastrex::qt {

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/program16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/pictures/program32.xpm"), QSize(32, 32));
    return icon;
}

QIcon aboutIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/about16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/pictures/about32.xpm"), QSize(32, 32));
    return icon;
}

QPixmap arrowPicture()
{
    return QPixmap(QStringLiteral(":/pictures/arrow.xpm"));
}

QPixmap bannerPicture()
{
    return QPixmap(QStringLiteral(":/pictures/banner.xpm"));
}

}  // namespace rastrex::qt
