// The program a new user starts, for the pictures of the tools: started on the data folder beside
// the executable as a first run, its settings written into a temporary folder of its own (removed
// at the end), on a machine at French summer time; neither the build machine's settings nor its
// zone show in the pictures. Runs with a QApplication (QTemporaryDir).
#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>

#include "app/program/Clock.h"
#include "app/program/Dialogs.h"
#include "app/program/Program.h"
#include "config/Folders.h"

namespace corvel::tools {

// A machine at French summer time (local time = UTC + 2).
class FrenchSummerTime : public app::MachineZone {
public:
    nav::Real UtcOffsetHours() const override { return -2; }
};

class NewUserProgram {
public:
    NewUserProgram()
        : program(dialogs,
                  config::StartupFolders{
                      QCoreApplication::applicationDirPath().toStdString(), home.path().toStdString(), {}},
                  app::NoSerialDevices(), zone) {}

private:
    const FrenchSummerTime zone;
    const QTemporaryDir home;
    app::QuietDialogs dialogs;

public:
    app::Program program;
};

}  // namespace corvel::tools
