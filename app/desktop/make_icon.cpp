// Writes the program's icon as a PNG for the desktop entry: make_icon FILE SIZE
#include <cstdio>
#include <cstdlib>

#include <QGuiApplication>

#include "components/AppIcon.h"

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icon FILE SIZE\n");
        return 2;
    }
    return kpx::AppIconPixmap(std::atoi(argv[2])).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
