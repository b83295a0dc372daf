// The clips manager's command line (the export mode's options).
#include "CommandLineArguments.h"
#include "FuzzSupport.h"

#include "export/ExportCommandLine.h"

#include <QCommandLineParser>

using kvx::ExportCommandLine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QCommandLineParser parser;
    kvx::addExportOptions(parser);
    if (!parser.parse(fuzz::commandLineArguments(fuzz::bytes(data, size))))
        return 0;
    const ExportCommandLine line = kvx::readExportCommandLine(parser);
    if (line.mode == ExportCommandLine::Mode::Export) {
        fuzz::require(!line.sourceDirectory.isEmpty() && !line.outputFile.isEmpty());
        fuzz::require(line.outputWidth >= 0 && line.outputHeight >= 0);
    }
    return 0;
}
