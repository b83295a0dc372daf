#pragma once

#include <QCommandLineOption>

class QCommandLineParser;

// The control program's command line: help, version and the developer switch.
namespace ControlCommandLine {

// Adds the description and the options; returns the developer option for developerMode().
QCommandLineOption addOptions(QCommandLineParser& parser);

// Whether the parsed arguments ask for developer mode ("-d enable").
bool developerMode(const QCommandLineParser& parser, const QCommandLineOption& developer);

} // namespace ControlCommandLine
