#include "qt_pictures.h"

#include "qt_text.h"
#include "qt_window.h"

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

// A picture is a label that shows it.
Label* makePicture(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    Label* label = makeLabel(window, layout, parent);
    switch (layout.picture) {
    case Picture::Arrow:
        label->setPixmap(arrowPicture());
        break;
    case Picture::AboutIcon:
        label->setPixmap(aboutIcon().pixmap(32, 32));
        label->setScaledContents(true);
        break;
    case Picture::Banner:
        label->setPixmap(bannerPicture());
        break;
    case Picture::None:
        break;
    }
    return label;
}

}  // namespace rastrex::qt
