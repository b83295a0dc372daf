#pragma once

#include "control/app/ControlSettings.h"

#include <QApplication>
#include <QTranslator>

// The control program's application object: its names, style sheet, screen scale, command line,
// settings and translation.
class QRecApplication : public QApplication {
    Q_OBJECT
public:
    static constexpr const char* StyleSheetPath = ":/res/qrecstyle.qss";

    QRecApplication(int& argc, char** argv);

    // Names and version, style sheet, scale, command line (help and version end the program
    // there), settings and the translation of the stored language.
    void initialise();

    ControlSettings settings;
    double uiScale = 1.0;
    bool developerMode = false;
    bool translationInstalled = false;

private:
    void applyStyleSheet();
    void parseCommandLine();

    QTranslator translator_;
};
