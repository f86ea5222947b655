#pragma once
#include "Clock.h"
#include "Dialogs.h"
#include "MessageBox.h"
#include "ProgressDialog.h"
#include "SerialPort.h"
#include "Shell.h"
#include "SoundPlayer.h"

namespace platform {

// The effects the program has on its surroundings, gathered so windows and logic can be
// built with real services or with test doubles.
struct Platform {
    MessageBox& messages;
    Dialogs& dialogs;
    SoundPlayer& sound;
    Clock& clock;
    SerialPort& serial;
    Shell& shell;
    ProgressDialog& progress;
};

} // namespace platform
