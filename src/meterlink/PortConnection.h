#pragma once
#include "platform/SerialPort.h"
#include <QList>
#include <QString>
#include <QtGlobal>

// Choosing, opening and switching the meter's port, and what the user is told when it fails.
namespace meterlink {

inline constexpr int FirstPort = 1;
inline constexpr int LastPort = 8;

// Title and texts of the start-up error trap (OK only, no icon). 8002, 8005 and 8012 have their
// own texts; any other code gives "Error #<code>".
inline const QString StartupErrorTitle = QStringLiteral("Cannot Start Fluke 45 Serial Comm!");
QString StartupErrorText(int code);

// Probes ports 1..8 in order; element n-1 is true when port n exists and is free.
QList<bool> ProbePorts(platform::SerialPort& port);

// The port menu's switch to port n: close, CommPortNo := n, open. Returns the open's result
// (0 on success). On failure the connection stays closed on the new port number: the caller
// reports it (PortSwitchErrorText) and the silence watchdog takes over from there.
int SwitchPort(platform::SerialPort& port, qint16& CommPortNo, qint16 n);

// The message for a failed switch (OK only, exclamation icon, title PortSwitchErrorTitle).
inline const QString PortSwitchErrorTitle = QStringLiteral("Serial Port");
QString PortSwitchErrorText(int code, int portNo);

} // namespace meterlink
