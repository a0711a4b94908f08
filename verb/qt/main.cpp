// rastrex-convert on Linux: the Qt front end.
#include <QApplication>

#include "verb_ui.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return 0;
}
