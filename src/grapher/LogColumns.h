#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace grapher {

// The run's Info row: its date text and comment.
struct LogInfo {
    QString Date;
    QString Description;
};

// The LogData rows of one log file held in memory as columns, read once at load time.
// Positions are 1-based, in stored order, as the rest of the grapher counts rows.
// About 30 bytes a row: a double time stamp, three floats, two unit indexes, a null mask.
class LogColumns {
public:
    enum NullBit : quint8 {
        NullTimeStamp = 1,
        NullMilliSeconds = 2,
        NullUnits = 4,
        NullValue = 8,
        NullUnits2 = 16,
        NullValue2 = 32,
    };

    // One row as read from the file; empty optionals are NULL fields.
    struct Row {
        std::optional<double> TimeStamp; // days since 30 December 1899
        std::optional<float> MilliSeconds;
        std::optional<QString> Units;
        std::optional<float> Value;
        std::optional<QString> Units2;
        std::optional<float> Value2;
    };

    void reserve(qint64 rows);
    void append(const Row& row);
    // The index of a unit text (0 for NULL or empty) and a row given by such indexes.
    quint16 intern(const std::optional<QString>& text);
    void appendInterned(std::optional<double> timeStamp, std::optional<float> milliSeconds,
                        std::optional<quint16> units, std::optional<float> value,
                        std::optional<quint16> units2, std::optional<float> value2);
    void clear();
    void squeeze();

    qint32 rowCount() const { return qint32(timeStamp_.size()); }

    bool isNull(qint32 pos, NullBit bit) const { return (nulls_[pos - 1] & bit) != 0; }
    double timeStamp(qint32 pos) const { return timeStamp_[pos - 1]; }
    float milliSeconds(qint32 pos) const { return milliSeconds_[pos - 1]; }

    // The value and unit of data set 1 (Value, Units) or 2 (Value2, Units2).
    std::optional<float> value(int dataSet, qint32 pos) const;
    // Unit text; NULL reads as empty text.
    const QString& units(int dataSet, qint32 pos) const;
    bool unitsNull(int dataSet, qint32 pos) const;

    // Raw column access for tight loops (0-based indexes).
    const std::vector<float>& values(int dataSet) const { return dataSet == 1 ? value_ : value2_; }
    const std::vector<quint8>& nullMasks() const { return nulls_; }
    quint8 valueNullBit(int dataSet) const { return dataSet == 1 ? NullValue : NullValue2; }
    const std::vector<quint16>& unitIndexes(int dataSet) const {
        return dataSet == 1 ? units_ : units2_;
    }
    const QString& unitText(quint16 index) const { return unitPool_[index]; }

    // Bytes held per row by the columns (capacity included).
    double bytesPerRow() const;

private:
    std::vector<double> timeStamp_;
    std::vector<float> milliSeconds_;
    std::vector<float> value_;
    std::vector<float> value2_;
    std::vector<quint16> units_;
    std::vector<quint16> units2_;
    std::vector<quint8> nulls_;
    QStringList unitPool_{QString()}; // index 0: NULL or empty
    QHash<QString, quint16> unitIndex_;
};

} // namespace grapher
