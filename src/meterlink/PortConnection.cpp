#include "meterlink/PortConnection.h"

namespace meterlink {
namespace {
const QString CrLf = QStringLiteral("\r\n");
}

QString StartupErrorText(int code) {
    switch (code) {
    case platform::SerialError::NoSuchPort:
        return "        No Comm Port Available!" + CrLf + CrLf +
               "This program requires one port (1-8)." + CrLf + CrLf + "Press 'OK' to Exit." +
               CrLf + CrLf;
    case platform::SerialError::NotOpen:
        return "        Port Is Not Open!" + CrLf + CrLf + "Check Port Availability and Status." +
               CrLf + CrLf + "Press 'OK' to Exit." + CrLf + CrLf;
    case platform::SerialError::PortInUse:
        return "        Port Already Open!" + CrLf + CrLf + "Another process is using the port." +
               CrLf + CrLf + "Is the primary instance of this application using this Port?" + CrLf +
               CrLf + "If so, stop it amd launch this instance to select alternate Port...." +
               CrLf + CrLf + "Press 'OK' to Exit." + CrLf + CrLf;
    default:
        return "Error #" + QString::number(code) + CrLf + CrLf +
               "There is a problem with the serial port!" + CrLf + CrLf + "Press 'OK' to Exit." +
               CrLf + CrLf;
    }
}

QList<bool> ProbePorts(platform::SerialPort& port) {
    QList<bool> present;
    for (int n = FirstPort; n <= LastPort; ++n)
        present.append(port.probe(n));
    return present;
}

int SwitchPort(platform::SerialPort& port, qint16& CommPortNo, qint16 n) {
    port.close();
    CommPortNo = n;
    return port.open(n);
}

QString PortSwitchErrorText(int code, int portNo) {
    QString reason;
    switch (code) {
    case platform::SerialError::NoSuchPort:
        reason = QStringLiteral("The port does not exist.");
        break;
    case platform::SerialError::PortInUse:
        reason = QStringLiteral("Another process is using the port.");
        break;
    case platform::SerialError::NotOpen:
        reason = QStringLiteral("Check Port Availability and Status.");
        break;
    default:
        reason = "Error #" + QString::number(code);
        break;
    }
    return "Cannot open Com" + QString::number(portNo) + "!" + CrLf + CrLf + reason + CrLf + CrLf +
           "The connection stays closed. Choose another port under Edit | RS-232." + CrLf + CrLf;
}

} // namespace meterlink
