// The control program's command line.
#include "CommandLineArguments.h"
#include "FuzzSupport.h"

#include "control/app/ControlCommandLine.h"

#include <QCommandLineParser>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QCommandLineParser parser;
    const QCommandLineOption developer = ControlCommandLine::addOptions(parser);
    if (parser.parse(fuzz::commandLineArguments(fuzz::bytes(data, size))))
        (void)ControlCommandLine::developerMode(parser, developer);
    return 0;
}
