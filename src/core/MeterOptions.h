#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>

// The meter control window's eighteen choices and what choosing one does, kept apart from the
// window so the rules can be exercised without one.
namespace core {

struct MeterOption {
    enum class Kind { Function, Rate };
    QString objectName; // the option button's name ("optVAC")
    QString label;      // the caption of the label beside the button
    QString command;    // sent as it stands, followed by one carriage return
    quint32 colour;     // button background, red in the low byte; 0 keeps the default face
    Kind kind;
    qint16 silenceLimit; // the new NoReplyLimit, or 0 to leave it alone
    QString rateLine;    // the main window's Label3 text (rates only)
};

inline constexpr quint32 LightGreen = 0x80FF80;
inline constexpr quint32 LightRed = 0x8080FF;
inline constexpr quint32 LightBlue = 0xFF8080;

// In screen order: the left column top to bottom, the right column, then the rate frame.
const QList<MeterOption>& MeterOptions();
// nullptr when no option has that name.
const MeterOption* FindMeterOption(const QString& objectName);

// The text of Label12: what must be set up by hand on the meter.
QString SetupNote();
// The meter maker's public manuals page, shown in Label13.
inline const QString ManualsPageUrl = QStringLiteral("https://www.fluke.com/en-us/support/manuals");

} // namespace core
