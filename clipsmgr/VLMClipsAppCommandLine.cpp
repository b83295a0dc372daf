// The command-line export mode of the clips manager: with a clip folder and an output file on
// the command line the program renders the clip into raw RGB frames and never opens a window.

#include "clipsmgr/VLMClipsApp.h"

#include "export/CommandLineRenderer.h"
#include "export/ExportCommandLine.h"
#include "storage/SavedClip.h"

#include <QCommandLineParser>
#include <QDebug>
#include <QTimer>

#include <cstdio>

bool VLMClipsApp::parseCommandLine()
{
    QCommandLineParser parser;
    kvx::addExportOptions(parser);
    // Help and version print and end the process; so does an unknown option or a missing value.
    parser.process(arguments());

    const kvx::ExportCommandLine line = kvx::readExportCommandLine(parser);
    developerPassword = line.developerPassword;
    developerMode = line.developerMode;
    lowerTrim = 0;
    upperTrim = 0;
    if (line.mode == kvx::ExportCommandLine::Mode::Error) {
        qDebug().noquote() << line.message;
        return false;
    }
    if (line.mode == kvx::ExportCommandLine::Mode::Gui)
        return true;

    outputWidth = line.outputWidth;
    outputHeight = line.outputHeight;
    commandLineMode = true;
    sourceClip = QSharedPointer<SavedClip>::create();
    if (!sourceClip->openFolder(line.sourceDirectory)) {
        qDebug().noquote() << QStringLiteral("Failed to open clip from folder ") + line.sourceDirectory;
        return false;
    }

    // Unbuffered: a failing write (a closed pipe, a full disk) is seen at the frame it hits.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    bool opened = false;
    if (line.outputFile == QLatin1String("-")) {
        // Standard output carries the raw frames; diagnostics go to the debug log (stderr).
        opened = outputFile.open(fileno(stdout), mode, QFileDevice::DontCloseHandle);
    } else {
        outputFile.setFileName(line.outputFile);
        opened = outputFile.open(mode | QIODevice::Truncate);
    }
    if (!opened) {
        qDebug().noquote() << QStringLiteral("Cannot open %1 for writing").arg(line.outputFile);
        return false;
    }

    lowerTrim = line.lowerTrim;
    upperTrim = line.upperTrim;
    connect(this, &VLMClipsApp::finishedBackgroundProcessing, this, &VLMClipsApp::straight_exit);
    QTimer::singleShot(0, this, &VLMClipsApp::runBackgroundProcessing);
    return true;
}

void VLMClipsApp::runBackgroundProcessing()
{
    kvx::CommandLineExportJob job;
    job.clip = sourceClip.data();
    job.output = &outputFile;
    job.outputWidth = outputWidth;
    job.outputHeight = outputHeight;
    job.lowerTrim = lowerTrim;
    job.upperTrim = upperTrim;
    if (!kvx::runCommandLineExport(job)) {
        exit(1);
        return;
    }
    emit finishedBackgroundProcessing();
}

void VLMClipsApp::straight_exit()
{
    exit(0);
}
