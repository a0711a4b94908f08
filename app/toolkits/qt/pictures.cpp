#include "pictures.h"

namespace rastrex::qt {

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/program16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/pictures/program32.png"), QSize(32, 32));
    return icon;
}

QIcon aboutIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/about16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/pictures/about32.png"), QSize(32, 32));
    return icon;
}

QPixmap arrowPicture()
{
    return QPixmap(QStringLiteral(":/pictures/arrow.png"));
}

QPixmap bannerPicture()
{
    return QPixmap(QStringLiteral(":/pictures/banner.png"));
}

}  // namespace rastrex::qt
