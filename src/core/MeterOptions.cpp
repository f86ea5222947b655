#include "core/MeterOptions.h"

namespace core {

namespace {
using Kind = MeterOption::Kind;

MeterOption function(const char* name, const char* label, const char* command, quint32 colour,
                     qint16 silenceLimit = 0) {
    return {QString::fromLatin1(name),
            QString::fromLatin1(label),
            QString::fromLatin1(command),
            colour,
            Kind::Function,
            silenceLimit,
            QString()};
}

MeterOption rate(const char* name, const char* label, const char* command, qint16 silenceLimit,
                 const char* rateLine) {
    return {QString::fromLatin1(name),
            QString::fromLatin1(label),
            QString::fromLatin1(command),
            0,
            Kind::Rate,
            silenceLimit,
            QString::fromLatin1(rateLine)};
}
} // namespace

const QList<MeterOption>& MeterOptions() {
    static const QList<MeterOption> options = {
        function("optVAC", "Voltage - AC", "VAC", LightGreen),
        function("optVDC", "Voltage - DC", "VDC", LightGreen),
        function("optAAC", "Current - AC", "AAC", LightGreen),
        function("optADC", "Current - DC", "ADC", LightGreen),
        function("optFreq", "Frequency", "FREQ", LightGreen),
        function("optdB", "Decibels", "VAC; DB", LightGreen),
        function("optOhms", "Resistance", "OHMS", LightRed),
        function("optContinuity", "Continuity", "CONT", LightRed),
        // A dual reading with frequency comes more slowly, so the link is given longer.
        function("optVandF", "AC Voltage and  Frequency", "VAC; FREQ2", LightBlue, 25),
        function("optFandV", "Frequency and AC Voltage", "FREQ; VAC2", LightBlue, 25),
        function("optdBVAC", "Decibels and AC Voltage", "VAC; DB; VAC2", LightBlue),
        function("optdBandF", "Decibels and Frequency", "VAC; DB; FREQ2", LightBlue),
        function("optVACVDC", "AC and DC Voltage", "VAC; VDC2", LightBlue),
        function("optVDCVAC", "DC and AC Voltage", "VDC; VAC2", LightBlue),
        function("optDiode", "Diode", "DIODE", LightRed),
        rate("optFast", "Fast - Low Precision", "RATE F", 15,
             "Meter Response - Fast  :  Low Precision"),
        rate("optMedium", "Medium - Medium Precision", "RATE M", 20,
             "Meter Response - Medium  :  Medium Precision"),
        rate("optSlow", "Slow - High Precision", "RATE S", 25,
             "Meter Response - Slow  :  High Precision"),
    };
    return options;
}

const MeterOption* FindMeterOption(const QString& objectName) {
    for (const MeterOption& option : MeterOptions())
        if (option.objectName == objectName)
            return &option;
    return nullptr;
}

QString SetupNote() {
    const QString crlf2 = QStringLiteral("\r\n\r\n");
    return QStringLiteral("Note: Setup MUST be performed manually on the meter:") + crlf2 +
           QStringLiteral(
               "Set the Fluke 45 to 9600 baud, No Parity, and Echo Off using the '2nd' and "
               "'Rate' keys (see meter manual). Set 'Print 1' mode on the meter using the "
               "'2nd' and 'MN MX' keys, then Up Arrow and 'AUTO'. Connect to the PC using a "
               "'Null Modem' cable, and set the correct Com Port under the 'Edit' Menu of the "
               "Main Program Window.") +
           crlf2 + QStringLiteral("Fluke 45 Users Manual P. 5-2 to 5-4");
}

} // namespace core
