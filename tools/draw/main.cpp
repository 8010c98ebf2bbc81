// Draws every stored picture of the game into a folder, or checks a folder
// of them against the layout the game relies on.
#include "check.h"
#include "pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdlib>
#include <iostream>

namespace {

int usage()
{
    std::cerr << "usage: tarnix_draw OUTDIR\n"
                 "       tarnix_draw --check DIR\n"
                 "       tarnix_draw --scene FILE.png\n";
    return 2;
}

bool save(const QImage& img, const QString& path)
{
    if (!img.save(path, "PNG")) {
        std::cerr << "tarnix_draw: cannot write " << path.toStdString() << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // Text is rendered offscreen; no display is needed or wanted.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 2 && args[0] == QLatin1String("--check")) {
            const int faults = art::checkPictures(args[1], std::cerr);
            if (faults)
                std::cerr << "tarnix_draw: " << faults << " fault(s) in " << args[1].toStdString() << '\n';
            return faults ? EXIT_FAILURE : EXIT_SUCCESS;
        }
        if (args.size() == 2 && args[0] == QLatin1String("--scene")) {
            const auto pictures = art::allPictures();
            return save(art::playScene(pictures[0].image, pictures[3].image, pictures[6].image), args[1])
                       ? EXIT_SUCCESS
                       : EXIT_FAILURE;
        }
        if (args.size() != 1 || args[0].startsWith(QLatin1String("--")))
            return usage();
        const QDir out(args[0]);
        if (!QDir().mkpath(out.path())) {
            std::cerr << "tarnix_draw: cannot create " << args[0].toStdString() << '\n';
            return EXIT_FAILURE;
        }
        const auto pictures = art::allPictures();
        for (const art::Picture& p : pictures)
            if (!save(p.image, out.filePath(p.file)))
                return EXIT_FAILURE;
        return save(art::contactSheet(pictures), out.filePath(QStringLiteral("contact_sheet.png")))
                   ? EXIT_SUCCESS
                   : EXIT_FAILURE;
    } catch (const std::exception& e) {
        std::cerr << "tarnix_draw: " << e.what() << '\n';
        return EXIT_FAILURE;
    }
}
