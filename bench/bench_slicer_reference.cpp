// The plain slicer kept in the tests as the reference, as a command, so that the benchmark can
// time it as a process like kelvarome-slice: bench_slicer_reference MODEL.stl MICRONS FOLDER
// writes the print and preview documents of MODEL into FOLDER.

#include <cstdio>

#include <QCoreApplication>
#include <QDir>

#include "tests/referenceslicer.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool isNumber = false;
    const int microns = arguments.value(2).toInt(&isNumber);
    if (arguments.size() != 4 || !isNumber || microns <= 0) {
        std::fprintf(stderr, "usage: bench_slicer_reference MODEL.stl MICRONS FOLDER\n");
        return 2;
    }
    if (!QDir().mkpath(arguments.at(3))) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(arguments.at(3)));
        return 1;
    }
    ReferenceSlicer::Documents documents;
    const int planes = ReferenceSlicer::writeDocuments(arguments.at(1), microns, arguments.at(3),
                                                       false, documents);
    if (planes < 0) {
        std::fprintf(stderr, "cannot slice %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    std::printf("%d planes\n", planes);
    return 0;
}
