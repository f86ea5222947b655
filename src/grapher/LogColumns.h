#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
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
//
// About 15 bytes a row for a month-long run: the time of day as 32-bit whole seconds, the
// milliseconds as 16 bits, both values as singles (a NULL value is a NaN of its own payload),
// the units run-length encoded, and a summary per block of rows for drawing and statistics.
// Whatever does not fit the compact form (a fractional millisecond, a time that 32-bit
// seconds do not give back exactly, a NULL time) goes to a sorted exception list, so every
// field reads back exactly as it was read.
class LogColumns {
public:
    static constexpr qint32 BlockRows = 128;

    // One row as read from the file; empty optionals are NULL fields.
    struct Row {
        std::optional<double> TimeStamp; // days since 30 December 1899
        std::optional<float> MilliSeconds;
        std::optional<QString> Units;
        std::optional<float> Value;
        std::optional<QString> Units2;
        std::optional<float> Value2;
    };

    // Extremes of one block's readings (NULL and NaN passed over): per sign class (0 above
    // zero, 1 below, 2 zero) the count, and mean and sum of squared deviations for the first
    // two; the offsets in the block of the first and last lowest and highest value.
    struct Block {
        double mean[2] = {0, 0};
        double m2[2] = {0, 0};
        float minNonNegative = 0; // valid when count[0] + count[2] > 0
        float maxNonPositive = 0; // valid when count[1] + count[2] > 0
        quint8 count[3] = {0, 0, 0};
        quint8 minFirst = None, minLast = None, maxFirst = None, maxLast = None;
        static constexpr quint8 None = 0xFF;
    };

    // Rows stored by one reader thread over its own range of positions; put together with
    // the other ranges' parts, in order, by assemble().
    class Part {
    public:
        // The part's index of a unit text of data set 0 or 1 (0 stands for NULL).
        quint16 unitIndex(int set, const char* utf8, int bytes);
        void store(LogColumns& columns, qint32 pos, std::optional<double> timeStamp,
                   std::optional<float> milliSeconds, quint16 units, std::optional<float> value,
                   quint16 units2, std::optional<float> value2);

    private:
        friend class LogColumns;
        struct TimeException {
            qint32 pos;
            std::optional<double> value;
        };
        struct MilliException {
            qint32 pos;
            std::optional<float> value;
        };
        struct Run {
            qint32 start;
            quint16 index;
        };
        std::vector<TimeException> times_;
        std::vector<MilliException> millis_;
        std::vector<Run> runs_[2];
        QList<QByteArray> texts_{QByteArray()};
        QByteArray lastText_[2];
        quint16 lastIndex_[2] = {0, 0};
    };

    // Room for rows positions, each to be stored through a Part.
    void resize(qint32 rows);
    // Summarises blocks [first, end) once their rows are stored (ranges may run in parallel).
    void summarize(qint32 firstBlock, qint32 endBlock);
    void assemble(std::vector<Part>& parts);

    void append(const Row& row);
    void clear();

    qint32 rowCount() const { return qint32(seconds_.size()); }

    bool timeStampNull(qint32 pos) const;
    bool milliSecondsNull(qint32 pos) const;
    double timeStamp(qint32 pos) const; // 0 for NULL
    float milliSeconds(qint32 pos) const;

    // The value and unit of data set 1 (Value, Units) or 2 (Value2, Units2).
    std::optional<float> value(int dataSet, qint32 pos) const;
    // Unit text; NULL reads as empty text.
    const QString& units(int dataSet, qint32 pos) const;
    QByteArray unitsUtf8(int dataSet, qint32 pos) const;
    bool unitsNull(int dataSet, qint32 pos) const;

    // Raw values for tight loops (0-based); a NULL is a NaN that IsNullValue tells apart.
    const std::vector<float>& values(int dataSet) const { return value_[dataSet == 1 ? 0 : 1]; }
    static bool IsNullValue(float v);
    const std::vector<Block>& blocks(int dataSet) const { return blocks_[dataSet == 1 ? 0 : 1]; }

    // Positions of the first and last lowest and highest value in [first, last] (NULL and
    // NaN passed over, 0 when there is none), from the block summaries and the edge rows.
    struct Extremes {
        qint32 minFirst = 0, minLast = 0, maxFirst = 0, maxLast = 0;
    };
    Extremes extremes(int dataSet, qint32 first, qint32 last) const;

    // Midnights crossed from row first to row last of a time-of-day log: falls of more than 12
    // hours from one row's time to the next (a clock set back an hour starts no new day).
    qint32 midnightsBetween(qint32 first, qint32 last) const;

    // Bytes held per row by the columns (capacity included).
    double bytesPerRow() const;

private:
    struct Run {
        qint32 start;
        quint16 index;
    };
    qint32 runAt(int dataSet, qint32 pos) const;
    void summarizeBlock(int set, qint32 block);

    std::vector<qint32> seconds_;
    std::vector<qint16> milli_;
    std::vector<float> value_[2];
    std::vector<Run> runs_[2];
    std::vector<Part::TimeException> times_;
    std::vector<Part::MilliException> millis_;
    std::vector<Block> blocks_[2];
    QList<QString> unitTexts_{QString()}; // index 0: NULL
    QList<QByteArray> unitUtf8_{QByteArray()};
    // Found on first use, for the rows held then: a month at 0.25 s has some thirty.
    mutable std::vector<qint32> midnights_;
    mutable qint32 midnightsFor_ = -1;
};

} // namespace grapher
