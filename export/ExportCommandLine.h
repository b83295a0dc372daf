#pragma once

#include <QString>

class QCommandLineParser;

namespace kvx {

// What the clips manager's command line asks for: the GUI, a command-line export of a clip
// folder into a raw RGB file, or nothing but an error (message for the debug log).
struct ExportCommandLine {
    enum class Mode { Gui, Export, Error };

    Mode mode = Mode::Gui;
    QString message;
    QString sourceDirectory;
    QString outputFile;  // "-" is standard output
    int outputWidth = 0; // 0: the clip's own output size
    int outputHeight = 0;
    int lowerTrim = 0;
    int upperTrim = 0;
    bool developerMode = false;
    QString developerPassword;
};

// The description, the help and version options and the seven export options.
void addExportOptions(QCommandLineParser& parser);

// Reads a parser that has processed the arguments. Checks the source and output values,
// chooses the mode and parses the resolution and the trims.
ExportCommandLine readExportCommandLine(const QCommandLineParser& parser);

} // namespace kvx
