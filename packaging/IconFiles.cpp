// Writes the program's picture as PNG files for the desktop's icon theme.
// Usage: qvt-n2-icon-files SIDE FILE [SIDE FILE ...]
#include "ui/icon/AppIcon.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <cstdio>

namespace {

bool WriteIconFile(const QString& sideText, const QString& path)
{
    bool isNumber = false;
    const int side = sideText.toInt(&isNumber);
    if (!isNumber || side <= 0) {
        std::fprintf(stderr, "qvt-n2-icon-files: '%s' is not a size in pixels\n", qPrintable(sideText));
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).path()) || !DrawAppIcon(side).save(path, "PNG")) {
        std::fprintf(stderr, "qvt-n2-icon-files: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: qvt-n2-icon-files SIDE FILE [SIDE FILE ...]\n");
        return 2;
    }
    for (int i = 1; i < argc; i += 2) {
        if (!WriteIconFile(QString::fromLocal8Bit(argv[i]), QString::fromLocal8Bit(argv[i + 1])))
            return 1;
    }
    return 0;
}
